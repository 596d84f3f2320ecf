#pragma once

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

class IdVersionItem;

// The version information of several runs of words together.
class IdVersionSummary
{
public:
    // The union of the items' kinds, with every item analysed again with that union allowed,
    // and per kind the longest of the items' texts (the earlier item on equal length).
    void buildFrom(const QList<IdVersionItem *> &items);
    // Adds the other's kinds and texts, keeping the longer text of a kind (this one on a tie).
    void merge(const IdVersionSummary &other);

    QSet<int> kinds;
    QMap<int, QString> texts;
};
