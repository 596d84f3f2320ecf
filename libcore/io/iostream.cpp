#include "libcore/io/iostream.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QSaveFile>

#include <QScopeGuard>

#include <atomic>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

#include <fcntl.h>

#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/text/asciitextcodec.h"
#include "libcore/text/textcodec.h"
#include "libcore/text/utf8textcodec.h"

namespace {

// Width in bytes and byte order of each length prefix kind.
struct PrefixLayout {
    int width;
    bool bigEndian;
};
constexpr PrefixLayout prefixLayouts[8] = {
    {0, false}, {1, false}, {2, false}, {2, true}, {4, false}, {4, true}, {8, false}, {8, true},
};

// Text is scanned for its end in reads of at most this many bytes.
constexpr int textChunk = 512;

// Sequential devices give no size to check a count against; their reads grow in chunks of
// this size so that a hostile count costs only the bytes that really arrive.
constexpr qint64 sequentialChunk = 64 * 1024;

QString modeWords(QIODevice::OpenMode mode)
{
    static const struct {
        QIODevice::OpenModeFlag flag;
        const char *word;
    } words[] = {
        {QIODevice::ReadOnly, "read "},   {QIODevice::WriteOnly, "write "},
        {QIODevice::Append, "append "},   {QIODevice::Truncate, "truncate "},
        {QIODevice::Text, "text "},       {QIODevice::Unbuffered, "unbuffered "},
    };
    QString result;
    for (const auto &w : words) {
        if (mode.testFlag(w.flag))
            result += QLatin1String(w.word);
    }
    return result.trimmed();
}

void reverseIf(bool reverse, uchar *bytes, int n)
{
    if (reverse)
        std::reverse(bytes, bytes + n);
}

} // namespace

IoStream::IoStream(QObject *parent)
    : QObject(parent), m_device(new QBuffer(this))
{
}

IoStream::IoStream(const QByteArray &bytes, QObject *parent)
    : QObject(parent)
{
    auto *buffer = new QBuffer(this);
    buffer->setData(bytes);
    m_device = buffer;
}

IoStream::IoStream(const QString &path, QObject *parent)
    : QObject(parent), m_device(new QFile(path, this)), m_isFile(true)
{
    connect(m_device, &QIODevice::aboutToClose, this, &IoStream::deviceClosing);
}

IoStream::IoStream(QIODevice *device, QObject *parent)
    : QObject(parent), m_device(device)
{
    if (m_device && qobject_cast<QFile *>(m_device) && !qobject_cast<QSaveFile *>(m_device)) {
        m_isFile = true;
        connect(m_device, &QIODevice::aboutToClose, this, &IoStream::deviceClosing);
        m_cached = m_device->isOpen() && !(m_device->openMode() & QIODevice::WriteOnly);
    }
}

IoStream::IoStream(QIODevice::OpenMode mode, QObject *parent)
    : IoStream(parent)
{
    open(mode);
}

IoStream::IoStream(const QByteArray &bytes, QIODevice::OpenMode mode, QObject *parent)
    : IoStream(bytes, parent)
{
    open(mode);
}

IoStream::IoStream(const QString &path, QIODevice::OpenMode mode, QObject *parent)
    : IoStream(path, parent)
{
    open(mode);
}

IoStream::~IoStream()
{
    if (m_transaction) {
        try {
            rollBack();
        } catch (const Exception &) {
        }
    }
    // A save file is committed or discarded by its owner; closing it is not allowed.
    if (m_device && m_device->isOpen() && !qobject_cast<QSaveFile *>(m_device))
        m_device->close();
}

void IoStream::open(QIODevice::OpenMode mode)
{
    dropCache();
    // A read-only file reads through the read-ahead window; QFile's own buffer would
    // only copy the bytes once more and ask for them in two system calls.
    const bool unbuffered = m_isFile && !(mode & QIODevice::WriteOnly);
    if (!m_device->open(unbuffered ? mode | QIODevice::Unbuffered : mode))
        throw Exception(IoStreamOpenFailedTextId, {displayName(), modeWords(mode), m_device->errorString()});
    m_cached = unbuffered;
    static std::atomic<quint64> openings{0};
    m_openingId = unbuffered ? ++openings : 0;
}

quint64 IoStream::openingId() const
{
    return cached() ? m_openingId : 0;
}

void IoStream::close()
{
    // An edit left unfinished is undone: the device must not keep bytes behind the content.
    if (m_transaction) {
        try {
            rollBack();
        } catch (const Exception &) {
            endTransaction();
        }
    }
    if (m_device && m_device->isOpen())
        m_device->close();
    m_cached = false;
    m_openingId = 0;
    dropCache();
}

void IoStream::deviceClosing()
{
    m_cached = false;
    dropCache();
}

void IoStream::dropCache()
{
    m_pos = -1;
    m_size = -1;
    m_ahead.clear();
    m_aheadStart = 0;
}

QIODevice *IoStream::syncedDevice() const
{
    if (m_pos >= 0 && m_device->isOpen() && m_device->pos() != m_pos)
        m_device->seek(m_pos);
    m_pos = -1;
    return m_device;
}

QIODevice *IoStream::device() const
{
    return m_device ? syncedDevice() : nullptr;
}

qint64 IoStream::pos() const
{
    if (!cached())
        return m_device->pos();
    if (m_pos < 0)
        m_pos = m_device->pos();
    return m_pos;
}

qint64 IoStream::size() const
{
    if (m_transaction)
        return m_contentSize;
    if (!cached())
        return m_device->size();
    if (m_size < 0)
        m_size = m_device->size();
    return m_size;
}

// Loads the window holding [pos, pos + n) as far as the file has it. Near the end the
// window ends with the file, so the tags there come in one read.
bool IoStream::fillReadAhead(qint64 pos, qint64 n)
{
    const qint64 fileSize = size();
    const qint64 start = qMax<qint64>(0, qMin(pos, fileSize - readAheadSize));
    const qint64 length = qMax<qint64>(0, qMin(readAheadSize, fileSize - start));
    if (m_device->pos() != start && !m_device->seek(start)) {
        m_ahead.clear();
        return false;
    }
    m_ahead.resize(length);
    const qint64 got = length > 0 ? m_device->read(m_ahead.data(), length) : 0;
    m_ahead.resize(qMax<qint64>(0, got));
    m_aheadStart = start;
    return pos >= m_aheadStart && pos + n <= m_aheadStart + m_ahead.size();
}

