#include "libcore/text/utftextcodec.h"

#include <algorithm>

#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/codepointiterator.h"

namespace {
constexpr quint32 DecodeSubstituted = 4170903576;
constexpr quint32 DecodeFailed = 2105277950;
} // namespace

QByteArray UtfTextCodec::encodeText(const QString &text, int maxBytes, int errorMode) const
{
    // Every code point has a Unicode encoding, so errorMode has nothing to decide here.
    if (maxBytes < 0)
        maxBytes = -1;
    QByteArray result;
    const qsizetype expected = 2 * qsizetype(text.size());
    result.reserve(std::max<qsizetype>(0, maxBytes == -1 ? expected : std::min<qsizetype>(maxBytes, expected)));
    const bool bigEndian = encodesBigEndian();
    CodePointIterator it(text);
    while (it.position < text.size()) {
        if (!encodeCodePoint(result, it.next(), bigEndian, maxBytes))
            break;
    }
    return result;
}

QString UtfTextCodec::decodeText(const QByteArray &data, bool stopAtNul, int errorMode) const
{
    // No unit of any of the encodings gives more UTF-16 units than it has bytes, and a
    // substitute takes one unit for at least one byte: the data's size is always enough.
    QString result(data.size(), Qt::Uninitialized);
    char16_t *const out = reinterpret_cast<char16_t *>(result.data());
    qsizetype length = 0;
    const bool bigEndian = isBigEndian(data);
    int position = 0;
    bool warned = false;
    while (position < data.size()) {
        CodePoint codePoint;
        Failure failure;
        if (scanCodePoint(data, position, bigEndian, codePoint, failure)) {
            const quint32 value = codePoint.value();
            if (stopAtNul && value == 0)
                break;
            if (value > 0xFFFF) {
                out[length++] = char16_t(0xD800 + ((value - 0x10000) >> 10));
                out[length++] = char16_t(0xDC00 + ((value - 0x10000) & 0x3FF));
            } else {
                out[length++] = char16_t(value);
            }
            continue;
        }
        // Every failure is logged with its own id, whatever the mode; the Exception
        // reports itself when it is made.
        const Exception failed(failure.code, {data, name(), mib(), failure.position});
        decodeFailure(data, errorMode, DecodeFailed, DecodeSubstituted, out, length, warned);
        // The failed character consumed nothing: step over one unit and go on.
        position += unitSize();
    }
    result.truncate(length);
    // A byte order mark decodes like any character; only a leading one is dropped.
    if (result.startsWith(QChar(0xFEFF)))
        result.remove(0, 1);
    return result;
}

bool UtfTextCodec::canDecode(const QByteArray &data) const
{
    if (data.size() % unitSize() != 0)
        return false;
    const bool bigEndian = isBigEndian(data);
    int position = 0;
    CodePoint codePoint;
    Failure failure;
    while (position < data.size()) {
        if (!scanCodePoint(data, position, bigEndian, codePoint, failure))
            return false;
    }
    return true;
}

bool UtfTextCodec::canDecodeAt(const QByteArray &data, int position) const
{
    if (position < 0 || data.size() - position < unitSize())
        return false;
    CodePoint codePoint;
    Failure failure;
    return scanCodePoint(data, position, isBigEndian(data), codePoint, failure);
}

CodePoint UtfTextCodec::decodeCodePoint(const QByteArray &data, int &position, bool bigEndian,
                                        bool reportErrors) const
{
    CodePoint codePoint;
    Failure failure;
    if (!scanCodePoint(data, position, bigEndian, codePoint, failure))
        fail(failure.code, data, failure.position, reportErrors);
    return codePoint;
}

bool UtfTextCodec::canEncodeCodePoint(CodePoint) const
{
    return true;
}

void UtfTextCodec::fail(quint32 code, const QByteArray &data, int position,
                        bool reportErrors) const
{
    if (reportErrors)
        throw Exception(code, {data, name(), mib(), position});
    throw Exception::quiet();
}

bool UtfTextCodec::fits(const QByteArray &out, int length, int maxBytes)
{
    return maxBytes < 0 || out.size() + length <= maxBytes;
}
