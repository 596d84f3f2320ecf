#include <QtTest>

#include <QBuffer>
#include <QResource>
#include <QSslConfiguration>
#include <QThread>

#include "libcore/io/iostream.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/log/exception.h"
#include "libcore/net/extnetworkaccessmanager.h"
#include "libcore/net/extnetworkreply.h"
#include "libcore/net/extnetworkrequest.h"
#include "libcore/net/network.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/progress/linearprogressobject.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "shared/support_httpserver.h"

using Response = TestHttpServer::Response;
using Request = TestHttpServer::Request;

namespace {
Response redirectTo(const QByteArray &location, int status = 302)
{
    Response r;
    r.status = status;
    r.headers = {{"Location", location}};
    return r;
}

Response body(const QByteArray &bytes)
{
    Response r;
    r.body = bytes;
    return r;
}

QStringList paths(const TestHttpServer &server)
{
    QStringList list;
    for (const Request &r : server.requests)
        list.append(QString::fromLatin1(r.path));
    return list;
}
} // namespace

class TestNetwork : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void setBody();
    void operations_data();
    void operations();
    void invalidOperation();
    void errorStatus_data();
    void errorStatus();
    void connectionRefused();
    void inactivityTimeout_data();
    void inactivityTimeout();
    void progressCountsBytes();
    void cancelAbortsRequest();
    void failedSinkWriteFails();
    void bodyOverLimitFails_data();
    void bodyOverLimitFails();
    void otherSinks();
    void asynchronous();
    void oneRequestAtATime();

    void downloadFollowsRedirects_data();
    void downloadFollowsRedirects();
    void downloadRedirectLoop_data();
    void downloadRedirectLoop();
    void downloadRedirectLimit();
    void downloadErrorStatus();

    void extraRootsKeepSystemRoots();
    void untrustedCertificate();

private:
    TestHttpServer *m_server = nullptr;
    BufferedLogger *m_logger = nullptr;
};

void TestNetwork::initTestCase()
{
    QVERIFY(QResource::registerResource(QStringLiteral("libcore.rcc"), QStringLiteral("/libcore")));
    TextTable::table().insert(NetworkTimeoutTextId, QStringLiteral("no answer in time"));
    TextTable::table().insert(NetworkSinkWriteFailedTextId, QStringLiteral("cannot store: %1"));
    TextTable::table().insert(NetworkReplyTooLargeTextId, QStringLiteral("longer than %1"));
}

void TestNetwork::init()
{
    delete m_server;
    m_server = new TestHttpServer(this);
    QVERIFY(m_server->start());
    delete m_logger;
    m_logger = new BufferedLogger(this);
    m_logger->setRegistered(true);
}

void TestNetwork::setBody()
{
    ExtNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1/")));
    request.setBody("12345");
    QCOMPARE(request.request.header(QNetworkRequest::ContentLengthHeader).toInt(), 5);
    request.setBody(QByteArray());
    QVERIFY(!request.request.header(QNetworkRequest::ContentLengthHeader).isValid());
    QVERIFY(!request.request.hasRawHeader("Content-Length"));
    QVERIFY(request.body.isEmpty());
}

void TestNetwork::operations_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("head") << int(HeadOperation) << QByteArray("HEAD") << QByteArray();
    QTest::newRow("get") << int(GetOperation) << QByteArray("GET") << QByteArray();
    QTest::newRow("put") << int(PutOperation) << QByteArray("PUT") << QByteArray("<a/>");
    QTest::newRow("post") << int(PostOperation) << QByteArray("POST") << QByteArray("<b>x</b>");
    QTest::newRow("delete") << int(DeleteOperation) << QByteArray("DELETE") << QByteArray();
}

void TestNetwork::operations()
{
    QFETCH(int, operation);
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, sent);
    m_server->handler = [](const Request &) { return body("answer"); };
    ExtNetworkRequest request(m_server->url(QStringLiteral("/op")));
    request.request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/xml"));
    request.setBody(sent);
    QObject parent;
    ExtNetworkReply *reply = sendNetworkRequest(operation, request, &parent);
    QCOMPARE(reply->parent(), &parent);
    QCOMPARE(reply->status(), 1);
    QVERIFY(reply->errorStrings().isEmpty());
    QCOMPARE(m_server->requests.size(), 1);
    QCOMPARE(m_server->requests[0].method, method);
    QCOMPARE(m_server->requests[0].path, QByteArray("/op"));
    QCOMPARE(m_server->requests[0].body, sent);
    QCOMPARE(reply->data(), method == "HEAD" ? QByteArray() : QByteArray("answer"));
}

