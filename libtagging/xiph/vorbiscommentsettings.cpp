#include "libtagging/xiph/vorbiscommenttagio.h"

#include "libcore/settings/settingsstore.h"

VorbisCommentSettings VorbisCommentTagIo::loadSettings(const QString &group)
{
    VorbisCommentSettings settings;
    settings.coverArtType = SettingsStore::option<int>(group, QStringLiteral("coverArtType"));
    return settings;
}

void VorbisCommentTagIo::saveSettings(const VorbisCommentSettings &settings, const QString &group)
{
    SettingsStore::setOption(group, QStringLiteral("coverArtType"), settings.coverArtType);
}
