#pragma once

#include <QDateTime>
#include <QFileDevice>
#include <QHashFunctions>
#include <QString>

#include <optional>

// Error ids, with their texts ("%1" ... are the arguments in order).
enum FileInfoTextId : quint32 {
    FileCreationTimeMissingTextId = 2173581283u,     // "cannot read the creation time of %1: it does not exist"
    FileModificationTimeMissingTextId = 2122067698u, // "cannot read the modification time of %1: it does not exist"
    FileLastReadTimeMissingTextId = 2037828073u,     // "cannot read the last read time of %1: it does not exist"
    FileNotALinkTextId = 1923915484u,                // "%1 is not a link"
    FilePermissionsMissingTextId = 2679490006u,      // "cannot read the permissions of %1: it does not exist"
    FilePermissionCheckMissingTextId = 1135805151u,  // "cannot check the permissions of %1: it does not exist"
    FilePermissionsRefusedTextId = 850001280u,       // "cannot change the permissions of %1: %2"
    FileSizeMissingTextId = 1526348572u,             // "cannot read the size of %1: it does not exist"
    FileSizeNotAFileTextId = 2290373266u,            // "cannot read the size of %1: it is not a file"
    FileFlushNotAFileTextId = 2235441740u,           // "cannot write %1 to disk: it is neither a file nor a folder"
    FileExactCaseMissingTextId = 4256450942u,        // "cannot find %1: it does not exist"
    FileExactCaseNotFoundTextId = 1212497078u,       // "cannot find %1 in %2"
    FileExactCaseUnknownTextId = 4148201753u,        // "cannot tell how the case of %1 is stored; the name is used as it is"
};

// Questions to the file system about one existing path. A path that does not exist (a
// broken link included) makes them throw a coded Exception naming the path.
QDateTime creationTime(const QString &path);
QDateTime modificationTime(const QString &path);
QDateTime lastReadTime(const QString &path);
QString readLink(const QString &path);
QFileDevice::Permissions permissions(const QString &path);
bool hasPermission(const QString &path, QFileDevice::Permissions flags);
void setPermissions(const QString &path, QFileDevice::Permissions flags);
// Lets the owner write a write-protected file, keeping every other permission as it is.
// Returns whether the permissions had to change.
bool makeWritable(const QString &path);
qint64 fileSize(const QString &path);
// Writes the path's data and then its folder's entry through to the disk.
void flushToDisk(const QString &path);

// Probed once per process on the root folder.
Qt::CaseSensitivity isFileSystemCaseSensitive();
// A "//host/share" path, or a path on a network file system mount.
bool isNetworkPath(const QString &path);
// The canonical path with every component in the case stored on disk.
QString exactCasePath(const QString &path);

// What makes a file the same file however its path is spelt (a link to a folder, a bind
// mount, a hard link): its device and inode, links followed.
struct FileIdentity
{
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity &other) const { return device == other.device && inode == other.inode; }
};
inline size_t qHash(const FileIdentity &identity, size_t seed = 0) noexcept
{
    return qHashMulti(seed, identity.device, identity.inode);
}
// Nothing when the path does not exist or cannot be reached.
std::optional<FileIdentity> fileIdentity(const QString &path);
