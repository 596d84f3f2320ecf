#include <QtTest>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <limits>

#include <csignal>
#include <sys/resource.h>

#include "libcore/io/iostream.h"
#include "libcore/io/wholefile.h"
#include "libcore/log/exception.h"
#include "libcore/text/textcodec.h"

namespace {

// The exception thrown by f, or one with code 0 when nothing was thrown.
Exception thrownBy(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Exception &e) {
        return e;
    }
    return Exception(0, {}, false);
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// Distinct bytes, so that a byte moved to the wrong place shows.
QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

QByteArray readWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeWhole(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A memory device that refuses any write reaching beyond its capacity, like a full disk.
class CappedBuffer : public QBuffer
{
public:
    explicit CappedBuffer(qint64 capacity) : capacity(capacity) {}
    qint64 capacity;

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        if (pos() + len > capacity) {
            setErrorString(QStringLiteral("no space left"));
            return -1;
        }
        return QBuffer::writeData(data, len);
    }
};

// A memory device whose write number failAt (counted from 1) writes half of its bytes and
// fails, as a disk does that fills up part-way; every other write goes through.
class FlakyBuffer : public QBuffer
{
public:
    explicit FlakyBuffer(int failAt) : failAt(failAt) {}
    int failAt;
    int writes = 0;
    bool failed = false;

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        if (++writes == failAt) {
            failed = true;
            QBuffer::writeData(data, len / 2);
            setErrorString(QStringLiteral("no space left"));
            return -1;
        }
        return QBuffer::writeData(data, len);
    }
};

// Applies a script of edits to a stream and to a byte array alike. Each edit is one word:
// "i5+10" inserts 10 bytes at 5, "r5-10" removes 10 at 5, "p5:3=10" replaces 3 at 5 by 10,
// "w5=10" writes 10 at 5 (past the end too), "s50" resizes to 50, "R100" reserves 100
// bytes (the array ignores it). Each edit writes bytes of its own letter.
struct EditScript
{
    QStringList words;

    static QList<qint64> numbers(const QString &word)
    {
        QList<qint64> result;
        static const QRegularExpression digits(QStringLiteral("\\d+"));
        for (auto it = digits.globalMatch(word); it.hasNext();)
            result.append(it.next().captured().toLongLong());
        return result;
    }

    void apply(IoStream *stream, QByteArray *model) const
    {
        for (qsizetype k = 0; k < words.size(); ++k) {
            const QString &word = words[k];
            const QList<qint64> n = numbers(word);
            const QChar op = word.at(0);
            const QByteArray bytes(n.value(op == u'p' ? 2 : 1), char('A' + k));
            if (op == u'i') {
                if (stream) { stream->seek(n[0]); stream->insert(bytes); }
                if (model) model->insert(n[0], bytes);
            } else if (op == u'r') {
                if (stream) { stream->seek(n[0]); stream->remove(n[1]); }
                if (model) model->remove(n[0], n[1]);
            } else if (op == u'p') {
                if (stream) { stream->seek(n[0]); stream->replace(n[1], bytes); }
                if (model) model->replace(n[0], n[1], bytes);
            } else if (op == u'w') {
                if (stream) { stream->seek(n[0]); stream->writeBytes(bytes); }
                if (model) {
                    if (model->size() < n[0] + bytes.size())
                        model->resize(n[0] + bytes.size(), '\0');
                    model->replace(n[0], bytes.size(), bytes);
                }
            } else if (op == u's') {
                if (stream) stream->resize(n[0]);
                if (model) model->resize(n[0], '\0');
            } else if (op == u'R') {
                if (stream) stream->reserve(n[0]);
            }
        }
    }
};

// A device that reads and writes like a pipe: no position, no size.
class PipeDevice : public QIODevice
{
public:
    explicit PipeDevice(const QByteArray &bytes = {}) : m_bytes(bytes) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_bytes.size() + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = qMin<qint64>(maxSize, m_bytes.size());
        std::memcpy(data, m_bytes.constData(), size_t(n));
        m_bytes.remove(0, n);
        return n;
    }
    qint64 writeData(const char *data, qint64 size) override
    {
        m_bytes.append(data, size);
        return size;
    }

private:
    QByteArray m_bytes;
};

// Lowers the process's file size limit for the life of the object; writes past it fail
// with EFBIG instead of killing the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit lowered = m_old;
        lowered.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

} // namespace

class TestIoStream : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    int m_fileCount = 0;

    // A stream over a temporary file or over a memory buffer holding the bytes.
    std::unique_ptr<IoStream> streamOver(bool onFile, const QByteArray &bytes,
                                         QIODevice::OpenMode mode)
    {
        if (onFile)
            return std::make_unique<IoStream>(newFile(bytes), mode);
        return std::make_unique<IoStream>(bytes, mode);
    }

    QString newFile(const QByteArray &bytes)
    {
        const QString path = m_dir.path() + QStringLiteral("/f%1.bin").arg(++m_fileCount);
        writeWhole(path, bytes);
        return path;
    }

