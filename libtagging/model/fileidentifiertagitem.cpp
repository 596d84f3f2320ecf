#include "libtagging/model/fileidentifiertagitem.h"

FileIdentifierTagItem::FileIdentifierTagItem(QObject *parent) : TagItem(parent) {}

FileIdentifierTagItem::FileIdentifierTagItem(const QString &owner, const QByteArray &identifier, QObject *parent)
    : TagItem(parent), owner(owner), identifier(identifier)
{
}

TagItem *FileIdentifierTagItem::clone(QObject *parent) const
{
    return new FileIdentifierTagItem(owner, identifier, parent);
}

bool FileIdentifierTagItem::equals(const TagItem *other) const
{
    if (!other || other->type() != Type)
        return false;
    const auto *o = static_cast<const FileIdentifierTagItem *>(other);
    return o->owner == owner && o->identifier == identifier;
}

bool FileIdentifierTagItem::isEmpty() const
{
    return identifier.isEmpty();
}

int FileIdentifierTagItem::type() const
{
    return Type;
}
