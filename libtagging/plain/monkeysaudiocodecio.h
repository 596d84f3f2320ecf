#pragma once

#include "libtagging/model/icodecio.h"

class IoStream;

// Monkey's Audio: the old header (versions before 3.98) or the descriptor and header of later versions.
class MonkeysAudioCodecIo : public ICodecIo
{
public:
    enum Code : quint32 {
        NotMonkeysAudio = 0x732A7CDD,
    };

    static MonkeysAudioCodecIo *instance();

    AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) override;

private:
    MonkeysAudioCodecIo() = default;
    ~MonkeysAudioCodecIo() override = default;
};
