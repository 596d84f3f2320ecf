#include "app/tagscript/patterncleanup.h"

#include <QRegularExpression>

namespace {

QRegularExpression unicodeExpression(const QString &pattern)
{
    return QRegularExpression(pattern, QRegularExpression::UseUnicodePropertiesOption);
}

} // namespace

QString cleanUpPatternResult(const QString &text, bool trimAroundSlashes)
{
    static const QRegularExpression hyphens = unicodeExpression(QStringLiteral("-(\\s*-)+"));
    static const QRegularExpression underscores = unicodeExpression(QStringLiteral("_(\\s*_)+"));
    static const QRegularExpression emptyBrackets[] = {
        unicodeExpression(QStringLiteral("\\(\\s*\\)")),
        unicodeExpression(QStringLiteral("\\[\\s*\\]")),
        unicodeExpression(QStringLiteral("\\{\\s*\\}")),
    };
    static const QRegularExpression whiteSpace = unicodeExpression(QStringLiteral("\\s+"));
    static const QRegularExpression leading = unicodeExpression(QStringLiteral("^[-_ ]*"));
    static const QRegularExpression trailing = unicodeExpression(QStringLiteral("[-_ ]*$"));
    static const QRegularExpression aroundSlash = unicodeExpression(QStringLiteral("[-_ ]*/[-_ ]*"));

    QString result = text;
    result.replace(hyphens, QStringLiteral("-"));
    result.replace(underscores, QStringLiteral("_"));
    // Removing an inner pair can empty an outer one.
    QString before;
    do {
        before = result;
        for (const QRegularExpression &brackets : emptyBrackets)
            result.remove(brackets);
    } while (result != before);
    result.replace(whiteSpace, QStringLiteral(" "));
    result.remove(leading);
    result.remove(trailing);
    if (trimAroundSlashes)
        result.replace(aroundSlash, QStringLiteral("/"));
    return result;
}
