#include "libtagging/xiph/opusstreamio.h"

#include "libcore/settings/settingsstore.h"

OpusSettings OpusStreamIo::loadSettings(const QString &group)
{
    OpusSettings settings;
    settings.preferredPaddingSize = SettingsStore::value(group + QStringLiteral("/preferredPaddingSize")).toInt();
    settings.maximumPaddingSize = SettingsStore::value(group + QStringLiteral("/maximumPaddingSize")).toInt();
    return settings;
}

void OpusStreamIo::saveSettings(const OpusSettings &settings, const QString &group)
{
    SettingsStore::setValue(group + QStringLiteral("/preferredPaddingSize"),
                            QString::number(settings.preferredPaddingSize));
    SettingsStore::setValue(group + QStringLiteral("/maximumPaddingSize"), QString::number(settings.maximumPaddingSize));
}
