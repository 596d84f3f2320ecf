#include "libtagging/model/tagitem.h"

#include "libcore/text/texttable.h"

#include <array>

namespace {

QHash<int, TagItem *> &prototypeTable()
{
    static QHash<int, TagItem *> table;
    return table;
}

struct CategoryRow
{
    quint32 nameTextId;
    QList<int> types; // in the order editors and pickers show them
};

const QList<CategoryRow> &categoryRows()
{
    using namespace TagItemType;
    static const QList<CategoryRow> rows = {
        {3121202739u, {Title, Artist, AlbumArtist, Album, TrackNumber, TrackCount, DiscNumber, DiscCount, ReleaseDate,
                       PartOfCompilation, Genre, Rating}},
        {86741735u, {RecordLabel, ReleaseCountry, ReleaseStatus, ReleaseType, ExplicitContent, DiscSubtitle, Subtitle, Mood,
                     Grouping, Work, Comment}},
        {1682884346u, {Artwork}},
        {3264657134u, {Lyrics, SynchronizedLyrics}},
        {1885225346u, {IsClassicalMusic, Composer, Conductor, Movement, MovementNumber, MovementCount}},
        {2369426859u, {Writer, Lyricist, Producer, Remixer, Mixer, MixDj, Arranger, Engineer, InvolvedPeopleList}},
        {1022031737u, {TitleSortName, ArtistSortName, AlbumSortName, AlbumArtistSortName, ComposerSortName}},
        {4227953249u, {ArtistWebsiteUrl, ArtistWikipediaUrl, AlbumWebsiteUrl, AlbumWikipediaUrl, SongWebsiteUrl,
                       RecordLabelWebsiteUrl, AudioSourceWebsiteUrl, PaymentWebsiteUrl, CommercialWebsiteUrl, UserDefinedLink}},
        {3570020677u, {IsPodcast, Description, PodcastCategory, PodcastUrl, PodcastKeywords, PodcastGuid}},
        {1745891936u, {Isrc, CatalogNumber, Barcode, FileIdentifier, RecordingMbid, TrackMbid, ArtistMbid, AlbumMbid,
                       AlbumArtistMbid, ReleaseGroupMbid, WorkMbid, OriginalArtistMbid, OriginalAlbumMbid, DiscIdMusicBrainz,
                       AmazonAsin, AcoustId, Fingerprint}},
        {3610960560u, {GaplessPlayback, PlayCount, PlaybackDelay, PlayDuration, VolumeAdjustment}},
        {2171585067u, {Bpm, InitialKey, Language, Script, RecordingDate, RecordingLocation, EventTiming, TaggingDate}},
        {3617106756u, {Encoder, EncoderSettings, EncodedBy, EncodingDate, DiscToc, MediaType}},
        {2209057736u, {OriginalArtist, OriginalAlbum, OriginalReleaseDate, OriginalLyricist}},
        {500589825u, {RadioStationName, RadioStationOwner, RadioStationWebsiteUrl}},
        {1008816680u, {Copyright, PhonographicCopyright, License, FileOwner}},
        {4167843253u, {FileName, FileSize, FileType}},
        {729158778u, {UserDefinedText, EncapsulatedObject, Private}},
    };
    return rows;
}

quint32 typeNameTextId(int type)
{
#define MELO_TAG_ITEM_NAME_TEXT_ID(kind, id, Name, Base, nameTextId) nameTextId,
    static const quint32 ids[] = {MELO_TAG_ITEM_CATALOGUE(MELO_TAG_ITEM_NAME_TEXT_ID)};
#undef MELO_TAG_ITEM_NAME_TEXT_ID
    static_assert(sizeof(ids) / sizeof(ids[0]) == TagItemType::Count);
    return type >= 0 && type < TagItemType::Count ? ids[type] : 0;
}

} // namespace

TagItem::TagItem(QObject *parent) : QObject(parent) {}

bool TagItem::isEmpty() const
{
    return false;
}

bool TagItem::isSimilar(const TagItem *) const
{
    return false;
}

bool TagItem::isTextual() const
{
    return false;
}

QString TagItem::toString(const QString &) const
{
    return QString();
}

bool TagItem::isPlainValue() const
{
    return false;
}

