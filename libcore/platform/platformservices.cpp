#include "libcore/platform/platformservices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStorageInfo>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <sys/vfs.h>
#include <unistd.h>

#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/text/stringutils.h"

namespace {

QString environmentText(const char *name)
{
    // Decoded as a C string: the value ends at its first zero byte.
    return QString::fromLocal8Bit(qgetenv(name).constData());
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// statfs() magic numbers of the file systems we tell apart.
constexpr quint32 NfsMagic = 0x6969;
constexpr quint32 SmbMagic = 0x517B;
constexpr quint32 CifsMagic = 0xFF534D42;
constexpr quint32 Smb2Magic = 0xFE534D42;
constexpr quint32 V9fsMagic = 0x01021997;
constexpr quint32 AfsMagic = 0x5346414F;
constexpr quint32 CephMagic = 0x00C36400;
constexpr quint32 CodaMagic = 0x73757245;
constexpr quint32 FuseMagic = 0x65735546;
constexpr quint32 TmpfsMagic = 0x01021994;
constexpr quint32 RamfsMagic = 0x858458F6;
constexpr quint32 IsoMagic = 0x9660;
constexpr quint32 UdfMagic = 0x15013346;

uint driveTypeOfFileSystem(quint32 magic, const QString &existingPath)
{
    switch (magic) {
    case NfsMagic:
    case SmbMagic:
    case CifsMagic:
    case Smb2Magic:
    case V9fsMagic:
    case AfsMagic:
    case CephMagic:
    case CodaMagic:
        return DriveRemote;
    case TmpfsMagic:
    case RamfsMagic:
        return DriveRamDisk;
    case IsoMagic:
    case UdfMagic:
        return DriveCdRom;
    case FuseMagic: {
        // statfs() says only "FUSE"; the mount table names the driver behind it.
        static const QList<QByteArray> remoteDrivers = {"fuse.sshfs", "fuse.rclone", "fuse.s3fs",
                                                        "fuse.curlftpfs", "fuse.glusterfs"};
        const QByteArray type = QStorageInfo(existingPath).fileSystemType();
        return remoteDrivers.contains(type) ? DriveRemote : DriveFixed;
    }
    default:
        return DriveFixed;
    }
}

} // namespace

QString specialFolderPath(int scope)
{
    if (scope == 0) {
        const QString home = environmentText("XDG_CONFIG_HOME");
        return home.isEmpty() ? withoutTrailingSlash(QDir::homePath()) + QLatin1String("/.config") : home;
    }
    if (scope == 1) {
        // Empty parts are kept, so a list that starts with ':' falls back.
        const QString first = environmentText("XDG_CONFIG_DIRS").split(QLatin1Char(':')).first();
        return first.isEmpty() ? QStringLiteral("/etc/xdg") : first;
    }
    return QString();
}

uint driveType(const QString &path)
{
    QString current = QDir::cleanPath(absolutePath(path));
    while (!current.isEmpty()) {
        struct statfs info;
        if (::statfs(QFile::encodeName(current).constData(), &info) == 0)
            return driveTypeOfFileSystem(static_cast<quint32>(info.f_type), current);
        if ((errno != ENOENT && errno != ENOTDIR) || isRootPath(current))
            break;
        current = parentPath(current);
    }
    return DriveNoRootDir;
}

void startProcess(QProcess *process, const QString &program, const QStringList &arguments,
                  QIODevice::OpenMode mode)
{
    process->start(program, arguments, mode);
}

QString applicationBundleId(const QString &prefix)
{
    QString id;
    const QString domain = QCoreApplication::organizationDomain();
    if (!prefix.isEmpty()) {
        id = prefix.toLower();
    } else if (!domain.isEmpty()) {
        const QString lower = domain.toLower();
        QString host = QUrl(lower).host();
        // A bare domain such as "example.org" parses as a path, not a host.
        if (host.isEmpty())
            host = QUrl::fromUserInput(lower).host();
        QStringList labels = host.split(QLatin1Char('.'), Qt::SkipEmptyParts);
        std::reverse(labels.begin(), labels.end());
        if (!labels.isEmpty() && labels.last() == QLatin1String("www"))
            labels.removeLast();
        id = labels.join(QLatin1Char('.'));
    } else {
        QString key = alphanumericKey(QCoreApplication::organizationName());
        if (key.isEmpty())
            key = alphanumericKey(QCoreApplication::applicationName());
        id = QLatin1String("com.") + key;
    }
    id += QLatin1Char('.') + QCoreApplication::applicationName();

    QString result;
    result.reserve(id.size());
    for (const QChar c : std::as_const(id)) {
        const char16_t u = c.unicode();
        if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '-' || u == '.')
            result.append(c);
    }
    return result;
}

void flushFile(const QString &path)
{
    const QString file = withoutTrailingSlash(path);
    if (!QFileInfo(file).isFile())
        throw Exception(2553308118u, {nativePath(file)}, true);
    QFile device(file);
    if (!device.open(QIODevice::ReadOnly))
        throw Exception(1072145764u, {nativePath(file)}, true);
    const bool flushed = ::fsync(device.handle()) == 0;
    device.close();
    if (!flushed)
        throw Exception(2182063945u, {nativePath(file)}, true);
}

void flushDirectory(const QString &path)
{
    const QString folder = withoutTrailingSlash(path);
    if (!QFileInfo(folder).isDir())
        throw Exception(348573331u, {nativePath(folder)}, true);
    // Best effort: a folder we may not open for reading still had its entries written by the
    // system, and a failure here must not turn a completed save into an error.
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
