#include "app/identification/idmainhandlerthread.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMap>

#include <algorithm>
#include <exception>

#include "app/identification/stages/groupalbums.h"
#include "app/identification/idaudiofile.h"
#include "app/identification/idaudiofilegroup.h"
#include "app/identification/stages/writetagchanges.h"
#include "app/identification/stages/unifycapitalizationandtypos.h"
#include "app/identification/stages/unifyartistspellings.h"
#include "app/identification/stages/consolidateartistnames.h"
#include "app/identification/stages/groupbysegmentation.h"
#include "app/identification/stages/scoreinterpretations.h"
#include "app/identification/stages/normalizeidstrings.h"
#include "app/identification/stages/fingerprintandlookup.h"
#include "app/identification/idsegment.h"
#include "app/identification/updateset.h"
#include "app/operations/modelupdateoperation.h"
#include "libcore/io/folderwalk.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/progress/linearprogressobject.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libcore/util/threads.h"
#include "libtagging/model/audiofile.h"

namespace {

// Folders with more entries than this besides the selected files are too large to read
// their other files as context.
constexpr int MaximumOtherEntries = 100;

// The stages of one folder, in the order they run.
enum class IdStage : int {
    UnifyArtistSpellings,
    UnifyCapitalizationAndTypos,
    GroupBySegmentation,
    NormalizeIdStrings,
    ScoreInterpretations,
    ConsolidateArtistNames,
    GroupAlbums,
    FingerprintAndLookup,
    WriteTagChanges,
    Count
};

// Relative weights of the stages, in stage order; the online lookup dominates.
constexpr double StageWeights[] = {10, 100, 100, 100, 1000, 25, 25, 1500, 25};
static_assert(std::size(StageWeights) == std::size_t(IdStage::Count));

constexpr double LoadingWeight = 250;
constexpr double AnalysisWeight = 750;

// Guessed rates in files per minute before a measured one is known; downloading artwork
// slows the lookup down.
constexpr int SlowRateWithArtwork = 100;
constexpr int FastRateWithArtwork = 300;
constexpr int SlowRate = 300;
constexpr int FastRate = 900;

qint64 monotonicMsecs()
{
    QElapsedTimer clock;
    clock.start();
    return clock.msecsSinceReference();
}

QString durationText(quint32 unitTextId, int value)
{
    return fillPlaceholders(textForId(unitTextId), {QString::number(value)});
}

// The files of the selection in path order: the selection itself is a hash whose order
// changes from run to run, and the results must not.
QList<AudioFile *> filesInPathOrder(const AudioFileSelection &selection)
{
    QList<AudioFile *> files = selection.dataTypesByFile().keys();
    std::stable_sort(files.begin(), files.end(), [](const AudioFile *a, const AudioFile *b) {
        const QString pathA = a->filePath();
        const QString pathB = b->filePath();
        return pathA != pathB ? pathA < pathB : std::less<const AudioFile *>()(a, b);
    });
    return files;
}

void recordFindings(const QList<IdAudioFile *> &selected, const QList<IdAudioFileGroup *> &albumGroups,
                    QHash<AudioFile *, IdFileFindings> &findings)
{
    for (IdAudioFile *file : selected) {
        IdFileFindings &entry = findings[file->audioFile()];
        entry.values = file->values();
        entry.valueConfidences = file->valueConfidences();
        for (qsizetype i = 0; i < albumGroups.size(); ++i) {
            const IdAudioFileGroup *group = albumGroups.at(i);
            if (!group->selectedFiles.contains(file))
                continue;
            entry.albumGroup = int(i);
            entry.albumGroupType = group->type;
            entry.albumGroupArtist = group->artist.toString(false);
            entry.albumGroupAlbum = group->album;
            break;
        }
    }
}

} // namespace

IdMainHandlerThread::IdMainHandlerThread(const AudioFileSelection &selection, QObject *parent)
    : ProgressThread(parent), m_selection(selection), m_fileCount(int(selection.dataTypesByFile().size()))
{
    connect(progressObject(), &ProgressObject::progressUpdated, this, &IdMainHandlerThread::onProgressUpdated);
    // The dialog shows a first estimate before the run starts.
    onProgressUpdated();
}