void TestNetwork::invalidOperation()
{
    QObject parent;
    for (int operation : {0, 6}) {
        ExtNetworkReply *reply =
            sendNetworkRequest(operation, ExtNetworkRequest(m_server->url(QStringLiteral("/"))), &parent);
        QCOMPARE(reply->status(), 2);
        QVERIFY(!reply->reply());
        QVERIFY(reply->data().isEmpty());
    }
    QVERIFY(m_server->requests.isEmpty());
}

void TestNetwork::errorStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("code");
    QTest::newRow("not found") << 404 << int(QNetworkReply::ContentNotFoundError);
    QTest::newRow("forbidden") << 403 << int(QNetworkReply::ContentAccessDenied);
    QTest::newRow("server error") << 500 << int(QNetworkReply::InternalServerError);
}

void TestNetwork::errorStatus()
{
    QFETCH(int, status);
    QFETCH(int, code);
    m_server->handler = [status](const Request &) {
        Response r = body("error page");
        r.status = status;
        return r;
    };
    QObject parent;
    ExtNetworkReply *reply = sendNetworkRequest(
        GetOperation, ExtNetworkRequest(m_server->url(QStringLiteral("/missing"))), &parent);
    QCOMPARE(reply->status(), 2);
    QCOMPARE(int(reply->errorCode()), code);
    QCOMPARE(reply->errorStrings(), QStringList{reply->reply()->errorString()});
}

void TestNetwork::connectionRefused()
{
    const QUrl url = m_server->url(QStringLiteral("/"));
    m_server->close();
    QObject parent;
    ExtNetworkReply *reply = sendNetworkRequest(GetOperation, ExtNetworkRequest(url), &parent);
    QCOMPARE(reply->status(), 2);
    QCOMPARE(reply->errorCode(), QNetworkReply::ConnectionRefusedError);
    QCOMPARE(reply->errorStrings().size(), 1);
}

void TestNetwork::inactivityTimeout_data()
{
    QTest::addColumn<int>("chunks");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("status");
    // Eight parts 100 ms apart take far longer than the 350 ms time-out, but none of the
    // gaps does.
    QTest::newRow("silent server") << 1 << true << 2;
    QTest::newRow("slow but steady") << 8 << false << 1;
}

void TestNetwork::inactivityTimeout()
{
    QFETCH(int, chunks);
    QFETCH(bool, silent);
    QFETCH(int, status);
    m_server->handler = [=](const Request &) {
        Response r = body("0123456789abcdef");
        r.silent = silent;
        r.chunks = chunks;
        r.chunkIntervalMs = 100;
        return r;
    };
    ExtNetworkRequest request(m_server->url(QStringLiteral("/slow")));
    request.timeoutMs = 350;
    QObject parent;
    QElapsedTimer clock;
    clock.start();
    ExtNetworkReply *reply = sendNetworkRequest(GetOperation, request, &parent);
    QCOMPARE(reply->status(), status);
    if (status == 2) {
        QCOMPARE(reply->errorCode(), QNetworkReply::TimeoutError);
        QCOMPARE(reply->errorStrings(), QStringList{QStringLiteral("No answer in time")});
        QVERIFY(clock.elapsed() < 3000);
        // The request is dropped, not left running behind the caller.
        QVERIFY(reply->reply()->isFinished());
        QTRY_COMPARE_WITH_TIMEOUT(m_server->closedConnections, 1, 2000);
    } else {
        QCOMPARE(reply->data(), QByteArray("0123456789abcdef"));
        QVERIFY(clock.elapsed() >= 700);
    }
}

