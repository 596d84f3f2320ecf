#include <QtTest>

#include <QDateTime>
#include <QSslConfiguration>

#include <limits>

#include "app/webservice/getappversionapicall.h"
#include "app/webservice/pingapicall.h"
#include "app/webservice/serverapicall.h"
#include "app/webservice/serviceendpoint.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/log/exception.h"
#include "libcore/net/extnetworkaccessmanager.h"
#include "libcore/net/extnetworkreply.h"
#include "libcore/platform/platformidentity.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/xml/xmlutil.h"
#include "support_testservice.h"

namespace {

constexpr quint32 XmlParseFailedCode = 0x5dca8c39u;

// Runs the call and gives the code of the exception it threw, 0 when it returned.
quint32 run(ServerApiCall &call, CombinedProgressObject *progress = nullptr)
{
    try {
        call.execute(progress);
        return 0;
    } catch (const Exception &e) {
        return e.code;
    }
}

int errorCount(const BufferedLogger &logger)
{
    int count = 0;
    for (const LogMessage &message : logger.messages())
        count += message.level == Error ? 1 : 0;
    return count;
}

QStringList childNames(const QDomElement &element)
{
    QStringList names;
    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        names.append(child.tagName());
    return names;
}

} // namespace

class TestServerApiCall : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void requestEnvelope();
    void replyStatus_data();
    void replyStatus();
    void timeOut();
    void spacing();
    void retry_data();
    void retry();
    void cancelBetweenAttempts();
    void callsFromWorkerThreads();
    void endpoint_data();
    void endpoint();
    void endpointFromSettings();
    void tlsNeedsTrustedCertificate();
    void latestVersion_data();
    void latestVersion();

private:
    TestMetadataService *m_service = nullptr;
    BufferedLogger *m_logger = nullptr;
};

void TestServerApiCall::init()
{
    initWebServiceTest();
    m_service = new TestMetadataService(this);
    QVERIFY(m_service->start());
    m_service->useAsEndpoint();
    m_logger = new BufferedLogger(this);
    m_logger->setRegistered(true);
    // Each test starts as the first call of a run: no spacing pause unless a test asks for one.
    ServerApiCall::setPreviousCallEndTime(0);
}

void TestServerApiCall::cleanup()
{
    delete m_logger;
    m_logger = nullptr;
    delete m_service;
    m_service = nullptr;
}

