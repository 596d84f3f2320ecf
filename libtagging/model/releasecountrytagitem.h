#pragma once

#include "libcore/locale/countryinfo.h"
#include "libtagging/model/stringtagitem.h"

// The country of the release. The value is the record's ISO 3166-1 alpha-2 code; the record
// is kept whole so that the three-letter code and the name stay at hand.
class ReleaseCountryTagItem : public StringTagItem
{
public:
    static constexpr int Type = 93;

    explicit ReleaseCountryTagItem(QObject *parent = nullptr);
    explicit ReleaseCountryTagItem(const CountryInfo &country, QObject *parent = nullptr);

    // A new item from the same record, so its value is the record's code again.
    TagItem *clone(QObject *parent = nullptr) const override;
    // The value and the record's code.
    bool equals(const TagItem *other) const override;
    // The empty format gives the record's name; "ISO_3166_1_A2", "ISO_3166_1_A3" give that code
    // (case-sensitive); any other format gives a null text.
    QString toString(const QString &format = QString()) const override;
    // A code finds its record, and the value becomes the record's own code, so a copy made from
    // the record keeps it; a code the table does not know is refused. An empty text clears.
    bool fromVariant(const QVariant &value) override;
    int type() const override;

    CountryInfo country;
};