IdMainHandlerThread::~IdMainHandlerThread()
{
    cancelAndWait();
}

ModelUpdateOperation *IdMainHandlerThread::takeResult(QObject *parent)
{
    if (isRunning() || !m_result)
        return nullptr;
    ModelUpdateOperation *result = std::exchange(m_result, nullptr);
    setParentAcrossThreads(result, parent);
    return result;
}

void IdMainHandlerThread::run()
{
    QObject local;
    m_startedAtMsecs = monotonicMsecs();
    try {
        ModelUpdateOperation *operation = identify(m_selection, progressObject(), &local, m_options);
        // Moved from the worker, where it was made, to this object's thread; the caller
        // adopts it there once the run has ended.
        setParentAcrossThreads(operation, this);
        m_result = operation;
    } catch (const Exception &) {
        Logger::error(IdentificationFailedTextId);
    } catch (const std::exception &) {
        Logger::error(IdentificationFailedTextId);
    }
    // Also after a failure, so that the dialog waiting for the run closes.
    progressObject()->finish();
}

ModelUpdateOperation *IdMainHandlerThread::identify(const AudioFileSelection &selection,
                                                    CombinedProgressObject *progress, QObject *parent,
                                                    const IdRunOptions &options)
{
    auto *operation = new ModelUpdateOperation(selection, parent);
    const QList<AudioFile *> files = filesInPathOrder(selection);
    identifyFiles(files, progress, operation, options);
    QString description = textForId(IdentifyDescriptionTextId);
    argInPlace(description, AudioFile::filesCaption(files));
    operation->setDescription(description);
    operation->selectsChangedCells = true;
    return operation;
}

QString IdMainHandlerThread::statusText(double fraction, int fileCount, qint64 elapsedMsecs, bool artworkDownload)
{
    const double f = qBound(0.0, fraction, 1.0);
    const int n = qMax(fileCount, 0);
    const int done = int(f * n);
    const qint64 remaining = n - done;

    qint64 slow = artworkDownload ? SlowRateWithArtwork : SlowRate;
    qint64 fast = artworkDownload ? FastRateWithArtwork : FastRate;
    const qint64 seconds = elapsedMsecs >= 0 ? elapsedMsecs / 1000 : 0;
    if (seconds > 0) {
        const qint64 measured = qint64(done) * 60 / seconds;
        slow = qMax<qint64>(qint64(f * double(measured) + (1 - f) * double(slow)), 1);
        fast = qMax<qint64>(qint64(f * double(measured) + (1 - f) * double(fast)), 1);
    }
    const qint64 shortest = remaining * 60 / fast;
    const qint64 longest = remaining * 60 / slow;

    QString text = fillPlaceholders(textForId(IdentifyingFilesTextId), {QString::number(n)}) + u'\n';
    if (shortest < 60 || longest < 60) {
        if (shortest <= 10 || longest <= 10)
            text += textForId(FewSecondsLeftTextId);
        else
            text += fillPlaceholders(textForId(TimeLeftTextId),
                                     {durationText(SecondsDurationTextId, int((shortest + longest) >> 1))});
    } else if (shortest / 60 == longest / 60) {
        text += fillPlaceholders(textForId(TimeLeftTextId),
                                 {durationText(MinutesDurationTextId, int(shortest / 60 + 1))});
    } else {
        text += fillPlaceholders(textForId(TimeRangeLeftTextId),
                                 {durationText(MinutesDurationTextId, int(shortest / 60 + 1)),
                                  durationText(MinutesDurationTextId, int(longest / 60 + 1))});
    }
    return upperCaseFirst(text);
}

