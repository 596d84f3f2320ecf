#include "libgui/itemviews/extsortfilterproxymodel.h"

#include <QDateTime>
#include <QImage>

#include <cstring>

#include "libcore/util/variants.h"

namespace {

bool bytesLessThan(const uchar *left, qsizetype leftSize, const uchar *right, qsizetype rightSize)
{
    const int order = std::memcmp(left, right, size_t(std::min(leftSize, rightSize)));
    return order != 0 ? order < 0 : leftSize < rightSize;
}

bool isFloatingPoint(int type)
{
    return type == QMetaType::Double || type == QMetaType::Float;
}

bool isNumber(const QVariant &value)
{
    return isIntegerVariant(value) || isFloatingPoint(value.typeId());
}

bool textLessThan(const QString &left, const QString &right, bool localeAware, Qt::CaseSensitivity cs)
{
    return (localeAware ? left.localeAwareCompare(right) : left.compare(right, cs)) < 0;
}

} // namespace

ExtSortFilterProxyModel::ExtSortFilterProxyModel(QObject *parent) : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(false);
}

void ExtSortFilterProxyModel::setFilterValue(const QVariant &value)
{
    m_filterValue = value;
    invalidateFilter();
}

bool ExtSortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (!m_filterValue.isValid())
        return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
    const QAbstractItemModel *model = sourceModel();
    if (!model)
        return true;
    const int role = filterRole();
    if (filterKeyColumn() == -1) {
        const int columns = model->columnCount(sourceParent);
        for (int column = 0; column < columns; ++column) {
            if (model->index(sourceRow, column, sourceParent).data(role) == m_filterValue)
                return true;
        }
        return false;
    }
    const QModelIndex index = model->index(sourceRow, filterKeyColumn(), sourceParent);
    if (!index.isValid())
        return true;
    return index.data(role) == m_filterValue;
}

bool ExtSortFilterProxyModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const QVariant l = left.model() ? left.data(sortRole()) : QVariant();
    const QVariant r = right.model() ? right.data(sortRole()) : QVariant();
    return variantLessThan(l, r, isSortLocaleAware(), sortCaseSensitivity());
}

bool ExtSortFilterProxyModel::variantLessThan(const QVariant &left, const QVariant &right, bool localeAware,
                                              Qt::CaseSensitivity caseSensitivity)
{
    if (!right.isValid())
        return false;
    if (!left.isValid())
        return true;
    const int lt = left.typeId();
    const int rt = right.typeId();

    // Numbers compare as numbers also across widths (an int column cell beside a 64-bit one).
    if (isNumber(left) && isNumber(right)) {
        if (isFloatingPoint(lt) || isFloatingPoint(rt))
            return left.toDouble() < right.toDouble();
        const bool leftUnsigned = isUnsignedIntegerVariant(left);
        const bool rightUnsigned = isUnsignedIntegerVariant(right);
        if (leftUnsigned && rightUnsigned)
            return left.toULongLong() < right.toULongLong();
        if (!leftUnsigned && !rightUnsigned)
            return left.toLongLong() < right.toLongLong();
        // One signed, one unsigned: a negative value is below every unsigned one.
        if (!leftUnsigned)
            return left.toLongLong() < 0 || left.toULongLong() < right.toULongLong();
        return right.toLongLong() >= 0 && left.toULongLong() < right.toULongLong();
    }

    if (lt != rt)
        return textLessThan(left.toString(), right.toString(), localeAware, caseSensitivity);

    switch (lt) {
    case QMetaType::QImage: {
        const QImage a = left.value<QImage>();
        const QImage b = right.value<QImage>();
        if (b.isNull())
            return false;
        if (a.isNull())
            return true;
        if (a.cacheKey() == b.cacheKey())
            return false;
        return bytesLessThan(a.constBits(), a.sizeInBytes(), b.constBits(), b.sizeInBytes());
    }
    case QMetaType::QByteArray: {
        const QByteArray a = left.toByteArray();
        const QByteArray b = right.toByteArray();
        if (b.isEmpty())
            return false;
        if (a.isEmpty())
            return true;
        return bytesLessThan(reinterpret_cast<const uchar *>(a.constData()), a.size(),
                             reinterpret_cast<const uchar *>(b.constData()), b.size());
    }
    case QMetaType::Bool:
        return !left.toBool() && right.toBool();
    case QMetaType::QDate:
        return left.toDate() < right.toDate();
    case QMetaType::QTime:
        return left.toTime() < right.toTime();
    case QMetaType::QDateTime:
        return left.toDateTime() < right.toDateTime();
    case QMetaType::QChar:
        return left.toChar() < right.toChar();
    default:
        return textLessThan(left.toString(), right.toString(), localeAware, caseSensitivity);
    }
}
