#include "libcore/io/fileinfo.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include "libcore/io/folderwalk.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/platform/platformservices.h"

namespace {

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The file information of an existing path; a missing one throws the caller's code.
QFileInfo existingInfo(const QString &path, quint32 missingCode)
{
    const QString p = withoutTrailingSlash(path);
    if (!pathExists(p))
        throw Exception(missingCode, {nativePath(p)}, true);
    return QFileInfo(p);
}

Qt::CaseSensitivity probeCaseSensitivity()
{
    static const QString probeFolder = withTrailingSlash(QDir::rootPath());
    try {
        const QStringList names = listDirectory(probeFolder, AllEntriesFilter, QDir::NoSort, false, false);
        const QSet<QString> listed(names.cbegin(), names.cend());
        for (const QString &name : names) {
            for (int i = 0; i < name.size(); ++i) {
                const QString variant = name.left(i).toUpper() + name.at(i).toLower() + name.mid(i + 1).toUpper();
                if (listed.contains(variant))
                    continue;
                return pathExists(probeFolder + variant) ? Qt::CaseInsensitive : Qt::CaseSensitive;
            }
        }
    } catch (const Exception &) {
        // Already logged; the platform's default answers.
    }
    return Qt::CaseSensitive;
}

} // namespace

QDateTime creationTime(const QString &path)
{
    const QFileInfo info = existingInfo(path, FileCreationTimeMissingTextId);
    // Not every file system keeps a birth time; the status change time is the closest we have.
    QDateTime time = info.birthTime();
    if (!time.isValid())
        time = info.metadataChangeTime();
    return time.toLocalTime();
}

QDateTime modificationTime(const QString &path)
{
    return existingInfo(path, FileModificationTimeMissingTextId).lastModified();
}

QDateTime lastReadTime(const QString &path)
{
    return existingInfo(path, FileLastReadTimeMissingTextId).lastRead();
}

QString readLink(const QString &path)
{
    const QString p = withoutTrailingSlash(path);
    const QString target = QFileInfo(p).symLinkTarget();
    if (target.isEmpty())
        throw Exception(FileNotALinkTextId, {nativePath(p)}, true);
    return target;
}

QFileDevice::Permissions permissions(const QString &path)
{
    return existingInfo(path, FilePermissionsMissingTextId).permissions();
}

bool hasPermission(const QString &path, QFileDevice::Permissions flags)
{
    return existingInfo(path, FilePermissionCheckMissingTextId).permission(flags);
}

void setPermissions(const QString &path, QFileDevice::Permissions flags)
{
    QFile file(withoutTrailingSlash(path));
    if (!file.setPermissions(flags))
        throw Exception(FilePermissionsRefusedTextId, {nativePath(file.fileName()), file.errorString()}, true);
}

bool makeWritable(const QString &path)
{
    if (hasPermission(path, QFileDevice::WriteOwner))
        return false;
    // The "user" flags describe the caller's access, not mode bits; passing them back would
    // set owner bits the file never had.
    const QFileDevice::Permissions userFlags = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    setPermissions(path, (permissions(path) & ~userFlags) | QFileDevice::WriteOwner);
    return true;
}

qint64 fileSize(const QString &path)
{
    const QFileInfo info = existingInfo(path, FileSizeMissingTextId);
    if (!info.isFile())
        throw Exception(FileSizeNotAFileTextId, {nativePath(info.filePath())}, true);
    return info.size();
}

void flushToDisk(const QString &path)
{
    const QString p = withoutTrailingSlash(path);
    const QFileInfo info(p);
    if (info.isFile())
        flushFile(p);
    else if (info.isDir())
        flushDirectory(p);
    else
        throw Exception(FileFlushNotAFileTextId, {nativePath(p)}, true);
    const QString parent = parentPath(p);
    if (isDirectory(parent) && !isRootPath(parent))
        flushDirectory(parent);
}

Qt::CaseSensitivity isFileSystemCaseSensitive()
{
    static const Qt::CaseSensitivity sensitivity = probeCaseSensitivity();
    return sensitivity;
}

bool isNetworkPath(const QString &path)
{
    if (path.startsWith(QLatin1String("//"))) {
        const bool local = path.startsWith(QLatin1String("//?/"))
                           || path.startsWith(QLatin1String("//localhost/"), isFileSystemCaseSensitive())
                           || path.startsWith(QLatin1String("//127.0.0.1/"))
                           || path.startsWith(QLatin1String("//--1.ipv6-literal.net/"));
        if (!local)
            return true;
    }
    // Mounts can sit anywhere in the tree, so the file system of the path itself decides,
    // not that of its root.
    return driveType(path) == DriveRemote;
}

QString exactCasePath(const QString &path)
{
    const QString p = withoutTrailingSlash(path);
    const QString canonical = QFileInfo(p).canonicalFilePath();
    if (canonical.isEmpty())
        throw Exception(FileExactCaseMissingTextId, {nativePath(p)}, true);
    if (isFileSystemCaseSensitive() == Qt::CaseSensitive)
        return canonical;

    QString current = canonical;
    QString name;
    try {
        QString tail;
        while (!isRootPath(current)) {
            name = fileName(current);
            const QString parent = parentPath(current);
            // The name is used as a pattern, so a name holding wildcard characters may not be found.
            const QStringList found = listFiles(parent, {name}, QDir::NoFilter, QDir::NoSort, false, false);
            if (found.size() != 1)
                throw Exception(FileExactCaseNotFoundTextId, {name, nativePath(parent)}, true);
            tail = withTrailingSlash(found.first()) + tail;
            current = parent;
        }
        return withoutTrailingSlash(current + tail);
    } catch (const Exception &) {
        Logger::warning(FileExactCaseUnknownTextId, {name});
        return canonical;
    }
}

std::optional<FileIdentity> fileIdentity(const QString &path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return FileIdentity{quint64(status.st_dev), quint64(status.st_ino)};
}
