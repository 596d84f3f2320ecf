#include "app/tagscript/scripttextfunctions.h"

#include "app/tagscript/capitalization.h"
#include "app/tagscript/scriptvalues.h"
#include "app/tagscript/tagscript.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/text/codepointstring.h"
#include "libcore/text/textmatching.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

QString text(const QVariantList &arguments, qsizetype i)
{
    return scriptText(arguments.at(i));
}

// Positions are 1-based ints; in 64 bits "position - 1" can't overflow.
qsizetype zeroBased(int position)
{
    return qsizetype(position) - 1;
}

} // namespace

// Length and single characters

QVariant scriptLength(const QString &, const QVariantList &a)
{
    return int(text(a, 0).size());
}

QVariant scriptIsEmpty(const QString &, const QVariantList &a)
{
    return a.isEmpty() || text(a, 0).isEmpty();
}

QVariant scriptChar(const QString &, const QVariantList &a)
{
    bool ok = false;
    const int code = scriptInteger(a.at(0), &ok);
    if (!ok)
        return QVariant();
    return CodePoint(code).toString();
}

QVariant scriptOrd(const QString &, const QVariantList &a)
{
    const QString s = text(a, 0);
    return s.isEmpty() ? 0 : int(codePointAt(s, 0).value());
}

QVariant scriptIsDigit(const QString &, const QVariantList &a)
{
    const QString s = text(a, 0);
    return !s.isEmpty() && codePointAt(s, 0).category() == QChar::Number_DecimalDigit;
}

// Search, always case-sensitive

QVariant scriptContains(const QString &, const QVariantList &a)
{
    return text(a, 0).contains(text(a, 1), Qt::CaseSensitive);
}

QVariant scriptStartsWith(const QString &, const QVariantList &a)
{
    return text(a, 0).startsWith(text(a, 1), Qt::CaseSensitive);
}

QVariant scriptEndsWith(const QString &, const QVariantList &a)
{
    return text(a, 0).endsWith(text(a, 1), Qt::CaseSensitive);
}

QVariant scriptIndexOf(const QString &key, const QVariantList &a)
{
    const int i = int(text(a, 0).indexOf(text(a, 1), 0, Qt::CaseSensitive));
    return key == QLatin1String("find") ? i : i + 1;
}

QVariant scriptLastIndexOf(const QString &, const QVariantList &a)
{
    // An empty text is found after the last character, as the first search finds it
    // before the first one.
    return int(text(a, 0).lastIndexOf(text(a, 1), Qt::CaseSensitive)) + 1;
}

// Slicing: an integer that does not convert gives the text back.

QVariant scriptLeft(const QString &, const QVariantList &a)
{
    bool ok = false;
    const int n = scriptInteger(a.at(1), &ok);
    return ok ? QVariant(text(a, 0).left(n)) : a.at(0);
}

QVariant scriptRight(const QString &, const QVariantList &a)
{
    bool ok = false;
    const int n = scriptInteger(a.at(1), &ok);
    return ok ? QVariant(text(a, 0).right(n)) : a.at(0);
}

QVariant scriptTruncate(const QString &, const QVariantList &a)
{
    bool ok = false;
    const int n = scriptInteger(a.at(1), &ok);
    return ok ? QVariant(text(a, 0).left(std::max(n, 0))) : a.at(0);
}

QVariant scriptMidCharacter(const QString &, const QVariantList &a)
{
    bool ok = false;
    const int position = scriptInteger(a.at(1), &ok);
    if (!ok)
        return QVariant();
    return text(a, 0).mid(zeroBased(position), 1);
}

QVariant scriptMid(const QString &, const QVariantList &a)
{
    const auto integers = scriptIntegerPair(a.at(1), a.at(2));
    if (!integers)
        return a.at(0);
    const auto [position, length] = *integers;
    return text(a, 0).mid(zeroBased(position), length);
}

QVariant scriptMidToEnd(const QString &, const QVariantList &a)
{
    bool ok = false;
    const int position = scriptInteger(a.at(1), &ok);
    return ok ? QVariant(text(a, 0).mid(zeroBased(position))) : a.at(0);
}

QVariant scriptSubstr(const QString &, const QVariantList &a)
{
    const QString s = text(a, 0);
    bool ok = false;
    qsizetype start = scriptInteger(a.at(1), &ok);
    if (!ok)
        return a.at(0);
    qsizetype end = s.size();
    if (a.size() > 2) {
        end = scriptInteger(a.at(2), &ok);
        if (!ok)
            return a.at(0);
    }
    if (start < 0)
        start += s.size();
    if (end < 0)
        end += s.size();
    return s.mid(start, std::max<qsizetype>(end - start, 0));
}

// Editing

QVariant scriptInsert(const QString &, const QVariantList &a)
{
    bool ok = false;
    const int position = scriptInteger(a.at(1), &ok);
    if (!ok)
        return a.at(0);
    QString s = text(a, 0);
    const QString insertion = text(a, 2);
    const qsizetype index = std::clamp<qsizetype>(zeroBased(position), 0, 1000);
    checkScriptTextLength(std::max(s.size(), index) + insertion.size());
    // Past the end, the text is first filled up with spaces.
    if (index > s.size())
        s.append(QString(index - s.size(), u' '));
    return s.insert(index, insertion);
}

QVariant scriptRemoveText(const QString &, const QVariantList &a)
{
    QString s = text(a, 0);
    const QString find = text(a, 1);
    if (!find.isEmpty())
        s.remove(find, Qt::CaseSensitive);
    return s;
}

