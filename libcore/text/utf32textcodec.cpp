#include "libcore/text/utf32textcodec.h"

#include <algorithm>

namespace {
constexpr quint32 Truncated = 3212027392;
constexpr quint32 TooLarge = 2086498038;
// Groups looked at when guessing the byte order of data without a mark.
constexpr int GuessGroups = 50;
} // namespace

Utf32TextCodec *Utf32TextCodec::instance()
{
    static Utf32TextCodec *const codec = new Utf32TextCodec;
    return codec;
}

QByteArray Utf32TextCodec::bom() const
{
    return encodesBigEndian() ? QByteArrayLiteral("\x00\x00\xFE\xFF")
                              : QByteArrayLiteral("\xFF\xFE\x00\x00");
}

QByteArray Utf32TextCodec::terminator() const
{
    return QByteArrayLiteral("\x00\x00\x00\x00");
}

int Utf32TextCodec::unitSize() const
{
    return 4;
}

int Utf32TextCodec::mib() const
{
    return 1017;
}

QString Utf32TextCodec::name() const
{
    return QStringLiteral("UTF-32");
}

bool Utf32TextCodec::isBigEndian(const QByteArray &data) const
{
    if (data.startsWith(QByteArrayLiteral("\x00\x00\xFE\xFF")))
        return true;
    if (data.startsWith(QByteArrayLiteral("\xFF\xFE\x00\x00")))
        return false;

    // Text is mostly low code points: one end of each unit is zero, the next byte small.
    const int n = int(std::min<qsizetype>(data.size() / 4, GuessGroups));
    int big = 0;
    int little = 0;
    for (int i = 0; i < n; ++i) {
        const auto byte = [&](int k) { return quint8(data.at(4 * i + k)); };
        if (byte(0) == 0 && byte(1) < 0x20)
            ++big;
        if (byte(3) == 0 && byte(2) < 0x20)
            ++little;
    }
    if (big == 0 && little == n)
        return false;
    if (big == n && little == 0)
        return true;
    return detectByteOrder(data, 1017) != 1019;
}

bool Utf32TextCodec::encodesBigEndian() const
{
    return true;
}

bool Utf32TextCodec::scanCodePoint(const QByteArray &data, int &position, bool bigEndian,
                                   CodePoint &codePoint, Failure &failure) const
{
    if (position < 0 || data.size() - position < 4) {
        failure = {Truncated, position};
        return false;
    }
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData()) + position;
    const quint32 value = bigEndian
                                  ? (quint32(bytes[0]) << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3]
                                  : (quint32(bytes[3]) << 24) | (bytes[2] << 16) | (bytes[1] << 8) | bytes[0];
    // Surrogate values pass as they are.
    if (value > 0x10FFFF) {
        failure = {TooLarge, position};
        return false;
    }
    codePoint = CodePoint(value);
    position += 4;
    return true;
}

quint32 Utf32TextCodec::readUnit(const QByteArray &data, int &position, bool bigEndian,
                                 bool reportErrors) const
{
    if (position < 0 || data.size() - position < 4)
        fail(Truncated, data, position, reportErrors);
    quint32 value = 0;
    for (int k = 0; k < 4; ++k) {
        const quint32 byte = quint8(data.at(position + (bigEndian ? k : 3 - k)));
        value = (value << 8) | byte;
    }
    position += 4;
    return value;
}

bool Utf32TextCodec::encodeCodePoint(QByteArray &out, CodePoint codePoint, bool bigEndian,
                                     int maxBytes) const
{
    if (!fits(out, 4, maxBytes))
        return false;
    appendUnit(out, codePoint.value(), bigEndian);
    return true;
}

void Utf32TextCodec::appendUnit(QByteArray &out, quint32 unit, bool bigEndian) const
{
    for (int k = 0; k < 4; ++k) {
        const int shift = bigEndian ? 24 - 8 * k : 8 * k;
        out.append(char(quint8(unit >> shift)));
    }
}
