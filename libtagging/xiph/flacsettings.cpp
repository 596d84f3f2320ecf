#include "libtagging/xiph/flacstreamio.h"

#include "libcore/settings/settingsstore.h"

FlacSettings FlacStreamIo::loadSettings(const QString &group)
{
    FlacSettings settings;
    settings.preferredPaddingSize = SettingsStore::value(group + QStringLiteral("/preferredPaddingSize")).toInt();
    settings.maximumPaddingSize = SettingsStore::value(group + QStringLiteral("/maximumPaddingSize")).toInt();
    return settings;
}

void FlacStreamIo::saveSettings(const FlacSettings &settings, const QString &group)
{
    SettingsStore::setValue(group + QStringLiteral("/preferredPaddingSize"),
                            QString::number(settings.preferredPaddingSize));
    SettingsStore::setValue(group + QStringLiteral("/maximumPaddingSize"), QString::number(settings.maximumPaddingSize));
}