void TestNetwork::progressCountsBytes()
{
    const QByteArray bytes(3000, 'x');
    m_server->handler = [&](const Request &) {
        Response r = body(bytes);
        r.chunks = 3;
        r.chunkIntervalMs = 30;
        return r;
    };
    CombinedProgressObject progress;
    ExtNetworkRequest request(m_server->url(QStringLiteral("/big")));
    request.progress = &progress;
    QObject parent;
    ExtNetworkReply *reply = sendNetworkRequest(GetOperation, request, &parent);
    QCOMPARE(reply->status(), 1);
    QCOMPARE(reply->data(), bytes);
    QCOMPARE(progress.childCount(), 2);
    QVERIFY(progress.isFinished());
    QVERIFY(progress.child(0)->isFinished());
    auto *received = qobject_cast<LinearProgressObject *>(progress.child(1));
    QVERIFY(received);
    QCOMPARE(received->maximum(), 3000);
    QCOMPARE(received->value(), 3000);
}

void TestNetwork::cancelAbortsRequest()
{
    m_server->handler = [](const Request &) {
        Response r;
        r.silent = true;
        return r;
    };
    CombinedProgressObject progress;
    ExtNetworkRequest request(m_server->url(QStringLiteral("/never")));
    request.timeoutMs = 20000;
    request.progress = &progress;
    QTimer::singleShot(100, &progress, &ProgressObject::cancel);
    QObject parent;
    QElapsedTimer clock;
    clock.start();
    ExtNetworkReply *reply = sendNetworkRequest(GetOperation, request, &parent);
    QVERIFY(clock.elapsed() < 5000);
    // The request ends with the wait: it fails and its connection is closed.
    QCOMPARE(reply->status(), 2);
    QCOMPARE(reply->errorCode(), QNetworkReply::OperationCanceledError);
    QVERIFY(reply->reply()->isFinished());
    QTRY_COMPARE_WITH_TIMEOUT(m_server->closedConnections, 1, 2000);
}

void TestNetwork::failedSinkWriteFails()
{
    m_server->handler = [](const Request &) { return body("payload"); };
    QBuffer buffer;
    buffer.open(QIODevice::ReadOnly);
    IoStream sink(&buffer);
    ExtNetworkRequest request(m_server->url(QStringLiteral("/data")));
    request.sinkKind = CallerSink;
    request.sink = &sink;
    QObject parent;
    ExtNetworkReply *reply = sendNetworkRequest(GetOperation, request, &parent);
    QCOMPARE(reply->status(), 2);
    QCOMPARE(reply->errorCode(), QNetworkReply::UnknownContentError);
    QVERIFY(reply->errorStrings().value(0).startsWith(QStringLiteral("Cannot store: ")));
}

void TestNetwork::bodyOverLimitFails_data()
{
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<int>("chunks");
    QTest::addColumn<int>("status");
    QTest::newRow("at the limit") << qint64(1000) << 1 << 1;
    QTest::newRow("one byte over") << qint64(999) << 1 << 2;
    QTest::newRow("over in a later part") << qint64(600) << 4 << 2;
    QTest::newRow("no limit") << qint64(-1) << 1 << 1;
}

void TestNetwork::bodyOverLimitFails()
{
    QFETCH(qint64, limit);
    QFETCH(int, chunks);
    QFETCH(int, status);
    m_server->handler = [chunks](const Request &) {
        Response r = body(QByteArray(1000, 'x'));
        r.chunks = chunks;
        r.chunkIntervalMs = 20;
        return r;
    };
    ExtNetworkRequest request(m_server->url(QStringLiteral("/big")));
    request.maximumSize = limit;
    QObject parent;
    ExtNetworkReply *reply = sendNetworkRequest(GetOperation, request, &parent);
    QCOMPARE(reply->status(), status);
    if (status == 2) {
        QCOMPARE(reply->errorCode(), QNetworkReply::UnknownContentError);
        QCOMPARE(reply->errorStrings().value(0), QStringLiteral("Longer than %1").arg(limit));
        QVERIFY(reply->data().size() <= limit);
    } else {
        QCOMPARE(reply->data().size(), 1000);
    }
}

void TestNetwork::otherSinks()
{
    m_server->handler = [](const Request &) { return body("payload"); };
    QObject parent;

    ExtNetworkRequest none(m_server->url(QStringLiteral("/none")));
    none.sinkKind = NoSink;
    ExtNetworkReply *reply = sendNetworkRequest(GetOperation, none, &parent);
    QCOMPARE(reply->status(), 1);
    QVERIFY(!reply->sink());
    QVERIFY(reply->data().isEmpty());

    IoStream mine(QByteArray("head:"), QIODevice::ReadWrite);
    mine.device()->seek(5);
    ExtNetworkRequest caller(m_server->url(QStringLiteral("/mine")));
    caller.sinkKind = CallerSink;
    caller.sink = &mine;
    reply = sendNetworkRequest(GetOperation, caller, &parent);
    QCOMPARE(reply->status(), 1);
    QCOMPARE(reply->sink(), &mine);
    QCOMPARE(mine.data(), QByteArray("head:payload"));
    delete reply;
    QCOMPARE(mine.data(), QByteArray("head:payload")); // the caller's stream stays
}

