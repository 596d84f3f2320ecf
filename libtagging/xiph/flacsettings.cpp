#include "libtagging/xiph/flacstreamio.h"

#include "libcore/settings/settingsstore.h"

FlacSettings FlacStreamIo::loadSettings(const QString &group)
{
    FlacSettings settings;
    settings.preferredPaddingSize = SettingsStore::option<int>(group, QStringLiteral("preferredPaddingSize"));
    settings.maximumPaddingSize = SettingsStore::option<int>(group, QStringLiteral("maximumPaddingSize"));
    return settings;
}

void FlacStreamIo::saveSettings(const FlacSettings &settings, const QString &group)
{
    SettingsStore::setOption(group, QStringLiteral("preferredPaddingSize"), settings.preferredPaddingSize);
    SettingsStore::setOption(group, QStringLiteral("maximumPaddingSize"), settings.maximumPaddingSize);
}
