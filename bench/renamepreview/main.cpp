#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>

#include "app/dialogs/filepatterneditorwidget.h"
#include "app/dialogs/filesystempreviewwidget.h"
#include "app/dialogs/renamedialog.h"
#include "app/model/audiofilemodeldata.h"
#include "app/operations/audiofileselection.h"
#include "app/shell/headlessmainwindow.h"
#include "bench/benchoptions.h"
#include "libcore/log/exception.h"
#include "libcore/text/resourcepackage.h"
#include "app/shell/applicationresources.h"
#include "libcore/text/textcatalogue.h"
#include "libcore/text/texttable.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/model/tagitem.h"

// bench_renamepreview [--files N] [--passes N]
// Loads N files held in memory (10,000 by default, 12 to an album folder) and selects them;
// then, in the rename dialog, times a change of the file-name pattern until the preview
// tree is shown: new names for every file with the collision check against the disk, the
// tree rebuilt and painted. Each pass switches between two patterns; best and worst pass.
// Run it with QT_QPA_PLATFORM=offscreen.
namespace {
const quint32 Usage = 3217650943u;

AudioFile *makeFile(int i)
{
    const int album = i / 12;
    auto *file = new AudioFile(QStringLiteral("/nonexistent/music/Artist %1/Album %2/%3.mp3").arg(album % 97).arg(album).arg(i));
    auto *tag = new AudioTag;
    using T = TagItemType::Id;
    tag->addItemValue(T::Title, QStringLiteral("Song %1 (Extended Mix)").arg(i));
    tag->addItemValue(T::Artist, QStringLiteral("Artist %1").arg(album % 97));
    tag->addItemValue(T::Album, QStringLiteral("Album %1").arg(album));
    tag->addItemValue(T::TrackNumber, i % 12 + 1);
    file->setTag(tag, TagType::Combined);
    return file;
}

NamingPattern simplePattern(const QStringList &parts)
{
    NamingPattern pattern;
    pattern.levels = {parts};
    return pattern;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    try {
        registerApplicationResources({QStringLiteral("bench_renamepreview.rcc")});
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        TextCatalogue::applyLanguage(english, english);
    } catch (const Exception &e) {
        return Bench::fail(e.message());
    }
    registerTagItemTypes();

    int fileCount = 10000;
    int passes = 5;
    if (!readFilesAndPasses(application.arguments().mid(1), fileCount, passes))
        return Bench::fail(textForId(Usage));

    try {
        HeadlessMainWindow window;
        QList<AudioFile *> files;
        files.reserve(fileCount);
        for (int i = 0; i < fileCount; ++i)
            files.append(makeFile(i));
        window.store()->addAudioFiles(files);
        window.selection()->insert(files, {ModelDataType(FileProperty::fileName)});

        RenameDialog dialog;
        dialog.resize(900, 900);
        dialog.show();
        QApplication::processEvents();
        const QList<NamingPattern> patterns{simplePattern({"%trackNumber%", " - ", "%title%"}),
                                            simplePattern({"%artist%", " - ", "%title%"})};
        double best = 0;
        double worst = 0;
        for (int pass = 0; pass < passes; ++pass) {
            QElapsedTimer timer;
            timer.start();
            dialog.patternEditor()->setPattern(patterns.at(pass % 2));
            // What the 150 ms timer starts, without the wait.
            dialog.previewTimer()->stop();
            QMetaObject::invokeMethod(&dialog, "updatePreview");
            dialog.preview()->repaint();
            QApplication::processEvents();
            const double seconds = double(timer.nsecsElapsed()) / 1e9;
            std::printf("pass %d: %.4f s\n", pass + 1, seconds);
            best = pass == 0 ? seconds : qMin(best, seconds);
            worst = qMax(worst, seconds);
        }
        std::printf("files: %d, passes: %d, preview entries: %lld\n", fileCount, passes,
                    qint64(dialog.preview()->paths().size()));
        std::printf("rename preview after a pattern change: best %.4f s, worst %.4f s\n", best, worst);
    } catch (const Exception &e) {
        return Bench::fail(e.message());
    }
    return 0;
}
