#pragma once

#include "libtagging/model/icodecio.h"

// Reads the audio properties of MPEG audio frames.
// A stateless singleton, shared by every thread.
class MpegCodecIo : public ICodecIo
{
public:
    static MpegCodecIo *instance();

    AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) override;

private:
    MpegCodecIo() = default;
    ~MpegCodecIo() override = default;
};
