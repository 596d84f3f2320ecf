#include "libcore/text/wordsplitting.h"

#include "libcore/log/exception.h"
#include "libcore/text/codepoint.h"
#include "libcore/text/codepointiterator.h"
#include "libcore/text/codepointstring.h"
#include "libcore/text/stringutils.h"
#include "libcore/io/wholefile.h"
#include "libcore/text/textcodec.h"

#include <QRegularExpression>

namespace {
// QRegularExpression's \w and \b leave out marks; the word characters here are letters,
// numbers, marks and '_'.
#define WORD "[\\p{L}\\p{N}\\p{M}_]"
#define NOT_WORD "[^\\p{L}\\p{N}\\p{M}_]"
// A word character that is not a decimal digit.
#define NON_DIGIT_WORD "[\\p{L}\\p{Nl}\\p{No}\\p{M}_]"
#define WORD_START "(?<!" WORD ")"
#define WORD_END "(?!" WORD ")"

QRegularExpression regex(const char *pattern)
{
    return QRegularExpression(QString::fromLatin1(pattern),
                              QRegularExpression::UseUnicodePropertiesOption);
}

const QString AccentTablePath = QStringLiteral(":/libcore/data/accents.csv");
} // namespace

QStringList splitWords(const QString &text, int flags)
{
    static const QRegularExpression separators = regex("[^\\p{L}\\p{N}\\p{M}_.']");
    static const QRegularExpression initial =
        regex(WORD_START "(" NON_DIGIT_WORD ")\\.(?=" NON_DIGIT_WORD WORD_END ")");
    static const QRegularExpression contraction = regex("(" WORD ")'(re|ve|ll|d|m|s|t)" WORD_END);
    static const QRegularExpression apostrophe = regex(WORD_START "(" WORD ")'(" WORD "+)");

    QString result = text;
    if (flags & WordSplitFlag::LowerCase)
        result = result.toLower();
    if (flags & WordSplitFlag::RemoveAccents)
        result = removeAccents(result);
    result = normalizeApostrophes(result);
    result.replace(QLatin1Char('_'), QLatin1Char(' '));
    result.replace(separators, QStringLiteral(" "));
    if (flags & WordSplitFlag::JoinInitials) {
        // Matches are taken from the text as it was, so "J.R.R." joins to "JRR.".
        QString joined;
        qsizetype done = 0;
        auto it = initial.globalMatch(result);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            joined += QStringView(result).mid(done, match.capturedEnd(1) - done);
            done = match.capturedEnd(0);
        }
        joined += QStringView(result).mid(done);
        result = joined;
    }
    result.replace(QLatin1Char('.'), QLatin1Char(' '));
    if (flags & WordSplitFlag::DropContractions)
        result.replace(contraction, QStringLiteral("\\1"));
    if (flags & WordSplitFlag::JoinApostrophes)
        result.replace(apostrophe, QStringLiteral("\\1\\2"));
    result.replace(QLatin1Char('\''), QLatin1Char(' '));
    return result.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString removeAccents(const QString &text)
{
    return removeAccents(text, accentTable());
}

QString removeAccents(const QString &text, const QHash<QString, QString> &table)
{
    if (table.isEmpty())
        return text;
    QString result;
    result.reserve(text.size());
    const QStringView view(text);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QString two = view.mid(i, 2).toString();
        if (two.size() == 2) {
            const QString replacement = table.value(two);
            if (!replacement.isEmpty()) {
                result += replacement;
                ++i;
                continue;
            }
        }
        const auto found = table.constFind(view.mid(i, 1).toString());
        if (found != table.constEnd())
            result += found.value();
        else
            result += text.at(i);
    }
    return result;
}

const QHash<QString, QString> &accentTable()
{
    static const QHash<QString, QString> table = readAccentTable(AccentTablePath);
    return table;
}

QHash<QString, QString> readAccentTable(const QString &path)
{
    QHash<QString, QString> table;
    QString content;
    try {
        content = readTextFile(path, TextCodec::codecForMib(106));
    } catch (const Exception &) {
        return table;
    }
    const QStringList lines = content.split(QLatin1Char('\n'));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList columns = lines.at(i).split(QLatin1Char('\t'));
        if (columns.size() == 2)
            table.insert(columns.at(0), columns.at(1));
    }
    return table;
}

QString normalizeApostrophes(const QString &text)
{
    QString result;
    result.reserve(text.size());
    CodePointIterator it(text);
    while (it.position < text.size()) {
        const CodePoint c = it.next();
        if (c.isApostrophe())
            result += QLatin1Char('\'');
        else
            result += c.toString();
    }
    return result;
}

QStringList splitAtPlaceholders(const QString &pattern)
{
    QStringList pieces {pattern};
    for (int n = 1;; ++n) {
        const QString placeholder = QLatin1Char('%') + QString::number(n);
        // "%1" must not find the start of "%10".
        const QRegularExpression exact(QRegularExpression::escape(placeholder)
                                       + QStringLiteral("(?![0-9])"));
        qsizetype index = -1;
        QRegularExpressionMatch match;
        for (qsizetype i = 0; i < pieces.size() && index < 0; ++i) {
            match = exact.match(pieces.at(i));
            if (match.hasMatch())
                index = i;
        }
        if (index < 0)
            break;
        const QString piece = pieces.at(index);
        const qsizetype at = match.capturedStart();
        pieces.replace(index, piece.left(at));
        pieces.insert(index + 1, placeholder);
        pieces.insert(index + 2, piece.mid(at + placeholder.size()));
    }
    QStringList result;
    for (const QString &piece : std::as_const(pieces)) {
        const QString trimmed = piece.trimmed();
        if (!trimmed.isEmpty())
            result.append(trimmed);
    }
    return result;
}
