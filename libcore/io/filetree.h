#pragma once

#include <QString>

class ProgressObject;

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
