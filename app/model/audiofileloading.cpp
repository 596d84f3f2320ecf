#include "app/model/audiofileloading.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <QSet>
#include <QThread>
#include <QWidget>

#include <algorithm>

#include "app/model/audiofilemodeldata.h"
#include "app/model/audiofilereaderthread.h"
#include "app/model/audiofilesearcherthread.h"
#include "app/model/audiofilewriterthread.h"
#include "app/model/iaudiofilemodel.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/modifiedselectiontracker.h"
#include "app/operations/operationqueue.h"
#include "app/shell/iappmainwindow.h"
#include "libcore/io/fileinfo.h"
#include "libcore/io/paths.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libcore/util/threads.h"
#include "libgui/icons/icons.h"
#include "libgui/progress/progressdialog.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/filetype.h"

namespace {
const QString AutoTaggerHintKey = QStringLiteral("showHints/showAutoTaggerHint");
// How often the wait for a cancelled writer runs the calls it may be waiting for.
constexpr int WriterPollMsecs = 20;

QString text(quint32 id, const QStringList &values = {})
{
    return upperCaseFirst(fillPlaceholders(textForId(id), values));
}

QWidget *dialogParent(IAppMainWindow *window)
{
    return window ? window->dialogParent() : nullptr;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Deals items out in turn to k lists: item i goes to list i mod k.
template<typename T>
QList<QList<T>> dealOut(const QList<T> &items, int k)
{
    QList<QList<T>> lists(k);
    for (qsizetype i = 0; i < items.size(); ++i)
        lists[i % k].append(items.at(i));
    return lists;
}

// The candidates whose suffix is one of a supported file type.
bool hasSupportedSuffix(const QString &path)
{
    static const QSet<QString> exact(FileType::allSuffixes().cbegin(), FileType::allSuffixes().cend());
    static const QSet<QString> folded = [] {
        QSet<QString> set;
        for (const QString &suffix : FileType::allSuffixes())
            set.insert(suffix.toLower());
        return set;
    }();
    // What QFileInfo::suffix gives, without making a QFileInfo for each of thousands of paths.
    const QString name = withoutTrailingSlash(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString suffix = dot > name.lastIndexOf(u'/') ? name.mid(dot + 1) : QString();
    return isFileSystemCaseSensitive() == Qt::CaseSensitive ? exact.contains(suffix)
                                                            : folded.contains(suffix.toLower());
}

// The paths worth reading: not loaded yet, of a supported type, each file once. A file is
// recognised by its identity on disk as well as by its path, so that one reached through a
// link to its folder or a bind mount is not read a second time.
QStringList newAudioFilePaths(const QStringList &paths, const AudioFileModelData *store)
{
    const QSet<AudioFile *> loaded = store ? store->loadedFiles() : QSet<AudioFile *>();
    QSet<QString> loadedPaths;
    loadedPaths.reserve(loaded.size());
    for (AudioFile *file : loaded)
        loadedPaths.insert(file->filePath());

    QStringList candidates;
    QSet<QString> seen;
    seen.reserve(paths.size());
    for (const QString &path : paths) {
        if (seen.contains(path) || loadedPaths.contains(path))
            continue;
        seen.insert(path);
        if (hasSupportedSuffix(path))
            candidates.append(path);
    }
    if (candidates.isEmpty())
        return candidates;
    std::sort(candidates.begin(), candidates.end());

    QSet<FileIdentity> known;
    known.reserve(loaded.size() + candidates.size());
    for (AudioFile *file : loaded) {
        if (const auto identity = fileIdentity(file->filePath()))
            known.insert(*identity);
    }
    QStringList distinct;
    distinct.reserve(candidates.size());
    for (const QString &path : std::as_const(candidates)) {
        // A path that cannot be reached is still tried, so that its failure is reported.
        if (const auto identity = fileIdentity(path)) {
            if (known.contains(*identity))
                continue;
            known.insert(*identity);
        }
        distinct.append(path);
    }
    return distinct;
}

void showAutoTaggerHint(IAppMainWindow *window)
{
    if (!SettingsStore::boolValue(AutoTaggerHintKey))
        return;
    const bool showAgain = window->showHint(QStringLiteral("<p style='margin-bottom: 30px;'>%1</p><p align='center'><img src='%2'/> <b>%3</b></p>")
                       .arg(text(AutoTaggerHintTextId), iconUrl(QStringLiteral("autoTag"), 32),
                            textForId(AutoTagActionTextId)));
    if (showAgain)
        return;
    SettingsStore::setValue(AutoTaggerHintKey, QStringLiteral("false"));
    const QString settingsFile = window->settingsFilePath();
    if (settingsFile.isEmpty())
        return;
    try {
        SettingsStore::saveFile(settingsFile);
    } catch (const Exception &) {
        // Logged; the hint comes back next time.
    }
}

// Runs one searcher over the folders; nothing when the user cancelled.
std::optional<QStringList> searchFolders(const QStringList &folders, bool includeSubfolders, IAppMainWindow *window)
{
    QObject scope;
    auto *searcher = new AudioFileSearcherThread(folders, includeSubfolders, &scope);
    if (!runProgressThread(searcher, false, dialogParent(window)))
        return std::nullopt;
    return searcher->filePaths();
}
// The saved files' cells stop showing as modified.
void markSaved(IAppMainWindow *window, const QList<AudioFile *> &files)
{
    if (!files.isEmpty() && window && window->modifiedSelectionTracker())
        window->modifiedSelectionTracker()->markSaved(files);
}
} // namespace

int workerThreadCount(qsizetype files)
{
    return int(std::min<qsizetype>(std::max(1, QThread::idealThreadCount()), files / FilesPerThread + 1));
}

void openPaths(const QStringList &paths, bool includeSubfolders)
{
    IAppMainWindow *window = IAppMainWindow::instance();
    if (paths.isEmpty() || !window)
        return;
    BufferedLogger logger;
    QStringList files;
    QStringList folders;
    for (const QString &path : paths) {
        const QFileInfo info(withoutTrailingSlash(path));
        if (info.isFile())
            files.append(path);
        else if (info.isDir())
            folders.append(path);
    }
    if (!folders.isEmpty()) {
        const std::optional<QStringList> found = searchFolders(folders, includeSubfolders, window);
        if (!found)
            return;
        files += *found;
    }
    if (files.isEmpty()) {
        if (logger.lastErrorOrWarning().level != LogLevel::NoLevel)
            window->showLogMessages(&logger);
        return;
    }
    const bool oneFolder = paths.size() == 1 && folders.size() == 1;
    addAudioFiles(files, oneFolder ? folders.first() : QString());
}

void addFolders(const QStringList &folders, bool includeSubfolders)
{
    IAppMainWindow *window = IAppMainWindow::instance();
    if (folders.isEmpty() || !window)
        return;
    BufferedLogger logger;
    const std::optional<QStringList> found = searchFolders(folders, includeSubfolders, window);
    if (!found)
        return;
    if (!found->isEmpty()) {
        addAudioFiles(*found, folders.size() == 1 ? folders.first() : QString());
        return;
    }
    if (logger.lastErrorOrWarning().level != LogLevel::NoLevel) {
        window->showLogMessages(&logger);
        return;
    }
    QString message = text(NoFilesFoundTextId);
    if (!includeSubfolders)
        message += QStringLiteral("\n\n") + text(TryWithSubfoldersTextId, {textForId(AddSubfolderActionTextId)});
    window->showInformation(message);
}

void addAudioFiles(const QStringList &paths, const QString &folder)
{
    IAppMainWindow *window = IAppMainWindow::instance();
    IAudioFileModel *model = window ? window->model() : nullptr;
    if (!model)
        return;
    const QStringList newPaths = newAudioFilePaths(paths, model->modelData());
    const qsizetype n = newPaths.size();
    if (n == 0)
        return;
    if (n > ManyFilesQuestionThreshold
        && window->askQuestion(text(ManyFilesQuestionTextId, {QString::number(n)}),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    OperationQueue *queue = window->operationQueue();
    if (n > ClearUndoQueueThreshold && queue)
        queue->clear();

    QObject scope;
    QList<AudioFileReaderThread *> readers;
    const QList<QStringList> lists = dealOut(newPaths, workerThreadCount(n));
    for (const QStringList &list : lists)
        readers.append(new AudioFileReaderThread(list, &scope));

    BufferedLogger logger;
    QList<ProgressThread *> threads(readers.cbegin(), readers.cend());
    if (!runProgressThreads(threads, text(ReadingFilesTextId, {QString::number(n)}), true, dialogParent(window)))
        return;

    window->setBusyCursor(true);
    // The files wait under an owner of their own: the store takes them in this order, and Qt
    // finds and removes each at the front of that owner's children instead of moving all
    // the others up one place behind the reader threads, which for many files was quadratic.
    auto *readFiles = new QObject(&scope);
    muteChildEvents(readFiles);
    QList<AudioFile *> files;
    for (AudioFileReaderThread *reader : std::as_const(readers))
        files += reader->takeAudioFiles(readFiles);
    if (!files.isEmpty()) {
        AudioFileSelection selection(model);
        if (const AudioFileSelection *current = window->selection())
            selection.unite(*current);
        auto *operation = new ModelInsertOperation(selection, &scope);
        operation->files = files;
        const QString count = QString::number(files.size());
        if (!folder.isEmpty()) {
            operation->setDescription(text(AddFilesFromFolderTextId, {count, native(folder)}));
            Logger::logToAll(LogMessage(FilesAddedFromFolderTextId, LogLevel::Info, {files.size(), native(folder)}));
        } else {
            operation->setDescription(text(AddFilesTextId, {count}));
            Logger::logToAll(LogMessage(FilesAddedTextId, LogLevel::Info, {files.size()}));
        }
        try {
            if (queue) {
                queue->apply(operation);
            } else {
                operation->apply();
            }
        } catch (const Exception &) {
            // Logged, and shown below with the rest.
        }
    }
    window->setBusyCursor(false);

    if (files.size() < n) {
        Logger::warning(FilesNotReadTextId, {n - files.size(), n});
        window->showLogMessages(&logger);
    } else {
        showAutoTaggerHint(window);
    }
}

bool saveAudioFiles(const QList<AudioFile *> &files, bool showLogOnSuccess)
{
    if (files.isEmpty())
        return true;
    IAppMainWindow *window = IAppMainWindow::instance();
    BufferedLogger logger;

    // Two writers must never work on one file, and a second write of a file through another
    // path would use offsets the first one made stale: each file on disk is written once.
    QList<AudioFile *> distinct;
    QSet<AudioFile *> seen;
    QHash<FileIdentity, AudioFile *> byIdentity;
    for (AudioFile *file : files) {
        if (!file || seen.contains(file))
            continue;
        seen.insert(file);
        if (const auto identity = fileIdentity(file->filePath())) {
            if (AudioFile *first = byIdentity.value(*identity)) {
                Logger::error(SameFileTwiceTextId, {native(file->filePath()), native(first->filePath())});
                continue;
            }
            byIdentity.insert(*identity, file);
        }
        distinct.append(file);
    }
    const qsizetype n = seen.size();

    QObject scope;
    QList<QPointer<AudioFileWriterThread>> writers;
    QList<ProgressThread *> threads;
    if (!distinct.isEmpty()) {
        for (const QList<AudioFile *> &list : dealOut(distinct, workerThreadCount(distinct.size()))) {
            auto *writer = new AudioFileWriterThread(list, &scope);
            writers.append(writer);
            threads.append(writer);
        }
    }
    const bool finished = runProgressThreads(threads, text(SavingFilesTextId), true, dialogParent(window));

    // After a cancel a writer may still be finishing its file; its list is read, and the files
    // it works on may be released, only once it has stopped. Nothing has run the event loop
    // since, so a detached writer has not been deleted yet. Meanwhile the writer may wait for
    // this thread to delete an item it dropped from a file's tag: queued calls go on running
    // (deferred deletions, the writer's own included, do not).
    QList<AudioFile *> saved;
    for (const QPointer<AudioFileWriterThread> &writer : std::as_const(writers)) {
        if (!writer)
            continue;
        while (!writer->wait(QDeadlineTimer(WriterPollMsecs)))
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        saved += writer->savedAudioFiles;
    }

    bool result = false;
    bool showLog = true;
    if (!finished) {
        Logger::info(SaveCanceledTextId, {saved.size()});
        showLog = false;
    } else if (saved.size() < n) {
        Logger::warning(FilesNotSavedTextId, {n - saved.size(), n});
    } else if (logger.lastError().level != LogLevel::NoLevel) {
        Logger::warning(SavedWithErrorsTextId, {n});
    } else {
        Logger::info(FilesSavedTextId, {saved.size()});
        result = true;
        showLog = showLogOnSuccess;
    }
    markSaved(window, saved);
    if (showLog && window)
        window->showLogMessages(&logger);
    return result;
}

bool audioFilePathLessThan(const AudioFile *first, const AudioFile *second)
{
    return QString::localeAwareCompare(first->filePath(), second->filePath()) < 0;
}
