#include "libtagging/xiph/flacstreamio.h"

#include "libcore/image/codedimage.h"
#include "libcore/io/iostream.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/asciitextcodec.h"
#include "libcore/text/utf8textcodec.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/padding.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/xiph/oggpage.h"
#include "libtagging/xiph/vorbiscommenttagio.h"

#include <QDir>
#include <QImage>
#include <QtEndian>

namespace {

bool handlesVorbisComments(const QList<int> &tagTypes)
{
    return tagTypes.isEmpty() || tagTypes.contains(TagType::VorbisComment);
}

// A text with a 32-bit big-endian length that must fit the data (null codec: detected).
QString readPictureText(IoStream *stream, TextCodec *codec)
{
    const quint32 length = stream->readUInt32(true);
    const qint64 available = stream->size() - stream->pos();
    if (qint64(length) > available) {
        // The stream's own short-read failure, raised before anything is allocated.
        stream->readBytes(qint64(length));
    }
    return stream->readText(codec, TextLengthPrefix::None, int(length), int(length));
}

// The vendor of a comment block; a damaged one reads as empty rather than failing the save.
QString vendorOf(const QByteArray &body)
{
    if (body.size() < 4)
        return QString();
    const quint32 length = qFromLittleEndian<quint32>(body.constData());
    if (qint64(length) > body.size() - 4)
        return QString();
    return QString::fromUtf8(body.constData() + 4, qsizetype(length));
}

qint64 metadataSize(const QList<FlacMetadataBlock> &blocks)
{
    qint64 total = 0;
    for (const FlacMetadataBlock &block : blocks)
        total += 4 + block.data.size();
    return total;
}

QList<AudioTag *> readTagFromBlocks(IoStream *stream, const QList<FlacMetadataBlock> &blocks,
                                    const TaggingSettings *settings, QObject *parent)
{
    QObject scratch;
    AudioTag *tag = nullptr;
    QList<const FlacMetadataBlock *> used;
    for (const FlacMetadataBlock &block : blocks) {
        if (block.type != FlacMetadataBlock::VorbisComment && block.type != FlacMetadataBlock::Picture)
            continue;
        try {
            IoStream body(block.data, QIODevice::ReadOnly);
            body.setName(stream->name());
            AudioTag *found = nullptr;
            if (block.type == FlacMetadataBlock::VorbisComment) {
                found = VorbisCommentTagIo::instance()->read(&body, nullptr, settings, &scratch);
            } else {
                found = new AudioTag(&scratch);
                found->addItem(FlacStreamIo::readPictureBlock(&body, nullptr));
            }
            if (!tag) {
                tag = found;
            } else {
                tag->takeAllItems(found);
                delete found;
            }
            used.append(&block);
        } catch (Exception &) {
            // This block is lost; the others still make the tag.
        }
    }
    if (!tag || tag->itemList().isEmpty())
        return {};
    auto *info = new TagInfo();
    qint64 offset = used.first()->offset;
    int size = 0;
    QByteArray raw;
    for (const FlacMetadataBlock *block : std::as_const(used)) {
        offset = qMin(offset, block->offset);
        size += 4 + int(block->data.size());
        raw += block->data;
    }
    info->values.insert(TagInfo::TagTypeKey, int(TagType::VorbisComment));
    info->values.insert(TagInfo::OffsetKey, offset);
    info->values.insert(TagInfo::SizeKey, size);
    info->values.insert(TagInfo::RawDataKey, raw);
    info->values.insert(TagInfo::PrependedKey, true);
    tag->setTagInfo(info);
    tag->setParent(parent);
    return {tag};
}

} // namespace

FlacStreamIo *FlacStreamIo::instance()
{
    static FlacStreamIo *const io = new FlacStreamIo();
    return io;
}

// Native files

QList<AudioTag *> FlacStreamIo::readTags(IoStream *stream, const QList<int> &tagTypes,
                                         const TaggingSettings *settings, QObject *parent)
{
    if (!handlesVorbisComments(tagTypes))
        return {};
    checkSignature(stream);
    const QList<FlacMetadataBlock> blocks = readBlocks(stream);
    return readTagFromBlocks(stream, blocks, settings, parent);
}

void FlacStreamIo::writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                             const TaggingSettings *settings)
{
    if (!handlesVorbisComments(tagTypes))
        return;
    const qint64 start = stream->pos();
    checkSignature(stream);
    QList<FlacMetadataBlock> blocks = readBlocks(stream);
    const qint64 end = stream->pos();
    rewriteBlocks(stream, blocks, tag, (settings ? *settings : TaggingSettings::defaults()).flac);
    QByteArray bytes;
    for (const QByteArray &block : serializeBlocks(stream, blocks))
        bytes += block;
    stream->seek(start + 4);
    stream->replace(end - start - 4, bytes);
}