QVariant TagItem::toVariant() const
{
    return QVariant();
}

bool TagItem::fromVariant(const QVariant &)
{
    return false;
}

int TagItem::dataType() const
{
    return TagItemDataType::Other;
}

const QHash<int, TagItem *> &TagItem::registry()
{
    // Registration is a plain call from here rather than static registrars, which a
    // static library would drop together with the item types they register.
    static const bool registered = (registerTagItemTypes(), true);
    Q_UNUSED(registered);
    return prototypeTable();
}

void TagItem::insertPrototype(TagItem *prototype)
{
    QHash<int, TagItem *> &table = prototypeTable();
    const int id = prototype->type();
    if (!table.contains(id))
        table.insert(id, prototype);
}

const TagItem *TagItem::prototype(int type)
{
    // Every item made goes through here; the catalogue's ids are 0 to Count - 1, and an
    // array answers them without hashing.
    static const std::array<const TagItem *, TagItemType::Count> byId = [] {
        std::array<const TagItem *, TagItemType::Count> table {};
        const QHash<int, TagItem *> &all = registry();
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            if (it.key() >= 0 && it.key() < TagItemType::Count)
                table[size_t(it.key())] = it.value();
        }
        return table;
    }();
    if (type >= 0 && type < TagItemType::Count && byId[size_t(type)])
        return byId[size_t(type)];
    return registry().value(type, nullptr);
}

TagItem *TagItem::create(int type, QObject *parent)
{
    const TagItem *p = prototype(type);
    return p ? p->clone(parent) : nullptr;
}

int TagItem::dataTypeOf(int type)
{
    const TagItem *p = prototype(type);
    return p ? p->dataType() : int(TagItemDataType::Other);
}

bool TagItem::isTextualType(int type)
{
    const TagItem *p = prototype(type);
    return p && p->isTextual();
}

bool TagItem::isPlainValueType(int type)
{
    const TagItem *p = prototype(type);
    return p && p->isPlainValue();
}

QList<int> TagItem::typesOfDataType(int dataType)
{
    QList<int> result;
    for (int type = 0; type < TagItemType::Count; ++type) {
        if (dataTypeOf(type) == dataType)
            result.append(type);
    }
    return result;
}

QList<int> TagItem::typesOfCategory(int category)
{
    const QList<CategoryRow> &rows = categoryRows();
    return category >= 0 && category < rows.size() ? rows.at(category).types : QList<int>();
}

int TagItem::categoryOf(int type)
{
    const QList<CategoryRow> &rows = categoryRows();
    for (int category = 0; category < rows.size(); ++category) {
        if (rows.at(category).types.contains(type))
            return category;
    }
    return TagItemCategory::None;
}

QString TagItem::typeName(int type)
{
    const quint32 id = typeNameTextId(type);
    return id ? textForId(id) : QString();
}

namespace {

const QStringList &typeKeys()
{
#define MELO_TAG_ITEM_KEY(kind, id, Name, Base, nameTextId) QStringLiteral(#Name),
    static const QStringList keys = {MELO_TAG_ITEM_CATALOGUE(MELO_TAG_ITEM_KEY)};
#undef MELO_TAG_ITEM_KEY
    return keys;
}

} // namespace

QString TagItem::typeKey(int type)
{
    const QStringList &keys = typeKeys();
    return type >= 0 && type < keys.size() ? keys.at(type) : QString();
}

int TagItem::typeByKey(const QString &key)
{
    const QStringList &keys = typeKeys();
    for (int type = 0; type < keys.size(); ++type) {
        if (keys.at(type).compare(key, Qt::CaseInsensitive) == 0)
            return type;
    }
    return -1;
}

QString TagItem::categoryName(int category)
{
    const QList<CategoryRow> &rows = categoryRows();
    return category >= 0 && category < rows.size() ? textForId(rows.at(category).nameTextId) : QString();
}

bool TagItem::listsEqual(const QList<TagItem *> &a, const QList<TagItem *> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const TagItem *x = a.at(i);
        const TagItem *y = b.at(i);
        if (!x || !y) {
            if (x != y)
                return false;
        } else if (!x->equals(y)) {
            return false;
        }
    }
    return true;
}
