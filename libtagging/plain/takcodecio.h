#pragma once

#include "libtagging/model/icodecio.h"

class IoStream;

// TAK: the metadata objects behind the magic, for the stream and encoder information.
class TakCodecIo : public ICodecIo
{
public:
    enum Code : quint32 {
        NotTak = 0x691E8BF8,
        StreamInfoTooSmall = 0xCBEAE4AD,
        EncoderInfoTooSmall = 0x271DDB7C,
        NoStreamInfo = 0x757F0ACA,
    };

    static TakCodecIo *instance();

    AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) override;

private:
    TakCodecIo() = default;
    ~TakCodecIo() override = default;
};
