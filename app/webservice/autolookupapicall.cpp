#include "app/webservice/autolookupapicall.h"

#include "app/identification/idartistname.h"
#include "app/identification/idaudiofile.h"
#include "app/identification/idaudiofilegroup.h"
#include "app/identification/idsegment.h"
#include "app/operations/modelupdateoperation.h"
#include "app/webservice/dbalbumimage.h"
#include "app/webservice/lookupresults.h"
#include "app/webservice/replyreading.h"
#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/util/checksum.h"
#include "libcore/util/partialdatetime.h"
#include "libcore/xml/xmlutil.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

namespace {

using namespace TagItemType;

const AudioTag *combinedTag(const IdAudioFile *file)
{
    return file->audioFile() ? file->audioFile()->combinedTag() : nullptr;
}

// The lookup image type of an artwork picture type; 8 for the types the service has none of.
int lookupImageType(int pictureType)
{
    switch (pictureType) {
    case 3:
        return 1;
    case 4:
        return 2;
    case 5:
        return 3;
    case 6:
        return 4;
    default:
        return 8;
    }
}

bool isBlank(const QVariantList &values)
{
    return std::all_of(values.cbegin(), values.cend(), [](const QVariant &v) { return v.toString().trimmed().isEmpty(); });
}

} // namespace

QString artworkImageKey(const ArtworkTagItem *artwork)
{
    return QStringLiteral("%1.%2")
        .arg(crc32(artwork->image().data), 8, 16, QLatin1Char('0'))
        .arg(artwork->pictureType);
}

const QList<int> &AutoLookupApiCall::fileItemTypes()
{
    static const QList<int> types{
        Artist, ArtistSortName, Album, AlbumSortName, Title, TrackNumber, TrackCount, DiscNumber, DiscCount,
        ReleaseDate, Fingerprint, PlayDuration, RecordingMbid, AlbumArtist, AlbumArtistMbid, AlbumArtistSortName,
        AlbumMbid, AlbumWebsiteUrl, AlbumWikipediaUrl, AmazonAsin, Artwork, Barcode, CatalogNumber, Genre, Grouping,
        RecordLabel, RecordLabelWebsiteUrl, ReleaseCountry, ReleaseGroupMbid, ReleaseStatus, ReleaseType,
        DiscIdMusicBrainz, DiscSubtitle, PartOfCompilation,
    };
    return types;
}

QList<int> AutoLookupApiCall::groupItemTypes(int groupType)
{
    switch (groupType) {
    case IdAudioFileGroup::OneArtistAlbum:
        return {Artist, ArtistSortName, Album, AlbumSortName};
    case IdAudioFileGroup::VariousArtistsAlbum:
        return {Album, AlbumSortName};
    default:
        return {};
    }
}

AutoLookupApiCall::AutoLookupApiCall(IdAudioFileGroup *group,
                                     const QMap<IdAudioFile *, IdFingerprintResult> &fingerprints, QObject *parent)
    : MetadataApiCall(QStringLiteral("677aff2d"), parent), m_group(group), m_fingerprints(fingerprints)
{
    for (const IdAudioFile *file : m_group->files) {
        if (const AudioTag *tag = combinedTag(file)) {
            for (TagItem *item : tag->items(ArtworkTagItem::Type)) {
                auto *artwork = static_cast<ArtworkTagItem *>(item);
                m_sentArtwork.insert(artworkImageKey(artwork), artwork);
            }
        }
    }
    addSetting(QStringLiteral("por"), SettingsStore::value(QStringLiteral("identification/preferOriginalReleases")));

    QDomElement g = appendXmlElement(requestData(), QStringLiteral("g"));
    g.setAttribute(QStringLiteral("t"), QString::number(m_group->type));
    const QList<int> groupTypes = groupItemTypes(m_group->type);
    QMap<int, QVariantList> groupValueMap;
    for (const int type : groupTypes) {
        groupValueMap.insert(type, groupValues(type));
        addImageElement(g, type, groupValueMap.value(type));
    }
    for (IdAudioFile *file : m_group->files) {
        QDomElement f = appendXmlElement(g, QStringLiteral("f"));
        f.setAttribute(QStringLiteral("m"), m_group->selectedFiles.contains(file) ? QStringLiteral("1")
                                                                                    : QStringLiteral("0"));
        for (const int type : fileItemTypes()) {
            const QVariantList values = fileValues(file, type);
            if (values.isEmpty())
                continue;
            // "x" says "the group's value"; it can only stand for a group value that was sent.
            const auto groupValue = groupValueMap.constFind(type);
            if (groupValue != groupValueMap.cend() && *groupValue == values && !isBlank(values))
                addItemTypeElement(f, type);
            else
                addImageElement(f, type, values);
        }
    }
}

