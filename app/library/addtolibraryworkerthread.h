#pragma once

#include <QList>

#include "app/library/musiclibrary.h"
#include "libcore/progress/progressthread.h"

class AudioFile;
class MusicLibraryProcessingData;

enum AddToLibraryTextId : quint32 {
    AllFilesAddedTextId = 0x87d9dfb0u,      // [file count]
    NoFileAddedTextId = 0xd15d2f87u,        // [file count]
    SomeFilesAddedTextId = 0x192afb28u,     // [added count, file count]
    AdditionCancelledTextId = 0xd51d3801u,  // [added count, file count]
};

// Carries out a prepared plan in a worker thread and logs the outcome. The library and the
// options are copied and the selection's file count taken when it is constructed, in the GUI
// thread; the plan is only read, while the GUI waits.
class AddToLibraryWorkerThread : public ProgressThread
{
    Q_OBJECT
public:
    // The selection's file count is read from the main window now.
    AddToLibraryWorkerThread(const MusicLibrary *library, MusicLibraryProcessingData *data,
                             const LibraryAddOptions &options, QObject *parent = nullptr);
    AddToLibraryWorkerThread(const MusicLibrary *library, MusicLibraryProcessingData *data,
                             const LibraryAddOptions &options, int selectedFileCount, QObject *parent = nullptr);
    ~AddToLibraryWorkerThread() override;

    // Read it only once the thread has stopped.
    QList<AudioFile *> addedFiles;

protected:
    void run() override;

private:
    MusicLibrary *m_library = nullptr;
    MusicLibraryProcessingData *m_data = nullptr;
    LibraryAddOptions m_options;
    int m_selectedFileCount = 0;
};