void TestServerApiCall::requestEnvelope()
{
    SettingsStore::setValue(QStringLiteral("preferredLocale"), QStringLiteral("de_AT"));
    PingApiCall call;
    QCOMPARE(run(call), 0u);
    QCOMPARE(m_service->calls.size(), 1);
    const TestMetadataService::Call sent = m_service->calls.first();
    QCOMPARE(sent.request.method, QByteArray("POST"));
    QCOMPARE(sent.request.path, QByteArray("/service/api.php"));
    QCOMPARE(sent.request.header("content-type"), QByteArray("application/xml; charset=UTF-8"));
    QCOMPARE(sent.request.header("content-length").toInt(), sent.request.body.size());
    QVERIFY(sent.request.body.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    QVERIFY2(!sent.request.body.mid(sent.request.body.indexOf("<r>")).contains('\n'), sent.request.body.constData());

    const QDomElement root = sent.document.documentElement();
    QCOMPARE(root.tagName(), QStringLiteral("r"));
    QCOMPARE(childNames(root), (QStringList{"c", "a", "s", "d"}));
    const QDomElement client = root.firstChildElement(QStringLiteral("c"));
    QCOMPARE(client.attribute(QStringLiteral("v")), QStringLiteral("3.4.7"));
    QCOMPARE(client.attribute(QStringLiteral("o")), osName());
    const QDomElement callElement = root.firstChildElement(QStringLiteral("a"));
    QCOMPARE(callElement.attribute(QStringLiteral("i")), QStringLiteral("5d81fc49"));
    QCOMPARE(callElement.attribute(QStringLiteral("v")), QStringLiteral("3"));
    const QDomElement settings = root.firstChildElement(QStringLiteral("s"));
    QCOMPARE(childNames(settings), QStringList{"ploc"});
    QCOMPARE(settings.firstChildElement().text(), QStringLiteral("de-AT"));
    QVERIFY(!root.firstChildElement(QStringLiteral("d")).hasChildNodes());
    // The same document goes out on every execution of a call.
    QCOMPARE(run(call), 0u);
    QCOMPARE(m_service->calls.at(1).request.body, sent.request.body);
}

void TestServerApiCall::replyStatus_data()
{
    QTest::addColumn<TestMetadataService::Reply>("reply");
    QTest::addColumn<quint32>("code");
    QTest::addColumn<QVariantList>("arguments");
    const QString id = QStringLiteral("5d81fc49");
    using R = TestMetadataService::Reply;
    QTest::newRow("success") << okReply() << 0u << QVariantList{id, 7};
    QTest::newRow("success without t") << serviceReply(QStringLiteral("c=\"0\"")) << 0u << QVariantList{id, 0};
    QTest::newRow("success, t not a number") << serviceReply(QStringLiteral("c=\"0\" t=\"x\"")) << 0u << QVariantList{id, 0};
    QTest::newRow("success without data") << rawReply("<r><s c=\"0\" t=\"1\"/></r>") << 0u << QVariantList{id, 1};
    QTest::newRow("busy") << busyReply() << quint32(ServerCallBusyTextId) << QVariantList{id};
    QTest::newRow("busy in upper case") << serviceReply(QStringLiteral("c=\"1\" e=\"1127AEA6\""))
                                        << quint32(ServerCallBusyTextId) << QVariantList{id};
    QTest::newRow("other error") << serviceReply(QStringLiteral("c=\"1\" e=\"00000001\""))
                                 << quint32(ServerCallErrorTextId) << QVariantList{id, QStringLiteral("00000001")};
    QTest::newRow("error without code") << serviceReply(QStringLiteral("c=\"1\""))
                                        << quint32(ServerCallErrorTextId) << QVariantList{id, QString()};
    QTest::newRow("failure") << serviceReply(QStringLiteral("c=\"2\"")) << quint32(ServerCallFailureTextId)
                             << QVariantList{id};
    QTest::newRow("status 3") << serviceReply(QStringLiteral("c=\"3\"")) << quint32(ServerCallInvalidStatusTextId)
                              << QVariantList{id};
    QTest::newRow("status not a number") << serviceReply(QStringLiteral("c=\"x\""))
                                         << quint32(ServerCallInvalidStatusTextId) << QVariantList{id};
    QTest::newRow("status missing") << serviceReply(QStringLiteral("t=\"1\""))
                                    << quint32(ServerCallInvalidStatusTextId) << QVariantList{id};
    QTest::newRow("no status element") << rawReply("<r><d/></r>") << quint32(ServerCallInvalidStatusTextId)
                                       << QVariantList{id};
    QTest::newRow("malformed XML") << rawReply("<r><s c=\"0\"></r>") << XmlParseFailedCode << QVariantList();
    QTest::newRow("empty body") << rawReply(QByteArray()) << XmlParseFailedCode << QVariantList();
    QTest::newRow("HTTP 404") << httpReply(404, okReply().body) << quint32(ServerCallTransportFailedTextId)
                              << QVariantList();
    QTest::newRow("HTTP 500") << httpReply(500) << quint32(ServerCallTransportFailedTextId) << QVariantList();
    QTest::newRow("dropped connection") << droppedReply() << quint32(ServerCallTransportFailedTextId)
                                        << QVariantList();
    R redirect = httpReply(302);
    redirect.headers = {{"Location", "/elsewhere"}};
    QTest::newRow("redirect not followed") << redirect << XmlParseFailedCode << QVariantList();
    // Beyond the limit a reply is cut off as a transport error, never read whole.
    QTest::newRow("reply too long")
        << okReply(QString(int(ServerApiCall::MaximumReplySize), QLatin1Char('x')))
        << quint32(ServerCallTransportFailedTextId) << QVariantList();
}

void TestServerApiCall::replyStatus()
{
    QFETCH(TestMetadataService::Reply, reply);
    QFETCH(quint32, code);
    QFETCH(QVariantList, arguments);
    m_service->queue({reply});
    PingApiCall call;
    try {
        call.execute(nullptr);
        QCOMPARE(0u, code);
        const LogMessage info = m_logger->lastMessage();
        QCOMPARE(info.code, quint32(ServerCallSucceededTextId));
        QCOMPARE(info.level, Info);
        QCOMPARE(info.arguments, arguments);
    } catch (const Exception &e) {
        QCOMPARE(e.code, code);
        if (!arguments.isEmpty())
            QCOMPARE(e.arguments, arguments);
        if (code == ServerCallTransportFailedTextId) {
            QCOMPARE(e.arguments.value(0).toString(), QStringLiteral("5d81fc49"));
            QVERIFY(!e.arguments.value(1).toString().isEmpty());
        }
        QCOMPARE(errorCount(*m_logger), 1);
    }
    QCOMPARE(m_service->calls.size(), 1);
    QVERIFY(ServerApiCall::previousCallEndTime() > 0);
}

void TestServerApiCall::timeOut()
{
    // The shortest real time-out, 3 s: a reply later than that fails the call. The reply
    // comes so late that only a call waiting for it exceeds the upper bound, however busy
    // the machine.
    m_service->queue({delayedReply(GetAppVersionApiCall::TimeoutMs + 8000, okReply())});
    GetAppVersionApiCall call;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(run(call), quint32(ServerCallTransportFailedTextId));
    // Qt's coarse timers may fire up to 5 % early.
    QVERIFY2(clock.elapsed() >= GetAppVersionApiCall::TimeoutMs * 0.94, QByteArray::number(clock.elapsed()));
    QVERIFY2(clock.elapsed() < GetAppVersionApiCall::TimeoutMs + 5000, QByteArray::number(clock.elapsed()));
}

void TestServerApiCall::spacing()
{
    PingApiCall call;
    QElapsedTimer clock;
    // The first call of a run does not wait. One loopback call of a busy machine may take
    // the spacing; a call that waits takes it every time, so the quickest of three counts.
    qint64 quickest = std::numeric_limits<qint64>::max();
    for (int i = 0; i < 3; ++i) {
        ServerApiCall::setPreviousCallEndTime(0);
        clock.start();
        QCOMPARE(run(call), 0u);
        quickest = qMin(quickest, clock.elapsed());
    }
    QVERIFY2(quickest < ServerApiCall::MinimumCallSpacingMs, QByteArray::number(quickest));

    // A failed call counts as much as a successful one.
    m_service->queue({httpReply(500)});
    QCOMPARE(run(call), quint32(ServerCallTransportFailedTextId));
    const qint64 failedEnd = ServerApiCall::previousCallEndTime();
    QCOMPARE(run(call), 0u);
    const qint64 gap = m_service->calls.at(4).request.arrivalMs - failedEnd;
    QVERIFY2(gap >= ServerApiCall::MinimumCallSpacingMs, QByteArray::number(gap));
    // The upper bounds rule out waiting for another reason (a busy pause of ten seconds, an
    // hour for a clock that went back); a machine busy with parallel tests can add a second.
    QVERIFY2(gap < ServerApiCall::MinimumCallSpacingMs + 3000, QByteArray::number(gap));

    // A clock that went back makes the next call wait the whole spacing.
    ServerApiCall::setPreviousCallEndTime(QDateTime::currentMSecsSinceEpoch() + 3600 * 1000);
    clock.restart();
    QCOMPARE(run(call), 0u);
    QVERIFY2(clock.elapsed() >= ServerApiCall::MinimumCallSpacingMs, QByteArray::number(clock.elapsed()));
    QVERIFY2(clock.elapsed() < ServerApiCall::MinimumCallSpacingMs + 3000, QByteArray::number(clock.elapsed()));
}

void TestServerApiCall::retry_data()
{
    QTest::addColumn<QList<TestMetadataService::Reply>>("replies");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<quint32>("code");
    const auto error = serviceReply(QStringLiteral("c=\"1\" e=\"5\""));
    QTest::newRow("success at once") << QList{okReply()} << 1 << 0u;
    QTest::newRow("three transport failures")
        << QList{httpReply(500), droppedReply(), httpReply(404), okReply()} << 3
        << quint32(ServerCallTransportFailedTextId);
    QTest::newRow("error, unreadable, success") << QList{error, rawReply("<r>"), okReply()} << 3 << 0u;
    QTest::newRow("busy, busy, success") << QList{busyReply(), busyReply(), okReply()} << 3 << 0u;
    QTest::newRow("failure is final") << QList{serviceReply(QStringLiteral("c=\"2\"")), okReply()} << 1
                                      << quint32(ServerCallFailureTextId);
    QList<TestMetadataService::Reply> busyThenErrors{error, busyReply()};
    for (int i = 0; i < 10; ++i)
        busyThenErrors.append(error);
    // The attempts made before the busy reply count towards the ten.
    QTest::newRow("busy raises the limit to ten") << busyThenErrors << 10 << quint32(ServerCallErrorTextId);
}

void TestServerApiCall::retry()
{
    QFETCH(QList<TestMetadataService::Reply>, replies);
    QFETCH(int, attempts);
    QFETCH(quint32, code);
    m_service->script(QStringLiteral("5d81fc49"), replies);
    // Stands for the ten seconds of a real busy pause; far enough above the spacing that a
    // busy machine does not take one gap for the other.
    constexpr int pause = 2500;
    PingApiCall call;
    // Later attempts find the progress object running; what they would add to it must not
    // be lost (the leak checker sees it).
    CombinedProgressObject progress;
    quint32 thrown = 0;
    try {
        executeWithRetry(&call, &progress, pause);
    } catch (const Exception &e) {
        thrown = e.code;
    }
    QCOMPARE(thrown, code);
    QCOMPARE(m_service->calls.size(), attempts);
    for (int i = 1; i < attempts; ++i) {
        const qint64 gap = m_service->calls.at(i).request.arrivalMs - m_service->calls.at(i - 1).request.arrivalMs;
        const bool afterBusy = replies.at(i - 1).body == busyReply().body;
        QVERIFY2(gap >= (afterBusy ? pause : ServerApiCall::MinimumCallSpacingMs), QByteArray::number(gap));
        if (!afterBusy)
            QVERIFY2(gap < pause, QByteArray::number(gap));
    }
    // Every failed exchange is logged once, the rethrown error not again.
    QCOMPARE(errorCount(*m_logger), code == 0 ? attempts - 1 : attempts);
}

void TestServerApiCall::cancelBetweenAttempts()
{
    // Only a call that ignores the cancel waits for the reply (or its own time-out, 5 s).
    m_service->queue({delayedReply(9000, okReply())});
    CombinedProgressObject progress;
    QTimer::singleShot(200, &progress, &ProgressObject::cancel);
    PingApiCall call;
    QElapsedTimer clock;
    clock.start();
    executeWithRetry(&call, &progress, 10);
    QVERIFY2(clock.elapsed() < 4500, QByteArray::number(clock.elapsed()));
    QCOMPARE(m_service->calls.size(), 1);
    QCOMPARE(errorCount(*m_logger), 1);
    QVERIFY(m_logger->containsCode(ServerCallTransportFailedTextId));
}

void TestServerApiCall::callsFromWorkerThreads()
{
    // Each thread sends through a network manager of its own; the network lock lets one
    // request run at a time, and every thread sees the others' end times.
    constexpr int threadCount = 3;
    constexpr int callsPerThread = 2;
    std::atomic<int> succeeded{0};
    QList<QThread *> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.append(QThread::create([&succeeded] {
            for (int i = 0; i < callsPerThread; ++i) {
                PingApiCall call;
                if (run(call) == 0)
                    ++succeeded;
            }
        }));
        threads.last()->start();
    }
    // The service answers from this thread's event loop while the workers wait.
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(threads.cbegin(), threads.cend(), [](QThread *t) { return t->isFinished(); }),
                             20000);
    qDeleteAll(threads);
    QCOMPARE(succeeded.load(), threadCount * callsPerThread);
    QCOMPARE(m_service->calls.size(), threadCount * callsPerThread);
    QCOMPARE(m_service->server.maxInFlight, 1);
}

