#include "libtagging/model/datetimetagitem.h"

#include "libcore/util/variants.h"

#include <QDateTime>

namespace {
const QString &storagePattern()
{
    static const QString pattern = PartialDateTime::storageFormat();
    return pattern;
}

bool isUnknown(const PartialDateTime &d)
{
    return d == PartialDateTime();
}

} // namespace

DateTimeTagItem::DateTimeTagItem(QObject *parent) : TagItem(parent) {}

DateTimeTagItem::DateTimeTagItem(const PartialDateTime &value, QObject *parent) : TagItem(parent), value(value) {}

bool DateTimeTagItem::equals(const TagItem *other) const
{
    return other && other->type() == type() && static_cast<const DateTimeTagItem *>(other)->value == value;
}

bool DateTimeTagItem::isEmpty() const
{
    return isUnknown(value);
}

bool DateTimeTagItem::isSimilar(const TagItem *other) const
{
    return other && other->type() == type() && value.contains(static_cast<const DateTimeTagItem *>(other)->value);
}

bool DateTimeTagItem::isTextual() const
{
    return true;
}

QString DateTimeTagItem::toString(const QString &format) const
{
    if (format.isEmpty())
        return value.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss:zzz"));
    if (format == QLatin1String("[data]"))
        return value.toString(storagePattern());
    return value.toString(format);
}

bool DateTimeTagItem::isPlainValue() const
{
    return true;
}

QVariant DateTimeTagItem::toVariant() const
{
    return QVariant::fromValue(value);
}

bool DateTimeTagItem::fromVariant(const QVariant &v)
{
    const QMetaType type = v.metaType();
    if (type == QMetaType::fromType<PartialDateTime>()) {
        value = v.value<PartialDateTime>();
        return true;
    }
    if (type == QMetaType::fromType<QDateTime>()) {
        value = PartialDateTime(v.toDateTime());
        return true;
    }
    if (type == QMetaType::fromType<QDate>()) {
        value = PartialDateTime(v.toDate());
        return true;
    }
    if (type == QMetaType::fromType<QTime>()) {
        value = PartialDateTime(v.toTime());
        return true;
    }
    if (isIntegerVariant(v)) {
        bool ok = false;
        const int year = v.toInt(&ok);
        if (!ok || year < 0)
            return false;
        value = PartialDateTime(year);
        return true;
    }
    const PartialDateTime parsed(v.toString(), storagePattern());
    if (!parsed.isValid())
        return false;
    value = parsed;
    return true;
}

int DateTimeTagItem::dataType() const
{
    return TagItemDataType::DateTime;
}
