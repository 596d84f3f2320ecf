#pragma once

#include "libtagging/model/icodecio.h"

// Reads the audio properties of TrueAudio headers.
// A stateless singleton, shared by every thread.
class TrueAudioCodecIo : public ICodecIo
{
public:
    static TrueAudioCodecIo *instance();

    AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) override;

private:
    TrueAudioCodecIo() = default;
    ~TrueAudioCodecIo() override = default;
};
