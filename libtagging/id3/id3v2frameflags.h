#pragma once

#include <QByteArray>

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

    // The flags of a version 2.3 or 2.4 frame header's status and format bytes.
    static Id3v2FrameFlags fromHeaderBytes(int version, quint8 status, quint8 format);
    // Reads the extra bytes these flags call for (data length, encryption method, group id)
    // from the start of the frame's data in the version's order, and gives their count; -1
    // when the data ends first. Version 2.2 frames have none.
    qsizetype readExtraBytes(int version, const QByteArray &data);

    friend bool operator==(const Id3v2FrameFlags &, const Id3v2FrameFlags &) = default;
};

// One frame header as the tag's frames hold it: the id's bytes, the size of the data that
// follows and the flags, in the layout of version 2.2 (3-byte id and size, no flags), 2.3 or
// 2.4 (synchsafe sizes, unless the tag's writer stored plain ones).
struct Id3v2FrameHeader {
    enum Result { Read, NoFrame, Truncated };

    static constexpr int size(int version) { return version == 2 ? 6 : 10; }
    static bool isIdByte(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' '; }

    // Decodes the header at position and moves past it. NoFrame: padding or bytes that
    // cannot be an id, or a size of 2 GiB or more; Truncated: the data ends inside the header.
    Result decode(const QByteArray &data, qsizetype &position, int version, bool synchsafeSizes);

    const char *id = nullptr; // into the decoded data
    int idSize = 0;
    int dataSize = 0;
    Id3v2FrameFlags flags;
};
