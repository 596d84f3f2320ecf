#pragma once

#include "libtagging/riff/iffchunk.h"

// A chunk of a RIFF (little-endian) or RIFX (big-endian) file of form "WAVE" or "RMID".
// "RIFF", "RIFX" and "LIST" hold sub-chunks; the payloads of "data", "JUNK" and "PAD "
// stay in the file.
class RiffChunk : public IffChunk
{
public:
    enum Code : quint32 {
        ChunkTooLarge = 0x4bf10391,
        WrongWritePosition = 0x39020fb9,
    };

    using IffChunk::IffChunk;

    static const Format &format();

    RiffChunk *child(int index) const { return static_cast<RiffChunk *>(children.at(index)); }
};
