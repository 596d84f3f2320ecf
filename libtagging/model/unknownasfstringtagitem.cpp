#include "libtagging/model/unknownasfstringtagitem.h"

UnknownAsfStringTagItem::UnknownAsfStringTagItem(QObject *parent) : UnknownStringTagItem(parent) {}

UnknownAsfStringTagItem::UnknownAsfStringTagItem(const QString &name, const QString &value, int number1, int number2,
                                                 QObject *parent)
    : UnknownStringTagItem(name, value, parent), number1(number1), number2(number2)
{
}

TagItem *UnknownAsfStringTagItem::clone(QObject *parent) const
{
    return new UnknownAsfStringTagItem(name, value, number1, number2, parent);
}

int UnknownAsfStringTagItem::type() const
{
    return Type;
}
