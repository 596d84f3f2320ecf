#pragma once

#include "libtagging/model/tagitem.h"

#include <QByteArray>

// Private data of another application, named by its owner.
class PrivateTagItem : public TagItem
{
public:
    static constexpr int Type = 82;

    explicit PrivateTagItem(QObject *parent = nullptr);
    PrivateTagItem(const QString &owner, const QByteArray &data, QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    bool equals(const TagItem *other) const override;
    bool isEmpty() const override;
    int type() const override;

    QString owner;
    QByteArray data;
};
