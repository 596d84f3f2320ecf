#include "app/search/searchpattern.h"

SearchPattern::SearchPattern(const QString &pattern, Syntax syntax, Qt::CaseSensitivity caseSensitivity)
    : m_pattern(pattern), m_syntax(syntax), m_caseSensitivity(caseSensitivity)
{
    if (syntax == FixedString)
        return;
    QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
    if (caseSensitivity == Qt::CaseInsensitive)
        options |= QRegularExpression::CaseInsensitiveOption;
    if (syntax == Wildcard)
        options |= QRegularExpression::DotMatchesEverythingOption;
    m_expression.setPattern(syntax == Wildcard ? wildcardToRegularExpression(pattern) : pattern);
    m_expression.setPatternOptions(options);
    m_expression.optimize();
}

SearchPattern SearchPattern::wholeWord(const QString &text, Qt::CaseSensitivity caseSensitivity)
{
    return SearchPattern(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(text)),
                         RegularExpression, caseSensitivity);
}

QString SearchPattern::wildcardToRegularExpression(const QString &wildcard)
{
    QString rx;
    rx.reserve(wildcard.size() * 2);
    const qsizetype size = wildcard.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = wildcard.at(i);
        if (c == u'*') {
            rx += QLatin1String(".*");
        } else if (c == u'?') {
            rx += u'.';
        } else if (c == u'[') {
            // A set runs to the next ']' (a ']' right after the opening, or after its
            // negation, belongs to the set); an unclosed '[' stands for itself.
            qsizetype j = i + 1;
            if (j < size && (wildcard.at(j) == u'!' || wildcard.at(j) == u'^'))
                ++j;
            if (j < size && wildcard.at(j) == u']')
                ++j;
            while (j < size && wildcard.at(j) != u']')
                ++j;
            if (j >= size) {
                rx += QLatin1String("\\[");
                continue;
            }
            rx += u'[';
            qsizetype k = i + 1;
            if (wildcard.at(k) == u'!' || wildcard.at(k) == u'^') {
                rx += u'^';
                ++k;
            }
            for (; k < j; ++k) {
                const QChar s = wildcard.at(k);
                if (s == u'\\' || s == u'[' || s == u']' || s == u'^')
                    rx += u'\\';
                rx += s;
            }
            rx += u']';
            i = j;
        } else {
            rx += QRegularExpression::escape(QString(c));
        }
    }
    return rx;
}

bool SearchPattern::isValid() const
{
    return m_syntax == FixedString || m_expression.isValid();
}

int SearchPattern::captureCount() const
{
    return m_syntax == FixedString ? 0 : qMax(0, m_expression.captureCount());
}

SearchMatch SearchPattern::fromMatch(const QRegularExpressionMatch &match) const
{
    SearchMatch result;
    if (!match.hasMatch())
        return result;
    result.position = match.capturedStart();
    result.length = match.capturedLength();
    result.capturedTexts = match.capturedTexts();
    // Groups that took no part at the end are left out by the match; the list always has
    // one element per group.
    while (result.capturedTexts.size() < captureCount() + 1)
        result.capturedTexts.append(QString());
    return result;
}

SearchMatch SearchPattern::indexIn(const QString &text, qsizetype from) const
{
    if (m_syntax == FixedString) {
        SearchMatch result;
        const qsizetype position = text.indexOf(m_pattern, from, m_caseSensitivity);
        if (position >= 0) {
            result.position = position;
            result.length = m_pattern.size();
            result.capturedTexts = QStringList{text.mid(position, m_pattern.size())};
        }
        return result;
    }
    if (!m_expression.isValid() || from > text.size())
        return SearchMatch();
    return fromMatch(m_expression.match(text, from));
}

SearchMatch SearchPattern::lastIndexIn(const QString &text) const
{
    if (m_syntax == FixedString) {
        SearchMatch result;
        const qsizetype position = text.lastIndexOf(m_pattern, text.size(), m_caseSensitivity);
        if (position >= 0) {
            result.position = position;
            result.length = m_pattern.size();
            result.capturedTexts = QStringList{text.mid(position, m_pattern.size())};
        }
        return result;
    }
    if (!m_expression.isValid())
        return SearchMatch();
    QRegularExpressionMatch match;
    if (text.lastIndexOf(m_expression, text.size(), &match) < 0)
        return SearchMatch();
    return fromMatch(match);
}

bool SearchPattern::operator==(const SearchPattern &other) const
{
    return m_syntax == other.m_syntax && m_caseSensitivity == other.m_caseSensitivity
           && m_pattern == other.m_pattern;
}
