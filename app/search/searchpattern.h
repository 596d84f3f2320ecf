#pragma once

#include <QMetaType>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// One match inside a cell text.
struct SearchMatch {
    qsizetype position = -1; // -1 when there is no match
    qsizetype length = 0;
    QStringList capturedTexts; // element 0 the whole match, then one per capture group

    bool isValid() const { return position >= 0; }
};

// A text pattern as the find dialog sends it: the text the user typed, how to read it and
// whether case matters. The text is kept as typed because the comparisons and the
// replacement rules depend on the syntax, not only on what the pattern matches.
class SearchPattern
{
public:
    enum Syntax : int {
        FixedString = 0,
        Wildcard = 1,        // '*' any text, '?' one character, '[...]' one of a set
        RegularExpression = 2,
    };

    SearchPattern() = default;
    SearchPattern(const QString &pattern, Syntax syntax, Qt::CaseSensitivity caseSensitivity);

    // The whole-word search of a typed text: a regular expression of the escaped text
    // between word boundaries.
    static SearchPattern wholeWord(const QString &text, Qt::CaseSensitivity caseSensitivity);
    // The regular expression of a wildcard pattern; '*' and '?' match any character,
    // the line feed and '/' included.
    static QString wildcardToRegularExpression(const QString &wildcard);

    QString pattern() const { return m_pattern; }
    Syntax syntax() const { return m_syntax; }
    Qt::CaseSensitivity caseSensitivity() const { return m_caseSensitivity; }
    bool isValid() const;
    // The number of capture groups (0 for fixed strings).
    int captureCount() const;

    // The first match starting at or after `from`.
    SearchMatch indexIn(const QString &text, qsizetype from) const;
    // The match that starts last, trying start positions from the end of the text backwards.
    SearchMatch lastIndexIn(const QString &text) const;

    bool operator==(const SearchPattern &other) const;
    bool operator!=(const SearchPattern &other) const { return !(*this == other); }

private:
    SearchMatch fromMatch(const QRegularExpressionMatch &match) const;

    QString m_pattern;
    Syntax m_syntax = FixedString;
    Qt::CaseSensitivity m_caseSensitivity = Qt::CaseSensitive;
    QRegularExpression m_expression; // wildcards and regular expressions
};

Q_DECLARE_METATYPE(SearchPattern)
