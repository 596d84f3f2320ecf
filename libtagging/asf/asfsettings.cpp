#include "libtagging/asf/asfstreamio.h"

#include "libcore/settings/settingsstore.h"

AsfSettings AsfStreamIo::loadSettings(const QString &group)
{
    AsfSettings s;
    s.preferredPaddingSize = SettingsStore::option<int>(group, QStringLiteral("preferredPaddingSize"));
    s.maximumPaddingSize = SettingsStore::option<int>(group, QStringLiteral("maximumPaddingSize"));
    s.writeCountSeparately = SettingsStore::option<bool>(group, QStringLiteral("writeCountSeparately"));
    return s;
}

void AsfStreamIo::saveSettings(const AsfSettings &settings, const QString &group)
{
    SettingsStore::setOption(group, QStringLiteral("preferredPaddingSize"), settings.preferredPaddingSize);
    SettingsStore::setOption(group, QStringLiteral("maximumPaddingSize"), settings.maximumPaddingSize);
    SettingsStore::setOption(group, QStringLiteral("writeCountSeparately"), settings.writeCountSeparately);
}
