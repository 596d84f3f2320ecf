#pragma once

#include "libtagging/riff/iffchunk.h"

// A chunk of an AIFF or AIFC file (always big-endian). Only "FORM" holds sub-chunks, and
// only the sound data of "SSND" stays in the file.
class AiffChunk : public IffChunk
{
public:
    enum Code : quint32 {
        ChunkTooLarge = 0x6635bd69,
        WrongWritePosition = 0xc956f1ee,
    };

    using IffChunk::IffChunk;

    static const Format &format();

    AiffChunk *child(int index) const { return static_cast<AiffChunk *>(children.at(index)); }
};
