#pragma once

#include <QList>
#include <QMap>

#include "app/operations/modeloperation.h"

class AudioTag;

// A change of tags: for each touched file a snapshot of its combined tag as it was and a
// working copy that editors change. Applying gives the files copies of the working tags,
// undoing copies of the snapshots.
class ModelUpdateOperation : public ModelOperation
{
    Q_OBJECT
public:
    struct TagCopies {
        AudioTag *snapshot = nullptr; // null when the file had no combined tag
        AudioTag *working = nullptr;
    };

    explicit ModelUpdateOperation(const AudioFileSelection &selection, QObject *parent = nullptr);

    // Makes the file's pair on first access; the snapshot is taken then.
    void cloneTag(AudioFile *file);
    AudioTag *workingTag(AudioFile *file);
    AudioTag *snapshotTag(AudioFile *file);
    const QMap<AudioFile *, TagCopies> &tagCopies() const { return m_tagCopies; }
    // In the order of the files (by pointer).
    QList<AudioFile *> files() const { return m_tagCopies.keys(); }
    QList<AudioTag *> workingTags();
    QList<AudioTag *> snapshotTags() const;
    // The cells whose items differ between snapshot and working copy.
    AudioFileSelection changedCells();

    // Set by creators that want the changed cells selected already at the first apply.
    bool selectsChangedCells = false;

    void apply() override;
    void undo() override;
    void redo() override;
    QSet<AudioFile *> referencedAudioFiles() const override;

private:
    QMap<AudioFile *, TagCopies> m_tagCopies;
    bool m_changedCellsDirty = false;
    AudioFileSelection m_changedCellsCache;
};
