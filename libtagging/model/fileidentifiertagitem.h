#pragma once

#include "libtagging/model/tagitem.h"

#include <QByteArray>

// An identifier of the file issued by a database, named by its issuer.
class FileIdentifierTagItem : public TagItem
{
public:
    static constexpr int Type = 41;

    explicit FileIdentifierTagItem(QObject *parent = nullptr);
    FileIdentifierTagItem(const QString &owner, const QByteArray &identifier, QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    bool equals(const TagItem *other) const override;
    bool isEmpty() const override;
    int type() const override;

    QString owner;
    QByteArray identifier;
};
