#include "libtagging/xiph/vorbiscommenttagio.h"

#include "libcore/settings/settingsstore.h"

VorbisCommentSettings VorbisCommentTagIo::loadSettings(const QString &group)
{
    VorbisCommentSettings settings;
    settings.coverArtType = SettingsStore::value(group + QStringLiteral("/coverArtType")).toInt();
    return settings;
}

void VorbisCommentTagIo::saveSettings(const VorbisCommentSettings &settings, const QString &group)
{
    SettingsStore::setValue(group + QStringLiteral("/coverArtType"), QString::number(settings.coverArtType));
}
