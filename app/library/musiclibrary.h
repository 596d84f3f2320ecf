#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include "app/library/duplicateresolutioncondition.h"
#include "app/tagscript/librarynamingsettings.h"
#include "libtagging/model/taggingsettings.h"

class AudioFile;
class MusicLibraryProcessingData;
class ProgressObject;

enum MusicLibraryTextId : quint32 {
    UnknownLibraryTypeTextId = 0x62ab1031u, // [type]
};

// The three choices of one addition to a library.
struct LibraryAddOptions {
    bool move = true;
    bool includeRelatedFiles = true;
    // Honoured only when moving.
    bool removeEmptyFolders = true;
};

// The choices of removing files from a library.
struct RemoveOptions {
    bool removeRelatedFiles = false;
    bool removeEmptyFolders = false;
};

// A named folder tree into which audio files are filed by naming patterns, with its duplicate
// rules. The process-wide registry of libraries (static members) holds the stored ones; their
// definitions live only in the settings store.
class MusicLibrary : public QObject
{
    Q_OBJECT
public:
    explicit MusicLibrary(QObject *parent = nullptr);
    ~MusicLibrary() override;

    // Reads or writes every field but the tagging settings below the key (no trailing slash).
    virtual void load(const QString &key);
    virtual void save(const QString &key) const;
    virtual QString type() const = 0;
    // Carries out a prepared plan; returns the planned files that were handled without error.
    virtual QList<AudioFile *> addFiles(MusicLibraryProcessingData *data, const LibraryAddOptions &options,
                                        ProgressObject *progress) = 0;
    virtual QList<AudioFile *> addFilesWithDefaultOptions(MusicLibraryProcessingData *data, ProgressObject *progress) = 0;
    // Deletes the files; returns those whose deletion succeeded.
    virtual QList<AudioFile *> removeFiles(const QList<AudioFile *> &files, RemoveOptions options,
                                           ProgressObject *progress) = 0;

    // A copy of the record (id included, tagging settings included) for a worker thread, so
    // that the thread never reads an object the GUI may edit.
    virtual MusicLibrary *clone(QObject *parent) const = 0;
    // Copies every field of the other record; conditions are copied, not shared.
    void assign(const MusicLibrary &other);

    // The registry.
    static QMap<int, MusicLibrary *> &libraries();
    static MusicLibrary *defaultLibrary();
    static void setDefaultLibrary(MusicLibrary *library);
    static QString settingsKey(int id);
    void store();
    void unregister(QObject *newParent);
    void resetToDefaults();

    int id = -1;
    QString name;
    QString rootPath;
    LibraryNamingSettings singleArtistAlbumsPattern;
    LibraryNamingSettings variousArtistAlbumsPattern;
    LibraryNamingSettings nonAlbumTracksPattern;
    bool retagFiles = true;
    TaggingSettings taggingSettings;
    int duplicateDetectionStrategy = 0;
    // Owned: deleted with the record or when replaced.
    QList<DuplicateResolutionCondition *> duplicateResolutionConditions;
    int duplicateResolutionStrategy = 0;
    QString duplicateSubfolder;

private:
    void clearConditions();
};
