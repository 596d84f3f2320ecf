#include "app/model/artworktempfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <memory>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "libcore/image/codedimage.h"
#include "libcore/io/paths.h"
#include "libcore/log/logger.h"

namespace {

// The folder made for this process, when it is still the one we made: a real folder (not a
// link), ours and closed to everyone else.
bool isPrivateFolder(const QString &path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 0077) == 0;
}

// Writes the bytes without following a link at the path, replacing a file of ours.
bool writePrivateFile(const QString &path, const QByteArray &bytes)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    qsizetype written = 0;
    while (ok && written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            written += n;
    }
    ok = (::close(fd) == 0) && ok;
    return ok;
}

} // namespace

QString artworkTempFolder()
{
    // GUI thread only; removed with its files when the process ends.
    static std::unique_ptr<QTemporaryDir> folder;
    if (folder && folder->isValid() && isPrivateFolder(folder->path()))
        return folder->path();
    const QString application = QCoreApplication::applicationName();
    // QTemporaryDir makes the folder with a random name and mode 0700, failing rather than
    // reusing anything that already exists.
    folder = std::make_unique<QTemporaryDir>(withTrailingSlash(withoutTrailingSlash(QDir::tempPath()))
                                             + (application.isEmpty() ? QStringLiteral("artwork")
                                                                      : application)
                                             + QStringLiteral("-XXXXXX"));
    if (!folder->isValid() || !isPrivateFolder(folder->path())) {
        folder.reset();
        return QString();
    }
    return folder->path();
}

QUrl artworkTempFileUrl(const CodedImage &image)
{
    // The image last written to each path; GUI thread only.
    static QHash<QString, CodedImage> written;

    if (image.data.isEmpty())
        return QUrl();
    const QString folder = artworkTempFolder();
    const QString path = withTrailingSlash(folder) + QStringLiteral("folder.") + image.suffix();
    if (folder.isEmpty()) {
        Logger::warning(ArtworkTempFileNotWritten, {QDir::toNativeSeparators(path)});
        return QUrl();
    }
    // Written already, unless something cleaned the folder since.
    if (written.value(path).data == image.data && QFile::exists(path))
        return QUrl::fromLocalFile(path);
    if (!writePrivateFile(path, image.data)) {
        Logger::warning(ArtworkTempFileNotWritten, {QDir::toNativeSeparators(path)});
        written.remove(path);
        return QUrl();
    }
    written.insert(path, image);
    return QUrl::fromLocalFile(path);
}