void TestServerApiCall::endpoint_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<quint32>("code");
    QTest::newRow("none") << QString() << quint32(ServiceEndpointMissingTextId);
    QTest::newRow("blank") << QStringLiteral("   ") << quint32(ServiceEndpointMissingTextId);
    QTest::newRow("http to another host") << QStringLiteral("http://example.com/api.php")
                                          << quint32(ServiceEndpointInvalidTextId);
    QTest::newRow("http to a private address") << QStringLiteral("http://192.168.1.2/api.php")
                                               << quint32(ServiceEndpointInvalidTextId);
    QTest::newRow("ftp") << QStringLiteral("ftp://127.0.0.1/api.php") << quint32(ServiceEndpointInvalidTextId);
    QTest::newRow("file") << QStringLiteral("file:///tmp/api.php") << quint32(ServiceEndpointInvalidTextId);
    QTest::newRow("no scheme") << QStringLiteral("127.0.0.1/api.php") << quint32(ServiceEndpointInvalidTextId);
    QTest::newRow("user info") << QStringLiteral("https://user:pw@127.0.0.1/api.php")
                               << quint32(ServiceEndpointInvalidTextId);
    QTest::newRow("http to localhost") << QStringLiteral("http://localhost:%1/api.php") << 0u;
    QTest::newRow("http to ::1 accepted, nothing listens") << QStringLiteral("http://[::1]:1/api.php")
                                                   << quint32(ServerCallTransportFailedTextId);
    QTest::newRow("https accepted, nothing listens") << QStringLiteral("https://127.0.0.1:1/api.php")
                                    << quint32(ServerCallTransportFailedTextId);
}