void IdMainHandlerThread::onProgressUpdated()
{
    // Setting the text reports an update of its own, which lands here again at once.
    if (m_updatingStatus)
        return;
    m_updatingStatus = true;
    const qint64 startedAt = m_startedAtMsecs;
    const qint64 elapsed = startedAt >= 0 ? monotonicMsecs() - startedAt : -1;
    progressObject()->setStatusText(statusText(progressObject()->progress(), m_fileCount, elapsed,
                                               SettingsStore::boolValue(QStringLiteral("artwork/download/enabled"))));
    m_updatingStatus = false;
}

QStringList identificationSiblingPaths(const QString &folder, const QSet<QString> &selectedPaths)
{
    QStringList paths;
    try {
        // In name order, as the folders of the platform this came from list them, so that a
        // run's context and with it its results do not depend on the file system.
        const QStringList names = listDirectory(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                                QDir::Name, false, false);
        if (names.size() - selectedPaths.size() > MaximumOtherEntries)
            return paths;
        const QString prefix = withTrailingSlash(folder);
        for (const QString &name : names) {
            const QString path = prefix + name;
            if (!selectedPaths.contains(path) && AudioFile::isSupported(path))
                paths.append(path);
        }
    } catch (const Exception &) {
        // The folder gets no (further) context; the run goes on.
    }
    return paths;
}

void identifyFiles(const QList<AudioFile *> &files, CombinedProgressObject *progress, ModelUpdateOperation *operation,
                   const IdRunOptions &options)
{
    QMap<QString, QList<AudioFile *>> filesByFolder;
    QHash<QString, QSet<QString>> selectedPathsByFolder;
    for (AudioFile *file : files) {
        const QString path = file->filePath();
        const QString folder = parentPath(path);
        filesByFolder[folder].append(file);
        selectedPathsByFolder[folder].insert(path);
    }
    QHash<QString, QStringList> otherPathsByFolder;
    for (auto it = filesByFolder.cbegin(); it != filesByFolder.cend(); ++it)
        otherPathsByFolder.insert(it.key(), identificationSiblingPaths(it.key(), selectedPathsByFolder.value(it.key())));

    // The progress tree; its objects pass to the progress objects that adopt them, and those
    // that a finished or cancelled parent refuses go with the scope.
    QObject progressScope;
    QHash<QString, LinearProgressObject *> loadingByFolder;
    QHash<QString, CombinedProgressObject *> analysisByFolder;
    if (progress) {
        auto *loading = new CombinedProgressObject(&progressScope);
        auto *analysis = new CombinedProgressObject(&progressScope);
        for (auto it = filesByFolder.cbegin(); it != filesByFolder.cend(); ++it) {
            const qsizetype otherCount = otherPathsByFolder.value(it.key()).size();
            if (otherCount > 0) {
                auto *folderLoading = new LinearProgressObject(&progressScope);
                folderLoading->setMaximum(int(otherCount));
                loading->addChild(folderLoading, 1, true);
                loadingByFolder.insert(it.key(), folderLoading);
            }
            auto *folderAnalysis = new CombinedProgressObject(&progressScope);
            analysis->addChild(folderAnalysis, double(it.value().size()), true);
            analysisByFolder.insert(it.key(), folderAnalysis);
        }
        if (loading->childCount() > 0)
            progress->addChild(loading, LoadingWeight, true);
        progress->addChild(analysis, AnalysisWeight, true);
    }

    // Folders are listed once per run, not once per file.
    IdAudioFile::FolderScope folderCounts;
    for (const QString &root : options.libraryRoots)
        folderCounts.collectionRoots.insert(QDir::cleanPath(root));
    // The root too: a cancel that came before the tree was built reached none of its nodes.
    const auto canceled = [progress] { return progress && progress->isCanceled(); };
    for (auto it = filesByFolder.cbegin(); it != filesByFolder.cend(); ++it) {
        if (canceled())
            return;
        // A folder's views and context files are needed only for its own stages.
        QObject folderScope;
        QList<IdAudioFile *> selected;
        selected.reserve(it.value().size());
        for (AudioFile *file : it.value())
            selected.append(new IdAudioFile(file, &folderScope));
        QList<IdAudioFile *> all = selected;

        LinearProgressObject *loading = loadingByFolder.value(it.key());
        for (const QString &path : otherPathsByFolder.value(it.key())) {
            auto *file = new AudioFile(path, &folderScope);
            try {
                file->readTags(0, true);
                all.append(new IdAudioFile(file, &folderScope));
            } catch (const Exception &) {
                // Only context: a file that cannot be read is left out.
                delete file;
            }
            if (canceled() || (loading && loading->isCanceled()))
                return;
            if (loading)
                loading->advance(1);
        }

        CombinedProgressObject *analysis = analysisByFolder.value(it.key());
        runIdentificationStages(selected, all, analysis, operation, options);
        if (canceled() || (analysis && analysis->isCanceled()))
            return;
    }
}

