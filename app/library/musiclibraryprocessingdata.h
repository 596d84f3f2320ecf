#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

class AudioFile;
class DuplicateGroup;
class MusicLibrary;
class ProgressObject;
struct DuplicateSet;

enum MusicLibraryProcessingTextId : quint32 {
    LibraryRootNotAbsoluteTextId = 0x1bf78a44u, // [library name, native root path]
};

// The plan of one addition of audio files to a library, worked out before anything on disk
// changes: the target of every file, the related files travelling with them and the
// duplicates among the new files and the library's files.
class MusicLibraryProcessingData : public QObject
{
    Q_OBJECT
public:
    MusicLibraryProcessingData(const QList<AudioFile *> &files, QObject *parent = nullptr);

    // Fills every member; stops after a stage when the progress was cancelled.
    void prepare(MusicLibrary *library, ProgressObject *progress);
    void computeTargets(MusicLibrary *library, ProgressObject *progress);
    void collectRelatedFiles(ProgressObject *progress);
    void detectDuplicates(MusicLibrary *library, ProgressObject *progress);

    bool isDiscardedDuplicate(AudioFile *file) const;
    bool isDiscardedDuplicate(const QString &path) const;
    QList<AudioFile *> duplicatesOf(AudioFile *file) const;
    // The targets without the files that lose as duplicates.
    QMap<AudioFile *, QString> effectiveTargets() const;

    // The suffixes of related files (covers, cue sheets, logs), from "relatedFiles/suffix".
    static QStringList relatedFileSuffixes();

    // Not owned: they belong to the file list.
    QList<AudioFile *> files;
    QMap<AudioFile *, QString> targetPaths;
    QMap<QString, QString> relatedFiles;
    // Children of the plan.
    QList<DuplicateGroup *> duplicateGroups;

private:
    const DuplicateSet *setOf(AudioFile *file) const;
    void indexSets();

    // Built once the groups are complete, so that lookups stay cheap for large additions.
    QHash<AudioFile *, const DuplicateSet *> m_setByFile;
};
