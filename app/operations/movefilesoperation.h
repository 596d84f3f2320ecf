#pragma once

#include <QList>

#include "app/operations/compoundoperation.h"

class AudioFile;
class AudioFileSelection;
class FileSystemOperation;
class ModelInsertOperation;
class ModelRemoveOperation;

// Renaming or moving loaded files as one undo step: the table loses each old file and gains
// its new one, and the file on disk moves from the old path to the new. The table follows
// the disk file by file: a file whose move failed (or whose move back failed) keeps its
// row at the path where it really is, so the table never shows a file that is not there.
// The children are, in order, the removal of the old files, the file-system operation and
// the insertion of the new files; the disk changes first in every walk so that the table
// steps know which moves took place.
class MoveFilesOperation : public CompoundOperation
{
    Q_OBJECT
public:
    explicit MoveFilesOperation(const AudioFileSelection &selection, QObject *parent = nullptr);

    // The file-system part, for actions that must come before the moves (folders to create).
    FileSystemOperation *fileSystemOperation() const { return m_fileSystem; }
    // Moves the old file's file to the new file's path. A new file without a parent is owned
    // by the operation until the store takes it (a file whose move failed never reaches it).
    void addMove(AudioFile *oldFile, AudioFile *newFile);

    void apply() override;
    void undo() override;
    void redo() override;

private:
    struct Move {
        AudioFile *oldFile;
        AudioFile *newFile;
        int action; // index of the move in the file-system operation
    };

    // Gives the table steps the files of the moves that are still in effect.
    void followDisk();
    // The disk first, then the table steps for the moves that took place (the insertion
    // first when going backwards); one error at the end when anything failed.
    void walk(void (Operation::*step)(), bool backwards, quint32 failureCode);

    ModelRemoveOperation *m_remove;
    FileSystemOperation *m_fileSystem;
    ModelInsertOperation *m_insert;
    QList<Move> m_moves;
};
