#include "app/library/addtolibrarycreatepreviewthread.h"

#include <QSet>

#include <algorithm>
#include <memory>

#include "app/library/musiclibrary.h"
#include "app/library/musiclibraryprocessingdata.h"
#include "app/operations/audiofileselection.h"
#include "app/shell/iappmainwindow.h"
#include "libcore/io/fileinfo.h"
#include "libcore/io/folderwalk.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/progress/linearprogressobject.h"
#include "libcore/util/threads.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/filetype.h"

namespace {

QList<AudioFile *> selectedFiles()
{
    IAppMainWindow *window = IAppMainWindow::instance();
    if (!window || !window->selection())
        return {};
    QList<AudioFile *> files = window->selection()->dataTypesByFile().keys();
    // The selection is a hash: sort so that the plan does not depend on its order.
    std::sort(files.begin(), files.end(), [](AudioFile *a, AudioFile *b) { return a->filePath() < b->filePath(); });
    return files;
}

} // namespace

QStringList relativeToRoot(const QStringList &paths, const QString &root)
{
    const QString prefix = withTrailingSlash(root);
    const Qt::CaseSensitivity cs = isFileSystemCaseSensitive();
    QStringList relative;
    for (const QString &path : paths) {
        if (path.startsWith(prefix, cs))
            relative.append(path.mid(prefix.size()));
    }
    return relative;
}

AddToLibraryCreatePreviewThread::AddToLibraryCreatePreviewThread(const MusicLibrary *library, QObject *parent)
    : AddToLibraryCreatePreviewThread(library, selectedFiles(), parent)
{
}

AddToLibraryCreatePreviewThread::AddToLibraryCreatePreviewThread(const MusicLibrary *library, const QList<AudioFile *> &files,
                                                                 QObject *parent)
    : ProgressThread(parent), m_files(files)
{
    if (library)
        this->library = library->clone(this);
}

AddToLibraryCreatePreviewThread::~AddToLibraryCreatePreviewThread()
{
    cancelAndWait();
}

MusicLibraryProcessingData *AddToLibraryCreatePreviewThread::takeProcessingData(QObject *newParent)
{
    MusicLibraryProcessingData *data = processingData;
    processingData = nullptr;
    if (data)
        setParentAcrossThreads(data, newParent);
    return data;
}

AddToLibraryPreviewResult AddToLibraryCreatePreviewThread::takeResult()
{
    AddToLibraryPreviewResult result{libraryPaths, relatedPaths, newPaths, deletedPaths};
    libraryPaths.clear();
    relatedPaths.clear();
    newPaths.clear();
    deletedPaths.clear();
    return result;
}

void AddToLibraryCreatePreviewThread::run()
{
    processingData = nullptr;
    if (!library) {
        progressObject()->finish();
        return;
    }
    auto *preparation = new CombinedProgressObject;
    auto *folders = new LinearProgressObject;
    progressObject()->addChild(preparation, 35, true);
    progressObject()->addChild(folders, 10, true);

    // Created in this thread without a parent, handed to the thread object once complete.
    auto plan = std::make_unique<MusicLibraryProcessingData>(m_files);
    plan->prepare(library, preparation);
    if (progressObject()->isCanceled())
        return;
    MusicLibraryProcessingData *data = plan.release();
    setParentAcrossThreads(data, this);
    processingData = data;

    const QMap<AudioFile *, QString> targets = data->effectiveTargets();
    QStringList paths = targets.values();
    QStringList targetFolders;
    QSet<QString> seen;
    for (const QString &target : std::as_const(paths)) {
        const QString folder = parentPath(target);
        if (!seen.contains(folder)) {
            seen.insert(folder);
            targetFolders.append(folder);
        }
    }
    folders->setMaximum(int(targetFolders.size()));
    const QStringList filters = FileType::fileDialogFilters();
    for (const QString &folder : std::as_const(targetFolders)) {
        if (isDirectory(folder)) {
            try {
                const QStringList listed = listFiles(folder, filters, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                                     QDir::NoSort, false, true);
                for (const QString &path : listed) {
                    if (!data->isDiscardedDuplicate(path))
                        paths.append(path);
                }
            } catch (const Exception &) {
            }
        }
        if (folders->isCanceled())
            return;
        folders->advance(1);
    }
    libraryPaths = relativeToRoot(paths, library->rootPath);
    relatedPaths = relativeToRoot(data->relatedFiles.values(), library->rootPath);

    QStringList added = targets.values() + data->relatedFiles.values();
    QStringList missing;
    QSet<QString> ancestors;
    for (const QString &path : std::as_const(added)) {
        for (QString folder = parentPath(path); !folder.isEmpty() && !ancestors.contains(folder); folder = parentPath(folder)) {
            ancestors.insert(folder);
            if (!pathExists(folder))
                missing.append(folder);
            if (isRootPath(folder))
                break;
        }
    }
    newPaths = relativeToRoot(added + missing, library->rootPath);
    deletedPaths.clear();
    progressObject()->finish();
}
