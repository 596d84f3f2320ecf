#include <cstdio>

#include <QCoreApplication>
#include <QStringList>

#include "bench/benchoptions.h"
#include "bench/tagread/readbench.h"
#include "libcore/log/exception.h"
#include "libcore/text/formatting.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/text/texttable.h"

// tagread DIR [--threads N] [--baseline]
// Reads every supported file under DIR as the program does and compares the time with the
// raw I/O of the same files; see README, "Performance". Each timed pass runs on a warm cache.
namespace {
const quint32 Usage = 2751241724u;
const quint32 NoFiles = 1475597571u;

void printPass(const char *name, qsizetype files, const ReadBench::Pass &pass)
{
    std::printf("%s: %.3f s, %.0f files/s, %d errors\n", name, pass.seconds,
                pass.seconds > 0 ? double(files) / pass.seconds : 0.0, pass.errors);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    try {
        registerResourceFiles({QStringLiteral("libcore.rcc"), QStringLiteral("libtagging.rcc")});
        registerResourceFile(QStringLiteral("bench_tagread.rcc"), QStringLiteral(":/tagread"));
    } catch (const Exception &e) {
        return Bench::fail(e.message());
    }

    QString folder;
    int threads = 1;
    bool baselineOnly = false;
    const QStringList arguments = application.arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        bool ok = true;
        if (argument == u"--baseline")
            baselineOnly = true;
        else if (argument == u"--threads" && i + 1 < arguments.size())
            threads = arguments.at(++i).toInt(&ok);
        else if (folder.isEmpty() && !argument.startsWith(u"--"))
            folder = argument;
        else
            ok = false;
        if (!ok || threads < 1)
            return Bench::fail(textForId(Usage));
    }
    if (folder.isEmpty())
        return Bench::fail(textForId(Usage));

    const QStringList files = ReadBench::audioFiles(folder);
    if (files.isEmpty()) {
        QString message = textForId(NoFiles);
        return Bench::fail(argInPlace(message, folder));
    }

    // One untimed pass brings every file into the page cache.
    ReadBench::baseline(files, threads);
    std::printf("files: %lld, threads: %d\n", qlonglong(files.size()), threads);
    const ReadBench::Pass baseline = ReadBench::baseline(files, threads);
    printPass("baseline", files.size(), baseline);
    if (baselineOnly) {
        std::printf("peak memory: %lld KiB\n", baseline.peakKiB);
        return 0;
    }

    // In two halves, so that the peak after the first shows whether memory grows with the
    // number of files read.
    const qsizetype half = files.size() / 2;
    const ReadBench::Pass first = ReadBench::read(files.mid(0, half), threads);
    const ReadBench::Pass second = ReadBench::read(files.mid(half), threads);
    ReadBench::Pass read;
    read.seconds = first.seconds + second.seconds;
    read.errors = first.errors + second.errors;
    printPass("read", files.size(), read);
    std::printf("ratio (read time / baseline time): %.2f\n", baseline.seconds > 0 ? read.seconds / baseline.seconds : 0.0);
    std::printf("peak memory: %lld KiB after the baseline, %lld KiB after half of the files read, %lld KiB after all\n",
                baseline.peakKiB, first.peakKiB, second.peakKiB);
    return 0;
}
