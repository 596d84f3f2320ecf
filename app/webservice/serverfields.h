#pragma once

#include <QHash>
#include <QList>
#include <QString>

// The service names every kind of tag data by a field code, 0 to ServerFieldCount - 1.
constexpr int ServerFieldCount = 156;
// The code sent for an item type that has none of its own.
constexpr int NoServerField = 156;

// Code -> item type id: one entry per code, in code order. Many codes share an item type
// (the kinds of web link and the roles of involved people).
const QList<int> &itemTypeForServerField();
// Item type id -> code, the highest code of the item type; item types without a code are absent.
const QHash<int, int> &serverFieldForItemType();
// The code to send for an item type: its entry above, or NoServerField.
int serverFieldOf(int itemType);

// The name and value under which a reply value of a code is stored in a link, credit or
// user-defined text item.
struct LinkTypeName
{
    QString name;
    QString value;
    bool operator==(const LinkTypeName &other) const = default;
};
LinkTypeName linkTypeName(int code, const QString &value);
