#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class IoStream;

// One box of an MP4 file held in memory. A loaded box is written from `data` and
// `children`; a box that is not loaded (media data, free space) leaves its payload in the
// source stream and is referred to by position. Boxes are QObject children of their
// container, so a tree dies with the object that owns its top level.
class Mp4Box : public QObject
{
public:
    // Error codes of the box tree.
    enum Code : quint32 {
        WrongWritePosition = 0x104419c0,
        PayloadTooLarge = 0xb4642359,
        InvalidFreeBoxSize = 0x92bf632b,
    };

    // Sizes at or above this need the 16-byte header.
    static constexpr qint64 largeSizeLimit = Q_INT64_C(0x100000000);
    // Payloads are held in one QByteArray at most this long.
    static constexpr qint64 maximumLoadSize = 0x7FFFFFFF;

    // A box built in memory.
    Mp4Box(const QString &type, const QByteArray &data, QObject *parent = nullptr);
    // A parsed box.
    Mp4Box(const QString &type, const QByteArray &data, bool loaded, qint64 offset, qint64 size,
           int headerSize, QObject *parent = nullptr);

    void setData(const QByteArray &bytes);

    void appendChild(Mp4Box *box);
    void insertChild(int index, Mp4Box *box);
    void appendChildren(const QList<Mp4Box *> &boxes);
    void removeChild(int index);

    // Gives the box (and its children) new positions from position on, advancing it past
    // the box; returns the new size.
    qint64 layout(qint64 &position);
    void loadData(IoStream *stream);
    // Writes the box at its laid-out position. A box that is not loaded gets its header
    // only; its payload is expected at the right place already.
    void write(IoStream *stream) const;

    // The header as it will be written after the last layout: size field, type and, for
    // the 16-byte form, the 64-bit size.
    QByteArray headerBytes() const;
    // The payload bytes that stay in the source stream of a box that is not loaded.
    qint64 payloadSize() const { return size - currentHeaderSize(); }
    // The header length the box has in the stream it will be written to: the length chosen
    // by the last layout, else the parsed one.
    int currentHeaderSize() const { return newHeaderSize >= 0 ? newHeaderSize : headerSize; }

    qint64 offset = -1;
    qint64 newOffset = -1;
    qint64 size = -1;
    int headerSize = -1;
    // Header length chosen by the last layout; -1 before any layout.
    int newHeaderSize = -1;
    QString type;
    QByteArray data;
    bool loaded = true;
    QList<Mp4Box *> children;
};
