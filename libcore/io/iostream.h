#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QString>
#include <QUuid>
#include <QVariantList>

#include "libcore/platform/platformidentity.h"

class TextCodec;

// Error ids of the stream, with their texts ("%1" ... are the arguments in order).
enum IoStreamTextId : quint32 {
    IoStreamOpenFailedTextId = 3830782689u,        // "cannot open %1 for %2: %3"
    IoStreamSeekFailedTextId = 469209762u,         // "cannot seek to position %1 in %2: %3"
    IoStreamReadShortTextId = 3423078631u,         // "cannot read %1 bytes at position %2 in %3: %4"
    IoStreamReadBytesShortTextId = 3978645095u,    // "cannot read %1 bytes at position %2 in %3: %4"
    IoStreamReadAllShortTextId = 2767958747u,      // "cannot read the rest of %1: %2"
    IoStreamReadByteFailedTextId = 1554288990u,    // "cannot read a byte at position %1 in %2: %3"
    IoStreamBadByteCountTextId = 482144787u,       // "invalid byte count %1 for an integer"
    IoStreamBadBitCountTextId = 4091299218u,       // "invalid bit count %1"
    IoStreamWriteShortTextId = 3251216060u,        // "cannot write %1 bytes at position %2 in %3: %4"
    IoStreamWriteBytesShortTextId = 2887850145u,   // "cannot write %1 bytes at position %2 in %3: %4"
    IoStreamWriteByteFailedTextId = 1920485595u,   // "cannot write a byte at position %1 in %2: %3"
    IoStreamNegativeFillCountTextId = 1625548361u, // "cannot write a negative number of bytes (%1)"
    IoStreamFileResizeFailedTextId = 2540564070u,  // "cannot resize %1 to %2 bytes"
    IoStreamBufferResizeRefusedTextId = 3903839573u, // "cannot resize the memory buffer %1 to %2 bytes"
    IoStreamResizeUnsupportedTextId = 2495872353u, // "cannot resize %1: the device has no settable size"
    IoStreamDataUnavailableTextId = 65694945u,     // "cannot read the whole content of %1"
    IoStreamSetDataUnavailableTextId = 2119289643u, // "cannot replace the whole content of %1"
    IoStreamInsertSequentialTextId = 2699840488u,  // "cannot insert bytes into the sequential device %1"
    IoStreamRemoveSequentialTextId = 340148972u,   // "cannot remove bytes from the sequential device %1"
    IoStreamReplaceSequentialTextId = 3140502856u, // "cannot replace bytes in the sequential device %1"
    IoStreamNegativeEditCountTextId = 3837459026u, // "invalid byte count %1 for editing %2"
    IoStreamBadTextBoundsTextId = 1457124679u,     // "invalid text bounds: minimum %1, maximum %2"
    IoStreamBadReadPrefixTextId = 3220125586u,     // "unknown kind of text length prefix: %1"
    IoStreamTextPrefixTooLargeTextId = 3641096852u, // "text length %1 at position %2 in %3 is too large"
    IoStreamTextTooShortTextId = 4285459056u,      // "cannot read %1 bytes of text at position %2 in %3: only %4 bytes left"
    IoStreamUnboundedTextTextId = 1379375652u,     // "cannot read a text without bounds at position %1 in %2"
    IoStreamBadWritePrefixTextId = 364199749u,     // "unknown kind of text length prefix: %1"
    IoStreamTransactionUnavailableTextId = 150979396u, // "cannot edit %1 as one step: it is not open for writing at random positions"
};

// Kinds of length prefix before a text; the prefix counts the encoded bytes that follow,
// byte order mark, terminator and padding included.
namespace TextLengthPrefix {
enum Kind : int {
    None = 0,
    UInt8 = 1,
    UInt16Le = 2,
    UInt16Be = 3,
    UInt32Le = 4,
    UInt32Be = 5,
    UInt64Le = 6,
    UInt64Be = 7,
};
}

// The one byte stream of the system, over a file or a memory buffer. Every read, write and
// seek either transfers exactly what was asked or throws a coded Exception naming the
// operation, the position, the stream and the device's error text; callers never check
// counts. Multi-byte values always take an explicit byte order.
class IoStream : public QObject
{
    Q_OBJECT
public:
    // Tails are moved and fills written in blocks of this size, so memory stays bounded
    // whatever the length of the audio data.
    static constexpr qint64 defaultBlockSize = 4 * 1024 * 1024;

