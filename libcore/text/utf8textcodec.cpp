#include "libcore/text/utf8textcodec.h"

namespace {
constexpr quint32 Truncated = 2427866541;
constexpr quint32 InvalidLeadByte = 3262159497;
constexpr quint32 InvalidFollowingByte = 2579736446;
constexpr quint32 OverlongOrTooLarge = 4078928843;
} // namespace

Utf8TextCodec *Utf8TextCodec::instance()
{
    static Utf8TextCodec *const codec = new Utf8TextCodec;
    return codec;
}

QByteArray Utf8TextCodec::bom() const
{
    return QByteArrayLiteral("\xEF\xBB\xBF");
}

QByteArray Utf8TextCodec::terminator() const
{
    return QByteArrayLiteral("\x00");
}

int Utf8TextCodec::unitSize() const
{
    return 1;
}

int Utf8TextCodec::mib() const
{
    return 106;
}

QString Utf8TextCodec::name() const
{
    return QStringLiteral("UTF-8");
}

bool Utf8TextCodec::isBigEndian(const QByteArray &) const
{
    return true;
}

bool Utf8TextCodec::encodesBigEndian() const
{
    return true;
}

namespace {
// One character at position of size bytes: its length in bytes and value, or 0 and the
// failure. position lies within the data.
inline int scanOne(const uchar *bytes, qsizetype size, qsizetype position, quint32 &value,
                   UtfTextCodec::Failure &failure)
{
    const quint32 first = bytes[position];
    if (first < 0x80) {
        value = first;
        return 1;
    }
    int length = 0;
    quint32 smallest = 0;
    if (first >= 0xC0 && first <= 0xDF) {
        length = 2;
        smallest = 0x80;
        value = first & 0x1F;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        smallest = 0x800;
        value = first & 0x0F;
    } else if (first >= 0xF0 && first <= 0xF7) {
        length = 4;
        smallest = 0x10000;
        value = first & 0x07;
    } else {
        failure = {InvalidLeadByte, int(position)};
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        // The end of the data is reported at the missing byte's position.
        if (position + i >= size) {
            failure = {Truncated, int(position + i)};
            return 0;
        }
        const quint32 next = bytes[position + i];
        if ((next & 0xC0) != 0x80) {
            failure = {InvalidFollowingByte, int(position)};
            return 0;
        }
        value = (value << 6) | (next & 0x3F);
    }
    // Overlong forms (C0 and C1 always) and values past Unicode; surrogates pass as they are.
    if (value < smallest || value > 0x10FFFF) {
        failure = {OverlongOrTooLarge, int(position)};
        return 0;
    }
    return length;
}

const uchar *bytesOf(const QByteArray &data)
{
    return reinterpret_cast<const uchar *>(data.constData());
}
} // namespace

QString Utf8TextCodec::decodeText(const QByteArray &data, bool stopAtNul, int errorMode) const
{
    // Plain ASCII, most tag text, is one widening copy; it holds no byte order mark.
    const uchar *const bytes = bytesOf(data);
    const qsizetype size = data.size();
    const qsizetype i = asciiPrefix(data, stopAtNul);
    if (i == size || bytes[i] == 0)
        return QString::fromLatin1(data.constData(), i);
    return UtfTextCodec::decodeText(data, stopAtNul, errorMode);
}

bool Utf8TextCodec::canDecode(const QByteArray &data) const
{
    const uchar *const bytes = bytesOf(data);
    const qsizetype size = data.size();
    quint32 value = 0;
    Failure failure;
    for (qsizetype i = 0; i < size;) {
        if (bytes[i] < 0x80) {
            ++i;
            continue;
        }
        const int length = scanOne(bytes, size, i, value, failure);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

bool Utf8TextCodec::scanCodePoint(const QByteArray &data, int &position, bool, CodePoint &codePoint,
                                  Failure &failure) const
{
    if (position < 0 || position >= data.size()) {
        failure = {Truncated, position};
        return false;
    }
    quint32 value = 0;
    const int length = scanOne(bytesOf(data), data.size(), position, value, failure);
    if (length == 0)
        return false;
    position += length;
    codePoint = CodePoint(value);
    return true;
}

quint32 Utf8TextCodec::readUnit(const QByteArray &data, int &position, bool,
                                bool reportErrors) const
{
    if (position < 0 || position >= data.size())
        fail(Truncated, data, position, reportErrors);
    return quint8(data.at(position++));
}

bool Utf8TextCodec::encodeCodePoint(QByteArray &out, CodePoint codePoint, bool bigEndian,
                                    int maxBytes) const
{
    const quint32 v = codePoint.value();
    if (v < 0x80) {
        if (!fits(out, 1, maxBytes))
            return false;
        appendUnit(out, v, bigEndian);
    } else if (v < 0x800) {
        if (!fits(out, 2, maxBytes))
            return false;
        appendUnit(out, 0xC0 | (v >> 6), bigEndian);
        appendUnit(out, 0x80 | (v & 0x3F), bigEndian);
    } else if (v < 0x10000) {
        if (!fits(out, 3, maxBytes))
            return false;
        appendUnit(out, 0xE0 | (v >> 12), bigEndian);
        appendUnit(out, 0x80 | ((v >> 6) & 0x3F), bigEndian);
        appendUnit(out, 0x80 | (v & 0x3F), bigEndian);
    } else {
        if (!fits(out, 4, maxBytes))
            return false;
        appendUnit(out, 0xF0 | (v >> 18), bigEndian);
        appendUnit(out, 0x80 | ((v >> 12) & 0x3F), bigEndian);
        appendUnit(out, 0x80 | ((v >> 6) & 0x3F), bigEndian);
        appendUnit(out, 0x80 | (v & 0x3F), bigEndian);
    }
    return true;
}

void Utf8TextCodec::appendUnit(QByteArray &out, quint32 unit, bool) const
{
    out.append(char(quint8(unit)));
}
