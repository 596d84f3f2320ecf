#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// How the writer fills the attributes of an item type.
namespace AsfWriteRule {
enum Id : int {
    Plain = 0,      // every item under every written name, with that name's format
    Artists = 1,    // "Author", then the additional artists under the second name
    Copyright = 2,  // texts that are addresses under the second name, the rest under the first
    NumberPair = 3, // "number/count" texts, or the items alone when counts are written separately
    Count = 4,      // written only when counts are written separately
};
}

// One attribute name written for an item type, with the toString format of its value.
struct AsfAttributeName
{
    QString name;
    QString format;
};

// One item type of the ASF attribute mapping: the names it is written under and the
// attribute keys (alphanumericKey of the name) it is read from, per value branch.
struct AsfAttributeRow
{
    int itemType;
    QList<AsfAttributeName> written;
    int rule;
    QStringList textKeys;
    QStringList binaryKeys;
    QStringList numberKeys;
};

// The one mapping between item types and ASF attributes, for reading and writing.
namespace AsfAttributeTable {
// In ascending item type.
const QList<AsfAttributeRow> &rows();
const AsfAttributeRow *rowForItemType(int itemType);
// The row whose keys of the branch hold the key, or null.
const AsfAttributeRow *rowForTextKey(const QString &key);
const AsfAttributeRow *rowForBinaryKey(const QString &key);
const AsfAttributeRow *rowForNumberKey(const QString &key);
// Numeric attributes that are read as nothing at all.
const QStringList &ignoredNumberKeys();
} // namespace AsfAttributeTable
