#include "libcore/text/texttable.h"

QHash<quint32, QString> &TextTable::table()
{
    // Never freed: texts may be looked up by static destructors.
    static auto *t = new QHash<quint32, QString>();
    return *t;
}
