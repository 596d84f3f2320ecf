#include <cstdio>

#include <sched.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include "app/model/audiofileloading.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/audiofileproxymodel.h"
#include "app/model/modeldatatype.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/shell/headlessmainwindow.h"
#include "bench/benchoptions.h"
#include "bench/tagread/readbench.h"
#include "libcore/log/exception.h"
#include "libcore/text/formatting.h"
#include "libcore/text/resourcepackage.h"
#include "app/shell/applicationresources.h"
#include "libcore/text/texttable.h"
#include "libtagging/model/audiotag.h"

// load DIR [--threads N]
// Loads every supported file under DIR through the loading procedure into the store and the
// table, as the program does, then sorts, sets one column of every row in one update, undoes
// and redoes it; compares the load with bench/tagread's read of the same files on the same
// threads. See README, "Performance".
namespace {
const quint32 Usage = 3482014715u;
const quint32 NoFiles = 1096392581u;

// The resident memory now, in KiB.
qint64 residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * 4 : 0;
}

// The loading procedure uses as many threads as the process may run on: limiting the CPUs
// is how the thread count is chosen, for the load and the read alike.
bool limitThreads(int threads)
{
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof(allowed), &allowed) != 0)
        return false;
    cpu_set_t chosen;
    CPU_ZERO(&chosen);
    int count = 0;
    for (int cpu = 0; cpu < CPU_SETSIZE && count < threads; ++cpu) {
        if (CPU_ISSET(cpu, &allowed)) {
            CPU_SET(cpu, &chosen);
            ++count;
        }
    }
    return sched_setaffinity(0, sizeof(chosen), &chosen) == 0;
}

double seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

void printPhase(const char *name, double time, qsizetype files)
{
    std::printf("%s: %.3f s, %.0f files/s\n", name, time, time > 0 ? double(files) / time : 0.0);
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    try {
        registerApplicationResources({QStringLiteral("bench_load.rcc")});
    } catch (const Exception &e) {
        return Bench::fail(e.message());
    }

    QString folder;
    int threads = 0;
    QStringList arguments = application.arguments().mid(1);
    Bench::Expectations expected;
    if (!expected.take(arguments))
        return Bench::fail(textForId(Usage));
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        bool ok = true;
        if (argument == u"--threads" && i + 1 < arguments.size())
            threads = arguments.at(++i).toInt(&ok);
        else if (folder.isEmpty() && !argument.startsWith(u"--"))
            folder = argument;
        else
            ok = false;
        if (!ok || threads < 0)
            return Bench::fail(textForId(Usage));
    }
    if (folder.isEmpty())
        return Bench::fail(textForId(Usage));
    if (threads > 0)
        limitThreads(threads);
    threads = std::max(1, QThread::idealThreadCount());

    const QStringList files = ReadBench::audioFiles(folder);
    if (files.isEmpty()) {
        QString message = textForId(NoFiles);
        return Bench::fail(argInPlace(message, folder));
    }
    // One untimed pass brings every file into the page cache.
    ReadBench::baseline(files, threads);
    std::printf("files: %lld, threads: %d\n", qlonglong(files.size()), threads);

    HeadlessMainWindow window;
    window.answer = QMessageBox::Yes;
    const QList<ModelDataType> columns{ModelDataType(TagItemType::Title), ModelDataType(TagItemType::Artist),
                                       ModelDataType(TagItemType::Album), ModelDataType(FileProperty::fileName)};
    window.model()->setDataTypes(columns);

    const qint64 before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    openPaths({folder}, true);
    const double loadTime = seconds(timer);
    const qint64 after = residentKiB();
    const QList<AudioFile *> loaded = window.model()->audioFiles();
    const qsizetype n = loaded.size();
    printPhase("load", loadTime, n);
    expected.check("files", double(files.size()));
    expected.check("loaded", double(n));

    // The same files read as bench/tagread reads them, on the same threads.
    const ReadBench::Pass read = ReadBench::read(files, threads);
    printPhase("tagread", read.seconds, files.size());
    std::printf("ratio (load time / tagread time): %.2f\n", read.seconds > 0 ? loadTime / read.seconds : 0.0);

    timer.restart();
    window.proxyModel()->sort(0);
    printPhase("sort by title", seconds(timer), n);

    timer.restart();
    auto *update = new ModelUpdateOperation(AudioFileSelection(window.model()));
    for (qsizetype i = 0; i < n; ++i)
        update->workingTag(loaded.at(i))->setItemValue(TagItemType::Album, QStringLiteral("Album %1").arg(i % 97));
    window.operationQueue()->apply(update);
    const double setTime = seconds(timer);
    printPhase("set album", setTime, n);
    int albumsSet = 0; // the album column, third of the model's
    for (int row = 0; row < window.proxyModel()->rowCount(); ++row)
        albumsSet += window.proxyModel()->index(row, 2).data().toString().startsWith(u"Album ") ? 1 : 0;
    expected.check("albums-set", albumsSet);
    timer.restart();
    window.operationQueue()->undo();
    const double undoTime = seconds(timer);
    printPhase("undo", undoTime, n);
    timer.restart();
    window.operationQueue()->redo();
    const double redoTime = seconds(timer);
    printPhase("redo", redoTime, n);
    std::printf("ratios to the load time: set %.3f, undo %.3f, redo %.3f\n", setTime / loadTime,
                undoTime / loadTime, redoTime / loadTime);
    std::printf("peak memory: %lld KiB; %.1f KiB per loaded file\n", ReadBench::peakMemoryKiB(),
                n > 0 ? double(after - before) / double(n) : 0.0);
    return expected.exitCode();
}