    explicit IoStream(QObject *parent = nullptr);
    explicit IoStream(const QByteArray &bytes, QObject *parent = nullptr);
    explicit IoStream(const QString &path, QObject *parent = nullptr);
    // The device stays with its owner; it is used as handed in, open or not.
    explicit IoStream(QIODevice *device, QObject *parent = nullptr);
    explicit IoStream(QIODevice::OpenMode mode, QObject *parent = nullptr);
    IoStream(const QByteArray &bytes, QIODevice::OpenMode mode, QObject *parent = nullptr);
    IoStream(const QString &path, QIODevice::OpenMode mode, QObject *parent = nullptr);
    ~IoStream() override;

    // State and naming
    void open(QIODevice::OpenMode mode);
    // Closes the device if it is open, without first putting it where the stream is.
    void close();
    // Probes whether the device opens with the mode and closes it again. Never creates a
    // file that is not there when the mode reads, and leaves no new file behind otherwise.
    bool canOpen(QIODevice::OpenMode mode);
    // A file's absolute, cleaned path; for other devices the name given with setName.
    QString name() const;
    void setName(const QString &name);
    QString displayName() const;
    // Whoever uses the device directly finds it at the stream's position.
    QIODevice *device() const;
    // Unique to the current opening of a file read-only, 0 otherwise: two equal non-zero
    // answers mean the bytes came from one opening that this stream could not write through,
    // so what was learnt of them in between still holds.
    quint64 openingId() const;
    qint64 pos() const;
    qint64 size() const;

    LineEnding readLineEnding() const { return m_readLineEnding; }
    LineEnding writeLineEnding() const { return m_writeLineEnding; }
    void setWriteLineEnding(LineEnding kind) { m_writeLineEnding = kind; }

    qint64 blockSize() const { return m_blockSize; }
    void setBlockSize(qint64 bytes);

    // Positioning and size
    void seek(qint64 pos);
    void resize(qint64 size);

    // Exact reads
    void read(char *data, qint64 n);
    QByteArray readBytes(qint64 n);
    QByteArray readAll();
    uchar readByte();
    quint32 readUInt32(bool bigEndian, int byteCount = -1);
    quint16 readUInt16(bool bigEndian, int byteCount = -1);
    float readFloat(bool bigEndian);
    double readDouble(bool bigEndian);
    double readExtended(bool bigEndian);
    QUuid readUuid(bool bigEndian);
    quint64 readBits(qint64 &bitPosition, int count, bool msbFirst = true);

    void readAt(qint64 pos, char *data, qint64 n);
    QByteArray readBytesAt(qint64 pos, qint64 n);
    QByteArray readAllAt(qint64 pos);

    // Exact writes
    void write(const char *data, qint64 n);
    void writeBytes(const QByteArray &bytes);
    void writeByte(char value);
    void fill(char value, qint64 count);
    void writeUInt32(quint32 value, bool bigEndian, int byteCount = -1);
    void writeUInt16(quint16 value, bool bigEndian, int byteCount = -1);
    void writeFloat(float value, bool bigEndian);
    void writeDouble(double value, bool bigEndian);
    void writeExtended(double value, bool bigEndian);
    void writeUuid(const QUuid &uuid, bool bigEndian);

    void writeAt(qint64 pos, const char *data, qint64 n);
    void writeBytesAt(qint64 pos, const QByteArray &bytes);
    void fillAt(qint64 pos, char value, qint64 count);

    // Whole content
    QByteArray data();
    void setData(const QByteArray &bytes);

    // Text with an optional length prefix (TextLengthPrefix), byte bounds (-1: none) and a
    // codec (null when reading: detected from the bytes).
    QString readText(TextCodec *codec, int lengthPrefix = TextLengthPrefix::None, int minBytes = -1,
                     int maxBytes = -1, bool stopAtTerminator = false, bool stopAtLineEnd = false);
    void writeText(const QString &text, TextCodec *codec, int lengthPrefix = TextLengthPrefix::None,
                   int minBytes = -1, int maxBytes = -1, bool withBom = false,
                   bool withTerminator = false);

    // In-place editing of a random-access device. The file is grown to its final size before
    // any byte moves, so a full disk leaves it as it was; the tail moves before new bytes
    // are written.
    void insert(const QByteArray &bytes);
    void remove(qint64 n);
    void replace(qint64 oldLength, const QByteArray &bytes);