bool IoStream::canOpen(QIODevice::OpenMode mode)
{
    if (m_device->isOpen() || qobject_cast<QSaveFile *>(m_device))
        return false;
    auto *file = qobject_cast<QFile *>(m_device);
    bool created = false;
    if (file && !file->fileName().isEmpty() && !file->exists()) {
        // A probe before saving must not bring back a file that vanished as an empty one;
        // a write-only probe may create, but removes what it created.
        if (mode.testFlag(QIODevice::ReadOnly) || mode.testFlag(QIODevice::Append))
            mode |= QIODevice::ExistingOnly;
        else
            created = true;
    }
    if (!m_device->open(mode))
        return false;
    m_device->close();
    if (created)
        file->remove();
    return true;
}

QString IoStream::name() const
{
    if (auto *file = qobject_cast<QFileDevice *>(m_device)) {
        const QString path = file->fileName();
        if (path.isEmpty())
            return QString();
        // Named in every message about the file: an absolute name is cleaned once for as long
        // as it stays (a relative one follows the working folder).
        if (path == m_cleanedFrom)
            return m_cleanedName;
        const QString cleaned = QDir::cleanPath(withoutTrailingSlash(absolutePath(path)));
        if (isAbsolutePath(path)) {
            m_cleanedFrom = path;
            m_cleanedName = cleaned;
        }
        return cleaned;
    }
    return m_name;
}

void IoStream::setName(const QString &name)
{
    m_name = name;
}

QString IoStream::displayName() const
{
    const QString n = name();
    if (!n.isEmpty())
        return QDir::toNativeSeparators(n);
    return QStringLiteral("[%1, size = %2]")
        .arg(QLatin1String(m_device->metaObject()->className()))
        .arg(size());
}

void IoStream::setBlockSize(qint64 bytes)
{
    m_blockSize = qMax<qint64>(1, bytes);
}

void IoStream::seek(qint64 pos)
{
    if (pos >= 0 && cached()) {
        m_pos = pos;
        return;
    }
    syncedDevice();
    if (pos >= 0 && m_device->isOpen() && !m_device->isSequential() && m_device->pos() == pos)
        return;
    if (!m_device->seek(pos))
        throw Exception(IoStreamSeekFailedTextId, {pos, displayName(), m_device->errorString()});
}

void IoStream::resize(qint64 size)
{
    if (m_transaction && size >= 0) {
        const qint64 before = pos();
        if (size > m_contentSize) {
            // Bytes an earlier cut left on the device read as zeros again.
            const qint64 staleEnd = qMin(size, m_deviceSize);
            ensureDeviceSize(size);
            if (staleEnd > m_contentSize) {
                const QByteArray zeros(staleEnd - m_contentSize, '\0');
                recordOverwrite(m_contentSize, zeros.constData(), zeros.size());
                deviceWrite(m_contentSize, zeros);
            }
        }
        if (size != m_contentSize) {
            m_undo.append({UndoStep::Size, 0, 0, m_contentSize});
            m_contentSize = size;
        }
        seek(qMin(before, size));
        return;
    }
    resizeDevice(size);
}

void IoStream::resizeDevice(qint64 size)
{
    syncedDevice();
    dropCache();
    if (auto *file = qobject_cast<QFileDevice *>(m_device)) {
        if (!file->resize(size))
            throw Exception(IoStreamFileResizeFailedTextId, {displayName(), size});
    } else if (auto *buffer = qobject_cast<QBuffer *>(m_device)) {
        if (size < 0 || size > INT_MAX)
            throw Exception(IoStreamBufferResizeRefusedTextId, {displayName(), size});
        buffer->buffer().resize(size, '\0');
    } else {
        throw Exception(IoStreamResizeUnsupportedTextId, {displayName()});
    }
    dropCache();
    if (m_device->isOpen() && m_device->pos() > size)
        seek(size);
}

// Reads

void IoStream::read(char *data, qint64 n)
{
    if (n >= 0 && n <= readAheadSize && cached()) {
        const qint64 before = pos();
        const bool held = before >= m_aheadStart && before + n <= m_aheadStart + m_ahead.size();
        if (!held && !fillReadAhead(before, n)) {
            m_pos = qMax(before, qMin(before + n, m_aheadStart + m_ahead.size()));
            throw Exception(IoStreamReadShortTextId, {n, before, displayName(), m_device->errorString()});
        }
        std::memcpy(data, m_ahead.constData() + (before - m_aheadStart), size_t(n));
        m_pos = before + n;
        return;
    }
    syncedDevice();
    const qint64 before = m_device->pos();
    if (m_transaction && n > m_contentSize - before)
        throw Exception(IoStreamReadShortTextId, {n, before, displayName(), m_device->errorString()});
    const qint64 got = n < 0 ? -1 : m_device->read(data, n);
    if (got != n)
        throw Exception(IoStreamReadShortTextId, {n, before, displayName(), m_device->errorString()});
}

QByteArray IoStream::readBytes(qint64 n)
{
    const qint64 before = pos();
    auto fail = [&] {
        return Exception(IoStreamReadBytesShortTextId, {n, before, displayName(), m_device->errorString()});
    };
    if (n < 0)
        throw fail();
    if (n == 0)
        return QByteArray();
    if (n <= readAheadSize && cached()) {
        if (n > size() - before)
            throw fail();
        QByteArray bytes(n, Qt::Uninitialized);
        read(bytes.data(), n);
        return bytes;
    }
    syncedDevice();
    if (!m_device->isSequential()) {
        // Counts come from the data: check them before allocating anything.
        if (!m_device->isReadable() || n > size() - before)
            throw fail();
        QByteArray bytes = m_device->read(n);
        if (bytes.size() != n)
            throw fail();
        return bytes;
    }
    QByteArray bytes;
    while (bytes.size() < n) {
        const QByteArray chunk = m_device->read(qMin(n - bytes.size(), sequentialChunk));
        if (chunk.isEmpty())
            throw fail();
        bytes += chunk;
    }
    return bytes;
}

