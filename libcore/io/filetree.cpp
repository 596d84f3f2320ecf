#include "libcore/io/filetree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

#include "libcore/io/fileinfo.h"
#include "libcore/io/folderwalk.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/progress/progressobject.h"

namespace {

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

bool isSymLink(const QString &path)
{
    return QFileInfo(withoutTrailingSlash(path)).isSymLink();
}

// A link is there even when what it points to is not.
bool entryExists(const QString &path)
{
    return pathExists(path) || isSymLink(path);
}

// A folder to descend into; a link to a folder is a leaf.
bool isRealFolder(const QString &path)
{
    return isDirectory(path) && !isSymLink(path);
}

// Whether path lies below folder, compared on the cleaned absolute forms so that "a" and
// "./a/b" are caught as well.
bool isInside(const QString &path, const QString &folder)
{
    const QString p = QDir::cleanPath(absolutePath(path));
    const QString f = QDir::cleanPath(absolutePath(folder));
    return p.startsWith(withTrailingSlash(f), isFileSystemCaseSensitive());
}

// The name a copy or move into an existing folder gets: the source's name as stored on disk.
// A link keeps its own name rather than taking that of its target.
QString nameOnDisk(const QString &source)
{
    if (isSymLink(source))
        return fileName(source);
    return fileName(exactCasePath(source));
}

bool renameEntry(const QString &from, const QString &to, QString *errorText = nullptr)
{
    const QString f = withoutTrailingSlash(from);
    const QString t = withoutTrailingSlash(to);
    if (isSymLink(f)) {
        // QFile would look through the link (and copy its target when the rename fails).
        if (entryExists(t)) {
            if (errorText)
                *errorText = QFile::tr("Destination file exists");
            return false;
        }
        std::error_code error;
        std::filesystem::rename(fsPath(f), fsPath(t), error);
        if (error && errorText)
            *errorText = QString::fromLocal8Bit(error.message());
        return !error;
    }
    QFile file(f);
    if (file.rename(t))
        return true;
    if (errorText)
        *errorText = file.errorString();
    return false;
}

// Recreates a link with the same target text, so relative links stay relative.
bool copyLink(const QString &source, const QString &destination, QString *errorText)
{
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(fsPath(source), error);
    if (!error) {
        if (entryExists(destination))
            error = std::make_error_code(std::errc::file_exists);
        else
            std::filesystem::create_symlink(target, fsPath(destination), error);
    }
    if (error)
        *errorText = QString::fromLocal8Bit(error.message());
    return !error;
}

void removeTree(const QString &path, ProgressObject *progress)
{
    const QString p = withoutTrailingSlash(path);
    if (isRealFolder(p)) {
        if (progress && progress->isCanceled())
            return;
        const QStringList names = listDirectory(p, AllEntriesFilter, QDir::NoSort, false, false);
        for (const QString &name : names)
            removeTree(withTrailingSlash(p) + name, progress);
        if (!QDir(parentPath(p)).rmdir(fileName(p)))
            throw Exception(TreeRemoveFolderFailedTextId, {nativePath(p)}, true);
        return;
    }
    if (progress) {
        if (progress->isCanceled())
            return;
        progress->setStatusArguments({nativePath(p)});
    }
    QFile file(p);
    if (!file.remove())
        throw Exception(TreeRemoveFailedTextId, {nativePath(p), file.errorString()}, true);
}

struct CopyRecord {
    QStringList files;
    QStringList folders;
};

void copyTree(const QString &source, const QString &destination, ProgressObject *progress, CopyRecord &record)
{
    const QString src = withoutTrailingSlash(source);
    const QString dst = withoutTrailingSlash(destination);
    const QFileInfo info(src);
    if (info.isSymLink()) {
        if (progress) {
            if (progress->isCanceled())
                return;
            progress->setStatusArguments({nativePath(src)});
        }
        QString errorText;
        if (!copyLink(src, dst, &errorText))
            throw Exception(TreeCopyFailedTextId, {nativePath(src), nativePath(dst), errorText}, true);
        record.files.append(dst);
        return;
    }
    if (!info.isReadable())
        throw Exception(TreeCopySourceUnreadableTextId, {nativePath(src), nativePath(dst)}, true);
    if (info.isDir()) {
        if (progress && progress->isCanceled())
            return;
        if (!pathExists(dst)) {
            makePath(dst);
            record.folders.append(dst);
        }
        const QStringList names = listDirectory(src, AllEntriesFilter, QDir::NoSort, false, false);
        if (!names.isEmpty() && !info.isExecutable())
            throw Exception(TreeCopyFolderUnreadableTextId, {nativePath(src), nativePath(dst)}, true);
        for (const QString &name : names)
            copyTree(withTrailingSlash(src) + name, withTrailingSlash(dst) + name, progress, record);
        return;
    }
    if (progress) {
        if (progress->isCanceled())
            return;
        progress->setStatusArguments({nativePath(src)});
    }
    QFile file(src);
    if (!file.copy(dst))
        throw Exception(TreeCopyFailedTextId, {nativePath(src), nativePath(dst), file.errorString()}, true);
    record.files.append(dst);
}

void rollBack(const CopyRecord &record)
{
    try {
        for (auto it = record.files.crbegin(); it != record.files.crend(); ++it)
            removePath(*it);
        for (auto it = record.folders.crbegin(); it != record.folders.crend(); ++it)
            removePath(*it);
    } catch (const Exception &) {
        Logger::error(TreeCopyUndoIncompleteTextId, {});
    }
}

} // namespace

