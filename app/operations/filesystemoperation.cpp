#include "app/operations/filesystemoperation.h"

#include <QDir>
#include <QFileInfo>

#include "app/shell/iappmainwindow.h"
#include "libcore/io/filetree.h"
#include "libcore/io/folderwalk.h"
#include "libcore/io/paths.h"
#include "libcore/io/wholefile.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Anything at the path, a dangling link included: none of it may be replaced.
bool exists(const QString &path)
{
    const QFileInfo info(withoutTrailingSlash(path));
    return !info.filePath().isEmpty() && (info.exists() || info.isSymLink());
}

[[noreturn]] void fail(quint32 code, const QVariantList &arguments = {})
{
    throw Exception(code, arguments, true);
}

// Where a copy or move of source to target puts the item: inside the target when that is
// an existing folder, as movePath and copyPath do.
QString placedPath(const QString &source, const QString &target)
{
    const QString t = withoutTrailingSlash(target);
    if (exists(t) && isDirectory(t))
        return withTrailingSlash(t) + fileName(withoutTrailingSlash(source));
    return t;
}

// The messages of one way of making or removing a folder; a zero root code skips that check.
struct FolderTexts {
    quint32 noPath;
    quint32 root;
    quint32 existence; // exists already (making), does not exist (removing)
    quint32 condition; // parent missing (making), not empty (removing)
    quint32 done;
};

// Makes one folder level: nothing may be at the path and its parent must exist.
void makeFolder(const QString &path, const FolderTexts &texts)
{
    if (path.isEmpty())
        fail(texts.noPath);
    if (texts.root && isRootPath(path))
        fail(texts.root, {native(path)});
    if (exists(path))
        fail(texts.existence, {native(path)});
    if (!exists(parentPath(withoutTrailingSlash(path))))
        fail(texts.condition, {native(path)});
    makePath(path);
    Logger::info(texts.done, {native(path)});
}

// Removes a folder, only while it is empty.
void removeFolder(const QString &path, const FolderTexts &texts)
{
    if (path.isEmpty())
        fail(texts.noPath);
    if (texts.root && isRootPath(path))
        fail(texts.root, {native(path)});
    if (!exists(path))
        fail(texts.existence, {native(path)});
    if (!isEmptyDirectory(path))
        fail(texts.condition, {native(path)});
    removePath(path);
    Logger::info(texts.done, {native(path)});
}

} // namespace

FileSystemOperation::FileSystemOperation(QObject *parent) : Operation(parent) {}

void FileSystemOperation::add(int kind, const QVariant &first, const QVariant &second)
{
    FileSystemAction action;
    action.kind = kind;
    action.first = first;
    action.second = second;
    m_actions.append(action);
}

void FileSystemOperation::addWriteFile(const QString &path, const QByteArray &bytes)
{
    add(FileSystemAction::WriteFileAction, path, bytes);
}

void FileSystemOperation::addInertAction(const QString &path)
{
    add(FileSystemAction::InertAction, path);
}

void FileSystemOperation::addRemoveFile(const QString &path)
{
    add(FileSystemAction::RemoveFileAction, path);
}

void FileSystemOperation::addCopyFile(const QString &source, const QString &target)
{
    add(FileSystemAction::CopyAction, source, target);
}

void FileSystemOperation::addMoveFile(const QString &source, const QString &target)
{
    add(FileSystemAction::MoveAction, source, target);
}

void FileSystemOperation::addCreateFolder(const QString &path)
{
    add(FileSystemAction::CreateFolderAction, path);
}

void FileSystemOperation::addRemoveFolder(const QString &path)
{
    add(FileSystemAction::RemoveFolderAction, path);
}

void FileSystemOperation::apply()
{
    walk(false, &FileSystemOperation::applyAction, FsApplyFailedTextId);
}

void FileSystemOperation::undo()
{
    walk(true, &FileSystemOperation::undoAction, FsUndoFailedTextId);
}

void FileSystemOperation::walk(bool backwards, void (FileSystemOperation::*step)(FileSystemAction &),
                               quint32 failureCode)
{
    bool failed = false;
    const qsizetype count = m_actions.size();
    for (qsizetype k = 0; k < count; ++k) {
        FileSystemAction &action = m_actions[backwards ? count - 1 - k : k];
        try {
            (this->*step)(action);
        } catch (const Exception &) {
            // Neutralised for good: neither undo nor redo touches it again.
            action = FileSystemAction();
            failed = true;
        }
    }
    if (failed)
        fail(failureCode);
}

