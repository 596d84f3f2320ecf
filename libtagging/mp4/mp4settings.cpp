#include "libtagging/mp4/mp4streamio.h"

#include "libcore/settings/settingsstore.h"

Mp4Settings Mp4StreamIo::loadSettings(const QString &group)
{
    const QString prefix = group + u'/';
    Mp4Settings s;
    s.preferredPaddingSize = SettingsStore::value(prefix + QStringLiteral("preferredPaddingSize")).toInt();
    s.maximumPaddingSize = SettingsStore::value(prefix + QStringLiteral("maximumPaddingSize")).toInt();
    return s;
}

void Mp4StreamIo::saveSettings(const Mp4Settings &settings, const QString &group)
{
    const QString prefix = group + u'/';
    SettingsStore::setValue(prefix + QStringLiteral("preferredPaddingSize"),
                            QString::number(settings.preferredPaddingSize));
    SettingsStore::setValue(prefix + QStringLiteral("maximumPaddingSize"), QString::number(settings.maximumPaddingSize));
}
