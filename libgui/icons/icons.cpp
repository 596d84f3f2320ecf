#include "libgui/icons/icons.h"

#include <QApplication>
#include <QBuffer>
#include <QHash>
#include <QPixmap>
#include <QScreen>
#include <QStyle>

#include "libcore/io/folderwalk.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/log/logmessage.h"
#include "libcore/platform/platformidentity.h"
#include "libcore/util/base64.h"

namespace {

QString platformFolder()
{
    static const QString folder = [] {
        switch (platformId()) {
        case 0:
            return QStringLiteral("/win");
        case 1:
            return QStringLiteral("/mac");
        case 2:
            return QStringLiteral("/unix");
        default:
            return QString();
        }
    }();
    return folder;
}

} // namespace

QStringList &iconRootDirectories()
{
    static QStringList roots;
    return roots;
}

QString findIconDirectory(const QString &name)
{
    for (const QString &root : std::as_const(iconRootDirectories())) {
        const QString candidate = withTrailingSlash(root) + name;
        if (!pathExists(withoutTrailingSlash(candidate)))
            continue;
        const QString platform = platformFolder();
        if (!platform.isEmpty() && pathExists(withoutTrailingSlash(candidate) + platform))
            return withoutTrailingSlash(candidate) + platform;
        return candidate;
    }
    return QString();
}

QIcon loadIcon(const QString &name)
{
    static QHash<QString, QIcon> cache;
    const auto cached = cache.constFind(name);
    if (cached != cache.constEnd())
        return *cached;

    QIcon icon;
    const QString folder = findIconDirectory(name);
    if (!folder.isNull()) {
        try {
            const QStringList files = listDirectory(
                folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                QDir::Unsorted, false, false);
            for (const QString &file : files)
                icon.addFile(withTrailingSlash(folder) + file, QSize(), QIcon::Normal, QIcon::Off);
        } catch (const Exception &) {
            // The listing has logged itself; keep what was added.
        }
    }
    if (icon.isNull())
        Logger::warning(IconMissingWarningId, {name});
    cache.insert(name, icon);
    return icon;
}

QString iconDataUrl(const QIcon &icon, int size)
{
    const QPixmap pixmap = icon.pixmap(QSize(size, size), QIcon::Normal, QIcon::Off);
    if (pixmap.isNull())
        return QString();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    pixmap.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + toBase64String(png);
}

QString iconUrl(const QString &name, int size)
{
    const QString folder = findIconDirectory(name);
    if (!folder.isNull()) {
        const QString path = withTrailingSlash(folder) + QString::number(size) + QStringLiteral(".png");
        if (pathExists(withoutTrailingSlash(path)))
            return path;
    }
    return iconDataUrl(loadIcon(name), size);
}

int defaultIconSizeForScreen(const QSize &screen)
{
    return screen.width() > 1920 && screen.height() > 1080 ? 32 : 24;
}

int &defaultIconSize()
{
    static int size = [] {
        const QScreen *screen = QGuiApplication::primaryScreen();
        return defaultIconSizeForScreen(screen ? screen->geometry().size() : QSize());
    }();
    return size;
}

QIcon standardMessageIcon(int level)
{
    QStyle::StandardPixmap pixmap;
    switch (level) {
    case Info:
        pixmap = QStyle::SP_MessageBoxInformation;
        break;
    case Warning:
        pixmap = QStyle::SP_MessageBoxWarning;
        break;
    case Error:
        pixmap = QStyle::SP_MessageBoxCritical;
        break;
    case Question:
        pixmap = QStyle::SP_MessageBoxQuestion;
        break;
    default:
        return QIcon();
    }
    QStyle *style = QApplication::style();
    return style ? style->standardIcon(pixmap) : QIcon();
}