QVariantList AutoLookupApiCall::groupValues(int itemType) const
{
    switch (itemType) {
    case Artist:
        return {m_group->artist.toString(false)};
    case ArtistSortName:
        return {m_group->artist.toString(true)};
    case Album:
    case AlbumSortName:
        return {m_group->album};
    default:
        return {};
    }
}

QVariantList AutoLookupApiCall::fileValues(IdAudioFile *file, int itemType) const
{
    const int field = identificationFieldByItemType().value(itemType, IdField::None);
    if (field != IdField::None) {
        const QVariant value = file->value(field);
        if (!value.isValid())
            return {};
        QString text;
        if (itemType == Artist || itemType == ArtistSortName)
            text = IdArtistName::fromVariant(value).toString(itemType == ArtistSortName);
        else if (value.metaType() == QMetaType::fromType<PartialDateTime>())
            text = value.value<PartialDateTime>().toString(PartialDateTime::storageFormat());
        else
            text = value.toString();
        return text.isEmpty() ? QVariantList() : QVariantList{text};
    }
    if (itemType == Fingerprint || itemType == PlayDuration) {
        // Only a run that gave both stands for the file; otherwise the tag's own values go.
        const auto result = m_fingerprints.constFind(file);
        if (result != m_fingerprints.cend() && result->isComplete())
            return {itemType == Fingerprint ? QVariant(result->fingerprint) : QVariant(result->durationMs)};
    }
    const AudioTag *tag = combinedTag(file);
    if (!tag)
        return {};
    QVariantList values;
    if (itemType == ArtworkTagItem::Type) {
        for (const TagItem *item : tag->items(itemType)) {
            const auto *artwork = static_cast<const ArtworkTagItem *>(item);
            DbAlbumImage image(lookupImageType(artwork->pictureType), QString(), artwork->description);
            DbAlbumImageVariant variant;
            variant.key = artworkImageKey(artwork);
            variant.width = artwork->image().width;
            variant.height = artwork->image().height;
            image.variants.append(variant);
            values.append(QVariant::fromValue(image));
        }
        return values;
    }
    for (const QString &text : tag->itemTexts(itemType, QStringLiteral("[data]")))
        values.append(text);
    return values;
}

void AutoLookupApiCall::execute(CombinedProgressObject *progress)
{
    send(progress, TimeoutMs);
}

ArtworkTagItem *AutoLookupApiCall::requestArtwork(const QString &key) const
{
    return m_sentArtwork.value(key);
}

void AutoLookupApiCall::applyResults(ModelUpdateOperation *operation, bool imagesAllowed)
{
    const QDomElement g = replyData().firstChildElement(QStringLiteral("g"));
    const QList<QDomElement> fileElements = childXmlElements(g, QStringLiteral("f"));
    if (fileElements.size() != m_group->files.size())
        throw Exception(AutoLookupFileCountTextId, {fileElements.size(), m_group->files.size()});
    QObject owner;
    const LookupResultMap groupItems = readAlbumData(this, g, imagesAllowed, &owner);
    for (qsizetype i = 0; i < fileElements.size(); ++i) {
        IdAudioFile *file = m_group->files.at(i);
        if (!m_group->selectedFiles.contains(file))
            continue;
        AudioTag *tag = operation->workingTag(file->audioFile());
        for (const int type : fileItemTypes())
            tag->removeItems(type);
        applyResultToTag(this, fileElements.at(i), groupItems, imagesAllowed, tag);
    }
}
