#include "libtagging/xiph/speexstreamio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/xiph/oggcommentpacket.h"
#include "libtagging/xiph/vorbiscommenttagio.h"

namespace {

// Checks the magic at the position and returns where the header began.
qint64 checkMagic(IoStream *stream)
{
    const qint64 start = stream->pos();
    if (stream->size() - start < 8 || stream->readBytes(8) != QByteArrayLiteral("Speex   "))
        throw Exception(SpeexStreamIo::NoSignature, {stream->displayName()});
    return start;
}

VorbisCommentSettings commentSettings(const TaggingSettings *settings, const QString &vendor)
{
    const TaggingSettings &options = settings ? *settings : TaggingSettings::defaults();
    VorbisCommentSettings comment = options.vorbisComment;
    comment.vendor = vendor;
    comment.coverArtType = options.speex.coverArtType;
    return comment;
}

} // namespace

SpeexStreamIo *SpeexStreamIo::instance()
{
    static SpeexStreamIo *const io = new SpeexStreamIo();
    return io;
}

// Bare Speex files

QList<AudioTag *> SpeexStreamIo::readTags(IoStream *stream, const QList<int> &tagTypes,
                                          const TaggingSettings *settings, QObject *parent)
{
    if (!OggCommentPacket::handlesVorbisComments(tagTypes))
        return {};
    const qint64 start = checkMagic(stream);
    if (stream->size() - start < HeaderSize)
        return {};
    stream->seek(start + HeaderSize);
    QObject scratch;
    TagInfo *info = VorbisCommentTagIo::instance()->detect(stream, true, &scratch);
    if (!info)
        return {};
    return {VorbisCommentTagIo::instance()->read(stream, info, settings, parent)};
}

void SpeexStreamIo::writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                              const TaggingSettings *settings)
{
    if (!OggCommentPacket::handlesVorbisComments(tagTypes))
        return;
    const qint64 start = checkMagic(stream);
    const qint64 commentStart = start + HeaderSize;
    stream->seek(commentStart);
    const VorbisCommentSettings oldComment = (settings ? *settings : TaggingSettings::defaults()).vorbisComment;
    const int oldLength = VorbisCommentTagIo::instance()->skipCommentPacket(stream, oldComment);
    QString vendor;
    try {
        stream->seek(commentStart);
        vendor = VorbisCommentTagIo::instance()->readVendorString(stream);
    } catch (Exception &) {
    }
    const QByteArray bytes = OggCommentPacket::render(stream, tag, commentSettings(settings, vendor), settings);
    stream->seek(commentStart);
    stream->replace(oldLength, bytes);
}

void SpeexStreamIo::removeTags(IoStream *stream, const QList<int> &tagTypes, const TaggingSettings *settings)
{
    writeTags(stream, nullptr, tagTypes, settings);
}

AudioProperties SpeexStreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    const qint64 start = checkMagic(stream);
    stream->seek(start + HeaderSize);
    VorbisCommentTagIo::instance()->skipCommentPacket(stream, VorbisCommentSettings());
    const qint64 audioSize = stream->size() - stream->pos();
    stream->seek(start);
    return readHeader(stream, stream->size(), audioSize);
}

QList<int> SpeexStreamIo::supportedItemTypes() const
{
    return VorbisCommentTagIo::instance()->supportedItemTypes();
}

// Speex in Ogg

QList<AudioTag *> SpeexStreamIo::readTags(IoStream *stream, const QList<QByteArray> &headerPackets,
                                          const QList<int> &tagTypes, const TaggingSettings *settings,
                                          QObject *parent)
{
    if (!OggCommentPacket::handlesVorbisComments(tagTypes))
        return {};
    OggCommentPacket::checkPacketCount(stream, headerPackets, 2);
    return OggCommentPacket::read(stream, headerPackets[1], 0, settings, parent);
}

void SpeexStreamIo::writeTags(IoStream *stream, QList<QByteArray> &headerPackets, const AudioTag *tag,
                              const QList<int> &tagTypes, const TaggingSettings *settings)
{
    if (!OggCommentPacket::handlesVorbisComments(tagTypes))
        return;
    OggCommentPacket::checkPacketCount(stream, headerPackets, 2);
    const QString vendor = OggCommentPacket::vendor(stream, headerPackets[1], 0);
    headerPackets[1] = OggCommentPacket::render(stream, tag, commentSettings(settings, vendor), settings);
}

void SpeexStreamIo::removeTags(IoStream *stream, QList<QByteArray> &headerPackets, const QList<int> &tagTypes,
                               const TaggingSettings *settings)
{
    writeTags(stream, headerPackets, nullptr, tagTypes, settings);
}

AudioProperties SpeexStreamIo::readAudioProperties(const QList<QByteArray> &headerPackets, qint64 fileSize,
                                                   qint64 audioSize)
{
    IoStream head(headerPackets.value(0), QIODevice::ReadOnly);
    AudioProperties properties = readHeader(&head, fileSize, audioSize);
    properties.container = 1;
    return properties;
}

QByteArray SpeexStreamIo::magic() const
{
    return QByteArrayLiteral("Speex   ");
}

bool SpeexStreamIo::isHeaderPage(int packetsBefore, const OggPage *) const
{
    return packetsBefore <= 1;
}

AudioProperties SpeexStreamIo::readHeader(IoStream *stream, qint64 fileSize, qint64 audioSize)
{
    const qint64 start = stream->pos();
    AudioProperties properties;
    properties.valid = true;
    properties.codecName = QStringLiteral("Speex");
    properties.codecFullName = QStringLiteral("Speex");
    properties.codec = 4;
    properties.compression = 0;
    properties.container = 0;
    properties.fileSize = fileSize;
    properties.audioSize = audioSize;
    stream->seek(start + 36);
    properties.sampleRate = int(qMin<quint32>(stream->readUInt32(false), INT_MAX));
    stream->seek(start + 48);
    properties.channels = qint32(stream->readUInt32(false));
    // The header stores -1 when the bitrate is not known; leave it for the container to fill.
    properties.bitrate = qMax<qint32>(0, qint32(stream->readUInt32(false)));
    stream->seek(start + 60);
    properties.bitrateType = qint32(stream->readUInt32(false)) != 0 ? 1 : 0;
    return properties;
}
