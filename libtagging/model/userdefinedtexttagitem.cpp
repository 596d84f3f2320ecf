#include "libtagging/model/userdefinedtexttagitem.h"

UserDefinedTextTagItem::UserDefinedTextTagItem(QObject *parent) : StringTagItem(parent) {}

UserDefinedTextTagItem::UserDefinedTextTagItem(const QString &value, const QString &description, QObject *parent)
    : StringTagItem(value, parent), description(description)
{
}

TagItem *UserDefinedTextTagItem::clone(QObject *parent) const
{
    return new UserDefinedTextTagItem(value, description, parent);
}

bool UserDefinedTextTagItem::equals(const TagItem *other) const
{
    return StringTagItem::equals(other) && static_cast<const UserDefinedTextTagItem *>(other)->description == description;
}

int UserDefinedTextTagItem::type() const
{
    return Type;
}
