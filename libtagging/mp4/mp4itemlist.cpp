// Mp4StreamIo: item boxes of the item list read into tag items and written from them.

#include "libcore/io/iostream.h"
#include "libcore/locale/localetables.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/utf8textcodec.h"
#include "libcore/util/partialdatetime.h"
#include "libtagging/id3/id3v1genretable.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/languagetagitem.h"
#include "libtagging/model/lyricstagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/releasecountrytagitem.h"
#include "libtagging/model/scripttagitem.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/unknownmp4stringtagitem.h"
#include "libtagging/model/userdefinedlinktagitem.h"
#include "libtagging/model/userdefinedtexttagitem.h"
#include "libtagging/mp4/mp4box.h"
#include "libtagging/mp4/mp4streamio.h"

#include <cmath>

namespace {

using namespace TagItemType;

const QString dateFormat = QStringLiteral("yyyy-MM-ddThh:mm:ss:zzz");
const QString iTunesMean = QStringLiteral("com.apple.iTunes");

// Text item boxes. Rows that are not written are other spellings accepted when reading.
struct TextBoxRow {
    const char *box; // Latin-1
    int itemType;
    bool written;
};

const TextBoxRow textBoxRows[] = {
    {"\xA9" "alb", Album, true},
    {"\xA9" "ART", Artist, true},
    {"\xA9" "cmt", Comment, true},
    {"\xA9" "day", ReleaseDate, true},
    {"\xA9" "enc", EncodedBy, true},
    {"\xA9" "gen", Genre, true},
    {"\xA9" "grp", Grouping, true},
    {"grup", Grouping, false},
    {"\xA9" "lyr", Lyrics, true},
    {"\xA9" "mvn", Movement, true},
    {"\xA9" "nam", Title, true},
    {"\xA9" "too", Encoder, true},
    {"\xA9" "wrk", Work, true},
    {"\xA9" "wrt", Composer, true},
    {"aART", AlbumArtist, true},
    {"catg", PodcastCategory, true},
    {"cprt", Copyright, true},
    {"desc", Description, true},
    {"ldes", Description, false},
    {"egid", PodcastGuid, true},
    {"keyw", PodcastKeywords, true},
    {"ownr", FileOwner, true},
    {"purl", PodcastUrl, true},
    {"soaa", AlbumArtistSortName, true},
    {"soal", AlbumSortName, true},
    {"soar", ArtistSortName, true},
    {"soco", ComposerSortName, true},
    {"sonm", TitleSortName, true},
};

// Freeform names under the mean "com.apple.iTunes"; compared by their alphanumeric key
// when reading. Rows that are not written are other spellings accepted when reading.
struct FreeformRow {
    const char *name;
    int itemType;
    bool written;
};

const FreeformRow freeformRows[] = {
    {"Acoustid Fingerprint", Fingerprint, true},
    {"Acoustid Id", AcoustId, true},
    {"ARRANGER", Arranger, true},
    {"ARTISTS", Artist, false}, // written with the artists' own rule
    {"ASIN", AmazonAsin, true},
    {"BARCODE", Barcode, true},
    {"CATALOGNUMBER", CatalogNumber, true},
    {"CONDUCTOR", Conductor, true},
    {"DISCSUBTITLE", DiscSubtitle, true},
    {"SETSUBTITLE", DiscSubtitle, false},
    {"DJMIXER", MixDj, true},
    {"MIXDJ", MixDj, false},
    {"ENGINEER", Engineer, true},
    {"ISRC", Isrc, true},
    {"KEY", InitialKey, true},
    {"LABEL", RecordLabel, true},
    {"LANGUAGE", Language, true},
    {"LICENSE", License, true},
    {"LYRICIST", Lyricist, true},
    {"MEDIA", MediaType, true},
    {"MIXER", Mixer, true},
    {"MOOD", Mood, true},
    {"MusicBrainz Album Artist Id", AlbumArtistMbid, true},
    {"MusicBrainz Album Id", AlbumMbid, true},
    {"MusicBrainz Album Release Country", ReleaseCountry, true},
    {"Country", ReleaseCountry, true},
    {"MusicBrainz Album Status", ReleaseStatus, true},
    {"MusicBrainz Album Type", ReleaseType, true},
    {"MusicBrainz Artist Id", ArtistMbid, true},
    {"MusicBrainz Disc Id", DiscIdMusicBrainz, true},
    {"MusicBrainz Original Album Id", OriginalAlbumMbid, true},
    {"MusicBrainz Original Artist Id", OriginalArtistMbid, true},
    {"MusicBrainz Release Group Id", ReleaseGroupMbid, true},
    {"MusicBrainz Release Track Id", TrackMbid, true},
    {"MusicBrainz Track Id", RecordingMbid, true},
    {"MusicBrainz Work Id", WorkMbid, true},
    {"ORIGINAL ALBUM", OriginalAlbum, true},
    {"ORIGINAL ARTIST", OriginalArtist, true},
    {"ORIGINAL LYRICIST", OriginalLyricist, true},
    {"ORIGINAL YEAR", OriginalReleaseDate, true},
    {"ORIGINALDATE", OriginalReleaseDate, false},
    {"PRODUCER", Producer, true},
    {"REMIXER", Remixer, true},
    {"SCRIPT", Script, true},
    {"SUBTITLE", Subtitle, true},
    {"URL_OFFICIAL_ARTIST_SITE", ArtistWebsiteUrl, true},
    {"URL_OFFICIAL_RELEASE_SITE", AlbumWebsiteUrl, true},
    {"URL_WIKIPEDIA_ARTIST_SITE", ArtistWikipediaUrl, true},
    {"URL_WIKIPEDIA_RELEASE_SITE", AlbumWikipediaUrl, true},
    {"WORK", Work, false}, // written as text "©wrk"
    {"WRITER", Writer, true},
};

// Freeform entries whose value is a "number/count" pair of track numbers.
bool isTrackNumberKey(const QString &key)
{
    return key == QLatin1String("tracknumber") || key == QLatin1String("itunescddbtracknumber");
}

int freeformItemType(const QString &key)
{
    static const QHash<QString, int> types = [] {
        QHash<QString, int> map;
        for (const FreeformRow &row : freeformRows)
            map.insert(alphanumericKey(QString::fromLatin1(row.name)), row.itemType);
        return map;
    }();
    return types.value(key, -1);
}

int textItemType(const QString &box)
{
    for (const TextBoxRow &row : textBoxRows) {
        if (box == QString::fromLatin1(row.box))
            return row.itemType;
    }
    return -1;
}

// A new item of a string or date item type holding text.
TagItem *textItem(int type, const QString &text)
{
    TagItem *item = TagItem::create(type);
    if (auto *s = dynamic_cast<StringTagItem *>(item)) {
        s->value = text;
    } else if (auto *d = dynamic_cast<DateTimeTagItem *>(item)) {
        d->value = PartialDateTime(text, dateFormat);
    }
    return item;
}

// The item that a freeform entry gives under the iTunes mean (or none), added to tag.
void addFreeformItem(AudioTag *tag, const QString &name, const QString &text, IoStream *stream)
{
    const QString key = alphanumericKey(name);
    if (isTrackNumberKey(key)) {
        tag->addNumberPair(text, TrackNumber, TrackCount);
        return;
    }
    if (key == QLatin1String("itunescddb1")) {
        try {
            tag->addItem(DiscTocTagItem::fromText(text));
        } catch (const Exception &) {
            Logger::warning(Mp4StreamIo::DiscTocUnreadable, {stream->displayName()});
            throw;
        }
        return;
    }
    const int type = freeformItemType(key);
    switch (type) {
    case -1:
        tag->addItem(new UserDefinedTextTagItem(text, name));
        return;
    case Language:
        tag->addItem(new LanguageTagItem(languageByCode(text.trimmed())));
        return;
    case ReleaseCountry:
        tag->addItem(new ReleaseCountryTagItem(countryByCode(text.trimmed())));
        return;
    case Script:
        tag->addItem(new ScriptTagItem(scriptByCode(text.trimmed())));
        return;
    default:
        tag->addItem(textItem(type, text));
    }
}

QString boxText(const QByteArray &payload, int from)
{
    return Utf8TextCodec::instance()->decode(payload.mid(from), -1, true, 0);
}

// The key of an unknown data item: the item box type, and for a freeform box also its mean
// and first name ("----:mean:name"), without which the box could not be written again.
QString unknownDataKey(const Mp4Box *itemBox)
{
    if (itemBox->type != QLatin1String("----"))
        return itemBox->type;
    QString mean = iTunesMean;
    QString name;
    bool named = false;
    for (const Mp4Box *child : itemBox->children) {
        if (child->type == QLatin1String("mean")) {
            mean = boxText(child->data, 4);
        } else if (child->type == QLatin1String("name") && !named) {
            name = boxText(child->data, 4);
            named = true;
        }
    }
    return named ? itemBox->type + QLatin1Char(':') + mean + QLatin1Char(':') + name : itemBox->type;
}

// A label child of a freeform box: four zero bytes and the text.
Mp4Box *labelBox(const QString &type, const QString &label)
{
    return new Mp4Box(type, QByteArray(4, '\0') + Utf8TextCodec::instance()->encode(label, -1, -1, false, false, 0));
}

void readTextValue(IoStream *stream, const Mp4Box *itemBox, IoStream &value, AudioTag *tag)
{
    const QString text = value.readText(Utf8TextCodec::instance(), TextLengthPrefix::None, -1, -1, true);
    if (text.trimmed().isEmpty())
        return;
    const QString &box = itemBox->type;
    // Whatever a row fails on keeps the text as an unknown item instead.
    QObject staging;
    AudioTag added(&staging);
    try {
        if (box == QLatin1String("----")) {
            QString mean;
            QStringList names;
            for (const Mp4Box *child : itemBox->children) {
                if (child->type == QLatin1String("mean")) {
                    const QString m = boxText(child->data, 4);
                    if (!m.isEmpty() && m != iTunesMean)
                        mean = m;
                } else if (child->type == QLatin1String("name")) {
                    names << boxText(child->data, 4);
                }
            }
            for (const QString &name : std::as_const(names)) {
                if (!mean.isEmpty()) {
                    added.addItem(new UnknownMp4StringTagItem(box, text, mean, name));
                    continue;
                }
                try {
                    addFreeformItem(&added, name, text, stream);
                } catch (const Exception &) {
                    // Kept under its own name, so that writing stores the entry again.
                    added.addItem(new UnknownMp4StringTagItem(box, text, QString(), name));
                }
            }
        } else {
            const int type = textItemType(box);
            // The format keeps no language: the texts are taken as English.
            if (type == Comment)
                added.addItem(new CommentTagItem(text, QString(), languageByQLocaleLanguage(QLocale::English)));
            else if (type == Lyrics)
                added.addItem(new LyricsTagItem(text, QString(), languageByQLocaleLanguage(QLocale::English)));
            else if (type >= 0)
                added.addItem(textItem(type, text));
            else
                added.addItem(new UnknownMp4StringTagItem(box, text));
        }
    } catch (const Exception &) {
        added.clear();
        added.addItem(new UnknownMp4StringTagItem(box, text));
    }
    tag->takeAllItems(&added);
}

void readNumberValue(const Mp4Box *itemBox, IoStream &value, AudioTag *tag, const QByteArray &payload)
{
    const QString &box = itemBox->type;
    const qint64 left = value.size() - value.pos();
    const auto u16 = [&] { return int(value.readUInt16(true)); };
    const auto u8 = [&] { return int(value.readByte()); };
    if (box == QLatin1String("\u00A9mvc") || box == QLatin1String("\u00A9mvi")) {
        if (left >= 2)
            tag->addItem(box.endsWith('c') ? static_cast<TagItem *>(new MovementCountTagItem(u16()))
                                           : new MovementNumberTagItem(u16()));
    } else if (box == QLatin1String("cpil") || box == QLatin1String("pcst") || box == QLatin1String("pgap")
               || box == QLatin1String("shwm")) {
        if (left < 1)
            return;
        const bool on = u8() != 0;
        if (box == QLatin1String("cpil"))
            tag->addItem(new PartOfCompilationTagItem(on));
        else if (box == QLatin1String("pcst"))
            tag->addItem(new IsPodcastTagItem(on));
        else if (box == QLatin1String("pgap"))
            tag->addItem(new GaplessPlaybackTagItem(on));
        else
            tag->addItem(new IsClassicalMusicTagItem(on));
    } else if (box == QLatin1String("gnre")) {
        if (left < 2)
            return;
        const int v = u16();
        if (v >= 1 && v <= 256)
            tag->addItem(new GenreTagItem(Id3v1GenreTable::genres().value(v - 1)));
    } else if (box == QLatin1String("rate")) {
        if (left < 2)
            return;
        const int v = u16();
        if (v >= 1 && v <= 100)
            tag->addItem(new RatingTagItem((v - 1) / 99.0));
    } else if (box == QLatin1String("rtng")) {
        if (left < 1)
            return;
        const int b = u8();
        if (b != 0)
            tag->addItem(new ExplicitContentTagItem(b == 1));
    } else if (box == QLatin1String("tmpo")) {
        if (left < 2)
            return;
        const int v = u16();
        if (v != 0)
            tag->addItem(new BpmTagItem(v));
    } else if (box == QLatin1String("trkn") || box == QLatin1String("disk")) {
        if (left < 6)
            return;
        value.readBytes(2);
        const int number = u16();
        const int count = u16();
        const bool track = box == QLatin1String("trkn");
        if (number != 0)
            tag->addItem(track ? static_cast<TagItem *>(new TrackNumberTagItem(number)) : new DiscNumberTagItem(number));
        if (count != 0)
            tag->addItem(track ? static_cast<TagItem *>(new TrackCountTagItem(count)) : new DiscCountTagItem(count));
    } else {
        tag->addItem(new UnknownMp4DataTagItem(unknownDataKey(itemBox), payload));
    }
}

} // namespace

