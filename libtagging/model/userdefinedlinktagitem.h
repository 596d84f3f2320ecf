#pragma once

#include "libtagging/model/stringtagitem.h"

// A link address with a description that the tag names itself.
class UserDefinedLinkTagItem : public StringTagItem
{
public:
    static constexpr int Type = 120;

    explicit UserDefinedLinkTagItem(QObject *parent = nullptr);
    UserDefinedLinkTagItem(const QString &value, const QString &description, QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    // The value and the description.
    bool equals(const TagItem *other) const override;
    int type() const override;

    QString description;
};
