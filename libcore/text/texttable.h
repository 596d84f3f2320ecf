#pragma once

#include <QHash>
#include <QString>

// The process-wide table from text id to the text of the chosen language.
// Only the text catalogue writes it, during start-up; everybody else reads.
namespace TextTable {
QHash<quint32, QString> &table();
}

inline QString textForId(quint32 id)
{
    return TextTable::table().value(id);
}
