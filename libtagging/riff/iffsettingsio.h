#pragma once

#include <QString>

#include "libcore/settings/settingsstore.h"

// RIFF and AIFF keep the same three options under their own groups.
template<typename Settings>
Settings loadIffSettings(const QString &group)
{
    const Settings defaults;
    const QString prefix = group + u'/';
    Settings s;
    s.maximumPaddingSize = SettingsStore::value(prefix + QStringLiteral("maximumPaddingSize")).toInt();
    // The ID3v2 writer cannot do without a version and an encoding it knows: a missing or
    // unknown one falls back to the default rather than to 0.
    bool ok = false;
    s.id3Version = SettingsStore::value(prefix + QStringLiteral("id3Version")).toInt(&ok);
    if (!ok || s.id3Version < 2 || s.id3Version > 4)
        s.id3Version = defaults.id3Version;
    s.id3TextEncoding = SettingsStore::value(prefix + QStringLiteral("id3TextEncoding")).toInt(&ok);
    if (!ok || s.id3TextEncoding < 0 || s.id3TextEncoding > 6)
        s.id3TextEncoding = defaults.id3TextEncoding;
    return s;
}

template<typename Settings>
void saveIffSettings(const Settings &settings, const QString &group)
{
    const QString prefix = group + u'/';
    SettingsStore::setValue(prefix + QStringLiteral("maximumPaddingSize"), QString::number(settings.maximumPaddingSize));
    SettingsStore::setValue(prefix + QStringLiteral("id3Version"), QString::number(settings.id3Version));
    SettingsStore::setValue(prefix + QStringLiteral("id3TextEncoding"), QString::number(settings.id3TextEncoding));
}