void FlacStreamIo::removeTags(IoStream *stream, const QList<int> &tagTypes, const TaggingSettings *settings)
{
    writeTags(stream, nullptr, tagTypes, settings);
}

AudioProperties FlacStreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    checkSignature(stream);
    const QList<FlacMetadataBlock> blocks = readBlocks(stream);
    return streamInfoProperties(blocks, stream->size(), stream->size() - stream->pos());
}

QList<int> FlacStreamIo::supportedItemTypes() const
{
    return VorbisCommentTagIo::instance()->supportedItemTypes();
}

// FLAC in Ogg

QList<AudioTag *> FlacStreamIo::readTags(IoStream *stream, const QList<QByteArray> &headerPackets,
                                         const QList<int> &tagTypes, const TaggingSettings *settings,
                                         QObject *parent)
{
    if (!handlesVorbisComments(tagTypes))
        return {};
    QObject scratch;
    IoStream *blocks = blockStreamFromPackets(headerPackets, stream->name(), &scratch);
    const QList<AudioTag *> tags = readTags(blocks, tagTypes, settings, parent);
    for (AudioTag *tag : tags) {
        if (tag->tagInfo()) {
            tag->tagInfo()->values.remove(TagInfo::OffsetKey);
            tag->tagInfo()->values.remove(TagInfo::DataOffsetKey);
        }
    }
    return tags;
}

void FlacStreamIo::writeTags(IoStream *stream, QList<QByteArray> &headerPackets, const AudioTag *tag,
                             const QList<int> &tagTypes, const TaggingSettings *settings)
{
    if (!handlesVorbisComments(tagTypes))
        return;
    QObject scratch;
    IoStream *blockStream = blockStreamFromPackets(headerPackets, stream->name(), &scratch);
    checkSignature(blockStream);
    QList<FlacMetadataBlock> blocks = readBlocks(blockStream);
    // The mapping requires a comment block, so removal writes an empty one.
    rewriteBlocks(blockStream, blocks, tag, (settings ? *settings : TaggingSettings::defaults()).flac, true);
    QList<QByteArray> packets = serializeBlocks(blockStream, blocks);
    if (headerPackets.first().size() < 13 || packets.size() - 1 > 0xFFFF)
        throw Exception(OggHeaderTooShort, {stream->displayName()});
    QByteArray head = headerPackets.first().left(13);
    qToBigEndian<quint16>(quint16(packets.size() - 1), head.data() + 7);
    packets.first().prepend(head);
    headerPackets = packets;
}

void FlacStreamIo::removeTags(IoStream *stream, QList<QByteArray> &headerPackets, const QList<int> &tagTypes,
                              const TaggingSettings *settings)
{
    writeTags(stream, headerPackets, nullptr, tagTypes, settings);
}

AudioProperties FlacStreamIo::readAudioProperties(const QList<QByteArray> &headerPackets, qint64 fileSize,
                                                  qint64 audioSize)
{
    QObject scratch;
    IoStream *blockStream = blockStreamFromPackets(headerPackets, QString(), &scratch);
    checkSignature(blockStream);
    AudioProperties properties = streamInfoProperties(readBlocks(blockStream), fileSize, audioSize);
    properties.container = 1;
    return properties;
}

QByteArray FlacStreamIo::magic() const
{
    return QByteArray("\x7F" "FLAC\x01", 6);
}

bool FlacStreamIo::isHeaderPage(int, const OggPage *page) const
{
    return page->isContinued() || page->data.isEmpty() || quint8(page->data.at(0)) != 0xFF;
}

// Pictures

ArtworkTagItem *FlacStreamIo::readPictureBlock(IoStream *stream, QObject *parent)
{
    const int pictureType = int(stream->readUInt32(true));
    const QString mimeType = readPictureText(stream, AsciiTextCodec::instance());
    const QString description = readPictureText(stream, Utf8TextCodec::instance());
    // Width, height, colour depth and colour count come from the image itself.
    stream->readBytes(16);
    if (mimeType == QLatin1String("-->")) {
        QString path = readPictureText(stream, nullptr);
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
        // The item loads the file only when it lies inside the audio file's folder.
        return new ArtworkTagItem(stream->name(), withoutTrailingSlash(path), pictureType, description, parent);
    }
    const quint32 length = stream->readUInt32(true);
    const CodedImage image(stream->readBytes(qint64(length)));
    if (image.data.isEmpty()) {
        Logger::warning(PictureWithoutData, {stream->displayName()});
        throw Exception::quiet();
    }
    return new ArtworkTagItem(image, pictureType, description, parent);
}

