#include "libtagging/xiph/vorbisstreamio.h"

#include "libcore/settings/settingsstore.h"

VorbisSettings VorbisStreamIo::loadSettings(const QString &group)
{
    VorbisSettings settings;
    settings.coverArtType = SettingsStore::value(group + QStringLiteral("/coverArtType")).toInt();
    return settings;
}

void VorbisStreamIo::saveSettings(const VorbisSettings &settings, const QString &group)
{
    SettingsStore::setValue(group + QStringLiteral("/coverArtType"), QString::number(settings.coverArtType));
}
