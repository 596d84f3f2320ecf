#include "libtagging/plain/takcodecio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/text/latin1textcodec.h"
#include "libtagging/plain/codecheaderrules.h"

namespace {

enum ObjectType { EndOfObjects = 0, StreamInfo = 1, EncoderInfo = 4 };

// count bits from bit position first, bit 0 being the lowest bit of byte 0.
quint64 bitsAt(const QByteArray &data, int first, int count)
{
    quint64 value = 0;
    for (int i = 0; i < count; ++i) {
        const int bit = first + i;
        if (uchar(data.at(bit / 8)) & (1u << (bit % 8)))
            value |= quint64(1) << i;
    }
    return value;
}

} // namespace

TakCodecIo *TakCodecIo::instance()
{
    static TakCodecIo *const io = new TakCodecIo();
    return io;
}

AudioProperties TakCodecIo::readAudioProperties(IoStream *stream, qint64 audioSize)
{
    AudioProperties properties = CodecHeaderRules::start(stream, audioSize, AudioCodec::Tak, QStringLiteral("TAK"),
                                                         QStringLiteral("TAK lossless audio compressor"));
    properties.bitrateType = BitrateType::Variable;
    properties.compression = CompressionType::Lossless;

    const qint64 limit = stream->pos() + qMax<qint64>(0, audioSize);
    if (stream->readText(Latin1TextCodec::instance(), TextLengthPrefix::None, 4, 4) != QLatin1String("tBaK"))
        throw Exception(NotTak, {stream->displayName()});

    bool streamInfoSeen = false;
    while (stream->pos() < limit) {
        const int type = stream->readByte() & 0x7F;
        if (type == EndOfObjects)
            break;
        const int size = int(stream->readUInt32(false, 3));
        if (type == StreamInfo) {
            if (size <= 9)
                throw Exception(StreamInfoTooSmall, {stream->displayName(), size, 1});
            const QByteArray data = stream->readBytes(size);
            const quint64 samples = bitsAt(data, 14, 35);
            properties.sampleRate = int(bitsAt(data, 52, 18)) + 6000;
            properties.bitsPerSample = int(bitsAt(data, 70, 5)) + 8;
            // Four bits of channels; bit 79 flags an extension with the channel layout.
            properties.channels = int(bitsAt(data, 75, 4)) + 1;
            CodecHeaderRules::setDurationAndBitrate(properties, samples);
            streamInfoSeen = true;
        } else if (type == EncoderInfo) {
            if (size <= 2)
                throw Exception(EncoderInfoTooSmall, {stream->displayName(), size, 4});
            const QByteArray data = stream->readBytes(size);
            properties.codecFullName +=
                QStringLiteral(" %1.%2.%3").arg(uchar(data.at(2))).arg(uchar(data.at(1))).arg(uchar(data.at(0)));
        } else {
            stream->seek(stream->pos() + size);
        }
    }
    if (!streamInfoSeen)
        throw Exception(NoStreamInfo, {stream->displayName()});
    return properties;
}
