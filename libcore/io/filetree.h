#pragma once

#include <QString>

class ProgressObject;

// Error ids, with their texts ("%1" ... are the arguments in order).
enum FileTreeTextId : quint32 {
    TreeRemoveFolderFailedTextId = 3477435778u,           // "cannot remove the folder %1"
    TreeRemoveFailedTextId = 2022717297u,                 // "cannot remove %1: %2"
    TreeCopyFailedTextId = 3523284083u,                   // "cannot copy %1 to %2: %3"
    TreeCopySourceUnreadableTextId = 632716408u,          // "cannot copy %1 to %2: the source cannot be read"
    TreeCopyFolderUnreadableTextId = 1873794486u,         // "cannot copy %1 to %2: the folder cannot be opened"
    TreeCopyUndoIncompleteTextId = 814102713u,            // "a failed copy could not be undone completely"
    TreeMakeFolderFailedTextId = 3167965607u,             // "cannot create the folder %1"
    TreeRemoveMissingTextId = 3935870686u,                // "cannot remove %1: it does not exist"
    TreeRemoveRootTextId = 1382486118u,                   // "cannot remove %1: it is a root folder"
    TreeRemoveRefusedTextId = 3840040945u,                // "cannot remove %1: it or something in it may not be removed"
    TreeCopySourceMissingTextId = 79800941u,              // "cannot copy %1 to %2: the source does not exist"
    TreeCopyDestinationFolderMissingTextId = 503256274u,  // "cannot copy %1 to %2: the destination folder does not exist"
    TreeCopyDestinationExistsTextId = 3337001020u,        // "cannot copy %1 to %2: the destination exists"
    TreeCopyIntoItselfTextId = 58618962u,                 // "cannot copy the folder %1 into itself (%2)"
    TreeMoveSourceMissingTextId = 1552792701u,            // "cannot move %1 to %2: the source does not exist"
    TreeMoveRootTextId = 3810495579u,                     // "cannot move %1 to %2: the source is a root folder"
    TreeMoveDestinationFolderMissingTextId = 4180430672u, // "cannot move %1 to %2: the destination folder does not exist"
    TreeRenameFailedTextId = 1432852314u,                 // "cannot rename %1 to %2"
    TreeNameNotRestoredTextId = 1356954028u,              // "%1 could not get its name back and is now called %2"
    TreeMoveDestinationExistsTextId = 170545147u,         // "cannot move %1 to %2: the destination exists"
    TreeMoveIntoItselfTextId = 3636212371u,               // "cannot move the folder %1 into itself (%2)"
    TreeMoveSourceRefusedTextId = 2710164618u,            // "cannot move %1 to %2: the source may not be removed"
    TreeRenameFailedWithReasonTextId = 2910230637u,       // "cannot rename %1 to %2: %3"
    TreeLinkFailedTextId = 314479974u,                    // "cannot create the link %1 to %2: %3"
    TreeResizeMissingTextId = 527290816u,                 // "cannot resize %1: it does not exist"
    TreeResizeNotAFileTextId = 3076764325u,               // "cannot resize %1: it is not a file"
    TreeResizeFailedTextId = 3724096694u,                 // "cannot resize %1 to %2 bytes: %3"
};

// Changes to the file system. Every failure throws a coded Exception that names the native
// paths, and the checks that need no change of the disk come first. Symbolic links are
// entries of their own: removing, copying or moving a tree handles a link as a link and
// never goes through it.

// Creates the folder and every missing parent.
void makePath(const QString &path);
// Removes a file, or a folder with everything below it.
void removePath(const QString &path, ProgressObject *progress = nullptr);
// Copies a file or a tree; a destination that is a folder receives the copy under the
// source's name. A failed copy removes what it had created.
void copyPath(const QString &source, const QString &destination, ProgressObject *progress = nullptr);
// Moves or renames a file or a tree, also when only the case of its name changes, and by
// copying and removing where a rename is not possible.
void movePath(const QString &source, const QString &destination, ProgressObject *progress = nullptr);
// Renames the entry inside its own folder; the new name is a name, not a path.
void renamePath(const QString &path, const QString &newName);
void createLink(const QString &linkPath, const QString &target);
void truncateFile(const QString &path, qint64 size);
