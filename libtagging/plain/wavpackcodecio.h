#pragma once

#include "libtagging/model/icodecio.h"

// Reads the audio properties of WavPack block headers.
// A stateless singleton, shared by every thread.
class WavPackCodecIo : public ICodecIo
{
public:
    static WavPackCodecIo *instance();

    AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) override;

private:
    WavPackCodecIo() = default;
    ~WavPackCodecIo() override = default;
};
