#pragma once

#include <QList>
#include <QMap>

#include "app/operations/modeloperation.h"

class AudioTag;
class TagItem;
class UpdateSet;

// How a file's original items (the snapshot) and its new ones (the working copy) of one item
// type combine when both are present.
namespace MergeMode {
enum Id : int {
    MergeNone = 0,         // neither side
    MergeReplace = 1,      // the working copy's items
    MergeLargerImage = 2,  // artwork: per picture type, the side with the larger image
    MergeKeepExisting = 3, // the snapshot's items, unless its first item of the type is empty
    MergeKeepBoth = 4,     // artwork: per picture type, the snapshot's images, then the new ones
};
}

enum ModelUpdateOperationTextId : quint32 {
    ManyDataTypesDescriptionTextId = 0x0F0AC303u, // [files caption]
    DataTypesDescriptionTextId = 0x7AAD7533u,     // [data types, files caption]
};

// A change of tags: for each touched file a snapshot of its combined tag as it was and a
// working copy that editors change. Applying gives the files copies of the working tags,
// undoing copies of the snapshots. The operation is filled before it is applied; afterwards
// its tags stay as they are.
class ModelUpdateOperation : public ModelOperation
{
    Q_OBJECT
public:
    struct TagCopies {
        AudioTag *snapshot = nullptr; // null when the file had no combined tag
        AudioTag *working = nullptr;
    };

    explicit ModelUpdateOperation(const AudioFileSelection &selection, QObject *parent = nullptr);

    // Makes the file's pair on first access; the snapshot is taken then, not at apply.
    void cloneTag(AudioFile *file);
    // The same object on every call for one file. The caller may change it, so the changed
    // cells are computed afresh on the next request.
    AudioTag *workingTag(AudioFile *file);
    AudioTag *snapshotTag(AudioFile *file);
    const QMap<AudioFile *, TagCopies> &tagCopies() const { return m_tagCopies; }
    // In the order of the files (by pointer), which every list below follows.
    QList<AudioFile *> files() const { return m_tagCopies.keys(); }
    QList<AudioTag *> workingTags();
    QList<AudioTag *> snapshotTags() const;
    void clearTagCopies();
    // The cells whose items differ between snapshot and working copy.
    AudioFileSelection changedCells();

    // Without making an entry: empty when the file has none (or no snapshot).
    QList<TagItem *> workingItems(AudioFile *file, int itemType) const;
    QList<TagItem *> snapshotItems(AudioFile *file, int itemType) const;
    bool isCellChanged(AudioFile *file, const ModelDataType &dataType) const;

    // The items the file would get for the item type under the merge mode; they still
    // belong to the snapshot or the working copy.
    QList<TagItem *> mergedItems(AudioFile *file, int itemType, int mergeMode) const;
    // Whether merging under the mode would change the file's value of the data type.
    bool mergeChangesItems(AudioFile *file, const ModelDataType &dataType, int mergeMode) const;
    // Replaces every working copy's items of the data type by the merge result.
    void applyMergeMode(const ModelDataType &dataType, int mergeMode);
    // Keeps only the changes the set allows, each merged by its mode; the default set keeps
    // every change and merges the artwork by image size.
    void restrictToUpdateSet(const UpdateSet &set);
    // The same for the working copies of these files only. Merging is not idempotent (keeping
    // both sides' pictures adds the snapshot's again on every pass), so callers that fill an
    // operation in batches restrict each batch's files once.
    void restrictToUpdateSet(const UpdateSet &set, const QList<AudioFile *> &files);

    // Set by creators that want the changed cells selected already at the first apply.
    bool selectsChangedCells = false;

    // Composes the description when none was set.
    void apply() override;
    void undo() override;
    void redo() override;
    QSet<AudioFile *> referencedAudioFiles() const override;

private:
    void composeDescription();

    QMap<AudioFile *, TagCopies> m_tagCopies;
    bool m_changedCellsDirty = false;
    AudioFileSelection m_changedCellsCache;
};
