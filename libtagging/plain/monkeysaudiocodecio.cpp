#include "libtagging/plain/monkeysaudiocodecio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/text/latin1textcodec.h"
#include "libtagging/plain/codecheaderrules.h"

namespace {

QString compressionLevelName(int level)
{
    switch (level) {
    case 1000:
        return QStringLiteral("fast");
    case 2000:
        return QStringLiteral("normal");
    case 3000:
        return QStringLiteral("high");
    case 4000:
        return QStringLiteral("extra high");
    case 5000:
        return QStringLiteral("insane");
    default:
        return QString();
    }
}

} // namespace

MonkeysAudioCodecIo *MonkeysAudioCodecIo::instance()
{
    static MonkeysAudioCodecIo *const io = new MonkeysAudioCodecIo();
    return io;
}

AudioProperties MonkeysAudioCodecIo::readAudioProperties(IoStream *stream, qint64 audioSize)
{
    AudioProperties properties = CodecHeaderRules::start(stream, audioSize, AudioCodec::MonkeysAudio,
                                                         QStringLiteral("MAC"), QString());
    properties.bitrateType = BitrateType::Variable;
    properties.compression = CompressionType::Lossless;

    const qint64 start = stream->pos();
    if (stream->readText(Latin1TextCodec::instance(), TextLengthPrefix::None, 4, 4) != QLatin1String("MAC "))
        throw Exception(NotMonkeysAudio, {stream->displayName()});

    const int version = stream->readUInt16(false);
    int minor = version % 1000;
    while (minor != 0 && minor % 10 == 0)
        minor /= 10;

    int level = 0;
    quint32 blocksPerFrame = 0;
    quint32 finalFrameBlocks = 0;
    quint32 totalFrames = 0;
    if (version > 3979) {
        stream->readUInt16(false);
        const quint32 descriptorSize = stream->readUInt32(false);
        stream->seek(start + (descriptorSize < 52 ? 52 : qint64(descriptorSize)));
        level = stream->readUInt16(false);
        stream->readUInt16(false);
        blocksPerFrame = stream->readUInt32(false);
        finalFrameBlocks = stream->readUInt32(false);
        totalFrames = stream->readUInt32(false);
        properties.bitsPerSample = stream->readUInt16(false);
        properties.channels = stream->readUInt16(false);
        properties.sampleRate = int(stream->readUInt32(false));
    } else {
        level = stream->readUInt16(false);
        stream->readUInt16(false);
        properties.channels = stream->readUInt16(false);
        properties.sampleRate = int(stream->readUInt32(false));
        stream->readBytes(8);
        totalFrames = stream->readUInt32(false);
        finalFrameBlocks = stream->readUInt32(false);
        if (version >= 3950)
            blocksPerFrame = 294912;
        else if (version >= 3900 || (version >= 3800 && level == 4000))
            blocksPerFrame = 73728;
        else
            blocksPerFrame = 9216;
    }
    // A rate above 2^31 in a damaged header is no rate.
    if (properties.sampleRate < 0)
        properties.sampleRate = 0;

    const quint64 samples =
        totalFrames == 0 ? 0 : quint64(totalFrames - 1) * blocksPerFrame + finalFrameBlocks;
    CodecHeaderRules::setDurationAndBitrate(properties, samples);

    properties.codecFullName = QStringLiteral("Monkey's Audio Codec %1.%2").arg(version / 1000).arg(minor);
    const QString levelName = compressionLevelName(level);
    if (!levelName.isEmpty())
        properties.codecFullName += QStringLiteral(" (%1 compression)").arg(levelName);
    return properties;
}
