#pragma once

#include <QDateTime>
#include <QFileDevice>
#include <QString>

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
