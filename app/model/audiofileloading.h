#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class AudioFile;

// The road by which files enter the file list and changed tags go back to disk. Each
// procedure runs in the GUI thread, works through worker threads under a progress dialog,
// collects what they log in its own logger and shows it when something failed. Everything
// of the main window is reached through IAppMainWindow.

enum AudioFileLoadingTextId : quint32 {
    ManyFilesQuestionTextId = 0x1F83D30Du,     // [number of new files]
    ReadingFilesTextId = 0x36F65A2Fu,          // [number of new files]
    AddFilesFromFolderTextId = 0x301F55EEu,    // [files read, native folder]
    AddFilesTextId = 0xE1D99461u,              // [files read]
    FilesAddedFromFolderTextId = 0x54DB796Du,  // [files read, native folder]
    FilesAddedTextId = 0x163D0D79u,            // [files read]
    FilesNotReadTextId = 0xABA815F2u,          // [failed, tried]
    AutoTaggerHintTextId = 0xB4BCAEEAu,
    NoFilesFoundTextId = 0x9CCCF21Cu,
    TryWithSubfoldersTextId = 0x7404BAC8u,     // [add-subfolder command]
    SavingFilesTextId = 0xE90F932Au,
    SaveCanceledTextId = 0xBFC04BFFu,          // [files saved]
    FilesNotSavedTextId = 0x1D681F1Fu,         // [failed, total]
    SavedWithErrorsTextId = 0x26968E5Eu,       // [total]
    FilesSavedTextId = 0xD136E266u,            // [files saved]
    // The commands' texts until the commands exist.
    AutoTagActionTextId = 0x5E1A7C21u,
    AddSubfolderActionTextId = 0x6B3D09F4u,
    SameFileTwiceTextId = 0x4C7E2A93u,         // [native path, native path saved]
};

// More new files than this are read only after a question.
constexpr int ManyFilesQuestionThreshold = 5000;
// More new files than this clear the undo queue before they are read.
constexpr int ClearUndoQueueThreshold = 250;
// Files per additional reader or writer thread.
constexpr int FilesPerThread = 20;

// The number of reader or writer threads for n files: one per 20 files, at most one per core.
int workerThreadCount(qsizetype files);

// Files and folders dropped together; folders are searched, then everything is added.
void openPaths(const QStringList &paths, bool includeSubfolders);
void addFolders(const QStringList &folders, bool includeSubfolders);
// Reads the files not loaded yet and adds them as one undoable insert. `folder` is where
// the paths come from, or empty; it only names the step and the log message.
void addAudioFiles(const QStringList &paths, const QString &folder);
// Writes the combined tags back. True when every file was saved and nothing logged an error
// meanwhile. A file listed twice, or reached twice through another path, is written once.
bool saveAudioFiles(const QList<AudioFile *> &files, bool showLogOnSuccess);

// Whether the first file's path sorts before the second's, locale-aware.
bool audioFilePathLessThan(const AudioFile *first, const AudioFile *second);
