#include "libtagging/model/encapsulatedobjecttagitem.h"

EncapsulatedObjectTagItem::EncapsulatedObjectTagItem(QObject *parent) : TagItem(parent) {}

EncapsulatedObjectTagItem::EncapsulatedObjectTagItem(const QString &mimeType, const QString &fileName,
                                                     const QString &description, const QByteArray &data,
                                                     QObject *parent)
    : TagItem(parent), mimeType(mimeType), fileName(fileName), description(description), data(data)
{
}

TagItem *EncapsulatedObjectTagItem::clone(QObject *parent) const
{
    return new EncapsulatedObjectTagItem(mimeType, fileName, description, data, parent);
}

bool EncapsulatedObjectTagItem::equals(const TagItem *other) const
{
    if (!other || other->type() != Type)
        return false;
    const auto *o = static_cast<const EncapsulatedObjectTagItem *>(other);
    return o->mimeType == mimeType && o->fileName == fileName && o->description == description && o->data == data;
}

bool EncapsulatedObjectTagItem::isEmpty() const
{
    return data.isEmpty();
}

int EncapsulatedObjectTagItem::type() const
{
    return Type;
}