QVariant scriptRemoveRange(const QString &, const QVariantList &a)
{
    const auto integers = scriptIntegerPair(a.at(1), a.at(2));
    if (!integers)
        return a.at(0);
    const auto [position, length] = *integers;
    QString s = text(a, 0);
    // A start before the text removes nothing.
    if (position < 1 || length <= 0)
        return s;
    return s.remove(zeroBased(position), length);
}

QVariant scriptReplace(const QString &, const QVariantList &a)
{
    QString s = text(a, 0);
    for (qsizetype i = 1; i + 1 < a.size(); i += 2) {
        const QString find = text(a, i);
        const QString replacement = text(a, i + 1);
        // Each pair may multiply the length: check before the text is built.
        if (replacement.size() > find.size())
            checkScriptTextLength(s.size() + s.count(find, Qt::CaseSensitive) * (replacement.size() - find.size()));
        s.replace(find, replacement, Qt::CaseSensitive);
    }
    return s;
}

QVariant scriptRegExpReplace(const QString &, const QVariantList &a)
{
    const QString s = text(a, 0);
    QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
    if (a.size() > 3) {
        bool ok = false;
        if (scriptInteger(a.at(3), &ok) == 1 && ok)
            options |= QRegularExpression::CaseInsensitiveOption;
    }
    const QRegularExpression re(text(a, 1), options);
    if (!re.isValid())
        return s;
    const QString replacement = text(a, 2);
    const int captureCount = re.captureCount();
    // Built step by step so that the length is checked while it grows; "\1" to "\9" stand
    // for the captured texts, "\10" is the first one followed by a '0'.
    QString result;
    qsizetype last = 0;
    QRegularExpressionMatchIterator it = re.globalMatch(s);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result += QStringView(s).mid(last, match.capturedStart() - last);
        for (qsizetype i = 0; i < replacement.size(); ++i) {
            const QChar c = replacement.at(i);
            if (c == u'\\' && i + 1 < replacement.size()) {
                const int n = replacement.at(i + 1).digitValue();
                if (n > 0 && n <= captureCount && n <= 9) {
                    result += match.capturedView(n);
                    ++i;
                    continue;
                }
            }
            result += c;
        }
        last = match.capturedEnd();
        checkScriptTextLength(result.size() + s.size() - last);
    }
    result += QStringView(s).mid(last);
    return result;
}

QVariant scriptRepeat(const QString &, const QVariantList &a)
{
    bool ok = false;
    const int count = std::clamp(scriptInteger(a.at(1), &ok), 0, 100);
    if (!ok)
        return a.at(0);
    const QString s = text(a, 0);
    checkScriptTextLength(s.size() * count);
    return s.repeated(count);
}

QVariant scriptReverse(const QString &, const QVariantList &a)
{
    return reversedCodePoints(text(a, 0));
}

QVariant scriptTrim(const QString &, const QVariantList &a)
{
    return text(a, 0).trimmed();
}

QVariant scriptPad(const QString &, const QVariantList &a)
{
    bool ok = false;
    const int width = scriptInteger(a.at(1), &ok);
    if (!ok)
        return a.at(0);
    const QString fill = text(a, 2);
    return QStringLiteral("%1").arg(text(a, 0), std::clamp(width, -100, 100),
                                    fill.isEmpty() ? QChar(u' ') : fill.at(0));
}

QVariant scriptSplit(const QString &, const QVariantList &a)
{
    bool ok = false;
    qsizetype index = scriptInteger(a.at(2), &ok);
    if (!ok)
        return QString();
    const QStringList parts = text(a, 0).split(text(a, 1), Qt::KeepEmptyParts, Qt::CaseSensitive);
    if (index < 0)
        index += parts.size();
    return index >= 0 && index < parts.size() ? parts.at(index) : QString();
}

QVariant scriptValidate(const QString &, const QVariantList &a)
{
    QString s = text(a, 0);
    const QString replacement = text(a, 1);
    for (const CodePoint c : invalidFileNameChars()) {
        if (c == CodePoint('/') || c == CodePoint('\\'))
            continue;
        const QString character = c.toString();
        if (s.contains(character)) {
            checkScriptTextLength(s.size() + s.count(character) * replacement.size());
            s.replace(character, replacement, Qt::CaseSensitive);
        }
    }
    // Folder separators stay, but never a level that climbs out of the target folder.
    return withoutDotComponents(sanitizePath(s));
}

QVariant scriptDistance(const QString &, const QVariantList &a)
{
    const QString first = text(a, 0);
    const QString second = text(a, 1);
    if (qint64(first.size()) * second.size() > MaxDistanceCells)
        throw Exception(DistanceTooLongTextId, {MaxDistanceCells}, false);
    return editDistance(first, second);
}

// Case

QVariant scriptUpper(const QString &, const QVariantList &a)
{
    return text(a, 0).toUpper();
}

QVariant scriptLower(const QString &, const QVariantList &a)
{
    return text(a, 0).toLower();
}

namespace {

QVariant capitalized(const QVariantList &a, int style, CapitalizationFlags flags)
{
    if (a.size() > 1)
        return applyCapitalizationAfter(text(a, 0), style, toCodePoints(text(a, 1)), flags);
    return applyCapitalization(text(a, 0), style, flags);
}

} // namespace

QVariant scriptCaps(const QString &, const QVariantList &a)
{
    return capitalized(a, EachWordUpper, AllowLowerCase | AllowUpperCase);
}

QVariant scriptCaps2(const QString &, const QVariantList &a)
{
    return capitalized(a, EachWordUpper, AllowUpperCase);
}

QVariant scriptCaps3(const QString &, const QVariantList &a)
{
    return capitalized(a, FirstLetterUpper, AllowLowerCase | AllowUpperCase);
}
