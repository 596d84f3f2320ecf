#include "libtagging/model/scripttagitem.h"

TagItem *ScriptTagItem::clone(QObject *parent) const
{
    auto *item = new ScriptTagItem(parent);
    item->copyFields(*this);
    return item;
}

int ScriptTagItem::type() const
{
    return Type;
}
