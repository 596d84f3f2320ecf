#include "libcore/text/codepointstring.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

bool isPairAt(QStringView text, qsizetype u)
{
    return u >= 0 && u + 1 < text.size() && text[u].isHighSurrogate() && text[u + 1].isLowSurrogate();
}

// Whether the unit at u is the low half of a pair.
bool isPairLowAt(QStringView text, qsizetype u)
{
    return u >= 1 && u < text.size() && text[u].isLowSurrogate() && text[u - 1].isHighSurrogate();
}

// Unit position of a code point position; negative positions count from the end, and a
// position before the start gives 0.
qsizetype unitPosition(QStringView text, int position)
{
    if (position >= 0)
        return codePointToUnitIndex(text, position);
    return std::max<qsizetype>(0, text.size() + codePointToUnitIndex(text, position));
}

// Units taken by `count` code points from unit position u; a negative count takes the rest.
qsizetype unitsFrom(QStringView text, qsizetype u, int count)
{
    if (count < 0)
        return std::max<qsizetype>(0, text.size() - u);
    qsizetype end = u;
    for (int i = 0; i < count && end < text.size(); ++i)
        end += isPairAt(text, end) ? 2 : 1;
    return end - u;
}

// Unit length of the last n code points (n > 0).
qsizetype unitsOfLast(QStringView text, int n)
{
    return std::min<qsizetype>(text.size(), -qsizetype(codePointToUnitIndex(text, -n)));
}

} // namespace

CodePoint codePointAtUnit(QStringView text, qsizetype unit)
{
    if (unit < 0 || unit >= text.size())
        return CodePoint();
    if (isPairAt(text, unit))
        return CodePoint(QChar::surrogateToUcs4(text[unit], text[unit + 1]));
    return CodePoint(text[unit]);
}

CodePoint codePointBeforeUnit(QStringView text, qsizetype unit)
{
    if (unit <= 0 || unit > text.size())
        return CodePoint();
    if (isPairLowAt(text, unit - 1))
        return CodePoint(QChar::surrogateToUcs4(text[unit - 2], text[unit - 1]));
    return CodePoint(text[unit - 1]);
}

int codePointToUnitIndex(QStringView text, int n)
{
    const qsizetype len = text.size();
    if (n > 0) {
        qsizetype u = 0;
        for (int i = 0; i < n && u < len; ++i)
            u += isPairAt(text, u) ? 2 : 1;
        return int(u);
    }
    if (n == 0)
        return 0;
    if (len == 0)
        return -1;
    qsizetype pos = -1;
    for (int i = 0; i < -(qint64(n)) - 1; ++i) {
        if (pos < -len)
            break;
        pos -= isPairLowAt(text, len + pos) ? 2 : 1;
    }
    if (pos >= -len && isPairLowAt(text, len + pos))
        --pos;
    return int(pos);
}

int unitToCodePointIndex(QStringView text, int n)
{
    const qsizetype len = text.size();
    if (n > 0) {
        const qsizetype m = std::min<qsizetype>(n, len);
        int count = 0;
        for (qsizetype u = 0; u < m; ++u) {
            if (!isPairAt(text, u))
                ++count;
        }
        return count;
    }
    if (n == 0 || n == -1)
        return n;
    if (len == 0)
        return -1;
    int result = -1;
    for (qsizetype u = len - 1; u >= 0 && u >= len + n + 1; --u) {
        if (!isPairLowAt(text, u))
            --result;
    }
    return result;
}

int codePointLength(QStringView text)
{
    return unitToCodePointIndex(text, int(text.size()));
}

CodePoint codePointAt(QStringView text, int position)
{
    if (position < 0 && text.isEmpty())
        return CodePoint();
    return codePointAtUnit(text, unitPosition(text, position));
}

CodePoint lastCodePoint(QStringView text)
{
    return codePointBeforeUnit(text, text.size());
}

QList<CodePoint> toCodePoints(QStringView text)
{
    QList<CodePoint> result;
    result.reserve(text.size());
    for (qsizetype u = 0; u < text.size(); u += isPairAt(text, u) ? 2 : 1)
        result.append(codePointAtUnit(text, u));
    return result;
}

int indexOfCodePoints(const QString &text, const QString &needle, int from, Qt::CaseSensitivity cs)
{
    const qsizetype i = text.indexOf(needle, codePointToUnitIndex(text, from), cs);
    return i < 0 ? -1 : unitToCodePointIndex(text, int(i));
}

int indexOfCodePoints(const QString &text, CodePoint needle, int from, Qt::CaseSensitivity cs)
{
    return indexOfCodePoints(text, needle.toString(), from, cs);
}

int indexOfCodePoints(const QString &text, const QRegularExpression &re, int from,
                      QRegularExpressionMatch *match)
{
    const qsizetype i = text.indexOf(re, codePointToUnitIndex(text, from), match);
    return i < 0 ? -1 : unitToCodePointIndex(text, int(i));
}

int lastIndexOfCodePoints(const QString &text, const QString &needle, int from, Qt::CaseSensitivity cs)
{
    const qsizetype i = text.lastIndexOf(needle, codePointToUnitIndex(text, from), cs);
    return i < 0 ? -1 : unitToCodePointIndex(text, int(i));
}

