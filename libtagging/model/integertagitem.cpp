#include "libtagging/model/integertagitem.h"

#include "libcore/util/partialdatetime.h"

IntegerTagItem::IntegerTagItem(QObject *parent) : TagItem(parent) {}

IntegerTagItem::IntegerTagItem(int value, QObject *parent) : TagItem(parent), value(value) {}

bool IntegerTagItem::equals(const TagItem *other) const
{
    return other && other->type() == type() && static_cast<const IntegerTagItem *>(other)->value == value;
}

bool IntegerTagItem::isTextual() const
{
    return true;
}

QString IntegerTagItem::toString(const QString &) const
{
    return QString::number(value);
}

bool IntegerTagItem::isPlainValue() const
{
    return true;
}

QVariant IntegerTagItem::toVariant() const
{
    return QVariant(value);
}

bool IntegerTagItem::fromVariant(const QVariant &v)
{
    if (v.metaType() == QMetaType::fromType<PartialDateTime>()) {
        value = v.value<PartialDateTime>().year();
        return true;
    }
    bool ok = false;
    const int number = v.toInt(&ok);
    if (!ok || number < 0)
        return false;
    value = number;
    return true;
}

int IntegerTagItem::dataType() const
{
    return TagItemDataType::Integer;
}
