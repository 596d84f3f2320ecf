#pragma once

#include "libtagging/model/stringtagitem.h"

// A comment with its description.
class CommentTagItem : public StringTagItem
{
public:
    static constexpr int Type = 21;

    explicit CommentTagItem(QObject *parent = nullptr);
    CommentTagItem(const QString &value, const QString &description, QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    // The value and the description.
    bool equals(const TagItem *other) const override;
    int type() const override;

    QString description;
};
