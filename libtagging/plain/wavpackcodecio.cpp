#include "libtagging/plain/wavpackcodecio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/text/latin1textcodec.h"
#include "libtagging/plain/codecheaderrules.h"

namespace {

constexpr quint32 unknownTotal = 0xFFFFFFFF;
constexpr quint32 monoFlag = 1u << 2;
constexpr quint32 hybridFlag = 1u << 3;
// The first block of a group; streams of more than two channels hold one block per pair
// of channels, all with the same index and samples.
constexpr quint32 initialBlockFlag = 1u << 11;
constexpr int sampleRateSubBlock = 0x27;

bool readMagic(IoStream *stream)
{
    return stream->readText(Latin1TextCodec::instance(), TextLengthPrefix::None, 4, 4) == QLatin1String("wvpk");
}

// The rate of the sample-rate sub-block of a block's metadata, 0 when there is none.
int sampleRateFromSubBlocks(IoStream *stream, qint64 begin, qint64 end)
{
    const QByteArray data = stream->readBytesAt(begin, qMax<qint64>(0, end - begin));
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    qsizetype i = 0;
    while (i + 2 <= data.size()) {
        const uchar id = bytes[i];
        qint64 words = bytes[i + 1];
        i += 2;
        if (id & 0x80) { // large: a 24-bit size
            if (i + 2 > data.size())
                break;
            words |= qint64(bytes[i]) << 8 | qint64(bytes[i + 1]) << 16;
            i += 2;
        }
        const qint64 size = words * 2 - ((id & 0x40) ? 1 : 0); // odd size: one byte of padding
        if ((id & 0x3F) == sampleRateSubBlock && size >= 3 && i + size <= data.size()) {
            quint32 rate = bytes[i] | quint32(bytes[i + 1]) << 8 | quint32(bytes[i + 2]) << 16;
            if (size >= 4)
                rate |= quint32(bytes[i + 3]) << 24;
            return rate > quint32(INT_MAX) ? 0 : int(rate);
        }
        i += words * 2;
    }
    return 0;
}

} // namespace

const int WavPackCodecIo::sampleRates[15] = {6000,  8000,  9600,  11025, 12000, 16000, 22050, 24000,
                                             32000, 44100, 48000, 64000, 88200, 96000, 192000};

WavPackCodecIo *WavPackCodecIo::instance()
{
    static WavPackCodecIo *const io = new WavPackCodecIo();
    return io;
}

AudioProperties WavPackCodecIo::readAudioProperties(IoStream *stream, qint64 audioSize)
{
    AudioProperties properties = CodecHeaderRules::start(stream, audioSize, AudioCodec::WavPack,
                                                         QStringLiteral("WavPack"), QStringLiteral("WavPack"));
    properties.bitrateType = BitrateType::Constant;

    const qint64 audioStart = stream->pos();
    const qint64 audioEnd = audioStart + qMax<qint64>(0, audioSize);
    if (!readMagic(stream))
        throw Exception(NotWavPack, {stream->displayName()});
    const quint32 blockSize = stream->readUInt32(false);
    const qint64 blockEnd = stream->pos() + blockSize;
    stream->readUInt32(false);
    const quint32 totalSamples = stream->readUInt32(false);
    const quint32 firstIndex = stream->readUInt32(false);
    const quint32 firstSamples = stream->readUInt32(false);
    const quint32 flags = stream->readUInt32(false);
    stream->readUInt32(false);

    properties.bitsPerSample = int((flags & 3) + 1) * 8;
    properties.channels = (flags & monoFlag) ? 1 : 2;
    properties.compression = (flags & hybridFlag) ? CompressionType::Lossy : CompressionType::Lossless;
    const int rateIndex = int(flags >> 23) & 15;
    if (rateIndex < 15)
        properties.sampleRate = sampleRates[rateIndex];
    else
        properties.sampleRate =
            sampleRateFromSubBlocks(stream, audioStart + 32, qMin(blockEnd, qMin(audioEnd, stream->size())));

    quint64 samples = totalSamples;
    if (firstIndex != 0 || totalSamples == unknownTotal) {
        // Count the samples of every block; each block must continue where the last ended.
        samples = firstSamples;
        stream->seek(qMin(blockEnd, stream->size()));
        while (stream->pos() < audioEnd) {
            if (!readMagic(stream))
                throw Exception(BlockMagicMissing, {stream->displayName()});
            const quint32 size = stream->readUInt32(false);
            const qint64 sizeEnd = stream->pos();
            stream->readBytes(8);
            const quint64 index = stream->readUInt32(false);
            const quint32 blockSamples = stream->readUInt32(false);
            const quint32 blockFlags = stream->readUInt32(false);
            if (blockFlags & initialBlockFlag) {
                if (index != firstIndex + samples)
                    throw Exception(BlockOutOfSequence, {stream->displayName(), qint64(firstIndex + samples)});
                samples += blockSamples;
            }
            stream->seek(qMin(sizeEnd + size, stream->size()));
        }
    }

    if (samples != 0 && properties.sampleRate != 0)
        CodecHeaderRules::setDurationAndBitrate(properties, samples);
    return properties;
}
