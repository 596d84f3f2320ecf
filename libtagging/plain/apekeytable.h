#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One item type of the APE tag: the key it is written under and the normalised keys
// (letters and digits, lower case) it is read from.
struct ApeKeyRow
{
    int itemType;
    QString writtenKey; // empty: written by a rule of its own
    QStringList readKeys;
};

namespace ApeKeyTable {
const QList<ApeKeyRow> &rows();
// The row whose read keys hold the normalised key, or null.
const ApeKeyRow *rowForReadKey(const QString &normalisedKey);
const ApeKeyRow *rowForItemType(int itemType);
} // namespace ApeKeyTable
