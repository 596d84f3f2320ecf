#include "app/operations/modelremoveoperation.h"

#include "app/model/iaudiofilemodel.h"

ModelRemoveOperation::ModelRemoveOperation(const AudioFileSelection &selection, QObject *parent)
    : ModelOperation(selection, parent)
{
}

void ModelRemoveOperation::apply()
{
    if (IAudioFileModel *model = selection().model())
        model->applyRemoveOperation(this, ApplyMode::Apply);
}

void ModelRemoveOperation::undo()
{
    if (IAudioFileModel *model = selection().model())
        model->applyRemoveOperation(this, ApplyMode::Undo);
}

void ModelRemoveOperation::redo()
{
    if (IAudioFileModel *model = selection().model())
        model->applyRemoveOperation(this, ApplyMode::Redo);
}

QSet<AudioFile *> ModelRemoveOperation::referencedAudioFiles() const
{
    return QSet<AudioFile *>(files.cbegin(), files.cend());
}
