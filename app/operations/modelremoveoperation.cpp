#include "app/operations/modelremoveoperation.h"

#include "app/model/iaudiofilemodel.h"

ModelRemoveOperation::ModelRemoveOperation(const AudioFileSelection &selection, QObject *parent)
    : ModelOperation(selection, parent)
{
}

void ModelRemoveOperation::apply()
{
    applyThroughModel(&IAudioFileModel::applyRemoveOperation, this, ApplyMode::Apply);
}

void ModelRemoveOperation::undo()
{
    applyThroughModel(&IAudioFileModel::applyRemoveOperation, this, ApplyMode::Undo);
}

void ModelRemoveOperation::redo()
{
    applyThroughModel(&IAudioFileModel::applyRemoveOperation, this, ApplyMode::Redo);
}

QSet<AudioFile *> ModelRemoveOperation::referencedAudioFiles() const
{
    return QSet<AudioFile *>(files.cbegin(), files.cend());
}
