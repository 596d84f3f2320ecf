#pragma once

#include "libtagging/model/icodecio.h"

class IoStream;

// TrueAudio: one fixed header.
class TrueAudioCodecIo : public ICodecIo
{
public:
    enum Code : quint32 {
        NotTrueAudio = 0xD577D3BE,
    };

    static TrueAudioCodecIo *instance();

    AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) override;

private:
    TrueAudioCodecIo() = default;
    ~TrueAudioCodecIo() override = default;
};
