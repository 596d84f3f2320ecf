#pragma once

#include <QtGlobal>

class FileType;
class IoStream;

// Whether the bytes of a file are what its name says. File types go by suffix, so a file
// saved under the wrong one (an MP4 file named ".mp3") would get tags of the wrong format
// written around it, and tags put in front of a format that keeps absolute offsets break
// it. Before a tag is written: a stream without container must hold, where its audio
// begins, no signature of another format this system reads, and a valid stream of its
// codec; a container must not begin like another known format. Reading uses the same
// check to say why a file has no audio properties.
class StreamContentCheck
{
public:
    enum Code : quint32 {
        OtherFormat = 0xB5D79691, // [display name, the type's name, what the content looks like]
        NoValidStream = 0x3747C07C, // [display name, the type's name]
        EmptyFile = 0x9967A9A2, // [display name]
    };

    StreamContentCheck() = delete;

    // The whole check of a file of the type (null: a stream without a name to go by),
    // open for reading: the audio between the tags at the two ends of a plain stream, the
    // start of a container behind the tags in front of it. Throws one of the codes above.
    static void check(IoStream *stream, const FileType *type);
    // The same for a plain stream whose audio lies from start to end.
    static void checkPlainStream(IoStream *stream, const FileType *type, qint64 start, qint64 end);
    // Only the signatures, which cost one short read: throws OtherFormat when the bytes at
    // start carry that of a format the type does not hold.
    static void checkSignature(IoStream *stream, const FileType *type, qint64 start, qint64 end);

    // The id of the file type whose signature begins at start, MPEG audio and ADTS AAC
    // recognised by two agreeing frame headers there; 0 for none.
    static int formatAt(IoStream *stream, qint64 start, qint64 end);
};
