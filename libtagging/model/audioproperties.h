#pragma once

#include <QString>

// The technical data of one audio stream. Zero in a numeric field means "not known".
class AudioProperties
{
public:
    bool valid = false;
    int channels = 0;
    int bitrate = 0;       // bits per second of the audio data
    int sampleRate = 0;    // Hz
    int bitsPerSample = 0; // 0 when the header gives none
    int duration = 0;      // milliseconds
    qint64 fileSize = 0;
    qint64 audioSize = 0;  // without tags and container overhead
    int container = 7;     // AudioContainer, Unknown
    int codec = 15;        // AudioCodec, Unknown
    QString codecName;
    QString codecFullName;
    int bitrateType = 2;   // BitrateType, Unknown
    int compression = 2;   // CompressionType, Unknown
};
