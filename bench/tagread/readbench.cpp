#include "bench/tagread/readbench.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <sys/resource.h>

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>

#include "libcore/io/folderlistingcache.h"
#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/filetype.h"

namespace {
const qint64 HeadBytes = 64 * 1024;
const qint64 TailBytes = 256;
} // namespace

QStringList ReadBench::audioFiles(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, FileType::fileDialogFilters(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        IoStream stream(path);
        const FileType *type = FileType::detect(&stream);
        if (type && type->id != 0)
            files.append(path);
    }
    std::sort(files.begin(), files.end());
    return files;
}

template<class Work>
ReadBench::Pass ReadBench::run(const QStringList &files, int threads, Work work)
{
    // Threads take the next file from one counter, so a slow file does not stall a share.
    std::atomic<qsizetype> next{0};
    std::atomic<int> errors{0};
    auto worker = [&] {
        // The files of a pass are one batch, as the program loads them.
        FolderListingCache::Scope batch;
        for (qsizetype i = next++; i < files.size(); i = next++) {
            if (!work(files.at(i)))
                ++errors;
        }
    };
    QElapsedTimer timer;
    timer.start();
    if (threads <= 1) {
        worker();
    } else {
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back(worker);
        for (std::thread &thread : pool)
            thread.join();
    }
    Pass pass;
    pass.seconds = double(timer.nsecsElapsed()) / 1e9;
    pass.errors = errors;
    pass.peakKiB = peakMemoryKiB();
    return pass;
}

ReadBench::Pass ReadBench::baseline(const QStringList &files, int threads)
{
    return run(files, threads, [](const QString &path) {
        thread_local std::unique_ptr<char[]> buffer(new char[HeadBytes]);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const qint64 size = file.size();
        bool ok = file.read(buffer.get(), std::min(size, HeadBytes)) >= 0;
        if (size > TailBytes)
            ok = ok && file.seek(size - TailBytes) && file.read(buffer.get(), TailBytes) == TailBytes;
        file.close();
        return ok;
    });
}

ReadBench::Pass ReadBench::read(const QStringList &files, int threads)
{
    return run(files, threads, [](const QString &path) {
        AudioFile file(path);
        try {
            file.readTags(0);
            return file.audioProperties().valid;
        } catch (const Exception &) {
            return false;
        }
    });
}

qint64 ReadBench::peakMemoryKiB()
{
    rusage usage{};
    return getrusage(RUSAGE_SELF, &usage) == 0 ? qint64(usage.ru_maxrss) : 0;
}
