#include "libtagging/xiph/opusstreamio.h"

#include "libcore/io/iostream.h"
#include "libtagging/model/padding.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/xiph/oggcommentpacket.h"
#include "libtagging/xiph/vorbiscommenttagio.h"

namespace {

// The comment packet begins with "OpusTags".
constexpr int commentOffset = 8;

// What follows the old comment in the packet; empty when there is no readable comment.
QByteArray trailingData(IoStream *file, const QByteArray &packet)
{
    if (packet.size() < commentOffset)
        return QByteArray();
    QObject scratch;
    IoStream stream(packet, QIODevice::ReadOnly);
    stream.setName(file->name());
    stream.seek(commentOffset);
    const TagInfo *info = VorbisCommentTagIo::instance()->detect(&stream, true, &scratch);
    if (!info)
        return QByteArray();
    return packet.mid(info->offset() + info->size());
}

} // namespace

OpusStreamIo *OpusStreamIo::instance()
{
    static OpusStreamIo *const io = new OpusStreamIo();
    return io;
}

QList<AudioTag *> OpusStreamIo::readTags(IoStream *stream, const QList<QByteArray> &headerPackets,
                                         const QList<int> &tagTypes, const TaggingSettings *settings,
                                         QObject *parent)
{
    if (!OggCommentPacket::handlesVorbisComments(tagTypes))
        return {};
    OggCommentPacket::checkPacketCount(stream, headerPackets, 2);
    // The comment has no framing byte here; reading never looks for one.
    return OggCommentPacket::read(stream, headerPackets[1], commentOffset, settings, parent);
}

void OpusStreamIo::writeTags(IoStream *stream, QList<QByteArray> &headerPackets, const AudioTag *tag,
                             const QList<int> &tagTypes, const TaggingSettings *settings)
{
    if (!OggCommentPacket::handlesVorbisComments(tagTypes))
        return;
    OggCommentPacket::checkPacketCount(stream, headerPackets, 2);
    const TaggingSettings &options = settings ? *settings : TaggingSettings::defaults();
    const OpusSettings opus = options.opus;
    const QByteArray old = headerPackets[1];
    VorbisCommentSettings comment = options.vorbisComment;
    comment.vendor = OggCommentPacket::vendor(stream, old, commentOffset);
    comment.coverArtType = 1;
    comment.framingBit = false;
    const QByteArray trailing = trailingData(stream, old);
    QByteArray packet = old.left(commentOffset) + OggCommentPacket::render(stream, tag, comment, &options);
    if (!trailing.isEmpty() && (quint8(trailing.at(0)) & 1)) {
        // Data another program keeps after the comment.
        packet += trailing;
    } else {
        const qint64 spare = qint64(old.size()) - packet.size();
        const qint64 padding = paddingSize(spare, opus);
        packet += QByteArray(qMax<qint64>(0, padding), char(0));
    }
    headerPackets[1] = packet;
}

void OpusStreamIo::removeTags(IoStream *stream, QList<QByteArray> &headerPackets, const QList<int> &tagTypes,
                              const TaggingSettings *settings)
{
    writeTags(stream, headerPackets, nullptr, tagTypes, settings);
}

AudioProperties OpusStreamIo::readAudioProperties(const QList<QByteArray> &headerPackets, qint64 fileSize,
                                                  qint64 audioSize)
{
    IoStream head(headerPackets.value(0), QIODevice::ReadOnly);
    head.seek(8);
    const int version = head.readByte();
    const int channels = head.readByte();
    head.readUInt16(false);
    const quint32 sampleRate = head.readUInt32(false);

    AudioProperties properties;
    properties.valid = true;
    properties.container = 1;
    properties.codec = 1;
    properties.codecName = QStringLiteral("Opus");
    properties.codecFullName = QStringLiteral("Opus version %1").arg(version);
    properties.channels = channels;
    properties.sampleRate = int(qMin<quint32>(sampleRate, INT_MAX));
    properties.bitrateType = 2;
    properties.compression = 0;
    properties.fileSize = fileSize;
    properties.audioSize = audioSize;
    return properties;
}

QList<int> OpusStreamIo::supportedItemTypes() const
{
    return VorbisCommentTagIo::instance()->supportedItemTypes();
}

QByteArray OpusStreamIo::magic() const
{
    return QByteArrayLiteral("OpusHead");
}

bool OpusStreamIo::isHeaderPage(int packetsBefore, const OggPage *) const
{
    return packetsBefore <= 1;
}
