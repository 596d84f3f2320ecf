#pragma once

#include <QString>

// One row of the language table. The empty record (null texts, value 0) means "not found".
struct LanguageInfo {
    LanguageInfo() = default;
    LanguageInfo(const QString &iso639_1, const QString &iso639_2B, const QString &iso639_2T,
                 const QString &name, int qlocaleLanguage)
        : iso639_1(iso639_1), iso639_2B(iso639_2B), iso639_2T(iso639_2T), name(name),
          qlocaleLanguage(qlocaleLanguage)
    {
    }

    QString iso639_1;
    QString iso639_2B;
    QString iso639_2T;
    QString name;
    int qlocaleLanguage = 0; // a QLocale::Language, 0 when Qt has none for the codes
};
