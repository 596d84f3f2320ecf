#include "libtagging/model/floatingpointtagitem.h"

FloatingPointTagItem::FloatingPointTagItem(QObject *parent) : TagItem(parent) {}

FloatingPointTagItem::FloatingPointTagItem(double value, QObject *parent) : TagItem(parent), value(value) {}

bool FloatingPointTagItem::equals(const TagItem *other) const
{
    return other && other->type() == type() && static_cast<const FloatingPointTagItem *>(other)->value == value;
}

bool FloatingPointTagItem::isTextual() const
{
    return true;
}

QString FloatingPointTagItem::toString(const QString &format) const
{
    int decimals = 2;
    if (format == QLatin1String("[data]")) {
        decimals = 6;
    } else if (!format.isEmpty()) {
        const int n = format.toInt();
        if (n != 0)
            decimals = n;
    }
    return QString::number(value, 'f', decimals);
}

bool FloatingPointTagItem::isPlainValue() const
{
    return true;
}

QVariant FloatingPointTagItem::toVariant() const
{
    return QVariant(value);
}

bool FloatingPointTagItem::fromVariant(const QVariant &v)
{
    bool ok = false;
    double number = v.toDouble(&ok);
    if (!ok)
        return false;
    if (type() == TagItemType::Rating) {
        // Written this way round so that NaN falls to 0 as well.
        if (number > 1.0)
            number = 1.0;
        else if (!(number > 0.0))
            number = 0.0;
    }
    value = number;
    return true;
}

int FloatingPointTagItem::dataType() const
{
    return TagItemDataType::FloatingPoint;
}
