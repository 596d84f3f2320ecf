#pragma once

#include <QList>
#include <QLocale>

#include "libcore/locale/countryinfo.h"
#include "libcore/locale/languageinfo.h"
#include "libcore/locale/scriptinfo.h"

// Process-wide tables of countries, languages and scripts, read once from the core
// package (":/libcore/data/*.csv"). Start-up code may append rows before workers run.
QList<CountryInfo> &countryTable();
QList<LanguageInfo> &languageTable();
QList<ScriptInfo> &scriptTable();

// The readers behind the tables: a header line, then one TAB-separated row per line;
// rows with another field count are skipped. A file that cannot be read gives no rows
// (the reading error is logged where it is raised).
QList<CountryInfo> readCountryTable(const QString &path);
QList<LanguageInfo> readLanguageTable(const QString &path);
QList<ScriptInfo> readScriptTable(const QString &path);

// "de-AT" finds Austria; case does not matter.
CountryInfo countryByCode(const QString &code);
// "de-AT" finds German; case does not matter.
LanguageInfo languageByCode(const QString &code);
// Exact, case-sensitive ("Latn").
ScriptInfo scriptByCode(const QString &code);

CountryInfo countryByName(const QString &name);
LanguageInfo languageByName(const QString &name);
ScriptInfo scriptByName(const QString &name);

CountryInfo countryByQLocaleCountry(QLocale::Country country);
LanguageInfo languageByQLocaleLanguage(QLocale::Language language);
ScriptInfo scriptByQLocaleScript(QLocale::Script script);

// "language, script, country" from the tables; null for the C locale or an unknown language.
QString localeDisplayName(const QLocale &locale);
