#pragma once

#include <QLocale>

// Completing a partly given locale and comparing two locales. 0 means any language,
// script or country; the language value 1 is QLocale::C.

QLocale::Script scriptForLanguage(QLocale::Language language);
QLocale::Country defaultCountryForLanguage(QLocale::Language language);
QLocale::Language defaultLanguageForScript(QLocale::Script script);
QLocale::Country defaultCountryForScript(QLocale::Script script);
QLocale::Language defaultLanguageForCountry(QLocale::Country country);
QLocale::Script scriptForCountry(QLocale::Country country);

QLocale::Language effectiveLanguage(const QLocale &locale);
QLocale::Script effectiveScript(const QLocale &locale);
QLocale::Country effectiveCountry(const QLocale &locale);

// 0 to 100; parts a locale states weigh more than parts inferred from the others.
int localeMatchScore(const QLocale &a, const QLocale &b);
