#include "libcore/locale/localedefaults.h"

#include <QHash>

namespace {

struct ScriptLanguages {
    QLocale::Script script;
    const char *codes; // ISO codes, blank-separated
};

// The writing script usually used for each language, keyed by ISO code because the
// enumeration numbers change between Qt versions.
constexpr ScriptLanguages scriptLanguages[] = {
    {QLocale::ArabicScript, "ar ks kk ku ms ps fa sd ur"},
    {QLocale::CyrillicScript, "ab bg mk ru sr tg tt uk"},
    {QLocale::GurmukhiScript, "pa"},
    {QLocale::SimplifiedHanScript, "zh za"},
    {QLocale::LatinScript, "aa sq az hr cs da nl en et fo fi fr gd de hu is id ga it lv lt nb pl pt ro sk "
                           "sl so es sw sv tr tk uz vi cy fil gsw nds"},
    {QLocale::MongolianScript, "mn"},
};

const QHash<int, QLocale::Script> &languageScripts()
{
    static const QHash<int, QLocale::Script> map = [] {
        QHash<int, QLocale::Script> m;
        for (const ScriptLanguages &entry : scriptLanguages) {
            const QStringList codes = QString::fromLatin1(entry.codes).split(u' ', Qt::SkipEmptyParts);
            for (const QString &code : codes) {
                const QLocale::Language language = QLocale::codeToLanguage(code);
                if (language != QLocale::AnyLanguage)
                    m.insert(int(language), entry.script);
            }
        }
        return m;
    }();
    return map;
}

bool statesLanguage(const QLocale &locale)
{
    return locale.language() > QLocale::C;
}

} // namespace

QLocale::Script scriptForLanguage(QLocale::Language language)
{
    return languageScripts().value(int(language), QLocale::AnyScript);
}

QLocale::Country defaultCountryForLanguage(QLocale::Language language)
{
    if (language <= QLocale::C)
        return QLocale::AnyCountry;
    return QLocale(language, QLocale::AnyCountry).territory();
}

QLocale::Language defaultLanguageForScript(QLocale::Script script)
{
    switch (script) {
    case QLocale::AnyScript:
        return QLocale::AnyLanguage;
    case QLocale::LatinScript:
    case QLocale::DeseretScript:
        return QLocale::English;
    case QLocale::SimplifiedHanScript:
    case QLocale::TraditionalHanScript:
        return QLocale::Chinese;
    case QLocale::ArabicScript:
        return QLocale::Arabic;
    case QLocale::CyrillicScript:
        return QLocale::Russian;
    default:
        break;
    }
    const QLocale locale(QLocale::AnyLanguage, script, QLocale::AnyCountry);
    if (locale.script() == script)
        return locale.language();
    const QList<QLocale> matching = QLocale::matchingLocales(QLocale::AnyLanguage, script, QLocale::AnyCountry);
    for (const QLocale &candidate : matching) {
        if (candidate.script() == script)
            return candidate.language();
    }
    return QLocale::AnyLanguage;
}

QLocale::Country defaultCountryForScript(QLocale::Script script)
{
    const QLocale::Language language = defaultLanguageForScript(script);
    if (language <= QLocale::C)
        return QLocale::AnyCountry;
    return defaultCountryForLanguage(language);
}

QLocale::Language defaultLanguageForCountry(QLocale::Country country)
{
    if (country == QLocale::AnyCountry)
        return QLocale::AnyLanguage;
    const QLocale locale(QLocale::AnyLanguage, country);
    if (locale.territory() == country)
        return locale.language();
    const QList<QLocale> matching =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, country);
    for (const QLocale &candidate : matching) {
        if (candidate.territory() == country)
            return candidate.language();
    }
    return QLocale::AnyLanguage;
}

QLocale::Script scriptForCountry(QLocale::Country country)
{
    return scriptForLanguage(defaultLanguageForCountry(country));
}

