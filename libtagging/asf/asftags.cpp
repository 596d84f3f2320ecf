// AsfStreamIo: the attribute objects of the header read into one tag, and the attribute
// lists that the writer fills.

#include "libcore/io/iostream.h"
#include "libcore/locale/localetables.h"
#include "libcore/log/exception.h"
#include "libtagging/asf/asfcontentdescription.h"
#include "libtagging/asf/asfobject.h"
#include "libtagging/asf/asfstreamio.h"
#include "libtagging/asf/asftext.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/unknownasfdatatagitem.h"
#include "libtagging/model/unknownasfstringtagitem.h"

#include <QtEndian>

namespace {

// Attribute records of a Metadata or Metadata Library Object.
void readRecords(IoStream *stream, const AsfObject *object, AudioTag *tag)
{
    IoStream data(object->data, QIODevice::ReadOnly);
    data.setName(stream->name());
    const int count = data.readUInt16(false);
    for (int i = 0; i < count; ++i)
        AsfStreamIo::readAttribute(stream, AsfStreamIo::readRecord(&data), tag);
}

// Descriptors of an Extended Content Description Object. A text descriptor named after a field
// that the Content Description Object fills is an older copy of that value: other taggers
// change the object alone.
void readDescriptors(IoStream *stream, const AsfObject *object, const bool (&described)[AsfContentDescription::FieldCount],
                     AudioTag *tag)
{
    IoStream data(object->data, QIODevice::ReadOnly);
    data.setName(stream->name());
    const int count = data.readUInt16(false);
    for (int i = 0; i < count; ++i) {
        const AsfAttribute attribute = AsfStreamIo::readDescriptor(&data);
        const int field = AsfContentDescription::fieldOfName(attribute.name);
        if (field >= 0 && described[field] && attribute.valueType == AsfAttributeType::UnicodeString)
            continue;
        AsfStreamIo::readAttribute(stream, attribute, tag);
    }
}

void addIfNotBlank(AudioTag *tag, TagItem *item, const QString &text)
{
    if (text.trimmed().isEmpty())
        delete item;
    else
        tag->addItem(item);
}

// Marks the fields that hold a value in described, when the object is one that a save rewrites.
void readContentDescription(IoStream *stream, const AsfObject *object, bool rewritten,
                            bool (&described)[AsfContentDescription::FieldCount], AudioTag *tag)
{
    using namespace AsfContentDescription;
    const QStringList texts = read(object->data, stream);
    for (int field = 0; field < FieldCount && rewritten; ++field)
        described[field] = described[field] || !texts[field].trimmed().isEmpty();
    addIfNotBlank(tag, new TitleTagItem(texts[Title]), texts[Title]);
    addIfNotBlank(tag, new ArtistTagItem(texts[Author]), texts[Author]);
    addIfNotBlank(tag, new CopyrightTagItem(texts[Copyright]), texts[Copyright]);
    addIfNotBlank(tag,
                  new CommentTagItem(texts[Description], QString(), languageByQLocaleLanguage(QLocale::English)),
                  texts[Description]);
    // No item type stands for the rating text; kept as it was read, it is written back there.
    addIfNotBlank(tag, new UnknownAsfStringTagItem(fieldName(Rating), texts[Rating], 0, 0), texts[Rating]);
}

void readContentBranding(IoStream *stream, const AsfObject *object, AudioTag *tag)
{
    IoStream data(object->data, QIODevice::ReadOnly);
    data.setName(stream->name());
    data.readUInt32(false); // banner image type
    const quint32 bannerSize = data.readUInt32(false);
    if (bannerSize != 0) {
        try {
            const QByteArray banner = data.readBytes(bannerSize);
            tag->addItem(new ArtworkTagItem(CodedImage(banner), 6, QString()));
        } catch (const Exception &) {
            // The banner is a bonus; the addresses behind it may still be there.
        }
    }
    data.readBytes(data.readUInt32(false)); // banner image URL
    tag->addItem(new CopyrightTagItem(data.readText(nullptr, TextLengthPrefix::UInt32Le)));
}

} // namespace

AsfAttribute AsfStreamIo::readRecord(IoStream *data)
{
    AsfAttribute attribute;
    attribute.languageIndex = data->readUInt16(false);
    attribute.streamNumber = data->readUInt16(false);
    const int nameLength = data->readUInt16(false);
    attribute.valueType = data->readUInt16(false);
    const quint32 valueLength = data->readUInt32(false);
    attribute.name = AsfText::decode(data->readBytes(nameLength));
    attribute.value = data->readBytes(valueLength);
    return attribute;
}

AsfAttribute AsfStreamIo::readDescriptor(IoStream *data)
{
    AsfAttribute attribute;
    attribute.name = AsfText::decode(data->readBytes(data->readUInt16(false)));
    attribute.valueType = data->readUInt16(false);
    attribute.value = data->readBytes(data->readUInt16(false));
    return attribute;
}