void FlacStreamIo::writePictureBlock(IoStream *stream, const ArtworkTagItem *item)
{
    const CodedImage image = item->image();
    if (image.data.isEmpty())
        throw Exception(PictureWithoutImage, {stream->displayName()});
    const LineEnding oldEnding = stream->writeLineEnding();
    stream->setWriteLineEnding(LineEnding::Keep);
    try {
        const bool linked = !item->linkedFile().isEmpty();
        stream->writeUInt32(quint32(item->pictureType), true);
        stream->writeText(linked ? QStringLiteral("-->") : image.mimeType(), AsciiTextCodec::instance(),
                          TextLengthPrefix::UInt32Be);
        stream->writeText(item->description, Utf8TextCodec::instance(), TextLengthPrefix::UInt32Be);
        const QImage decoded = image.image();
        stream->writeUInt32(quint32(qMax(0, image.width)), true);
        stream->writeUInt32(quint32(qMax(0, image.height)), true);
        stream->writeUInt32(quint32(decoded.bitPlaneCount()), true);
        stream->writeUInt32(quint32(decoded.colorCount()), true);
        if (linked) {
            try {
                const_cast<ArtworkTagItem *>(item)->saveLinkedFile(stream->name());
            } catch (Exception &) {
            }
            stream->writeText(QDir::toNativeSeparators(item->linkedFile()), Utf8TextCodec::instance(),
                              TextLengthPrefix::UInt32Be);
        } else {
            stream->writeUInt32(quint32(image.data.size()), true);
            stream->writeBytes(image.data);
        }
    } catch (...) {
        stream->setWriteLineEnding(oldEnding);
        throw;
    }
    stream->setWriteLineEnding(oldEnding);
}

// Blocks

void FlacStreamIo::checkSignature(IoStream *stream)
{
    if (stream->size() - stream->pos() < 4 || stream->readBytes(4) != QByteArrayLiteral("fLaC"))
        throw Exception(NoSignature, {stream->displayName()});
}

QList<FlacMetadataBlock> FlacStreamIo::readBlocks(IoStream *stream)
{
    QList<FlacMetadataBlock> blocks;
    // A missing last-block flag must not make the audio frames metadata: stop at the end
    // of the data, at a header no block has (a frame's sync byte reads as type 127) and
    // after a sane number of blocks.
    while (blocks.size() < MaxBlockCount && stream->size() - stream->pos() >= 4) {
        FlacMetadataBlock block;
        block.offset = stream->pos();
        const quint8 header = stream->readByte();
        block.type = header & 0x7F;
        if (block.type == FlacMetadataBlock::Invalid && !blocks.isEmpty()) {
            stream->seek(block.offset);
            break;
        }
        const qint64 declared = stream->readUInt32(true, 3);
        const qint64 length = qMin<qint64>(declared, stream->size() - stream->pos());
        block.data = stream->readBytes(length);
        blocks.append(block);
        if (header & 0x80)
            break;
    }
    if (blocks.isEmpty() || blocks.first().type != FlacMetadataBlock::StreamInfo)
        throw Exception(NoStreamInfo, {stream->displayName()});
    return blocks;
}

AudioProperties FlacStreamIo::streamInfoProperties(const QList<FlacMetadataBlock> &blocks, qint64 fileSize,
                                                   qint64 audioSize)
{
    IoStream info(blocks.first().data, QIODevice::ReadOnly);
    info.seek(10);
    const QByteArray bytes = info.readBytes(8);
    const auto byte = [&](int i) { return quint64(quint8(bytes.at(i))); };
    AudioProperties properties;
    properties.valid = true;
    properties.codecName = QStringLiteral("FLAC");
    properties.codecFullName = QStringLiteral("Free Lossless Audio Codec");
    properties.codec = 3;
    properties.compression = 1;
    properties.bitrateType = 1;
    properties.container = 0;
    properties.sampleRate = int((byte(0) << 12) | (byte(1) << 4) | (byte(2) >> 4));
    properties.channels = int(((byte(2) >> 1) & 0x07) + 1);
    properties.bitsPerSample = int((((byte(2) & 0x01) << 4) | (byte(3) >> 4)) + 1);
    const quint64 samples = ((byte(3) & 0x0F) << 32) | (byte(4) << 24) | (byte(5) << 16) | (byte(6) << 8) | byte(7);
    properties.fileSize = fileSize;
    properties.audioSize = audioSize;
    if (properties.sampleRate != 0)
        properties.duration = int(qMin<double>(double(samples) / (properties.sampleRate / 1000.0), INT_MAX));
    if (properties.duration != 0)
        properties.bitrate = int(qMin<double>(double(audioSize) * 8 / (properties.duration / 1000.0), INT_MAX));
    return properties;
}

