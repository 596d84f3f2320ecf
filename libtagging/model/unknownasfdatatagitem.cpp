#include "libtagging/model/unknownasfdatatagitem.h"

UnknownAsfDataTagItem::UnknownAsfDataTagItem(QObject *parent) : UnknownDataTagItem(parent) {}

UnknownAsfDataTagItem::UnknownAsfDataTagItem(const QString &name, const QByteArray &data, int dataType, int number1,
                                             int number2, QObject *parent)
    : UnknownDataTagItem(name, data, parent), asfDataType(dataType), number1(number1), number2(number2)
{
}

TagItem *UnknownAsfDataTagItem::clone(QObject *parent) const
{
    return new UnknownAsfDataTagItem(name, data, asfDataType, number1, number2, parent);
}

int UnknownAsfDataTagItem::type() const
{
    return Type;
}