QByteArray IoStream::readAll()
{
    if (m_transaction)
        return readBytes(qMax<qint64>(0, size() - pos()));
    syncedDevice();
    const qint64 available = m_device->bytesAvailable();
    const QByteArray bytes = m_device->readAll();
    if (!m_device->isOpen() || !m_device->isReadable() || bytes.size() != available)
        throw Exception(IoStreamReadAllShortTextId, {displayName(), m_device->errorString()});
    return bytes;
}

uchar IoStream::readByte()
{
    if (cached()) {
        const qint64 before = pos();
        const bool held = before >= m_aheadStart && before < m_aheadStart + m_ahead.size();
        if (!held && !fillReadAhead(before, 1))
            throw Exception(IoStreamReadByteFailedTextId, {before, displayName(), m_device->errorString()});
        m_pos = before + 1;
        return uchar(m_ahead.at(before - m_aheadStart));
    }
    syncedDevice();
    const qint64 before = m_device->pos();
    if (m_transaction && before >= m_contentSize)
        throw Exception(IoStreamReadByteFailedTextId, {before, displayName(), m_device->errorString()});
    char c = 0;
    if (!m_device->getChar(&c))
        throw Exception(IoStreamReadByteFailedTextId, {before, displayName(), m_device->errorString()});
    return uchar(c);
}

quint64 IoStream::readUInt(bool bigEndian, int byteCount, int width)
{
    if (byteCount == -1)
        byteCount = width;
    if (byteCount < 0 || byteCount > width)
        throw Exception(IoStreamBadByteCountTextId, {byteCount});
    if (byteCount == 0)
        return 0;
    uchar buffer[8];
    const uchar *bytes = buffer;
    // Header fields are read one by one: straight from the window when it holds them.
    if (m_cached && m_pos >= m_aheadStart && m_pos + byteCount <= m_aheadStart + m_ahead.size()) {
        bytes = reinterpret_cast<const uchar *>(m_ahead.constData()) + (m_pos - m_aheadStart);
        m_pos += byteCount;
    } else {
        read(reinterpret_cast<char *>(buffer), byteCount);
    }
    quint64 value = 0;
    for (int i = 0; i < byteCount; ++i) {
        const uchar b = bigEndian ? bytes[i] : bytes[byteCount - 1 - i];
        value = (value << 8) | b;
    }
    return value;
}

quint32 IoStream::readUInt32(bool bigEndian, int byteCount)
{
    return quint32(readUInt(bigEndian, byteCount, 4));
}

quint16 IoStream::readUInt16(bool bigEndian, int byteCount)
{
    return quint16(readUInt(bigEndian, byteCount, 2));
}

float IoStream::readFloat(bool bigEndian)
{
    uchar bytes[4];
    read(reinterpret_cast<char *>(bytes), 4);
    reverseIf(bigEndian, bytes, 4);
    float value;
    std::memcpy(&value, bytes, 4);
    return value;
}

double IoStream::readDouble(bool bigEndian)
{
    uchar bytes[8];
    read(reinterpret_cast<char *>(bytes), 8);
    reverseIf(bigEndian, bytes, 8);
    double value;
    std::memcpy(&value, bytes, 8);
    return value;
}

double IoStream::readExtended(bool bigEndian)
{
    uchar b[10];
    read(reinterpret_cast<char *>(b), 10);
    reverseIf(!bigEndian, b, 10);

    const quint64 sign = quint64(b[0] & 0x80) << 56;
    const int exponent = ((b[0] & 0x7F) << 8) | b[1];
    quint64 mantissa = 0;
    for (int i = 2; i < 10; ++i)
        mantissa = (mantissa << 8) | b[i];

    const quint64 infinity = 0x7FF0000000000000ull;
    quint64 bits;
    if (exponent == 32767) {
        bits = (mantissa & 0x7FFFFFFFFFFFFFFFull) == 0 ? infinity : 0x7FF8000000000000ull;
    } else if (mantissa == 0) {
        bits = 0;
    } else {
        const int shifts = std::countl_zero(mantissa);
        mantissa <<= shifts;
        const int x = exponent - 16383 - shifts;
        if (x > 1023)
            bits = infinity;
        else if (x < -1074)
            bits = 0;
        else if (x < -1022)
            bits = mantissa >> (-x - 1011); // subnormal: value = fraction * 2^-1074
        else
            bits = (quint64(x + 1023) << 52) | ((mantissa >> 11) & 0xFFFFFFFFFFFFFull);
    }
    bits |= sign;
    double value;
    std::memcpy(&value, &bits, 8);
    return value;
}

QUuid IoStream::readUuid(bool bigEndian)
{
    const uint d1 = readUInt32(bigEndian);
    const ushort d2 = readUInt16(bigEndian);
    const ushort d3 = readUInt16(bigEndian);
    uchar d4[8];
    for (uchar &b : d4)
        b = readByte();
    return QUuid(d1, d2, d3, d4[0], d4[1], d4[2], d4[3], d4[4], d4[5], d4[6], d4[7]);
}

quint64 IoStream::readBits(qint64 &bitPosition, int count, bool msbFirst)
{
    if (count < 0 || count > 64)
        throw Exception(IoStreamBadBitCountTextId, {count});
    quint64 result = 0;
    qint64 lastByteIndex = -1;
    uchar byte = 0;
    for (int k = 0; k < count; ++k) {
        const qint64 offset = bitPosition + k;
        const qint64 byteIndex = offset / 8;
        const int bit = int(offset % 8);
        if (byteIndex != lastByteIndex) {
            if (!m_device->isSequential())
                seek(byteIndex);
            byte = readByte();
            lastByteIndex = byteIndex;
        }
        if (msbFirst)
            result = (result << 1) | ((byte >> (7 - bit)) & 1);
        else
            result |= quint64((byte >> bit) & 1) << k;
    }
    bitPosition += count;
    return result;
}