void FileSystemOperation::applyAction(FileSystemAction &action)
{
    const QString path = action.first.toString();
    switch (action.kind) {
    case FileSystemAction::WriteFileAction: {
        // An invalid value: the bytes were written before and not kept, so there is nothing
        // to write again (an empty array is an empty file).
        const QVariant bytes = action.second;
        if (!m_keepsContents)
            action.second = QVariant();
        if (path.isEmpty())
            fail(FsWriteNoPathTextId);
        if (exists(path))
            fail(FsWriteExistsTextId, {native(path)});
        if (!bytes.isValid())
            fail(FsWriteNoBytesTextId, {native(path)});
        writeNewFile(withoutTrailingSlash(path), bytes.toByteArray());
        Logger::info(FsWrittenTextId, {native(path)});
        break;
    }
    case FileSystemAction::RemoveFileAction:
        if (path.isEmpty())
            fail(FsRemoveFileNoPathTextId);
        if (!exists(path))
            fail(FsRemoveFileMissingTextId, {native(path)});
        // removePath would take a whole tree, which no undo of this action could bring back.
        if (QFileInfo(withoutTrailingSlash(path)).isDir() && !QFileInfo(withoutTrailingSlash(path)).isSymLink())
            fail(FsRemoveFileIsFolderTextId, {native(path)});
        if (m_keepsContents)
            action.second = readFile(withoutTrailingSlash(path));
        removePath(path);
        Logger::info(FsFileRemovedTextId, {native(path)});
        break;
    case FileSystemAction::CopyAction:
    case FileSystemAction::MoveAction: {
        const bool copy = action.kind == FileSystemAction::CopyAction;
        const QString target = action.second.toString();
        if (path.isEmpty() || target.isEmpty())
            fail(copy ? FsCopyNoPathTextId : FsMoveNoPathTextId);
        const QString placed = placedPath(path, target);
        if (copy)
            copyPath(path, target);
        else
            movePath(path, target);
        action.placed = placed;
        Logger::info(copy ? FsCopiedTextId : FsMovedTextId, {native(path), native(target)});
        break;
    }
    case FileSystemAction::CreateFolderAction:
        makeFolder(path, {FsCreateFolderNoPathTextId, FsCreateFolderRootTextId, FsCreateFolderExistsTextId,
                          FsCreateFolderNoParentTextId, FsFolderCreatedTextId});
        break;
    case FileSystemAction::RemoveFolderAction:
        removeFolder(path, {FsRemoveFolderNoPathTextId, FsRemoveFolderRootTextId, FsRemoveFolderMissingTextId,
                            FsRemoveFolderNotEmptyTextId, FsFolderRemovedTextId});
        break;
    default:
        break; // nothing to do for failed and inert actions
    }
}

void FileSystemOperation::undoAction(FileSystemAction &action)
{
    const QString path = action.first.toString();
    switch (action.kind) {
    case FileSystemAction::WriteFileAction:
        if (path.isEmpty())
            fail(FsUndoWriteNoPathTextId);
        if (!exists(path))
            fail(FsUndoWriteMissingTextId, {native(path)});
        removePath(path);
        Logger::info(FsWriteUndoneTextId, {native(path)});
        break;
    case FileSystemAction::RemoveFileAction: {
        if (path.isEmpty())
            fail(FsUndoRemoveFileNoPathTextId);
        const QByteArray bytes = action.second.toByteArray();
        if (bytes.isEmpty() && !m_keepsContents)
            fail(FsUndoRemoveFileNoBytesTextId, {native(path)});
        if (exists(path))
            fail(FsUndoRemoveFileExistsTextId, {native(path)});
        // Created, never replaced: a file that appeared at the path meanwhile stays.
        writeNewFile(withoutTrailingSlash(path), bytes);
        Logger::info(FsFileRestoredTextId, {native(path)});
        break;
    }
    case FileSystemAction::CopyAction:
    case FileSystemAction::MoveAction: {
        const bool copy = action.kind == FileSystemAction::CopyAction;
        const QString target = action.second.toString();
        if (path.isEmpty() || target.isEmpty())
            fail(copy ? FsUndoCopyNoPathTextId : FsUndoMoveNoPathTextId);
        const QString placed = action.placed.isEmpty() ? placedPath(path, target) : action.placed;
        if (copy) {
            // Without its original the copy is the only one left: it stays.
            if (!exists(path))
                fail(FsUndoCopySourceMissingTextId, {native(path), native(placed)});
            removePath(placed);
            Logger::info(FsCopyUndoneTextId, {native(path), native(placed)});
        } else {
            // Something new at the old place is neither replaced nor made to receive the item.
            if (exists(path) && placed.compare(withoutTrailingSlash(path), Qt::CaseInsensitive) != 0)
                fail(FsUndoMoveSourceExistsTextId, {native(path), native(placed)});
            movePath(placed, path);
            Logger::info(FsMoveUndoneTextId, {native(path), native(placed)});
        }
        break;
    }
    case FileSystemAction::CreateFolderAction:
        // A created folder is left in place once it holds something.
        removeFolder(path, {FsUndoCreateFolderNoPathTextId, 0, FsUndoCreateFolderMissingTextId,
                            FsUndoCreateFolderNotEmptyTextId, FsCreateFolderUndoneTextId});
        break;
    case FileSystemAction::RemoveFolderAction:
        makeFolder(path, {FsUndoRemoveFolderNoPathTextId, 0, FsUndoRemoveFolderExistsTextId,
                          FsUndoRemoveFolderNoParentTextId, FsFolderRestoredTextId});
        break;
    default:
        break;
    }
}

bool FileSystemOperation::confirm(quint32 fallbackTextId, quint32 questionTextId) const
{
    // Nobody to ask: the disk is not changed unasked.
    IAppMainWindow *window = IAppMainWindow::instance();
    if (!window)
        return false;
    const QString description = this->description().isEmpty() ? textForId(fallbackTextId) : this->description();
    QString question = textForId(questionTextId);
    argInPlace(question, description);
    return window->askQuestion(upperCaseFirst(question), QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
           == QMessageBox::Yes;
}

bool FileSystemOperation::confirmUndo()
{
    return confirm(FsUndoDescriptionTextId, FsUndoQuestionTextId);
}

bool FileSystemOperation::confirmRedo()
{
    return confirm(FsRedoDescriptionTextId, FsRedoQuestionTextId);
}
