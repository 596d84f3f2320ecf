#include "app/operations/modelupdateoperation.h"

#include "app/model/iaudiofilemodel.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

ModelUpdateOperation::ModelUpdateOperation(const AudioFileSelection &selection, QObject *parent)
    : ModelOperation(selection, parent), m_changedCellsCache(selection.model())
{
}

void ModelUpdateOperation::cloneTag(AudioFile *file)
{
    if (m_tagCopies.contains(file))
        return;
    TagCopies copies;
    if (const AudioTag *tag = file->tags().value(0)) {
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

void ModelUpdateOperation::apply()
{
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
    const QList<AudioFile *> keys = m_tagCopies.keys();
    return QSet<AudioFile *>(keys.cbegin(), keys.cend());
}
