#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

#include "libcore/progress/progressthread.h"

class AudioFile;
class LinearProgressObject;

enum AudioFileReaderThreadTextId : quint32 {
    FileNotReadTextId = 0x37D51645u, // [native path]
};

// Opens and reads files in a worker thread. The files read become children of this object
// (in the GUI thread); a caller takes them once the thread has stopped.
class AudioFileReaderThread : public ProgressThread
{
    Q_OBJECT
public:
    AudioFileReaderThread(const QStringList &paths, QObject *parent = nullptr);
    ~AudioFileReaderThread() override;

    // Nothing while the thread runs. Otherwise hands the files read over to the new parent;
    // a second call gives nothing.
    QList<AudioFile *> takeAudioFiles(QObject *newParent);

protected:
    void run() override;

private:
    QStringList paths;
    QList<AudioFile *> audioFiles;
    LinearProgressObject *progress = nullptr;
};

// Drops the shared image data of files that are gone, from the event loop, after a reader
// thread (and with it whatever it read and nobody took) was deleted.
class AudioFileReaderThreadCleanupHelper : public QObject
{
    Q_OBJECT
public:
    static AudioFileReaderThreadCleanupHelper *instance();

public Q_SLOTS:
    void onCleanup();
};