void IoStream::readAt(qint64 pos, char *data, qint64 n)
{
    seek(pos);
    read(data, n);
}

QByteArray IoStream::readBytesAt(qint64 pos, qint64 n)
{
    seek(pos);
    return readBytes(n);
}

QByteArray IoStream::readAllAt(qint64 pos)
{
    seek(pos);
    return readAll();
}

// Writes

// A file device buffers small writes and would only report a failure when the stream is
// closed, where nobody hears it: every write is pushed to the system at once.
bool IoStream::flushFile()
{
    auto *file = qobject_cast<QFileDevice *>(m_device);
    return !file || file->flush();
}

// Throws a write failure. A file whose write failed is closed first: the bytes it still
// holds back would otherwise reach the disk when the stream closes, after the failure was
// reported and perhaps after the caller put things right.
void IoStream::throwWriteFailure(quint32 code, QVariantList arguments)
{
    arguments.append(m_device->errorString());
    if (qobject_cast<QFile *>(m_device))
        m_device->close();
    throw Exception(code, arguments);
}

void IoStream::write(const char *data, qint64 n)
{
    syncedDevice();
    const qint64 before = m_device->pos();
    if (m_transaction && n > 0)
        beforeWrite(before, data, n);
    const qint64 written = n < 0 ? -1 : m_device->write(data, n);
    if (written != n || !flushFile())
        throwWriteFailure(IoStreamWriteShortTextId, {n, before, displayName()});
    if (m_transaction)
        afterWrite(before + n);
}

void IoStream::writeBytes(const QByteArray &bytes)
{
    syncedDevice();
    const qint64 before = m_device->pos();
    if (m_transaction && !bytes.isEmpty())
        beforeWrite(before, bytes.constData(), bytes.size());
    const qint64 written = m_device->write(bytes);
    if (written != bytes.size() || !flushFile())
        throwWriteFailure(IoStreamWriteBytesShortTextId, {qint64(bytes.size()), before, displayName()});
    if (m_transaction)
        afterWrite(before + bytes.size());
}

void IoStream::writeByte(char value)
{
    syncedDevice();
    const qint64 before = m_device->pos();
    if (m_transaction)
        beforeWrite(before, &value, 1);
    if (!m_device->putChar(value) || !flushFile())
        throwWriteFailure(IoStreamWriteByteFailedTextId, {before, displayName()});
    if (m_transaction)
        afterWrite(before + 1);
}

void IoStream::fill(char value, qint64 count)
{
    if (count < 0)
        throw Exception(IoStreamNegativeFillCountTextId, {count});
    if (count == 0)
        return;
    const QByteArray block(qMin(count, m_blockSize), value);
    qint64 left = count;
    while (left > 0) {
        if (left >= block.size())
            writeBytes(block);
        else
            writeBytes(block.left(left));
        left -= qMin<qint64>(left, block.size());
    }
}

void IoStream::writeUInt(quint64 value, bool bigEndian, int byteCount, int width)
{
    if (byteCount == -1)
        byteCount = width;
    if (byteCount < 0 || byteCount > width)
        throw Exception(IoStreamBadByteCountTextId, {byteCount});
    if (byteCount == 0)
        return;
    char bytes[8];
    for (int i = 0; i < byteCount; ++i) {
        const char b = char((value >> (8 * i)) & 0xFF);
        bytes[bigEndian ? byteCount - 1 - i : i] = b;
    }
    write(bytes, byteCount);
}

void IoStream::writeUInt32(quint32 value, bool bigEndian, int byteCount)
{
    writeUInt(value, bigEndian, byteCount, 4);
}

void IoStream::writeUInt16(quint16 value, bool bigEndian, int byteCount)
{
    writeUInt(value, bigEndian, byteCount, 2);
}

void IoStream::writeFloat(float value, bool bigEndian)
{
    uchar bytes[4];
    std::memcpy(bytes, &value, 4);
    reverseIf(bigEndian, bytes, 4);
    write(reinterpret_cast<const char *>(bytes), 4);
}

void IoStream::writeDouble(double value, bool bigEndian)
{
    uchar bytes[8];
    std::memcpy(bytes, &value, 8);
    reverseIf(bigEndian, bytes, 8);
    write(reinterpret_cast<const char *>(bytes), 8);
}

void IoStream::writeExtended(double value, bool bigEndian)
{
    quint64 bits;
    std::memcpy(&bits, &value, 8);
    const bool negative = bits >> 63;
    const int biased = int((bits >> 52) & 0x7FF);
    const quint64 fraction = bits & 0xFFFFFFFFFFFFFull;

    int exponent = 0;
    quint64 mantissa = 0;
    if (biased == 0x7FF) {
        exponent = 32767;
        mantissa = fraction == 0 ? 0x8000000000000000ull : 0xC000000000000000ull;
    } else if (biased != 0) {
        exponent = biased + 15360;
        mantissa = 0x8000000000000000ull | (fraction << 11);
    } else if (fraction != 0) {
        // Subnormal: normalise so that the integer bit is set.
        mantissa = fraction << 11;
        exponent = 15361;
        const int shifts = std::countl_zero(mantissa);
        mantissa <<= shifts;
        exponent -= shifts;
    }

    uchar b[10];
    b[0] = uchar((negative ? 0x80 : 0) | ((exponent >> 8) & 0x7F));
    b[1] = uchar(exponent & 0xFF);
    for (int i = 0; i < 8; ++i)
        b[2 + i] = uchar(mantissa >> (56 - 8 * i));
    reverseIf(!bigEndian, b, 10);
    write(reinterpret_cast<const char *>(b), 10);
}

void IoStream::writeUuid(const QUuid &uuid, bool bigEndian)
{
    writeUInt32(uuid.data1, bigEndian);
    writeUInt16(uuid.data2, bigEndian);
    writeUInt16(uuid.data3, bigEndian);
    for (uchar b : uuid.data4)
        writeByte(char(b));
}

void IoStream::writeAt(qint64 pos, const char *data, qint64 n)
{
    seek(pos);
    write(data, n);
}

