#include "app/identification/idfingerprinter.h"
#include "app/identification/identificationtextids.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

#include "app/identification/idaudiofile.h"
#include "libcore/io/paths.h"
#include "libcore/log/logger.h"
#include "libcore/platform/platformservices.h"
#include "libcore/progress/linearprogressobject.h"
#include "libcore/text/utf8textcodec.h"
#include "libtagging/model/audiofile.h"

#include <limits>

namespace {
// How often the wait looks at the clock and at the cancel state.
constexpr int CheckIntervalMs = 50;
// How much of the calculator's standard error is kept for the log.
constexpr qsizetype MaxErrorOutputBytes = 4096;
constexpr qsizetype MaxErrorMessageLength = 300;

QString nativePath(const IdAudioFile *file)
{
    return QDir::toNativeSeparators(file->audioFile()->filePath());
}

// The last line the calculator wrote to standard error, for the log.
QString lastErrorLine(const QByteArray &errorOutput)
{
    const QStringList lines = QString::fromUtf8(errorOutput).split(QRegularExpression(QStringLiteral("[\r\n]+")),
                                                                    Qt::SkipEmptyParts);
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        const QString line = it->trimmed();
        if (!line.isEmpty())
            return line.left(MaxErrorMessageLength);
    }
    return QString();
}
} // namespace

IdFingerprintResult parseFingerprintOutput(const QByteArray &output)
{
    IdFingerprintResult result;
    const Utf8TextCodec *codec = Utf8TextCodec::instance();
    if (!codec->canDecode(output))
        return result;
    const QString text = codec->decodeOrNull(output);
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (const QString &line : lines) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const QStringView key = QStringView(line).left(equals);
        const QString value = line.mid(equals + 1);
        if (key == u"DURATION") {
            bool ok = false;
            const qlonglong seconds = value.toLongLong(&ok, 10);
            // A number that is no duration (negative, or too large for milliseconds) reads as none.
            result.durationMs = ok && seconds >= 0 && seconds <= std::numeric_limits<int>::max() / 1000
                                    ? int(seconds * 1000)
                                    : 0;
        } else if (key == u"FINGERPRINT") {
            result.fingerprint = value;
        }
    }
    return result;
}

QString fingerprintCalculatorPath()
{
    return withTrailingSlash(QCoreApplication::applicationDirPath()) + QStringLiteral("fp.calc");
}

QMap<IdAudioFile *, IdFingerprintResult> fingerprintFiles(const QList<IdAudioFile *> &files,
                                                          LinearProgressObject *progress)
{
    IdFingerprinter fingerprinter(files, progress);
    fingerprinter.startProcesses();
    fingerprinter.waitForFinished();
    return fingerprinter.results();
}

IdFingerprinter::IdFingerprinter(const QList<IdAudioFile *> &files, LinearProgressObject *progress, QObject *parent)
    : QObject(parent)
    , m_pendingFiles(files)
    , m_progress(progress)
    , m_calculatorPath(fingerprintCalculatorPath())
{
    m_clock.start();
    if (m_progress)
        m_progress->setMaximum(int(files.size()));
}

IdFingerprinter::~IdFingerprinter()
{
    stopRuns();
    // The processes go before the bookkeeping their signals would reach.
    for (QProcess *process : m_processes.keys()) {
        process->disconnect(this);
        delete process;
    }
}

void IdFingerprinter::startProcesses()
{
    const qsizetype count = std::min<qsizetype>(std::max(1, QThread::idealThreadCount()), m_pendingFiles.size());
    for (qsizetype i = 0; i < count; ++i) {
        auto *process = new QProcess(this);
        connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError) {
            auto it = m_processes.find(process);
            if (it != m_processes.end() && it->file)
                it->failed = true;
            onProcessChanged();
        });
        connect(process, &QProcess::finished, this, &IdFingerprinter::onProcessChanged);
        // A calculator that floods its output is no calculator: stop it before it fills the memory.
        connect(process, &QProcess::readyReadStandardOutput, this, [this, process] {
            auto it = m_processes.find(process);
            if (it != m_processes.end() && it->file && !it->outputTooLong && process->bytesAvailable() > MaxOutputBytes) {
                it->outputTooLong = true;
                process->kill();
            }
        });
        connect(process, &QProcess::readyReadStandardError, this, [this, process] {
            auto it = m_processes.find(process);
            const QByteArray data = process->readAllStandardError();
            if (it == m_processes.end())
                return;
            it->errorOutput += data;
            if (it->errorOutput.size() > MaxErrorOutputBytes)
                it->errorOutput = it->errorOutput.right(MaxErrorOutputBytes);
        });
        m_processes.insert(process, Run());
        QTimer::singleShot(0, this, &IdFingerprinter::dispatchWork);
    }
}

