#include "libtagging/model/userdefinedlinktagitem.h"

UserDefinedLinkTagItem::UserDefinedLinkTagItem(QObject *parent) : StringTagItem(parent) {}

UserDefinedLinkTagItem::UserDefinedLinkTagItem(const QString &value, const QString &description, QObject *parent)
    : StringTagItem(value, parent), description(description)
{
}

TagItem *UserDefinedLinkTagItem::clone(QObject *parent) const
{
    return new UserDefinedLinkTagItem(value, description, parent);
}

bool UserDefinedLinkTagItem::equals(const TagItem *other) const
{
    return StringTagItem::equals(other) && static_cast<const UserDefinedLinkTagItem *>(other)->description == description;
}

int UserDefinedLinkTagItem::type() const
{
    return Type;
}
