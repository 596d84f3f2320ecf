#pragma once

#include <QList>
#include <QStringList>

#include "app/library/addtolibrarypreviewresult.h"
#include "libcore/progress/progressthread.h"

class AudioFile;
class MusicLibrary;
class MusicLibraryProcessingData;

// The paths of the list that lie below the root, with the root cut off; the others dropped.
QStringList relativeToRoot(const QStringList &paths, const QString &root);

// Plans an addition in a worker thread and turns the plan into the preview's path lists.
// Everything it needs of the GUI (the chosen library and the selected files) is copied when
// it is constructed, in the GUI thread.
class AddToLibraryCreatePreviewThread : public ProgressThread
{
    Q_OBJECT
public:
    // The files of the main window's current selection, in path order.
    AddToLibraryCreatePreviewThread(const MusicLibrary *library, QObject *parent = nullptr);
    AddToLibraryCreatePreviewThread(const MusicLibrary *library, const QList<AudioFile *> &files,
                                    QObject *parent = nullptr);
    ~AddToLibraryCreatePreviewThread() override;

    // The plan, re-parented to the new parent, or null; the thread forgets it.
    MusicLibraryProcessingData *takeProcessingData(QObject *newParent);
    AddToLibraryPreviewResult takeResult();

    // The thread's own copy of the library; null when none was chosen.
    MusicLibrary *library = nullptr;
    MusicLibraryProcessingData *processingData = nullptr;
    QStringList libraryPaths;
    QStringList relatedPaths;
    QStringList newPaths;
    QStringList deletedPaths;

protected:
    void run() override;

private:
    QList<AudioFile *> m_files;
};
