#include "libtagging/model/involvedpeoplelisttagitem.h"

InvolvedPeopleListTagItem::InvolvedPeopleListTagItem(QObject *parent) : TagItem(parent) {}

InvolvedPeopleListTagItem::InvolvedPeopleListTagItem(const QList<InvolvedPerson> &people, QObject *parent)
    : TagItem(parent), people(people)
{
}

TagItem *InvolvedPeopleListTagItem::clone(QObject *parent) const
{
    return new InvolvedPeopleListTagItem(people, parent);
}

bool InvolvedPeopleListTagItem::equals(const TagItem *other) const
{
    return other && other->type() == Type && static_cast<const InvolvedPeopleListTagItem *>(other)->people == people;
}

bool InvolvedPeopleListTagItem::isEmpty() const
{
    return people.isEmpty();
}

bool InvolvedPeopleListTagItem::isTextual() const
{
    return true;
}

QString InvolvedPeopleListTagItem::toString(const QString &) const
{
    QString text;
    for (const InvolvedPerson &person : people) {
        const QString name = person.name.trimmed();
        const QString role = person.role.trimmed();
        if (name.isEmpty() || role.isEmpty())
            continue;
        if (!text.isEmpty())
            text += QLatin1String(", ");
        text += role + QLatin1String(": ") + name;
    }
    return text;
}

int InvolvedPeopleListTagItem::type() const
{
    return Type;
}
