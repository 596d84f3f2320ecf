#pragma once

#include "libtagging/model/stringtagitem.h"

// A text field that the tag names itself: the description is the field's name.
class UserDefinedTextTagItem : public StringTagItem
{
public:
    static constexpr int Type = 121;

    explicit UserDefinedTextTagItem(QObject *parent = nullptr);
    UserDefinedTextTagItem(const QString &value, const QString &description, QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    // The value and the description.
    bool equals(const TagItem *other) const override;
    int type() const override;

    QString description;
};
