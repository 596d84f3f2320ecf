#include "libtagging/plain/optimfrogcodecio.h"

#include "libcore/io/iostream.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/text/latin1textcodec.h"
#include "libtagging/plain/codecheaderrules.h"

#include <QFileInfo>

OptimFrogCodecIo *OptimFrogCodecIo::instance()
{
    static OptimFrogCodecIo *const io = new OptimFrogCodecIo();
    return io;
}

AudioProperties OptimFrogCodecIo::readAudioProperties(IoStream *stream, qint64 audioSize)
{
    AudioProperties properties = CodecHeaderRules::start(stream, audioSize, AudioCodec::OptimFrog,
                                                         QStringLiteral("OptimFROG"), QStringLiteral("OptimFROG"));
    properties.bitrateType = BitrateType::Variable;

    if (stream->readText(Latin1TextCodec::instance(), TextLengthPrefix::None, 4, 4) != QLatin1String("OFR "))
        throw Exception(NotOptimFrog, {stream->displayName()});

    // The lossy mode is told apart by the file name only.
    if (QFileInfo(withoutTrailingSlash(stream->name())).suffix().toLower() == QLatin1String("ofs")) {
        properties.compression = CompressionType::Lossy;
        properties.codecFullName += QStringLiteral(" DualStream");
    } else {
        properties.compression = CompressionType::Lossless;
    }

    const quint32 headerSize = stream->readUInt32(false);
    if (headerSize < 15)
        throw Exception(HeaderTooSmall, {stream->displayName(), headerSize});
    const quint64 samplesLow = stream->readUInt32(false);
    const quint64 samplesHigh = stream->readUInt16(false);
    const quint64 totalSamples = samplesLow | (samplesHigh << 32);
    const int sampleType = stream->readByte();
    properties.channels = stream->readByte() + 1;
    const quint32 rate = stream->readUInt32(false);
    properties.sampleRate = rate > quint32(INT_MAX) ? 0 : int(rate);
    const int encoderId = stream->readUInt16(false);

    if (sampleType <= 1)
        properties.bitsPerSample = 8;
    else if (sampleType <= 3)
        properties.bitsPerSample = 16;
    else if (sampleType <= 5)
        properties.bitsPerSample = 24;
    else if (sampleType <= 10)
        properties.bitsPerSample = 32;

    const int v = (encoderId >> 4) + 4500;
    properties.codecFullName += QStringLiteral(" %1.%2").arg(v / 1000).arg(v % 1000);

    CodecHeaderRules::setDurationAndBitrate(properties, totalSamples / quint64(properties.channels));
    return properties;
}
