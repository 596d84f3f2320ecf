#include "libtagging/id3/id3v2framecursor.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/platform/platformidentity.h"
#include "libcore/text/asciitextcodec.h"
#include "libcore/text/latin1textcodec.h"
#include "libcore/text/textcodec.h"
#include "libcore/text/utf16betextcodec.h"
#include "libcore/text/utf16textcodec.h"
#include "libcore/text/utf8textcodec.h"

#include <cstring>

namespace {
// The terminators of the codecs the frames name, asked once instead of on every string.
struct Terminator {
    const TextCodec *codec;
    QByteArray bytes;
};

const QByteArray &terminatorOf(const TextCodec *codec, QByteArray &other)
{
    static const Terminator known[] = {
        {Latin1TextCodec::instance(), Latin1TextCodec::instance()->terminator()},
        {Utf16TextCodec::instance(), Utf16TextCodec::instance()->terminator()},
        {Utf16BeTextCodec::instance(), Utf16BeTextCodec::instance()->terminator()},
        {Utf8TextCodec::instance(), Utf8TextCodec::instance()->terminator()},
        {AsciiTextCodec::instance(), AsciiTextCodec::instance()->terminator()},
    };
    for (const Terminator &t : known) {
        if (t.codec == codec)
            return t.bytes;
    }
    other = codec->terminator();
    return other;
}

// Repeats a read that runs past the end on a memory stream named like the frame, which
// throws the stream's own exception.
template<class Read>
[[noreturn]] void failAs(const Id3v2FrameCursor &cursor, Read read)
{
    IoStream stream(cursor.data(), QIODevice::ReadOnly);
    stream.setName(cursor.name());
    stream.seek(cursor.pos());
    read(stream);
    throw Exception::quiet();
}
} // namespace

Id3v2FrameCursor::Id3v2FrameCursor(const QByteArray &data, const IoStream *nameSource, qsizetype position)
    : m_data(data), m_nameSource(nameSource), m_pos(position)
{
}

QString Id3v2FrameCursor::name() const
{
    return m_nameSource ? m_nameSource->name() : QString();
}

uchar Id3v2FrameCursor::readByte()
{
    if (m_pos >= m_data.size())
        failAs(*this, [](IoStream &s) { s.readByte(); });
    return uchar(m_data.at(m_pos++));
}

QByteArray Id3v2FrameCursor::readBytes(qsizetype n)
{
    if (n < 0 || n > bytesLeft())
        failAs(*this, [n](IoStream &s) { s.readBytes(n); });
    if (n == 0)
        return QByteArray();
    const QByteArray bytes = m_data.mid(m_pos, n);
    m_pos += n;
    return bytes;
}

QByteArray Id3v2FrameCursor::readAll()
{
    const QByteArray bytes = m_pos == 0 ? m_data : m_data.mid(m_pos);
    m_pos = m_data.size();
    return bytes;
}

quint64 Id3v2FrameCursor::readBigEndian(int n)
{
    if (n < 0 || n > bytesLeft())
        failAs(*this, [n](IoStream &s) { s.readBytes(n); });
    quint64 value = 0;
    for (int i = 0; i < n; ++i)
        value = value << 8 | uchar(m_data.at(m_pos++));
    return value;
}

QString Id3v2FrameCursor::readString(TextCodec *codec)
{
    // The terminator counts only at whole code units from the string's first byte; a
    // string without one runs to the end, a trailing part of a unit included.
    const TextCodec *encoder = codec ? codec : AsciiTextCodec::instance();
    const qsizetype unit = qMax(1, encoder->unitSize());
    QByteArray other;
    const QByteArray &terminator = terminatorOf(encoder, other);
    const qsizetype stop = terminator.size();
    const char *start = m_data.constData() + m_pos;
    const qsizetype available = bytesLeft();
    qsizetype length = available;
    qsizetype consumed = available;
    if (stop == 1 && unit == 1 && terminator.at(0) == 0) {
        if (const void *zero = std::memchr(start, 0, size_t(available))) {
            length = static_cast<const char *>(zero) - start;
            consumed = length + 1;
        }
    } else if (stop > 0) {
        const char *t = terminator.constData();
        const auto stopsAt = [&](qsizetype i) {
            for (qsizetype k = 0; k < stop; ++k) {
                if (start[i + k] != t[k])
                    return false;
            }
            return true;
        };
        for (qsizetype i = 0; i + stop <= available; i += unit) {
            if (stopsAt(i)) {
                length = i;
                consumed = i + stop;
                break;
            }
        }
    }
    m_pos += consumed;
    const QByteArray bytes = QByteArray::fromRawData(start, length);
    if (!codec)
        codec = TextCodec::detect(bytes);
    return convertLineEndings(codec->decodeOrNull(bytes), LineEnding::Lf);
}

QByteArray Id3v2FrameCursor::readTerminatedBytes()
{
    const qsizetype zero = m_data.indexOf('\0', m_pos);
    const qsizetype end = zero < 0 ? m_data.size() : zero;
    const QByteArray bytes = m_data.mid(m_pos, end - m_pos);
    m_pos = zero < 0 ? end : end + 1;
    return bytes;
}

QString Id3v2FrameCursor::readFixed(int n)
{
    if (n < 0 || n > bytesLeft())
        failAs(*this, [n](IoStream &s) { s.readText(AsciiTextCodec::instance(), 0, n, n); });
    const QByteArray bytes = QByteArray::fromRawData(m_data.constData() + m_pos, n);
    m_pos += n;
    return convertLineEndings(AsciiTextCodec::instance()->decodeOrNull(bytes), LineEnding::Lf);
}
