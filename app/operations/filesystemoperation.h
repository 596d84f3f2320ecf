#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include "app/operations/operation.h"

enum FileSystemOperationTextId : quint32 {
    FsApplyFailedTextId = 0x4D466F7Au,
    FsUndoFailedTextId = 0x5DCE044Eu,
    FsUndoMoveSourceExistsTextId = 0xCBA9B683u, // [source, moved item]
    // Applying, by action kind.
    FsWriteNoPathTextId = 0xCE53F4D8u,
    FsWriteExistsTextId = 0x50462F81u,        // [path]
    FsWrittenTextId = 0xF2925182u,            // [path]
    FsWriteNoBytesTextId = 0x809CE989u,       // [path]
    FsRemoveFileNoPathTextId = 0xA3E4C330u,
    FsRemoveFileMissingTextId = 0x7B23A5EFu,  // [path]
    FsFileRemovedTextId = 0x390DC5D8u,        // [path]
    FsRemoveFileIsFolderTextId = 0xD7C1E48Fu, // [path]
    FsCopyNoPathTextId = 0xA24359ECu,
    FsCopiedTextId = 0xAC3333DFu,             // [source, target]
    FsMoveNoPathTextId = 0xA69C091Fu,
    FsMovedTextId = 0x648721CEu,              // [source, target]
    FsCreateFolderNoPathTextId = 0xCF99D42Du,
    FsCreateFolderRootTextId = 0x5305688Du,   // [path]
    FsCreateFolderExistsTextId = 0xCD85D3E9u, // [path]
    FsCreateFolderNoParentTextId = 0xEC6696C7u, // [path]
    FsFolderCreatedTextId = 0x9D143D9Du,      // [path]
    FsRemoveFolderNoPathTextId = 0x6899FB68u,
    FsRemoveFolderRootTextId = 0x3BFCA9F0u,   // [path]
    FsRemoveFolderMissingTextId = 0x0DDC76C8u, // [path]
    FsRemoveFolderNotEmptyTextId = 0xF0B77C41u, // [path]
    FsFolderRemovedTextId = 0x56C52B47u,      // [path]
    // Undoing, by action kind.
    FsUndoWriteNoPathTextId = 0x1EBA2E83u,
    FsUndoWriteMissingTextId = 0x5E4797C2u,   // [path]
    FsWriteUndoneTextId = 0x88F2D6F4u,        // [path]
    FsUndoRemoveFileNoPathTextId = 0xBEDFA096u,
    FsUndoRemoveFileNoBytesTextId = 0x9A40A33Bu, // [path]
    FsUndoRemoveFileExistsTextId = 0x2B30FAEEu,  // [path]
    FsFileRestoredTextId = 0xA47B6272u,       // [path]
    FsUndoCopyNoPathTextId = 0xFE07CC51u,
    FsUndoCopySourceMissingTextId = 0x66C080BFu, // [source, copy]
    FsCopyUndoneTextId = 0x0D44F43Au,         // [source, copy]
    FsUndoMoveNoPathTextId = 0xA56F2610u,
    FsMoveUndoneTextId = 0x29DB21F6u,         // [source, moved item]
    FsUndoCreateFolderNoPathTextId = 0xAC684EC5u,
    FsUndoCreateFolderMissingTextId = 0xCF8F5419u,  // [path]
    FsUndoCreateFolderNotEmptyTextId = 0x699FE92Cu, // [path]
    FsCreateFolderUndoneTextId = 0xB75BA740u, // [path]
    FsUndoRemoveFolderNoPathTextId = 0x30387438u,
    FsUndoRemoveFolderExistsTextId = 0x20DF6371u,   // [path]
    FsUndoRemoveFolderNoParentTextId = 0xB547BF2Fu, // [path]
    FsFolderRestoredTextId = 0x63905BADu,     // [path]
    // Confirmations: the fallback description and the question ([description]).
    FsUndoDescriptionTextId = 0xF30A387Cu,
    FsUndoQuestionTextId = 0xBF717970u,
    FsRedoDescriptionTextId = 0xB83B34E4u,
    FsRedoQuestionTextId = 0xD2FFF5EAu,
};

// One step of a file-system operation. `first` is the path worked on (the source of a copy
// or move), `second` the target of a copy or move or the bytes of a written or removed file.
struct FileSystemAction {
    enum Kind : int {
        NoAction = 0, // an action that failed; never run again
        WriteFileAction = 1,
        InertAction = 2,
        RemoveFileAction = 3,
        CopyAction = 4,
        MoveAction = 5,
        CreateFolderAction = 6,
        RemoveFolderAction = 7,
    };

    int kind = NoAction;
    QVariant first;
    QVariant second;
    // Where the last apply put the copied or moved item, so that undo takes back exactly that
    // item even when the source was a folder that became the target itself.
    QString placed;
};

// An undoable change of files and folders on disk: actions applied in order and undone in
// reverse order. A failing action is reported, neutralised for good and the others still
// run; one summary error follows. Undo and redo ask the user first, because they change the
// disk. Nothing is ever overwritten: a step that would replace an existing entry fails.
class FileSystemOperation : public Operation
{
    Q_OBJECT
public:
    explicit FileSystemOperation(QObject *parent = nullptr);

    void addWriteFile(const QString &path, const QByteArray &bytes);
    void addInertAction(const QString &path);
    void addRemoveFile(const QString &path);
    void addCopyFile(const QString &source, const QString &target);
    void addMoveFile(const QString &source, const QString &target);
    void addCreateFolder(const QString &path);
    void addRemoveFolder(const QString &path);

    // Whether removed files are read first so that undo can write them back, and written
    // bytes are kept so that redo can write them again.
    bool keepsContents() const { return m_keepsContents; }
    void setKeepsContents(bool keepsContents) { m_keepsContents = keepsContents; }

    const QList<FileSystemAction> &actions() const { return m_actions; }

    void apply() override;
    void undo() override;
    bool confirmUndo() override;
    bool confirmRedo() override;

private:
    void add(int kind, const QVariant &first, const QVariant &second = QVariant());
    // Runs the step on every action, in order or backwards; one error at the end when any failed.
    void walk(bool backwards, void (FileSystemOperation::*step)(FileSystemAction &), quint32 failureCode);
    void applyAction(FileSystemAction &action);
    void undoAction(FileSystemAction &action);
    bool confirm(quint32 fallbackTextId, quint32 questionTextId) const;

    bool m_keepsContents = false;
    QList<FileSystemAction> m_actions;
};
