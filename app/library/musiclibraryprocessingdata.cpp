#include "app/library/musiclibraryprocessingdata.h"

#include <QDir>
#include <QSet>

#include <algorithm>

#include <memory>

#include "app/library/duplicatefilesgroup.h"
#include "app/library/musiclibrary.h"
#include "app/model/audiofilegroup.h"
#include "app/tagscript/patterncleanup.h"
#include "app/tagscript/tagscript.h"
#include "libcore/io/fileinfo.h"
#include "libcore/io/folderwalk.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/progress/linearprogressobject.h"
#include "libcore/settings/settingsstore.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/filetype.h"

namespace {

bool isCanceled(ProgressObject *progress)
{
    return progress && progress->isCanceled();
}

const LibraryNamingSettings &namingSettingsOf(const MusicLibrary *library, int kind)
{
    switch (kind) {
    case AudioFileGroup::AlbumKind:
        return library->singleArtistAlbumsPattern;
    case AudioFileGroup::CompilationKind:
        return library->variousArtistAlbumsPattern;
    default:
        return library->nonAlbumTracksPattern;
    }
}

QString suffixOf(const QString &path)
{
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString caseKey(const QString &path)
{
    return isFileSystemCaseSensitive() == Qt::CaseSensitive ? path : path.toLower();
}

} // namespace

MusicLibraryProcessingData::MusicLibraryProcessingData(const QList<AudioFile *> &files, QObject *parent)
    : QObject(parent), files(files)
{
}

QStringList MusicLibraryProcessingData::relatedFileSuffixes()
{
    static const QString key = QStringLiteral("relatedFiles/suffix");
    QStringList suffixes;
    const int count = SettingsStore::count(key);
    for (int i = 0; i < count; ++i)
        suffixes.append(SettingsStore::value(key, i));
    return suffixes;
}

void MusicLibraryProcessingData::prepare(MusicLibrary *library, ProgressObject *progress)
{
    // Owned here until a progress adopts them (one that has started adopts nothing).
    QObject spare;
    auto *targets = new LinearProgressObject(&spare);
    auto *related = new LinearProgressObject(&spare);
    auto *duplicates = new CombinedProgressObject(&spare);
    auto *resolution = new LinearProgressObject(&spare);
    // Without a caller's progress the counters live only for this call.
    std::unique_ptr<CombinedProgressObject> local;
    auto *combined = qobject_cast<CombinedProgressObject *>(progress);
    if (!combined) {
        local = std::make_unique<CombinedProgressObject>();
        combined = local.get();
    }
    combined->addChild(targets, 15, true);
    combined->addChild(related, 1, true);
    combined->addChild(duplicates, 5, true);
    combined->addChild(resolution, 1, true);

    computeTargets(library, targets);
    if (combined->isCanceled())
        return;
    collectRelatedFiles(related);
    if (combined->isCanceled())
        return;
    detectDuplicates(library, duplicates);
    if (combined->isCanceled())
        return;
    resolution->setMaximum(int(duplicateGroups.size()));
    for (DuplicateGroup *group : std::as_const(duplicateGroups)) {
        group->resolve(library->duplicateResolutionConditions, files);
        if (resolution->isCanceled())
            return;
        resolution->advance(1);
    }
    indexSets();
    if (progress)
        progress->finish();
}

void MusicLibraryProcessingData::computeTargets(MusicLibrary *library, ProgressObject *progress)
{
    auto *counter = qobject_cast<LinearProgressObject *>(progress);
    if (counter)
        counter->setMaximum(int(files.size()));
    targetPaths.clear();
    if (!isAbsolutePath(library->rootPath)) {
        // A relative root would place files wherever the program happens to run.
        Logger::error(LibraryRootNotAbsoluteTextId, {library->name, QDir::toNativeSeparators(library->rootPath)});
        if (counter)
            counter->finish();
        return;
    }
    QObject owner;
    const QList<AudioFileGroup *> groups = AudioFileGroup::createGroups(files, &owner);
    const QString root = withTrailingSlash(library->rootPath);
    for (const AudioFileGroup *group : groups) {
        const LibraryNamingSettings &naming = namingSettingsOf(library, group->kind());
        QObject scripts;
        TsExpression *folderScript = nullptr;
        TsExpression *fileScript = nullptr;
        try {
            folderScript = parseTagScript(naming.folderPatternText(), &scripts);
            fileScript = parseTagScript(naming.filePatternText(), &scripts);
        } catch (const Exception &) {
            if (counter)
                counter->advance(int(group->files().size()));
            continue;
        }
        for (AudioFile *file : group->files()) {
            const bool trim = SettingsStore::boolValue(QStringLiteral("fileNaming/trimSeparators"));
            QString folder;
            QString name;
            try {
                folder = evaluateToFileName(folderScript, file);
                name = evaluateToFileName(fileScript, file);
            } catch (const Exception &) {
                // A result past the script's bounds: the file is not placed.
                if (counter)
                    counter->advance(1);
                continue;
            }
            folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
            if (folder.endsWith(QLatin1Char('/')))
                folder.chop(1);
            if (trim) {
                folder = cleanUpPatternResult(folder, true);
                name = cleanUpPatternResult(name, false);
            }
            // The folder text comes from tags: no ".." may lead it out of the library.
            const QString folderPath = sanitizePath(root + withoutDotComponents(folder));
            const QString target = withTrailingSlash(folderPath) + sanitizeFileName(name) + QLatin1Char('.') +
                                   suffixOf(file->filePath()).toLower();
            targetPaths.insert(file, target);
            if (isCanceled(counter)) {
                targetPaths.clear();
                return;
            }
            if (counter)
                counter->advance(1);
        }
    }
    if (counter && counter->maximum() == 0)
        counter->finish();
}

void MusicLibraryProcessingData::collectRelatedFiles(ProgressObject *progress)
{
    auto *counter = qobject_cast<LinearProgressObject *>(progress);
    // Source folder to target folder; an empty target marks a folder whose files go apart.
    QMap<QString, QString> folders;
    for (auto it = targetPaths.cbegin(); it != targetPaths.cend(); ++it) {
        const QString source = parentPath(it.key()->filePath());
        const QString target = parentPath(it.value());
        const auto found = folders.constFind(source);
        if (found == folders.cend())
            folders.insert(source, target);
        else if (!found.value().isEmpty() && found.value() != target)
            folders.insert(source, QString());
    }
    if (counter)
        counter->setMaximum(int(folders.size()));
    const QStringList suffixes = relatedFileSuffixes();
    relatedFiles.clear();
    for (auto it = folders.cbegin(); it != folders.cend(); ++it) {
        if (!it.value().isEmpty()) {
            QStringList names;
            try {
                names = listDirectory(it.key(), QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::NoSort, false, false);
            } catch (const Exception &) {
            }
            for (const QString &name : std::as_const(names)) {
                if (suffixes.contains(suffixOf(name), Qt::CaseInsensitive))
                    relatedFiles.insert(withTrailingSlash(it.key()) + name, withTrailingSlash(it.value()) + name);
            }
        }
        if (isCanceled(counter)) {
            relatedFiles.clear();
            return;
        }
        if (counter)
            counter->advance(1);
    }
    if (counter && folders.isEmpty())
        counter->finish();
}

void MusicLibraryProcessingData::detectDuplicates(MusicLibrary *library, ProgressObject *progress)
{
    qDeleteAll(duplicateGroups);
    duplicateGroups.clear();
    m_setByFile.clear();
    if (!(library->duplicateDetectionStrategy & 1)) {
        if (progress)
            progress->finish();
        return;
    }
    QObject spare;
    auto *planned = new LinearProgressObject(&spare);
    auto *existing = new LinearProgressObject(&spare);
    auto *grouping = new LinearProgressObject(&spare);
    std::unique_ptr<CombinedProgressObject> local;
    auto *combined = qobject_cast<CombinedProgressObject *>(progress);
    if (!combined) {
        local = std::make_unique<CombinedProgressObject>();
        combined = local.get();
    }
    combined->addChild(planned, 1, true);
    combined->addChild(existing, 10, true);
    combined->addChild(grouping, 1, true);

    const Qt::CaseSensitivity cs = isFileSystemCaseSensitive();
    // Keys in insertion order, so that the groups follow the plan.
    QStringList keys;
    QHash<QString, DuplicateSet> sets;
    QHash<QString, QString> basePaths;
    QSet<QString> inPlace;
    planned->setMaximum(int(targetPaths.size()));
    // The map is ordered by address; visit the files by path so that sets, and the choice
    // among equally good duplicates, are the same in every run.
    QList<AudioFile *> plannedFiles = targetPaths.keys();
    std::stable_sort(plannedFiles.begin(), plannedFiles.end(),
                     [](const AudioFile *a, const AudioFile *b) { return a->filePath() < b->filePath(); });
    for (AudioFile *file : std::as_const(plannedFiles)) {
        const QString target = targetPaths.value(file);
        if (file->filePath().compare(target, cs) == 0)
            inPlace.insert(caseKey(target));
        const QString base = removeSuffix(target);
        const QString key = caseKey(base);
        if (!sets.contains(key))
            keys.append(key);
        sets[key].files.append(file);
        basePaths.insert(key, base);
        if (planned->isCanceled())
            return;
        planned->advance(1);
    }
    if (targetPaths.isEmpty())
        planned->finish();

    existing->setMaximum(int(keys.size()));
    const QStringList &suffixes = FileType::allSuffixes();
    for (const QString &key : std::as_const(keys)) {
        const QString base = basePaths.value(key);
        if (isDirectory(parentPath(base))) {
            for (const QString &suffix : suffixes) {
                const QString candidate = QStringLiteral("%1.%2").arg(base, suffix);
                if (!pathExists(candidate) || inPlace.contains(caseKey(candidate)))
                    continue;
                QString path = exactCasePath(candidate);
                if (path.isEmpty())
                    path = candidate;
                auto *file = new AudioFile(path, this);
                try {
                    file->readTags();
                } catch (const Exception &) {
                }
                sets[key].files.append(file);
            }
        }
        if (existing->isCanceled())
            return;
        existing->advance(1);
    }
    if (keys.isEmpty())
        existing->finish();

    QStringList kept;
    for (const QString &key : std::as_const(keys)) {
        if (sets.value(key).files.size() >= 2)
            kept.append(key);
    }
    grouping->setMaximum(int(kept.size()));
    QMap<QString, DuplicateFilesGroup *> groupsByFolder;
    QList<DuplicateGroup *> groups;
    const QString root = library->rootPath;
    for (const QString &key : std::as_const(kept)) {
        const QString folder = parentPath(basePaths.value(key));
        DuplicateFilesGroup *group = groupsByFolder.value(folder, nullptr);
        if (!group) {
            group = new DuplicateFilesGroup(this);
            group->label = QDir::toNativeSeparators(relativePath(root, folder));
            groupsByFolder.insert(folder, group);
            groups.append(group);
        }
        group->sets.append(new DuplicateSet(sets.value(key)));
        if (grouping->isCanceled()) {
            qDeleteAll(groups);
            return;
        }
        grouping->advance(1);
    }
    duplicateGroups = groups;
    indexSets();
    if (progress)
        progress->finish();
}

void MusicLibraryProcessingData::indexSets()
{
    m_setByFile.clear();
    for (const DuplicateGroup *group : std::as_const(duplicateGroups)) {
        for (const DuplicateSet *set : group->sets) {
            for (AudioFile *file : set->files) {
                if (!m_setByFile.contains(file))
                    m_setByFile.insert(file, set);
            }
        }
    }
}

const DuplicateSet *MusicLibraryProcessingData::setOf(AudioFile *file) const
{
    if (!m_setByFile.isEmpty())
        return m_setByFile.value(file, nullptr);
    for (const DuplicateGroup *group : duplicateGroups) {
        for (const DuplicateSet *set : group->sets) {
            if (set->files.contains(file))
                return set;
        }
    }
    return nullptr;
}

bool MusicLibraryProcessingData::isDiscardedDuplicate(AudioFile *file) const
{
    const DuplicateSet *set = setOf(file);
    return set && set->keptFile && set->keptFile != file;
}

bool MusicLibraryProcessingData::isDiscardedDuplicate(const QString &path) const
{
    const Qt::CaseSensitivity cs = isFileSystemCaseSensitive();
    for (const DuplicateGroup *group : duplicateGroups) {
        for (const DuplicateSet *set : group->sets) {
            for (AudioFile *file : set->files) {
                if (file->filePath().compare(path, cs) == 0)
                    return set->keptFile && set->keptFile != file;
            }
        }
    }
    return false;
}

QList<AudioFile *> MusicLibraryProcessingData::duplicatesOf(AudioFile *file) const
{
    const DuplicateSet *set = setOf(file);
    if (!set)
        return {};
    QList<AudioFile *> others = set->files;
    others.removeAll(file);
    return others;
}

QMap<AudioFile *, QString> MusicLibraryProcessingData::effectiveTargets() const
{
    QMap<AudioFile *, QString> targets;
    for (auto it = targetPaths.cbegin(); it != targetPaths.cend(); ++it) {
        if (!isDiscardedDuplicate(it.key()))
            targets.insert(it.key(), it.value());
    }
    return targets;
}