int lastIndexOfCodePoints(const QString &text, CodePoint needle, int from, Qt::CaseSensitivity cs)
{
    return lastIndexOfCodePoints(text, needle.toString(), from, cs);
}

int lastIndexOfCodePoints(const QString &text, const QRegularExpression &re, int from,
                          QRegularExpressionMatch *match)
{
    const qsizetype i = text.lastIndexOf(re, codePointToUnitIndex(text, from), match);
    return i < 0 ? -1 : unitToCodePointIndex(text, int(i));
}

QString leftCodePoints(const QString &text, int n)
{
    return text.left(codePointToUnitIndex(text, n));
}

QStringView leftCodePoints(QStringView text, int n)
{
    const int u = codePointToUnitIndex(text, n);
    return u < 0 ? text : text.left(u);
}

QString rightCodePoints(const QString &text, int n)
{
    return n <= 0 ? text.right(n) : text.right(unitsOfLast(text, n));
}

QStringView rightCodePoints(QStringView text, int n)
{
    if (n < 0)
        return text;
    return n == 0 ? text.left(0) : text.right(unitsOfLast(text, n));
}

QString midCodePoints(const QString &text, int position, int length)
{
    const qsizetype u = unitPosition(text, position);
    return text.mid(u, unitsFrom(text, u, length));
}

QStringView midCodePoints(QStringView text, int position, int length)
{
    const qsizetype u = std::min(unitPosition(text, position), text.size());
    return text.mid(u, unitsFrom(text, u, length));
}

QString leftJustifiedCodePoints(const QString &text, int width, CodePoint fill, bool truncate)
{
    const int count = codePointLength(text);
    if (width < count)
        return truncate ? leftCodePoints(text, width) : text;
    return text + repeatedCodePoint(width - count, fill);
}

QString rightJustifiedCodePoints(const QString &text, int width, CodePoint fill, bool truncate)
{
    const int count = codePointLength(text);
    if (width < count)
        return truncate ? leftCodePoints(text, width) : text;
    return repeatedCodePoint(width - count, fill) + text;
}

QString &insertCodePoints(QString &text, int position, const QString &s)
{
    return text.insert(unitPosition(text, position), s);
}

QString &insertCodePoints(QString &text, int position, CodePoint c)
{
    return insertCodePoints(text, position, c.toString());
}

QString &removeCodePoints(QString &text, int position, int count)
{
    if (count <= 0)
        return text;
    const qsizetype u = unitPosition(text, position);
    return text.remove(u, unitsFrom(text, u, count));
}

QString &replaceCodePoints(QString &text, int position, int count, const QString &after)
{
    const qsizetype u = unitPosition(text, position);
    return text.replace(u, count <= 0 ? 0 : unitsFrom(text, u, count), after);
}

QString &replaceCodePoints(QString &text, int position, int count, CodePoint after)
{
    return replaceCodePoints(text, position, count, after.toString());
}

QString &truncateCodePoints(QString &text, int n)
{
    text.truncate(codePointToUnitIndex(text, n));
    return text;
}

QString &chopCodePoints(QString &text, int n)
{
    if (n > 0)
        text.chop(unitsOfLast(text, n));
    return text;
}

QString &resizeCodePoints(QString &text, int n)
{
    if (n <= 0) {
        text.resize(0);
        return text;
    }
    const int length = codePointLength(text);
    if (n < length)
        text.truncate(codePointToUnitIndex(text, n));
    else if (n > length)
        text.resize(text.size() + (n - length), QChar(0));
    return text;
}

QString &setCodePointAt(QString &text, int position, CodePoint c)
{
    const qsizetype u = unitPosition(text, position);
    const bool oldPair = isPairAt(text, u);
    if (u >= text.size()) {
        text.append(c.toString());
    } else if (!oldPair && !c.requiresSurrogates()) {
        text[u] = QChar(c.toUtf16Unit());
    } else if (!oldPair) {
        text.replace(u, 1, c.toString());
    } else if (c.requiresSurrogates()) {
        const QString pair = c.toString();
        text[u] = pair[0];
        text[u + 1] = pair[1];
    } else {
        text.replace(u, 2, c.toString());
    }
    return text;
}

QString &fillCodePoints(QString &text, CodePoint c, int count)
{
    text = repeatedCodePoint(count < 0 ? codePointLength(text) : count, c);
    return text;
}

QString repeatedCodePoint(int count, CodePoint c)
{
    if (count <= 0)
        return QString();
    if (!c.requiresSurrogates())
        return QString(count, QChar(c.toUtf16Unit()));
    QString result;
    result.reserve(qsizetype(count) * 2);
    const QString pair = c.toString();
    for (int i = 0; i < count; ++i)
        result.append(pair);
    return result;
}

QString reversedCodePoints(QStringView text)
{
    QString result;
    result.reserve(text.size());
    qsizetype u = text.size();
    while (u > 0) {
        const qsizetype step = isPairLowAt(text, u - 1) ? 2 : 1;
        result.append(text.mid(u - step, step));
        u -= step;
    }
    return result;
}