void Mp4StreamIo::readItemBox(IoStream *stream, const Mp4Box *itemBox, AudioTag *tag)
{
    for (const Mp4Box *child : itemBox->children) {
        if (child->type != QLatin1String("data") || child->data.size() <= 8)
            continue;
        try {
            readDataBox(stream, itemBox, child, tag);
        } catch (const Exception &) {
            tag->addItem(new UnknownMp4DataTagItem(unknownDataKey(itemBox), child->data));
        }
    }
}

void Mp4StreamIo::readDataBox(IoStream *stream, const Mp4Box *itemBox, const Mp4Box *dataBox, AudioTag *tag)
{
    const QByteArray &payload = dataBox->data;
    IoStream value(payload, QIODevice::ReadWrite);
    value.setName(stream->name());
    if (value.readByte() != 0) {
        tag->addItem(new UnknownMp4DataTagItem(unknownDataKey(itemBox), payload));
        return;
    }
    const quint32 indicator = (quint32(value.readUInt16(true)) << 8) | value.readByte();
    value.readBytes(4);
    switch (indicator) {
    case 1:
        readTextValue(stream, itemBox, value, tag);
        return;
    case 0:
    case 21:
        readNumberValue(itemBox, value, tag, payload);
        return;
    case 13:
    case 14:
        if (itemBox->type == QLatin1String("covr") && value.pos() < value.size()) {
            tag->addItem(new ArtworkTagItem(CodedImage(value.readAll()), ArtworkTagItem::FrontCover, QString()));
            return;
        }
        break;
    default:
        break;
    }
    tag->addItem(new UnknownMp4DataTagItem(unknownDataKey(itemBox), payload));
}

