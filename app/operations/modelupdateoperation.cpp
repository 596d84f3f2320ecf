#include "app/operations/modelupdateoperation.h"

#include <algorithm>

#include "app/identification/updateset.h"
#include "app/model/iaudiofilemodel.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libcore/util/threads.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

namespace {

constexpr int MaximumListedDataTypes = 5;

// The largest pixel count among the pictures; -1 for none. A picture of unknown size
// (-1 by -1) counts 1, so it still beats an empty side.
qint64 largestImageArea(const QList<ArtworkTagItem *> &items)
{
    qint64 largest = -1;
    for (const ArtworkTagItem *item : items)
        largest = std::max(largest, qint64(item->image().width) * qint64(item->image().height));
    return largest;
}

QList<TagItem *> itemsOf(const AudioTag *tag, int itemType)
{
    return tag ? tag->items(itemType) : QList<TagItem *>();
}

void appendArtwork(QList<TagItem *> &list, const QList<ArtworkTagItem *> &items)
{
    for (ArtworkTagItem *item : items)
        list.append(item);
}

QList<TagItem *> clonedItems(const QList<TagItem *> &items, QObject *parent)
{
    QList<TagItem *> clones;
    clones.reserve(items.size());
    for (const TagItem *item : items)
        clones.append(item->clone(parent));
    return clones;
}

} // namespace

ModelUpdateOperation::ModelUpdateOperation(const AudioFileSelection &selection, QObject *parent)
    : ModelOperation(selection, parent), m_changedCellsCache(selection.model())
{
    // Its children are the tag copies, two for every file; nothing handles child events here,
    // and one would be sent for every copy made and deleted.
    muteChildEvents(this);
}

void ModelUpdateOperation::cloneTag(AudioFile *file)
{
    if (m_tagCopies.contains(file))
        return;
    TagCopies copies;
    if (const AudioTag *tag = file->combinedTag()) {
        copies.snapshot = tag->clone(this);
        copies.working = tag->clone(this);
    } else {
        copies.working = new AudioTag(this);
    }
    m_tagCopies.insert(file, copies);
}

AudioTag *ModelUpdateOperation::workingTag(AudioFile *file)
{
    m_changedCellsDirty = true;
    cloneTag(file);
    return m_tagCopies.value(file).working;
}

AudioTag *ModelUpdateOperation::snapshotTag(AudioFile *file)
{
    cloneTag(file);
    return m_tagCopies.value(file).snapshot;
}

QList<AudioTag *> ModelUpdateOperation::workingTags()
{
    m_changedCellsDirty = true;
    QList<AudioTag *> tags;
    for (const TagCopies &copies : std::as_const(m_tagCopies))
        tags.append(copies.working);
    return tags;
}

QList<AudioTag *> ModelUpdateOperation::snapshotTags() const
{
    QList<AudioTag *> tags;
    for (const TagCopies &copies : m_tagCopies)
        tags.append(copies.snapshot);
    return tags;
}

void ModelUpdateOperation::clearTagCopies()
{
    m_changedCellsDirty = true;
    for (const TagCopies &copies : std::as_const(m_tagCopies)) {
        delete copies.snapshot;
        delete copies.working;
    }
    m_tagCopies.clear();
}

AudioFileSelection ModelUpdateOperation::changedCells()
{
    if (m_changedCellsDirty) {
        m_changedCellsDirty = false;
        m_changedCellsCache.clear();
        for (auto it = m_tagCopies.cbegin(); it != m_tagCopies.cend(); ++it) {
            for (int itemType : AudioTag::differingItemTypes(it->snapshot, it->working))
                m_changedCellsCache.insertCell(it.key(), ModelDataType(ModelDataType::CategoryTagItem, itemType));
        }
    }
    return m_changedCellsCache;
}

QList<TagItem *> ModelUpdateOperation::workingItems(AudioFile *file, int itemType) const
{
    return itemsOf(m_tagCopies.value(file).working, itemType);
}

QList<TagItem *> ModelUpdateOperation::snapshotItems(AudioFile *file, int itemType) const
{
    return itemsOf(m_tagCopies.value(file).snapshot, itemType);
}

bool ModelUpdateOperation::isCellChanged(AudioFile *file, const ModelDataType &dataType) const
{
    if (!dataType.isTagItem())
        return false;
    return !TagItem::listsEqual(snapshotItems(file, dataType.id), workingItems(file, dataType.id));
}

