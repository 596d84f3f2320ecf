#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <QProcess>
#include <QString>

class IdAudioFile;
class LinearProgressObject;

// What the fingerprint calculator reported for one file.
struct IdFingerprintResult {
    int durationMs = 0;  // 0 when it reported none or an unreadable number
    QString fingerprint; // exactly as printed; empty when it printed none

    // A result the lookup can use: both values are there.
    bool isComplete() const { return durationMs > 0 && !fingerprint.isEmpty(); }
    bool operator==(const IdFingerprintResult &other) const = default;
};

// Reads the calculator's standard output: KEY=VALUE lines (any of CR LF, CR and LF ends a
// line), of which DURATION (whole seconds) and FINGERPRINT count; the last of a repeated key
// wins. Output that is not UTF-8 reads as empty.
IdFingerprintResult parseFingerprintOutput(const QByteArray &output);

// The calculator "fp.calc" in the application's folder.
QString fingerprintCalculatorPath();

// Fingerprints the files with the calculator, several at a time, in the calling thread. Only
// files whose run gave a duration and a fingerprint get an entry; the others are logged.
QMap<IdAudioFile *, IdFingerprintResult> fingerprintFiles(const QList<IdAudioFile *> &files,
                                                          LinearProgressObject *progress);

// Runs the calculator once per file on a few reused processes, driven by a local event loop
// so that it works in a worker thread that has no loop of its own. A run that takes longer
// than the time-out is killed, and cancelling the progress object kills every run at once.
class IdFingerprinter : public QObject
{
    Q_OBJECT
public:
    // The progress object (may be null) gets the number of files as its maximum.
    IdFingerprinter(const QList<IdAudioFile *> &files, LinearProgressObject *progress, QObject *parent = nullptr);
    ~IdFingerprinter() override;

    // The calculator to run; fingerprintCalculatorPath() unless set before the start.
    void setCalculatorPath(const QString &path) { m_calculatorPath = path; }
    // The longest one file's run may take.
    void setTimeout(int msecs) { m_timeoutMs = msecs; }

    void startProcesses();
    // Returns when every file is handled or the progress object was cancelled; finishes the
    // progress object.
    void waitForFinished();
    bool wasCanceled() const { return m_canceled; }

    const QMap<IdAudioFile *, IdFingerprintResult> &results() const { return m_results; }

    // More than this on standard output is no fingerprint: the run is stopped.
    static constexpr qint64 MaxOutputBytes = 1 << 20;
    static constexpr int DefaultTimeoutMs = 60000;

public Q_SLOTS:
    void onProcessChanged();
    void dispatchWork();

private:
    // What one process is doing: the file it works on (null when idle) and how its run went.
    struct Run {
        IdAudioFile *file = nullptr;
        qint64 startedMs = 0;
        bool failed = false; // a process error was reported
        bool timedOut = false;
        bool outputTooLong = false;
        QByteArray errorOutput; // the end of what it wrote to standard error
    };

    void finishRun(QProcess *process, Run &run);
    void checkRuns();
    void stopRuns();
    bool isDone() const;

    QList<IdAudioFile *> m_pendingFiles;
    LinearProgressObject *m_progress;
    QMap<IdAudioFile *, IdFingerprintResult> m_results;
    QMap<QProcess *, Run> m_processes;
    QString m_calculatorPath;
    QElapsedTimer m_clock;
    int m_timeoutMs = DefaultTimeoutMs;
    bool m_canceled = false;
};
