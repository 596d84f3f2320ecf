#include "app/shell/preferredlocale.h"

#include "libcore/settings/settingsstore.h"

QLocale preferredLocale()
{
    const QString name = SettingsStore::value(QStringLiteral("preferredLocale")).trimmed();
    return name.isEmpty() ? QLocale() : QLocale(name);
}
