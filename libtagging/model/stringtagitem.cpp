#include "libtagging/model/stringtagitem.h"

#include "libcore/text/stringutils.h"
#include "libcore/text/textmatching.h"

StringTagItem::StringTagItem(QObject *parent) : TagItem(parent) {}

StringTagItem::StringTagItem(const QString &value, QObject *parent) : TagItem(parent), value(value) {}

bool StringTagItem::equals(const TagItem *other) const
{
    return other && other->type() == type() && static_cast<const StringTagItem *>(other)->value == value;
}

bool StringTagItem::isEmpty() const
{
    return value.trimmed().isEmpty();
}

bool StringTagItem::isSimilar(const TagItem *other) const
{
    if (!other || other->type() != type())
        return false;
    const QString text = other->toString();
    if (text.size() < value.size())
        return false;
    if (equalNumbers(value, text))
        return true;
    // ID3v1 cuts texts to 30 bytes, and some writers one or more characters earlier.
    if (value.size() >= 27 && value.size() <= 30 && text.startsWith(value))
        return true;
    const QString key = alphanumericKey(value);
    const QString otherKey = alphanumericKey(text);
    if (key == otherKey)
        return true;
    return key.size() > 19 && otherKey.startsWith(key);
}

bool StringTagItem::isTextual() const
{
    return true;
}

QString StringTagItem::toString(const QString &) const
{
    return value;
}

bool StringTagItem::isPlainValue() const
{
    return true;
}

QVariant StringTagItem::toVariant() const
{
    return QVariant(value);
}

bool StringTagItem::fromVariant(const QVariant &v)
{
    if (!v.canConvert<QString>())
        return false;
    value = v.toString();
    return true;
}

int StringTagItem::dataType() const
{
    return TagItemDataType::String;
}
