// gallery OUTDIR: renders every widget and dialog of the GUI toolkit in its typical states
// (empty, filled, with a validation error, disabled) to OUTDIR/<name>.png. Run it under the
// offscreen platform (QT_QPA_PLATFORM=offscreen) to get the same pictures everywhere.

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include "libcore/log/exception.h"
#include "libcore/text/resourcepackage.h"
#include "libgui/package/guipackage.h"
#include "tools/gallery/gallerypages.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Melotaxonic"));
    QTextStream err(stderr);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        err << "usage: gallery OUTDIR\n";
        return 2;
    }
    const QString outDir = args.at(1);
    if (!QDir().mkpath(outDir)) {
        err << "cannot create " << outDir << "\n";
        return 1;
    }
    try {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        registerResourceFiles({QStringLiteral("libcore.rcc")});
        registerGuiPackage();
    } catch (const Exception &) {
        err << "cannot mount the resource packages beside the program\n";
        return 1;
    }
    Gallery gallery(outDir);
    renderGalleryPages(gallery);
    for (const QString &failure : std::as_const(gallery.failures))
        err << failure << "\n";
    QTextStream(stdout) << gallery.written << " pictures in " << outDir << "\n";
    return gallery.failures.isEmpty() && gallery.written > 0 ? 0 : 1;
}
