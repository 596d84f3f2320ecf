#pragma once

#include <QString>
#include <QStringList>

// Text ids used by the formatting helpers.
enum FormattingTextId : quint32 {
    ListConjunctionTextId = 3802841430u, // "and"
    BitrateUnitTextId = 4049796818u,     // "bit/s"
    ByteUnitTextId = 774960144u,         // "bytes"
};

// The text with its first code point upper-cased (simple mapping); upper-case letters and
// texts when `capitalize` is false come back unchanged.
QString upperCaseFirst(const QString &text, bool capitalize = true);

// Placeholder fillers: each replaces the lowest-numbered placeholder of `pattern` (every
// occurrence, as QString::arg does), stores the result back and returns it.
QString &argInPlace(QString &pattern, const QString &value, int fieldWidth = 0, QChar fill = QLatin1Char(' '));
QString &argInt(QString &pattern, int value, int fieldWidth = 0, int base = 10);
QString &argLongLong(QString &pattern, qint64 value, int fieldWidth = 0, int base = 10);
QString &argDouble(QString &pattern, double value, int fieldWidth = 0, int precision = -1);

// Fills all placeholders in one pass: the lowest-numbered placeholder takes values[0], the next
// one values[1], and so on. Unlike filling one after another, a value that itself contains
// "%2" (a URL with "%2F") is never taken for a placeholder. Placeholders without a value stay.
QString fillPlaceholders(const QString &pattern, const QStringList &values);

// "%1<separator>%2<separator>...%count".
QString placeholderSequence(int count, const QString &separator);
// "%1, %2, %3 and %4", the conjunction from the text table.
QString listPattern(int count);

// "mm:ss" below an hour, else "hh:mm:ss"; optionally followed by " (n ms)".
QString formatDuration(int milliseconds, bool withMilliseconds = false);
QString formatBitrate(int bitsPerSecond);
QString formatByteSize(qint64 bytes, bool binary = true);