void TestServerApiCall::endpoint()
{
    QFETCH(QString, address);
    QFETCH(quint32, code);
    const QString text = address.contains(QLatin1String("%1")) ? address.arg(m_service->server.serverPort()) : address;
    qputenv(ServiceEndpointEnvironmentVariable, text.toUtf8());
    PingApiCall call;
    QElapsedTimer clock;
    clock.start();
    quint32 thrown = 0;
    try {
        executeWithRetry(&call, nullptr, 10);
    } catch (const Exception &e) {
        thrown = e.code;
        QCOMPARE(e.arguments.value(0).toString(), QStringLiteral("5d81fc49"));
        QVERIFY(!e.message().isEmpty());
    }
    QCOMPARE(thrown, code);
    if (code == ServiceEndpointMissingTextId || code == ServiceEndpointInvalidTextId) {
        // Refused before any network access, and not retried (retries would wait the call
        // spacing between attempts; a busy machine may stall a quick refusal for a while).
        QVERIFY2(clock.elapsed() < 1000, QByteArray::number(clock.elapsed()));
        QCOMPARE(ServerApiCall::previousCallEndTime(), 0);
        QCOMPARE(errorCount(*m_logger), 1);
    }
}

void TestServerApiCall::endpointFromSettings()
{
    qunsetenv(ServiceEndpointEnvironmentVariable);
    SettingsStore::setValue(QLatin1String(ServiceEndpointSettingsKey), m_service->endpoint().toString());
    PingApiCall call;
    QCOMPARE(run(call), 0u);
    QCOMPARE(m_service->calls.size(), 1);
    // The environment wins over the setting.
    qputenv(ServiceEndpointEnvironmentVariable, "http://example.com/api.php");
    QCOMPARE(run(call), quint32(ServiceEndpointInvalidTextId));
    QCOMPARE(m_service->calls.size(), 1);
}