void IoStream::writeBytesAt(qint64 pos, const QByteArray &bytes)
{
    seek(pos);
    writeBytes(bytes);
}

void IoStream::fillAt(qint64 pos, char value, qint64 count)
{
    seek(pos);
    fill(value, count);
}

// Whole content

QByteArray IoStream::data()
{
    if (auto *buffer = qobject_cast<QBuffer *>(m_device); buffer && !m_transaction)
        return buffer->data();
    if (!m_device->isOpen() || !m_device->isReadable() || m_device->isSequential())
        throw Exception(IoStreamDataUnavailableTextId, {displayName()});
    const qint64 before = pos();
    seek(0);
    const QByteArray bytes = readBytes(size());
    seek(before);
    return bytes;
}

void IoStream::setData(const QByteArray &bytes)
{
    if (auto *buffer = qobject_cast<QBuffer *>(m_device); buffer && !m_transaction) {
        if (buffer->isOpen()) {
            const QIODevice::OpenMode mode = buffer->openMode();
            buffer->close();
            buffer->setData(bytes);
            open(mode);
        } else {
            buffer->setData(bytes);
        }
        return;
    }
    if (!m_device->isOpen() || !m_device->isWritable() || m_device->isSequential())
        throw Exception(IoStreamSetDataUnavailableTextId, {displayName()});
    seek(0);
    writeBytes(bytes);
    resize(bytes.size());
    seek(0);
}

// Text

QString IoStream::readText(TextCodec *codec, int lengthPrefix, int minBytes, int maxBytes,
                           bool stopAtTerminator, bool stopAtLineEnd)
{
    if (minBytes < -1 || maxBytes < -1 || (minBytes != -1 && maxBytes != -1 && maxBytes < minBytes))
        throw Exception(IoStreamBadTextBoundsTextId, {minBytes, maxBytes});
    if (lengthPrefix < TextLengthPrefix::None || lengthPrefix > TextLengthPrefix::UInt64Be)
        throw Exception(IoStreamBadReadPrefixTextId, {lengthPrefix});

    if (lengthPrefix != TextLengthPrefix::None) {
        const qint64 prefixPos = pos();
        const PrefixLayout layout = prefixLayouts[lengthPrefix];
        const quint64 length = readUInt(layout.bigEndian, layout.width, layout.width);
        if (length > quint64(INT_MAX))
            throw Exception(IoStreamTextPrefixTooLargeTextId, {length, prefixPos, displayName()});
        const int l = int(length);
        if (maxBytes == -1 || maxBytes > l)
            maxBytes = minBytes != -1 && l < minBytes ? minBytes : l;
    }

    // Every bound is checked against the bytes really there before anything is read.
    const bool sequential = m_device->isSequential();
    const qint64 start = sequential ? 0 : pos();
    if (!sequential) {
        const qint64 available = qMax<qint64>(0, size() - start);
        if (minBytes != -1 && minBytes > available)
            throw Exception(IoStreamTextTooShortTextId, {minBytes, start, displayName(), available});
        maxBytes = int(qMin<qint64>(maxBytes == -1 ? qint64(INT_MAX) : maxBytes, available));
    }

    QByteArray buffer;
    if (!stopAtTerminator && !stopAtLineEnd) {
        if (minBytes > 0)
            buffer = readBytes(minBytes);
        if (maxBytes == -1)
            throw Exception(IoStreamUnboundedTextTextId, {start, displayName()});
        buffer += readBytes(maxBytes - buffer.size());
    } else {
        const TextCodec *encoder = codec ? codec : AsciiTextCodec::instance();
        const int unit = qMax(1, encoder->unitSize());
        QByteArray stops[4];
        int stopCount = 0;
        if (stopAtTerminator)
            stops[stopCount++] = encoder->terminator();
        QByteArray carriageReturn;
        if (stopAtLineEnd) {
            stops[stopCount++] = encoder->encodeText(QStringLiteral("\n"), -1, CodecErrorMode::Skip);
            if (!sequential)
                stops[stopCount++] = encoder->encodeText(QStringLiteral("\r\n"), -1, CodecErrorMode::Skip);
            carriageReturn = encoder->encodeText(QStringLiteral("\r"), -1, CodecErrorMode::Skip);
            stops[stopCount++] = carriageReturn;
        }
        // The first stop that begins at byte i of the text, or null.
        const auto stopAt = [&](const char *bytes, qsizetype available, qsizetype i) -> const QByteArray * {
            for (int k = 0; k < stopCount; ++k) {
                const QByteArray &stop = stops[k];
                if (!stop.isEmpty() && i + stop.size() <= available
                    && std::memcmp(bytes + i, stop.constData(), size_t(stop.size())) == 0)
                    return &stop;
            }
            return nullptr;
        };

        // The text usually lies in memory already, in a file's read-ahead window or in a
        // buffer: search it there and copy out only the text.
        const char *window = nullptr;
        if (!sequential && maxBytes <= readAheadSize && cached()) {
            const bool held = start >= m_aheadStart && start + maxBytes <= m_aheadStart + m_ahead.size();
            if (held || fillReadAhead(start, maxBytes))
                window = m_ahead.constData() + (start - m_aheadStart);
        } else if (!sequential && m_device->isReadable()) {
            if (const auto *memory = qobject_cast<const QBuffer *>(m_device);
                memory && start + maxBytes <= memory->data().size())
                window = memory->data().constData() + start;
        }
        if (window) {
            qsizetype i = 0;
            qsizetype matched = -1;
            if (stopCount == 1 && stops[0].size() == unit) {
                // A terminator of one unit, the usual stop: test whole units only.
                const char *const stop = stops[0].constData();
                if (unit == 1) {
                    const void *found = std::memchr(window, stop[0], size_t(maxBytes));
                    i = found ? static_cast<const char *>(found) - window : maxBytes;
                } else if (unit == 2) {
                    while (i + 2 <= maxBytes && (window[i] != stop[0] || window[i + 1] != stop[1]))
                        i += 2;
                } else {
                    while (i + unit <= maxBytes && std::memcmp(window + i, stop, size_t(unit)) != 0)
                        i += unit;
                }
                if (i + unit <= maxBytes) {
                    matched = unit;
                    i += unit;
                } else {
                    i = maxBytes;
                }
            } else {
                while (matched < 0 && i < maxBytes) {
                    const QByteArray *stop = stopAt(window, maxBytes, i);
                    matched = stop ? stop->size() : -1;
                    i = stop ? i + matched : qMin<qsizetype>(i + unit, maxBytes);
                }
            }
            buffer = QByteArray(window, i - qMax<qsizetype>(matched, 0));
            seek(start + i);
        } else {
            if (minBytes > 0)
                buffer = readBytes(minBytes);
            qsizetype longest = 0;
            for (int k = 0; k < stopCount; ++k)
                longest = qMax(longest, stops[k].size());

            qsizetype i = 0;
            qsizetype matched = -1;
            while (matched < 0 && (maxBytes == -1 || i < maxBytes)) {
                while (buffer.size() < i + longest && (maxBytes == -1 || buffer.size() < maxBytes)) {
                    if (sequential) {
                        buffer += char(readByte());
                    } else {
                        const qint64 want = qMin<qint64>(maxBytes - buffer.size(), textChunk);
                        buffer += readBytes(want);
                    }
                }
                if (const QByteArray *stop = stopAt(buffer.constData(), buffer.size(), i)) {
                    matched = stop->size();
                    i += matched;
                    // A lone carriage return on a pipe: take the line feed of a CR LF pair
                    // only when it is really there.
                    if (sequential && *stop == carriageReturn && nativeLineEnding() != LineEnding::Cr
                        && (maxBytes == -1 || i < maxBytes)) {
                        const QByteArray &lineFeed = stops[stopAtTerminator ? 1 : 0];
                        if (m_device->peek(lineFeed.size()) == lineFeed
                            && (maxBytes == -1 || i + lineFeed.size() <= maxBytes))
                            m_device->skip(lineFeed.size());
                    }
                } else {
                    i += unit;
                    if (maxBytes != -1)
                        i = qMin<qsizetype>(i, maxBytes);
                }
            }
            if (!sequential)
                seek(start + i);
            buffer.truncate(i - qMax<qsizetype>(matched, 0));
        }
    }

    if (!codec)
        codec = TextCodec::detect(buffer);
    const QString text = codec->decodeOrNull(buffer);
    // Conversion changes nothing in text without a carriage return when reading to line feeds.
    if (m_readLineEnding == LineEnding::Lf && !text.isNull() && !text.contains(u'\r'))
        return text;
    return convertLineEndings(text, m_readLineEnding);
}

