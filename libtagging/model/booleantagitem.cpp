#include "libtagging/model/booleantagitem.h"

#include "libcore/text/texttable.h"

BooleanTagItem::BooleanTagItem(QObject *parent) : TagItem(parent) {}

BooleanTagItem::BooleanTagItem(bool value, QObject *parent) : TagItem(parent), value(value) {}

bool BooleanTagItem::equals(const TagItem *other) const
{
    return other && other->type() == type() && static_cast<const BooleanTagItem *>(other)->value == value;
}

bool BooleanTagItem::isTextual() const
{
    return true;
}

QString BooleanTagItem::toString(const QString &format) const
{
    if (format == QLatin1String("[data]"))
        return value ? QStringLiteral("1") : QStringLiteral("0");
    return textForId(value ? 2587242183u : 3104856487u);
}

bool BooleanTagItem::isPlainValue() const
{
    return true;
}

QVariant BooleanTagItem::toVariant() const
{
    return QVariant(value);
}

int BooleanTagItem::dataType() const
{
    return TagItemDataType::Boolean;
}
