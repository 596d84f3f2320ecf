#pragma once

#include "libcore/util/partialdatetime.h"
#include "libtagging/model/tagitem.h"

// Base of the items that hold a date and time of which some parts may be unknown.
class DateTimeTagItem : public TagItem
{
public:
    using ValueArg = const PartialDateTime &;

    explicit DateTimeTagItem(QObject *parent = nullptr);
    explicit DateTimeTagItem(const PartialDateTime &value, QObject *parent = nullptr);

    bool equals(const TagItem *other) const override;
    bool isEmpty() const override;
    bool isSimilar(const TagItem *other) const override;
    bool isTextual() const override;
    // The empty format prints "yyyy-MM-dd hh:mm:ss:zzz", "[data]" the same with a "T"
    // between date and time; any other format is the pattern itself.
    QString toString(const QString &format = QString()) const override;
    bool isPlainValue() const override;
    QVariant toVariant() const override;
    bool fromVariant(const QVariant &value) override;
    int dataType() const override;

    PartialDateTime value;

protected:
    void copyFields(const DateTimeTagItem &other) { value = other.value; }
};
