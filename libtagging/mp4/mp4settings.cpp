#include "libtagging/mp4/mp4streamio.h"

#include "libcore/settings/settingsstore.h"

Mp4Settings Mp4StreamIo::loadSettings(const QString &group)
{
    Mp4Settings s;
    s.preferredPaddingSize = SettingsStore::option<int>(group, QStringLiteral("preferredPaddingSize"));
    s.maximumPaddingSize = SettingsStore::option<int>(group, QStringLiteral("maximumPaddingSize"));
    return s;
}

void Mp4StreamIo::saveSettings(const Mp4Settings &settings, const QString &group)
{
    SettingsStore::setOption(group, QStringLiteral("preferredPaddingSize"), settings.preferredPaddingSize);
    SettingsStore::setOption(group, QStringLiteral("maximumPaddingSize"), settings.maximumPaddingSize);
}