private slots:
    // Opening, naming and probing

    void openFailure()
    {
        const QString missing = m_dir.path() + "/missing.mp3";
        IoStream stream(missing);
        const Exception e = thrownBy([&] { stream.open(QIODevice::ReadOnly); });
        QCOMPARE(e.code, quint32(IoStreamOpenFailedTextId));
        QCOMPARE(e.arguments.value(0).toString(), QDir::toNativeSeparators(missing));
        QCOMPARE(e.arguments.value(1).toString(), QString("read"));
        QVERIFY(!e.arguments.value(2).toString().isEmpty());

        const Exception e2 = thrownBy([&] {
            IoStream s(m_dir.path() + "/no/such/folder/x", QIODevice::ReadWrite | QIODevice::Truncate);
        });
        QCOMPARE(e2.code, quint32(IoStreamOpenFailedTextId));
        QCOMPARE(e2.arguments.value(1).toString(), QString("read write truncate"));
    }

    void canOpenDoesNotCreate()
    {
        const QString path = m_dir.path() + "/vanished.mp3";
        IoStream stream(path);
        QVERIFY(!stream.canOpen(QIODevice::ReadWrite));
        QVERIFY(!QFile::exists(path));
        QVERIFY(!stream.canOpen(QIODevice::ReadOnly));
        // A write-only probe answers whether the file could be made, and makes none.
        QVERIFY(stream.canOpen(QIODevice::WriteOnly));
        QVERIFY(!QFile::exists(path));

        IoStream existing(newFile("abc"));
        QVERIFY(existing.canOpen(QIODevice::ReadWrite));
        QVERIFY(!existing.device()->isOpen());
        existing.open(QIODevice::ReadOnly);
        QVERIFY(!existing.canOpen(QIODevice::ReadOnly));
    }

    void openingIds()
    {
        IoStream file(newFile("abc"));
        QCOMPARE(file.openingId(), quint64(0));
        file.open(QIODevice::ReadOnly);
        const quint64 first = file.openingId();
        QVERIFY(first != 0);
        file.close();
        QCOMPARE(file.openingId(), quint64(0));
        file.open(QIODevice::ReadOnly);
        QVERIFY(file.openingId() != 0 && file.openingId() != first);
        file.close();
        // What a writable opening learns may be changed through it: no id.
        file.open(QIODevice::ReadWrite);
        QCOMPARE(file.openingId(), quint64(0));
        file.close();
        IoStream buffer(QByteArray("abc"), QIODevice::ReadOnly);
        QCOMPARE(buffer.openingId(), quint64(0));
    }

    void names()
    {
        IoStream buffer(QByteArray(10, 'x'));
        QCOMPARE(buffer.name(), QString());
        QCOMPARE(buffer.displayName(), QString("[QBuffer, size = 10]"));
        buffer.setName("/music/a.mp3");
        QCOMPARE(buffer.displayName(), QString("/music/a.mp3"));

        QDir::setCurrent(m_dir.path());
        IoStream relative(QString("sub//./x.mp3/"));
        QCOMPARE(relative.name(), QDir::cleanPath(m_dir.path()) + "/sub/x.mp3");

        // The name follows the file's, however often it is asked.
        IoStream file(QString("/music//a.mp3"));
        QCOMPARE(file.name(), QString("/music/a.mp3"));
        QCOMPARE(file.name(), QString("/music/a.mp3"));
        static_cast<QFile *>(file.device())->setFileName("/other/./b.mp3");
        QCOMPARE(file.name(), QString("/other/b.mp3"));
    }

    // Exact reads

    void integers_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("byteCount");
        QTest::addColumn<bool>("bigEndian");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("24-bit big-endian") << hex("010203") << 32 << 3 << true << 0x10203u;
        QTest::newRow("24-bit little-endian") << hex("010203") << 32 << 3 << false << 0x30201u;
        QTest::newRow("32-bit default count") << hex("fffefdfc") << 32 << -1 << true << 0xfffefdfcu;
        QTest::newRow("32-bit little-endian") << hex("fffefdfc") << 32 << -1 << false << 0xfcfdfeffu;
        QTest::newRow("zero count reads nothing") << QByteArray() << 32 << 0 << true << 0u;
        QTest::newRow("16-bit little-endian") << hex("3412") << 16 << -1 << false << 0x1234u;
        QTest::newRow("16-bit one byte") << hex("ab") << 16 << 1 << true << 0xabu;
    }
    void integers()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, width);
        QFETCH(int, byteCount);
        QFETCH(bool, bigEndian);
        QFETCH(quint32, expected);

        IoStream in(bytes, QIODevice::ReadOnly);
        const quint32 value = width == 32 ? in.readUInt32(bigEndian, byteCount)
                                          : in.readUInt16(bigEndian, byteCount);
        QCOMPARE(value, expected);
        QCOMPARE(in.pos(), qint64(bytes.size()));

        IoStream out(QIODevice::WriteOnly);
        if (width == 32)
            out.writeUInt32(expected, bigEndian, byteCount);
        else
            out.writeUInt16(quint16(expected), bigEndian, byteCount);
        QCOMPARE(out.data(), bytes);
    }

    void badCounts()
    {
        IoStream s(QByteArray(16, '\0'), QIODevice::ReadWrite);
        Exception e = thrownBy([&] { s.readUInt32(true, 5); });
        QCOMPARE(e.code, quint32(IoStreamBadByteCountTextId));
        QCOMPARE(e.arguments, QVariantList {5});
        QCOMPARE(thrownBy([&] { s.readUInt16(true, 3); }).code, quint32(IoStreamBadByteCountTextId));
        QCOMPARE(thrownBy([&] { s.readUInt32(true, -2); }).code, quint32(IoStreamBadByteCountTextId));
        QCOMPARE(thrownBy([&] { s.writeUInt16(1, true, 3); }).code, quint32(IoStreamBadByteCountTextId));
        qint64 bit = 0;
        QCOMPARE(thrownBy([&] { s.readBits(bit, 65, true); }).code, quint32(IoStreamBadBitCountTextId));
        QCOMPARE(thrownBy([&] { s.readBits(bit, -1, true); }).code, quint32(IoStreamBadBitCountTextId));
        QCOMPARE(thrownBy([&] { s.fill('x', -1); }).code, quint32(IoStreamNegativeFillCountTextId));
        QCOMPARE(s.pos(), 0);
    }

    void shortReads_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<quint32>("code");
        QTest::newRow("read") << 0 << quint32(IoStreamReadShortTextId);
        QTest::newRow("readUInt32") << 1 << quint32(IoStreamReadShortTextId);
        QTest::newRow("readDouble") << 2 << quint32(IoStreamReadShortTextId);
        QTest::newRow("readBytes") << 3 << quint32(IoStreamReadBytesShortTextId);
        QTest::newRow("readByte at the end") << 4 << quint32(IoStreamReadByteFailedTextId);
        QTest::newRow("readUuid") << 5 << quint32(IoStreamReadShortTextId);
        QTest::newRow("readExtended") << 6 << quint32(IoStreamReadShortTextId);
    }
    void shortReads()
    {
        QFETCH(int, operation);
        QFETCH(quint32, code);
        for (bool onFile : {false, true}) {
            const auto stream = streamOver(onFile, pattern(10), QIODevice::ReadOnly);
            IoStream &s = *stream;
            const qint64 start = operation == 4 ? 10 : 8;
            s.seek(start);
            char buffer[4];
            const Exception e = thrownBy([&] {
                switch (operation) {
                case 0: s.read(buffer, 4); break;
                case 1: s.readUInt32(true); break;
                case 2: s.readDouble(false); break;
                case 3: s.readBytes(4); break;
                case 4: s.readByte(); break;
                case 5: s.readUuid(false); break;
                case 6: s.readExtended(true); break;
                }
            });
            QCOMPARE(e.code, code);
            const qint64 positionArgument = operation == 4 ? 0 : 1;
            QCOMPARE(e.arguments.value(positionArgument).toLongLong(), start);
            QCOMPARE(e.arguments.value(positionArgument + 1).toString(), s.displayName());
        }
    }

    void hostileLengthFailsAtOnce()
    {
        // A claimed length of 4 GiB in a 1 KiB file is refused before anything is allocated
        // or read, on files and on buffers.
        const qint64 huge = qint64(4) << 30;
        IoStream file(newFile(pattern(1024)), QIODevice::ReadOnly);
        Exception e = thrownBy([&] { file.readBytesAt(100, huge); });
        QCOMPARE(e.code, quint32(IoStreamReadBytesShortTextId));
        QCOMPARE(e.arguments.value(0).toLongLong(), huge);
        QCOMPARE(e.arguments.value(1).toLongLong(), 100);
        QCOMPARE(file.pos(), 100);
        QCOMPARE(thrownBy([&] { file.readBytes(-1); }).code, quint32(IoStreamReadBytesShortTextId));

        IoStream buffer(pattern(1024), QIODevice::ReadOnly);
        QCOMPARE(thrownBy([&] { buffer.readBytes(huge); }).code, quint32(IoStreamReadBytesShortTextId));

        // A pipe has no size to check against: only what arrives is held.
        PipeDevice pipe(pattern(1024));
        pipe.open(QIODevice::ReadOnly);
        IoStream piped(&pipe);
        QCOMPARE(thrownBy([&] { piped.readBytes(huge); }).code, quint32(IoStreamReadBytesShortTextId));
        QVERIFY(pipe.atEnd());
    }

    void floats()
    {
        IoStream in(hex("3fc00000" "0000c03f" "400921fb54442d18" "182d4454fb210940"),
                    QIODevice::ReadOnly);
        QCOMPARE(in.readFloat(true), 1.5f);
        QCOMPARE(in.readFloat(false), 1.5f);
        QCOMPARE(in.readDouble(true), M_PI);
        QCOMPARE(in.readDouble(false), M_PI);

        IoStream out(QIODevice::WriteOnly);
        out.writeFloat(1.5f, true);
        out.writeFloat(1.5f, false);
        out.writeDouble(M_PI, true);
        out.writeDouble(M_PI, false);
        QCOMPARE(out.data(), in.data());
    }

    void extended_data()
    {
        QTest::addColumn<QByteArray>("bigEndianBytes");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("writesBack");
        const double inf = std::numeric_limits<double>::infinity();
        const double denormMin = std::numeric_limits<double>::denorm_min();
        QTest::newRow("44100") << hex("400eac44000000000000") << 44100.0 << true;
        QTest::newRow("one") << hex("3fff8000000000000000") << 1.0 << true;
        QTest::newRow("minus 2.5") << hex("c000a000000000000000") << -2.5 << true;
        QTest::newRow("zero") << hex("00000000000000000000") << 0.0 << true;
        QTest::newRow("infinity") << hex("7fff8000000000000000") << inf << true;
        QTest::newRow("minus infinity") << hex("ffff8000000000000000") << -inf << true;
        QTest::newRow("largest double") << hex("43fefffffffffffff800")
                                        << std::numeric_limits<double>::max() << true;
        QTest::newRow("smallest normal") << hex("3c018000000000000000")
                                         << std::numeric_limits<double>::min() << true;
        QTest::newRow("smallest subnormal") << hex("3bcd8000000000000000") << denormMin << true;
        QTest::newRow("subnormal three quarters")
            << hex("3c00c000000000000000") << std::numeric_limits<double>::min() * 0.75 << true;
        QTest::newRow("unnormalised mantissa") << hex("40000000000000000001") << std::ldexp(1.0, -62)
                                               << false;
        QTest::newRow("too large") << hex("43ff8000000000000000") << inf << false;
        QTest::newRow("too small") << hex("3bcc8000000000000000") << 0.0 << false;
        QTest::newRow("low bits dropped") << hex("3fff80000000000007ff") << 1.0 << false;
    }
    void extended()
    {
        QFETCH(QByteArray, bigEndianBytes);
        QFETCH(double, value);
        QFETCH(bool, writesBack);

        QByteArray little = bigEndianBytes;
        std::reverse(little.begin(), little.end());
        IoStream in(bigEndianBytes + little, QIODevice::ReadOnly);
        const double big = in.readExtended(true);
        const double small = in.readExtended(false);
        QCOMPARE(big, value);
        QCOMPARE(small, value);
        QCOMPARE(std::signbit(big), std::signbit(value));

        if (writesBack) {
            IoStream out(QIODevice::WriteOnly);
            out.writeExtended(value, true);
            out.writeExtended(value, false);
            QCOMPARE(out.data().toHex(), (bigEndianBytes + little).toHex());
        }
    }

    void extendedNan()
    {
        IoStream in(hex("7fffc000000000000000" "7fff0000000000000001"), QIODevice::ReadOnly);
        QVERIFY(std::isnan(in.readExtended(true)));
        QVERIFY(std::isnan(in.readExtended(true)));
        IoStream out(QIODevice::WriteOnly);
        out.writeExtended(std::numeric_limits<double>::quiet_NaN(), true);
        QCOMPARE(out.data().toHex(), QByteArray("7fffc000000000000000"));
    }

    void uuid()
    {
        // How ASF stores its header object's GUID.
        const QUuid header("{75B22630-668E-11CF-A6D9-00AA0062CE6C}");
        const QByteArray little = hex("3026b2758e66cf11a6d900aa0062ce6c");
        const QByteArray big = hex("75b22630668e11cfa6d900aa0062ce6c");
        IoStream in(little + big, QIODevice::ReadOnly);
        QCOMPARE(in.readUuid(false), header);
        QCOMPARE(in.readUuid(true), header);
        IoStream out(QIODevice::WriteOnly);
        out.writeUuid(header, false);
        out.writeUuid(header, true);
        QCOMPARE(out.data(), little + big);
    }

    void bits_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("bitPosition");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("msbFirst");
        QTest::addColumn<quint64>("expected");
        QTest::addColumn<qint64>("streamPos");
        QTest::newRow("across two bytes, msb first") << hex("abcd") << 4ll << 8 << true << 0xbcull << 2ll;
        QTest::newRow("across two bytes, lsb first") << hex("abcd") << 4ll << 8 << false << 0xdaull << 2ll;
        QTest::newRow("inside one byte") << hex("00f0") << 9ll << 3 << true << 0x7ull << 2ll;
        QTest::newRow("count zero reads nothing") << hex("ff") << 3ll << 0 << true << 0ull << 0ll;
        QTest::newRow("all 64 bits, unaligned") << hex("7fffffffffffffff80") << 1ll << 64 << true
                                                << 0xffffffffffffffffull << 9ll;
    }
    void bits()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, bitPosition);
        QFETCH(int, count);
        QFETCH(bool, msbFirst);
        QFETCH(quint64, expected);
        QFETCH(qint64, streamPos);
        IoStream s(bytes, QIODevice::ReadOnly);
        qint64 position = bitPosition;
        QCOMPARE(s.readBits(position, count, msbFirst), expected);
        QCOMPARE(position, bitPosition + count);
        QCOMPARE(s.pos(), streamPos);
    }

    void bitsPastTheEnd()
    {
        IoStream s(hex("abcd"), QIODevice::ReadOnly);
        qint64 position = 12;
        QCOMPARE(thrownBy([&] { s.readBits(position, 8, true); }).code, quint32(IoStreamReadByteFailedTextId));
    }

    // Exact writes, sizes and whole content

    void shortWrites()
    {
        IoStream readOnly(QByteArray("abcd"), QIODevice::ReadOnly);
        readOnly.seek(2);
        Exception e = thrownBy([&] { readOnly.write("xy", 2); });
        QCOMPARE(e.code, quint32(IoStreamWriteShortTextId));
        QCOMPARE(e.arguments.mid(0, 3), (QVariantList {2, 2, readOnly.displayName()}));
        QCOMPARE(thrownBy([&] { readOnly.writeBytes("xy"); }).code, quint32(IoStreamWriteBytesShortTextId));
        QCOMPARE(thrownBy([&] { readOnly.writeByte('x'); }).code, quint32(IoStreamWriteByteFailedTextId));
        QCOMPARE(thrownBy([&] { readOnly.writeDouble(1.0, true); }).code, quint32(IoStreamWriteShortTextId));
        QCOMPARE(thrownBy([&] { readOnly.writeUuid(QUuid(), true); }).code, quint32(IoStreamWriteShortTextId));
        QCOMPARE(readOnly.data(), QByteArray("abcd"));
    }

    void smallWritePastFileLimitFailsAtOnce()
    {
        // A file device buffers small writes; the failure must show at the write, not get
        // lost when the file is closed.
        const QString path = newFile(pattern(4096));
        {
            IoStream s(path, QIODevice::ReadWrite);
            s.seek(4096);
            FileSizeLimit limit(4096);
            QVERIFY(limit.ok());
            QCOMPARE(thrownBy([&] { s.write("abc", 3); }).code, quint32(IoStreamWriteShortTextId));
            QCOMPARE(thrownBy([&] { s.writeByte('a'); }).code, quint32(IoStreamWriteByteFailedTextId));
        }
        QCOMPARE(readWhole(path), pattern(4096));
    }

    void fill()
    {
        IoStream s(QIODevice::ReadWrite);
        s.setBlockSize(3);
        s.fill('x', 0);
        QCOMPARE(s.size(), 0);
        s.fill('a', 8);
        s.fillAt(2, 'b', 3);
        QCOMPARE(s.data(), QByteArray("aabbbaaa"));
        QCOMPARE(s.pos(), 5);
    }

    void resizeBuffer()
    {
        IoStream s(QByteArray("abcdef"), QIODevice::ReadWrite);
        s.seek(5);
        s.resize(8);
        QCOMPARE(s.data(), QByteArray("abcdef\0\0", 8));
        QCOMPARE(s.pos(), 5);
        s.resize(3);
        QCOMPARE(s.data(), QByteArray("abc"));
        QCOMPARE(s.pos(), 3);
        Exception e = thrownBy([&] { s.resize(-1); });
        QCOMPARE(e.code, quint32(IoStreamBufferResizeRefusedTextId));
        QCOMPARE(e.arguments.value(1).toLongLong(), -1);
        QCOMPARE(thrownBy([&] { s.resize(qint64(INT_MAX) + 1); }).code, quint32(IoStreamBufferResizeRefusedTextId));

        PipeDevice pipe;
        IoStream piped(&pipe);
        QCOMPARE(thrownBy([&] { piped.resize(1); }).code, quint32(IoStreamResizeUnsupportedTextId));
    }

    void resizeFile()
    {
        const QString path = newFile("abcdef");
        IoStream s(path, QIODevice::ReadWrite);
        s.seek(6);
        s.resize(2);
        QCOMPARE(s.pos(), 2);
        QCOMPARE(readWhole(path), QByteArray("ab"));
        QCOMPARE(thrownBy([&] { s.resize(-5); }).code, quint32(IoStreamFileResizeFailedTextId));
    }

    void wholeContent()
    {
        IoStream closed(QByteArray("abc"));
        QCOMPARE(closed.data(), QByteArray("abc"));
        closed.setData("xyz");
        QCOMPARE(closed.data(), QByteArray("xyz"));

        IoStream buffer(QByteArray("abc"), QIODevice::ReadOnly);
        buffer.seek(2);
        buffer.setData("wxyz");
        QVERIFY(buffer.device()->isOpen());
        QVERIFY(buffer.device()->isReadable() && !buffer.device()->isWritable());
        QCOMPARE(buffer.pos(), 0);
        QCOMPARE(buffer.readAll(), QByteArray("wxyz"));

        const QString path = newFile("0123456789");
        IoStream file(path, QIODevice::ReadWrite);
        file.seek(4);
        QCOMPARE(file.data(), QByteArray("0123456789"));
        QCOMPARE(file.pos(), 4);
        file.setData("abc");
        QCOMPARE(file.pos(), 0);
        QCOMPARE(readWhole(path), QByteArray("abc"));

        IoStream writeOnly(path, QIODevice::WriteOnly);
        QCOMPARE(thrownBy([&] { writeOnly.data(); }).code, quint32(IoStreamDataUnavailableTextId));
        IoStream readOnly(path, QIODevice::ReadOnly);
        QCOMPARE(thrownBy([&] { readOnly.setData("x"); }).code, quint32(IoStreamSetDataUnavailableTextId));
        IoStream unopened(path);
        QCOMPARE(thrownBy([&] { unopened.readAll(); }).code, quint32(IoStreamReadAllShortTextId));
    }

    void seekFailure()
    {
        IoStream s(QByteArray("abc"), QIODevice::ReadOnly);
        const Exception e = thrownBy([&] { s.seek(-1); });
        QCOMPARE(e.code, quint32(IoStreamSeekFailedTextId));
        QCOMPARE(e.arguments.value(0).toLongLong(), -1);
        QCOMPARE(thrownBy([&] { s.seek(4); }).code, quint32(IoStreamSeekFailedTextId));
    }

    // Text

    void readText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("mib"); // 0: detect
        QTest::addColumn<int>("prefix");
        QTest::addColumn<int>("minBytes");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<bool>("stopAtTerminator");
        QTest::addColumn<bool>("stopAtLineEnd");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<qint64>("endPos");
        using P = TextLengthPrefix::Kind;

        QTest::newRow("UTF-16LE terminator only on a unit boundary")
            << hex("410000010000") << 1014 << int(P::None) << -1 << -1 << true << false
            << QStringLiteral(u"A\u0100") << 6ll;
        QTest::newRow("terminated read stops at max")
            << hex("4142434445") << 4 << int(P::None) << -1 << 4 << true << false << "ABCD" << 4ll;
        QTest::newRow("terminator consumed") << hex("410042") << 4 << int(P::None) << -1 << 4 << true
                                             << false << "A" << 2ll;
        QTest::newRow("no terminator before the end") << hex("414243") << 4 << int(P::None) << -1
                                                      << -1 << true << false << "ABC" << 3ll;
        QTest::newRow("terminator inside the minimum")
            << hex("61006263") << 4 << int(P::None) << 3 << -1 << true << false << "a" << 2ll;
        QTest::newRow("null codec stops at one zero byte")
            << hex("610062") << 0 << int(P::None) << -1 << -1 << true << false << "a" << 2ll;
        QTest::newRow("null codec detects a marked UTF-8 text")
            << hex("efbbbf61c3a9") << 0 << int(P::None) << -1 << -1 << false << false
            << QStringLiteral(u"a\u00e9") << 6ll;
        QTest::newRow("fixed field keeps NUL padding") << hex("410000") << 4 << int(P::None) << 3 << 3
                                                       << false << false << QString::fromLatin1("A\0\0", 3) << 3ll;
        QTest::newRow("line endings become line feeds")
            << QByteArray("a\r\nb\rc\nd") << 4 << int(P::None) << -1 << -1 << false << false
            << "a\nb\nc\nd" << 8ll;
        QTest::newRow("stops at CR LF") << QByteArray("ab\r\ncd") << 4 << int(P::None) << -1 << -1
                                        << false << true << "ab" << 4ll;
        QTest::newRow("stops at lone CR") << QByteArray("ab\rcd") << 4 << int(P::None) << -1 << -1
                                          << false << true << "ab" << 3ll;
        QTest::newRow("stops at LF") << QByteArray("ab\ncd") << 4 << int(P::None) << -1 << -1 << false
                                     << true << "ab" << 3ll;
        QTest::newRow("UTF-16LE line end") << hex("61000d000a006200") << 1014 << int(P::None) << -1
                                           << -1 << false << true << "a" << 6ll;
        QTest::newRow("UInt8 prefix beyond the data")
            << hex("05414243") << 4 << int(P::UInt8) << -1 << -1 << false << false << "ABC" << 4ll;
        QTest::newRow("UInt16Be prefix") << hex("00026162ff") << 4 << int(P::UInt16Be) << -1 << -1
                                         << false << false << "ab" << 4ll;
        QTest::newRow("UInt16Le prefix") << hex("02006162ff") << 4 << int(P::UInt16Le) << -1 << -1
                                         << false << false << "ab" << 4ll;
        QTest::newRow("UInt32Le prefix") << hex("0300000061626364") << 4 << int(P::UInt32Le) << -1
                                         << -1 << false << false << "abc" << 7ll;
        QTest::newRow("UInt64Be prefix") << hex("00000000000000026162") << 4 << int(P::UInt64Be)
                                         << -1 << -1 << false << false << "ab" << 10ll;
        QTest::newRow("smaller max wins over prefix") << hex("0461626364") << 4 << int(P::UInt8)
                                                      << -1 << 2 << false << false << "ab" << 3ll;
        QTest::newRow("minimum wins over smaller prefix") << hex("0161626364") << 4 << int(P::UInt8)
                                                          << 3 << -1 << false << false << "abc" << 4ll;
        QTest::newRow("terminated text inside prefix")
            << hex("0461006263") << 4 << int(P::UInt8) << -1 << -1 << true << false << "a" << 3ll;
    }
    void readText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, mib);
        QFETCH(int, prefix);
        QFETCH(int, minBytes);
        QFETCH(int, maxBytes);
        QFETCH(bool, stopAtTerminator);
        QFETCH(bool, stopAtLineEnd);
        QFETCH(QString, expected);
        QFETCH(qint64, endPos);
        TextCodec *codec = mib ? TextCodec::codecForMib(mib) : nullptr;
        QVERIFY(!mib || codec);
        for (bool onFile : {false, true}) {
            const auto stream = streamOver(onFile, bytes, QIODevice::ReadOnly);
            QCOMPARE(stream->readText(codec, prefix, minBytes, maxBytes, stopAtTerminator,
                                      stopAtLineEnd),
                     expected);
            QCOMPARE(stream->pos(), endPos);
        }
    }

    // Texts longer than a file's read-ahead window, and texts that begin in one window and
    // end in the next, read as the short ones do.
    void readTextAcrossWindows()
    {
        const int window = 64 * 1024;
        const QByteArray bytes = QByteArray(window - 2, 'a') + QByteArray("bc\0de\0", 6) + QByteArray(window, 'f');
        TextCodec *latin1 = TextCodec::codecForMib(4);
        for (bool onFile : {false, true}) {
            const auto stream = streamOver(onFile, bytes, QIODevice::ReadOnly);
            QCOMPARE(stream->readText(latin1, 0, -1, -1, true), QString(window - 2, 'a') + "bc");
            QCOMPARE(stream->pos(), window + 1);
            QCOMPARE(stream->readText(latin1, 0, -1, -1, true), QString("de"));
            stream->seek(window - 4);
            QCOMPARE(stream->readText(latin1, 0, -1, 8, true), QString("aabc"));
            QCOMPARE(stream->pos(), window + 1);
            // No terminator up to the end: the whole rest, past one window.
            stream->seek(window + 4);
            QCOMPARE(stream->readText(latin1, 0, -1, -1, true), QString(window, 'f'));
            QCOMPARE(stream->pos(), bytes.size());
        }
    }

    void readTextFailures()
    {
        TextCodec *latin1 = TextCodec::codecForMib(4);
        IoStream s(QByteArray(20, 'a'), QIODevice::ReadOnly);
        QCOMPARE(thrownBy([&] { s.readText(latin1, 0, -2, -1); }).code, quint32(IoStreamBadTextBoundsTextId));
        QCOMPARE(thrownBy([&] { s.readText(latin1, 0, 5, 4); }).code, quint32(IoStreamBadTextBoundsTextId));
        QCOMPARE(thrownBy([&] { s.readText(latin1, 8); }).code, quint32(IoStreamBadReadPrefixTextId));
        QCOMPARE(thrownBy([&] { s.readText(latin1, -1); }).code, quint32(IoStreamBadReadPrefixTextId));

        Exception e = thrownBy([&] { s.readText(latin1, 0, 30, 30); });
        QCOMPARE(e.code, quint32(IoStreamTextTooShortTextId));
        QCOMPARE(e.arguments, (QVariantList {30, 0ll, s.displayName(), 20ll}));

        IoStream prefixed(hex("800000006162"), QIODevice::ReadOnly);
        e = thrownBy([&] { prefixed.readText(latin1, TextLengthPrefix::UInt32Be); });
        QCOMPARE(e.code, quint32(IoStreamTextPrefixTooLargeTextId));
        QCOMPARE(e.arguments.value(0).toULongLong(), 2147483648ull);
        QCOMPARE(e.arguments.value(1).toLongLong(), 0);

        // A length claimed far beyond the data reads what is there, nothing more.
        IoStream hostile(hex("7fffffff6162"), QIODevice::ReadOnly);
        QCOMPARE(hostile.readText(latin1, TextLengthPrefix::UInt32Be), QString("ab"));

        PipeDevice pipe(QByteArray("abc"));
        pipe.open(QIODevice::ReadOnly);
        IoStream piped(&pipe);
        QCOMPARE(thrownBy([&] { piped.readText(latin1); }).code, quint32(IoStreamUnboundedTextTextId));
        QCOMPARE(thrownBy([&] { piped.readText(latin1, 0, -1, -1, true); }).code, quint32(IoStreamReadByteFailedTextId));
    }

    void readTextFromPipe()
    {
        // A pipe cannot look ahead for the LF of a CR LF pair: it takes the LF when it is
        // there and nothing else.
        TextCodec *latin1 = TextCodec::codecForMib(4);
        PipeDevice pipe(QByteArray("ab\r\ncd\ref\n\0gh", 14));
        pipe.open(QIODevice::ReadOnly);
        IoStream s(&pipe);
        QCOMPARE(s.readText(latin1, 0, -1, -1, false, true), QString("ab"));
        QCOMPARE(s.readText(latin1, 0, -1, -1, false, true), QString("cd"));
        QCOMPARE(s.readText(latin1, 0, -1, -1, true, true), QString("ef"));
        QCOMPARE(s.readText(latin1, 0, -1, -1, true, false), QString(""));
        QCOMPARE(s.readText(latin1, 0, -1, 2, false, false), QString("gh"));
    }

    void writeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("mib");
        QTest::addColumn<int>("prefix");
        QTest::addColumn<int>("minBytes");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<bool>("withBom");
        QTest::addColumn<bool>("withTerminator");
        QTest::addColumn<QByteArray>("expected");
        using P = TextLengthPrefix::Kind;
        const QString eAcute(QChar(0xE9));

        QTest::newRow("UInt8 prefix cuts to 255")
            << QString(300, 'a') << 106 << int(P::UInt8) << -1 << -1 << false << false
            << hex("ff") + QByteArray(255, 'a');
        QTest::newRow("UInt8 cut keeps whole characters")
            << eAcute.repeated(200) << 106 << int(P::UInt8) << -1 << -1 << false << false
            << hex("fe") + QByteArray("\xc3\xa9").repeated(127);
        QTest::newRow("UInt8 cut keeps the terminator")
            << QString(300, 'a') << 106 << int(P::UInt8) << -1 << -1 << false << true
            << hex("ff") + QByteArray(254, 'a') + hex("00");
        QTest::newRow("max cuts before a character") << "a" + eAcute << 106 << int(P::None) << 2 << 2
                                                     << false << false << hex("6100");
        QTest::newRow("fixed field padded") << "a" << 4 << int(P::None) << 3 << 3 << false << false
                                            << hex("610000");
        QTest::newRow("fixed field cut") << "abcdef" << 4 << int(P::None) << 3 << 3 << false << false
                                         << QByteArray("abc");
        QTest::newRow("max below mark and terminator") << "abc" << 1014 << int(P::None) << -1 << 3
                                                       << true << true << hex("000000");
        QTest::newRow("native line endings") << "a\nb\r\nc\rd" << 4 << int(P::None) << -1 << -1
                                             << false << false << QByteArray("a\nb\nc\nd");
        QTest::newRow("UInt16Be prefix counts mark and terminator")
            << "ab" << 1014 << int(P::UInt16Be) << -1 << -1 << true << true
            << hex("0008" "fffe" "61006200" "0000");
        QTest::newRow("UInt32Le prefix") << "ab" << 4 << int(P::UInt32Le) << -1 << -1 << false
                                         << false << hex("02000000" "6162");
        QTest::newRow("UInt64Be prefix") << "ab" << 4 << int(P::UInt64Be) << -1 << -1 << false
                                         << false << hex("0000000000000002" "6162");
    }
    void writeText()
    {
        QFETCH(QString, text);
        QFETCH(int, mib);
        QFETCH(int, prefix);
        QFETCH(int, minBytes);
        QFETCH(int, maxBytes);
        QFETCH(bool, withBom);
        QFETCH(bool, withTerminator);
        QFETCH(QByteArray, expected);
        TextCodec *codec = TextCodec::codecForMib(mib);
        QVERIFY(codec);
        IoStream out(QIODevice::ReadWrite);
        out.writeText(text, codec, prefix, minBytes, maxBytes, withBom, withTerminator);
        QCOMPARE(out.data().toHex(), expected.toHex());
        QCOMPARE(out.pos(), qint64(expected.size()));
    }

    void writeTextLineEndingAndPrefixKind()
    {
        TextCodec *latin1 = TextCodec::codecForMib(4);
        IoStream out(QIODevice::ReadWrite);
        QCOMPARE(out.writeLineEnding(), LineEnding::Native);
        out.setWriteLineEnding(LineEnding::CrLf);
        out.writeText("a\nb", latin1);
        QCOMPARE(out.data(), QByteArray("a\r\nb"));
        QCOMPARE(thrownBy([&] { out.writeText("x", latin1, 8); }).code, quint32(IoStreamBadWritePrefixTextId));
        QCOMPARE(out.data(), QByteArray("a\r\nb"));
    }

    // Whole files

    void wholeFiles()
    {
        const QString missing = m_dir.path() + "/missing.xml";
        Exception e = thrownBy([&] { readFile(missing); });
        QCOMPARE(e.code, quint32(IoStreamOpenFailedTextId));
        QCOMPARE(e.arguments.value(0).toString(), QDir::toNativeSeparators(missing));
        QCOMPARE(e.arguments.value(1).toString(), QString("read"));

        QCOMPARE(readFile(newFile(QByteArray())), QByteArray());
        QCOMPARE(readFile(newFile("abc")), QByteArray("abc"));

        const QString marked = newFile(hex("efbbbf") + "one\r\ntwo\rthree\n");
        QCOMPARE(readTextFile(marked, nullptr), QString("one\ntwo\nthree\n"));

        const QString path = m_dir.path() + "/out.txt";
        writeTextFile(path, "one\r\ntwo\rthree", TextCodec::codecForMib(106));
        QCOMPARE(readWhole(path), hex("efbbbf") + "one\ntwo\nthree");
        writeTextFile(path, "x", TextCodec::codecForMib(4));
        QCOMPARE(readWhole(path), QByteArray("x"));

        // A link stays a link; the file behind it gets the bytes.
        const QString link = m_dir.path() + "/link.txt";
        QVERIFY(QFile::link(path, link));
        writeFile(link, "via link");
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readWhole(path), QByteArray("via link"));

        writeFile(path, QByteArray());
        QVERIFY(QFile::exists(path));
        QCOMPARE(readWhole(path), QByteArray());

        e = thrownBy([&] { writeFile(m_dir.path() + "/no/folder/x", "x"); });
        QCOMPARE(e.code, quint32(IoStreamOpenFailedTextId));
        QCOMPARE(e.arguments.value(1).toString(), QString("write"));
        QVERIFY(!QFile::exists(m_dir.path() + "/no"));
    }

    void failedWholeFileWriteKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/settings.xml";
        QVERIFY(writeWhole(path, "old settings"));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        {
            FileSizeLimit limit(16 * 1024);
            QVERIFY(limit.ok());
            QCOMPARE(thrownBy([&] { writeFile(path, pattern(64 * 1024)); }).code, quint32(IoStreamWriteBytesShortTextId));
        }
        QCOMPARE(readWhole(path), QByteArray("old settings"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"settings.xml"});

        writeFile(path, "new settings");
        QCOMPARE(readWhole(path), QByteArray("new settings"));
        QCOMPARE(QFile::permissions(path),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
    }

    // Creating never replaces: neither a file nor a link (not even a dangling one) at the path.
    void newFileNeverReplaces()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/restored.mp3";
        writeNewFile(path, "audio");
        QCOMPARE(readWhole(path), QByteArray("audio"));
        QCOMPARE(thrownBy([&] { writeNewFile(path, "other"); }).code, quint32(WholeFileCreateFailedTextId));
        QCOMPARE(readWhole(path), QByteArray("audio"));

        const QString victim = dir.path() + "/victim";
        const QString link = dir.path() + "/link.mp3";
        QVERIFY(QFile::link(victim, link));
        QCOMPARE(thrownBy([&] { writeNewFile(link, "planted"); }).code, quint32(WholeFileCreateFailedTextId));
        QVERIFY(!QFile::exists(victim));

        writeNewFile(dir.path() + "/empty", QByteArray());
        QCOMPARE(QFileInfo(dir.path() + "/empty").size(), 0);
        QVERIFY(QFileInfo(dir.path() + "/empty").isFile());
    }

    // In-place editing

    void edit_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("oldLength");
        QTest::addColumn<int>("newLength");
        QTest::addColumn<int>("blockSize");

        // Insertion: oldLength 0.
        QTest::newRow("insert 10 at start of 1 KiB") << "insert" << 1024 << 0 << 0 << 10 << 4096;
        QTest::newRow("insert at start, small blocks") << "insert" << 1024 << 0 << 0 << 10 << 7;
        QTest::newRow("insert in middle, gap above block") << "insert" << 100 << 37 << 0 << 25 << 7;
        QTest::newRow("insert in middle, tail a block multiple")
            << "insert" << 100 << 30 << 0 << 3 << 7;
        QTest::newRow("insert one before the end") << "insert" << 100 << 99 << 0 << 4 << 7;
        QTest::newRow("insert at the end appends") << "insert" << 100 << 100 << 0 << 9 << 7;
        QTest::newRow("insert nothing") << "insert" << 100 << 50 << 0 << 0 << 7;

        // Removal: newLength 0.
        QTest::newRow("remove 10 at start") << "remove" << 1024 << 0 << 10 << 0 << 4096;
        QTest::newRow("remove at start, small blocks") << "remove" << 1024 << 0 << 10 << 0 << 7;
        QTest::newRow("remove in middle") << "remove" << 100 << 37 << 25 << 0 << 7;
        QTest::newRow("remove up to the end truncates") << "remove" << 1024 << 1020 << 4 << 0 << 7;
        QTest::newRow("remove past the end truncates") << "remove" << 1024 << 1020 << 10 << 0 << 7;
        QTest::newRow("remove nothing") << "remove" << 100 << 10 << 0 << 0 << 7;

        QTest::newRow("replace 4 by 4") << "replace" << 100 << 10 << 4 << 4 << 7;
        QTest::newRow("replace 4 by 6") << "replace" << 100 << 10 << 4 << 6 << 7;
        QTest::newRow("replace 6 by 4") << "replace" << 100 << 10 << 6 << 4 << 7;
        QTest::newRow("replace header by a larger one") << "replace" << 1000 << 0 << 40 << 300 << 64;
        QTest::newRow("replace header by a smaller one") << "replace" << 1000 << 0 << 300 << 40 << 64;
        QTest::newRow("replace reaching the end, shorter") << "replace" << 100 << 90 << 10 << 4 << 7;
        QTest::newRow("replace past the end, shorter") << "replace" << 100 << 98 << 10 << 1 << 7;
        QTest::newRow("replace reaching the end, longer") << "replace" << 100 << 95 << 5 << 20 << 7;
    }
    void edit()
    {
        QFETCH(QString, operation);
        QFETCH(int, size);
        QFETCH(int, position);
        QFETCH(int, oldLength);
        QFETCH(int, newLength);
        QFETCH(int, blockSize);

        const QByteArray original = pattern(size);
        const QByteArray bytes(newLength, '#');
        QByteArray expected = original;
        expected.replace(position, oldLength, bytes);
        const qint64 endPos = operation == "remove" ? position : position + newLength;

        // On real files and on memory buffers alike.
        for (bool onFile : {true, false}) {
            const auto stream = streamOver(onFile, original, QIODevice::ReadWrite);
            IoStream &s = *stream;
            s.setBlockSize(blockSize);
            s.seek(position);
            if (operation == "insert")
                s.insert(bytes);
            else if (operation == "remove")
                s.remove(oldLength);
            else
                s.replace(oldLength, bytes);
            QCOMPARE(s.pos(), endPos);
            QCOMPARE(s.size(), qint64(expected.size()));
            QCOMPARE(s.data(), expected);
            if (onFile)
                QCOMPARE(readWhole(s.name()), expected);
        }
    }

    void editRefusals()
    {
        PipeDevice pipe;
        pipe.open(QIODevice::ReadWrite);
        IoStream piped(&pipe);
        QCOMPARE(thrownBy([&] { piped.insert("x"); }).code, quint32(IoStreamInsertSequentialTextId));
        QCOMPARE(thrownBy([&] { piped.remove(1); }).code, quint32(IoStreamRemoveSequentialTextId));
        QCOMPARE(thrownBy([&] { piped.replace(1, "x"); }).code, quint32(IoStreamReplaceSequentialTextId));

        IoStream s(QByteArray("abcdef"), QIODevice::ReadWrite);
        s.seek(2);
        QCOMPARE(thrownBy([&] { s.remove(-1); }).code, quint32(IoStreamNegativeEditCountTextId));
        QCOMPARE(thrownBy([&] { s.replace(-1, "x"); }).code, quint32(IoStreamNegativeEditCountTextId));
        QCOMPARE(s.data(), QByteArray("abcdef"));
    }

    void growthFailureKeepsFile_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::addColumn<int>("position");
        QTest::newRow("insert at the start") << false << 0;
        QTest::newRow("insert in the middle") << false << 100;
        QTest::newRow("replace by a larger header") << true << 0;
        QTest::newRow("replace the last bytes by more") << true << 16 * 1024 - 10;
    }
    void growthFailureKeepsFile()
    {
        // The file cannot grow past its size limit: the edit fails before any byte moves and
        // the audio data stays as it was.
        QFETCH(bool, replace);
        QFETCH(int, position);
        const QByteArray original = pattern(16 * 1024);
        const QString path = newFile(original);
        {
            IoStream s(path, QIODevice::ReadWrite);
            s.setBlockSize(1000);
            s.seek(position);
            FileSizeLimit limit(20 * 1024);
            QVERIFY(limit.ok());
            const QByteArray header(8 * 1024, '#');
            const Exception e = thrownBy([&] {
                if (replace)
                    s.replace(10, header);
                else
                    s.insert(header);
            });
            QCOMPARE(e.code, quint32(IoStreamFileResizeFailedTextId));
            QCOMPARE(e.arguments.value(1).toLongLong(), qint64(original.size() + header.size() - (replace ? 10 : 0)));
            QCOMPARE(s.size(), qint64(original.size()));
        }
        QCOMPARE(readWhole(path), original);
    }

    void refusingDeviceKeepsBytes()
    {
        const QByteArray original = pattern(300);
        CappedBuffer device(310);
        device.setData(original);
        device.open(QIODevice::ReadWrite);
        IoStream s(&device);
        s.setBlockSize(16);
        s.seek(5);
        QCOMPARE(thrownBy([&] { s.insert(QByteArray(20, '#')); }).code, quint32(IoStreamWriteBytesShortTextId));
        QCOMPARE(device.data(), original);
        s.seek(5);
        QCOMPARE(thrownBy([&] { s.replace(2, QByteArray(30, '#')); }).code, quint32(IoStreamWriteBytesShortTextId));
        QCOMPARE(device.data(), original);
        // Within the capacity the same device edits fine.
        s.seek(5);
        s.insert(QByteArray(10, '#'));
        QCOMPARE(device.data(), QByteArray(original).insert(5, QByteArray(10, '#')));
    }

    // All-or-nothing edits

    void transaction_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("limit");
        QTest::addColumn<bool>("fails");

        // Edits on a 100-byte stream moved in blocks of 7; without a limit they succeed.
        QTest::newRow("insert then remove") << "i5+10 r0-3" << 0 << false;
        QTest::newRow("cut in front, then insert more") << "r10-20 i0+50" << 0 << false;
        QTest::newRow("replace larger, then smaller") << "p10:4=30 p0:50=5" << 0 << false;
        QTest::newRow("overwrite, then append") << "w20=5 w95=10 w110=3" << 0 << false;
        QTest::newRow("shrink, then write behind a hole") << "s50 w60=10" << 0 << false;
        QTest::newRow("shrink, then grow with zeros") << "s40 s80" << 0 << false;
        QTest::newRow("cut at the end, then insert before it") << "r90-10 i0+25 w0=1" << 0 << false;
        QTest::newRow("everything removed and written anew") << "r0-100 w0=3" << 0 << false;
        QTest::newRow("gaps smaller than a block") << "i5+2 r50-1 w0=1" << 0 << false;
        QTest::newRow("reserve, then grow within it") << "R60 p0:2=40 w135=20" << 0 << false;

        // On a file that cannot grow past `limit` bytes: a later step fails.
        QTest::newRow("append fits, insert does not") << "w100=28 i0+500" << 400 << true;
        QTest::newRow("cut and insert fit, a write past the limit fails part-way")
            << "r0-30 i10+60 w120=200" << 300 << true;
        QTest::newRow("replace at the end past the limit") << "p10:4=30 p90:10=400" << 300 << true;
        QTest::newRow("reserve past the limit fails first") << "R500 w0=5" << 300 << true;
        QTest::newRow("shrink, then grow past the limit") << "s10 s400" << 300 << true;
    }
    void transaction()
    {
        QFETCH(QString, script);
        QFETCH(int, limit);
        QFETCH(bool, fails);
        const EditScript edits{script.split(u' ')};
        const QByteArray original = pattern(100);
        QByteArray expected = original;
        edits.apply(nullptr, &expected);

        if (!fails) {
            // Committed, the edits give what they give outside a transaction; rolled back, nothing.
            for (bool onFile : {true, false}) {
                for (bool keep : {true, false}) {
                    const auto stream = streamOver(onFile, original, QIODevice::ReadWrite);
                    stream->setBlockSize(7);
                    stream->beginTransaction();
                    edits.apply(stream.get(), nullptr);
                    QCOMPARE(stream->size(), qint64(expected.size()));
                    QCOMPARE(stream->data(), expected);
                    keep ? stream->commit() : stream->rollBack();
                    QVERIFY(!stream->inTransaction());
                    QCOMPARE(stream->data(), keep ? expected : original);
                    if (onFile)
                        QCOMPARE(readWhole(stream->name()), keep ? expected : original);
                }
            }
            // A write that fails part-way, at every write in turn, is undone by the roll-back.
            for (int failAt = 1;; ++failAt) {
                FlakyBuffer device(failAt);
                device.setData(original);
                device.open(QIODevice::ReadWrite);
                IoStream stream(&device);
                stream.setBlockSize(7);
                stream.beginTransaction();
                const Exception e = thrownBy([&] { edits.apply(&stream, nullptr); });
                if (!device.failed) {
                    QCOMPARE(e.code, 0u);
                    break;
                }
                QVERIFY2(e.code != 0, qPrintable(QStringLiteral("write %1").arg(failAt)));
                stream.rollBack();
                QVERIFY2(device.data() == original, qPrintable(QStringLiteral("write %1").arg(failAt)));
            }
            return;
        }

        const QString path = newFile(original);
        {
            IoStream stream(path, QIODevice::ReadWrite);
            stream.setBlockSize(7);
            FileSizeLimit fileLimit(limit);
            QVERIFY(fileLimit.ok());
            stream.beginTransaction();
            QVERIFY(thrownBy([&] { edits.apply(&stream, nullptr); }).code != 0);
            stream.rollBack();
            QCOMPARE(stream.size(), qint64(original.size()));
        }
        QCOMPARE(readWhole(path), original);
    }

    void savepoints()
    {
        const QByteArray original = pattern(100);
        for (bool onFile : {true, false}) {
            const auto stream = streamOver(onFile, original, QIODevice::ReadWrite);
            stream->setBlockSize(7);
            stream->beginTransaction();
            const EditScript first{{"r0-10", "w95=10"}};
            const EditScript second{{"i5+40", "s20"}};
            QByteArray expected = original;
            first.apply(stream.get(), &expected);
            const qint64 mark = stream->savepoint();
            second.apply(stream.get(), nullptr);
            stream->rollBackTo(mark);
            QVERIFY(stream->inTransaction());
            QCOMPARE(stream->data(), expected);
            stream->commit();
            QCOMPARE(stream->data(), expected);
            if (onFile)
                QCOMPARE(readWhole(stream->name()), expected);
        }
        // Closed before the end, a transaction is undone: no stale bytes stay behind the content.
        const QString path = newFile(original);
        {
            IoStream stream(path, QIODevice::ReadWrite);
            stream.beginTransaction();
            EditScript{{"r0-50", "w0=10"}}.apply(&stream, nullptr);
            stream.close();
            QVERIFY(!stream.inTransaction());
        }
        QCOMPARE(readWhole(path), original);

        IoStream readOnly(QByteArray("abc"), QIODevice::ReadOnly);
        QCOMPARE(thrownBy([&] { readOnly.beginTransaction(); }).code, quint32(IoStreamTransactionUnavailableTextId));
    }

    // Reading a file

    // A read-only file is served from a read-ahead window; every kind of read sees the
    // file's own bytes wherever the window lies, and the device is where the stream is.
    void readOnlyFileReads()
    {
        const QByteArray bytes = pattern(200 * 1024);
        IoStream s(newFile(bytes), QIODevice::ReadOnly);
        QCOMPARE(s.size(), qint64(bytes.size()));
        for (qint64 at : {qint64(0), qint64(70000), qint64(65530), qint64(bytes.size() - 128), qint64(3)}) {
            s.seek(at);
            QCOMPARE(s.readBytes(16), bytes.mid(at, 16));
            QCOMPARE(s.pos(), at + 16);
            QCOMPARE(s.readByte(), uchar(bytes.at(at + 16)));
        }
        // Larger than the window, and across its edge.
        QCOMPARE(s.readBytesAt(10, 100000), bytes.mid(10, 100000));
        QCOMPARE(s.readBytesAt(65536 - 4, 8), bytes.mid(65536 - 4, 8));
        s.seek(bytes.size() - 4);
        QCOMPARE(s.readUInt32(false), qFromLittleEndian<quint32>(bytes.constData() + bytes.size() - 4));
        QCOMPARE(thrownBy([&] { s.readBytesAt(bytes.size() - 2, 4); }).code, quint32(IoStreamReadBytesShortTextId));
        QCOMPARE(thrownBy([&] { s.readAt(bytes.size() + 10, nullptr, 1); }).code, quint32(IoStreamReadShortTextId));

        s.seek(1000);
        QCOMPARE(s.device()->read(4), bytes.mid(1000, 4));
        QCOMPARE(s.pos(), qint64(1004));
        QCOMPARE(s.readBytes(2), bytes.mid(1004, 2));
        QCOMPARE(s.readAllAt(bytes.size() - 5), bytes.right(5));
    }

    // What was read before is never served after the file changed: neither within a
    // read-write session nor in a read-only one opened after it.
    void readsAfterEditSeeNewBytes_data()
    {
        QTest::addColumn<int>("edit");
        QTest::newRow("write") << 0;
        QTest::newRow("truncate") << 1;
        QTest::newRow("insert") << 2;
        QTest::newRow("remove") << 3;
        QTest::newRow("grow") << 4;
    }
    void readsAfterEditSeeNewBytes()
    {
        QFETCH(int, edit);
        QByteArray expected = pattern(100 * 1024);
        IoStream s(newFile(expected));
        s.open(QIODevice::ReadOnly);
        QCOMPARE(s.readBytesAt(0, 32), expected.left(32));
        QCOMPARE(s.readBytesAt(expected.size() - 32, 32), expected.right(32));
        s.device()->close();

        s.open(QIODevice::ReadWrite);
        QCOMPARE(s.readBytesAt(0, 32), expected.left(32));
        const QByteArray marks(40, '#');
        s.seek(20);
        switch (edit) {
        case 0: s.writeBytes(marks); expected.replace(20, marks.size(), marks); break;
        case 1: s.resize(30); expected.truncate(30); break;
        case 2: s.insert(marks); expected.insert(20, marks); break;
        case 3: s.remove(50); expected.remove(20, 50); break;
        case 4: s.resize(expected.size() + 10); expected.append(QByteArray(10, '\0')); break;
        }
        QCOMPARE(s.size(), qint64(expected.size()));
        QCOMPARE(s.readBytesAt(0, 30), expected.left(30));
        s.close();

        s.open(QIODevice::ReadOnly);
        QCOMPARE(s.size(), qint64(expected.size()));
        QCOMPARE(s.readBytesAt(0, 30), expected.left(30));
        QCOMPARE(s.readBytesAt(expected.size() - 20, 20), expected.right(20));
        QCOMPARE(s.data(), expected);
    }
};

QTEST_GUILESS_MAIN(TestIoStream)
#include "tst_iostream.moc"
