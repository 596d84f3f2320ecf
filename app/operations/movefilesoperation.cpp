#include "app/operations/movefilesoperation.h"

#include "app/operations/filesystemoperation.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/modelremoveoperation.h"
#include "libcore/log/exception.h"
#include "libtagging/model/audiofile.h"

namespace {

// Runs one step, noting an Exception (already logged by whoever threw it).
template<typename Step>
void runStep(Step step, bool &failed)
{
    try {
        step();
    } catch (const Exception &) {
        failed = true;
    }
}

} // namespace

MoveFilesOperation::MoveFilesOperation(const AudioFileSelection &selection, QObject *parent)
    : CompoundOperation(parent),
      m_remove(new ModelRemoveOperation(selection)),
      m_fileSystem(new FileSystemOperation),
      m_insert(new ModelInsertOperation(selection))
{
    addOperation(m_remove);
    addOperation(m_fileSystem);
    addOperation(m_insert);
}

void MoveFilesOperation::addMove(AudioFile *oldFile, AudioFile *newFile)
{
    if (!oldFile || !newFile)
        return;
    if (!newFile->parent())
        newFile->setParent(this);
    m_moves.append({oldFile, newFile, int(m_fileSystem->actions().size())});
    m_fileSystem->addMoveFile(oldFile->filePath(), newFile->filePath());
}

void MoveFilesOperation::followDisk()
{
    const QList<FileSystemAction> &actions = m_fileSystem->actions();
    m_remove->files.clear();
    m_insert->files.clear();
    for (const Move &move : std::as_const(m_moves)) {
        // A failed action has become NoAction, for good.
        if (actions.value(move.action).kind != FileSystemAction::MoveAction)
            continue;
        m_remove->files.append(move.oldFile);
        m_insert->files.append(move.newFile);
    }
}

void MoveFilesOperation::apply()
{
    bool failed = false;
    runStep([this] { m_fileSystem->apply(); }, failed);
    followDisk();
    if (!m_remove->files.isEmpty()) {
        runStep([this] { m_remove->apply(); }, failed);
        runStep([this] { m_insert->apply(); }, failed);
    }
    if (failed)
        throw Exception(CompoundApplyFailedTextId);
}

void MoveFilesOperation::undo()
{
    bool failed = false;
    runStep([this] { m_fileSystem->undo(); }, failed);
    followDisk();
    if (!m_remove->files.isEmpty()) {
        runStep([this] { m_insert->undo(); }, failed);
        runStep([this] { m_remove->undo(); }, failed);
    }
    if (failed)
        throw Exception(CompoundUndoFailedTextId);
}

void MoveFilesOperation::redo()
{
    bool failed = false;
    runStep([this] { m_fileSystem->redo(); }, failed);
    followDisk();
    if (!m_remove->files.isEmpty()) {
        runStep([this] { m_remove->redo(); }, failed);
        runStep([this] { m_insert->redo(); }, failed);
    }
    if (failed)
        throw Exception(CompoundRedoFailedTextId);
}
