#include "libcore/text/textmatching.h"

#include "libcore/text/codepoint.h"
#include "libcore/text/codepointiterator.h"
#include "libcore/text/codepointstring.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/wordsplitting.h"

#include <QMap>
#include <QSet>

#include <algorithm>
#include <vector>

namespace {
// The tolerated distance for texts whose shorter one has this length.
int tolerance(qsizetype length)
{
    return int(length > 14 ? length / 5 : length / 4);
}

bool isBlank(const QList<CodePoint> &text, qsizetype from)
{
    return std::all_of(text.cbegin() + from, text.cend(), [](CodePoint c) { return c.isSpace(); });
}

bool isDigit(CodePoint c)
{
    return QChar::isDigit(char32_t(c.value()));
}
// The distance of s and t (t not longer than s) when it is at most limit, else limit + 1.
// Only three rows are kept, and of them only the band |i - j| <= limit, since every cell
// outside it exceeds the limit; `over` stands for such cells. The walk stops once no
// alignment through the last two rows can end within the limit.
int boundedDistance(const std::vector<char32_t> &s, const std::vector<char32_t> &t, int limit)
{
    const int n = int(s.size());
    const int m = int(t.size());
    if (n - m > limit)
        return limit + 1;
    const int over = limit + 1;
    std::vector<int> rows(3 * (size_t(m) + 1), over);
    int *older = rows.data();
    int *previous = older + m + 1;
    int *current = previous + m + 1;
    for (int j = 0; j <= std::min(m, limit); ++j)
        previous[j] = j;
    // The rest of an alignment from (i, j) costs at least the difference of the lengths left.
    const auto remaining = [n, m](int i, int j) { return std::abs((n - i) - (m - j)); };
    int previousBound = 0;
    for (int i = 1; i <= n; ++i) {
        const int low = std::max(1, i - limit);
        const int high = std::min(m, i + limit);
        current[low - 1] = low == 1 ? std::min(i, over) : over;
        int bound = current[low - 1] + remaining(i, low - 1);
        const char32_t si = s[i - 1];
        for (int j = low; j <= high; ++j) {
            const int cost = si == t[j - 1] ? 0 : 1;
            int d = std::min({current[j - 1] + 1, previous[j] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && si == t[j - 2] && t[j - 1] == s[i - 2])
                d = std::min(d, older[j - 2] + cost);
            current[j] = std::min(d, over);
            bound = std::min(bound, current[j] + remaining(i, j));
        }
        if (high < m)
            current[high + 1] = over;
        // A swap jumps over one row, so every alignment passes through this row or the last.
        if (std::min(bound, previousBound) > limit)
            return over;
        previousBound = bound;
        std::swap(older, previous);
        std::swap(previous, current);
    }
    return previous[m];
}
} // namespace

int editDistance(const QString &a, const QString &b, int limit)
{
    if (a == b)
        return 0;
    std::vector<char32_t> s, t;
    for (const CodePoint c : toCodePoints(a))
        s.push_back(c.value());
    for (const CodePoint c : toCodePoints(b))
        t.push_back(c.value());
    // The distance is symmetric: the shorter text gives the row width.
    if (t.size() > s.size())
        std::swap(s, t);
    const int n = int(s.size());
    if (limit < 0 || limit > n)
        limit = n; // the distance is never above the longer length
    // Close texts are cheap with a narrow band: widen it step by step up to the limit, so
    // the cost follows the actual distance rather than the tolerance.
    for (int step = std::min(limit, 8);; step = std::min(limit, 2 * step)) {
        const int d = boundedDistance(s, t, step);
        if (d <= step || step == limit)
            return std::min(d, limit + 1);
    }
}

bool isSimilarText(const QString &a, const QString &b)
{
    const int k = tolerance(std::min(a.size(), b.size()));
    if (std::abs(a.size() - b.size()) > k)
        return false;
    // The code point tolerance is never above the unit one, so the walk may stop past k.
    const int d = editDistance(a, b, k);
    if (d == 0)
        return true;
    if (d > k)
        return false;
    return d <= tolerance(std::min(codePointLength(a), codePointLength(b)));
}

bool matchesFuzzyPrefix(const QString &a, const QString &b)
{
    const QString ka = alphanumericKey(a);
    const QString kb = alphanumericKey(b);
    if (ka == kb)
        return true;
    const int i = codePointLength(ka);
    const int n = codePointLength(kb);
    if (i <= 11 || n < i)
        return false;
    if (i <= 16 && n > 3 * i)
        return false;
    if (i <= 24 && n > 4 * i)
        return false;
    return isSimilarText(ka, leftCodePoints(kb, i));
}

QString similarWordKey(const QString &text)
{
    constexpr int Flags = 191;
    return alphanumericKey(splitWords(text, Flags).join(QString()));
}

bool isSimilarWordText(const QString &a, const QString &b)
{
    return isSimilarText(similarWordKey(a), similarWordKey(b));
}

bool isDecimalNumber(const QString &text)
{
    const QList<CodePoint> points = toCodePoints(text);
    qsizetype i = 0;
    while (i < points.size() && points.at(i).isSpace())
        ++i;
    const qsizetype digitsStart = i;
    while (i < points.size() && isDigit(points.at(i)))
        ++i;
    return i > digitsStart && isBlank(points, i);
}

bool equalNumbers(const QString &a, const QString &b)
{
    // A text whose first non-space is no digit holds no number; most texts compared are
    // words, and they are turned down here without being decoded into code points.
    const auto mayHoldNumber = [](QStringView text) {
        for (qsizetype u = 0; u < text.size();) {
            const CodePoint c = codePointAtUnit(text, u);
            if (!c.isSpace())
                return isDigit(c);
            u += c.requiresSurrogates() ? 2 : 1;
        }
        return true;
    };
    if (!mayHoldNumber(a) || !mayHoldNumber(b))
        return false;
    const QList<CodePoint> x = toCodePoints(a);
    const QList<CodePoint> y = toCodePoints(b);
    const auto skipLeading = [](const QList<CodePoint> &text, qsizetype &i, bool &hadZeros) {
        while (i < text.size() && text.at(i).isSpace())
            ++i;
        const qsizetype digits = i;
        while (i < text.size() && text.at(i).value() == '0')
            ++i;
        hadZeros = i > digits;
    };
    qsizetype i = 0;
    qsizetype j = 0;
    bool zerosA = false;
    bool zerosB = false;
    skipLeading(x, i, zerosA);
    skipLeading(y, j, zerosB);
    if (i == x.size())
        return zerosA && zerosB && isBlank(y, j);
    if (j == y.size())
        return zerosA && zerosB && isBlank(x, i);
    for (; i < x.size() && j < y.size(); ++i, ++j) {
        const CodePoint c = x.at(i);
        const CodePoint d = y.at(j);
        if (c.isSpace() && d.isSpace())
            return isBlank(x, i) && isBlank(y, j);
        if (c != d || !isDigit(c))
            return false;
    }
    return isBlank(x, i) && isBlank(y, j);
}

bool equalStrings(const QString &a, const QString &b, Qt::CaseSensitivity sensitivity)
{
    return QString::compare(a, b, sensitivity) == 0;
}

bool equalLocaleAware(const QString &a, const QString &b)
{
    return QString::localeAwareCompare(a, b) == 0;
}

QString longerString(const QString &a, const QString &b)
{
    return b.size() > a.size() ? b : a;
}

bool containsDuplicates(const QStringList &list, Qt::CaseSensitivity sensitivity)
{
    QSet<QString> seen;
    for (const QString &entry : list) {
        const QString key = sensitivity == Qt::CaseSensitive ? entry : entry.toLower();
        if (seen.contains(key))
            return true;
        seen.insert(key);
    }
    return false;
}

QString mostFrequentString(const QStringList &list, int *count)
{
    QMap<QString, int> counts; // ordered by QString::operator<
    for (const QString &entry : list)
        ++counts[entry];
    QString best;
    int bestCount = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    if (count)
        *count = bestCount;
    return best;
}

int mostFrequentCount(const QStringList &list)
{
    int count = 0;
    mostFrequentString(list, &count);
    return count;
}

QStringList deletionVariants(const QString &text, int prefixLength, int maxDeletions)
{
    if (text.isEmpty())
        return {};
    const QString start = leftCodePoints(text, prefixLength + maxDeletions);
    QSet<QString> collected {start};
    QSet<QString> newest {start};
    for (int round = 0; round < maxDeletions; ++round) {
        QSet<QString> next;
        for (const QString &variant : std::as_const(newest)) {
            const int length = codePointLength(variant);
            for (int k = 0; k < length; ++k) {
                QString shorter = variant;
                removeCodePoints(shorter, k, 1);
                next.insert(shorter);
            }
        }
        collected.unite(next);
        newest = next;
    }
    QSet<QString> prefixes;
    for (const QString &variant : std::as_const(collected))
        prefixes.insert(leftCodePoints(variant, prefixLength));
    QStringList result(prefixes.cbegin(), prefixes.cend());
    result.sort(); // independent of the hash order
    return result;
}