void TestNetwork::asynchronous()
{
    m_server->handler = [](const Request &) { return body("later"); };
    ExtNetworkRequest request(m_server->url(QStringLiteral("/async")));
    request.synchronous = false;
    QObject parent;
    ExtNetworkReply *reply = sendNetworkRequest(GetOperation, request, &parent);
    QCOMPARE(reply->status(), 0);
    QSignalSpy finished(reply, &ExtNetworkReply::finished);
    QVERIFY(finished.wait(5000));
    QCOMPARE(reply->status(), 1);
    QCOMPARE(reply->data(), QByteArray("later"));
}

void TestNetwork::oneRequestAtATime()
{
    // Each answer takes 200 ms; requests from three threads must still reach the server
    // one after another.
    m_server->handler = [](const Request &) {
        Response r = body("ab");
        r.chunks = 2;
        r.chunkIntervalMs = 100;
        return r;
    };
    QList<QThread *> threads;
    QAtomicInt succeeded = 0;
    for (int i = 0; i < 3; ++i) {
        const QUrl url = m_server->url(QStringLiteral("/t%1").arg(i));
        threads.append(QThread::create([url, &succeeded] {
            ExtNetworkReply *reply = sendNetworkRequest(GetOperation, ExtNetworkRequest(url), nullptr);
            if (reply->status() == 1 && reply->data() == "ab")
                ++succeeded;
            delete reply;
        }));
    }
    for (QThread *t : threads)
        t->start();
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(threads.begin(), threads.end(),
                                         [](QThread *t) { return t->isFinished(); }),
                             10000);
    qDeleteAll(threads);
    QCOMPARE(succeeded.loadRelaxed(), 3);
    QCOMPARE(m_server->requests.size(), 3);
    QCOMPARE(m_server->maxInFlight, 1);
}

void TestNetwork::downloadFollowsRedirects_data()
{
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<QString>("landing");
    QTest::newRow("absolute path") << QByteArray("/end") << QStringLiteral("/end");
    QTest::newRow("relative to the folder") << QByteArray("end") << QStringLiteral("/dir/end");
    QTest::newRow("parent folder") << QByteArray("../top/end?x=1") << QStringLiteral("/top/end?x=1");
    QTest::newRow("full url") << QByteArray() << QStringLiteral("/full");
}

void TestNetwork::downloadFollowsRedirects()
{
    QFETCH(QByteArray, location);
    QFETCH(QString, landing);
    if (location.isEmpty())
        location = m_server->url(landing).toEncoded();
    m_server->handler = [&](const Request &r) {
        if (r.path == "/dir/start")
            return redirectTo(location, 301);
        return body("landed at " + r.path);
    };
    const QByteArray data = downloadData(m_server->url(QStringLiteral("/dir/start")).toString());
    QCOMPARE(data, "landed at " + landing.toLatin1());
    QCOMPARE(paths(*m_server), (QStringList{QStringLiteral("/dir/start"), landing}));
}

void TestNetwork::downloadRedirectLoop_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("requests");
    QTest::newRow("a to b to a") << QStringLiteral("/a") << 2;
    QTest::newRow("to itself") << QStringLiteral("/self") << 1;
}

void TestNetwork::downloadRedirectLoop()
{
    QFETCH(QString, start);
    QFETCH(int, requests);
    m_server->handler = [](const Request &r) {
        if (r.path == "/a")
            return redirectTo("b");
        if (r.path == "/b")
            return redirectTo("/a");
        return redirectTo("/self");
    };
    const QString url = m_server->url(start).toString();
    try {
        downloadData(url);
        QFAIL("no exception");
    } catch (const Exception &e) {
        QCOMPARE(e.code, quint32(RedirectLoopTextId));
        QCOMPARE(e.arguments, (QVariantList{url, url}));
        QVERIFY(!e.logged);
    }
    QCOMPARE(m_server->requests.size(), requests);
    QCOMPARE(m_logger->lastWarning().code, quint32(RedirectLoopWarningId));
}

