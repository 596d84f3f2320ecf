#include "libcore/text/textcodec.h"

#include <atomic>
#include <bit>
#include <cmath>

#include <QList>

#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/codepointiterator.h"
#include "libcore/text/utf16betextcodec.h"
#include "libcore/text/utf16letextcodec.h"
#include "libcore/text/utf32betextcodec.h"
#include "libcore/text/utf32letextcodec.h"

namespace {
constexpr quint32 ReplacementRefused = 2310537021;

// Set before worker threads start, read from any thread.
std::atomic<quint32> replacement{0};

struct ByteOrderMeasures
{
    qint64 variance = 0;
    double spread = 0.0;
    qint64 zeroDeviation = 0;
};

ByteOrderMeasures measure(const QString &text)
{
    QList<quint32> values;
    values.reserve(text.size());
    CodePointIterator it(text);
    while (it.position < text.size())
        values.append(it.next().value());

    ByteOrderMeasures m;
    const qint64 n = values.size();
    m.spread = std::sqrt(2.0 * double(n));
    if (n == 0) {
        m.zeroDeviation = 0;
        return m;
    }
    qint64 sum = 0;
    qint64 zeroBits = 0;
    for (quint32 v : values) {
        sum += v;
        zeroBits += v == 0 ? 32 : std::countr_zero(v);
    }
    const qint64 mean = sum / n;
    // Squares of code point distances reach 2^40 each: a 128-bit sum cannot overflow on
    // long data, and the mean of the squares fits 64 bits again.
    __int128 squares = 0;
    for (quint32 v : values) {
        const qint64 d = qint64(v) - mean;
        squares += __int128(d * d);
    }
    m.variance = qint64(squares / n);
    m.zeroDeviation = n > zeroBits ? n - zeroBits : zeroBits - n;
    return m;
}
} // namespace

TextCodec::~TextCodec() = default;

QByteArray TextCodec::encode(const QString &text, int fixedSize, int maxSize, bool withBom,
                             bool withTerminator, int errorMode) const
{
    if (fixedSize < 0)
        fixedSize = -1;
    if (maxSize < 0)
        maxSize = -1;
    if (fixedSize != -1 && maxSize != -1 && maxSize < fixedSize)
        fixedSize = maxSize;

    const QByteArray mark = withBom ? bom() : QByteArray();
    const QByteArray end = withTerminator ? terminator() : QByteArray();
    const int overhead = int(mark.size() + end.size());
    if (maxSize != -1) {
        if (overhead > maxSize)
            return QByteArray(maxSize, '\0');
        maxSize -= overhead;
    }

    QByteArray result = mark;
    result += encodeText(text, maxSize, errorMode);
    result += end;
    if (fixedSize != -1 && result.size() < fixedSize)
        result.append(fixedSize - result.size(), '\0');
    return result;
}

QByteArray TextCodec::encodeOrEmpty(const QString &text) const
{
    try {
        return encode(text, -1, -1, false, false, CodecErrorMode::Skip);
    } catch (const Exception &) {
        return QByteArray();
    }
}

QString TextCodec::decode(const QByteArray &data, int maxLength, bool stopAtNul,
                          int errorMode) const
{
    QString text = maxLength >= 0 && maxLength < data.size()
                           ? decodeText(data.left(maxLength), stopAtNul, errorMode)
                           : decodeText(data, stopAtNul, errorMode);
    // A null result is reserved for failure (decodeOrNull), so empty text is never null.
    if (text.isNull())
        text = QStringLiteral("");
    return text;
}

QString TextCodec::decodeOrNull(const QByteArray &data) const
{
    try {
        return decode(data, -1, false, CodecErrorMode::Skip);
    } catch (const Exception &) {
        return QString();
    }
}

bool TextCodec::canEncode(const QString &text) const
{
    CodePointIterator it(text);
    while (it.position < text.size()) {
        if (!canEncodeCodePoint(it.next()))
            return false;
    }
    return true;
}

void TextCodec::setReplacementCharacter(CodePoint codePoint)
{
    if (codePoint.value() >= 128) {
        Logger::warning(ReplacementRefused, {codePoint.value()});
        return;
    }
    replacement.store(codePoint.value(), std::memory_order_relaxed);
}

CodePoint TextCodec::replacementCharacter()
{
    return CodePoint(replacement.load(std::memory_order_relaxed));
}

int TextCodec::detectByteOrder(const QByteArray &data, int mib)
{
    if (data.isEmpty())
        return 0;
    QList<TextCodec *> candidates;
    if (mib == 1015)
        candidates = {Utf16BeTextCodec::instance(), Utf16LeTextCodec::instance()};
    else if (mib == 1017)
        candidates = {Utf32BeTextCodec::instance(), Utf32LeTextCodec::instance()};
    else
        return 0;
    candidates.removeIf([&](TextCodec *codec) { return !codec->canDecode(data); });
    if (candidates.isEmpty())
        return 0;
    if (candidates.size() == 1)
        return candidates.first()->mib();

    QList<ByteOrderMeasures> measures;
    for (TextCodec *codec : candidates)
        measures.append(measure(codec->decodeOrNull(data)));
    for (qsizetype l = 0; l < candidates.size(); ++l) {
        bool byVariance = true;
        bool byZeros = true;
        for (qsizetype k = 0; k < candidates.size(); ++k) {
            if (k == l)
                continue;
            if (!(9 * measures[l].variance < measures[k].variance))
                byVariance = false;
            if (!(double(measures[l].zeroDeviation) + 2.0 * measures[l].spread
                  < double(measures[k].zeroDeviation)))
                byZeros = false;
        }
        if (byVariance || byZeros)
            return candidates[l]->mib();
    }
    return 0;
}

void TextCodec::useUtf8ForCStrings()
{
}

qsizetype TextCodec::asciiPrefix(const QByteArray &data, bool stopAtNul)
{
    const auto *const bytes = reinterpret_cast<const uchar *>(data.constData());
    const qsizetype size = data.size();
    qsizetype i = 0;
    while (i < size && bytes[i] < 0x80 && (bytes[i] != 0 || !stopAtNul))
        ++i;
    return i;
}

void TextCodec::decodeFailure(const QByteArray &data, int errorMode, quint32 failedId, quint32 substitutedId,
                              char16_t *out, qsizetype &length, bool &warned) const
{
    if (errorMode == CodecErrorMode::Throw)
        throw Exception(failedId, {data, name(), mib()});
    if (errorMode != CodecErrorMode::Substitute)
        return;
    // Always below 128, so one unit.
    out[length++] = char16_t(replacementCharacter().value());
    if (!warned) {
        Logger::warning(substitutedId, {data, name(), mib()});
        warned = true;
    }
}
