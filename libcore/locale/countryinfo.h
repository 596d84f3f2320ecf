#pragma once

#include <QString>

// One row of the country table. The empty record (null texts, value 0) means "not found".
struct CountryInfo {
    CountryInfo() = default;
    CountryInfo(const QString &iso3166_1_A2, const QString &iso3166_1_A3, const QString &name,
                int qlocaleCountry)
        : iso3166_1_A2(iso3166_1_A2), iso3166_1_A3(iso3166_1_A3), name(name),
          qlocaleCountry(qlocaleCountry)
    {
    }

    QString iso3166_1_A2;
    QString iso3166_1_A3;
    QString name;
    int qlocaleCountry = 0; // a QLocale::Country, 0 when Qt has none for the codes
};
