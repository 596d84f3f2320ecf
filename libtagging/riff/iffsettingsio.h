#pragma once

#include <QString>

#include "libcore/settings/settingsstore.h"

// RIFF and AIFF keep the same three options under their own groups.
template<typename Settings>
Settings loadIffSettings(const QString &group)
{
    const Settings defaults;
    Settings s;
    s.maximumPaddingSize = SettingsStore::option<int>(group, QStringLiteral("maximumPaddingSize"));
    // The ID3v2 writer cannot do without a version and an encoding it knows: a missing or
    // unknown one falls back to the default rather than to 0.
    s.id3Version = SettingsStore::option<int>(group, QStringLiteral("id3Version"), defaults.id3Version);
    if (s.id3Version < 2 || s.id3Version > 4)
        s.id3Version = defaults.id3Version;
    s.id3TextEncoding = SettingsStore::option<int>(group, QStringLiteral("id3TextEncoding"), defaults.id3TextEncoding);
    if (s.id3TextEncoding < 0 || s.id3TextEncoding > 6)
        s.id3TextEncoding = defaults.id3TextEncoding;
    return s;
}

template<typename Settings>
void saveIffSettings(const Settings &settings, const QString &group)
{
    SettingsStore::setOption(group, QStringLiteral("maximumPaddingSize"), settings.maximumPaddingSize);
    SettingsStore::setOption(group, QStringLiteral("id3Version"), settings.id3Version);
    SettingsStore::setOption(group, QStringLiteral("id3TextEncoding"), settings.id3TextEncoding);
}
