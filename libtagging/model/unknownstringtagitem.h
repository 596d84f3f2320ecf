#pragma once

#include "libtagging/model/stringtagitem.h"

// Base of the text fields of one format that no item type maps; the field's key is kept
// so that the format's writer can store the field again.
class UnknownStringTagItem : public StringTagItem
{
public:
    explicit UnknownStringTagItem(QObject *parent = nullptr);
    UnknownStringTagItem(const QString &name, const QString &value, QObject *parent = nullptr);

    // The value and the key; what per-format classes add takes no part.
    bool equals(const TagItem *other) const override;

    QString name;

protected:
    void copyFields(const UnknownStringTagItem &other)
    {
        StringTagItem::copyFields(other);
        name = other.name;
    }
};
