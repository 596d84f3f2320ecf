#include "libtagging/plain/codecheaderrules.h"

#include "libcore/io/iostream.h"

#include <limits>

namespace CodecHeaderRules {

AudioProperties start(IoStream *stream, qint64 audioSize, int codec, const QString &codecName,
                      const QString &codecFullName)
{
    AudioProperties properties;
    properties.valid = true;
    properties.container = AudioContainer::None;
    properties.fileSize = stream->size();
    properties.audioSize = audioSize;
    properties.codec = codec;
    properties.codecName = codecName;
    properties.codecFullName = codecFullName;
    return properties;
}

// Values beyond an int (a damaged header claiming years of audio) are clamped rather than
// wrapped into negative numbers.
int clampToInt(double value)
{
    if (!(value > 0))
        return 0;
    if (value >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(value);
}

int durationOf(quint64 samples, int sampleRate)
{
    if (sampleRate == 0)
        return 0;
    return clampToInt(double(samples) / (double(sampleRate) / 1000.0));
}

int bitrateOf(qint64 audioSize, int durationMs)
{
    if (durationMs == 0)
        return 0;
    return clampToInt(double(audioSize) * 8.0 / (double(durationMs) / 1000.0));
}

void setDurationAndBitrate(AudioProperties &properties, quint64 samples)
{
    properties.duration = durationOf(samples, properties.sampleRate);
    properties.bitrate = bitrateOf(properties.audioSize, properties.duration);
}

} // namespace CodecHeaderRules