void TestServerApiCall::tlsNeedsTrustedCertificate()
{
    TestMetadataService tls;
    // A set-up that fails is a failure: a skip would hide a broken check of trust.
    QVERIFY2(tls.start(true), "openssl could not make a certificate");
    tls.useAsEndpoint();
    PingApiCall call;
    try {
        call.execute(nullptr);
        QFAIL("an untrusted certificate was accepted");
    } catch (const Exception &e) {
        QCOMPARE(e.code, quint32(ServerCallTransportFailedTextId));
        QVERIFY2(e.arguments.value(1).toString().contains(QSslError(QSslError::SelfSignedCertificate).errorString()),
                 qPrintable(e.arguments.value(1).toString()));
    }
    QVERIFY(tls.calls.isEmpty());

    // The program's own roots are in place first; the failed connection is not reused.
    ExtNetworkAccessManager::instance()->clearConnectionCache();
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    const QList<QSslCertificate> roots = configuration.caCertificates();
    configuration.addCaCertificate(tls.certificate());
    QSslConfiguration::setDefaultConfiguration(configuration);
    quint32 code = 0;
    QString texts;
    try {
        call.execute(nullptr);
    } catch (const Exception &e) {
        code = e.code;
        texts = e.arguments.value(1).toString();
    }
    configuration.setCaCertificates(roots);
    QSslConfiguration::setDefaultConfiguration(configuration);
    QVERIFY2(code == 0, qPrintable(texts));
    QCOMPARE(tls.calls.size(), 1);
    QCOMPARE(tls.calls.first().callId, QStringLiteral("5d81fc49"));
}

