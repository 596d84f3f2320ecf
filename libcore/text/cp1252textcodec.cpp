#include "libcore/text/cp1252textcodec.h"

#include <algorithm>

#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/codepointiterator.h"

namespace {
constexpr quint32 EncodeSubstituted = 845214862;
constexpr quint32 EncodeFailed = 1685833648;

// Bytes 80 to 9F; the rest of the code page is ISO 8859-1.
constexpr quint16 HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98
};
} // namespace

Cp1252TextCodec *Cp1252TextCodec::instance()
{
    static Cp1252TextCodec *const codec = new Cp1252TextCodec;
    return codec;
}

quint32 Cp1252TextCodec::codePointOf(quint8 byte)
{
    return byte >= 0x80 && byte < 0xA0 ? HighControls[byte - 0x80] : byte;
}

int Cp1252TextCodec::byteOf(quint32 codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return int(codePoint);
    const auto *found = std::find(std::begin(HighControls), std::end(HighControls), codePoint);
    return found == std::end(HighControls) ? -1 : int(0x80 + (found - std::begin(HighControls)));
}

QByteArray Cp1252TextCodec::encodeText(const QString &text, int maxBytes, int errorMode) const
{
    if (maxBytes < 0)
        maxBytes = -1;
    QByteArray result;
    const qsizetype expected = qsizetype(text.size());
    result.reserve(maxBytes == -1 ? expected : std::min<qsizetype>(maxBytes, expected));
    bool warned = false;
    CodePointIterator it(text);
    while (it.position < text.size()) {
        int byte = byteOf(it.next().value());
        if (byte < 0) {
            if (errorMode == CodecErrorMode::Throw)
                throw Exception(EncodeFailed, {text, name(), mib()});
            if (errorMode != CodecErrorMode::Substitute)
                continue;
            if (!warned) {
                Logger::warning(EncodeSubstituted, {text, name(), mib()});
                warned = true;
            }
            byte = int(replacementCharacter().value());
        }
        if (maxBytes != -1 && result.size() + 1 > maxBytes)
            break;
        result.append(char(quint8(byte)));
    }
    return result;
}

QString Cp1252TextCodec::decodeText(const QByteArray &data, bool stopAtNul, int) const
{
    // Every byte has a character, so the error mode never comes into play.
    QString result(data.size(), Qt::Uninitialized);
    char16_t *const out = reinterpret_cast<char16_t *>(result.data());
    qsizetype length = 0;
    for (char c : data) {
        const quint32 codePoint = codePointOf(quint8(c));
        if (stopAtNul && codePoint == 0)
            break;
        out[length++] = char16_t(codePoint);
    }
    result.truncate(length);
    return result;
}

QByteArray Cp1252TextCodec::bom() const
{
    return QByteArray();
}

QByteArray Cp1252TextCodec::terminator() const
{
    return QByteArrayLiteral("\x00");
}

int Cp1252TextCodec::unitSize() const
{
    return 1;
}

int Cp1252TextCodec::mib() const
{
    return 2252;
}

QString Cp1252TextCodec::name() const
{
    return QStringLiteral("windows-1252");
}

bool Cp1252TextCodec::canDecode(const QByteArray &) const
{
    return true;
}

bool Cp1252TextCodec::canDecodeAt(const QByteArray &data, int position) const
{
    return position >= 0 && position < data.size();
}

bool Cp1252TextCodec::canEncodeCodePoint(CodePoint codePoint) const
{
    return byteOf(codePoint.value()) >= 0;
}
