#pragma once

#include "libtagging/model/icodecio.h"

// Reads the audio properties of Musepack headers.
// A stateless singleton, shared by every thread.
class MusePackCodecIo : public ICodecIo
{
public:
    static MusePackCodecIo *instance();

    AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) override;

private:
    MusePackCodecIo() = default;
    ~MusePackCodecIo() override = default;
};