QString Mp4StreamIo::itemTextFormat(const TagItem *item)
{
    if (item->dataType() == TagItemDataType::DateTime)
        return QStringLiteral("yyyy-MM-dd");
    switch (item->type()) {
    case Language:
        return QStringLiteral("ISO_639_2_T");
    case ReleaseCountry:
        return QStringLiteral("ISO_3166_1_A2");
    case Script:
        return QStringLiteral("ISO_15924");
    default:
        return QString();
    }
}

void Mp4StreamIo::appendTextBoxes(Mp4Box *parent, const QString &type, const QList<TagItem *> &items)
{
    for (const TagItem *item : items)
        parent->appendChild(makeTextBox(type, item->toString(itemTextFormat(item)), item->type() == Lyrics ? -1 : 255,
                                        nullptr));
}

void Mp4StreamIo::appendFreeformBoxes(Mp4Box *parent, const QString &name, const QList<TagItem *> &items)
{
    for (const TagItem *item : items)
        parent->appendChild(makeFreeformBox(name, item->toString(itemTextFormat(item)), nullptr));
}

Mp4Box *Mp4StreamIo::makeFreeformBox(const QString &mean, const QString &name, const QString &text, QObject *parent)
{
    Mp4Box *box = makeTextBox(QStringLiteral("----"), text, -1, nullptr);
    box->insertChild(0, labelBox(QStringLiteral("name"), name));
    box->insertChild(0, labelBox(QStringLiteral("mean"), mean));
    box->setParent(parent);
    return box;
}

