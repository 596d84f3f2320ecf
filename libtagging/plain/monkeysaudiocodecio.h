#pragma once

#include "libtagging/model/icodecio.h"

// Reads the audio properties of Monkey's Audio headers.
// A stateless singleton, shared by every thread.
class MonkeysAudioCodecIo : public ICodecIo
{
public:
    static MonkeysAudioCodecIo *instance();

    AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) override;

private:
    MonkeysAudioCodecIo() = default;
    ~MonkeysAudioCodecIo() override = default;
};
