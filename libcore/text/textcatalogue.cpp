#include "libcore/text/textcatalogue.h"

#include <QHash>

#include "libcore/locale/localetables.h"
#include "libcore/log/exception.h"
#include "libcore/text/texttable.h"
#include "libcore/xml/xmlutil.h"
#include "libcore/xml/xpath.h"

namespace {

constexpr quint32 DuplicateId = 521231605;
constexpr quint32 ResourceError = 868660387;

// The entry list: never freed, like the text table it feeds.
QList<TextEntry> &entryList()
{
    static auto *list = new QList<TextEntry>();
    return *list;
}

struct ResolvedCode {
    QLocale::Language language;
    QLocale::Country country;
};

ResolvedCode resolveCode(const QString &code)
{
    const QStringList parts = QString(code).replace(u'_', u'-').split(u'-');
    return {QLocale::Language(languageByCode(parts.first()).qlocaleLanguage),
            QLocale::Country(countryByCode(parts.last()).qlocaleCountry)};
}

// A translation of the locale: language and country first, then the language alone.
// An empty translation counts as missing.
QString chooseText(const TextEntry &entry, const QLocale &locale)
{
    const QLocale::Language language = locale.language();
    const QLocale::Country country = locale.territory();
    if (language == QLocale::AnyLanguage)
        return QString();
    if (country != QLocale::AnyCountry) {
        for (const TextTranslation &t : entry.translations) {
            if (t.language == language && t.country == country && !t.text.isEmpty())
                return t.text;
        }
    }
    for (const TextTranslation &t : entry.translations) {
        if (t.language == language && !t.text.isEmpty())
            return t.text;
    }
    return QString();
}

} // namespace

void TextCatalogue::load(const QString &path)
{
    const QDomDocument document = loadXmlFile(path);
    QHash<QString, ResolvedCode> resolved;
    const XmlNodeList texts = xpathSelect(document.documentElement(), QStringLiteral("/text/t"));
    for (const QDomNode &t : texts) {
        QList<TextTranslation> translations;
        for (QDomElement tr = t.firstChildElement(QStringLiteral("tr")); !tr.isNull();
             tr = tr.nextSiblingElement(QStringLiteral("tr"))) {
            const QString code = tr.attribute(QStringLiteral("l"));
            auto it = resolved.constFind(code);
            if (it == resolved.constEnd())
                it = resolved.insert(code, resolveCode(code));
            translations.append({it->language, it->country,
                                 xpathSelectTexts(tr, QStringLiteral("text()")).value(0)});
        }
        const QStringList ids = xpathSelectTexts(t, QStringLiteral("id/text()"));
        for (const QString &idText : ids) {
            bool ok = false;
            const quint32 id = idText.toUInt(&ok, 0); // 0x.. hexadecimal, 0.. octal
            if (ok)
                entryList().append({id, translations});
        }
    }
}

void TextCatalogue::applyLanguage(const QLocale &primary, const QLocale &fallback)
{
    QHash<quint32, QString> &table = TextTable::table();
    table.clear();
    // Built in, so that a package that cannot be mounted can be reported before any table.
    table.insert(ResourceError, primary.language() == QLocale::German
                                    ? QStringLiteral("Fehler beim Laden der Anwendungs-Ressourcendatei %1.")
                                    : QStringLiteral("Failed to load application resource file %1."));
    for (const TextEntry &entry : std::as_const(entryList())) {
        QString text = chooseText(entry, primary);
        if (text.isEmpty())
            text = chooseText(entry, fallback);
        if (text.isEmpty())
            continue;
        if (table.contains(entry.id))
            throw Exception(DuplicateId, {QString::number(entry.id, 16)}, true);
        table.insert(entry.id, text);
    }
}

const QList<TextEntry> &TextCatalogue::entries()
{
    return entryList();
}

void TextCatalogue::clear()
{
    entryList().clear();
    TextTable::table().clear();
}
