#pragma once

#include "libtagging/model/icodecio.h"

// Reads the audio properties of TAK headers.
// A stateless singleton, shared by every thread.
class TakCodecIo : public ICodecIo
{
public:
    static TakCodecIo *instance();

    AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) override;

private:
    TakCodecIo() = default;
    ~TakCodecIo() override = default;
};
