#pragma once

#include "libtagging/model/tagitem.h"

// Base of the items that hold one non-negative number (counts, positions, sizes).
class IntegerTagItem : public TagItem
{
public:
    using ValueArg = int;

    explicit IntegerTagItem(QObject *parent = nullptr);
    explicit IntegerTagItem(int value, QObject *parent = nullptr);

    bool equals(const TagItem *other) const override;
    bool isTextual() const override;
    QString toString(const QString &format = QString()) const override;
    bool isPlainValue() const override;
    QVariant toVariant() const override;
    bool fromVariant(const QVariant &value) override;
    int dataType() const override;

    int value = 0;

protected:
    void copyFields(const IntegerTagItem &other) { value = other.value; }
};
