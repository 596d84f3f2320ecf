#include "libtagging/model/unknownmp4stringtagitem.h"

UnknownMp4StringTagItem::UnknownMp4StringTagItem(QObject *parent) : UnknownStringTagItem(parent) {}

UnknownMp4StringTagItem::UnknownMp4StringTagItem(const QString &name, const QString &value, QObject *parent)
    : UnknownStringTagItem(name, value, parent)
{
}

UnknownMp4StringTagItem::UnknownMp4StringTagItem(const QString &name, const QString &value, const QString &mean,
                                                 const QString &freeformName, QObject *parent)
    : UnknownStringTagItem(name, value, parent), mean(mean), freeformName(freeformName)
{
}

TagItem *UnknownMp4StringTagItem::clone(QObject *parent) const
{
    return new UnknownMp4StringTagItem(name, value, mean, freeformName, parent);
}

int UnknownMp4StringTagItem::type() const
{
    return Type;
}
