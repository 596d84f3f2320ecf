#include "app/library/fsmusiclibrary.h"

#include <QDir>
#include <QSet>

#include <algorithm>
#include <memory>

#include "app/library/libraryfiletransfer.h"
#include "app/library/musiclibraryprocessingdata.h"
#include "libcore/io/fileinfo.h"
#include "libcore/io/filetree.h"
#include "libcore/io/folderwalk.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/progress/linearprogressobject.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

namespace {

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString suffixOf(const QString &path)
{
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

// Distinct folders, subfolders before their parents.
QStringList foldersDescending(const QStringList &paths)
{
    QSet<QString> distinct;
    for (const QString &path : paths)
        distinct.insert(parentPath(path));
    QStringList folders(distinct.cbegin(), distinct.cend());
    std::sort(folders.begin(), folders.end(), std::greater<QString>());
    return folders;
}

// Adds the counters to a combined progress, or keeps them alive for the call without one.
class Counters
{
public:
    explicit Counters(ProgressObject *progress) : m_combined(qobject_cast<CombinedProgressObject *>(progress))
    {
        if (!m_combined) {
            m_local = std::make_unique<CombinedProgressObject>();
            m_combined = m_local.get();
        }
    }
    LinearProgressObject *add(double weight)
    {
        auto *counter = new LinearProgressObject(&m_spare);
        m_combined->addChild(counter, weight, true);
        return counter;
    }
    // A counter that belongs to no progress, for a stage that does not run.
    LinearProgressObject *unused()
    {
        auto *counter = new LinearProgressObject(&m_spare);
        return counter;
    }
    void finish() { m_combined->finish(); }

private:
    // Declared first so that it outlives nothing it holds.
    QObject m_spare;
    CombinedProgressObject *m_combined;
    std::unique_ptr<CombinedProgressObject> m_local;
};

} // namespace

FsMusicLibrary::FsMusicLibrary(QObject *parent) : MusicLibrary(parent)
{
    duplicateDetectionStrategy = 1;
    duplicateResolutionStrategy = 2;
}

FsMusicLibrary::~FsMusicLibrary() = default;

QString FsMusicLibrary::type() const
{
    return QStringLiteral("fs");
}

MusicLibrary *FsMusicLibrary::clone(QObject *parent) const
{
    auto *copy = new FsMusicLibrary(parent);
    copy->assign(*this);
    return copy;
}

QList<AudioFile *> FsMusicLibrary::addFilesWithDefaultOptions(MusicLibraryProcessingData *data, ProgressObject *progress)
{
    return addFiles(data, LibraryAddOptions{true, true, true}, progress);
}

QList<AudioFile *> FsMusicLibrary::addFiles(MusicLibraryProcessingData *data, const LibraryAddOptions &options,
                                            ProgressObject *progress)
{
    Counters counters(progress);
    LinearProgressObject *files = counters.add(20);
    LinearProgressObject *related = options.includeRelatedFiles ? counters.add(2) : counters.unused();
    const bool removeFolders = options.move && options.removeEmptyFolders;
    LinearProgressObject *folders = removeFolders ? counters.add(1) : counters.unused();

    taggingSettings = TaggingSettings::load(QStringLiteral("tagging"));

    QList<AudioFile *> result;
    const QList<AudioFile *> planned = data->targetPaths.keys();
    files->setMaximum(int(planned.size()));
    for (qsizetype i = 0; i < planned.size(); ++i) {
        AudioFile *file = planned.at(i);
        const QString target = data->targetPaths.value(file);
        try {
            if (data->isDiscardedDuplicate(file)) {
                Logger::info(NewFileLostTextId, {nativePath(file->filePath())});
                handleDuplicate(file, target, options);
            } else {
                placeFile(file, target, options, data);
            }
            result.append(file);
        } catch (const Exception &) {
            Logger::error(FileFailedTextId, {nativePath(file->filePath()), nativePath(target)});
        }
        if (files->isCanceled()) {
            // Say which files the addition did not reach: they are untouched at their source.
            for (qsizetype j = i + 1; j < planned.size(); ++j)
                Logger::info(FileLeftAtSourceTextId, {nativePath(planned.at(j)->filePath())});
            return result;
        }
        files->advance(1);
    }

    if (options.includeRelatedFiles) {
        related->setMaximum(int(data->relatedFiles.size()));
        for (auto it = data->relatedFiles.cbegin(); it != data->relatedFiles.cend(); ++it) {
            try {
                transferRelatedFile(it.key(), it.value(), options.move);
            } catch (const Exception &) {
                Logger::error(RelatedFileFailedTextId, {nativePath(it.key()), nativePath(it.value())});
            }
            if (related->isCanceled())
                return result;
            related->advance(1);
        }
    }

    if (removeFolders) {
        QStringList sources;
        for (AudioFile *file : planned)
            sources.append(file->filePath());
        const QStringList emptied = foldersDescending(sources);
        folders->setMaximum(int(emptied.size()));
        for (const QString &folder : emptied) {
            if (isDirectory(folder) && isEmptyDirectory(folder)) {
                Logger::info(SourceFolderRemovedTextId, {nativePath(folder)});
                try {
                    removePath(folder);
                } catch (const Exception &) {
                }
            }
            if (folders->isCanceled())
                return result;
            folders->advance(1);
        }
    }
    counters.finish();
    return result;
}

void FsMusicLibrary::transferRelatedFile(const QString &source, const QString &target, bool move)
{
    const Qt::CaseSensitivity cs = isFileSystemCaseSensitive();
    if (source.compare(target, cs) == 0) {
        // Only the case of the name can differ.
        Logger::info(RelatedFileMovedTextId, {nativePath(source), nativePath(target)});
        if (source != target)
            movePath(source, target);
        return;
    }
    if (!LibraryFileTransfer::entryExists(target)) {
        if (!isDirectory(parentPath(target)))
            makePath(parentPath(target));
        if (move) {
            Logger::info(RelatedFileMovedTextId, {nativePath(source), nativePath(target)});
            LibraryFileTransfer::moveFile(source, target);
        } else {
            Logger::info(RelatedFileCopiedTextId, {nativePath(source), nativePath(target)});
            LibraryFileTransfer::copyFile(source, target);
        }
        return;
    }
    // Equal sizes do not make equal files: only identical bytes let the source go.
    if (LibraryFileTransfer::haveEqualContents(source, target)) {
        if (move) {
            Logger::info(RelatedFileSameTextId, {nativePath(source), nativePath(target)});
            removePath(source);
        }
        return;
    }
    const QString free = LibraryFileTransfer::freePath(target);
    Logger::warning(RelatedFileKeptBothTextId, {nativePath(source), nativePath(target), nativePath(free)});
    if (move) {
        Logger::info(RelatedFileMovedTextId, {nativePath(source), nativePath(free)});
        LibraryFileTransfer::moveFile(source, free);
    } else {
        Logger::info(RelatedFileCopiedTextId, {nativePath(source), nativePath(free)});
        LibraryFileTransfer::copyFile(source, free);
    }
}

void FsMusicLibrary::placeFile(AudioFile *file, const QString &targetPath, const LibraryAddOptions &options,
                               MusicLibraryProcessingData *data)
{
    const QList<AudioFile *> others = data->duplicatesOf(file);
    for (AudioFile *other : others) {
        if (data->targetPaths.contains(other))
            continue;
        const QString path = other->filePath();
        Logger::info(LibraryFileLostTextId, {nativePath(path)});
        switch (duplicateResolutionStrategy) {
        case 1:
            transferToDuplicateFolder(path, fileName(path), true);
            break;
        case 2:
            transferToDuplicateFolder(path, relativePath(rootPath, path), true);
            break;
        case 3:
            Logger::info(LibraryFileDeletedTextId, {nativePath(path)});
            removePath(path);
            break;
        default:
            break;
        }
    }

    const QString folder = parentPath(targetPath);
    if (!isDirectory(folder)) {
        Logger::info(TargetFolderCreatedTextId, {nativePath(folder)});
        makePath(folder);
    }
    const QString source = file->filePath();
    const Qt::CaseSensitivity cs = isFileSystemCaseSensitive();
    if (source.compare(targetPath, cs) != 0) {
        if (LibraryFileTransfer::entryExists(targetPath))
            Logger::warning(TargetExistsTextId, {nativePath(source), nativePath(targetPath)});
        if (options.move) {
            Logger::info(FileMovedTextId, {nativePath(source), nativePath(targetPath)});
            LibraryFileTransfer::moveFile(source, targetPath);
        } else {
            Logger::info(FileCopiedTextId, {nativePath(source), nativePath(targetPath)});
            LibraryFileTransfer::copyFile(source, targetPath);
        }
    } else {
        Logger::info(FileMovedTextId, {nativePath(source), nativePath(targetPath)});
        if (source != targetPath)
            movePath(source, targetPath);
    }
    retagFile(targetPath, file->combinedTag());
}

void FsMusicLibrary::handleDuplicate(AudioFile *file, const QString &targetPath, const LibraryAddOptions &options)
{
    const QString path = file->filePath();
    switch (duplicateResolutionStrategy) {
    case 1:
        transferToDuplicateFolder(path, fileName(path), options.move);
        break;
    case 2: {
        const QString used = transferToDuplicateFolder(path, relativePath(rootPath, targetPath), options.move);
        retagFile(used, file->combinedTag());
        break;
    }
    case 3:
        if (options.move) {
            Logger::info(NewFileDeletedTextId, {nativePath(path)});
            removePath(path);
        }
        break;
    default:
        break;
    }
}

QString FsMusicLibrary::transferToDuplicateFolder(const QString &path, const QString &relativeName, bool move)
{
    // The relative name comes from paths inside the root: no ".." may lead it out.
    const QString first = withTrailingSlash(rootPath) + withTrailingSlash(withoutDotComponents(duplicateSubfolder)) +
                          withoutDotComponents(relativeName);
    const QString destination = LibraryFileTransfer::freePath(first);
    const QString folder = parentPath(destination);
    if (!isDirectory(folder)) {
        Logger::info(DuplicateFolderCreatedTextId, {nativePath(folder)});
        makePath(folder);
    }
    if (move) {
        Logger::info(DuplicateMovedTextId, {nativePath(path), nativePath(destination)});
        LibraryFileTransfer::moveFile(path, destination);
    } else {
        Logger::info(DuplicateCopiedTextId, {nativePath(path), nativePath(destination)});
        LibraryFileTransfer::copyFile(path, destination);
    }
    return destination;
}

void FsMusicLibrary::retagFile(const QString &path, AudioTag *tag)
{
    if (!retagFiles)
        return;
    QObject owner;
    auto *file = new AudioFile(path, &owner);
    file->taggingSettings = taggingSettings;
    if (tag)
        file->setTag(tag->clone(), 0);
    file->writeTags(0);
}

QList<AudioFile *> FsMusicLibrary::removeFiles(const QList<AudioFile *> &files, RemoveOptions options,
                                               ProgressObject *progress)
{
    Counters counters(progress);
    LinearProgressObject *removed = counters.add(20);
    LinearProgressObject *related = options.removeRelatedFiles ? counters.add(2) : counters.unused();
    LinearProgressObject *emptied = options.removeEmptyFolders ? counters.add(1) : counters.unused();

    QStringList paths;
    for (AudioFile *file : files)
        paths.append(file->filePath());
    const QStringList folders = foldersDescending(paths);

    QList<AudioFile *> result;
    removed->setMaximum(int(files.size()));
    for (AudioFile *file : files) {
        try {
            removePath(file->filePath());
            result.append(file);
        } catch (const Exception &) {
        }
        removed->advance(1);
    }
    if (options.removeRelatedFiles) {
        const QStringList suffixes = MusicLibraryProcessingData::relatedFileSuffixes();
        related->setMaximum(int(folders.size()));
        for (const QString &folder : folders) {
            try {
                const QStringList names = listDirectory(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                                        QDir::NoSort, false, false);
                const bool onlyRelated = std::all_of(names.cbegin(), names.cend(), [&suffixes](const QString &name) {
                    return suffixes.contains(suffixOf(name), Qt::CaseInsensitive);
                });
                if (onlyRelated) {
                    for (const QString &name : names)
                        removePath(withTrailingSlash(folder) + name);
                }
            } catch (const Exception &) {
            }
            related->advance(1);
        }
    }
    if (options.removeEmptyFolders) {
        emptied->setMaximum(int(folders.size()));
        for (const QString &folder : folders) {
            try {
                if (isDirectory(folder) && isEmptyDirectory(folder))
                    removePath(folder);
            } catch (const Exception &) {
            }
            emptied->advance(1);
        }
    }
    counters.finish();
    return result;
}
