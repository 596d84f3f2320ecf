#include "libcore/platform/userfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/platform/platformservices.h"

QString homePath()
{
    return withoutTrailingSlash(QDir::homePath());
}

QString defaultMusicFolder()
{
    const QString home = homePath();
    const QString music = withTrailingSlash(home) + QLatin1String("Music");
    return pathExists(music) ? music : home;
}

QString configBaseDirectory(bool userScope)
{
    QString base = specialFolderPath(userScope ? 0 : 1);
    base.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return withoutTrailingSlash(withoutTrailingSlash(base));
}

QString applicationConfigDirectory(bool userScope)
{
    const QString organisation = sanitizeFileName(QCoreApplication::organizationName());
    const QString application = sanitizeFileName(QCoreApplication::applicationName());
    const QString part = withoutTrailingSlash(withTrailingSlash(organisation) + application);
    return withTrailingSlash(configBaseDirectory(userScope)) + part;
}

QStringList drives()
{
    QStringList result;
    const QFileInfoList roots = QDir::drives();
    for (const QFileInfo &root : roots)
        result.append(withTrailingSlash(root.filePath()));
    return result;
}

QString bundleName(const QString &path)
{
    const QString name = QFileInfo(withoutTrailingSlash(path)).bundleName();
    if (name.isEmpty())
        throw Exception(2828412590u, {QDir::toNativeSeparators(path)}, true);
    return name;
}

void setCurrentDirectory(const QString &path)
{
    if (!QDir::setCurrent(withoutTrailingSlash(path)))
        throw Exception(214804937u, {QDir::toNativeSeparators(path)}, true);
}

namespace {

// Desktops that implement the file-manager interface open the folder with the entry selected.
bool showItemOverDBus(const QString &path)
{
    // Percent-encoded, the address holds no ',' that dbus-send would take as a separator.
    const QString uri = QLatin1String("file://")
                        + QString::fromLatin1(QUrl::toPercentEncoding(absolutePath(path), "/"));
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    startProcess(&process, QStringLiteral("dbus-send"),
                 {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                  QStringLiteral("--reply-timeout=2000"),
                  QStringLiteral("--dest=org.freedesktop.FileManager1"),
                  QStringLiteral("--type=method_call"), QStringLiteral("/org/freedesktop/FileManager1"),
                  QStringLiteral("org.freedesktop.FileManager1.ShowItems"),
                  QLatin1String("array:string:") + uri, QStringLiteral("string:")});
    if (!process.waitForStarted(3000))
        return false;
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

bool revealInFileManager(const QString &path)
{
    if (showItemOverDBus(path))
        return true;
    const QString folder = QDir::toNativeSeparators(isDirectory(path) ? path : parentPath(path));
    if (QProcess::startDetached(QStringLiteral("xdg-open"), {folder}))
        return true;
    if (QProcess::startDetached(QStringLiteral("gnome-open"), {folder}))
        return true;
    return QProcess::startDetached(QStringLiteral("kfmclient"), {QStringLiteral("exec"), folder});
}
