#include "app/operations/modelinsertoperation.h"

#include "app/model/iaudiofilemodel.h"

ModelInsertOperation::ModelInsertOperation(const AudioFileSelection &selection, QObject *parent)
    : ModelOperation(selection, parent)
{
}

void ModelInsertOperation::apply()
{
    applyThroughModel(&IAudioFileModel::applyInsertOperation, this, ApplyMode::Apply);
}

void ModelInsertOperation::undo()
{
    applyThroughModel(&IAudioFileModel::applyInsertOperation, this, ApplyMode::Undo);
}

void ModelInsertOperation::redo()
{
    applyThroughModel(&IAudioFileModel::applyInsertOperation, this, ApplyMode::Redo);
}

QSet<AudioFile *> ModelInsertOperation::referencedAudioFiles() const
{
    return QSet<AudioFile *>(files.cbegin(), files.cend());
}
