#include "libcore/text/formatting.h"

#include <algorithm>

#include "libcore/text/codepointstring.h"
#include "libcore/text/texttable.h"

QString upperCaseFirst(const QString &text, bool capitalize)
{
    if (!capitalize || text.isEmpty())
        return text;
    const CodePoint first = codePointAtUnit(text, 0);
    if (first.category() == QChar::Letter_Uppercase)
        return text;
    const CodePoint upper(quint32(QChar::toUpper(char32_t(first.value()))));
    if (upper == first)
        return text;
    return upper.toString() + text.mid(first.requiresSurrogates() ? 2 : 1);
}

QString &argInPlace(QString &pattern, const QString &value, int fieldWidth, QChar fill)
{
    pattern = pattern.arg(value, fieldWidth, fill);
    return pattern;
}

QString &argInt(QString &pattern, int value, int fieldWidth, int base)
{
    return argLongLong(pattern, value, fieldWidth, base);
}

QString &argLongLong(QString &pattern, qint64 value, int fieldWidth, int base)
{
    pattern = pattern.arg(value, fieldWidth, base, QLatin1Char('0'));
    return pattern;
}

QString &argDouble(QString &pattern, double value, int fieldWidth, int precision)
{
    pattern = pattern.arg(value, fieldWidth, 'f', precision, QLatin1Char('0'));
    return pattern;
}

namespace {
struct Placeholder {
    qsizetype start;
    qsizetype length;
    int number;
};

// Placeholders as QString::arg reads them: '%', an optional 'L', one or two digits.
QList<Placeholder> findPlaceholders(QStringView pattern)
{
    QList<Placeholder> found;
    const qsizetype len = pattern.size();
    qsizetype i = 0;
    while (i < len) {
        if (pattern[i] != u'%') {
            ++i;
            continue;
        }
        const qsizetype start = i;
        qsizetype j = i + 1;
        if (j < len && pattern[j] == u'L')
            ++j;
        const int d1 = j < len ? pattern[j].digitValue() : -1;
        if (d1 < 0) {
            i = start + 1;
            continue;
        }
        int number = d1;
        ++j;
        if (j < len && pattern[j].digitValue() >= 0) {
            number = number * 10 + pattern[j].digitValue();
            ++j;
        }
        found.append({start, j - start, number});
        i = j;
    }
    return found;
}
} // namespace

QString fillPlaceholders(const QString &pattern, const QStringList &values)
{
    if (values.isEmpty())
        return pattern;
    const QList<Placeholder> found = findPlaceholders(pattern);
    if (found.isEmpty())
        return pattern;
    // Numbers in ascending order; the i-th distinct number takes values[i].
    QList<int> numbers;
    for (const Placeholder &p : found)
        numbers.append(p.number);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());

    QString result;
    result.reserve(pattern.size());
    qsizetype done = 0;
    for (const Placeholder &p : found) {
        const qsizetype index = numbers.indexOf(p.number);
        if (index >= values.size())
            continue;
        result.append(QStringView(pattern).mid(done, p.start - done));
        result.append(values.at(index));
        done = p.start + p.length;
    }
    result.append(QStringView(pattern).mid(done));
    return result;
}

QString placeholderSequence(int count, const QString &separator)
{
    QString result;
    for (int i = 1; i <= count; ++i) {
        result += QStringLiteral("%") + QString::number(i);
        if (i < count)
            result += separator;
    }
    return result;
}

QString listPattern(int count)
{
    if (count <= 0)
        return QString();
    if (count == 1)
        return QStringLiteral("%1");
    QString result;
    for (int i = 1; i <= count - 2; ++i)
        result += QStringLiteral("%%1, ").arg(i);
    result += QStringLiteral("%%1 ").arg(count - 1);
    result += textForId(ListConjunctionTextId) + QLatin1Char(' ');
    result += QStringLiteral("%%1").arg(count);
    return result;
}

QString formatDuration(int milliseconds, bool withMilliseconds)
{
    const int ms = milliseconds;
    QString result;
    if (ms <= 3599999) {
        result = QStringLiteral("%1:%2");
        argInt(result, ms / 60000, 2);
        argInt(result, (ms / 1000) % 60, 2);
    } else {
        result = QStringLiteral("%1:%2:%3");
        argInt(result, ms / 3600000, 2);
        argInt(result, (ms / 60000) % 60, 2);
        argInt(result, (ms / 1000) % 60, 2);
    }
    if (withMilliseconds) {
        QString suffix = QStringLiteral(" (%L1 ms)");
        result += argInt(suffix, ms);
    }
    return result;
}

namespace {
QString localeNumber(double value, int precision)
{
    QString n = QStringLiteral("%L1");
    return argDouble(n, value, 0, precision);
}

QString localeNumber(qint64 value)
{
    QString n = QStringLiteral("%L1");
    return argLongLong(n, value);
}
} // namespace

QString formatBitrate(int bitsPerSecond)
{
    const double k = bitsPerSecond / 1000.0;
    const double m = k / 1000.0;
    const double g = m / 1000.0;
    const QString unit = textForId(BitrateUnitTextId);
    // The unit text comes from the text table: it is filled in the same pass as the number,
    // so a '%' in it is never read as a placeholder.
    if (g >= 1)
        return fillPlaceholders(QStringLiteral("%1 G%2"), {localeNumber(g, 2), unit});
    if (m >= 1)
        return fillPlaceholders(QStringLiteral("%1 M%2"), {localeNumber(m, 1), unit});
    if (k >= 1)
        return fillPlaceholders(QStringLiteral("%1 k%2"), {localeNumber(k, 0), unit});
    return fillPlaceholders(QStringLiteral("%1 %2"), {localeNumber(qint64(bitsPerSecond)), unit});
}

QString formatByteSize(qint64 bytes, bool binary)
{
    const double step = binary ? 1024.0 : 1000.0;
    const double k = double(bytes) / step;
    const double m = k / step;
    const double g = m / step;
    const auto pattern = QStringLiteral("%1 %2");
    if (g >= 1)
        return fillPlaceholders(pattern, {localeNumber(g, 2), binary ? QStringLiteral("GiB") : QStringLiteral("GB")});
    if (m >= 1)
        return fillPlaceholders(pattern, {localeNumber(m, 2), binary ? QStringLiteral("MiB") : QStringLiteral("MB")});
    if (k >= 1)
        return fillPlaceholders(pattern, {localeNumber(k, 1), binary ? QStringLiteral("KiB") : QStringLiteral("kB")});
    return fillPlaceholders(pattern, {localeNumber(bytes), textForId(ByteUnitTextId)});
}