QLocale::Language effectiveLanguage(const QLocale &locale)
{
    if (locale.language() > QLocale::C)
        return locale.language();
    const QLocale::Language byCountry = defaultLanguageForCountry(locale.territory());
    if (byCountry > QLocale::C)
        return byCountry;
    const QLocale::Language byScript = defaultLanguageForScript(locale.script());
    if (byScript > QLocale::C)
        return byScript;
    return QLocale::AnyLanguage;
}

QLocale::Script effectiveScript(const QLocale &locale)
{
    if (locale.script() != QLocale::AnyScript)
        return locale.script();
    const QLocale::Script byLanguage = scriptForLanguage(locale.language());
    if (byLanguage != QLocale::AnyScript)
        return byLanguage;
    return scriptForLanguage(defaultLanguageForCountry(locale.territory()));
}

QLocale::Country effectiveCountry(const QLocale &locale)
{
    if (locale.territory() != QLocale::AnyCountry)
        return locale.territory();
    if (locale.language() > QLocale::C) {
        const QLocale::Country byLanguage = defaultCountryForLanguage(locale.language());
        if (byLanguage != QLocale::AnyCountry)
            return byLanguage;
    }
    return defaultCountryForScript(locale.script());
}

int localeMatchScore(const QLocale &a, const QLocale &b)
{
    // Language.
    const QLocale::Language la = effectiveLanguage(a);
    const QLocale::Language lb = effectiveLanguage(b);
    int languageScore = 0;
    if (la > QLocale::C && lb > QLocale::C) {
        if (la == lb)
            languageScore = 100;
        else if (lb == defaultLanguageForScript(scriptForLanguage(la))
                 || la == defaultLanguageForScript(scriptForLanguage(lb)))
            languageScore = 15;
        else if (scriptForLanguage(la) == scriptForLanguage(lb) && scriptForLanguage(la) != QLocale::AnyScript)
            languageScore = 10;
    }
    const int statedLanguages = int(statesLanguage(a)) + int(statesLanguage(b));
    const int languageWeight = statedLanguages == 2 ? 10
                             : statedLanguages == 1 ? 5
                             : (la > QLocale::C || lb > QLocale::C) ? 2
                                                                    : 0;

    // Script.
    const QLocale::Script sa = effectiveScript(a);
    const QLocale::Script sb = effectiveScript(b);
    const int scriptScore = sa != QLocale::AnyScript && sa == sb ? 100 : 0;
    const int statedScripts = int(a.script() != QLocale::AnyScript) + int(b.script() != QLocale::AnyScript);
    const int scriptWeight = statedScripts == 2 ? 4
                           : statedScripts == 1 ? 3
                           : (sa != QLocale::AnyScript || sb != QLocale::AnyScript) ? 2
                                                                                    : 0;

    // Country.
    const QLocale::Country ca = effectiveCountry(a);
    const QLocale::Country cb = effectiveCountry(b);
    int countryScore = 0;
    if (ca != QLocale::AnyCountry && cb != QLocale::AnyCountry) {
        if (ca == cb)
            countryScore = 100;
        else if ((la > QLocale::C && defaultCountryForLanguage(la) == cb)
                 || (lb > QLocale::C && defaultCountryForLanguage(lb) == ca))
            countryScore = 20;
    }
    const int statedCountries =
        int(a.territory() != QLocale::AnyCountry) + int(b.territory() != QLocale::AnyCountry);
    const int countryWeight = statedCountries == 2 ? 3
                            : statedCountries == 1 ? 2
                            : (ca != QLocale::AnyCountry || cb != QLocale::AnyCountry) ? 1
                                                                                       : 0;

    const int weights = languageWeight + scriptWeight + countryWeight;
    if (weights == 0)
        return 100;
    return (languageScore * languageWeight + scriptScore * scriptWeight + countryScore * countryWeight)
         / weights;
}