void IoStream::writeText(const QString &text, TextCodec *codec, int lengthPrefix, int minBytes,
                         int maxBytes, bool withBom, bool withTerminator)
{
    if (lengthPrefix < TextLengthPrefix::None || lengthPrefix > TextLengthPrefix::UInt64Be)
        throw Exception(IoStreamBadWritePrefixTextId, {lengthPrefix});
    if (!codec)
        codec = Utf8TextCodec::instance();

    // A short prefix limits the encoded size: encoding within that budget keeps whole
    // characters and the terminator, where cutting the bytes afterwards would not.
    const PrefixLayout layout = prefixLayouts[lengthPrefix];
    const int prefixLimit = layout.width == 1 ? 0xFF : layout.width == 2 ? 0xFFFF : INT_MAX;
    const int limit = maxBytes < 0 ? prefixLimit : qMin(maxBytes, prefixLimit);

    const QByteArray bytes = codec->encode(convertLineEndings(text, m_writeLineEnding), minBytes,
                                           limit, withBom, withTerminator, CodecErrorMode::Skip);
    if (layout.width > 0)
        writeUInt(quint64(bytes.size()), layout.bigEndian, layout.width, layout.width);
    writeBytes(bytes);
}

// In-place editing

// Makes room for n bytes at `at` (before the end): grows the device to its final size
// first, so that a full disk or a size limit fails while every original byte is still in
// place, then moves the tail up block by block, last block first.
void IoStream::openGap(qint64 at, qint64 n)
{
    const qint64 oldSize = size();
    if (m_transaction) {
        // The tail moves over what an earlier cut left behind the content.
        recordOverwrite(oldSize, nullptr, n);
        ensureDeviceSize(oldSize + n);
        UndoStep step{UndoStep::Gap, at, n, oldSize};
        step.moved = oldSize;
        m_undo.append(step);
        m_contentSize = oldSize + n;
        moveUp(at, at + n, oldSize - at, &m_undo.last());
        seek(at);
        return;
    }
    growBy(oldSize, n);
    QByteArray block;
    qint64 end = oldSize;
    while (end > at) {
        const qint64 length = qMin(m_blockSize, end - at);
        const qint64 source = end - length;
        block = readBytesAt(source, length);
        writeBytesAt(source + n, block);
        end = source;
    }
    seek(at);
}

// Extends the device from oldSize by n bytes, or leaves it at oldSize and throws. A file
// gets its blocks reserved as well: a sparse extension would only fail later, in the
// middle of moving the tail, on a full disk.
void IoStream::growBy(qint64 oldSize, qint64 n)
{
    if (auto *file = qobject_cast<QFileDevice *>(m_device)) {
        if (!flushFile())
            throwWriteFailure(IoStreamWriteBytesShortTextId, {qint64(0), oldSize, displayName()});
        bool grown = file->resize(oldSize + n);
        if (grown && file->handle() >= 0) {
            const int rc = posix_fallocate(file->handle(), oldSize, n);
            // File systems that cannot reserve keep the plain extension.
            grown = rc == 0 || rc == EOPNOTSUPP || rc == EINVAL;
        }
        if (!grown) {
            file->resize(oldSize);
            throw Exception(IoStreamFileResizeFailedTextId, {displayName(), oldSize + n});
        }
        return;
    }
    try {
        seek(oldSize);
        fill('\0', n);
    } catch (const Exception &) {
        try {
            resize(oldSize);
        } catch (const Exception &) {
        }
        throw;
    }
}

