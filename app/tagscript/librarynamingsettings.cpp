#include "app/tagscript/librarynamingsettings.h"

#include "libcore/settings/settingsstore.h"

QString LibraryNamingSettings::folderPatternText() const
{
    QString text = subfolderPath;
    for (const QStringList &level : folder.levels) {
        if (!text.isEmpty() && !text.endsWith(u'/'))
            text += u'/';
        text += level.join(QString());
    }
    return text;
}

QString LibraryNamingSettings::filePatternText() const
{
    if (file.levels.isEmpty())
        return QString();
    return file.levels.first().join(QString());
}

void saveLibraryNamingSettings(const LibraryNamingSettings &settings, const QString &key)
{
    SettingsStore::removeChildren(key);
    SettingsStore::setValue(key + QStringLiteral("/subfolderPath"), settings.subfolderPath, 0);
    saveNamingPattern(settings.folder, key + QStringLiteral("/folder"));
    saveNamingPattern(settings.file, key + QStringLiteral("/file"));
}

LibraryNamingSettings loadLibraryNamingSettings(const QString &key)
{
    LibraryNamingSettings settings;
    settings.subfolderPath = SettingsStore::value(key + QStringLiteral("/subfolderPath"), 0);
    settings.folder = loadNamingPattern(key + QStringLiteral("/folder"));
    settings.file = loadNamingPattern(key + QStringLiteral("/file"));
    return settings;
}
