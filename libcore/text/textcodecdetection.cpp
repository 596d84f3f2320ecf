// The detection half of TextCodec: choosing a codec for bytes that come without one.
#include "libcore/text/textcodec.h"

#include <QList>

#include <algorithm>

#include "libcore/text/codepointiterator.h"
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

bool allCodePointsSmall(const QString &text)
{
    CodePointIterator it(text);
    while (it.position < text.size()) {
        if (it.next().value() > SmallCodePointLimit)
            return false;
    }
    return true;
}

qint64 printableCount(const QString &text)
{
    qint64 count = 0;
    CodePointIterator it(text);
    while (it.position < text.size()) {
        if (it.next().isPrint())
            ++count;
    }
    return count;
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
} // namespace

TextCodec *TextCodec::detect(const QByteArray &data)
{
    if (data.isEmpty())
        return Utf8TextCodec::instance();
    // Bytes 0x03-0x7F only: no mark can begin there, UTF-32 can't decode them, every UTF-16
    // unit they make lies above the small code points, so the steps below always end at UTF-8.
    // Most tag texts are such, and skipping the trial decodings is most of the time spent.
    if (std::all_of(data.cbegin(), data.cend(), [](char c) { return c >= 0x03 && c <= 0x7F; }))
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

    QList<TextCodec *> candidates;
    for (TextCodec *codec : {utf32Be, utf32Le, utf16Be, utf16Le, utf8, latin1, fallback}) {
        if (codec->canDecode(data))
            candidates.append(codec);
    }
    if (candidates.isEmpty())
        return fallback;
    if (candidates.size() == 1)
        return candidates.first();

    // UTF-32LE's mark begins with UTF-16LE's, so candidate order tests it first.
    for (TextCodec *codec : std::as_const(candidates)) {
        const QByteArray mark = codec->bom();
        if (!mark.isEmpty() && data.startsWith(mark))
            return codec;
    }

    for (TextCodec *codec : {utf32Be, utf32Le, utf16Be, utf16Le}) {
        if (candidates.contains(codec) && allCodePointsSmall(codec->decodeOrNull(data)))
            return codec;
    }

    if (candidates.contains(utf32Be)) {
        if (zeroInEveryGroup(data, 0))
            return utf32Be;
        candidates.removeOne(utf32Be);
    }
    if (candidates.contains(utf32Le)) {
        if (zeroInEveryGroup(data, 3))
            return utf32Le;
        candidates.removeOne(utf32Le);
    }

    if (candidates.contains(utf8))
        return utf8;

    // Single-byte text: at least 95 percent printable; the more printable reading wins.
    TextCodec *best = nullptr;
    qint64 bestPrintable = -1;
    for (TextCodec *codec : {latin1, fallback}) {
        if (!candidates.contains(codec))
            continue;
        const qint64 printable = printableCount(codec->decodeOrNull(data));
        if (100 * printable >= 95 * qint64(data.size()) && printable > bestPrintable) {
            best = codec;
            bestPrintable = printable;
        }
    }
    if (best)
        return best;

    const int order = detectByteOrder(data, 1015);
    if (order != 0) {
        TextCodec *const codec = codecForMib(order);
        if (candidates.contains(codec))
            return codec;
    }
    return fallback;
}
