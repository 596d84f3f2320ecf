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
    return QByteArray("\xEF\xBB\xBF", 3);
}

QByteArray Utf8TextCodec::terminator() const
{
    return QByteArray(1, '\0');
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

CodePoint Utf8TextCodec::decodeCodePoint(const QByteArray &data, int &position, bool bigEndian,
                                         bool reportErrors) const
{
    const int lead = position;
    int at = position;
    const quint32 first = readUnit(data, at, bigEndian, reportErrors);
    int length = 0;
    quint32 smallest = 0;
    quint32 value = 0;
    if (first < 0x80) {
        position = at;
        return CodePoint(first);
    } else if (first >= 0xC0 && first <= 0xDF) {
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
        fail(InvalidLeadByte, data, lead, reportErrors);
    }
    // readUnit reports the end of the data at the missing byte's position.
    for (int i = 1; i < length; ++i) {
        const quint32 next = readUnit(data, at, bigEndian, reportErrors);
        if ((next & 0xC0) != 0x80)
            fail(InvalidFollowingByte, data, lead, reportErrors);
        value = (value << 6) | (next & 0x3F);
    }
    // Overlong forms (C0 and C1 always) and values past Unicode; surrogates pass as they are.
    if (value < smallest || value > 0x10FFFF)
        fail(OverlongOrTooLarge, data, lead, reportErrors);
    position = at;
    return CodePoint(value);
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
