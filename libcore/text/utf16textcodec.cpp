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
    return encodesBigEndian() ? QByteArrayLiteral("\xFE\xFF") : QByteArrayLiteral("\xFF\xFE");
}

QByteArray Utf16TextCodec::terminator() const
{
    return QByteArrayLiteral("\x00\x00");
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

namespace {
inline char16_t unitAt(const uchar *bytes, qsizetype index, bool bigEndian)
{
    const uchar a = bytes[2 * index];
    const uchar b = bytes[2 * index + 1];
    return bigEndian ? char16_t((a << 8) | b) : char16_t((b << 8) | a);
}

// Whether unit index of count starts a well-formed character: anything but a surrogate,
// or a high surrogate followed by a low one.
inline bool surrogatesPair(const uchar *bytes, qsizetype count, qsizetype index, char16_t unit,
                           bool bigEndian)
{
    if (unit >= 0xDC00 || index + 1 >= count)
        return false;
    const char16_t second = unitAt(bytes, index + 1, bigEndian);
    return second >= 0xDC00 && second <= 0xDFFF;
}

const uchar *bytesOf(const QByteArray &data)
{
    return reinterpret_cast<const uchar *>(data.constData());
}
} // namespace

// Well-formed data, the usual case, is its own units in the host's order; anything else
// takes the general loop, which logs and substitutes.
QString Utf16TextCodec::decodeText(const QByteArray &data, bool stopAtNul, int errorMode) const
{
    if (data.size() % 2 != 0)
        return UtfTextCodec::decodeText(data, stopAtNul, errorMode);
    const bool bigEndian = isBigEndian(data);
    const uchar *const bytes = bytesOf(data);
    const qsizetype count = data.size() / 2;
    QString result(count, Qt::Uninitialized);
    char16_t *const out = reinterpret_cast<char16_t *>(result.data());
    qsizetype length = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t unit = unitAt(bytes, i, bigEndian);
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            if (!surrogatesPair(bytes, count, i, unit, bigEndian))
                return UtfTextCodec::decodeText(data, stopAtNul, errorMode);
            out[length++] = unit;
            out[length++] = unitAt(bytes, ++i, bigEndian);
            continue;
        }
        if (stopAtNul && unit == 0)
            break;
        out[length++] = unit;
    }
    result.truncate(length);
    if (result.startsWith(QChar(0xFEFF)))
        result.remove(0, 1);
    return result;
}

bool Utf16TextCodec::canDecode(const QByteArray &data) const
{
    if (data.size() % 2 != 0)
        return false;
    const bool bigEndian = isBigEndian(data);
    const uchar *const bytes = bytesOf(data);
    const qsizetype count = data.size() / 2;
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t unit = unitAt(bytes, i, bigEndian);
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            if (!surrogatesPair(bytes, count, i, unit, bigEndian))
                return false;
            ++i;
        }
    }
    return true;
}

bool Utf16TextCodec::scanCodePoint(const QByteArray &data, int &position, bool bigEndian,
                                   CodePoint &codePoint, Failure &failure) const
{
    if (position < 0 || data.size() - position < 2) {
        failure = {Truncated, position};
        return false;
    }
    const uchar *const bytes = bytesOf(data) + position;
    const auto unit = [&](int k) {
        return bigEndian ? quint32((bytes[k] << 8) | bytes[k + 1]) : quint32((bytes[k + 1] << 8) | bytes[k]);
    };
    const quint32 first = unit(0);
    if (first < 0xD800 || first > 0xDFFF) {
        codePoint = CodePoint(first);
        position += 2;
        return true;
    }
    if (first >= 0xDC00) {
        failure = {LoneLowSurrogate, position};
        return false;
    }
    if (data.size() - position < 4) {
        failure = {Truncated, position + 2};
        return false;
    }
    const quint32 second = unit(2);
    if (second < 0xDC00 || second > 0xDFFF) {
        failure = {UnpairedHighSurrogate, position};
        return false;
    }
    codePoint = CodePoint(0x10000 + (((first & 0x3FF) << 10) | (second & 0x3FF)));
    position += 4;
    return true;
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
