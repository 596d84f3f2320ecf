#include "app/library/musiclibrary.h"

#include <QDir>

#include "app/library/fsmusiclibrary.h"
#include "libcore/io/paths.h"
#include "libcore/log/logger.h"
#include "libcore/settings/settingsstore.h"

namespace {

const QString LibraryListKey = QStringLiteral("libraries/library");
const QString NextIdKey = QStringLiteral("libraries/nextId");
const QString DefaultLibraryKey = QStringLiteral("libraries/defaultLibrary");
const QString TemplateKey = QStringLiteral("library/defaultSettings");
const QString ConditionListKey = QStringLiteral("duplicate/resolution/conditions/condition");

QString child(const QString &key, const char *relative)
{
    return key + QLatin1Char('/') + QLatin1String(relative);
}

QString entryKey(const QString &list, int index)
{
    return QStringLiteral("%1[%2]").arg(list).arg(index);
}

QString conditionKey(const QString &key, int index)
{
    return QStringLiteral("%1/%2[%3]").arg(key, ConditionListKey).arg(index);
}

// The folder "Music" in the home folder when it exists, else the home folder.
QString defaultMusicFolder()
{
    const QString home = fromNativeSeparators(QDir::homePath());
    const QString music = withTrailingSlash(home) + QStringLiteral("Music");
    return isDirectory(music) ? music : home;
}

} // namespace

MusicLibrary::MusicLibrary(QObject *parent) : QObject(parent)
{
}

MusicLibrary::~MusicLibrary()
{
    clearConditions();
}

void MusicLibrary::clearConditions()
{
    qDeleteAll(duplicateResolutionConditions);
    duplicateResolutionConditions.clear();
}

void MusicLibrary::assign(const MusicLibrary &other)
{
    if (&other == this)
        return;
    id = other.id;
    name = other.name;
    rootPath = other.rootPath;
    singleArtistAlbumsPattern = other.singleArtistAlbumsPattern;
    variousArtistAlbumsPattern = other.variousArtistAlbumsPattern;
    nonAlbumTracksPattern = other.nonAlbumTracksPattern;
    retagFiles = other.retagFiles;
    taggingSettings = other.taggingSettings;
    duplicateDetectionStrategy = other.duplicateDetectionStrategy;
    clearConditions();
    for (const DuplicateResolutionCondition *condition : other.duplicateResolutionConditions)
        duplicateResolutionConditions.append(new DuplicateResolutionCondition(*condition));
    duplicateResolutionStrategy = other.duplicateResolutionStrategy;
    duplicateSubfolder = other.duplicateSubfolder;
}

void MusicLibrary::load(const QString &key)
{
    id = SettingsStore::value(child(key, "id")).toInt();
    name = SettingsStore::value(child(key, "name"));
    rootPath = SettingsStore::value(child(key, "rootPath"));
    singleArtistAlbumsPattern = loadLibraryNamingSettings(child(key, "pattern/singleArtistAlbums"));
    variousArtistAlbumsPattern = loadLibraryNamingSettings(child(key, "pattern/variousArtistAlbums"));
    nonAlbumTracksPattern = loadLibraryNamingSettings(child(key, "pattern/nonAlbumTracks"));
    retagFiles = SettingsStore::boolValue(child(key, "retagFiles"));
    duplicateDetectionStrategy = SettingsStore::value(child(key, "duplicate/detection/strategy")).toInt();
    clearConditions();
    const int conditions = SettingsStore::count(key + QLatin1Char('/') + ConditionListKey);
    for (int i = 0; i < conditions; ++i)
        duplicateResolutionConditions.append(new DuplicateResolutionCondition(DuplicateResolutionCondition::load(conditionKey(key, i))));
    duplicateResolutionStrategy = SettingsStore::value(child(key, "duplicate/resolution/strategy")).toInt();
    duplicateSubfolder = SettingsStore::value(child(key, "duplicate/subfolder"));
}

