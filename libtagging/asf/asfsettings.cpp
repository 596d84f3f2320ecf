#include "libtagging/asf/asfstreamio.h"

#include "libcore/settings/settingsstore.h"

AsfSettings AsfStreamIo::loadSettings(const QString &group)
{
    const QString prefix = group + u'/';
    AsfSettings s;
    s.preferredPaddingSize = SettingsStore::value(prefix + QStringLiteral("preferredPaddingSize")).toInt();
    s.maximumPaddingSize = SettingsStore::value(prefix + QStringLiteral("maximumPaddingSize")).toInt();
    s.writeCountSeparately = SettingsStore::boolValue(prefix + QStringLiteral("writeCountSeparately"));
    return s;
}

void AsfStreamIo::saveSettings(const AsfSettings &settings, const QString &group)
{
    const QString prefix = group + u'/';
    SettingsStore::setValue(prefix + QStringLiteral("preferredPaddingSize"),
                            QString::number(settings.preferredPaddingSize));
    SettingsStore::setValue(prefix + QStringLiteral("maximumPaddingSize"), QString::number(settings.maximumPaddingSize));
    SettingsStore::setValue(prefix + QStringLiteral("writeCountSeparately"),
                            settings.writeCountSeparately ? QStringLiteral("true") : QStringLiteral("false"));
}
