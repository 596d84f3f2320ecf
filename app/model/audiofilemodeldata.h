#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVariant>

#include "app/model/ibrowsable.h"
#include "app/model/modeldatatype.h"
#include "libtagging/model/audiofile.h"

class AudioFileBrowsingNode;
class AudioTag;
class MimeDataEntry;
class OperationQueue;

enum AudioFileModelDataTextId : quint32 {
    AllFilesNodeTextId = 1925312643u,
    SingleArtistNodeTextId = 2406904854u,
    VariousArtistsNodeTextId = 265179038u,
    TracksNodeTextId = 323501504u,
    TagCountMismatch = 2057917385u, // [files, tags]
    FileNotInStore = 2230731389u,   // [native path]
};

// The one owner of every opened audio file: the files it owns (loaded, or removed but kept
// while an undoable operation refers to them), the loaded ones, the displayed ones (those of
// the browse node chosen by the browse path), a cache of cell values and the browse tree.
// Model operations change it only through addAudioFiles, replaceTags and removeAudioFiles.
// GUI thread only.
class AudioFileModelData : public QObject, public IBrowsable
{
    Q_OBJECT
public:
    // The name of the root node, first in every browse path.
    static QString rootName() { return QStringLiteral("AudioFileModelData"); }

    explicit AudioFileModelData(QObject *parent = nullptr);
    ~AudioFileModelData() override;

    QSet<AudioFile *> loadedFiles() const { return m_loadedFiles; }
    QList<AudioFile *> displayedFiles() const { return m_displayedFiles; }
    QSet<AudioFile *> ownedFiles() const { return m_ownedFiles; }
    AudioFileBrowsingNode *rootNode() const { return m_rootNode; }

    QObject *browsableObject() override { return this; }
    QList<BrowsingNode *> rootNodes() const override;
    QStringList path() const override { return m_browsePath; }
    bool setPath(const QStringList &path) override;

    // Roles display, RawValueRole and SortValueRole, computed once and then served from the
    // cache; display texts have their line feeds shown as U+23CE and are cut at 128 code points.
    QVariant data(AudioFile *file, const ModelDataType &dataType, int role);
    // What copying one cell puts on the clipboard, owned by the caller; null when nothing.
    MimeDataEntry *createMimeDataEntry(AudioFile *file, const ModelDataType &dataType, QObject *parent);

    void addAudioFiles(const QList<AudioFile *> &files);
    // Gives file i a copy of tag i as its combined tag (a null tag removes all its tags) and
    // drops the cached cells of those files and data types; the browse tree is rebuilt only
    // when one of them is a type grouping looks at. Throws when the lists differ in
    // length or a file is not this store's, before anything changes.
    void replaceTags(const QList<AudioFile *> &files, const QList<AudioTag *> &tags,
                     const QList<ModelDataType> &dataTypes);
    void removeAudioFiles(const QList<AudioFile *> &files);
    // Deletes the owned files that are neither loaded nor referenced.
    void releaseUnusedAudioFiles(const QSet<AudioFile *> &referencedFiles);
    // The same with the files that an undoable or redoable operation of the queue refers to.
    void releaseUnusedAudioFiles(const OperationQueue *queue);

    bool isValidPath(const QStringList &path) const;
    void setDisplayedFiles(const QList<AudioFile *> &files);
    void updateDisplayedFiles();
    // The deepest node whose files are exactly the given ones; children searched first.
    static AudioFileBrowsingNode *findNodeOfFiles(AudioFileBrowsingNode *node, const QSet<AudioFile *> &files);
    void updatePathFromDisplayedFiles();
    // Rebuilds the browse tree from the loaded files' tags.
    void updateBrowsingNodes();

signals:
    void dataChanged() override;
    void pathChanged(const QStringList &path) override;
    void displayedFilesAboutToBeChanged();
    void displayedFilesChanged();
    void audioFileLoaded(AudioFile *audioFile);
    void audioFileAboutToBeDeleted(AudioFile *audioFile);
    // The file's combined tag was replaced; the previous one (null when it had none), without
    // a parent, is deleted after the signal unless a listener takes it over by giving it one.
    void combinedTagReplaced(AudioFile *audioFile, AudioTag *previous);

private:
    // The cache is kept per file, so that dropping one file's cells touches no other's.
    struct CellKey {
        ModelDataType dataType;
        int role = 0;
        bool operator==(const CellKey &other) const { return dataType == other.dataType && role == other.role; }
    };
    friend size_t qHash(const CellKey &key, size_t seed) noexcept { return qHash(key.dataType, seed) ^ size_t(key.role); }

    AudioFileBrowsingNode *findNode(const QStringList &path) const;

    QSet<AudioFile *> m_ownedFiles;
    QSet<AudioFile *> m_loadedFiles;
    QList<AudioFile *> m_displayedFiles;
    QHash<AudioFile *, QHash<CellKey, QVariant>> m_cellCache;
    AudioFileBrowsingNode *m_rootNode = nullptr;
    QStringList m_browsePath;
};
