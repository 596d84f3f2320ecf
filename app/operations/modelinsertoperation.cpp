#include "app/operations/modelinsertoperation.h"

#include "app/model/iaudiofilemodel.h"

ModelInsertOperation::ModelInsertOperation(const AudioFileSelection &selection, QObject *parent)
    : ModelOperation(selection, parent)
{
}

void ModelInsertOperation::apply()
{
    if (IAudioFileModel *model = selection().model())
        model->applyInsertOperation(this, ApplyMode::Apply);
}

void ModelInsertOperation::undo()
{
    if (IAudioFileModel *model = selection().model())
        model->applyInsertOperation(this, ApplyMode::Undo);
}

void ModelInsertOperation::redo()
{
    if (IAudioFileModel *model = selection().model())
        model->applyInsertOperation(this, ApplyMode::Redo);
}

QSet<AudioFile *> ModelInsertOperation::referencedAudioFiles() const
{
    return QSet<AudioFile *>(files.cbegin(), files.cend());
}
