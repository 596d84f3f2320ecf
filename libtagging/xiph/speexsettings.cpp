#include "libtagging/xiph/speexstreamio.h"

#include "libcore/settings/settingsstore.h"

SpeexSettings SpeexStreamIo::loadSettings(const QString &group)
{
    SpeexSettings settings;
    settings.coverArtType = SettingsStore::option<int>(group, QStringLiteral("coverArtType"));
    return settings;
}

void SpeexStreamIo::saveSettings(const SpeexSettings &settings, const QString &group)
{
    SettingsStore::setOption(group, QStringLiteral("coverArtType"), settings.coverArtType);
}
