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

void MoveFilesOperation::walk(void (Operation::*step)(), bool backwards, quint32 failureCode)
{
    bool failed = false;
    runStep([&] { (m_fileSystem->*step)(); }, failed);
    followDisk();
    if (!m_remove->files.isEmpty()) {
        Operation *first = backwards ? static_cast<Operation *>(m_insert) : m_remove;
        Operation *second = backwards ? static_cast<Operation *>(m_remove) : m_insert;
        runStep([&] { (first->*step)(); }, failed);
        runStep([&] { (second->*step)(); }, failed);
    }
    if (failed)
        throw Exception(failureCode);
}

void MoveFilesOperation::apply()
{
    walk(&Operation::apply, false, CompoundApplyFailedTextId);
}

void MoveFilesOperation::undo()
{
    walk(&Operation::undo, true, CompoundUndoFailedTextId);
}

void MoveFilesOperation::redo()
{
    walk(&Operation::redo, false, CompoundRedoFailedTextId);
}
