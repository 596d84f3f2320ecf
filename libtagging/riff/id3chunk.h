#pragma once

#include <QByteArray>

class AudioTag;
class IoStream;
class QObject;
class TaggingSettings;

// A whole ID3v2 tag stored as the data of a RIFF or AIFF chunk.
class Id3Chunk
{
public:
    // The tag at the start of data, or null when data holds none. Its record's offsets are
    // file positions: dataOffset is where data starts in file, whose name the memory copy
    // takes for messages.
    static AudioTag *read(const QByteArray &data, qint64 dataOffset, IoStream *file,
                          const TaggingSettings *settings, QObject *parent);
    // Whether an ID3v2 tag starts at the start of data.
    static bool holdsTag(const QByteArray &data, IoStream *file);
    // The tag rendered with the given version and text encoding, without unsynchronisation
    // or padding; every other option keeps its default.
    static QByteArray render(IoStream *file, const AudioTag *tag, int version, int textEncoding);
};
