#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "app/model/audiofileloading.h"
#include "app/shell/appmainwindow.h"
#include "app/shell/tageditorrouting.h"
#include "libgui/icons/icons.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/resourcepackage.h"
#include "libtagging/model/tagitem.h"

// windowgallery MUSIC-FOLDER OUTPUT-FOLDER
// Run under xvfb-run -s "-screen 0 1920x1080x24": the main window at 1920x1080 and 1366x768,
// with the ribbon and with the menus and tool bars, and each dock on its own.
namespace {
void settle()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool save(QWidget *widget, const QString &path)
{
    settle();
    const bool ok = widget->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}
} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Melotaxonic"));
    const QStringList arguments = application.arguments().mid(1);
    if (arguments.size() != 2)
        return 2;
    try {
        registerResourceFiles({QStringLiteral("libcore.rcc"), QStringLiteral("libgui.rcc"),
                               QStringLiteral("libtagging.rcc")});
        registerResourceFile(QStringLiteral("melotaxonic.rcc"), QStringLiteral(":/app"));
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 2;
    }
    iconRootDirectories().append({QStringLiteral(":/libgui/icons"), QStringLiteral(":/app/icons")});
    application.setWindowIcon(loadIcon(QStringLiteral("appIcon")));
    SettingsStore::loadDefaultsFile(QStringLiteral(":/app/settings/defaults.xml"));
    registerTagItemTypes();
    TagEditorRouting::installEventFilter();
    AppMainWindow *window = AppMainWindow::instance();
    window->resize(1920, 1080);
    window->show();
    openPaths({arguments.at(0)}, true);
    Logger::warning(2608788003u, {QStringLiteral("example")});
    const QDir out(arguments.at(1));
    out.mkpath(QStringLiteral("."));
    bool ok = true;
    for (const QSize &size : {QSize(1920, 1080), QSize(1366, 768)}) {
        window->resize(size);
        const QString suffix = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
        SettingsStore::setValue(QStringLiteral("appMainWindow/useRibbonBar"), QStringLiteral("true"));
        window->onSettingsChanged();
        ok &= save(window, out.filePath(QStringLiteral("mainwindow-ribbon-%1.png").arg(suffix)));
        SettingsStore::setValue(QStringLiteral("appMainWindow/useRibbonBar"), QStringLiteral("false"));
        window->onSettingsChanged();
        ok &= save(window, out.filePath(QStringLiteral("mainwindow-menus-%1.png").arg(suffix)));
    }
    window->resize(1920, 1080);
    for (QDockWidget *dock : window->findChildren<QDockWidget *>()) {
        dock->raise();
        ok &= save(dock, out.filePath(QStringLiteral("dock-%1.png").arg(dock->objectName())));
    }
    return ok ? 0 : 1;
}
