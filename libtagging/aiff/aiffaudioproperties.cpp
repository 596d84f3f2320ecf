// Audio properties of AIFF and AIFC files, from the "COMM" and "SSND" chunks.

#include "libtagging/aiff/aiffstreamio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/text/asciitextcodec.h"
#include "libtagging/plain/codecheaderrules.h"

AudioProperties AiffStreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    QObject local;
    const qint64 start = stream->pos();
    checkHeader(stream);
    stream->seek(start);
    const QList<AiffChunk *> chunks = parseChunks(stream, stream->size() - start, &local);
    if (chunks.isEmpty() || chunks.first()->children.isEmpty())
        throw Exception(NoChunksForProperties, {stream->displayName()});

    AudioProperties properties;
    properties.valid = true;
    properties.container = AudioContainer::Aiff;
    properties.fileSize = stream->size();

    const IffChunk *common = nullptr;
    bool soundSeen = false;
    for (const IffChunk *chunk : chunks.first()->children) {
        if (chunk->id == QLatin1String("SSND") && !soundSeen) {
            properties.audioSize = chunk->dataSize;
            soundSeen = true;
        } else if (chunk->id == QLatin1String("COMM") && !common) {
            common = chunk;
        }
    }
    if (!common)
        throw Exception(NoCommonChunk, {stream->displayName()});
    if (common->data.size() < 18)
        throw Exception(CommonChunkTooShort, {stream->displayName(), common->data.size()});

    IoStream comm(common->data, QIODevice::ReadOnly);
    properties.channels = comm.readUInt16(true);
    const quint32 frames = comm.readUInt32(true);
    properties.bitsPerSample = comm.readUInt16(true);
    // Infinity is clamped and not-a-number reads as unknown (0).
    properties.sampleRate = CodecHeaderRules::clampToInt(comm.readExtended(true));
    QString type;
    if (common->data.size() >= 24)
        type = comm.readText(AsciiTextCodec::instance(), TextLengthPrefix::None, 4, 4).toUpper();

    quint64 durationFrames = frames;
    static const QStringList pcmTypes = {QString(), QStringLiteral("NONE"), QStringLiteral("SOWT"),
                                         QStringLiteral("ALAW"), QStringLiteral("ULAW")};
    const bool floatingPoint = type == QLatin1String("FL32") || type == QLatin1String("FL64");
    if (pcmTypes.contains(type) || floatingPoint) {
        properties.codec = AudioCodec::Pcm;
        properties.codecName = QStringLiteral("PCM");
        properties.codecFullName = QStringLiteral("Pulse Code Modulation");
        if (floatingPoint)
            properties.codecFullName += QStringLiteral(" (floating point)");
        properties.bitrateType = BitrateType::Constant;
        properties.compression = CompressionType::Lossless;
    } else {
        if (type == QLatin1String("MAC3") || type == QLatin1String("MAC6"))
            durationFrames = quint64(frames) * 6;
        const int length = comm.readByte();
        const QString name = comm.readText(nullptr, TextLengthPrefix::None, length, length);
        properties.codecName = name;
        properties.codecFullName = name;
        properties.compression = CompressionType::Lossy;
    }
    CodecHeaderRules::setDurationAndBitrate(properties, durationFrames);
    return properties;
}
