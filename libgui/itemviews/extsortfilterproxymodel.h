#pragma once

#include <QSortFilterProxyModel>
#include <QVariant>

// A sort and filter proxy that filters by equality with one value and sorts every value
// type it meets, images and byte arrays included. Sorting is not dynamic: the proxy sorts
// when sort() is called, not on its own when values change.
class ExtSortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit ExtSortFilterProxyModel(QObject *parent = nullptr);

    QVariant filterValue() const { return m_filterValue; }
    // An invalid value hands filtering back to the base class's expression filter.
    void setFilterValue(const QVariant &value);

    // Invalid values first; numbers as numbers, dates and times as such, texts by the sort's
    // locale awareness or case sensitivity; values of different kinds by their texts.
    static bool variantLessThan(const QVariant &left, const QVariant &right, bool localeAware,
                                Qt::CaseSensitivity caseSensitivity);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    QVariant m_filterValue;
};
