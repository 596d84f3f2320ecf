#pragma once

#include "libtagging/model/audioproperties.h"

#include <QString>

class IoStream;

// What every codec header reader shares: the fields it always sets and the two formulas
// that turn samples and bytes into a duration and a bitrate.
namespace CodecHeaderRules {

// A valid record of a stream without container: file size, audio size, codec and names.
AudioProperties start(IoStream *stream, qint64 audioSize, int codec, const QString &codecName,
                      const QString &codecFullName);

// A computed count as an int: negative and not-a-number give 0, huge values the maximum.
int clampToInt(double value);

// Milliseconds of samples at the rate, truncated; 0 when the rate is 0.
int durationOf(quint64 samples, int sampleRate);

// Bits per second of bytes over milliseconds, truncated; 0 when the duration is 0.
int bitrateOf(qint64 audioSize, int durationMs);

// Sets duration from the samples and bitrate from the audio size and that duration.
void setDurationAndBitrate(AudioProperties &properties, quint64 samples);

} // namespace CodecHeaderRules
