#include <QtTest>

#include <csignal>

#include "app/identification/idaudiofile.h"
#include "app/identification/identificationtextids.h"
#include "app/identification/idfingerprinter.h"
#include "libcore/log/logger.h"
#include "libcore/progress/linearprogressobject.h"
#include "libtagging/model/audiofile.h"

#include "libtagging/support_tools.h"
#include "support_identification.h"

Q_DECLARE_METATYPE(IdFingerprintResult)

namespace {
constexpr quint32 FailedCode = FingerprintFailedTextId;
constexpr quint32 StartedCode = FingerprintStartedTextId;
constexpr quint32 MissingCode = FingerprintMissingTextId;
constexpr quint32 MissingWithMessageCode = FingerprintMissingMessageTextId;
constexpr quint32 TimedOutCode = FingerprintTimedOutTextId;
constexpr quint32 OutputTooLongCode = FingerprintOutputTooLongTextId;

// Keeps every message, from whichever thread it comes.
class MessageCollector : public Logger
{
public:
    MessageCollector() { setRegistered(true); }
    void log(const LogMessage &message) override
    {
        QMutexLocker lock(&m_mutex);
        messages.append(message);
    }
    QList<LogMessage> withLevel(LogLevel level) const
    {
        QList<LogMessage> result;
        for (const LogMessage &message : messages) {
            if (message.level == level)
                result.append(message);
        }
        return result;
    }
    QList<quint32> errorCodes() const
    {
        QList<quint32> codes;
        for (const LogMessage &message : withLevel(LogLevel::Error))
            codes.append(message.code);
        return codes;
    }
    QList<LogMessage> messages;
};

// A fake calculator: a shell script with the body given.
QString writeCalculator(const QString &path, const QString &body)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("#!/bin/sh\n" + body.toUtf8() + "\n") < 0)
        return QString();
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QList<IdAudioFile *> viewsOf(const QStringList &paths, QObject *owner)
{
    QList<IdAudioFile *> views;
    for (const QString &path : paths)
        views.append(new IdAudioFile(fakeAudioFile(path, {}, owner), owner));
    return views;
}

bool processExists(const QString &pidFile)
{
    QFile file(pidFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return QFileInfo::exists(QStringLiteral("/proc/%1").arg(file.readAll().trimmed().toInt()));
}

// Eight seconds of a melody with some noise, 44.1 kHz mono 16-bit little-endian: enough
// for the real calculator to find a fingerprint.
QByteArray melodyPcm()
{
    constexpr int rate = 44100;
    QByteArray pcm;
    pcm.reserve(rate * 8 * 2);
    QRandomGenerator random(7);
    for (int i = 0; i < rate * 8; ++i) {
        const double t = double(i) / rate;
        const double frequency = 220.0 * (1 + int(t * 4) % 5);
        const double value = 0.4 * std::sin(2 * M_PI * frequency * t) + 0.2 * std::sin(3 * M_PI * frequency * t)
                             + 0.1 * (random.generateDouble() - 0.5);
        const qint16 sample = qint16(value * 32767);
        pcm.append(char(sample & 0xff));
        pcm.append(char((sample >> 8) & 0xff));
    }
    return pcm;
}
} // namespace

