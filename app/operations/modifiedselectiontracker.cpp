#include "app/operations/modifiedselectiontracker.h"

#include <QAbstractItemModel>

#include "app/model/audiofilemodeldata.h"
#include "app/model/iaudiofilemodel.h"
#include "app/operations/compoundoperation.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "libcore/util/threads.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"

namespace {

constexpr qsizetype MaximumTypesComparedSingly = 4;

QList<TagItem *> itemsOf(const AudioTag *tag, int itemType)
{
    return tag ? tag->items(itemType) : QList<TagItem *>();
}

} // namespace

ModifiedSelectionTracker::ModifiedSelectionTracker(IAudioFileModel *model, OperationQueue *queue, QObject *parent)
    : QObject(parent), m_modifiedSelection(model)
{
    // Its children are the saved tags, one for every file changed; nobody listens for them.
    muteChildEvents(this);
    AudioFileModelData *store = model->modelData();
    connect(store, &AudioFileModelData::audioFileLoaded, this, &ModifiedSelectionTracker::onAudioFileLoaded);
    connect(store, &AudioFileModelData::audioFileAboutToBeDeleted, this,
            &ModifiedSelectionTracker::onAudioFileAboutToBeDeleted);
    connect(store, &AudioFileModelData::combinedTagReplaced, this, &ModifiedSelectionTracker::onCombinedTagReplaced);
    connect(queue, &OperationQueue::changed, this, &ModifiedSelectionTracker::onOperationQueueChanged);
    // Highlights are kept by table position, so every change of the table announces again.
    connect(model->itemModel(), SIGNAL(modelChanged()), this, SIGNAL(modifiedSelectionChanged()));
}

AudioTag *ModifiedSelectionTracker::savedTag(AudioFile *file) const
{
    const auto saved = m_savedTags.constFind(file);
    if (saved != m_savedTags.cend())
        return *saved;
    return m_files.contains(file) ? file->combinedTag() : nullptr;
}

void ModifiedSelectionTracker::markSaved(const QList<AudioFile *> &files)
{
    for (AudioFile *file : files) {
        markUnchanged(file);
        m_modifiedSelection.removeAudioFile(file);
    }
    emit modifiedSelectionChanged();
}

void ModifiedSelectionTracker::onAudioFileLoaded(AudioFile *audioFile)
{
    markUnchanged(audioFile);
}

void ModifiedSelectionTracker::onAudioFileAboutToBeDeleted(AudioFile *audioFile)
{
    delete m_savedTags.take(audioFile);
    m_files.remove(audioFile);
    m_modifiedSelection.removeAudioFile(audioFile);
}

void ModifiedSelectionTracker::onCombinedTagReplaced(AudioFile *audioFile, AudioTag *previous)
{
    // The first change since loading or saving: the tag it replaces is the saved state.
    if (!m_files.contains(audioFile) || m_savedTags.contains(audioFile))
        return;
    if (previous)
        previous->setParent(this);
    m_savedTags.insert(audioFile, previous);
}

void ModifiedSelectionTracker::onOperationQueueChanged(Operation *operation)
{
    if (operation)
        updateForOperation(operation);
    emit modifiedSelectionChanged();
}

void ModifiedSelectionTracker::markUnchanged(AudioFile *file)
{
    delete m_savedTags.take(file);
    m_files.insert(file);
}

void ModifiedSelectionTracker::updateForOperation(Operation *operation)
{
    if (auto *compound = qobject_cast<CompoundOperation *>(operation)) {
        for (Operation *child : compound->operations())
            updateForOperation(child);
        return;
    }
    auto *update = qobject_cast<ModelUpdateOperation *>(operation);
    if (!update)
        return;
    const AudioFileSelection changed = update->changedCells();
    m_modifiedSelection.subtract(changed);
    for (auto it = changed.dataTypesByFile().cbegin(); it != changed.dataTypesByFile().cend(); ++it) {
        AudioFile *file = it.key();
        const AudioTag *saved = savedTag(file);
        const AudioTag *current = file->combinedTag();
        // An update usually touches a column or two: comparing just those item types is
        // cheaper than grouping both whole tags by type.
        if (it.value().size() <= MaximumTypesComparedSingly) {
            for (const ModelDataType &dataType : it.value()) {
                if (dataType.isTagItem()
                    && !TagItem::listsEqual(itemsOf(saved, dataType.id), itemsOf(current, dataType.id)))
                    m_modifiedSelection.insertCell(file, dataType);
            }
            continue;
        }
        for (int itemType : AudioTag::differingItemTypes(saved, current)) {
            const ModelDataType dataType(ModelDataType::CategoryTagItem, itemType);
            if (it.value().contains(dataType))
                m_modifiedSelection.insertCell(file, dataType);
        }
    }
}
