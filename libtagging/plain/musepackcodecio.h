#pragma once

#include "libtagging/model/icodecio.h"

class IoStream;

// Musepack: the stream header packet of stream version 8, or the fixed header of version 7.
class MusePackCodecIo : public ICodecIo
{
public:
    enum Code : quint32 {
        NotMusePack = 0x1A2260FF,
        UnsupportedVersion = 0x5EAB6855,
        // A packet size shorter than its own header, or one that does not fit 64 bits.
        DamagedPacketSize = 0x99C579DB,
    };

    static const int sampleRates[4];

    static MusePackCodecIo *instance();

    AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) override;

    // A variable-length number: 7 bits a byte, most significant first, bit 7 set when
    // another byte follows; at most 10 bytes. *length gets the byte count. Throws
    // DamagedPacketSize for more bytes or a value beyond 64 bits.
    static quint64 readPacketSize(IoStream *stream, int *length = nullptr);

private:
    MusePackCodecIo() = default;
    ~MusePackCodecIo() override = default;
};