void runIdentificationStages(const QList<IdAudioFile *> &selected, const QList<IdAudioFile *> &all,
                             CombinedProgressObject *progress, ModelUpdateOperation *operation,
                             const IdRunOptions &options)
{
    // Owns what the stages make for this folder (segment groups, album groups).
    QObject scope;
    QList<ProgressObject *> stageProgress;
    if (progress) {
        for (int stage = 0; stage < int(IdStage::Count); ++stage) {
            ProgressObject *child = IdStage(stage) == IdStage::FingerprintAndLookup
                                        ? static_cast<ProgressObject *>(new CombinedProgressObject(&scope))
                                        : new LinearProgressObject(&scope);
            progress->addChild(child, StageWeights[stage], true);
            stageProgress.append(child);
        }
    }
    const auto linearProgress = [&](IdStage stage) {
        return static_cast<LinearProgressObject *>(stageProgress.value(int(stage)));
    };
    // False when the run was cancelled: no later stage runs and nothing is restricted.
    const auto stageDone = [&](IdStage stage) {
        if (progress && progress->isCanceled())
            return false;
        if (ProgressObject *child = stageProgress.value(int(stage)))
            child->finish();
        return true;
    };

    unifyArtistSpellings(all);
    if (!stageDone(IdStage::UnifyArtistSpellings))
        return;
    unifyCapitalizationAndTypos(all, linearProgress(IdStage::UnifyCapitalizationAndTypos));
    if (!stageDone(IdStage::UnifyCapitalizationAndTypos))
        return;
    const QList<IdGroup *> segmentGroups = groupBySegmentation(all, &scope);
    if (!stageDone(IdStage::GroupBySegmentation))
        return;
    normalizeIdStrings(all, segmentGroups);
    if (!stageDone(IdStage::NormalizeIdStrings))
        return;
    scoreInterpretations(all, linearProgress(IdStage::ScoreInterpretations), int(all.size()));
    if (!stageDone(IdStage::ScoreInterpretations))
        return;
    consolidateArtistNames(all, IdField::Artist);
    consolidateArtistNames(all, IdField::Album);
    if (!stageDone(IdStage::ConsolidateArtistNames))
        return;
    IdAlbumGroupingState grouping(all, selected);
    const QList<IdAudioFileGroup *> albumGroups = groupAlbums(grouping, segmentGroups, &scope);
    if (!stageDone(IdStage::GroupAlbums))
        return;
    if (options.onlineLookup)
        fingerprintAndLookup(albumGroups,
                             static_cast<CombinedProgressObject *>(stageProgress.value(int(IdStage::FingerprintAndLookup))),
                             operation);
    if (!stageDone(IdStage::FingerprintAndLookup))
        return;
    writeTagChanges(albumGroups, operation);
    if (progress && progress->isCanceled())
        return;
    if (options.findings)
        recordFindings(selected, albumGroups, *options.findings);

    // Each folder restricts only its own files: merging is not idempotent, and the files of
    // earlier folders were restricted already.
    QList<AudioFile *> files;
    files.reserve(selected.size());
    for (const IdAudioFile *file : selected)
        files.append(file->audioFile());
    operation->restrictToUpdateSet(UpdateSet::fromSetting(QStringLiteral("identification/updateSet")), files);

    stageDone(IdStage::WriteTagChanges);
    if (progress)
        progress->finish();
}
