#include "app/model/audiofilereaderthread.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include "libcore/image/codedimage.h"
#include "libcore/io/folderlistingcache.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/progress/linearprogressobject.h"
#include "libcore/util/threads.h"
#include "libtagging/model/audiofile.h"

namespace {
// Milliseconds between two progress reports.
constexpr qint64 ProgressInterval = 40;
} // namespace

AudioFileReaderThread::AudioFileReaderThread(const QStringList &paths, QObject *parent)
    : ProgressThread(parent), paths(paths), progress(new LinearProgressObject)
{
    progressObject()->addChild(progress, 1.0, true);
    progress->setMaximum(int(paths.size()));
    // Each file read joins this object from the worker: a child event posted per file would
    // wake the GUI thread for nothing and make the workers queue for its event list.
    muteChildEvents(this);
}

AudioFileReaderThread::~AudioFileReaderThread()
{
    // The files read and not taken die with this object; their image data is dropped later.
    QTimer::singleShot(0, AudioFileReaderThreadCleanupHelper::instance(),
                       &AudioFileReaderThreadCleanupHelper::onCleanup);
    cancelAndWait();
}

QList<AudioFile *> AudioFileReaderThread::takeAudioFiles(QObject *newParent)
{
    if (isRunning())
        return {};
    const QList<AudioFile *> files = std::exchange(audioFiles, {});
    for (AudioFile *file : files)
        file->setParent(newParent);
    return files;
}

void AudioFileReaderThread::run()
{
    // Files that fail half-way stay here and go when run() returns.
    QObject scratch;
    // This thread runs no event loop: a child event posted to the scratch owner for every file
    // handed on would pile up here, and moving each file's objects to the GUI thread walks
    // that pile, which made loading quadratic in the number of files.
    muteChildEvents(&scratch);
    // Files of one folder look at the same folder listing; it is read once per batch.
    FolderListingCache::Scope batch;
    // Every step handed on is an event for the GUI thread, which repaints the progress
    // dialog: it learns of the files read a few times a second, not once per file.
    QElapsedTimer sinceReported;
    sinceReported.start();
    int unreported = 0;
    for (const QString &path : std::as_const(paths)) {
        try {
            auto *file = new AudioFile(path, &scratch);
            file->readTags(0, true);
            setParentAcrossThreads(file, this);
            audioFiles.append(file);
        } catch (const Exception &) {
            Logger::error(FileNotReadTextId, {QDir::toNativeSeparators(path)});
        }
        if (progress->isCanceled())
            return;
        ++unreported;
        if (sinceReported.hasExpired(ProgressInterval)) {
            progress->advance(std::exchange(unreported, 0));
            sinceReported.restart();
        }
    }
    progress->advance(unreported);
    // An empty list has no steps to finish the progress with.
    progressObject()->finish();
}

AudioFileReaderThreadCleanupHelper *AudioFileReaderThreadCleanupHelper::instance()
{
    static AudioFileReaderThreadCleanupHelper helper;
    return &helper;
}

void AudioFileReaderThreadCleanupHelper::onCleanup()
{
    CodedImage::releaseUnusedData();
}
