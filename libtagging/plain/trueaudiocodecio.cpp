#include "libtagging/plain/trueaudiocodecio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/text/latin1textcodec.h"
#include "libtagging/plain/codecheaderrules.h"

TrueAudioCodecIo *TrueAudioCodecIo::instance()
{
    static TrueAudioCodecIo *const io = new TrueAudioCodecIo();
    return io;
}

AudioProperties TrueAudioCodecIo::readAudioProperties(IoStream *stream, qint64 audioSize)
{
    AudioProperties properties = CodecHeaderRules::start(stream, audioSize, AudioCodec::TrueAudio,
                                                         QStringLiteral("True Audio"), QStringLiteral("True Audio"));
    properties.bitrateType = BitrateType::Variable;
    properties.compression = CompressionType::Lossless;

    if (stream->readText(Latin1TextCodec::instance(), TextLengthPrefix::None, 4, 4) != QLatin1String("TTA1"))
        throw Exception(NotTrueAudio, {stream->displayName()});
    stream->readUInt16(false);
    properties.channels = stream->readUInt16(false);
    properties.bitsPerSample = stream->readUInt16(false);
    const quint32 rate = stream->readUInt32(false);
    properties.sampleRate = rate > quint32(INT_MAX) ? 0 : int(rate);
    const quint32 samples = stream->readUInt32(false);
    CodecHeaderRules::setDurationAndBitrate(properties, samples);
    return properties;
}
