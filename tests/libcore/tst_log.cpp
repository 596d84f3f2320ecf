#include <QtTest>

#include <QBuffer>
#include <QTemporaryDir>
#include <QThread>

#include <time.h>

#include "libcore/log/bufferedlogger.h"
#include "libcore/log/consolelogger.h"
#include "libcore/log/exception.h"
#include "libcore/log/filelogger.h"
#include "libcore/log/logger.h"
#include "libcore/log/streamlogger.h"
#include "libcore/text/texttable.h"

namespace {
const quint32 OpenCode = 4001;
const quint32 DiskFullCode = 779133706; // 2e70a30a

// Records which logger saw which message, to check the order of dispatch.
class TracingLogger : public Logger
{
public:
    TracingLogger(QString name, QStringList *trace) : m_name(std::move(name)), m_trace(trace)
    {
        setRegistered(true);
    }
    void log(const LogMessage &message) override { m_trace->append(m_name + QLatin1Char(':') + message.m_text); }

private:
    QString m_name;
    QStringList *m_trace;
};

qint64 utcMs(int y, int mo, int d, int h, int mi, int s, int ms)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC).toMSecsSinceEpoch();
}

QString readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<unreadable>");
    return QString::fromUtf8(f.readAll());
}
} // namespace

class TestLog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The log line shows local time; pin it.
        qputenv("TZ", "UTC");
        tzset();
        TextTable::table().insert(OpenCode, QStringLiteral("cannot open %1"));
        TextTable::table().insert(DiskFullCode, QStringLiteral("disk full"));
    }

    // --- exceptions and log messages

    void exceptionLogsItselfOnce()
    {
        BufferedLogger first;
        BufferedLogger second;
        Exception e(OpenCode, {QStringLiteral("/a/b.mp3")}, true);
        QVERIFY(e.logged);
        QCOMPARE(e.message(), QStringLiteral("Cannot open /a/b.mp3"));
        for (const BufferedLogger *logger : {&first, &second}) {
            QCOMPARE(logger->messages().size(), 1);
            const LogMessage m = logger->lastMessage();
            QCOMPARE(m.code, OpenCode);
            QCOMPARE(m.level, Error);
            QCOMPARE(m.arguments, QVariantList{QStringLiteral("/a/b.mp3")});
            QCOMPARE(m.text(), QStringLiteral("Cannot open /a/b.mp3"));
        }
        Exception quiet(OpenCode, {}, false);
        QVERIFY(!quiet.logged);
        QCOMPARE(first.messages().size(), 1);
    }

    void messageText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("capitalised after filling") << "%1 files" << QVariantList{"abc"} << "Abc files";
        QTest::newRow("missing argument stays") << "%1 and %2" << QVariantList{"x"} << "X and %2";
        QTest::newRow("surplus ignored") << "%1 and %2" << QVariantList{"x", "y", "z"} << "X and y";
        QTest::newRow("same placeholder twice") << "%1 or %1" << QVariantList{"a", "b"} << "A or a";
        QTest::newRow("numbers and flags") << "%1 of %2: %3" << QVariantList{3, qint64(10), true} << "3 of 10: true";
        QTest::newRow("no placeholders") << "done" << QVariantList{"x"} << "Done";
        // An argument holding "%2" is not filled again by the next argument.
        QTest::newRow("url with escaped slash") << "cannot fetch %1 (%2)" << QVariantList{"http://h/a%2Fb", "timeout"}
                                                << "Cannot fetch http://h/a%2Fb (timeout)";
        QTest::newRow("argument with its own number") << "%1: %2" << QVariantList{"100%2", "x"} << "100%2: x";
        QTest::newRow("numbered out of order") << "%2 before %1" << QVariantList{"a", "b"} << "B before a";
    }

    void messageText()
    {
        QFETCH(QString, text);
        QFETCH(QVariantList, arguments);
        QFETCH(QString, expected);
        const quint32 code = 4100;
        TextTable::table().insert(code, text);
        QCOMPARE(Exception(code, arguments, false).message(), expected);
        QCOMPARE(LogMessage(code, Info, arguments).text(), expected);
        TextTable::table().remove(code);
    }

    void messageWithoutText()
    {
        QCOMPARE(Exception(4999, {QStringLiteral("x")}, false).message(), QString());
        QCOMPARE(LogMessage(4999, Warning, {QStringLiteral("x")}).text(), QString());
        QCOMPARE(LogMessage(QString(), NoLevel).text(), QString());
        QCOMPARE(LogMessage().level, NoLevel);
        QCOMPARE(LogMessage(QStringLiteral("free text"), Info).text(), QStringLiteral("free text"));
        // NoLevel hides even a catalogued text.
        QCOMPARE(LogMessage(OpenCode, NoLevel, {QStringLiteral("x")}).text(), QString());
    }

    void argumentsAreCut()
    {
        const QString long1025(1025, QLatin1Char('x'));
        const QString exact1024(1024, QLatin1Char('y'));
        const QByteArray bytes5000(5000, 'b');
        const LogMessage m(OpenCode, Info, {long1025, exact1024, bytes5000, 123456});
        QCOMPARE(m.arguments.at(0).typeId(), int(QMetaType::QString));
        QCOMPARE(m.arguments.at(0).toString(), long1025.left(1024));
        QCOMPARE(m.arguments.at(1).toString(), exact1024);
        QCOMPARE(m.arguments.at(2).typeId(), int(QMetaType::QByteArray));
        QCOMPARE(m.arguments.at(2).toByteArray(), bytes5000.left(1024));
        QCOMPARE(m.arguments.at(3), QVariant(123456));

        // The exception keeps what the thrower gave; only its log record is flattened and cut.
        BufferedLogger logger;
        const QVariantList inner{long1025, QStringLiteral("b")};
        Exception e(OpenCode, {QVariant(inner)}, true);
        QCOMPARE(e.arguments, QVariantList{QVariant(inner)});
        QCOMPARE(logger.lastMessage().arguments.size(), 2);
        QCOMPARE(logger.lastMessage().arguments.at(0).toString().size(), 1024);
    }

    void flattenArguments_data()
    {
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QVariantList>("expected");
        const QVariantList ab{"a", "b"};
        QTest::newRow("single list") << QVariantList{QVariant(ab)} << ab;
        QTest::newRow("list and more") << QVariantList{QVariant(ab), "c"} << QVariantList{QVariant(ab), "c"};
        QTest::newRow("empty") << QVariantList{} << QVariantList{};
        QTest::newRow("one level only") << QVariantList{QVariant(QVariantList{QVariant(QVariantList{"a"})})}
                                        << QVariantList{QVariant(QVariantList{"a"})};
        QTest::newRow("single text") << QVariantList{"a"} << QVariantList{"a"};
    }

    void flattenArguments()
    {
        QFETCH(QVariantList, arguments);
        QFETCH(QVariantList, expected);
        QCOMPARE(::flattenArguments(arguments), expected);
    }

    void staticLoggingFunctions()
    {
        BufferedLogger logger;
        Logger::info(OpenCode, {QStringLiteral("i")});
        Logger::warning(OpenCode, {QVariant(QVariantList{"w1", "w2"})});
        Logger::error(OpenCode);
        const QList<LogMessage> m = logger.messages();
        QCOMPARE(m.size(), 3);
        QCOMPARE(m.at(0).level, Info);
        QCOMPARE(m.at(1).level, Warning);
        QCOMPARE(m.at(1).arguments, (QVariantList{"w1", "w2"}));
        QCOMPARE(m.at(2).level, Error);
        QCOMPARE(m.at(2).text(), QStringLiteral("Cannot open %1"));
        QVERIFY(m.at(0).time <= m.at(2).time);
        QVERIFY(qAbs(m.at(0).time - QDateTime::currentMSecsSinceEpoch()) < 60000);
    }

    // --- the log line

    void formatLogLine_data()
    {
        QTest::addColumn<bool>("time");
        QTest::addColumn<bool>("code");
        QTest::addColumn<bool>("level");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all") << true << true << true << "[2024-01-02 03:04:05.006] [2e70a30a] [WARNING] Disk full";
        QTest::newRow("no time") << false << true << true << "[2e70a30a] [WARNING] Disk full";
        QTest::newRow("no code") << true << false << true << "[2024-01-02 03:04:05.006] [WARNING] Disk full";
        QTest::newRow("no level") << true << true << false << "[2024-01-02 03:04:05.006] [2e70a30a] Disk full";
        QTest::newRow("text alone") << false << false << false << "Disk full";
    }

    void formatLogLine()
    {
        QFETCH(bool, time);
        QFETCH(bool, code);
        QFETCH(bool, level);
        QFETCH(QString, expected);
        LogMessage m(DiskFullCode, Warning, {});
        m.time = utcMs(2024, 1, 2, 3, 4, 5, 6);
        QCOMPARE(::formatLogLine(m, time, code, level), expected);
    }

    void formatLogLineLevelsAndCodes()
    {
        LogMessage m(QStringLiteral("free text"), Info);
        m.time = utcMs(1999, 12, 31, 23, 59, 59, 999);
        QCOMPARE(::formatLogLine(m, true, true, true), QStringLiteral("[1999-12-31 23:59:59.999] [00000000] [INFO] free text"));
        m.level = Error;
        QCOMPARE(::formatLogLine(m, false, true, true), QStringLiteral("[00000000] [ERROR] free text"));
        m.level = Question;
        QCOMPARE(::formatLogLine(m, false, false, true), QStringLiteral("[QUESTION] free text"));
        m.level = NoLevel;
        QCOMPARE(::formatLogLine(m, true, true, true), QString());
        LogMessage high(0xFFFFFFFFu, Info, {});
        QCOMPARE(::formatLogLine(high, false, true, false), QStringLiteral("[ffffffff] "));
    }

    void streamLoggerWritesLines()
    {
        auto *buffer = new QBuffer;
        buffer->open(QIODevice::WriteOnly);
        StreamLogger logger(buffer);
        QVERIFY(!logger.isRegistered());
        QCOMPARE(logger.device(), buffer);
        QCOMPARE(buffer->parent(), &logger);
        logger.setShowTimestamp(false);

        LogMessage m(DiskFullCode, Warning, {});
        logger.log(m);
        logger.setShowCode(false);
        logger.setShowLevel(false);
        logger.log(LogMessage(QStringLiteral("a\r\nb\rc"), Info));
        logger.log(LogMessage(QStringLiteral("\u00e9"), Info));
        logger.log(LogMessage());
        QCOMPARE(QString::fromUtf8(buffer->data()),
                 QStringLiteral("[2e70a30a] [WARNING] Disk full\na\nb\nc\n\u00e9\n\n"));

        // Replacing the device deletes the old one; the same device again changes nothing.
        QPointer<QBuffer> old(buffer);
        auto *next = new QBuffer;
        logger.setDevice(next);
        QVERIFY(old.isNull());
        logger.setDevice(next);
        QCOMPARE(logger.device(), next);
        logger.setDevice(nullptr);
        logger.log(m); // no device: nothing happens
    }

    // --- file and console loggers

    void fileLoggerAppends()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.log"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old line\n");
        }
        {
            FileLogger logger(path);
            QVERIFY(logger.isRegistered());
            QCOMPARE(logger.fileName(), path);
            LogMessage m(DiskFullCode, Warning, {});
            m.time = utcMs(2024, 1, 2, 3, 4, 5, 6);
            Logger::logToAll(m);
            logger.setShowTimestamp(false);
            logger.setShowCode(false);
            Logger::logToAll(LogMessage(QStringLiteral("a\r\nb"), Error));
            // Flushed after every line: complete on disk before the logger goes.
            QCOMPARE(readAll(path), QStringLiteral("old line\n[2024-01-02 03:04:05.006] [2e70a30a] [WARNING] Disk full\n"
                                                   "[ERROR] a\nb\n"));
        }
        Logger::logToAll(LogMessage(QStringLiteral("after"), Info));
        QVERIFY(!readAll(path).contains(QStringLiteral("after")));
    }

    void fileLoggerWithoutFile()
    {
        QTemporaryDir dir;
        FileLogger logger(dir.filePath(QStringLiteral("missing/folder/run.log")));
        QVERIFY(logger.isRegistered());
        QVERIFY(logger.fileName().isEmpty());
        QVERIFY(!logger.device());
        Logger::info(DiskFullCode);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing/folder/run.log"))));

        // A failed switch keeps the file in use.
        const QString good = dir.filePath(QStringLiteral("good.log"));
        logger.setFileName(good);
        QCOMPARE(logger.fileName(), good);
        logger.setFileName(dir.filePath(QStringLiteral("missing/other.log")));
        QCOMPARE(logger.fileName(), good);
        logger.setShowTimestamp(false);
        Logger::info(DiskFullCode);
        QCOMPARE(readAll(good), QStringLiteral("[2e70a30a] [INFO] Disk full\n"));
    }

    void consoleLogger()
    {
        auto *logger = new ConsoleLogger;
        QVERIFY(logger->isRegistered());
        auto *file = qobject_cast<QFile *>(logger->device());
        QVERIFY(file);
        QCOMPARE(file->handle(), 1);
        QPointer<QIODevice> device(file);
        delete logger;
        QVERIFY(device.isNull());
    }

    // --- registration and dispatch

    void registration()
    {
        QStringList trace;
        {
            TracingLogger a(QStringLiteral("a"), &trace);
            TracingLogger b(QStringLiteral("b"), &trace);
            a.setRegistered(true); // twice: still once, and stays first
            Logger::logToAll(LogMessage(QStringLiteral("1"), Info));
            QCOMPARE(trace, (QStringList{"a:1", "b:1"}));

            a.setRegistered(false);
            a.setRegistered(false);
            QVERIFY(!a.isRegistered());
            a.setRegistered(true); // re-registered: now after b
            trace.clear();
            Logger::logToAll(LogMessage(QStringLiteral("2"), Info));
            QCOMPARE(trace, (QStringList{"b:2", "a:2"}));
        }
        trace.clear();
        Logger::logToAll(LogMessage(QStringLiteral("3"), Info));
        QVERIFY(trace.isEmpty());
    }

    void stackedBufferedLoggers()
    {
        BufferedLogger outer;
        Logger::info(1);
        {
            BufferedLogger inner;
            Logger::warning(2);
            QCOMPARE(inner.messages().size(), 1);
            QVERIFY(inner.containsCode(2));
            QVERIFY(!inner.containsCode(1));
        }
        Logger::error(3);
        QCOMPARE(outer.messages().size(), 3);
        QCOMPARE(outer.messages().at(2).code, 3u);
    }

    void dispatchFromThreads()
    {
        BufferedLogger a;
        BufferedLogger b;
        const int threads = 4;
        const int perThread = 200;
        QList<QThread *> workers;
        for (int t = 0; t < threads; ++t) {
            workers.append(QThread::create([t] {
                for (int i = 0; i < perThread; ++i)
                    Logger::info(quint32(t * 1000 + i));
            }));
            workers.last()->start();
        }
        for (QThread *w : workers) {
            QVERIFY(w->wait(30000));
            delete w;
        }
        const QList<LogMessage> ma = a.messages();
        const QList<LogMessage> mb = b.messages();
        QCOMPARE(ma.size(), threads * perThread);
        QCOMPARE(mb.size(), ma.size());
        for (int i = 0; i < ma.size(); ++i)
            QCOMPARE(ma.at(i).code, mb.at(i).code); // one dispatch at a time: the same order everywhere
    }

    // --- buffered logger queries

    void bufferedQueries()
    {
        BufferedLogger logger;
        QCOMPARE(logger.lastMessage().level, NoLevel);
        QCOMPARE(logger.lastErrorOrWarning().level, NoLevel);
        QVERIFY(!logger.containsLevel(Info));

        Logger::info(10);
        Logger::info(11);
        QCOMPARE(logger.lastErrorOrWarning().level, NoLevel);
        QCOMPARE(logger.lastMessage().code, 11u);

        Logger::warning(20);
        Logger::error(30);
        Logger::warning(21);
        Logger::info(12);
        QCOMPARE(logger.lastErrorOrWarning().code, 21u);
        QCOMPARE(logger.lastError().code, 30u);
        QCOMPARE(logger.lastWarning().code, 21u);
        QCOMPARE(logger.lastMessageOfLevels({Info, Error}).code, 12u);
        QCOMPARE(logger.lastMessageOfLevels({Question}).level, NoLevel);
        QVERIFY(logger.containsCode(30));
        QVERIFY(!logger.containsCode(31));
        QVERIFY(logger.containsLevel(Error));
        QVERIFY(!logger.containsLevel(Question));
        QCOMPARE(logger.messages().size(), 6);
    }

    void bufferedBoundAndSignal()
    {
        BufferedLogger logger;
        QSignalSpy spy(&logger, &BufferedLogger::changed);
        logger.clear(); // even when empty
        QCOMPARE(spy.count(), 1);
        QCOMPARE(logger.maxCount(), -1);

        for (quint32 c = 1; c <= 5; ++c)
            Logger::info(c);
        QCOMPARE(spy.count(), 6);
        logger.setMaxCount(3);
        QCOMPARE(spy.count(), 7);
        QCOMPARE(logger.messages().size(), 3);
        QCOMPARE(logger.messages().first().code, 3u);
        logger.setMaxCount(3); // unchanged: no signal
        QCOMPARE(spy.count(), 7);
        Logger::info(6);
        QCOMPARE(logger.messages().size(), 3);
        QCOMPARE(logger.messages().first().code, 4u);
        logger.setMaxCount(0);
        QVERIFY(logger.messages().isEmpty());
        logger.setMaxCount(-1);
        Logger::info(7);
        Logger::info(8);
        QCOMPARE(logger.messages().size(), 2);
        logger.clear();
        QVERIFY(logger.messages().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLog)
#include "tst_log.moc"
