#include "libtagging/model/releasecountrytagitem.h"

TagItem *ReleaseCountryTagItem::clone(QObject *parent) const
{
    auto *item = new ReleaseCountryTagItem(parent);
    item->copyFields(*this);
    return item;
}

int ReleaseCountryTagItem::type() const
{
    return Type;
}
