#pragma once

#include "libtagging/model/icodecio.h"

class IoStream;

// OptimFROG: one fixed header; a file named ".ofs" is the lossy DualStream mode.
class OptimFrogCodecIo : public ICodecIo
{
public:
    enum Code : quint32 {
        NotOptimFrog = 0x4FC0F8AC,
        HeaderTooSmall = 0xC95EC11B,
    };

    static OptimFrogCodecIo *instance();

    AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) override;

private:
    OptimFrogCodecIo() = default;
    ~OptimFrogCodecIo() override = default;
};
