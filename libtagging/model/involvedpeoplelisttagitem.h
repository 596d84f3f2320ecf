#pragma once

#include "libtagging/model/involvedperson.h"
#include "libtagging/model/tagitem.h"

// The credits of the people involved, in order.
class InvolvedPeopleListTagItem : public TagItem
{
public:
    static constexpr int Type = 51;

    explicit InvolvedPeopleListTagItem(QObject *parent = nullptr);
    explicit InvolvedPeopleListTagItem(const QList<InvolvedPerson> &people, QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    bool equals(const TagItem *other) const override;
    bool isEmpty() const override;
    bool isTextual() const override;
    // "role: name, role: name"; credits without a role or a name are left out.
    QString toString(const QString &format = QString()) const override;
    int type() const override;

    QList<InvolvedPerson> people;
};
