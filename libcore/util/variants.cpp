#include "libcore/util/variants.h"

#include <QAtomicInt>
#include <QHash>

#include "libcore/util/commonvariantvalue.h"
#include "libcore/util/partialdatetime.h"

namespace {

// Filled during start-up before other threads exist, read without a lock afterwards.
QHash<int, VariantComparator> &comparators()
{
    static QHash<int, VariantComparator> table;
    return table;
}

QAtomicInt handlerInstalled = 0;

bool equalPartialDateTimes(const void *a, const void *b)
{
    return *static_cast<const PartialDateTime *>(a) == *static_cast<const PartialDateTime *>(b);
}

[[maybe_unused]] const bool partialDateTimeRegistered = [] {
    registerVariantComparator(qMetaTypeId<PartialDateTime>(), equalPartialDateTimes);
    return true;
}();

const quint32 InvalidVariantHash = 2590077302u;

} // namespace

bool isIntegerVariant(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
        return true;
    default:
        return isUnsignedIntegerVariant(value);
    }
}

bool isUnsignedIntegerVariant(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

QVariant normalizedVariant(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? value : QVariant();
    case QMetaType::Double:
        return value.toDouble() == 0.0 ? QVariant() : value;
    case QMetaType::Int:
        return value.toInt() == 0 ? QVariant() : value;
    case QMetaType::QString:
        return value.toString().isEmpty() ? QVariant() : value;
    default:
        break;
    }
    if (value.typeId() == qMetaTypeId<PartialDateTime>()
        && value.value<PartialDateTime>() == PartialDateTime())
        return QVariant();
    return value;
}

QVariant unsetVariant()
{
    const QVariant empty;
    return QVariant(QMetaType::fromType<QVariant>(), &empty);
}

bool isUnsetVariant(const QVariant &value)
{
    return value.typeId() == QMetaType::QVariant;
}

QVariant commonVariantValue(const QVariantList &values)
{
    CommonVariantValue common;
    for (const QVariant &value : values) {
        if (common.add(value))
            break;
    }
    return common.representative;
}

quint32 variantHash(const QVariant &value)
{
    if (isIntegerVariant(value)) {
        const quint64 x = quint64(value.toLongLong());
        return quint32(x ^ (x >> 31));
    }
    if (!value.isValid())
        return InvalidVariantHash;
    return quint32(value.userType()) ^ quint32(qHash(value.toString()));
}

QString variantToString(const QVariant &value)
{
    // Qt 6 would iterate a text or byte array as a list of characters.
    const bool textual = value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray;
    const QVariantList list = !textual && value.canConvert<QVariantList>() ? value.toList() : QVariantList();
    if (list.isEmpty())
        return value.toString();
    QStringList texts;
    texts.reserve(list.size());
    for (const QVariant &element : list)
        texts.append(variantToString(element));
    return QStringLiteral("{ %1 }").arg(texts.join(QStringLiteral(" | ")));
}

void registerVariantComparator(int typeId, VariantComparator comparator)
{
    comparators().insert(typeId, comparator);
}

void installVariantHandler(bool install)
{
    handlerInstalled.storeRelease(install ? 1 : 0);
}

bool variantsEqual(const QVariant &a, const QVariant &b)
{
    if (handlerInstalled.loadAcquire() && a.isValid() && a.metaType() == b.metaType()) {
        const auto it = comparators().constFind(a.typeId());
        if (it != comparators().constEnd())
            return (*it)(a.constData(), b.constData());
    }
    return a == b;
}
