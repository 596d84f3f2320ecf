#include "app/identification/idartistname.h"

#include "app/identification/idwordlists.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/stringutils.h"

#include <QRegularExpression>

namespace {
// \s and \w as the toolkit reads them in any script: \w is a letter, number, mark or '_'.
#define SPACE "\\s"
#define WORD "[\\p{L}\\p{N}\\p{M}_]"

QRegularExpression regex(const QString &pattern, bool caseInsensitive = false)
{
    QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption
                                                 | QRegularExpression::DotMatchesEverythingOption;
    if (caseInsensitive)
        options |= QRegularExpression::CaseInsensitiveOption;
    return QRegularExpression(pattern, options);
}

const QRegularExpression &articleAtEndPattern()
{
    static const QRegularExpression re = regex(QStringLiteral("^" SPACE "*(.+)" SPACE "*," SPACE "*(" WORD "+)" SPACE "*$"));
    return re;
}

const QRegularExpression &articleInFrontPattern()
{
    static const QRegularExpression re = regex(QStringLiteral("^" SPACE "*(" WORD "+)" SPACE "+(.+)" SPACE "*$"));
    return re;
}

const QRegularExpression &twoWordsPattern()
{
    static const QRegularExpression re =
        regex(QStringLiteral("^" SPACE "*(" WORD "+)" SPACE "*," SPACE "*(" WORD "+)" SPACE "*$"));
    return re;
}

enum : int { ArticleAtEndFormat = 1, ArticleAtEndWithSortNameFormat = 3 };
} // namespace

IdArtistName::IdArtistName(const QString &text)
{
    parse(text);
}

void IdArtistName::parse(const QString &text)
{
    QRegularExpressionMatch match = articleAtEndPattern().match(text);
    if (match.hasMatch() && isArticle(match.captured(2))) {
        articleWasAtEnd = true;
        article = match.captured(2);
        name = match.captured(1).trimmed();
        return;
    }
    match = articleInFrontPattern().match(text);
    if (match.hasMatch() && isArticle(match.captured(1))) {
        articleWasAtEnd = false;
        article = match.captured(1);
        name = match.captured(2).trimmed();
        return;
    }
    match = twoWordsPattern().match(text);
    if (match.hasMatch()) {
        articleWasAtEnd = true;
        article = match.captured(2);
        name = match.captured(1);
        return;
    }
    articleWasAtEnd = false;
    article = QString();
    name = text;
}

QString IdArtistName::toString(bool articleAtEnd) const
{
    if (article.isEmpty())
        return name;
    return articleAtEnd ? name + QStringLiteral(", ") + article : article + QLatin1Char(' ') + name;
}

QString IdArtistName::formatted() const
{
    const int format = SettingsStore::value(QStringLiteral("identification/artistNameFormat")).toInt(nullptr, 10);
    return toString(format == ArticleAtEndFormat || format == ArticleAtEndWithSortNameFormat);
}

QString IdArtistName::sortKey() const
{
    return alphanumericKey(isArticle(article) ? name : article + name);
}

void IdArtistName::setArticle(const QString &text)
{
    if (text == article || (text.isEmpty() && article.isEmpty()))
        return;
    if (!article.isEmpty() || text.trimmed().isEmpty()) {
        article = text.trimmed();
        return;
    }
    const QString escaped = QRegularExpression::escape(text);
    QRegularExpressionMatch match =
        regex(QStringLiteral("^" SPACE "*(") + escaped + QStringLiteral(")" SPACE "+(.+)" SPACE "*$"), true).match(name);
    if (match.hasMatch()) {
        articleWasAtEnd = false;
        article = match.captured(1);
        name = match.captured(2).trimmed();
        return;
    }
    match = regex(QStringLiteral("^" SPACE "*(.+)" SPACE "*," SPACE "*(") + escaped + QStringLiteral(")" SPACE "*$"), true)
                .match(name);
    if (match.hasMatch()) {
        articleWasAtEnd = true;
        article = match.captured(2);
        name = match.captured(1).trimmed();
        return;
    }
    article = text.trimmed();
}

void IdArtistName::setName(const QString &text)
{
    if (text == name)
        return;
    if (!article.isEmpty() || alphanumericKey(text) == alphanumericKey(name)) {
        name = text.trimmed();
        return;
    }
    const QString escaped = QRegularExpression::escape(text);
    QRegularExpressionMatch match =
        regex(QStringLiteral("^" SPACE "*(.+)" SPACE "+(") + escaped + QStringLiteral(")" SPACE "*$"), true).match(name);
    if (match.hasMatch()) {
        articleWasAtEnd = false;
        article = match.captured(1).trimmed();
        name = match.captured(2);
        return;
    }
    match = regex(QStringLiteral("^" SPACE "*(") + escaped + QStringLiteral(")" SPACE "*," SPACE "*(.+)" SPACE "*$"), true)
                .match(name);
    if (match.hasMatch()) {
        articleWasAtEnd = true;
        article = match.captured(2).trimmed();
        name = match.captured(1);
        return;
    }
    name = text.trimmed();
}

QVariant IdArtistName::toVariant() const
{
    // Registered under its own name on first use, so that variants carry it by that name.
    static const int registered = qRegisterMetaType<IdArtistName>("IdArtistName");
    Q_UNUSED(registered);
    return QVariant::fromValue(*this);
}

IdArtistName IdArtistName::fromVariant(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<IdArtistName>() ? value.value<IdArtistName>() : IdArtistName();
}