void IdFingerprinter::onProcessChanged()
{
    QTimer::singleShot(0, this, &IdFingerprinter::dispatchWork);
}

void IdFingerprinter::dispatchWork()
{
    if (m_canceled)
        return;
    for (auto it = m_processes.begin(); it != m_processes.end(); ++it) {
        QProcess *process = it.key();
        Run &run = it.value();
        if (process->state() != QProcess::NotRunning)
            continue;
        if (run.file) {
            finishRun(process, run);
            if (m_progress)
                m_progress->advance(1);
        }
        run = Run();
        if (m_pendingFiles.isEmpty())
            continue;
        run.file = m_pendingFiles.takeLast();
        run.startedMs = m_clock.elapsed();
        const QString path = run.file->audioFile()->filePath();
        Logger::info(FingerprintStartedTextId, {QDir::toNativeSeparators(path)});
        // Output left from the previous file must not run into this one's.
        if (process->isOpen()) {
            process->readAllStandardOutput();
            process->readAllStandardError();
        }
        startProcess(process, m_calculatorPath, {path}, QIODevice::ReadOnly);
    }
}

void IdFingerprinter::finishRun(QProcess *process, Run &run)
{
    // A calculator that never started has no output to read.
    const QByteArray output = process->isOpen() ? process->readAllStandardOutput() : QByteArray();
    if (process->isOpen())
        run.errorOutput += process->readAllStandardError();
    if (run.timedOut) {
        Logger::error(FingerprintTimedOutTextId, {nativePath(run.file), (m_timeoutMs + 999) / 1000});
        return;
    }
    if (run.outputTooLong) {
        Logger::error(FingerprintOutputTooLongTextId, {nativePath(run.file), MaxOutputBytes});
        return;
    }
    if (run.failed || process->exitStatus() != QProcess::NormalExit) {
        Logger::error(FingerprintFailedTextId, {nativePath(run.file), process->errorString()});
        return;
    }
    // The exit code says little (the calculator ends with 3 after a valid run of a short
    // file); only a duration and a fingerprint make a result the lookup can send.
    const IdFingerprintResult result = parseFingerprintOutput(output);
    if (!result.isComplete()) {
        const QString message = lastErrorLine(run.errorOutput);
        if (message.isEmpty())
            Logger::error(FingerprintMissingTextId, {nativePath(run.file), process->exitCode()});
        else
            Logger::error(FingerprintMissingMessageTextId, {nativePath(run.file), process->exitCode(), message});
        return;
    }
    m_results.insert(run.file, result);
}

void IdFingerprinter::checkRuns()
{
    const qint64 now = m_clock.elapsed();
    for (auto it = m_processes.begin(); it != m_processes.end(); ++it) {
        Run &run = it.value();
        if (!run.file || run.timedOut || it.key()->state() == QProcess::NotRunning)
            continue;
        if (now - run.startedMs > m_timeoutMs) {
            run.timedOut = true;
            it.key()->kill();
        }
    }
}

bool IdFingerprinter::isDone() const
{
    if (!m_pendingFiles.isEmpty())
        return false;
    for (const Run &run : m_processes) {
        if (run.file)
            return false;
    }
    return true;
}

void IdFingerprinter::waitForFinished()
{
    if (!m_processes.isEmpty()) {
        // The ticks wake the wait so that hung runs and Cancel are seen without any other event.
        QTimer ticker;
        ticker.setInterval(CheckIntervalMs);
        connect(&ticker, &QTimer::timeout, this, &IdFingerprinter::checkRuns);
        ticker.start();
        QEventLoop loop;
        while (!isDone()) {
            if (m_progress && m_progress->isCanceled()) {
                m_canceled = true;
                stopRuns();
                break;
            }
            loop.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
        }
    }
    if (m_progress)
        m_progress->finish();
}

void IdFingerprinter::stopRuns()
{
    for (auto it = m_processes.begin(); it != m_processes.end(); ++it) {
        QProcess *process = it.key();
        it->file = nullptr;
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
    m_pendingFiles.clear();
}
