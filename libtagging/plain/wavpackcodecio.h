#pragma once

#include "libtagging/model/icodecio.h"

class IoStream;

// WavPack: the first block header, and a walk over the blocks when it does not give the total.
class WavPackCodecIo : public ICodecIo
{
public:
    enum Code : quint32 {
        NotWavPack = 0x2D7CE90B,
        BlockMagicMissing = 0x14CD120A,
        BlockOutOfSequence = 0xEF622C0C,
    };

    static const int sampleRates[15];

    static WavPackCodecIo *instance();

    AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) override;

private:
    WavPackCodecIo() = default;
    ~WavPackCodecIo() override = default;
};
