#pragma once

// The header flags of one ID3v2 frame and the values of their extra bytes, carried from
// the reader through an unknown-frame item back to the frame writer, which writes them in
// the layout of the version it writes.
struct Id3v2FrameFlags {
    bool tagAlterPreservation = false;
    bool fileAlterPreservation = false;
    bool readOnly = false;
    bool grouping = false;
    bool compression = false;
    bool encryption = false;
    bool unsynchronisation = false;
    bool dataLengthIndicator = false;
    int groupId = 0;
    int encryptionMethod = 0;
    int dataLength = 0;

    friend bool operator==(const Id3v2FrameFlags &, const Id3v2FrameFlags &) = default;
};