void makePath(const QString &path)
{
    const QString p = withoutTrailingSlash(path);
    if (!QDir().mkpath(p))
        throw Exception(TreeMakeFolderFailedTextId, {nativePath(p)}, true);
}

void removePath(const QString &path, ProgressObject *progress)
{
    const QString p = withoutTrailingSlash(path);
    if (!entryExists(p))
        throw Exception(TreeRemoveMissingTextId, {nativePath(p)}, true);
    if (isRootPath(p))
        throw Exception(TreeRemoveRootTextId, {nativePath(p)}, true);
    if (!isRemovable(p))
        throw Exception(TreeRemoveRefusedTextId, {nativePath(p)}, true);
    removeTree(p, progress);
    if (progress)
        progress->finish();
}

void copyPath(const QString &source, const QString &destination, ProgressObject *progress)
{
    QString dst = destination;
    if (!entryExists(source))
        throw Exception(TreeCopySourceMissingTextId, {nativePath(source), nativePath(dst)}, true);
    if (!isRootPath(dst) && !pathExists(parentPath(dst)))
        throw Exception(TreeCopyDestinationFolderMissingTextId, {nativePath(source), nativePath(dst)}, true);
    if (entryExists(dst)) {
        if (!isDirectory(dst))
            throw Exception(TreeCopyDestinationExistsTextId, {nativePath(source), nativePath(dst)}, true);
        dst = withTrailingSlash(dst) + nameOnDisk(source);
    }
    if (isRealFolder(source) && isInside(dst, source))
        throw Exception(TreeCopyIntoItselfTextId, {nativePath(source), nativePath(dst)}, true);

    CopyRecord record;
    try {
        copyTree(source, dst, progress, record);
    } catch (const Exception &) {
        rollBack(record);
        throw;
    }
    if (progress)
        progress->finish();
}

void movePath(const QString &source, const QString &destination, ProgressObject *progress)
{
    QString dst = destination;
    if (!entryExists(source))
        throw Exception(TreeMoveSourceMissingTextId, {nativePath(source), nativePath(dst)}, true);
    if (isRootPath(source))
        throw Exception(TreeMoveRootTextId, {nativePath(source), nativePath(dst)}, true);
    if (!isRootPath(dst) && !pathExists(parentPath(dst)))
        throw Exception(TreeMoveDestinationFolderMissingTextId, {nativePath(source), nativePath(dst)}, true);

    if (absolutePath(source).compare(absolutePath(dst), isFileSystemCaseSensitive()) == 0) {
        // Same entry, maybe a new case: go through a free temporary name.
        const QString from = withoutTrailingSlash(source);
        const QString to = withoutTrailingSlash(dst);
        QString temporary = to + QLatin1Char('_');
        while (entryExists(temporary))
            temporary += QLatin1Char('_');
        if (!renameEntry(from, temporary))
            throw Exception(TreeRenameFailedTextId, {nativePath(source), nativePath(dst)}, true);
        if (!renameEntry(temporary, to)) {
            // Put it back under its old name before reporting, so nothing is left behind
            // under a name the user never chose.
            if (!renameEntry(temporary, from))
                Logger::error(TreeNameNotRestoredTextId, {nativePath(from), nativePath(temporary)});
            throw Exception(TreeRenameFailedTextId, {nativePath(source), nativePath(dst)}, true);
        }
    } else {
        if (entryExists(dst)) {
            if (!isDirectory(dst))
                throw Exception(TreeMoveDestinationExistsTextId, {nativePath(source), nativePath(dst)}, true);
            dst = withTrailingSlash(dst) + nameOnDisk(source);
        }
        if (isRealFolder(source) && isInside(dst, source))
            throw Exception(TreeMoveIntoItselfTextId, {nativePath(source), nativePath(dst)}, true);
        if (!renameEntry(source, dst)) {
            if (!isRemovable(source))
                throw Exception(TreeMoveSourceRefusedTextId, {nativePath(source), nativePath(dst)}, true);
            copyPath(source, dst, progress);
            removePath(source);
        }
    }
    if (progress)
        progress->finish();
}

void renamePath(const QString &path, const QString &newName)
{
    const QString from = withoutTrailingSlash(path);
    const QString to = withTrailingSlash(parentPath(from)) + newName;
    QString errorText;
    if (!renameEntry(from, to, &errorText))
        throw Exception(TreeRenameFailedWithReasonTextId, {nativePath(from), nativePath(to), errorText}, true);
}

void createLink(const QString &linkPath, const QString &target)
{
    const QString link = withoutTrailingSlash(linkPath);
    QFile file(withoutTrailingSlash(target));
    if (!file.link(link))
        throw Exception(TreeLinkFailedTextId, {nativePath(link), nativePath(target), file.errorString()}, true);
}

void truncateFile(const QString &path, qint64 size)
{
    const QString p = withoutTrailingSlash(path);
    if (!pathExists(p))
        throw Exception(TreeResizeMissingTextId, {nativePath(p)}, true);
    if (!QFileInfo(p).isFile())
        throw Exception(TreeResizeNotAFileTextId, {nativePath(p)}, true);
    QFile file(p);
    if (!file.resize(size))
        throw Exception(TreeResizeFailedTextId, {nativePath(p), QVariant::fromValue<qint64>(size), file.errorString()}, true);
}
