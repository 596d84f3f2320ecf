#include "app/library/duplicateresolutioncondition.h"

#include <QDate>
#include <QDateTime>

#include <cstdlib>

#include "app/model/datatypevalues.h"
#include "app/tagscript/scriptvariables.h"
#include "libcore/image/codedimage.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/texttable.h"
#include "libcore/util/partialdatetime.h"
#include "libcore/util/variants.h"

namespace {

// The preferred value's kind is stored by name: type numbers change with the order of
// registration and between Qt versions.
const QString DateTypeName = QStringLiteral("date");
const QString DoubleTypeName = QStringLiteral("double");
const QString IntTypeName = QStringLiteral("int");
const QString StringTypeName = QStringLiteral("string");

QString key(const QString &base, const char *relative)
{
    return base + QLatin1Char('/') + QLatin1String(relative);
}

bool isFloatingPoint(int typeId)
{
    return typeId == QMetaType::Double || typeId == QMetaType::Float;
}

// The kind of an older entry that stored a type number: the numbers of Qt 4 and Qt 6 for
// numbers and texts; a user type (at or above Qt 4's first one) can only have been a partial
// date, the one user type a condition holds.
QString typeNameOfNumber(int number)
{
    switch (number) {
    case 6:   // double
    case 38:  // float (Qt 6)
    case 135: // float (Qt 4)
        return DoubleTypeName;
    case 2: case 3: case 4: case 5:             // int, uint, long long, unsigned long long
    case 32: case 33: case 34: case 35: case 36: case 37:       // long .. uchar (Qt 6)
    case 129: case 130: case 131: case 132: case 133: case 134: // long .. uchar (Qt 4)
        return IntTypeName;
    case 10:
        return StringTypeName;
    default:
        break;
    }
    if (number == qMetaTypeId<PartialDateTime>() || number >= 256)
        return DateTypeName;
    return QString();
}

template<typename T>
int sign(T difference)
{
    return difference < 0 ? -1 : (difference > 0 ? 1 : 0);
}

// 1 when the distance of a is smaller, -1 when b's is.
template<typename T>
int nearer(T distanceA, T distanceB)
{
    return sign(distanceB - distanceA);
}

bool isDateTimeType(int typeId)
{
    return typeId == QMetaType::QDate || typeId == QMetaType::QDateTime;
}

PartialDateTime toPartialDateTime(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDate)
        return PartialDateTime(value.toDate());
    return PartialDateTime(value.toDateTime());
}

qint64 absoluteDistance(const PartialDateTime &value, const PartialDateTime &target)
{
    return std::llabs(value.msecsTo(target));
}

} // namespace

DuplicateResolutionCondition DuplicateResolutionCondition::load(const QString &entry)
{
    DuplicateResolutionCondition condition;
    const QString name = SettingsStore::value(key(entry, "dataType")).toLower();
    condition.dataType = variableNames().value(name, ModelDataType());
    condition.type = SettingsStore::value(key(entry, "type")).toInt();
    if (condition.type != PreferClosest)
        return condition;

    const QString storedType = SettingsStore::value(key(entry, "preferredValueType")).trimmed();
    bool isNumber = false;
    const int number = storedType.toInt(&isNumber);
    const QString typeName = isNumber ? typeNameOfNumber(number) : storedType.toLower();
    const QString text = SettingsStore::value(key(entry, "preferredValue"));
    if (typeName == DateTypeName)
        condition.preferredValue = QVariant::fromValue(PartialDateTime(text, PartialDateTime::storageFormat()));
    else if (typeName == DoubleTypeName)
        condition.preferredValue = text.toDouble();
    else if (typeName == IntTypeName)
        condition.preferredValue = text.toLongLong();
    else if (typeName == StringTypeName)
        condition.preferredValue = text;
    return condition;
}

void DuplicateResolutionCondition::save(const QString &entry) const
{
    SettingsStore::removeChildren(entry);
    SettingsStore::setValue(key(entry, "dataType"), dataTypeNames().value(dataType));
    SettingsStore::setValue(key(entry, "type"), QString::number(type));
    if (type != PreferClosest)
        return;

    const int typeId = preferredValue.typeId();
    QString text;
    QString typeName;
    if (typeId == qMetaTypeId<PartialDateTime>()) {
        text = preferredValue.value<PartialDateTime>().toString(PartialDateTime::storageFormat());
        typeName = DateTypeName;
    } else if (isFloatingPoint(typeId)) {
        text = QString::number(preferredValue.toDouble(), 'f', 6);
        typeName = DoubleTypeName;
    } else if (isIntegerVariant(preferredValue)) {
        text = QString::number(preferredValue.toLongLong());
        typeName = IntTypeName;
    } else if (typeId == QMetaType::QString) {
        text = preferredValue.toString();
        typeName = StringTypeName;
    } else {
        // Nothing that reads back: the condition then prefers nothing on this value.
        typeName = QString::fromLatin1(preferredValue.metaType().name());
    }
    SettingsStore::setValue(key(entry, "preferredValue"), text);
    SettingsStore::setValue(key(entry, "preferredValueType"), typeName);
}

