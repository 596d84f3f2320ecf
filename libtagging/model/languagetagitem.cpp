#include "libtagging/model/languagetagitem.h"

TagItem *LanguageTagItem::clone(QObject *parent) const
{
    auto *item = new LanguageTagItem(parent);
    item->copyFields(*this);
    return item;
}

int LanguageTagItem::type() const
{
    return Type;
}
