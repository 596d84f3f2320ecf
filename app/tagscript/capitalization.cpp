#include "app/tagscript/capitalization.h"

#include "libcore/text/codepointstring.h"

namespace {

bool isWordCharacter(CodePoint c)
{
    return c.isLetter() || c.isNumber() || c.isApostrophe();
}

bool isTitleSegmentSeparator(CodePoint c)
{
    switch (c.value()) {
    case '.': case ':': case '?': case '!': case '-': case '(': case ')':
    case '[': case ']': case '{': case '}': case '"':
        return true;
    default:
        return false;
    }
}

void appendCodePoint(QString &text, CodePoint c)
{
    if (c.requiresSurrogates())
        text += c.toString();
    else
        text += QChar(c.toUtf16Unit());
}

} // namespace

CodePoint applyCase(CodePoint c, bool upper, CapitalizationFlags flags)
{
    if (upper)
        return (flags & AllowUpperCase) ? CodePoint(quint32(QChar::toUpper(char32_t(c.value())))) : c;
    return (flags & AllowLowerCase) ? CodePoint(quint32(QChar::toLower(char32_t(c.value())))) : c;
}

QString applyCapitalization(const QString &text, int style, CapitalizationFlags flags)
{
    switch (style) {
    case TitleCase:
        return titleCase(text, flags);
    case Unchanged:
        return text;
    case LowerCase:
        return (flags & AllowLowerCase) ? text.toLower() : text;
    case FirstLetterUpper:
        return capitalizeFirst(text, flags);
    case EachWordUpper:
        return capitalizeWords(text, flags);
    case UpperCase:
        return (flags & AllowUpperCase) ? text.toUpper() : text;
    default:
        return QString();
    }
}

QString applyCapitalizationAfter(const QString &text, int style, const QList<CodePoint> &characters,
                                 CapitalizationFlags flags)
{
    return capitalizeAfterCharacters(applyCapitalization(text, style, flags), characters);
}

QString capitalizeFirst(const QString &text, CapitalizationFlags flags)
{
    QString result;
    result.reserve(text.size());
    bool found = false;
    for (const CodePoint c : toCodePoints(text)) {
        const bool upper = !found && isWordCharacter(c);
        found = found || upper;
        appendCodePoint(result, applyCase(c, upper, flags));
    }
    return result;
}

QString capitalizeWords(const QString &text, CapitalizationFlags flags)
{
    QString result;
    result.reserve(text.size());
    bool inWord = false;
    for (const CodePoint c : toCodePoints(text)) {
        const bool word = isWordCharacter(c);
        appendCodePoint(result, applyCase(c, word && !inWord, flags));
        inWord = word;
    }
    return result;
}

QString capitalizeAtPositions(const QString &text, const QSet<int> &positions, CapitalizationFlags flags)
{
    QString result;
    result.reserve(text.size());
    int i = 0;
    for (const CodePoint c : toCodePoints(text))
        appendCodePoint(result, applyCase(c, positions.contains(i++), flags));
    return result;
}

QString capitalizeAfterCharacters(const QString &text, const QList<CodePoint> &characters)
{
    // A set, so that a long list costs no more per character than a short one.
    const QSet<CodePoint> marks(characters.cbegin(), characters.cend());
    QString result;
    result.reserve(text.size());
    bool after = false;
    for (const CodePoint c : toCodePoints(text)) {
        appendCodePoint(result, after ? CodePoint(quint32(QChar::toUpper(char32_t(c.value())))) : c);
        after = marks.contains(c);
    }
    return result;
}

QList<QList<int>> splitTitleSegments(const QString &text)
{
    QList<QList<int>> segments;
    QList<int> current;
    bool inWord = false;
    int i = 0;
    for (const CodePoint c : toCodePoints(text)) {
        if (isTitleSegmentSeparator(c)) {
            if (inWord)
                current.append(i);
            if (!current.isEmpty()) {
                segments.append(current);
                current.clear();
            }
            inWord = false;
        } else {
            const bool word = isWordCharacter(c);
            if (word != inWord) {
                current.append(i);
                inWord = word;
            }
        }
        ++i;
    }
    if (inWord)
        current.append(i);
    if (!current.isEmpty())
        segments.append(current);
    return segments;
}

QSet<int> titleCaseWordStarts(const QString &text, const QList<QList<int>> &segments)
{
    const QList<CodePoint> points = toCodePoints(text);
    const QSet<QString> &smallWords = titleCaseSmallWords();
    QSet<int> starts;
    for (const QList<int> &segment : segments) {
        const qsizetype n = segment.size();
        for (qsizetype k = 0; k + 1 < n; k += 2) {
            const int start = segment.at(k);
            if (k == 0 || k == n - 2) {
                starts.insert(start);
                continue;
            }
            QString word;
            for (int j = start; j < segment.at(k + 1); ++j)
                appendCodePoint(word, points.at(j));
            if (!smallWords.contains(word.toLower()))
                starts.insert(start);
        }
    }
    return starts;
}

QString titleCase(const QString &text, CapitalizationFlags flags)
{
    return capitalizeAtPositions(text, titleCaseWordStarts(text, splitTitleSegments(text)), flags);
}

const QSet<QString> &titleCaseSmallWords()
{
    static const QSet<QString> words {
        QStringLiteral("a"),   QStringLiteral("an"),  QStringLiteral("the"), QStringLiteral("and"),
        QStringLiteral("'n'"), QStringLiteral("n'"),  QStringLiteral("but"), QStringLiteral("or"),
        QStringLiteral("nor"), QStringLiteral("as"),  QStringLiteral("at"),  QStringLiteral("by"),
        QStringLiteral("for"), QStringLiteral("in"),  QStringLiteral("of"),  QStringLiteral("o'"),
        QStringLiteral("on"),  QStringLiteral("to"),  QStringLiteral("cum"), QStringLiteral("mid"),
        QStringLiteral("off"), QStringLiteral("per"), QStringLiteral("qua"), QStringLiteral("re"),
        QStringLiteral("up"),  QStringLiteral("via"),
    };
    return words;
}
