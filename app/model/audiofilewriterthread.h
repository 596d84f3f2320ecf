#pragma once

#include <QList>

#include "libcore/progress/progressthread.h"

class AudioFile;
class LinearProgressObject;

enum AudioFileWriterThreadTextId : quint32 {
    FileNotSavedTextId = 0x2241B959u, // [native path]
};

// Writes the combined tags of files in a worker thread with the tagging options of the
// moment. The files are only referenced: the caller keeps them alive until the thread stops.
class AudioFileWriterThread : public ProgressThread
{
    Q_OBJECT
public:
    AudioFileWriterThread(const QList<AudioFile *> &files, QObject *parent = nullptr);
    ~AudioFileWriterThread() override;

    // The files saved without failure; read it only once the thread has stopped.
    QList<AudioFile *> savedAudioFiles;

protected:
    void run() override;

private:
    QList<AudioFile *> audioFiles;
    LinearProgressObject *progress = nullptr;
};
