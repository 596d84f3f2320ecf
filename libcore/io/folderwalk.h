#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

class ProgressObject;

// Error ids, with their texts ("%1" ... are the arguments in order).
enum FolderWalkTextId : quint32 {
    FolderListFailedTextId = 3567622169u,  // "cannot list the folder %1"
    FolderCountFailedTextId = 3893996671u, // "cannot count the entries of %1"
};

// Every entry of a folder, hidden and system ones included, without "." and "..".
constexpr QDir::Filters AllEntriesFilter = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
// The subfolders of a folder that a recursive walk enters.
constexpr QDir::Filters SubfoldersFilter = QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

// The number of entries QDir reports with its default filter ("." and ".." included).
int entryCount(const QString &folder);

// Lists the folder's entries that match the name patterns (all when empty), each folder's own
// before those of its subfolders. Names are relative to the folder unless fullPaths is set.
// A recursive walk enters every subfolder once per branch: a link back to a folder that is
// being walked is not followed again. A subfolder that cannot be listed is logged and skipped;
// the top folder throws. Cancelling the progress object gives an empty list.
QStringList listFiles(const QString &folder, const QStringList &nameFilters, QDir::Filters filter,
                      QDir::SortFlags sort, bool recursive, bool fullPaths,
                      ProgressObject *progress = nullptr);
QStringList listDirectory(const QString &folder, QDir::Filters filter, QDir::SortFlags sort,
                          bool recursive, bool fullPaths, ProgressObject *progress = nullptr);

bool isEmptyDirectory(const QString &path);

// Whether the path could be deleted with everything below it: its folder lets us unlink
// entries (write and search permission), and so does every folder inside it. Links are
// entries of their own; what they point to is not looked at.
bool isRemovable(const QString &path);

// Existing paths that match a path whose components are wildcard patterns.
QStringList expandWildcardPath(const QString &pattern);
// The one match of expandWildcardPath, else an empty text.
QString resolveWildcardPath(const QString &pattern);
