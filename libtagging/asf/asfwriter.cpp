// AsfStreamIo: the Header Object rebuilt with the attributes of a tag and written over the
// old one at the start of the file.

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/text/stringutils.h"
#include "libtagging/asf/asfattributetable.h"
#include "libtagging/asf/asfcontentdescription.h"
#include "libtagging/asf/asfobject.h"
#include "libtagging/asf/asfstreamio.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/padding.h"
#include "libtagging/model/taggingsettings.h"

#include <QtEndian>

namespace {

using namespace TagItemType;

// The attributes of one item type, following its row of the mapping table.
void addTypeAttributes(const AudioTag *tag, const TaggingSettings *settings, int itemType,
                       const QList<TagItem *> &items, QList<QByteArray> &descriptors,
                       QList<QByteArray> &libraryRecords)
{
    if (itemType == UnknownAsfString || itemType == UnknownAsfData) {
        AsfStreamIo::addUnknownAttributes(items, descriptors, libraryRecords);
        return;
    }
    const AsfAttributeRow *row = AsfAttributeTable::rowForItemType(itemType);
    if (!row)
        return;
    const bool separateCounts = settings->asf.writeCountSeparately;
    switch (row->rule) {
    case AsfWriteRule::Artists: {
        QList<TagItem *> author = items;
        if (settings->multiArtistsInExtraField && author.size() > 1)
            author = {author.first()};
        AsfStreamIo::addItemAttributes(author, row->written.at(0).name, descriptors, libraryRecords);
        AsfStreamIo::addItemAttributes(tag->additionalArtists(), row->written.at(1).name, descriptors,
                                       libraryRecords);
        return;
    }
    case AsfWriteRule::Copyright: {
        QList<TagItem *> texts;
        QList<TagItem *> links;
        for (TagItem *item : items)
            (isUrlText(item->toString()) ? links : texts).append(item);
        AsfStreamIo::addItemAttributes(texts, row->written.at(0).name, descriptors, libraryRecords);
        AsfStreamIo::addItemAttributes(links, row->written.at(1).name, descriptors, libraryRecords);
        return;
    }
    case AsfWriteRule::NumberPair:
        if (!separateCounts) {
            const int countType = itemType == TrackNumber ? TrackCount : DiscCount;
            AsfStreamIo::addStringAttributes(tag->numberPairTexts(itemType, countType), row->written.at(0).name,
                                             descriptors, libraryRecords);
            return;
        }
        break;
    case AsfWriteRule::Count:
        if (!separateCounts)
            return;
        break;
    default:
        break;
    }
    for (const AsfAttributeName &name : row->written)
        AsfStreamIo::addItemAttributes(items, name.name, descriptors, libraryRecords, name.format);
}

// An object of the header built from a count and entries, or null for no entries.
AsfObject *attributeObject(IoStream *stream, const QUuid &guid, const QList<QByteArray> &entries, QObject *parent)
{
    if (entries.isEmpty())
        return nullptr;
    if (entries.size() > 0xFFFF)
        throw Exception(AsfStreamIo::TooManyAttributes, {stream->displayName()});
    QByteArray data(2, '\0');
    qToLittleEndian(quint16(entries.size()), data.data());
    data += entries.join();
    return new AsfObject(guid, -1, AsfObject::headerSize + data.size(), data, parent);
}

} // namespace

void AsfStreamIo::writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                            const TaggingSettings *settings)
{
    if (!tagTypes.isEmpty() && !tagTypes.contains(TagType::Asf))
        return;
    if (!settings)
        settings = &TaggingSettings::defaults();

    QObject local;
    stream->seek(0);
    QList<AsfObject *> objects = parseFile(stream, &local);
    checkHeader(stream, objects);
    AsfObject *header = objects.first();
    // Only an extension inside the header is written with it.
    const QList<AsfObject *> extensions = AsfObject::findAll({header}, AsfObject::headerExtensionGuid());
    if (extensions.isEmpty())
        throw Exception(NoHeaderToWrite, {stream->displayName()});
    AsfObject *extension = extensions.first();
    const qint64 oldHeaderSize = header->size;

    for (const QUuid *guid :
         {&AsfObject::contentDescriptionGuid(), &AsfObject::extendedContentDescriptionGuid(),
          &AsfObject::contentBrandingGuid(), &AsfObject::metadataGuid(), &AsfObject::metadataLibraryGuid(),
          &AsfObject::paddingGuid()})
        AsfObject::removeAll(objects, *guid);

    if (tag) {
        QList<QByteArray> descriptors;
        QList<QByteArray> libraryRecords;
        const QMap<int, QList<TagItem *>> byType = tag->itemsByType();
        for (auto it = byType.cbegin(); it != byType.cend(); ++it) {
            try {
                addTypeAttributes(tag, settings, it.key(), it.value(), descriptors, libraryRecords);
            } catch (const Exception &e) {
                // A value the file cannot hold fails the whole write, before anything is
                // written; any other failure leaves out that item type alone.
                if (e.code == AttributeTooLarge)
                    throw;
            }
        }
        // Title, author, copyright, description and rating go where every reader looks for them.
        const QByteArray described = AsfContentDescription::take(descriptors, libraryRecords);
        if (descriptors.size() > 0xFFFF || libraryRecords.size() > 0xFFFF)
            throw Exception(TooManyAttributes, {stream->displayName()});
        if (!described.isEmpty())
            header->appendChild(new AsfObject(AsfObject::contentDescriptionGuid(), -1,
                                              AsfObject::headerSize + described.size(), described, header));
        if (AsfObject *object =
                attributeObject(stream, AsfObject::extendedContentDescriptionGuid(), descriptors, header))
            header->appendChild(object);
        if (AsfObject *object = attributeObject(stream, AsfObject::metadataLibraryGuid(), libraryRecords, extension))
            extension->appendChild(object);
    }

    const qint64 newHeaderSize = header->updateSize(stream);
    const AsfSettings &options = settings->asf;
    qint64 padding = 0;
    if (oldHeaderSize >= newHeaderSize + AsfObject::headerSize) {
        padding = paddingSize(oldHeaderSize - newHeaderSize, options);
    } else if (oldHeaderSize != newHeaderSize) {
        padding = options.preferredPaddingSize;
    }
    // A padding object has at least its own header: smaller reserves are rounded up.
    if (padding > 0 && padding < AsfObject::headerSize)
        padding = AsfObject::headerSize;
    if (padding > 0) {
        header->appendChild(new AsfObject(AsfObject::paddingGuid(), -1, padding,
                                          QByteArray(padding - AsfObject::headerSize, '\0'), header));
        header->updateSize(stream);
    }

    IoStream serialised(QIODevice::ReadWrite);
    header->write(&serialised);
    const QByteArray bytes = serialised.data();
    if (bytes.size() != header->size)
        throw Exception(HeaderSizeMismatch, {stream->displayName(), qint64(bytes.size()), header->size});

    stream->seek(0);
    stream->replace(oldHeaderSize, bytes);
}

void AsfStreamIo::removeTags(IoStream *stream, const QList<int> &tagTypes, const TaggingSettings *settings)
{
    writeTags(stream, nullptr, tagTypes, settings);
}
