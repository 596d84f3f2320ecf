// Audio properties of RIFF/WAVE files, from the "fmt " and "data" chunks.

#include "libtagging/riff/riffstreamio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/plain/codecheaderrules.h"
#include "libtagging/plain/mpegcodecio.h"

using CodecHeaderRules::clampToInt;

AudioProperties RiffStreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    QObject local;
    const qint64 start = stream->pos();
    const bool littleEndian = checkHeader(stream);
    const bool bigEndian = !littleEndian;
    stream->seek(start);
    const QList<RiffChunk *> chunks = parseChunks(stream, stream->size() - start, littleEndian, &local);
    if (chunks.isEmpty() || chunks.first()->children.isEmpty())
        throw Exception(NoChunksForProperties, {stream->displayName()});
    const QList<IffChunk *> &children = chunks.first()->children;

    qint64 audioSize = 0;
    qint64 audioStart = 0;
    const IffChunk *format = nullptr;
    for (const IffChunk *chunk : children) {
        if (chunk->id == QLatin1String("data") && audioStart == 0) {
            audioSize = chunk->dataSize;
            audioStart = chunk->offset + 8;
        } else if (chunk->id == QLatin1String("fmt ") && !format) {
            format = chunk;
        }
    }
    if (!format)
        throw Exception(NoFormatChunk, {stream->displayName()});
    if (format->data.size() < 16)
        throw Exception(FormatChunkTooShort, {stream->displayName()});

    IoStream fmt(format->data, QIODevice::ReadOnly);
    const quint16 formatCode = fmt.readUInt16(bigEndian);
    AudioProperties properties;
    properties.valid = true;

    if (formatCode == 1) {
        properties.fileSize = stream->size();
        properties.audioSize = audioSize;
        properties.codec = AudioCodec::Pcm;
        properties.codecName = QStringLiteral("PCM");
        properties.codecFullName = QStringLiteral("Pulse Code Modulation");
        properties.bitrateType = BitrateType::Constant;
        properties.compression = CompressionType::Lossless;
        properties.channels = fmt.readUInt16(bigEndian);
        properties.sampleRate = clampToInt(fmt.readUInt32(bigEndian));
        fmt.seek(14);
        properties.bitsPerSample = fmt.readUInt16(bigEndian);
        const qint64 frameBits = qint64(properties.bitsPerSample) * properties.channels;
        const quint64 frames = frameBits != 0 ? quint64(audioSize) * 8 / quint64(frameBits) : 0;
        CodecHeaderRules::setDurationAndBitrate(properties, frames);
    } else if (formatCode == 0x50 || formatCode == 0x55) {
        stream->seek(audioStart);
        properties = MpegCodecIo::instance()->readAudioProperties(stream, audioSize);
    } else {
        properties.channels = fmt.readUInt16(bigEndian);
        properties.sampleRate = clampToInt(fmt.readUInt32(bigEndian));
        const quint32 bytesPerSecond = fmt.readUInt32(bigEndian);
        properties.fileSize = stream->size();
        properties.audioSize = audioSize;
        if (bytesPerSecond != 0) {
            properties.bitrate = clampToInt(double(bytesPerSecond) * 8);
            properties.duration = clampToInt(double(audioSize) * 8 / (double(properties.bitrate) / 1000.0));
        }
    }
    properties.container = AudioContainer::Riff;
    return properties;
}
