#pragma once

#include "libcore/locale/scriptinfo.h"
#include "libtagging/model/stringtagitem.h"

// The writing script of the texts. The value is the record's ISO 15924 code; the record is
// kept whole so that the name stays at hand.
class ScriptTagItem : public StringTagItem
{
public:
    static constexpr int Type = 99;

    explicit ScriptTagItem(QObject *parent = nullptr);
    explicit ScriptTagItem(const ScriptInfo &script, QObject *parent = nullptr);

    // A new item from the same record, so its value is the record's code again.
    TagItem *clone(QObject *parent = nullptr) const override;
    // The value and the record's code.
    bool equals(const TagItem *other) const override;
    // The empty format gives the record's name; "ISO_15924" give that code
    // (case-sensitive); any other format gives a null text.
    QString toString(const QString &format = QString()) const override;
    // A code finds its record, and the value becomes the record's own code, so a copy made from
    // the record keeps it; a code the table does not know is refused. An empty text clears.
    bool fromVariant(const QVariant &value) override;
    int type() const override;

    ScriptInfo script;
};
