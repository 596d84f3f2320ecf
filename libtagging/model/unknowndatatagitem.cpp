#include "libtagging/model/unknowndatatagitem.h"

UnknownDataTagItem::UnknownDataTagItem(QObject *parent) : TagItem(parent) {}

UnknownDataTagItem::UnknownDataTagItem(const QString &name, const QByteArray &data, QObject *parent)
    : TagItem(parent), name(name), data(data)
{
}

bool UnknownDataTagItem::equals(const TagItem *other) const
{
    if (!other || other->type() != type())
        return false;
    const auto *o = static_cast<const UnknownDataTagItem *>(other);
    return o->name == name && o->data == data;
}

bool UnknownDataTagItem::isEmpty() const
{
    return data.isEmpty();
}