QList<TagItem *> ModelUpdateOperation::mergedItems(AudioFile *file, int itemType, int mergeMode) const
{
    const auto entry = m_tagCopies.constFind(file);
    if (entry == m_tagCopies.cend())
        return {};
    const AudioTag *snapshot = entry->snapshot;
    const AudioTag *working = entry->working;
    if (!snapshot || !working)
        return itemsOf(snapshot ? snapshot : working, itemType);

    if (itemType == ArtworkTagItem::Type) {
        const QList<int> oldTypes = snapshot->pictureTypes();
        const QList<int> newTypes = working->pictureTypes();
        QList<TagItem *> result;
        for (int pictureType : ArtworkTagItem::pictureTypeOrder()) {
            const bool inOld = oldTypes.contains(pictureType);
            const bool inNew = newTypes.contains(pictureType);
            if (!inOld && !inNew)
                continue;
            const QList<ArtworkTagItem *> oldItems = snapshot->artworkOfPictureType(pictureType);
            const QList<ArtworkTagItem *> newItems = working->artworkOfPictureType(pictureType);
            if (!inNew) {
                appendArtwork(result, oldItems);
                continue;
            }
            if (!inOld) {
                appendArtwork(result, newItems);
                continue;
            }
            switch (mergeMode) {
            case MergeMode::MergeReplace:
                appendArtwork(result, newItems);
                break;
            case MergeMode::MergeLargerImage:
                appendArtwork(result, largestImageArea(oldItems) > largestImageArea(newItems) ? oldItems : newItems);
                break;
            case MergeMode::MergeKeepExisting:
                appendArtwork(result, oldItems);
                break;
            case MergeMode::MergeKeepBoth:
                appendArtwork(result, oldItems);
                appendArtwork(result, newItems);
                break;
            default:
                break;
            }
        }
        return result;
    }

    switch (mergeMode) {
    case MergeMode::MergeReplace:
        return working->items(itemType);
    case MergeMode::MergeKeepExisting: {
        const QList<TagItem *> existing = snapshot->items(itemType);
        return !existing.isEmpty() && !existing.first()->isEmpty() ? existing : working->items(itemType);
    }
    default:
        return {};
    }
}

bool ModelUpdateOperation::mergeChangesItems(AudioFile *file, const ModelDataType &dataType, int mergeMode) const
{
    if (!dataType.isTagItem())
        return false;
    return !TagItem::listsEqual(snapshotItems(file, dataType.id), mergedItems(file, dataType.id, mergeMode));
}

void ModelUpdateOperation::applyMergeMode(const ModelDataType &dataType, int mergeMode)
{
    if (!dataType.isTagItem())
        return;
    m_changedCellsDirty = true;
    for (auto it = m_tagCopies.cbegin(); it != m_tagCopies.cend(); ++it) {
        // Cloned before the working copy changes: some of the merged items are its own.
        AudioTag *working = it->working;
        working->setItems(dataType.id, clonedItems(mergedItems(it.key(), dataType.id, mergeMode), working));
    }
}

void ModelUpdateOperation::restrictToUpdateSet(const UpdateSet &set)
{
    restrictToUpdateSet(set, m_tagCopies.keys());
}

void ModelUpdateOperation::restrictToUpdateSet(const UpdateSet &set, const QList<AudioFile *> &files)
{
    m_changedCellsDirty = true;
    QObject temporary;
    for (AudioFile *file : files) {
        const auto it = m_tagCopies.constFind(file);
        if (it == m_tagCopies.cend())
            continue;
        AudioTag *working = it->working;
        if (set.id == UpdateSet::DefaultSetId) {
            const int artwork = TagItemType::Artwork;
            working->setItems(artwork, clonedItems(mergedItems(file, artwork, MergeMode::MergeLargerImage), working));
            continue;
        }
        AudioTag *result = it->snapshot ? it->snapshot->clone(&temporary) : new AudioTag(&temporary);
        for (auto mode = set.dataTypes.cbegin(); mode != set.dataTypes.cend(); ++mode) {
            if (!mode.key().isTagItem())
                continue;
            const int itemType = mode.key().id;
            result->setItems(itemType, clonedItems(mergedItems(file, itemType, mode.value()), result));
        }
        working->clear();
        working->takeAllItems(result);
    }
}

void ModelUpdateOperation::composeDescription()
{
    const AudioFileSelection changed = changedCells();
    const QList<AudioFile *> changedFiles = changed.dataTypesByFile().keys();
    const QString filesCaption = AudioFile::filesCaption(changedFiles);
    // Listed in column order rather than in the selection's hash order, which changes from
    // run to run.
    QList<ModelDataType> dataTypes = changed.filesByDataType().keys();
    std::sort(dataTypes.begin(), dataTypes.end());
    if (dataTypes.size() > MaximumListedDataTypes) {
        setDescription(fillPlaceholders(textForId(ManyDataTypesDescriptionTextId), {filesCaption}));
        return;
    }
    QStringList names;
    for (const ModelDataType &dataType : std::as_const(dataTypes))
        names.append(dataTypeDisplayName(dataType));
    const QString enumeration = fillPlaceholders(listPattern(int(dataTypes.size())), names);
    setDescription(fillPlaceholders(textForId(DataTypesDescriptionTextId), {enumeration, filesCaption}));
}

void ModelUpdateOperation::apply()
{
    if (description().isEmpty())
        composeDescription();
    applyThroughModel(&IAudioFileModel::applyUpdateOperation, this, ApplyMode::Apply);
}

void ModelUpdateOperation::undo()
{
    applyThroughModel(&IAudioFileModel::applyUpdateOperation, this, ApplyMode::Undo);
}

void ModelUpdateOperation::redo()
{
    applyThroughModel(&IAudioFileModel::applyUpdateOperation, this, ApplyMode::Redo);
}

QSet<AudioFile *> ModelUpdateOperation::referencedAudioFiles() const
{
    QSet<AudioFile *> files;
    files.reserve(m_tagCopies.size());
    for (auto it = m_tagCopies.keyBegin(); it != m_tagCopies.keyEnd(); ++it)
        files.insert(*it);
    return files;
}
