#include "libtagging/xiph/vorbisstreamio.h"

#include "libcore/settings/settingsstore.h"

VorbisSettings VorbisStreamIo::loadSettings(const QString &group)
{
    VorbisSettings settings;
    settings.coverArtType = SettingsStore::option<int>(group, QStringLiteral("coverArtType"));
    return settings;
}

void VorbisStreamIo::saveSettings(const VorbisSettings &settings, const QString &group)
{
    SettingsStore::setOption(group, QStringLiteral("coverArtType"), settings.coverArtType);
}
