#include "libtagging/model/privatetagitem.h"

PrivateTagItem::PrivateTagItem(QObject *parent) : TagItem(parent) {}

PrivateTagItem::PrivateTagItem(const QString &owner, const QByteArray &data, QObject *parent)
    : TagItem(parent), owner(owner), data(data)
{
}

TagItem *PrivateTagItem::clone(QObject *parent) const
{
    return new PrivateTagItem(owner, data, parent);
}

bool PrivateTagItem::equals(const TagItem *other) const
{
    if (!other || other->type() != Type)
        return false;
    const auto *o = static_cast<const PrivateTagItem *>(other);
    return o->owner == owner && o->data == data;
}

bool PrivateTagItem::isEmpty() const
{
    return data.isEmpty();
}

int PrivateTagItem::type() const
{
    return Type;
}