Mp4Box *Mp4StreamIo::makeFreeformBox(const QString &name, const QString &text, QObject *parent)
{
    return makeFreeformBox(iTunesMean, name, text, parent);
}

void Mp4StreamIo::writeItemBoxes(Mp4Box *itemList, const AudioTag *tag, const TaggingSettings *settings, int itemType,
                                 const QList<TagItem *> &items)
{
    for (const TextBoxRow &row : textBoxRows) {
        if (row.written && row.itemType == itemType && itemType != Artist) {
            appendTextBoxes(itemList, QString::fromLatin1(row.box), items);
            return;
        }
    }
    QStringList freeformNames;
    for (const FreeformRow &row : freeformRows) {
        if (row.written && row.itemType == itemType)
            freeformNames << QString::fromLatin1(row.name);
    }
    if (!freeformNames.isEmpty()) {
        for (const QString &name : std::as_const(freeformNames))
            appendFreeformBoxes(itemList, name, items);
        return;
    }

    const auto intValue = [](const TagItem *item) { return static_cast<const IntegerTagItem *>(item)->value; };
    const auto boolValue = [](const TagItem *item) { return static_cast<const BooleanTagItem *>(item)->value; };
    switch (itemType) {
    case Artist: {
        const bool single = (settings ? *settings : TaggingSettings::defaults()).multiArtistsInExtraField && items.size() > 1;
        appendTextBoxes(itemList, QStringLiteral("\u00A9ART"), single ? items.mid(0, 1) : items);
        appendFreeformBoxes(itemList, QStringLiteral("ARTISTS"), tag->additionalArtists());
        break;
    }
    case Artwork:
        itemList->appendChild(makeArtworkBox(QStringLiteral("covr"), items, nullptr));
        break;
    case Bpm:
    case MovementCount:
    case MovementNumber: {
        const QString box = itemType == Bpm ? QStringLiteral("tmpo")
                            : itemType == MovementCount ? QStringLiteral("\u00A9mvc")
                                                        : QStringLiteral("\u00A9mvi");
        for (const TagItem *item : items)
            itemList->appendChild(makeInt16Box(box, intValue(item), nullptr));
        break;
    }
    case ExplicitContent:
        for (const TagItem *item : items)
            itemList->appendChild(makeInt8Box(QStringLiteral("rtng"), boolValue(item) ? 1 : 2, nullptr));
        break;
    case GaplessPlayback:
    case IsClassicalMusic:
    case IsPodcast:
    case PartOfCompilation: {
        const QString box = itemType == GaplessPlayback    ? QStringLiteral("pgap")
                            : itemType == IsClassicalMusic ? QStringLiteral("shwm")
                            : itemType == IsPodcast        ? QStringLiteral("pcst")
                                                           : QStringLiteral("cpil");
        for (const TagItem *item : items)
            itemList->appendChild(makeInt8Box(box, boolValue(item) ? 1 : 0, nullptr));
        break;
    }
    case Rating:
        for (const TagItem *item : items) {
            // Truncation as stored by other programs, with room for the error of the
            // division on reading, so that a value read and written again stays the same.
            const double rating = qBound(0.0, static_cast<const FloatingPointTagItem *>(item)->value, 1.0);
            itemList->appendChild(makeInt16Box(QStringLiteral("rate"), int(std::floor(99.0 * rating + 1.0 + 1e-6)), nullptr));
        }
        break;
    case DiscCount:
    case TrackCount: {
        // Counts beyond the numbers would be lost: each goes into a pair without a number.
        const bool track = itemType == TrackCount;
        for (int i = tag->itemCount(track ? TrackNumber : DiscNumber); i < items.size(); ++i)
            itemList->appendChild(makeNumberPairBox(track ? QStringLiteral("trkn") : QStringLiteral("disk"), nullptr,
                                                    static_cast<const IntegerTagItem *>(items.at(i)), track ? 8 : 6,
                                                    nullptr));
        break;
    }
    case DiscNumber:
    case TrackNumber: {
        const bool track = itemType == TrackNumber;
        for (int i = 0; i < items.size(); ++i) {
            const auto *count = static_cast<const IntegerTagItem *>(tag->item(track ? TrackCount : DiscCount, i));
            itemList->appendChild(makeNumberPairBox(track ? QStringLiteral("trkn") : QStringLiteral("disk"),
                                                    static_cast<const IntegerTagItem *>(items.at(i)), count,
                                                    track ? 8 : 6, nullptr));
        }
        break;
    }
    case DiscToc:
        for (const TagItem *item : items) {
            itemList->appendChild(makeFreeformBox(
                QStringLiteral("iTunes_CDDB_1"),
                static_cast<const DiscTocTagItem *>(item)->toText(DiscTocTextForm::DiscIdTrackList), nullptr));
        }
        if (tag->contains(TrackNumber))
            itemList->appendChild(makeFreeformBox(QStringLiteral("iTunes_CDDB_TrackNumber"),
                                                  tag->itemText(TrackNumber, 0), nullptr));
        break;
    case UnknownMp4Data:
        for (const TagItem *item : items) {
            const auto *unknown = static_cast<const UnknownDataTagItem *>(item);
            // A freeform box gets its mean and name back in front of the data.
            const bool freeform = unknown->name.startsWith(QLatin1String("----:"));
            auto *box = new Mp4Box(freeform ? QStringLiteral("----") : unknown->name, QByteArray());
            if (freeform) {
                box->appendChild(labelBox(QStringLiteral("mean"), unknown->name.section(QLatin1Char(':'), 1, 1)));
                box->appendChild(labelBox(QStringLiteral("name"), unknown->name.section(QLatin1Char(':'), 2)));
            }
            box->appendChild(new Mp4Box(QStringLiteral("data"), unknown->data));
            itemList->appendChild(box);
        }
        break;
    case UnknownMp4String:
        for (const TagItem *item : items) {
            const auto *unknown = static_cast<const UnknownMp4StringTagItem *>(item);
            if (unknown->name == QLatin1String("----"))
                itemList->appendChild(makeFreeformBox(unknown->mean.isEmpty() ? iTunesMean : unknown->mean,
                                                      unknown->freeformName, unknown->value, nullptr));
            else
                itemList->appendChild(makeTextBox(unknown->name, unknown->value, 255, nullptr));
        }
        break;
    case UserDefinedLink:
        for (const TagItem *item : items) {
            const auto *link = static_cast<const UserDefinedLinkTagItem *>(item);
            itemList->appendChild(makeFreeformBox(link->description, link->value, nullptr));
        }
        break;
    case UserDefinedText:
        for (const TagItem *item : items) {
            const auto *text = static_cast<const UserDefinedTextTagItem *>(item);
            itemList->appendChild(makeFreeformBox(text->description, text->value, nullptr));
        }
        break;
    default:
        break;
    }
}

