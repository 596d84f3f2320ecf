#include "libtagging/model/unknownid3v2datatagitem.h"

TagItem *UnknownId3v2DataTagItem::clone(QObject *parent) const
{
    auto *item = new UnknownId3v2DataTagItem(parent);
    item->copyFields(*this);
    return item;
}

int UnknownId3v2DataTagItem::type() const
{
    return Type;
}
