#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class IoStream;

// One chunk of a RIFF/RIFX or AIFF/AIFC file held in memory. Both families share this
// tree; a Format names what sets them apart (container ids, the chunks left in the file,
// error codes), the byte order is handed to parse and rewrite.
//
// A loaded chunk is written from `data` and `children`; a chunk that is not loaded (audio
// data, padding) leaves its payload in the source stream and is referred to by position.
// Chunks are QObject children of their container, so a tree dies with the object that owns
// its top level.
class IffChunk : public QObject
{
public:
    enum Code : quint32 {
        SizeFieldOverflow = 0x841689b3,
        NestedTooDeeply = 0x8778abfd,
    };

    struct Format {
        // Chunks made of a 4-byte type followed by sub-chunks.
        QStringList listIds;
        // Chunks whose payload stays in the file while parsing.
        QStringList streamIds;
        // A chunk to be read into memory is larger than maximumLoadSize:
        // [display name, chunk length with header, chunk offset].
        quint32 oversizeCode;
        // The writer does not stand where the layout put a chunk:
        // [display name, id, position, expected position].
        quint32 positionCode;
        // Makes a parsed chunk of the family (not loaded when data is null).
        IffChunk *(*create)(const QString &id, qint64 size, const QByteArray &data, bool loaded,
                            qint64 offset, QObject *parent);
    };

    // Chunks other than those left in the file are read whole, up to this many data bytes.
    static constexpr qint64 maximumLoadSize = 0x8000000;
    // The largest value of a 32-bit size field.
    static constexpr qint64 maximumSizeField = Q_INT64_C(0xFFFFFFFF);
    // Lists nest at most this deep; a deeper one is refused rather than recursed into.
    static constexpr int maximumDepth = 32;

    // A chunk built in memory: loaded, no data yet, no position.
    IffChunk(const QString &id, QObject *parent = nullptr);
    // A parsed chunk read into memory; size is the whole length with the header.
    IffChunk(const QString &id, qint64 size, const QByteArray &data, qint64 offset, QObject *parent = nullptr);
    // A parsed chunk left in the stream.
    IffChunk(const QString &id, qint64 size, qint64 offset, QObject *parent = nullptr);

    // Replaces the chunk's own bytes (a list's type, any other chunk's payload).
    void setData(const QByteArray &bytes);

    void appendChild(IffChunk *chunk);
    void insertChild(int index, IffChunk *chunk);
    void appendChildren(const QList<IffChunk *> &chunks);
    void insertChildren(int index, const QList<IffChunk *> &chunks);
    void removeChild(int index);
    void removeChildren(int index, int count);

    // The length the chunk takes in a file: the whole chunk and its pad byte.
    qint64 paddedSize() const { return size + (size & 1); }

    // Gives the chunk and its children new positions from position on, advances position
    // past the chunk and its pad byte and returns that padded length. `size` keeps the
    // unpadded length.
    qint64 layout(qint64 &position);

    // The chunks of the `length` bytes from the stream's position (cut to the stream's end),
    // QObject children of parent. A chunk claiming more than its container holds is cut to
    // it; no chunk, pad byte or list reaches past the end of its container.
    static QList<IffChunk *> parse(const Format &format, IoStream *stream, qint64 length, bool bigEndian,
                                   QObject *parent);

    // Lays the chunks out from start and writes them over the stream, moving payloads left in
    // the file through the stream's bounded in-place moves, then cuts the stream after them.
    // Refuses, before writing anything, a chunk whose size no longer fits its size field.
    static void rewrite(const Format &format, IoStream *stream, const QList<IffChunk *> &chunks, qint64 start,
                        bool bigEndian);

    QString id;
    // The whole length: header, own data and the padded lengths of the children, without
    // the chunk's own pad byte. -1 for a chunk built in memory until its first layout.
    qint64 size = -1;
    // The chunk's own bytes: 4 for a list (its type), the payload length otherwise.
    qint64 dataSize = -1;
    bool loaded = true;
    QByteArray data;
    // Position of the header in the source stream; -1 for a chunk built in memory.
    qint64 offset = -1;
    // Position given by the last layout; -1 before.
    qint64 newOffset = -1;
    QList<IffChunk *> children;

private:
    struct Writer;
    static QList<IffChunk *> parseRange(const Format &format, IoStream *stream, qint64 end, bool bigEndian,
                                        int depth, QObject *parent);
    void checkSizeFields(IoStream *stream) const;
    void collect(const Format &format, Writer &writer) const;
};