void TestServerApiCall::latestVersion_data()
{
    QTest::addColumn<QString>("data");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("patch");
    QTest::addColumn<QDate>("date");
    QTest::newRow("all") << QStringLiteral("<v a=\"2\" b=\"10\" c=\"3\"/><d y=\"2024\" m=\"2\" d=\"29\"/>") << 2 << 10
                         << 3 << QDate(2024, 2, 29);
    QTest::newRow("major only, impossible date") << QStringLiteral("<v a=\"2\"/><d y=\"2024\" m=\"2\" d=\"30\"/>")
                                                 << 2 << 0 << 0 << QDate();
    QTest::newRow("not numbers, first elements count")
        << QStringLiteral("<v a=\"x\" b=\"1\"/><v a=\"9\"/><d y=\"2001\" m=\"1\"/>") << 0 << 1 << 0 << QDate();
    QTest::newRow("empty data") << QString() << 0 << 0 << 0 << QDate();
}

void TestServerApiCall::latestVersion()
{
    QFETCH(QString, data);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, patch);
    QFETCH(QDate, date);
    m_service->queue({okReply(data)});
    GetAppVersionApiCall call;
    QCOMPARE(run(call), 0u);
    QCOMPARE(m_service->calls.first().callId, QStringLiteral("74008092"));
    QCOMPARE(call.latestVersion(), (GetAppVersionApiCall::Version{major, minor, patch}));
    QCOMPARE(call.latestVersionDate(), date);
    QCOMPARE(call.latestVersionDate().isNull(), !date.isValid());
}

QTEST_GUILESS_MAIN(TestServerApiCall)
#include "tst_serverapicall.moc"
