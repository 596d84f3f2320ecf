#pragma once

#include "libtagging/model/tagitem.h"

// Base of the items that hold one fraction (the rating).
class FloatingPointTagItem : public TagItem
{
public:
    using ValueArg = double;

    explicit FloatingPointTagItem(QObject *parent = nullptr);
    explicit FloatingPointTagItem(double value, QObject *parent = nullptr);

    bool equals(const TagItem *other) const override;
    bool isTextual() const override;
    // Fixed-point text: 2 decimals for the empty format, 6 for "[data]", n for a format
    // that reads as a number n other than 0.
    QString toString(const QString &format = QString()) const override;
    bool isPlainValue() const override;
    QVariant toVariant() const override;
    // Any variant that converts to a number; a rating is kept within 0 to 1.
    bool fromVariant(const QVariant &value) override;
    int dataType() const override;

    double value = 0.0;

protected:
    void copyFields(const FloatingPointTagItem &other) { value = other.value; }
};
