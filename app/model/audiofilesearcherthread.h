#pragma once

#include <QAtomicInt>
#include <QAtomicPointer>
#include <QStringList>

#include "libcore/progress/progressthread.h"

enum AudioFileSearcherThreadTextId : quint32 {
    SearchingFolderTextId = 0x67A71F83u, // [native folder, files found so far]
};

// Lists the supported audio files below folders in a worker thread.
class AudioFileSearcherThread : public ProgressThread
{
    Q_OBJECT
public:
    AudioFileSearcherThread(const QStringList &folders, bool includeSubfolders, QObject *parent = nullptr);
    ~AudioFileSearcherThread() override;

    // Nothing while the thread runs; afterwards the files found, folder by folder.
    QStringList filePaths() const;

protected:
    void run() override;

private:
    // Called in the walk for every folder: remembers the folder's progress and asks the GUI
    // thread to show it unless a request is still waiting there.
    void noteProgress(ProgressObject *child);
    // Shows the walk's status (the folder and the count so far) on the thread's own progress.
    void showPendingStatus();
    void showStatusOf(ProgressObject *child);

    QAtomicPointer<ProgressObject> m_updatedChild;
    QAtomicInt m_statusQueued;

    QStringList folders;
    bool includeSubfolders = true;
    QStringList m_filePaths;
};
