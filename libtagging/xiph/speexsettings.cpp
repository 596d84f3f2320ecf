#include "libtagging/xiph/speexstreamio.h"

#include "libcore/settings/settingsstore.h"

SpeexSettings SpeexStreamIo::loadSettings(const QString &group)
{
    SpeexSettings settings;
    settings.coverArtType = SettingsStore::value(group + QStringLiteral("/coverArtType")).toInt();
    return settings;
}

void SpeexStreamIo::saveSettings(const SpeexSettings &settings, const QString &group)
{
    SettingsStore::setValue(group + QStringLiteral("/coverArtType"), QString::number(settings.coverArtType));
}