void FlacStreamIo::rewriteBlocks(IoStream *stream, QList<FlacMetadataBlock> &blocks, const AudioTag *tag,
                                 const FlacSettings &settings, bool keepComment)
{
    const qint64 oldTotal = metadataSize(blocks);
    QString vendor;
    for (qsizetype i = blocks.size() - 1; i >= 0; --i) {
        const int type = blocks[i].type;
        if (type == FlacMetadataBlock::VorbisComment)
            vendor = vendorOf(blocks[i].data);
        if (type == FlacMetadataBlock::VorbisComment || type == FlacMetadataBlock::Picture
            || type == FlacMetadataBlock::Padding)
            blocks.removeAt(i);
    }
    if (blocks.isEmpty() || blocks.first().type != FlacMetadataBlock::StreamInfo)
        throw Exception(RebuiltWithoutStreamInfo, {stream->displayName()});

    if (tag || keepComment) {
        // Pictures go into blocks of their own, never into the comment. Only the FLAC options
        // reach this point, so the other options take their defaults.
        VorbisCommentSettings commentSettings;
        commentSettings.coverArtType = 0;
        commentSettings.vendor = vendor;
        commentSettings.framingBit = false;
        IoStream comment(QIODevice::ReadWrite);
        comment.setName(stream->name());
        VorbisCommentTagIo::instance()->renderComment(&comment, tag, commentSettings, true);
        FlacMetadataBlock commentBlock;
        commentBlock.type = FlacMetadataBlock::VorbisComment;
        commentBlock.data = comment.data();
        qsizetype at = 1;
        blocks.insert(at++, commentBlock);
        if (tag) {
            for (const TagItem *item : tag->items(ArtworkTagItem::Type)) {
                try {
                    IoStream picture(QIODevice::ReadWrite);
                    picture.setName(stream->name());
                    writePictureBlock(&picture, static_cast<const ArtworkTagItem *>(item));
                    FlacMetadataBlock pictureBlock;
                    pictureBlock.type = FlacMetadataBlock::Picture;
                    pictureBlock.data = picture.data();
                    blocks.insert(at++, pictureBlock);
                } catch (Exception &) {
                    // This picture is left out.
                }
            }
        }
    }

    const qint64 newTotal = metadataSize(blocks);
    qint64 padding = 0;
    if (oldTotal < newTotal + 4) {
        padding = oldTotal == newTotal ? 0 : settings.preferredPaddingSize;
    } else {
        padding = paddingSize(oldTotal - newTotal, settings);
    }
    if (padding != 0) {
        if (padding < 4)
            throw Exception(PaddingTooSmall, {stream->displayName(), padding});
        FlacMetadataBlock paddingBlock;
        paddingBlock.type = FlacMetadataBlock::Padding;
        paddingBlock.data = QByteArray(padding - 4, char(0));
        blocks.append(paddingBlock);
    }
}

QList<QByteArray> FlacStreamIo::serializeBlocks(IoStream *stream, const QList<FlacMetadataBlock> &blocks)
{
    QList<QByteArray> out;
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        const FlacMetadataBlock &block = blocks[i];
        if (block.data.size() > 0xFFFFFF)
            throw Exception(BlockTooLong, {stream->displayName(), qint64(block.data.size())});
        QByteArray bytes(4, char(0));
        bytes[0] = char((block.type & 0x7F) | (i == blocks.size() - 1 ? 0x80 : 0));
        const quint32 length = quint32(block.data.size());
        bytes[1] = char(length >> 16);
        bytes[2] = char(length >> 8);
        bytes[3] = char(length);
        out.append(bytes + block.data);
    }
    return out;
}

IoStream *FlacStreamIo::blockStreamFromPackets(const QList<QByteArray> &headerPackets, const QString &name,
                                               QObject *parent)
{
    QByteArray all;
    for (const QByteArray &packet : headerPackets)
        all += packet;
    const QString displayName = name.isEmpty() ? QStringLiteral("[Ogg FLAC header]") : name;
    if (all.size() <= 8)
        throw Exception(OggHeaderTooShort, {displayName});
    if (quint8(all.at(0)) != 0x7F)
        throw Exception(OggNoPacketType, {displayName});
    if (all.mid(1, 4) != QByteArrayLiteral("FLAC"))
        throw Exception(OggNoSignature, {displayName});
    if (quint8(all.at(5)) != 1)
        throw Exception(OggUnknownVersion, {displayName});
    auto *stream = new IoStream(all.mid(9), QIODevice::ReadWrite, parent);
    stream->setName(name);
    return stream;
}