    // All-or-nothing editing of a random-access device open for writing. Between
    // beginTransaction and the end of the transaction every change is recorded, so that a
    // roll-back puts back the bytes and the size the stream had. The device never gets
    // shorter before the commit (size() answers the size the content has), so putting
    // bytes back never needs more room than the device already holds. Only what was
    // written over is kept in memory, never the data moved by an edit.
    void beginTransaction();
    bool inTransaction() const { return m_transaction; }
    // A mark to roll back to; 0 is the start of the transaction.
    qint64 savepoint() const { return m_undo.size(); }
    // Undoes every change since the mark; the transaction goes on. A device closed by a
    // failed write is opened again first.
    void rollBackTo(qint64 savepoint);
    // Undoes every change and ends the transaction: the device is as it was at its start.
    void rollBack();
    // Cuts the device to the content's size and ends the transaction; rolls back and
    // throws when that fails.
    void commit();
    // Within a transaction, makes the device hold `bytes` more than the content needs now,
    // so that edits growing the content by up to that much cannot fail for lack of room:
    // a failure here comes before anything was written. Nothing happens outside one.
    void reserve(qint64 bytes);

private:
    // A read-only file answers size and position from here and small reads from a
    // read-ahead window, sparing a system call for each; a QFile asks the system every time.
    static constexpr qint64 readAheadSize = 64 * 1024;
    // Whether the device is a file open read-only, known from opening it (asking the device
    // on every read and seek costs more than the read itself).
    bool cached() const { return m_cached; }
    void dropCache();
    void deviceClosing();
    // The device with its position where the stream's is; the stream forgets its own.
    QIODevice *syncedDevice() const;
    bool fillReadAhead(qint64 pos, qint64 n);

    quint64 readUInt(bool bigEndian, int byteCount, int width);
    void writeUInt(quint64 value, bool bigEndian, int byteCount, int width);
    bool flushFile();
    [[noreturn]] void throwWriteFailure(quint32 code, QVariantList arguments);
    void openGap(qint64 at, qint64 n);
    void growBy(qint64 oldSize, qint64 n);
    void closeGap(qint64 at, qint64 n);
    void resizeDevice(qint64 size);

    // Transactions
    struct UndoStep {
        enum Kind { Bytes, Gap, Cut, Size };
        UndoStep(Kind kind, qint64 at, qint64 length = 0, qint64 oldSize = 0)
            : kind(kind), at(at), length(length), oldSize(oldSize) {}
        Kind kind;
        qint64 at = 0;      // Bytes: where they stood; Gap and Cut: the edit's position
        qint64 length = 0;  // Gap and Cut: bytes opened or removed
        qint64 oldSize = 0; // the content's size before the step
        qint64 moved = 0;   // Gap: the tail from here on has moved; Cut: moved up to here
        QByteArray bytes;   // Bytes: the old bytes; Cut: the bytes removed
        qint64 blockAt = -1; // a block being moved: its source position and bytes
        QByteArray block;
    };
    void recordOverwrite(qint64 at, const char *data, qint64 n);
    void beforeWrite(qint64 at, const char *data, qint64 n);
    void afterWrite(qint64 end);
    void ensureDeviceSize(qint64 size);
    QByteArray deviceBytes(qint64 at, qint64 n);
    void deviceWrite(qint64 at, const QByteArray &bytes);
    void moveDown(qint64 from, qint64 to, qint64 n, UndoStep *step);
    void moveUp(qint64 from, qint64 to, qint64 n, UndoStep *step);
    void undo(const UndoStep &step);
    void endTransaction();

    QIODevice *m_device = nullptr;
    LineEnding m_readLineEnding = LineEnding::Lf;
    LineEnding m_writeLineEnding = LineEnding::Native;
    QString m_name;
    mutable QString m_cleanedFrom;
    mutable QString m_cleanedName;
    qint64 m_blockSize = defaultBlockSize;
    bool m_isFile = false;
    bool m_cached = false;
    quint64 m_openingId = 0;
    mutable qint64 m_pos = -1;
    mutable qint64 m_size = -1;
    QByteArray m_ahead;
    qint64 m_aheadStart = 0;

    bool m_transaction = false;
    bool m_recording = false;
    QIODevice::OpenMode m_transactionMode;
    qint64 m_startSize = 0;   // the device's size when the transaction began
    qint64 m_contentSize = 0; // what size() answers within a transaction
    qint64 m_deviceSize = 0;  // the device's own size, never less than the content's
    QList<UndoStep> m_undo;
};
