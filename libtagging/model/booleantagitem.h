#pragma once

#include "libtagging/model/tagitem.h"

// Base of the yes/no items.
class BooleanTagItem : public TagItem
{
public:
    using ValueArg = bool;

    explicit BooleanTagItem(QObject *parent = nullptr);
    explicit BooleanTagItem(bool value, QObject *parent = nullptr);

    bool equals(const TagItem *other) const override;
    bool isTextual() const override;
    // "[data]" gives "1" or "0", any other format the catalogue's yes or no.
    QString toString(const QString &format = QString()) const override;
    bool isPlainValue() const override;
    QVariant toVariant() const override;
    // A bool, or a text: true/yes/on/1 and false/no/off/0 in any case; nothing else.
    bool fromVariant(const QVariant &value) override;
    int dataType() const override;

    bool value = false;

protected:
    void copyFields(const BooleanTagItem &other) { value = other.value; }
};
