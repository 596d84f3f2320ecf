#pragma once

#include <QString>

// Kinds of container around the audio data.
namespace AudioContainer {
enum Id : int { None = 0, Ogg = 1, Mp4 = 2, Asf = 3, Riff = 4, Aiff = 5, Unknown = 7 };
}

namespace AudioCodec {
enum Id : int {
    Mpeg = 0,
    Opus = 1,
    Vorbis = 2,
    Flac = 3,
    Speex = 4,
    Aac = 5,
    Alac = 6,
    Wma = 7,
    MonkeysAudio = 8,
    Musepack = 9,
    WavPack = 10,
    OptimFrog = 11,
    Tak = 12,
    TrueAudio = 13,
    Pcm = 14,
    Unknown = 15
};
}

namespace BitrateType {
enum Id : int { Constant = 0, Variable = 1, Unknown = 2 };
}

namespace CompressionType {
enum Id : int { Lossy = 0, Lossless = 1, Unknown = 2 };
}

// The technical data of one audio stream. Zero in a numeric field means "not known".
class AudioProperties
{
public:
    AudioProperties() = default;

    // Display texts of the enumerated fields; empty for values without one.
    static QString containerName(int container);
    static QString bitrateTypeName(int bitrateType);
    static QString compressionName(int compression);

    bool valid = false;
    int channels = 0;
    int bitrate = 0;       // bits per second of the audio data
    int sampleRate = 0;    // Hz
    int bitsPerSample = 0; // 0 when the header gives none
    int duration = 0;      // milliseconds
    qint64 fileSize = 0;
    qint64 audioSize = 0;  // without tags and container overhead
    int container = AudioContainer::Unknown;
    int codec = AudioCodec::Unknown;
    QString codecName;
    QString codecFullName;
    int bitrateType = BitrateType::Unknown;
    int compression = CompressionType::Unknown;
};
