#include "libtagging/model/booleantagitem.h"

#include "libcore/text/formatting.h"
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
    return upperCaseFirst(textForId(value ? 2587242183u : 3104856487u));
}

bool BooleanTagItem::isPlainValue() const
{
    return true;
}

QVariant BooleanTagItem::toVariant() const
{
    return QVariant(value);
}

bool BooleanTagItem::fromVariant(const QVariant &v)
{
    if (v.typeId() == QMetaType::Bool) {
        value = v.toBool();
        return true;
    }
    if (v.typeId() != QMetaType::QString)
        return false;
    const QString text = v.toString().trimmed().toLower();
    if (text == u"true" || text == u"yes" || text == u"on" || text == u"1") {
        value = true;
        return true;
    }
    if (text == u"false" || text == u"no" || text == u"off" || text == u"0") {
        value = false;
        return true;
    }
    return false;
}

int BooleanTagItem::dataType() const
{
    return TagItemDataType::Boolean;
}
