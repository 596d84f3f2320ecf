#include <QtTest>

#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/texttable.h"

namespace {
class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    void log(const LogMessage &message) override { messages.append(message); }
    QList<LogMessage> messages;
};
} // namespace

class TestLog : public QObject
{
    Q_OBJECT
private slots:
    void exceptionLogsItselfOnce()
    {
        TextTable::table().insert(4001, QStringLiteral("cannot open %1"));
        CollectingLogger logger;
        Exception e(4001, {QStringLiteral("/a/b.mp3")}, true);
        QVERIFY(e.logged);
        QCOMPARE(logger.messages.size(), 1);
        QCOMPARE(logger.messages.first().code, 4001u);
        QCOMPARE(logger.messages.first().level, Error);
        Exception quiet(4001, {}, false);
        QCOMPARE(logger.messages.size(), 1);
        QVERIFY(!quiet.logged);
    }
};

QTEST_GUILESS_MAIN(TestLog)
#include "tst_log.moc"
