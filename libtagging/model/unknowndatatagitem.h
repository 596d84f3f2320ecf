#pragma once

#include "libtagging/model/tagitem.h"

#include <QByteArray>

// Base of the fields of one format that no item type maps, kept as raw bytes with the
// field's key so that the format's writer can store the field again.
class UnknownDataTagItem : public TagItem
{
public:
    explicit UnknownDataTagItem(QObject *parent = nullptr);
    UnknownDataTagItem(const QString &name, const QByteArray &data, QObject *parent = nullptr);

    // The key and the bytes; what per-format classes add takes no part.
    bool equals(const TagItem *other) const override;
    bool isEmpty() const override;

    QString name;
    QByteArray data;

protected:
    void copyFields(const UnknownDataTagItem &other)
    {
        name = other.name;
        data = other.data;
    }
};