QList<AudioTag *> AsfStreamIo::readTags(IoStream *stream, const QList<int> &tagTypes, const TaggingSettings *,
                                        QObject *parent)
{
    if (!tagTypes.isEmpty() && !tagTypes.contains(TagType::Asf))
        return {};

    QObject local;
    auto *tag = new AudioTag(&local);
    // A container behind loose tags begins at the stream's position.
    const QList<AsfObject *> objects = parseFile(stream, &local);
    checkHeader(stream, objects);

    const QList<AsfObject *> metadata = AsfObject::findAll(objects, AsfObject::metadataGuid());
    const QList<AsfObject *> library = AsfObject::findAll(objects, AsfObject::metadataLibraryGuid());
    const QList<AsfObject *> extended = AsfObject::findAll(objects, AsfObject::extendedContentDescriptionGuid());
    const QList<AsfObject *> content = AsfObject::findAll(objects, AsfObject::contentDescriptionGuid());
    const QList<AsfObject *> branding = AsfObject::findAll(objects, AsfObject::contentBrandingGuid());

    // The Content Description values come first: where a file has them also as descriptors,
    // they are the ones other taggers keep up to date.
    // One outside the header stays in the file as it is when the header is saved, beside the
    // values the save puts into the header: it shows its values but hides none.
    const QList<AsfObject *> inHeader = AsfObject::findAll({objects.first()}, AsfObject::contentDescriptionGuid());
    bool described[AsfContentDescription::FieldCount] = {};
    for (const AsfObject *object : content)
        readContentDescription(stream, object, inHeader.contains(object), described, tag);
    for (const AsfObject *object : metadata)
        readRecords(stream, object, tag);
    for (const AsfObject *object : library)
        readRecords(stream, object, tag);
    for (const AsfObject *object : extended)
        readDescriptors(stream, object, described, tag);
    for (const AsfObject *object : branding)
        readContentBranding(stream, object, tag);

    if (tag->itemList().isEmpty())
        return {};

    auto *info = new TagInfo;
    QByteArray raw;
    qint64 offset = -1;
    qint64 size = 0;
    for (const QList<AsfObject *> &group : {metadata, library, extended, content, branding}) {
        for (const AsfObject *object : group) {
            raw += object->data;
            offset = offset < 0 ? object->offset : qMin(offset, object->offset);
            size += object->size;
        }
    }
    info->values.insert(TagInfo::TagTypeKey, int(TagType::Asf));
    info->values.insert(TagInfo::RawDataKey, raw);
    info->values.insert(TagInfo::OffsetKey, offset);
    info->values.insert(TagInfo::SizeKey, int(size));
    const QList<AsfObject *> data = AsfObject::findAll(objects, AsfObject::dataGuid());
    if (!data.isEmpty())
        info->values.insert(TagInfo::PrependedKey, offset < data.first()->offset);
    tag->setTagInfo(info);
    tag->setParent(parent);
    return {tag};
}

void AsfStreamIo::addStringAttributes(const QStringList &texts, const QString &name, QList<QByteArray> &descriptors,
                                      QList<QByteArray> &libraryRecords)
{
    for (const QString &text : texts)
        addAttribute({name, AsfText::encode(text), AsfAttributeType::UnicodeString, 0, 0}, descriptors,
                     libraryRecords);
}

void AsfStreamIo::addUnknownAttributes(const QList<TagItem *> &items, QList<QByteArray> &descriptors,
                                       QList<QByteArray> &libraryRecords)
{
    for (const TagItem *item : items) {
        AsfAttribute attribute;
        if (const auto *text = dynamic_cast<const UnknownAsfStringTagItem *>(item)) {
            attribute = {text->name, AsfText::encode(text->value), AsfAttributeType::UnicodeString, text->number1,
                         text->number2};
        } else if (const auto *data = dynamic_cast<const UnknownAsfDataTagItem *>(item)) {
            attribute = {data->name, data->data, data->asfDataType, data->number1, data->number2};
        } else {
            continue;
        }
        if (attribute.value.isEmpty())
            continue;
        addAttribute(attribute, descriptors, libraryRecords);
    }
}

QList<int> AsfStreamIo::supportedItemTypes() const
{
    // Every item type but those that ASF attributes have no place for.
    static const QList<int> types = [] {
        using namespace TagItemType;
        const QList<int> unsupported{
            Description, EncapsulatedObject, EventTiming, FileIdentifier, FileOwner, FileType, GaplessPlayback,
            InvolvedPeopleList, IsClassicalMusic, IsPodcast, Movement, MovementCount, MovementNumber,
            PaymentWebsiteUrl, PhonographicCopyright, PlayCount, PodcastCategory, PodcastGuid, PodcastKeywords,
            PodcastUrl, Private, RadioStationWebsiteUrl, RecordingDate, RecordingLocation, RecordLabelWebsiteUrl,
            TaggingDate, UnknownApeData, UnknownId3v2Data, UnknownId3v2String, UnknownLyrics3String,
            UnknownMatroskaData, UnknownMp4Data, UnknownMp4String, UnknownRiffData, UnknownRiffString};
        QList<int> list;
        for (int type = 0; type < Count; ++type) {
            if (!unsupported.contains(type))
                list.append(type);
        }
        return list;
    }();
    return types;
}
