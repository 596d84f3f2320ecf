#pragma once

#include <QString>

// One row of the script table. The empty record (null texts, value 0) means "not found".
struct ScriptInfo {
    ScriptInfo() = default;
    ScriptInfo(const QString &iso15924, const QString &name, int qlocaleScript)
        : iso15924(iso15924), name(name), qlocaleScript(qlocaleScript)
    {
    }

    QString iso15924;
    QString name;
    int qlocaleScript = 0; // a QLocale::Script, 0 when Qt has none for the code
};
