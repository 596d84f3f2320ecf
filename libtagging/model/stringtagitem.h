#pragma once

#include "libtagging/model/tagitem.h"

// Base of the items that hold one text.
class StringTagItem : public TagItem
{
public:
    using ValueArg = const QString &;

    explicit StringTagItem(QObject *parent = nullptr);
    explicit StringTagItem(const QString &value, QObject *parent = nullptr);

    bool equals(const TagItem *other) const override;
    bool isEmpty() const override;
    bool isSimilar(const TagItem *other) const override;
    bool isTextual() const override;
    QString toString(const QString &format = QString()) const override;
    bool isPlainValue() const override;
    QVariant toVariant() const override;
    bool fromVariant(const QVariant &value) override;
    int dataType() const override;

    QString value;

protected:
    void copyFields(const StringTagItem &other) { value = other.value; }
};
