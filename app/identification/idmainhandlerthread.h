#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QVariant>
#include <QString>
#include <QStringList>

#include <atomic>

#include "app/operations/audiofileselection.h"
#include "libcore/progress/progressthread.h"

class AudioFile;
class CombinedProgressObject;
class IdAudioFile;
class ModelUpdateOperation;

enum IdMainHandlerThreadTextId : quint32 {
    IdentificationFailedTextId = 0xECDFD7A0u,    // log: the run ended with an error
    IdentifyDescriptionTextId = 0x5D2172C5u,     // [files caption]
    IdentifyingFilesTextId = 0xC6F44FBAu,        // [file count]
    FewSecondsLeftTextId = 0x6BB91474u,          //
    TimeLeftTextId = 0xA0C251F0u,                // [duration]
    TimeRangeLeftTextId = 0x4F917072u,           // [shorter duration, longer duration]
    SecondsDurationTextId = 0x0446EA57u,         // [seconds]
    MinutesDurationTextId = 0xA7063943u,         // [minutes]
};

// What a run found for one selected file, kept for tools and benchmarks that ask for it.
struct IdFileFindings {
    QMap<int, QVariant> values;      // by identification field
    QMap<int, int> valueConfidences; // 1 rejected, 2 weak, 3 strong
    int albumGroup = -1;             // index among the album groups of its folder; -1: none
    int albumGroupType = -1;
    QString albumGroupArtist;
    QString albumGroupAlbum;
};

struct IdRunOptions {
    // Off: the files are identified from their names and tags alone; nothing leaves the machine.
    bool onlineLookup = true;
    // The roots of the user's libraries: like the music folder, never an artist or an album.
    QStringList libraryRoots;
    // When set, receives the findings of every selected file.
    QHash<AudioFile *, IdFileFindings> *findings = nullptr;
};

// Identifies the files of a selection in a worker thread, folder by folder, and leaves one
// update operation holding a working copy of every selected file it changed. Nothing is
// written to disk: the caller applies the operation through the undo queue after a run that
// was not cancelled.
class IdMainHandlerThread : public ProgressThread
{
    Q_OBJECT
public:
    explicit IdMainHandlerThread(const AudioFileSelection &selection, QObject *parent = nullptr);
    ~IdMainHandlerThread() override;

    // Set before the start. Findings are collected into the thread's own map, read after the run.
    void setOnlineLookup(bool enabled) { m_options.onlineLookup = enabled; }
    void setCollectsFindings(bool collect) { m_options.findings = collect ? &m_findings : nullptr; }
    const QHash<AudioFile *, IdFileFindings> &findings() const { return m_findings; }

    // The operation of a finished run, re-parented to `parent`; null while the thread runs,
    // after a run that failed, and on every call after the first.
    ModelUpdateOperation *takeResult(QObject *parent);

    // The whole identification of a selection; the operation is returned also when the run
    // was cancelled half-way. May throw.
    static ModelUpdateOperation *identify(const AudioFileSelection &selection, CombinedProgressObject *progress,
                                          QObject *parent, const IdRunOptions &options = {});

    // The status line for a run over fileCount files that is `fraction` done after
    // elapsedMsecs (negative: not started). The rate measured so far gains weight over the
    // guessed one as the run progresses.
    static QString statusText(double fraction, int fileCount, qint64 elapsedMsecs, bool artworkDownload);

protected:
    void run() override;

private Q_SLOTS:
    void onProgressUpdated();

private:
    AudioFileSelection m_selection;
    IdRunOptions m_options;
    QHash<AudioFile *, IdFileFindings> m_findings;
    int m_fileCount = 0;
    // Milliseconds of the monotonic clock when the run started; -1 before. Read by the GUI
    // thread while the worker runs.
    std::atomic<qint64> m_startedAtMsecs = -1;
    ModelUpdateOperation *m_result = nullptr;
    bool m_updatingStatus = false;
};

// Identifies the files folder by folder, in ascending order of the folder path, with the
// other audio files of folders that hold at most 100 other entries as context. Only the
// given files get working copies in the operation. A null progress object builds no
// progress tree and cannot be cancelled.
void identifyFiles(const QList<AudioFile *> &files, CombinedProgressObject *progress, ModelUpdateOperation *operation,
                   const IdRunOptions &options = {});

// The paths of the supported audio files of the folder besides the selected ones, in listing
// order; none when the folder holds more than 100 entries besides the selected ones. A
// folder that cannot be listed gives what was found before the failure.
QStringList identificationSiblingPaths(const QString &folder, const QSet<QString> &selectedPaths);

// The stages of one folder in their fixed order, then the identification update set applied
// to the working copies of the folder's selected files. `selected` are the files to
// identify, `all` them followed by their context files.
void runIdentificationStages(const QList<IdAudioFile *> &selected, const QList<IdAudioFile *> &all,
                             CombinedProgressObject *progress, ModelUpdateOperation *operation,
                             const IdRunOptions &options = {});
