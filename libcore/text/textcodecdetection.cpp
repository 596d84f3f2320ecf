// The detection half of TextCodec: choosing a codec for bytes that come without one.
#include "libcore/text/textcodec.h"

#include <algorithm>

#include "libcore/text/cp1252textcodec.h"
#include "libcore/text/latin1textcodec.h"
#include "libcore/text/utf16betextcodec.h"
#include "libcore/text/utf16letextcodec.h"
#include "libcore/text/utf32betextcodec.h"
#include "libcore/text/utf32letextcodec.h"
#include "libcore/text/utf8textcodec.h"

namespace {
// The end of the IPA Extensions block: text in the right byte order rarely goes above it.
constexpr quint32 SmallCodePointLimit = 0x02AF;

// Which bytes read as printable characters in ISO 8859-1 and in windows-1252, so that the
// single-byte step counts without decoding.
struct PrintableBytes
{
    bool latin1[256];
    bool cp1252[256];
};

const PrintableBytes &printableBytes()
{
    static const PrintableBytes table = [] {
        PrintableBytes t{};
        for (int b = 0; b < 256; ++b) {
            t.latin1[b] = CodePoint(quint32(b)).isPrint();
            t.cp1252[b] = CodePoint(Cp1252TextCodec::codePointOf(quint8(b))).isPrint();
        }
        return t;
    }();
    return table;
}

// Whether no code point of the data read in units of `width` bytes (2 or 4; the data
// decodes so) lies above the small limit. A surrogate pair's units both lie above it, so
// looking at units is looking at code points; a leading mark is left out as decoding does.
bool allCodePointsSmall(const QByteArray &data, int width, bool bigEndian)
{
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const qsizetype count = data.size() / width;
    for (qsizetype i = 0; i < count; ++i) {
        quint32 unit = 0;
        for (int k = 0; k < width; ++k)
            unit = (unit << 8) | bytes[i * width + (bigEndian ? k : width - 1 - k)];
        if (unit > SmallCodePointLimit && !(i == 0 && unit == 0xFEFF))
            return false;
    }
    return true;
}

// Whether byte `offset` of every four-byte group is zero.
bool zeroInEveryGroup(const QByteArray &data, int offset)
{
    for (qsizetype i = offset; i < data.size(); i += 4) {
        if (data.at(i) != 0)
            return false;
    }
    return true;
}

// Detection; without guessWide UTF-16 and UTF-32 are taken by their mark alone.
TextCodec *detectCodec(const QByteArray &data, bool guessWide)
{
    if (data.isEmpty())
        return Utf8TextCodec::instance();
    // Bytes 0x03-0x7F only: no mark can begin there, UTF-32 can't decode them, every UTF-16
    // unit they make lies above the small code points, so the steps below always end at UTF-8.
    // Most tag texts are such, and skipping the trial decodings is most of the time spent.
    if (std::all_of(data.cbegin(), data.cend(), [](char c) { return quint8(c) >= 0x03 && quint8(c) <= 0x7F; }))
        return Utf8TextCodec::instance();

    TextCodec *const utf32Be = Utf32BeTextCodec::instance();
    TextCodec *const utf32Le = Utf32LeTextCodec::instance();
    TextCodec *const utf16Be = Utf16BeTextCodec::instance();
    TextCodec *const utf16Le = Utf16LeTextCodec::instance();
    TextCodec *const utf8 = Utf8TextCodec::instance();
    TextCodec *const latin1 = Latin1TextCodec::instance();
    // windows-1252 decodes every byte and, unlike the locale's UTF-8, reads any bytes
    // without failures: the last resort wherever nothing else decides.
    TextCodec *const fallback = Cp1252TextCodec::instance();

    // In candidate order; UTF-32LE's mark begins with UTF-16LE's, so it is tested first.
    TextCodec *const order[] = {utf32Be, utf32Le, utf16Be, utf16Le, utf8, latin1, fallback};
    bool candidate[std::size(order)] = {};
    int count = 0;
    for (std::size_t k = 0; k < std::size(order); ++k) {
        candidate[k] = order[k]->canDecode(data);
        count += candidate[k] ? 1 : 0;
    }
    const auto isCandidate = [&](TextCodec *codec) {
        const auto found = std::find(std::begin(order), std::end(order), codec);
        return found != std::end(order) && candidate[found - std::begin(order)];
    };
    if (count == 0)
        return fallback;
    if (count == 1)
        return order[std::find(std::begin(candidate), std::end(candidate), true) - std::begin(candidate)];

    for (std::size_t k = 0; k < std::size(order); ++k) {
        if (!candidate[k])
            continue;
        const QByteArray mark = order[k]->bom();
        if (!mark.isEmpty() && data.startsWith(mark))
            return order[k];
    }

    if (guessWide) {
        const struct { TextCodec *codec; int width; bool bigEndian; } wide[] = {
            {utf32Be, 4, true}, {utf32Le, 4, false}, {utf16Be, 2, true}, {utf16Le, 2, false}};
        for (const auto &w : wide) {
            if (isCandidate(w.codec) && allCodePointsSmall(data, w.width, w.bigEndian))
                return w.codec;
        }
        if (isCandidate(utf32Be) && zeroInEveryGroup(data, 0))
            return utf32Be;
        if (isCandidate(utf32Le) && zeroInEveryGroup(data, 3))
            return utf32Le;
    }

    if (isCandidate(utf8))
        return utf8;

    // Single-byte text: at least 95 percent printable; the more printable reading wins.
    const PrintableBytes &printable = printableBytes();
    qint64 latin1Printable = 0;
    qint64 fallbackPrintable = 0;
    for (char c : data) {
        latin1Printable += printable.latin1[quint8(c)] ? 1 : 0;
        fallbackPrintable += printable.cp1252[quint8(c)] ? 1 : 0;
    }
    TextCodec *best = nullptr;
    qint64 bestPrintable = -1;
    for (const auto &[codec, p] : {std::pair{latin1, latin1Printable}, std::pair{fallback, fallbackPrintable}}) {
        if (isCandidate(codec) && 100 * p >= 95 * qint64(data.size()) && p > bestPrintable) {
            best = codec;
            bestPrintable = p;
        }
    }
    if (best)
        return best;

    if (guessWide) {
        const int byteOrder = TextCodec::detectByteOrder(data, 1015);
        if (byteOrder != 0) {
            TextCodec *const codec = TextCodec::codecForMib(byteOrder);
            if (isCandidate(codec))
                return codec;
        }
    }
    return fallback;
}
} // namespace

TextCodec *TextCodec::detect(const QByteArray &data)
{
    return detectCodec(data, true);
}

TextCodec *TextCodec::detectFixedField(const QByteArray &data)
{
    return detectCodec(data, false);
}

bool TextCodec::guessReadsBack(const QByteArray &bytes, const QString &text, bool fixedField)
{
    return detectCodec(bytes, !fixedField)->decodeOrNull(bytes) == text;
}
