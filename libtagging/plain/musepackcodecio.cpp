#include "libtagging/plain/musepackcodecio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/text/latin1textcodec.h"
#include "libtagging/plain/codecheaderrules.h"

const int MusePackCodecIo::sampleRates[4] = {44100, 48000, 37800, 32000};

namespace {

int rateOfIndex(int index)
{
    return index < 4 ? MusePackCodecIo::sampleRates[index] : 0;
}

} // namespace

MusePackCodecIo *MusePackCodecIo::instance()
{
    static MusePackCodecIo *const io = new MusePackCodecIo();
    return io;
}

quint64 MusePackCodecIo::readPacketSize(IoStream *stream, int *length)
{
    const qint64 start = stream->pos();
    quint64 value = 0;
    for (int i = 1; i <= 10; ++i) {
        const uchar byte = stream->readByte();
        if (value >> 57)
            throw Exception(DamagedPacketSize, {stream->displayName(), start});
        value = value << 7 | (byte & 0x7F);
        if (!(byte & 0x80)) {
            if (length)
                *length = i;
            return value;
        }
    }
    throw Exception(DamagedPacketSize, {stream->displayName(), start});
}

AudioProperties MusePackCodecIo::readAudioProperties(IoStream *stream, qint64 audioSize)
{
    AudioProperties properties = CodecHeaderRules::start(stream, audioSize, AudioCodec::Musepack,
                                                         QStringLiteral("MusePack"), QStringLiteral("MusePack"));
    properties.bitrateType = BitrateType::Variable;
    properties.compression = CompressionType::Lossy;

    const qint64 audioStart = stream->pos();
    const qint64 limit = audioStart + qMax<qint64>(0, audioSize);
    quint64 samples = 0;
    if (stream->readText(Latin1TextCodec::instance(), TextLengthPrefix::None, 4, 4) == QLatin1String("MPCK")) {
        while (stream->pos() < limit) {
            const qint64 packetStart = stream->pos();
            const QByteArray key = stream->readBytes(2);
            int sizeLength = 0;
            const quint64 size = readPacketSize(stream, &sizeLength);
            // The size counts the key and itself: anything shorter would never move on.
            if (size < quint64(2 + sizeLength))
                throw Exception(DamagedPacketSize, {stream->displayName(), packetStart});
            if (key == "SH") {
                stream->readBytes(5);
                samples = readPacketSize(stream);
                readPacketSize(stream);
                properties.sampleRate = rateOfIndex(stream->readByte() >> 5);
                properties.channels = (stream->readByte() >> 4) + 1;
                break;
            }
            if (size >= quint64(limit - packetStart))
                break;
            stream->seek(packetStart + qint64(size));
        }
    } else {
        stream->seek(audioStart);
        if (stream->readText(Latin1TextCodec::instance(), TextLengthPrefix::None, 3, 3) != QLatin1String("MP+"))
            throw Exception(NotMusePack, {stream->displayName(), -1});
        const QByteArray header = stream->readBytes(20); // bytes 3 to 22
        const int version = uchar(header.at(0)) & 0x0F;
        if (version != 7)
            throw Exception(UnsupportedVersion, {stream->displayName(), version});
        const quint32 frames = uchar(header.at(1)) | quint32(uchar(header.at(2))) << 8
                               | quint32(uchar(header.at(3))) << 16 | quint32(uchar(header.at(4))) << 24;
        properties.sampleRate = rateOfIndex(uchar(header.at(7)) & 3);
        const quint32 lastFrameSamples = (uchar(header.at(18)) >> 4) | (quint32(uchar(header.at(19)) & 0x7F) << 4);
        properties.channels = 2;
        if (frames != 0) {
            const quint64 n = quint64(frames - 1) * 1152 + lastFrameSamples;
            samples = n < 481 ? 0 : n - 481;
        }
    }
    CodecHeaderRules::setDurationAndBitrate(properties, samples);
    return properties;
}
