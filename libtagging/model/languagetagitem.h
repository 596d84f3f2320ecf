#pragma once

#include "libcore/locale/languageinfo.h"
#include "libtagging/model/stringtagitem.h"

// The language of the lyrics or the spoken words. The value is the record's ISO 639-2/T code;
// the record is kept whole so that every other code and the name stay at hand.
class LanguageTagItem : public StringTagItem
{
public:
    static constexpr int Type = 55;

    explicit LanguageTagItem(QObject *parent = nullptr);
    explicit LanguageTagItem(const LanguageInfo &language, QObject *parent = nullptr);

    // A new item from the same record, so its value is the record's code again.
    TagItem *clone(QObject *parent = nullptr) const override;
    // The value and the record's code.
    bool equals(const TagItem *other) const override;
    // The empty format gives the record's name; "ISO_639_1", "ISO_639_2_B", "ISO_639_2_T" give that code
    // (case-sensitive); any other format gives a null text.
    QString toString(const QString &format = QString()) const override;
    // A code finds its record, and the value becomes the record's own code, so a copy made from
    // the record keeps it; a code the table does not know is refused. An empty text clears.
    bool fromVariant(const QVariant &value) override;
    int type() const override;

    LanguageInfo language;
};