void TestNetwork::downloadRedirectLimit()
{
    // "/hop/n" redirects to "/hop/n-1"; "/hop/0" answers.
    m_server->handler = [](const Request &r) {
        const int n = r.path.mid(5).toInt();
        if (n == 0)
            return body("arrived");
        return redirectTo("/hop/" + QByteArray::number(n - 1));
    };
    QCOMPARE(downloadData(m_server->url(QStringLiteral("/hop/%1").arg(MaxRedirects)).toString()),
             QByteArray("arrived"));
    m_server->requests.clear();

    const QString url = m_server->url(QStringLiteral("/hop/%1").arg(MaxRedirects + 1)).toString();
    try {
        downloadData(url);
        QFAIL("no exception");
    } catch (const Exception &e) {
        QCOMPARE(e.code, quint32(TooManyRedirectsTextId));
        QCOMPARE(e.arguments, (QVariantList{url, MaxRedirects}));
    }
    QCOMPARE(m_server->requests.size(), MaxRedirects + 1);
    QCOMPARE(m_logger->lastWarning().code, quint32(TooManyRedirectsWarningId));
}

void TestNetwork::downloadErrorStatus()
{
    m_server->handler = [](const Request &r) {
        if (r.path == "/moved")
            return redirectTo("/gone");
        Response response;
        response.status = 410;
        return response;
    };
    const QString url = m_server->url(QStringLiteral("/moved")).toString();
    try {
        downloadData(url);
        QFAIL("no exception");
    } catch (const Exception &e) {
        QCOMPARE(e.code, quint32(DownloadFailedTextId));
        QCOMPARE(e.arguments.size(), 2);
        QCOMPARE(e.arguments[0].toString(), url);
        QVERIFY(e.arguments[1].toString().contains(m_server->url(QStringLiteral("/gone")).toString()));
        QVERIFY(!e.logged);
        const LogMessage warning = m_logger->lastWarning();
        QCOMPARE(warning.code, quint32(DownloadFailedWarningId));
        QCOMPARE(warning.arguments, e.arguments);
    }
}

void TestNetwork::extraRootsKeepSystemRoots()
{
    ExtNetworkAccessManager::instance();
    const QList<QSslCertificate> roots = QSslConfiguration::defaultConfiguration().caCertificates();
    for (const QString &path : ExtNetworkAccessManager::extraCaCertificatePaths()) {
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        QVERIFY(roots.contains(QSslCertificate(file.readAll(), QSsl::Pem)));
    }
    // Adding roots must not cost the system's own.
    const QList<QSslCertificate> system = QSslConfiguration::systemCaCertificates();
    QVERIFY(!system.isEmpty());
    QVERIFY(roots.contains(system.first()));
    QVERIFY(roots.contains(system.last()));
}

void TestNetwork::untrustedCertificate()
{
    QSslCertificate certificate;
    QSslKey key;
    // A set-up that fails is a failure: a skip would hide a broken check of trust.
    QVERIFY2(makeTestCertificate(certificate, key), "openssl could not make a certificate");
    TestHttpServer tls;
    QVERIFY(tls.start(certificate, key));
    tls.handler = [](const Request &) { return body("secret"); };
    QObject parent;
    ExtNetworkReply *reply =
        sendNetworkRequest(GetOperation, ExtNetworkRequest(tls.url(QStringLiteral("/"))), &parent);
    QCOMPARE(reply->status(), 2);
    QCOMPARE(reply->errorCode(), QNetworkReply::SslHandshakeFailedError);
    const QStringList texts = reply->errorStrings();
    QVERIFY2(texts.size() >= 3, qPrintable(texts.join(QLatin1Char('\n'))));
    QCOMPARE(texts.first(), reply->reply()->errorString());
    QVERIFY(texts.mid(1, texts.size() - 2).contains(QSslError(QSslError::SelfSignedCertificate).errorString()));
    QVERIFY(texts.last().startsWith(QStringLiteral("Cipher details: ")));
    QCOMPARE(texts.last().count(QLatin1Char(',')) >= 4, true);
    QVERIFY(tls.requests.isEmpty());
}

QTEST_GUILESS_MAIN(TestNetwork)
#include "tst_network.moc"