void MusicLibrary::save(const QString &key) const
{
    SettingsStore::setValue(child(key, "id"), QString::number(id));
    SettingsStore::setValue(child(key, "type"), type());
    SettingsStore::setValue(child(key, "name"), name);
    SettingsStore::setValue(child(key, "rootPath"), rootPath);
    saveLibraryNamingSettings(singleArtistAlbumsPattern, child(key, "pattern/singleArtistAlbums"));
    saveLibraryNamingSettings(variousArtistAlbumsPattern, child(key, "pattern/variousArtistAlbums"));
    saveLibraryNamingSettings(nonAlbumTracksPattern, child(key, "pattern/nonAlbumTracks"));
    SettingsStore::setValue(child(key, "retagFiles"), retagFiles ? QStringLiteral("true") : QStringLiteral("false"));
    SettingsStore::setValue(child(key, "duplicate/detection/strategy"), QString::number(duplicateDetectionStrategy));
    for (int i = 0; i < duplicateResolutionConditions.size(); ++i)
        duplicateResolutionConditions.at(i)->save(conditionKey(key, i));
    SettingsStore::setValue(child(key, "duplicate/resolution/strategy"), QString::number(duplicateResolutionStrategy));
    SettingsStore::setValue(child(key, "duplicate/subfolder"), duplicateSubfolder);
}

QMap<int, MusicLibrary *> &MusicLibrary::libraries()
{
    // The registry owns what its map holds and releases it at exit.
    struct Registry {
        QMap<int, MusicLibrary *> map;
        bool loaded = false;
        ~Registry() { qDeleteAll(map); }
    };
    static Registry registry;
    QMap<int, MusicLibrary *> &map = registry.map;
    if (!registry.loaded) {
        registry.loaded = true;
        const int count = SettingsStore::count(LibraryListKey);
        for (int i = 0; i < count; ++i) {
            const QString key = entryKey(LibraryListKey, i);
            const QString type = SettingsStore::value(key + QStringLiteral("/type"));
            if (type == QLatin1String("fs")) {
                auto *library = new FsMusicLibrary;
                library->load(key);
                map.insert(library->id, library);
            } else {
                Logger::warning(UnknownLibraryTypeTextId, {type});
            }
        }
    }
    return map;
}

MusicLibrary *MusicLibrary::defaultLibrary()
{
    if (SettingsStore::count(DefaultLibraryKey) <= 0)
        return nullptr;
    return libraries().value(SettingsStore::value(DefaultLibraryKey).toInt(), nullptr);
}

void MusicLibrary::setDefaultLibrary(MusicLibrary *library)
{
    if (library)
        SettingsStore::setValue(DefaultLibraryKey, QString::number(library->id));
    else
        SettingsStore::remove(DefaultLibraryKey);
}

QString MusicLibrary::settingsKey(int id)
{
    const int count = SettingsStore::count(LibraryListKey);
    for (int i = 0; i < count; ++i) {
        const QString key = entryKey(LibraryListKey, i);
        if (SettingsStore::value(key + QStringLiteral("/id")).toInt() == id)
            return key;
    }
    return QString();
}

void MusicLibrary::store()
{
    setParent(nullptr);
    QString key;
    if (id == -1) {
        id = 1;
        if (SettingsStore::count(NextIdKey) > 0) {
            const int next = SettingsStore::value(NextIdKey).toInt();
            if (next >= 1)
                id = next;
        }
        SettingsStore::setValue(NextIdKey, QString::number(id + 1));
        libraries().insert(id, this);
        key = entryKey(LibraryListKey, SettingsStore::count(LibraryListKey));
    } else {
        key = settingsKey(id);
    }
    if (key.isEmpty())
        return;
    SettingsStore::removeChildren(key);
    save(key);
}

void MusicLibrary::unregister(QObject *newParent)
{
    setParent(newParent);
    if (id == -1)
        return;
    libraries().remove(id);
    const QString key = settingsKey(id);
    if (!key.isEmpty())
        SettingsStore::remove(key);
    id = -1;
}

void MusicLibrary::resetToDefaults()
{
    const int kept = id;
    load(TemplateKey);
    id = kept;
    rootPath = withTrailingSlash(defaultMusicFolder()) + sanitizeFileName(name);
}
