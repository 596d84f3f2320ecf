#pragma once

#include "libtagging/model/icodecio.h"

// Reads the audio properties of OptimFROG headers.
// A stateless singleton, shared by every thread.
class OptimFrogCodecIo : public ICodecIo
{
public:
    static OptimFrogCodecIo *instance();

    AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) override;

private:
    OptimFrogCodecIo() = default;
    ~OptimFrogCodecIo() override = default;
};