// The fingerprint calculator runner: its reading of the calculator's output, and runs
// against fake calculators and the real one.
class TestFingerprinter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        setUpIdentificationTests();
        QVERIFY(m_dir.isValid());
    }

    void parseOutput_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<IdFingerprintResult>("expected");
        QTest::newRow("CR LF") << QByteArray("DURATION=215\r\nFINGERPRINT=abc\r\n") << IdFingerprintResult{215000, "abc"};
        QTest::newRow("CR only, no last line end")
            << QByteArray("FILE=x.mp3\rDURATION=4\rFINGERPRINT=AQAB") << IdFingerprintResult{4000, "AQAB"};
        QTest::newRow("= inside the value") << QByteArray("DURATION=1\nFINGERPRINT=a=b==\n")
                                            << IdFingerprintResult{1000, "a=b=="};
        QTest::newRow("minutes and seconds") << QByteArray("DURATION=3:35\nFINGERPRINT=abc\n")
                                             << IdFingerprintResult{0, "abc"};
        QTest::newRow("keys in lower case or padded")
            << QByteArray("duration=215\n DURATION=9\nFINGERPRINT =x\nfingerprint=abc\n") << IdFingerprintResult{};
        QTest::newRow("last of a repeated key") << QByteArray("DURATION=1\nDURATION=2\nFINGERPRINT=a\nFINGERPRINT=b\n")
                                                << IdFingerprintResult{2000, "b"};
        QTest::newRow("negative duration") << QByteArray("DURATION=-5\nFINGERPRINT=a\n") << IdFingerprintResult{0, "a"};
        QTest::newRow("duration past the milliseconds' range")
            << QByteArray("DURATION=2147484\nFINGERPRINT=a\n") << IdFingerprintResult{0, "a"};
        QTest::newRow("largest duration") << QByteArray("DURATION=2147483\n") << IdFingerprintResult{2147483000, ""};
        QTest::newRow("lines without =") << QByteArray("ERROR\nDURATION\n\nFINGERPRINT=f\n") << IdFingerprintResult{0, "f"};
        QTest::newRow("not UTF-8") << QByteArray("DURATION=5\nFINGERPRINT=ab\xff\xfe\n") << IdFingerprintResult{};
        QTest::newRow("empty") << QByteArray() << IdFingerprintResult{};
    }

    void parseOutput()
    {
        QFETCH(QByteArray, output);
        QFETCH(IdFingerprintResult, expected);
        const IdFingerprintResult result = parseFingerprintOutput(output);
        QCOMPARE(result.durationMs, expected.durationMs);
        QCOMPARE(result.fingerprint, expected.fingerprint);
    }

    // One file against a fake calculator: a run gives a result only when it exited normally
    // with a duration and a fingerprint, whatever its exit code; anything else is logged.
    void fakeCalculator_data()
    {
        QTest::addColumn<QString>("script"); // empty: no calculator at all
        QTest::addColumn<bool>("hasResult");
        QTest::addColumn<IdFingerprintResult>("result");
        QTest::addColumn<quint32>("error"); // 0: none

        QTest::newRow("canned output, CR LF") << "printf 'DURATION=215\\r\\nFINGERPRINT=abc\\r\\n'" << true
                                             << IdFingerprintResult{215000, "abc"} << 0u;
        QTest::newRow("exit code 3 after a valid run")
            << "echo DURATION=2; echo FINGERPRINT=AQAA=x=; echo 'ERROR: Error decoding audio frame' >&2; exit 3" << true
            << IdFingerprintResult{2000, "AQAA=x="} << 0u;
        QTest::newRow("exit code 2 without output")
            << "echo 'ERROR: Could not open the input file' >&2; exit 2" << false << IdFingerprintResult{}
            << MissingWithMessageCode;
        QTest::newRow("no fingerprint") << "echo DURATION=215" << false << IdFingerprintResult{} << MissingCode;
        QTest::newRow("no duration") << "echo FINGERPRINT=abc" << false << IdFingerprintResult{} << MissingCode;
        QTest::newRow("duration 0") << "echo DURATION=0; echo FINGERPRINT=abc" << false << IdFingerprintResult{}
                                    << MissingCode;
        QTest::newRow("unreadable duration") << "echo DURATION=3:35; echo FINGERPRINT=abc" << false
                                             << IdFingerprintResult{} << MissingCode;
        QTest::newRow("crash after its output") << "echo DURATION=215; echo FINGERPRINT=abc; kill -SEGV $$" << false
                                                << IdFingerprintResult{} << FailedCode;
        QTest::newRow("hang") << "exec sleep 30" << false << IdFingerprintResult{} << TimedOutCode;
        QTest::newRow("endless output") << "exec yes DURATION=1" << false << IdFingerprintResult{}
                                        << OutputTooLongCode;
        QTest::newRow("calculator missing") << QString() << false << IdFingerprintResult{} << FailedCode;
    }

    void fakeCalculator()
    {
        QFETCH(QString, script);
        QFETCH(bool, hasResult);
        QFETCH(IdFingerprintResult, result);
        QFETCH(quint32, error);

        const QString calculator = script.isEmpty() ? m_dir.filePath("missing/fp.calc")
                                                    : writeCalculator(m_dir.filePath("fake.sh"), script);
        QVERIFY(!calculator.isEmpty());
        QObject owner;
        const QList<IdAudioFile *> files = viewsOf({"/music/Album/01 Song.mp3"}, &owner);
        LinearProgressObject progress;
        MessageCollector messages;
        QElapsedTimer clock;
        clock.start();
        IdFingerprinter fingerprinter(files, &progress);
        fingerprinter.setCalculatorPath(calculator);
        fingerprinter.setTimeout(500);
        fingerprinter.startProcesses();
        fingerprinter.waitForFinished();

        QVERIFY2(clock.elapsed() < 10000, "a hung calculator held the run");
        QCOMPARE(fingerprinter.results().contains(files.first()), hasResult);
        if (hasResult)
            QCOMPARE(fingerprinter.results().value(files.first()), result);
        QCOMPARE(messages.errorCodes(), error ? QList<quint32>{error} : QList<quint32>{});
        for (const LogMessage &message : messages.withLevel(LogLevel::Error))
            QCOMPARE(message.arguments.value(0).toString(), QStringLiteral("/music/Album/01 Song.mp3"));
        if (error == MissingWithMessageCode)
            QCOMPARE(messages.withLevel(LogLevel::Error).first().arguments.value(2).toString(),
                     QStringLiteral("ERROR: Could not open the input file"));
        QCOMPARE(progress.value(), 1);
        QVERIFY(progress.isFinished());
        QVERIFY(!fingerprinter.wasCanceled());
    }

    // Eight files on reused processes in a worker thread that has no event loop of its own:
    // the last file starts first, every file gets its own output, a failing file does not stop
    // the others, and the results are taken after the thread has ended.
    void manyFilesInAWorkerThread()
    {
        const QString calculator = writeCalculator(
            m_dir.filePath("echo.sh"), "case \"$1\" in *bad*) exit 2;; esac\n"
                                       "echo DURATION=7; echo \"FINGERPRINT=$(basename \"$1\" .mp3)\"");
        QObject owner;
        QStringList paths;
        for (int i = 1; i <= 8; ++i)
            paths.append(QStringLiteral("/music/Album/%1 %2.mp3").arg(i).arg(i == 3 ? "bad" : "song"));
        const QList<IdAudioFile *> files = viewsOf(paths, &owner);
        LinearProgressObject progress;
        MessageCollector messages;

        QMap<IdAudioFile *, IdFingerprintResult> results;
        QScopedPointer<QThread> thread(QThread::create([&] {
            IdFingerprinter fingerprinter(files, &progress);
            fingerprinter.setCalculatorPath(calculator);
            fingerprinter.startProcesses();
            fingerprinter.waitForFinished();
            results = fingerprinter.results();
        }));
        thread->start();
        QVERIFY(thread->wait(60000));

        QCOMPARE(results.size(), 7);
        for (int i = 0; i < 8; ++i) {
            if (i == 2) {
                QVERIFY(!results.contains(files.at(i)));
                continue;
            }
            QCOMPARE(results.value(files.at(i)), (IdFingerprintResult{7000, QStringLiteral("%1 song").arg(i + 1)}));
        }
        const QList<LogMessage> started = messages.withLevel(LogLevel::Info);
        QCOMPARE(started.size(), 8);
        QCOMPARE(started.first().code, StartedCode);
        QCOMPARE(started.first().arguments.value(0).toString(), paths.last());
        QCOMPARE(messages.errorCodes(), QList<quint32>{MissingCode});
        QCOMPARE(progress.maximum(), 8);
        QCOMPARE(progress.value(), 8);
        QVERIFY(progress.isFinished());
    }

    // Cancel from the GUI thread reaches a worker that waits for hung calculators: the runs are
    // killed at once, long before their time-out, and nothing is logged as a failure.
    void cancelWhileWaiting()
    {
        const QString calculator
            = writeCalculator(m_dir.filePath("hang.sh"), QStringLiteral("echo $$ > \"%1/pid.$(basename \"$1\")\"\n"
                                                                        "exec sleep 60")
                                                             .arg(m_dir.path()));
        QObject owner;
        const QList<IdAudioFile *> files = viewsOf({"/music/a.mp3", "/music/b.mp3"}, &owner);
        LinearProgressObject progress;
        MessageCollector messages;
        bool canceled = false;
        int resultCount = -1;
        QScopedPointer<QThread> thread(QThread::create([&] {
            IdFingerprinter fingerprinter(files, &progress);
            fingerprinter.setCalculatorPath(calculator);
            fingerprinter.startProcesses();
            fingerprinter.waitForFinished();
            canceled = fingerprinter.wasCanceled();
            resultCount = int(fingerprinter.results().size());
        }));
        QElapsedTimer clock;
        clock.start();
        thread->start();
        // Both calculators run (one when the machine has a single core).
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_dir.filePath("pid.b.mp3")), 10000);
        progress.cancel();
        QVERIFY(thread->wait(10000));
        QVERIFY(clock.elapsed() < 20000);
        QVERIFY(canceled);
        QCOMPARE(resultCount, 0);
        QVERIFY(!processExists(m_dir.filePath("pid.b.mp3")));
        QVERIFY(!processExists(m_dir.filePath("pid.a.mp3")));
        QVERIFY(messages.errorCodes().isEmpty());
    }

    void noFiles()
    {
        LinearProgressObject progress;
        progress.setMaximum(5);
        QVERIFY(fingerprintFiles({}, &progress).isEmpty());
        QCOMPARE(progress.maximum(), 0);
        QVERIFY(progress.isFinished());
    }

    // The launcher beside the program runs the real calculator: a FLAC file made by flac (its
    // name starting with "-", which only "--" keeps from reading as an option) gets a result
    // although fpcalc ends with exit code 3; a file it cannot read (exit code 2) gets none.
    void realCalculator()
    {
        if (!hasTool("fpcalc") || !hasTool("flac"))
            QSKIP("fpcalc or flac is not installed (scripts/setup installs them)");
        QVERIFY(QFileInfo(fingerprintCalculatorPath()).isExecutable());
        const QString folder = m_dir.filePath("real");
        QVERIFY(QDir().mkpath(folder));
        const QString raw = folder + "/melody.raw";
        QFile rawFile(raw);
        QVERIFY(rawFile.open(QIODevice::WriteOnly));
        rawFile.write(melodyPcm());
        rawFile.close();
        const QString flac = folder + "/-v melody.flac";
        QVERIFY(run("flac", {"--silent", "--force-raw-format", "--endian=little", "--sign=signed", "--channels=1",
                             "--bps=16", "--sample-rate=44100", "-o", flac, raw}));
        const QString broken = folder + "/broken.mp3";
        QFile brokenFile(broken);
        QVERIFY(brokenFile.open(QIODevice::WriteOnly));
        brokenFile.write(QByteArray(4096, 'x'));
        brokenFile.close();

        QObject owner;
        const QList<IdAudioFile *> files = viewsOf({flac, broken}, &owner);
        MessageCollector messages;
        const QMap<IdAudioFile *, IdFingerprintResult> results = fingerprintFiles(files, nullptr);
        QCOMPARE(results.size(), 1);
        const IdFingerprintResult result = results.value(files.first());
        QCOMPARE(result.durationMs, 8000);
        QVERIFY2(result.fingerprint.size() > 20 && result.fingerprint.startsWith("AQAA"), qPrintable(result.fingerprint));
        const QList<LogMessage> errors = messages.withLevel(LogLevel::Error);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.first().code, MissingWithMessageCode);
        QCOMPARE(errors.first().arguments.value(0).toString(), broken);
        QCOMPARE(errors.first().arguments.value(1).toInt(), 2);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestFingerprinter)
#include "tst_fingerprinter.moc"
