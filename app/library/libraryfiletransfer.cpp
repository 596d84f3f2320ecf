#include "app/library/libraryfiletransfer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "libcore/io/fileinfo.h"
#include "libcore/io/filetree.h"
#include "libcore/io/folderwalk.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

constexpr qint64 ChunkSize = 1 << 20;

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// rename(2) that fails instead of replacing an existing target. Returns 0 or an errno.
int renameNoReplace(const QString &from, const QString &to)
{
#ifdef SYS_renameat2
    if (::syscall(SYS_renameat2, AT_FDCWD, encoded(from).constData(), AT_FDCWD, encoded(to).constData(),
                  RENAME_NOREPLACE) == 0)
        return 0;
    const int error = errno;
    if (error != EINVAL && error != ENOSYS)
        return error;
#endif
    // A file system without the flag: a hard link never replaces anything either.
    if (::link(encoded(from).constData(), encoded(to).constData()) == 0) {
        ::unlink(encoded(from).constData());
        return 0;
    }
    const int linkError = errno;
    if (linkError != EPERM && linkError != ENOTSUP && linkError != EOPNOTSUPP)
        return linkError;
    if (LibraryFileTransfer::entryExists(to))
        return EEXIST;
    return std::rename(encoded(from).constData(), encoded(to).constData()) == 0 ? 0 : errno;
}

// Writes the copy under a hidden temporary name in the target's folder, flushed to disk;
// returns that name. Throws with nothing left behind.
QString writeTemporaryCopy(const QString &source, const QString &target)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        throw Exception(TransferFailedTextId, {nativePath(source), nativePath(target), input.errorString()}, true);
    QString temporary;
    for (int attempt = 0; temporary.isEmpty() && attempt < 100; ++attempt) {
        const QString candidate = withTrailingSlash(parentPath(target)) + QStringLiteral(".") + fileName(target) +
                                  QStringLiteral(".part-%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (!LibraryFileTransfer::entryExists(candidate))
            temporary = candidate;
    }
    const int descriptor = ::open(encoded(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor < 0)
        throw Exception(TransferFailedTextId, {nativePath(source), nativePath(target), errorText(errno)}, true);
    QFile output;
    bool ok = output.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
    QString reason = ok ? QString() : output.errorString();
    while (ok && !input.atEnd()) {
        const QByteArray chunk = input.read(ChunkSize);
        if (chunk.isEmpty() && input.error() != QFileDevice::NoError) {
            ok = false;
            reason = input.errorString();
        } else if (output.write(chunk) != chunk.size() || !output.flush()) {
            ok = false;
            reason = output.errorString();
        }
    }
    if (ok && ::fsync(descriptor) != 0) {
        ok = false;
        reason = errorText(errno);
    }
    output.close();
    if (!ok) {
        ::unlink(encoded(temporary).constData());
        throw Exception(TransferFailedTextId, {nativePath(source), nativePath(target), reason}, true);
    }
    // The copy gets the source's permissions (a temporary file starts private).
    QFile::setPermissions(temporary, QFileInfo(source).permissions());
    return temporary;
}

// Copies, checks the copy against the source and gives it the target's name.
void copyChecked(const QString &source, const QString &target)
{
    const QString temporary = writeTemporaryCopy(source, target);
    if (!LibraryFileTransfer::haveEqualContents(source, temporary)) {
        ::unlink(encoded(temporary).constData());
        throw Exception(TransferCopyDiffersTextId, {nativePath(source), nativePath(target)}, true);
    }
    const int error = renameNoReplace(temporary, target);
    if (error != 0) {
        ::unlink(encoded(temporary).constData());
        if (error == EEXIST)
            throw Exception(TransferTargetExistsTextId, {nativePath(source), nativePath(target)}, true);
        throw Exception(TransferFailedTextId, {nativePath(source), nativePath(target), errorText(error)}, true);
    }
}

void checkTarget(const QString &source, const QString &target)
{
    if (LibraryFileTransfer::entryExists(target))
        throw Exception(TransferTargetExistsTextId, {nativePath(source), nativePath(target)}, true);
    if (!QFileInfo(source).isFile())
        throw Exception(TransferFailedTextId, {nativePath(source), nativePath(target), QFile::tr("No such file")}, true);
}

} // namespace

bool LibraryFileTransfer::entryExists(const QString &path)
{
    struct stat status;
    return ::lstat(encoded(withoutTrailingSlash(path)).constData(), &status) == 0;
}

void LibraryFileTransfer::moveFile(const QString &source, const QString &target)
{
    checkTarget(source, target);
    const int error = renameNoReplace(source, target);
    if (error == 0)
        return;
    if (error == EEXIST)
        throw Exception(TransferTargetExistsTextId, {nativePath(source), nativePath(target)}, true);
    if (error != EXDEV)
        throw Exception(TransferFailedTextId, {nativePath(source), nativePath(target), errorText(error)}, true);
    // Another file system: copy, check the copy, then delete the source. A source that could
    // not be deleted would leave the file twice: find that out before copying.
    if (!isRemovable(source))
        throw Exception(TransferFailedTextId, {nativePath(source), nativePath(target), errorText(EACCES)}, true);
    copyChecked(source, target);
    if (::unlink(encoded(source).constData()) != 0) {
        const int unlinkError = errno;
        // Keep exactly one file: the source stays, the checked copy goes again.
        ::unlink(encoded(target).constData());
        throw Exception(TransferSourceKeptTextId, {nativePath(source), nativePath(target), errorText(unlinkError)}, true);
    }
}

void LibraryFileTransfer::copyFile(const QString &source, const QString &target)
{
    checkTarget(source, target);
    copyChecked(source, target);
}

bool LibraryFileTransfer::haveEqualContents(const QString &a, const QString &b)
{
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    while (!fa.atEnd()) {
        const QByteArray ca = fa.read(ChunkSize);
        const QByteArray cb = fb.read(ChunkSize);
        if (ca.isEmpty() || ca != cb)
            return false;
    }
    return fb.atEnd();
}

QString LibraryFileTransfer::freePath(const QString &path)
{
    if (!entryExists(path))
        return path;
    const QString base = removeSuffix(path);
    const QString suffix = path.mid(base.size() + 1);
    for (qint64 counter = 2;; ++counter) {
        const QString candidate = suffix.isEmpty() || base.size() == path.size()
                                      ? QStringLiteral("%1 (%2)").arg(path, QString::number(counter))
                                      : QStringLiteral("%1 (%2).%3").arg(base, QString::number(counter), suffix);
        if (!entryExists(candidate))
            return candidate;
    }
}
