#include "app/library/addtolibraryworkerthread.h"

#include "app/library/musiclibraryprocessingdata.h"
#include "app/shell/iappmainwindow.h"
#include "libcore/log/logger.h"

namespace {

int selectionFileCount()
{
    IAppMainWindow *window = IAppMainWindow::instance();
    return window ? window->selectionFileCount() : 0;
}

} // namespace

AddToLibraryWorkerThread::AddToLibraryWorkerThread(const MusicLibrary *library, MusicLibraryProcessingData *data,
                                                   const LibraryAddOptions &options, QObject *parent)
    : AddToLibraryWorkerThread(library, data, options, selectionFileCount(), parent)
{
}

AddToLibraryWorkerThread::AddToLibraryWorkerThread(const MusicLibrary *library, MusicLibraryProcessingData *data,
                                                   const LibraryAddOptions &options, int selectedFileCount, QObject *parent)
    : ProgressThread(parent), m_data(data), m_options(options), m_selectedFileCount(selectedFileCount)
{
    if (library)
        m_library = library->clone(this);
}

AddToLibraryWorkerThread::~AddToLibraryWorkerThread()
{
    cancelAndWait();
}

void AddToLibraryWorkerThread::run()
{
    if (!m_library || !m_data) {
        progressObject()->finish();
        return;
    }
    addedFiles = m_library->addFiles(m_data, m_options, progressObject());
    const int n = m_selectedFileCount;
    const int k = int(addedFiles.size());
    if (progressObject()->isCanceled()) {
        // Each file is at its source or complete at its target; the per-file messages say
        // which, and this one how many were placed.
        Logger::warning(AdditionCancelledTextId, {k, n});
        return;
    }
    if (k == n)
        Logger::info(AllFilesAddedTextId, {n});
    else if (k == 0)
        Logger::error(NoFileAddedTextId, {n});
    else
        Logger::warning(SomeFilesAddedTextId, {k, n});
    progressObject()->finish();
}