QList<int> Mp4StreamIo::supportedItemTypes() const
{
    static const QList<int> types = {
        AcoustId, Album, AlbumArtist, AlbumArtistMbid, AlbumArtistSortName, AlbumMbid, AlbumSortName,
        AlbumWebsiteUrl, AlbumWikipediaUrl, AmazonAsin, Arranger, Artist, ArtistMbid, ArtistSortName,
        ArtistWebsiteUrl, ArtistWikipediaUrl, Artwork, Barcode, Bpm, CatalogNumber, Comment, Composer,
        ComposerSortName, Conductor, Copyright, Description, DiscCount, DiscIdMusicBrainz, DiscNumber,
        DiscSubtitle, DiscToc, EncodedBy, Encoder, Engineer, ExplicitContent, FileOwner, Fingerprint,
        GaplessPlayback, Genre, Grouping, InitialKey, IsClassicalMusic, IsPodcast, Isrc, Language, License,
        Lyricist, Lyrics, MediaType, MixDj, Mixer, Mood, Movement, MovementCount, MovementNumber, OriginalAlbum,
        OriginalAlbumMbid, OriginalArtist, OriginalArtistMbid, OriginalLyricist, OriginalReleaseDate,
        PartOfCompilation, PodcastCategory, PodcastGuid, PodcastKeywords, PodcastUrl, Producer, Rating,
        RecordingMbid, RecordLabel, ReleaseCountry, ReleaseDate, ReleaseGroupMbid, ReleaseStatus, ReleaseType,
        Remixer, Script, Subtitle, Title, TitleSortName, TrackCount, TrackMbid, TrackNumber, UnknownMp4Data,
        UnknownMp4String, UserDefinedLink, UserDefinedText, Work, WorkMbid, Writer};
    return types;
}
