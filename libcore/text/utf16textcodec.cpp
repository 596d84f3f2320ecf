#include "libcore/text/utf16textcodec.h"

namespace {
constexpr quint32 Truncated = 3352801596;
constexpr quint32 LoneLowSurrogate = 1583559992;
constexpr quint32 UnpairedHighSurrogate = 3015353096;
} // namespace

Utf16TextCodec *Utf16TextCodec::instance()
{
    static Utf16TextCodec *const codec = new Utf16TextCodec;
    return codec;
}

QByteArray Utf16TextCodec::bom() const
{
    return encodesBigEndian() ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
}

QByteArray Utf16TextCodec::terminator() const
{
    return QByteArray(2, '\0');
}

int Utf16TextCodec::unitSize() const
{
    return 2;
}

int Utf16TextCodec::mib() const
{
    return 1015;
}

QString Utf16TextCodec::name() const
{
    return QStringLiteral("UTF-16");
}

bool Utf16TextCodec::isBigEndian(const QByteArray &data) const
{
    if (data.startsWith("\xFE\xFF"))
        return true;
    if (data.startsWith("\xFF\xFE"))
        return false;
    return detectByteOrder(data, 1015) != 1014;
}

bool Utf16TextCodec::encodesBigEndian() const
{
    return true;
}

CodePoint Utf16TextCodec::decodeCodePoint(const QByteArray &data, int &position, bool bigEndian,
                                          bool reportErrors) const
{
    int at = position;
    const quint32 first = readUnit(data, at, bigEndian, reportErrors);
    if (first < 0xD800 || first > 0xDFFF) {
        position = at;
        return CodePoint(first);
    }
    if (first >= 0xDC00)
        fail(LoneLowSurrogate, data, position, reportErrors);
    const quint32 second = readUnit(data, at, bigEndian, reportErrors);
    if (second < 0xDC00 || second > 0xDFFF)
        fail(UnpairedHighSurrogate, data, position, reportErrors);
    position = at;
    return CodePoint(0x10000 + (((first & 0x3FF) << 10) | (second & 0x3FF)));
}

quint32 Utf16TextCodec::readUnit(const QByteArray &data, int &position, bool bigEndian,
                                 bool reportErrors) const
{
    if (position < 0 || data.size() - position < 2)
        fail(Truncated, data, position, reportErrors);
    const quint32 a = quint8(data.at(position));
    const quint32 b = quint8(data.at(position + 1));
    position += 2;
    return bigEndian ? (a << 8) | b : (b << 8) | a;
}

bool Utf16TextCodec::encodeCodePoint(QByteArray &out, CodePoint codePoint, bool bigEndian,
                                     int maxBytes) const
{
    const quint32 v = codePoint.value();
    if (v <= 0xFFFF) {
        if (!fits(out, 2, maxBytes))
            return false;
        appendUnit(out, v, bigEndian);
        return true;
    }
    if (!fits(out, 4, maxBytes))
        return false;
    appendUnit(out, 0xD800 + ((v - 0x10000) >> 10), bigEndian);
    appendUnit(out, 0xDC00 + ((v - 0x10000) & 0x3FF), bigEndian);
    return true;
}

void Utf16TextCodec::appendUnit(QByteArray &out, quint32 unit, bool bigEndian) const
{
    const char high = char(quint8(unit >> 8));
    const char low = char(quint8(unit));
    if (bigEndian) {
        out.append(high);
        out.append(low);
    } else {
        out.append(low);
        out.append(high);
    }
}
