#include "libtagging/xiph/vorbisstreamio.h"

#include "libcore/io/iostream.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/xiph/oggcommentpacket.h"
#include "libtagging/xiph/vorbiscommenttagio.h"

namespace {

// The comment packet begins with 0x03 "vorbis".
constexpr int commentOffset = 7;

} // namespace

VorbisStreamIo *VorbisStreamIo::instance()
{
    static VorbisStreamIo *const io = new VorbisStreamIo();
    return io;
}

QList<AudioTag *> VorbisStreamIo::readTags(IoStream *stream, const QList<QByteArray> &headerPackets,
                                           const QList<int> &tagTypes, const TaggingSettings *settings,
                                           QObject *parent)
{
    if (!OggCommentPacket::handlesVorbisComments(tagTypes))
        return {};
    OggCommentPacket::checkPacketCount(stream, headerPackets, 2);
    return OggCommentPacket::read(stream, headerPackets[1], commentOffset, settings, parent);
}

void VorbisStreamIo::writeTags(IoStream *stream, QList<QByteArray> &headerPackets, const AudioTag *tag,
                               const QList<int> &tagTypes, const TaggingSettings *settings)
{
    if (!OggCommentPacket::handlesVorbisComments(tagTypes))
        return;
    OggCommentPacket::checkPacketCount(stream, headerPackets, 2);
    const TaggingSettings &options = settings ? *settings : TaggingSettings::defaults();
    VorbisCommentSettings comment = options.vorbisComment;
    comment.vendor = OggCommentPacket::vendor(stream, headerPackets[1], commentOffset);
    comment.coverArtType = options.vorbis.coverArtType;
    headerPackets[1] =
        headerPackets[1].left(commentOffset) + OggCommentPacket::render(stream, tag, comment, &options);
}

void VorbisStreamIo::removeTags(IoStream *stream, QList<QByteArray> &headerPackets, const QList<int> &tagTypes,
                                const TaggingSettings *settings)
{
    writeTags(stream, headerPackets, nullptr, tagTypes, settings);
}

AudioProperties VorbisStreamIo::readAudioProperties(const QList<QByteArray> &headerPackets, qint64 fileSize,
                                                    qint64 audioSize)
{
    IoStream head(headerPackets.value(0), QIODevice::ReadOnly);
    head.seek(7);
    const quint32 version = head.readUInt32(false);
    const int channels = head.readByte();
    const quint32 sampleRate = head.readUInt32(false);
    const qint32 maximum = qint32(head.readUInt32(false));
    head.readUInt32(false);
    const qint32 minimum = qint32(head.readUInt32(false));

    AudioProperties properties;
    properties.valid = true;
    properties.container = 1;
    properties.codec = 2;
    properties.codecName = QStringLiteral("Vorbis");
    properties.codecFullName = QStringLiteral("Vorbis version %1").arg(version);
    properties.channels = channels;
    properties.sampleRate = int(qMin<quint32>(sampleRate, INT_MAX));
    // Encoders write -1 (or 0) for a limit they do not set.
    const bool maximumSet = maximum > 0;
    const bool minimumSet = minimum > 0;
    if (!maximumSet && !minimumSet)
        properties.bitrateType = 2;
    else
        properties.bitrateType = maximumSet && minimumSet && maximum == minimum ? 0 : 1;
    properties.compression = 0;
    properties.fileSize = fileSize;
    properties.audioSize = audioSize;
    return properties;
}

QList<int> VorbisStreamIo::supportedItemTypes() const
{
    return VorbisCommentTagIo::instance()->supportedItemTypes();
}

QByteArray VorbisStreamIo::magic() const
{
    return QByteArrayLiteral("\x01vorbis");
}

bool VorbisStreamIo::isHeaderPage(int packetsBefore, const OggPage *) const
{
    return packetsBefore <= 2;
}
