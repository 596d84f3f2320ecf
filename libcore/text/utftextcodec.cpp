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
    QString result;
    result.reserve(data.size());
    const bool bigEndian = isBigEndian(data);
    int position = 0;
    bool warned = false;
    while (position < data.size()) {
        try {
            const CodePoint codePoint = decodeCodePoint(data, position, bigEndian, true);
            if (stopAtNul && codePoint.value() == 0)
                break;
            result += codePoint.toString();
        } catch (const Exception &) {
            if (errorMode == CodecErrorMode::Throw)
                throw Exception(DecodeFailed, {data, name(), mib()});
            if (errorMode == CodecErrorMode::Substitute) {
                result += replacementCharacter().toString();
                if (!warned) {
                    Logger::warning(DecodeSubstituted, {data, name(), mib()});
                    warned = true;
                }
            }
            // The failed character consumed nothing: step over one unit and go on.
            position += unitSize();
        }
    }
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
    try {
        while (position < data.size())
            decodeCodePoint(data, position, bigEndian, false);
    } catch (const Exception &) {
        return false;
    }
    return true;
}

bool UtfTextCodec::canDecodeAt(const QByteArray &data, int position) const
{
    if (position < 0 || data.size() - position < unitSize())
        return false;
    const bool bigEndian = isBigEndian(data);
    try {
        decodeCodePoint(data, position, bigEndian, false);
    } catch (const Exception &) {
        return false;
    }
    return true;
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
    throw Exception(0, {}, false);
}

bool UtfTextCodec::fits(const QByteArray &out, int length, int maxBytes)
{
    return maxBytes < 0 || out.size() + length <= maxBytes;
}
