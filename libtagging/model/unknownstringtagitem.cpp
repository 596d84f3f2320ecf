#include "libtagging/model/unknownstringtagitem.h"

UnknownStringTagItem::UnknownStringTagItem(QObject *parent) : StringTagItem(parent) {}

UnknownStringTagItem::UnknownStringTagItem(const QString &name, const QString &value, QObject *parent)
    : StringTagItem(value, parent), name(name)
{
}

bool UnknownStringTagItem::equals(const TagItem *other) const
{
    return StringTagItem::equals(other) && static_cast<const UnknownStringTagItem *>(other)->name == name;
}