// Removes n bytes at `at`: moves the tail down block by block, first block first, then cuts.
void IoStream::closeGap(qint64 at, qint64 n)
{
    const qint64 oldSize = size();
    if (at + n >= oldSize) {
        if (at < oldSize)
            resize(at);
        seek(at);
        return;
    }
    if (m_transaction) {
        // The removed bytes are kept for a roll-back; the device keeps its size until the commit.
        UndoStep step{UndoStep::Cut, at, n, oldSize};
        step.bytes = deviceBytes(at, n);
        step.moved = at + n;
        m_undo.append(step);
        moveDown(at + n, at, oldSize - at - n, &m_undo.last());
        m_contentSize = oldSize - n;
        seek(at);
        return;
    }
    qint64 source = at + n;
    while (source < oldSize) {
        const qint64 length = qMin(m_blockSize, oldSize - source);
        const QByteArray block = readBytesAt(source, length);
        writeBytesAt(source - n, block);
        source += length;
    }
    resize(oldSize - n);
    seek(at);
}

void IoStream::insert(const QByteArray &bytes)
{
    if (m_device->isSequential())
        throw Exception(IoStreamInsertSequentialTextId, {displayName()});
    const qint64 at = pos();
    if (!bytes.isEmpty() && at < size())
        openGap(at, bytes.size());
    writeBytes(bytes);
}

void IoStream::remove(qint64 n)
{
    if (n < 0)
        throw Exception(IoStreamNegativeEditCountTextId, {n, displayName()});
    if (m_device->isSequential())
        throw Exception(IoStreamRemoveSequentialTextId, {displayName()});
    if (n > 0)
        closeGap(pos(), n);
}

void IoStream::replace(qint64 oldLength, const QByteArray &bytes)
{
    if (oldLength < 0)
        throw Exception(IoStreamNegativeEditCountTextId, {oldLength, displayName()});
    if (m_device->isSequential())
        throw Exception(IoStreamReplaceSequentialTextId, {displayName()});
    const qint64 at = pos();
    const qint64 newLength = bytes.size();
    const qint64 oldEnd = at + oldLength;
    // The tail moves first and the new bytes are written last, so a failure while making
    // room leaves the old bytes in front of the tail.
    if (oldEnd < size()) {
        if (newLength > oldLength)
            openGap(oldEnd, newLength - oldLength);
        else if (newLength < oldLength)
            closeGap(at + newLength, oldLength - newLength);
    } else if (newLength < oldLength && at + newLength < size()) {
        resize(at + newLength);
    } else if (at + newLength > size() && at <= size()) {
        // Growing at the end: the room is made before the first new byte is written.
        if (m_transaction)
            ensureDeviceSize(at + newLength);
        else
            growBy(size(), at + newLength - size());
    }
    seek(at);
    writeBytes(bytes);
}

// Transactions

void IoStream::beginTransaction()
{
    if (m_transaction || !m_device || !m_device->isOpen() || !m_device->isWritable() || m_device->isSequential())
        throw Exception(IoStreamTransactionUnavailableTextId, {displayName()});
    syncedDevice();
    dropCache();
    m_transactionMode = m_device->openMode() & ~QIODevice::Truncate;
    m_startSize = m_device->size();
    m_contentSize = m_startSize;
    m_deviceSize = m_startSize;
    m_undo.clear();
    m_transaction = true;
    m_recording = true;
}

void IoStream::endTransaction()
{
    m_transaction = false;
    m_recording = false;
    m_undo.clear();
}

void IoStream::reserve(qint64 bytes)
{
    if (m_transaction && bytes > 0)
        ensureDeviceSize(m_contentSize + bytes);
}

// Keeps what [at, at + n) holds on the device before it is written over, without the bytes
// at either end that the new data (when known) leaves as they are.
void IoStream::recordOverwrite(qint64 at, const char *data, qint64 n)
{
    if (!m_recording)
        return;
    const qint64 end = qMin(at + n, m_deviceSize);
    if (at >= end)
        return;
    const QByteArray old = deviceBytes(at, end - at);
    qint64 first = 0;
    qint64 last = old.size();
    if (data) {
        while (first < last && old.at(first) == data[first])
            ++first;
        while (last > first && old.at(last - 1) == data[last - 1])
            --last;
    }
    if (first < last) {
        UndoStep step{UndoStep::Bytes, at + first};
        step.bytes = old.mid(first, last - first);
        m_undo.append(step);
    }
}

void IoStream::beforeWrite(qint64 at, const char *data, qint64 n)
{
    if (!m_recording)
        return;
    if (at > m_contentSize) {
        // The device writes zeros into a hole; behind the content there may be old bytes.
        const qint64 staleEnd = qMin(at, m_deviceSize);
        if (staleEnd > m_contentSize) {
            const QByteArray zeros(staleEnd - m_contentSize, '\0');
            recordOverwrite(m_contentSize, zeros.constData(), zeros.size());
            deviceWrite(m_contentSize, zeros);
        }
    }
    recordOverwrite(at, data, n);
    if (at + n > m_contentSize)
        m_undo.append({UndoStep::Size, 0, 0, m_contentSize});
    if (!m_device->seek(at))
        throw Exception(IoStreamSeekFailedTextId, {at, displayName(), m_device->errorString()});
}

void IoStream::afterWrite(qint64 end)
{
    m_deviceSize = qMax(m_deviceSize, end);
    if (m_recording)
        m_contentSize = qMax(m_contentSize, end);
}

