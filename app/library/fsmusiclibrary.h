#pragma once

#include "app/library/musiclibrary.h"

class AudioTag;

enum FsMusicLibraryTextId : quint32 {
    NewFileLostTextId = 0xf6e95883u,             // [native file]
    LibraryFileLostTextId = 0x8fdd2f00u,         // [native library file]
    LibraryFileDeletedTextId = 0x60ba5e93u,      // [native library file]
    NewFileDeletedTextId = 0xed504a8cu,          // [native file]
    TargetFolderCreatedTextId = 0xf485a30fu,     // [native folder]
    TargetExistsTextId = 0xbeb0e8c6u,            // [native source, native target]
    FileCopiedTextId = 0x669b9269u,              // [native source, native target]
    FileMovedTextId = 0x80057a66u,               // [native source, native target]
    DuplicateFolderCreatedTextId = 0x9aed47bcu,  // [native folder]
    DuplicateMovedTextId = 0x331e565fu,          // [native source, native destination]
    DuplicateCopiedTextId = 0xeac2a25au,         // [native source, native destination]
    FileFailedTextId = 0x916fcebfu,              // [native file, native target]
    RelatedFileMovedTextId = 0x0c6e658cu,        // [native source, native target]
    RelatedFileCopiedTextId = 0x6bc527b3u,       // [native source, native target]
    RelatedFileFailedTextId = 0x503e54b4u,       // [native source, native target]
    SourceFolderRemovedTextId = 0xde884aa9u,     // [native folder]
    RelatedFileSameTextId = 0x63a8fcc5u,         // [native source, native target]
    RelatedFileKeptBothTextId = 0x60f242a1u,     // [native source, native existing target, native new path]
    FileLeftAtSourceTextId = 0xca85fa1au,        // [native file]
};

// A library that is a folder tree of the local file system: it carries out a plan by moving
// or copying the files, retagging them when it should, setting aside or deleting losing
// duplicates and taking related files along. Nothing here goes through the undo queue.
class FsMusicLibrary : public MusicLibrary
{
    Q_OBJECT
public:
    explicit FsMusicLibrary(QObject *parent = nullptr);
    ~FsMusicLibrary() override;

    QString type() const override;
    // Checks cancellation between files: a cancelled addition leaves each file either where it
    // was or complete at its target, and logs the files it did not reach.
    QList<AudioFile *> addFiles(MusicLibraryProcessingData *data, const LibraryAddOptions &options,
                                ProgressObject *progress) override;
    QList<AudioFile *> addFilesWithDefaultOptions(MusicLibraryProcessingData *data, ProgressObject *progress) override;
    QList<AudioFile *> removeFiles(const QList<AudioFile *> &files, RemoveOptions options,
                                   ProgressObject *progress) override;
    MusicLibrary *clone(QObject *parent) const override;

    void placeFile(AudioFile *file, const QString &targetPath, const LibraryAddOptions &options,
                   MusicLibraryProcessingData *data);
    void handleDuplicate(AudioFile *file, const QString &targetPath, const LibraryAddOptions &options);
    QString transferToDuplicateFolder(const QString &path, const QString &relativeName, bool move);
    void retagFile(const QString &path, AudioTag *tag);

private:
    void transferRelatedFile(const QString &source, const QString &target, bool move);
};