int DuplicateResolutionCondition::compare(AudioFile *a, AudioFile *b) const
{
    return compareValues(dataTypeValue(a, dataType, RawValueRole), dataTypeValue(b, dataType, RawValueRole));
}

int DuplicateResolutionCondition::compareValues(const QVariant &a, const QVariant &b) const
{
    if (!a.isValid())
        return b.isValid() ? -1 : 0;
    if (!b.isValid())
        return 1;
    const int typeId = a.typeId();
    if (typeId != b.typeId())
        return 0;

    // For "prefer lowest" the smaller value wins: the sign of b - a.
    const auto byOrder = [this](int aMinusB) -> int {
        if (type == PreferLowest)
            return -aMinusB;
        if (type == PreferHighest)
            return aMinusB;
        return 0;
    };

    if (typeId == qMetaTypeId<CodedImage>()) {
        const CodedImage ia = a.value<CodedImage>();
        const CodedImage ib = b.value<CodedImage>();
        const qint64 areaA = qint64(ia.width) * ia.height;
        const qint64 areaB = qint64(ib.width) * ib.height;
        if (areaA == areaB)
            return 0;
        if (type == PreferClosest) {
            if (!isIntegerVariant(preferredValue))
                return 0;
            const qint64 target = preferredValue.toLongLong();
            return nearer(std::llabs(areaA - target), std::llabs(areaB - target));
        }
        return byOrder(sign(areaA - areaB));
    }
    if (typeId == QMetaType::Bool) {
        const int difference = int(a.toBool()) - int(b.toBool());
        return type == PreferClosest ? 0 : byOrder(difference);
    }
    if (typeId == qMetaTypeId<PartialDateTime>() || isDateTimeType(typeId)) {
        const PartialDateTime da = typeId == qMetaTypeId<PartialDateTime>() ? a.value<PartialDateTime>() : toPartialDateTime(a);
        const PartialDateTime db = typeId == qMetaTypeId<PartialDateTime>() ? b.value<PartialDateTime>() : toPartialDateTime(b);
        if (da == db)
            return 0;
        if (type == PreferClosest) {
            if (preferredValue.typeId() != qMetaTypeId<PartialDateTime>())
                return 0;
            const PartialDateTime target = preferredValue.value<PartialDateTime>();
            return nearer(absoluteDistance(da, target), absoluteDistance(db, target));
        }
        if (isDateTimeType(typeId)) {
            const QDateTime ta = typeId == QMetaType::QDate ? a.toDate().startOfDay() : a.toDateTime();
            const QDateTime tb = typeId == QMetaType::QDate ? b.toDate().startOfDay() : b.toDateTime();
            return byOrder(ta < tb ? -1 : (tb < ta ? 1 : 0));
        }
        return byOrder(da < db ? -1 : 1);
    }
    if (isFloatingPoint(typeId)) {
        const double va = a.toDouble();
        const double vb = b.toDouble();
        if (va == vb)
            return 0;
        if (type == PreferClosest) {
            if (!isFloatingPoint(preferredValue.typeId()))
                return 0;
            const double target = preferredValue.toDouble();
            return nearer(std::abs(va - target), std::abs(vb - target));
        }
        return byOrder(va < vb ? -1 : 1);
    }
    if (isIntegerVariant(a)) {
        const bool isUnsigned = typeId == QMetaType::ULongLong || typeId == QMetaType::ULong;
        if (isUnsigned) {
            const quint64 va = a.toULongLong();
            const quint64 vb = b.toULongLong();
            if (va == vb)
                return 0;
            if (type == PreferClosest) {
                if (!isIntegerVariant(preferredValue))
                    return 0;
                const quint64 target = preferredValue.toULongLong();
                const quint64 distanceA = va > target ? va - target : target - va;
                const quint64 distanceB = vb > target ? vb - target : target - vb;
                return distanceA < distanceB ? 1 : (distanceB < distanceA ? -1 : 0);
            }
            return byOrder(va < vb ? -1 : 1);
        }
        const qint64 va = a.toLongLong();
        const qint64 vb = b.toLongLong();
        if (va == vb)
            return 0;
        if (type == PreferClosest) {
            if (!isIntegerVariant(preferredValue))
                return 0;
            const qint64 target = preferredValue.toLongLong();
            // Unsigned distances: the difference of two 64-bit values may not fit a signed one.
            const quint64 distanceA = va > target ? quint64(va) - quint64(target) : quint64(target) - quint64(va);
            const quint64 distanceB = vb > target ? quint64(vb) - quint64(target) : quint64(target) - quint64(vb);
            return distanceA < distanceB ? 1 : (distanceB < distanceA ? -1 : 0);
        }
        return byOrder(va < vb ? -1 : 1);
    }
    if (typeId == QMetaType::QString) {
        const int order = QString::localeAwareCompare(a.toString(), b.toString());
        return order == 0 || type == PreferClosest ? 0 : byOrder(sign(order));
    }
    return 0;
}

QString duplicateActionName(int strategy)
{
    static const quint32 ids[] = {DuplicateActionNoneTextId, DuplicateActionByNameTextId,
                                  DuplicateActionByPathTextId, DuplicateActionDeleteTextId};
    if (strategy < 0 || strategy > 3)
        return QString();
    return textForId(ids[strategy]);
}
