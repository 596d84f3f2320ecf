#pragma once

#include "libtagging/model/tagitem.h"

#include <QByteArray>

// A file embedded in the tag.
class EncapsulatedObjectTagItem : public TagItem
{
public:
    static constexpr int Type = 33;

    explicit EncapsulatedObjectTagItem(QObject *parent = nullptr);
    EncapsulatedObjectTagItem(const QString &mimeType, const QString &fileName, const QString &description,
                              const QByteArray &data, QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    bool equals(const TagItem *other) const override;
    bool isEmpty() const override;
    int type() const override;

    QString mimeType;
    QString fileName;
    QString description;
    QByteArray data;
};