// Grows the device to at least size, reserving its blocks, or leaves it as it was and throws.
void IoStream::ensureDeviceSize(qint64 size)
{
    if (size <= m_deviceSize)
        return;
    if (auto *file = qobject_cast<QFileDevice *>(m_device)) {
        if (!flushFile())
            throwWriteFailure(IoStreamWriteBytesShortTextId, {qint64(0), m_deviceSize, displayName()});
        bool grown = file->resize(size);
        if (grown && file->handle() >= 0) {
            const int rc = posix_fallocate(file->handle(), m_deviceSize, size - m_deviceSize);
            grown = rc == 0 || rc == EOPNOTSUPP || rc == EINVAL;
        }
        if (!grown) {
            file->resize(m_deviceSize);
            throw Exception(IoStreamFileResizeFailedTextId, {displayName(), size});
        }
    } else {
        const qint64 before = m_device->pos();
        const QByteArray zeros(qMin(size - m_deviceSize, m_blockSize), '\0');
        qint64 at = m_deviceSize;
        bool grown = m_device->seek(at);
        while (grown && at < size) {
            const qint64 length = qMin<qint64>(zeros.size(), size - at);
            grown = m_device->write(zeros.constData(), length) == length;
            at += length;
        }
        if (!grown) {
            if (auto *buffer = qobject_cast<QBuffer *>(m_device))
                buffer->buffer().resize(m_deviceSize);
            throw Exception(IoStreamFileResizeFailedTextId, {displayName(), size});
        }
        m_device->seek(before);
    }
    m_deviceSize = size;
}

QByteArray IoStream::deviceBytes(qint64 at, qint64 n)
{
    syncedDevice();
    if (!m_device->seek(at))
        throw Exception(IoStreamSeekFailedTextId, {at, displayName(), m_device->errorString()});
    QByteArray bytes = m_device->read(n);
    if (bytes.size() != n)
        throw Exception(IoStreamReadShortTextId, {n, at, displayName(), m_device->errorString()});
    return bytes;
}

void IoStream::deviceWrite(qint64 at, const QByteArray &bytes)
{
    syncedDevice();
    if (!m_device->seek(at))
        throw Exception(IoStreamSeekFailedTextId, {at, displayName(), m_device->errorString()});
    if (m_device->write(bytes) != bytes.size() || !flushFile())
        throwWriteFailure(IoStreamWriteBytesShortTextId, {qint64(bytes.size()), at, displayName()});
    m_deviceSize = qMax(m_deviceSize, at + bytes.size());
}

// Moves [from, from + n) up to `to`, last block first. A step being made learns how far the
// move got and holds the block in flight, so that a failure part-way can be undone.
void IoStream::moveUp(qint64 from, qint64 to, qint64 n, UndoStep *step)
{
    const bool recording = std::exchange(m_recording, false);
    const auto restore = qScopeGuard([&] { m_recording = recording; });
    qint64 end = from + n;
    while (end > from) {
        const qint64 length = qMin(m_blockSize, end - from);
        const qint64 source = end - length;
        const QByteArray block = deviceBytes(source, length);
        if (step) {
            step->blockAt = source;
            step->block = block;
        }
        deviceWrite(source + (to - from), block);
        end = source;
        if (step) {
            step->moved = source;
            step->blockAt = -1;
            step->block.clear();
        }
    }
}

// Moves [from, from + n) down to `to`, first block first; see moveUp.
void IoStream::moveDown(qint64 from, qint64 to, qint64 n, UndoStep *step)
{
    const bool recording = std::exchange(m_recording, false);
    const auto restore = qScopeGuard([&] { m_recording = recording; });
    qint64 source = from;
    while (source < from + n) {
        const qint64 length = qMin(m_blockSize, from + n - source);
        const QByteArray block = deviceBytes(source, length);
        if (step) {
            step->blockAt = source;
            step->block = block;
        }
        deviceWrite(source - (from - to), block);
        source += length;
        if (step) {
            step->moved = source;
            step->blockAt = -1;
            step->block.clear();
        }
    }
}

void IoStream::undo(const UndoStep &step)
{
    switch (step.kind) {
    case UndoStep::Bytes:
        deviceWrite(step.at, step.bytes);
        break;
    case UndoStep::Size:
        m_contentSize = step.oldSize;
        break;
    case UndoStep::Gap:
        // The tail from `moved` on stands `length` higher; a block in flight is whole here.
        moveDown(step.moved + step.length, step.moved, step.oldSize - step.moved, nullptr);
        if (step.blockAt >= 0)
            deviceWrite(step.blockAt, step.block);
        m_contentSize = step.oldSize;
        break;
    case UndoStep::Cut:
        // The bytes from at + length up to `moved` stand `length` lower.
        if (step.blockAt >= 0)
            deviceWrite(step.blockAt, step.block);
        moveUp(step.at, step.at + step.length, step.moved - step.length - step.at, nullptr);
        deviceWrite(step.at, step.bytes);
        m_contentSize = step.oldSize;
        break;
    }
}

void IoStream::rollBackTo(qint64 savepoint)
{
    if (!m_transaction)
        return;
    try {
        if (!m_device->isOpen()) {
            // A failed write closed the file, so that nothing it held back reaches the disk later.
            dropCache();
            if (!m_device->open(m_transactionMode))
                throw Exception(IoStreamOpenFailedTextId, {displayName(), modeWords(m_transactionMode), m_device->errorString()});
        }
        m_deviceSize = qMax(m_deviceSize, m_device->size());
        const bool recording = std::exchange(m_recording, false);
        while (m_undo.size() > savepoint)
            undo(m_undo.takeLast());
        m_recording = recording;
        seek(0);
    } catch (...) {
        endTransaction();
        throw;
    }
}

void IoStream::rollBack()
{
    if (!m_transaction)
        return;
    rollBackTo(0);
    endTransaction();
    if (m_device->size() != m_startSize)
        resizeDevice(m_startSize);
    seek(0);
}

void IoStream::commit()
{
    if (!m_transaction)
        return;
    if (m_deviceSize > m_contentSize) {
        const qint64 content = m_contentSize;
        try {
            syncedDevice();
            if (auto *file = qobject_cast<QFileDevice *>(m_device); file && !file->resize(content))
                throw Exception(IoStreamFileResizeFailedTextId, {displayName(), content});
            if (auto *buffer = qobject_cast<QBuffer *>(m_device))
                buffer->buffer().resize(content);
            else if (!qobject_cast<QFileDevice *>(m_device))
                throw Exception(IoStreamResizeUnsupportedTextId, {displayName()});
        } catch (const Exception &) {
            rollBack();
            throw;
        }
    }
    endTransaction();
    dropCache();
}
