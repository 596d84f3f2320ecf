#include "libtagging/xiph/opusstreamio.h"

#include "libcore/settings/settingsstore.h"

OpusSettings OpusStreamIo::loadSettings(const QString &group)
{
    OpusSettings settings;
    settings.preferredPaddingSize = SettingsStore::option<int>(group, QStringLiteral("preferredPaddingSize"));
    settings.maximumPaddingSize = SettingsStore::option<int>(group, QStringLiteral("maximumPaddingSize"));
    return settings;
}

void OpusStreamIo::saveSettings(const OpusSettings &settings, const QString &group)
{
    SettingsStore::setOption(group, QStringLiteral("preferredPaddingSize"), settings.preferredPaddingSize);
    SettingsStore::setOption(group, QStringLiteral("maximumPaddingSize"), settings.maximumPaddingSize);
}
