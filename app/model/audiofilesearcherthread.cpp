#include "app/model/audiofilesearcherthread.h"

#include "libcore/io/folderwalk.h"
#include "libcore/log/exception.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libtagging/model/filetype.h"

AudioFileSearcherThread::AudioFileSearcherThread(const QStringList &folders, bool includeSubfolders,
                                                 QObject *parent)
    : ProgressThread(parent), folders(folders), includeSubfolders(includeSubfolders)
{
    // One progress per folder, made here so that they live in the thread object's thread.
    const QString status = upperCaseFirst(textForId(SearchingFolderTextId));
    for (qsizetype i = 0; i < folders.size(); ++i) {
        auto *child = new CombinedProgressObject;
        progressObject()->addChild(child, 1.0, true);
        child->setStatusText(status);
        // Runs in the walk, under the child's lock: it only posts, so it takes no progress lock
        // in the other order than the progress dialog does.
        connect(
            child, &ProgressObject::progressUpdated, this, [this, child] { noteProgress(child); },
            Qt::DirectConnection);
    }
}

AudioFileSearcherThread::~AudioFileSearcherThread()
{
    cancelAndWait();
}

QStringList AudioFileSearcherThread::filePaths() const
{
    return isRunning() ? QStringList() : m_filePaths;
}

void AudioFileSearcherThread::run()
{
    const QStringList filters = FileType::fileDialogFilters();
    for (qsizetype i = 0; i < folders.size(); ++i) {
        try {
            m_filePaths += listFiles(folders.at(i), filters, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                     QDir::NoSort, includeSubfolders, true, progressObject()->child(int(i)));
        } catch (const Exception &) {
            // The walk has logged the folder it could not read.
        }
        if (progressObject()->isCanceled())
            return;
    }
    progressObject()->finish();
}

void AudioFileSearcherThread::noteProgress(ProgressObject *child)
{
    // A walk reports every folder; one event per folder kept the GUI thread busy with
    // statuses nobody could read, so reports made while one waits join it.
    m_updatedChild.storeRelease(child);
    if (m_statusQueued.testAndSetOrdered(0, 1))
        QMetaObject::invokeMethod(this, &AudioFileSearcherThread::showPendingStatus, Qt::QueuedConnection);
}

void AudioFileSearcherThread::showPendingStatus()
{
    m_statusQueued.storeRelease(0);
    if (ProgressObject *child = m_updatedChild.loadAcquire())
        showStatusOf(child);
}

void AudioFileSearcherThread::showStatusOf(ProgressObject *child)
{
    QStringList values;
    for (const QVariant &argument : child->statusArguments())
        values.append(argument.toString());
    progressObject()->setStatusText(fillPlaceholders(child->statusText(), values));
}
