#include <cstdio>

#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

#include "app/library/fsmusiclibrary.h"
#include "app/library/musiclibraryprocessingdata.h"
#include "app/model/audiofilewriterthread.h"
#include "bench/benchoptions.h"
#include "libcore/io/filetree.h"
#include "libcore/io/folderwalk.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/resourcepackage.h"
#include "app/shell/applicationresources.h"
#include "libcore/text/texttable.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/filetype.h"

// bench_library DIR [--work FOLDER]
// Plans and adds the audio files under DIR (made by bench/make-library.py) into an empty
// library on the same file system, moving them, with retagging off and on; compares adding
// with the bare rename calls for the same files, and adding with retagging with saving the
// same tags through the save procedure. Works on copies of DIR; DIR is left alone. See
// README, "Performance".
namespace {
const quint32 Usage = 0x8d23a330u;
const quint32 NoFiles = 0x9e4e541du;
const quint32 NoWorkCopy = 0xdb479e0du;
const quint32 CountMismatch = 0x810347d7u; // [phase, arrived, files]

double seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

void printPhase(const char *name, double time, qsizetype files)
{
    std::printf("%s: %.3f s, %.0f files/s\n", name, time, time > 0 ? double(files) / time : 0.0);
}

qint64 peakMemoryKiB()
{
    rusage usage{};
    return getrusage(RUSAGE_SELF, &usage) == 0 ? qint64(usage.ru_maxrss) : 0;
}

// A copy of every file under the same relative path; false when one fails.
bool copyTree(const QString &from, const QStringList &relative, const QString &to)
{
    for (const QString &path : relative) {
        const QString target = to + QLatin1Char('/') + path;
        if (!QDir().mkpath(parentPath(target)) || !QFile::copy(from + QLatin1Char('/') + path, target))
            return false;
    }
    return true;
}

struct Run {
    std::unique_ptr<QObject> owner = std::make_unique<QObject>();
    QList<AudioFile *> files;
    std::unique_ptr<FsMusicLibrary> library = std::make_unique<FsMusicLibrary>();
    std::unique_ptr<MusicLibraryProcessingData> plan;
};

// A fresh copy of the source, its files loaded as the file list would hold them.
bool prepareRun(Run &run, const QString &source, const QStringList &relative, const QString &folder, bool retag)
{
    const QString src = folder + QStringLiteral("/src");
    if (!copyTree(source, relative, src))
        return false;
    for (const QString &path : relative) {
        auto *file = new AudioFile(src + QLatin1Char('/') + path, run.owner.get());
        try {
            file->readTags();
        } catch (const Exception &) {
        }
        run.files.append(file);
    }
    run.library->resetToDefaults();
    run.library->rootPath = folder + QStringLiteral("/lib");
    run.library->retagFiles = retag;
    run.plan = std::make_unique<MusicLibraryProcessingData>(run.files);
    return true;
}

int countMismatch(const char *phase, qsizetype arrived, qsizetype files)
{
    QString message = textForId(CountMismatch);
    message = message.arg(QString::fromLatin1(phase)).arg(arrived).arg(files);
    return Bench::fail(message);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    try {
        registerApplicationResources({QStringLiteral("bench_library.rcc")});
        SettingsStore::loadDefaultsFile(QStringLiteral(":/app/settings/defaults.xml"));
    } catch (const Exception &e) {
        return Bench::fail(e.message());
    }
    QString source;
    QString workParent;
    const QStringList arguments = application.arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == u"--work" && i + 1 < arguments.size())
            workParent = arguments.at(++i);
        else if (source.isEmpty() && !arguments.at(i).startsWith(u"--"))
            source = arguments.at(i);
        else
            return Bench::fail(textForId(Usage));
    }
    if (source.isEmpty())
        return Bench::fail(textForId(Usage));
    source = QDir(source).absolutePath();
    QStringList relative;
    try {
        relative = listFiles(source, FileType::fileDialogFilters(), QDir::Files, QDir::Name, true, false);
    } catch (const Exception &e) {
        return Bench::fail(e.message());
    }
    if (relative.isEmpty())
        return Bench::fail(textForId(NoFiles).arg(QDir::toNativeSeparators(source)));
    // Beside the source by default: the same file system, so that adding moves by renaming.
    if (workParent.isEmpty())
        workParent = parentPath(source);
    QTemporaryDir work(workParent + QStringLiteral("/bench-library-XXXXXX"));
    if (!work.isValid())
        return Bench::fail(textForId(NoWorkCopy).arg(QDir::toNativeSeparators(workParent)));
    const qsizetype n = relative.size();
    std::printf("files: %lld\n", qlonglong(n));

    // Retagging off: planning, then adding by moves.
    Run plain;
    if (!prepareRun(plain, source, relative, work.filePath(QStringLiteral("plain")), false))
        return Bench::fail(textForId(NoWorkCopy).arg(QDir::toNativeSeparators(work.path())));
    QElapsedTimer timer;
    timer.start();
    plain.plan->prepare(plain.library.get(), nullptr);
    const double planTime = seconds(timer);
    printPhase("plan", planTime, n);
    if (plain.plan->targetPaths.size() != n)
        return countMismatch("plan", plain.plan->targetPaths.size(), n);
    timer.restart();
    const QList<AudioFile *> added = plain.library->addFiles(plain.plan.get(), LibraryAddOptions{true, false, false}, nullptr);
    const double addTime = seconds(timer);
    printPhase("add (move, no retagging)", addTime, n);
    const qsizetype arrived = listFiles(plain.library->rootPath, {}, QDir::Files, QDir::NoSort, true, false).size();
    if (added.size() != n || arrived != n)
        return countMismatch("add", arrived, n);

    // The bare rename calls for the same files and targets, folders made beforehand.
    const QString renameFolder = work.filePath(QStringLiteral("rename"));
    if (!copyTree(source, relative, renameFolder + QStringLiteral("/src")))
        return Bench::fail(textForId(NoWorkCopy).arg(QDir::toNativeSeparators(work.path())));
    QList<QPair<QByteArray, QByteArray>> renames;
    for (qsizetype i = 0; i < n; ++i) {
        const QString target = renameFolder + QStringLiteral("/lib/") +
                               relativePath(plain.library->rootPath, plain.plan->targetPaths.value(plain.files.at(i)));
        QDir().mkpath(parentPath(target));
        renames.append({QFile::encodeName(renameFolder + QStringLiteral("/src/") + relative.at(i)), QFile::encodeName(target)});
    }
    timer.restart();
    for (const auto &pair : std::as_const(renames))
        std::rename(pair.first.constData(), pair.second.constData());
    const double renameTime = seconds(timer);
    printPhase("bare rename", renameTime, n);
    std::printf("ratio (add / rename): %.2f\n", renameTime > 0 ? addTime / renameTime : 0.0);

    // Retagging on, against saving the same tags into the same files.
    Run retagged;
    if (!prepareRun(retagged, source, relative, work.filePath(QStringLiteral("retag")), true))
        return Bench::fail(textForId(NoWorkCopy).arg(QDir::toNativeSeparators(work.path())));
    retagged.plan->prepare(retagged.library.get(), nullptr);
    timer.restart();
    const QList<AudioFile *> retaggedFiles = retagged.library->addFiles(retagged.plan.get(), LibraryAddOptions{true, false, false}, nullptr);
    const double retagTime = seconds(timer);
    printPhase("add (move, retagging)", retagTime, n);
    if (retaggedFiles.size() != n)
        return countMismatch("add with retagging", retaggedFiles.size(), n);

    Run saved;
    if (!prepareRun(saved, source, relative, work.filePath(QStringLiteral("save")), true))
        return Bench::fail(textForId(NoWorkCopy).arg(QDir::toNativeSeparators(work.path())));
    timer.restart();
    {
        AudioFileWriterThread writer(saved.files);
        writer.start();
        writer.wait();
        if (writer.savedAudioFiles.size() != n)
            return countMismatch("save", writer.savedAudioFiles.size(), n);
    }
    const double saveTime = seconds(timer);
    printPhase("save", saveTime, n);
    std::printf("ratio (add with retagging / save): %.2f\n", saveTime > 0 ? retagTime / saveTime : 0.0);
    std::printf("peak memory: %lld KiB\n", peakMemoryKiB());
    return 0;
}
