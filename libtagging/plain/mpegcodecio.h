#pragma once

#include "libtagging/model/icodecio.h"

class IoStream;

// MPEG audio (layers 1 to 3 of MPEG-1, MPEG-2 and MPEG-2.5): the first frame header, a
// Xing, Info or VBRI header behind it, else a walk over the frames.
class MpegCodecIo : public ICodecIo
{
public:
    enum Code : quint32 {
        NoFrameSync = 0x3AF077D2,
        ReservedVersion = 0xD0E71E6A,
        ReservedLayer = 0x726BD875,
        ReservedSampleRate = 0x00A07248,
    };

    static MpegCodecIo *instance();

    AudioProperties readAudioProperties(IoStream *stream, qint64 audioSize) override;

    // Leaves the stream at the first plausible frame header within maximum bytes of the
    // position (and the stream); throws NoFrameSync when there is none.
    static void findFrameSync(IoStream *stream, qint64 maximum);
    // Like findFrameSync, but takes a header only where the stream goes on as it says, as
    // common readers do: the header where the frame's length puts the next one has the same
    // version, layer and sample rate, or the frame ends at end. Bytes of another format
    // rarely carry such a pair by chance. Looks no further than end for the next header.
    static void findFirstFrame(IoStream *stream, qint64 maximum, qint64 end);
    // Whether a header at pos begins a frame that findFirstFrame takes.
    static bool isConfirmedFrame(IoStream *stream, qint64 pos, qint64 end);

private:
    MpegCodecIo() = default;
    ~MpegCodecIo() override = default;
};
