#include <QtTest>

#include <QBuffer>
#include <QImage>
#include <QResource>

#include "libcore/image/webimagecache.h"
#include "libcore/log/exception.h"
#include "libcore/net/network.h"
#include "shared/support_httpserver.h"

using Response = TestHttpServer::Response;
using Request = TestHttpServer::Request;

namespace {

// The cache's clock in these tests: it stands still until a test moves it, so the order of
// entries never depends on how fast the build runs.
qint64 fakeNow = 0;
qint64 fakeClock()
{
    return fakeNow;
}
void tick()
{
    ++fakeNow;
}

} // namespace

// The server answers "/<n>" with n bytes ("/<n>" padded with dots), "/png" with a small
// PNG and "/empty" with an empty body.
class TestImageCache : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void repeatedRequestIsCached();
    void imageOverBudgetIsNotKept();
    void negativeBudgetDropsEverything();
    void leastRecentlyUsedGoesFirst();
    void equalTimesGoByUrl();
    void clearEmpties();
    void emptyBody();
    void failedDownload();

private:
    QString url(const QString &path) const { return m_server.url(path).toString(); }
    int count(const QString &path) const;
    QStringList cached(const QStringList &paths) const;

    TestHttpServer m_server;
    QByteArray m_png;
};

void TestImageCache::initTestCase()
{
    QVERIFY(QResource::registerResource(QStringLiteral("libcore.rcc"), QStringLiteral("/libcore")));
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer buffer(&m_png);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(image.save(&buffer, "PNG"));
    m_server.handler = [this](const Request &r) {
        Response response;
        if (r.path.startsWith("/png"))
            response.body = m_png;
        else if (r.path != "/empty")
            response.body = r.path.leftJustified(r.path.mid(1).toInt(), '.');
        return response;
    };
    QVERIFY(m_server.start());
}

void TestImageCache::init()
{
    WebImageCache::setClock(&fakeClock);
    fakeNow = 1000;
    WebImageCache::setMaximumSize(64 * 1024 * 1024);
    WebImageCache::clear();
    m_server.requests.clear();
}

void TestImageCache::cleanupTestCase()
{
    WebImageCache::setClock(nullptr);
    WebImageCache::clear();
}

int TestImageCache::count(const QString &path) const
{
    return int(std::count_if(m_server.requests.begin(), m_server.requests.end(),
                             [&](const Request &r) { return r.path == path.toLatin1(); }));
}

// Which of the paths are still cached: asking for them must not reach the server.
QStringList TestImageCache::cached(const QStringList &paths) const
{
    QStringList list;
    for (const QString &path : paths) {
        const int before = count(path);
        WebImageCache::image(url(path));
        if (count(path) == before)
            list.append(path);
    }
    return list;
}

void TestImageCache::repeatedRequestIsCached()
{
    const CodedImage first = WebImageCache::image(url(QStringLiteral("/png")));
    QCOMPARE(first.data, m_png);
    QCOMPARE(first.width, 3);
    QCOMPARE(first.height, 2);
    QCOMPARE(first.format, QStringLiteral("PNG"));
    QCOMPARE(WebImageCache::currentSize(), int(m_png.size()));
    const CodedImage second = WebImageCache::image(url(QStringLiteral("/png")));
    QCOMPARE(second.data, m_png);
    QCOMPARE(count(QStringLiteral("/png")), 1);
    // The URL text is compared exactly.
    WebImageCache::image(url(QStringLiteral("/png")) + QStringLiteral("?"));
    QCOMPARE(WebImageCache::currentSize(), 2 * int(m_png.size()));
}

void TestImageCache::imageOverBudgetIsNotKept()
{
    WebImageCache::image(url(QStringLiteral("/5")));
    tick();
    WebImageCache::setMaximumSize(10);
    QCOMPARE(WebImageCache::maximumSize(), 10);
    const CodedImage image = WebImageCache::image(url(QStringLiteral("/20")));
    QCOMPARE(image.data.size(), 20);
    QCOMPARE(image.width, -1); // not an image, returned all the same
    QCOMPARE(WebImageCache::currentSize(), 0); // the older entry went on the way
    WebImageCache::image(url(QStringLiteral("/20")));
    QCOMPARE(count(QStringLiteral("/20")), 2);
}

void TestImageCache::negativeBudgetDropsEverything()
{
    WebImageCache::image(url(QStringLiteral("/7")));
    WebImageCache::setMaximumSize(-5);
    QCOMPARE(WebImageCache::maximumSize(), 0);
    QCOMPARE(WebImageCache::currentSize(), 0);
}

void TestImageCache::leastRecentlyUsedGoesFirst()
{
    const QStringList paths{QStringLiteral("/10"), QStringLiteral("/11"), QStringLiteral("/12")};
    for (const QString &path : paths) {
        WebImageCache::image(url(path));
        tick();
    }
    WebImageCache::image(url(paths[0])); // A is used again: B and C are now older
    QCOMPARE(WebImageCache::currentSize(), 33);
    WebImageCache::setMaximumSize(30);
    QCOMPARE(WebImageCache::currentSize(), 22);
    WebImageCache::setMaximumSize(20);
    QCOMPARE(WebImageCache::currentSize(), 10);
    WebImageCache::setMaximumSize(64 * 1024 * 1024);
    QCOMPARE(cached(paths), QStringList{paths[0]});
}

void TestImageCache::equalTimesGoByUrl()
{
    // Both used again at one time, the later-used "/20" last: it still goes first, since
    // its URL sorts first.
    const QStringList paths{QStringLiteral("/21"), QStringLiteral("/20")};
    for (const QString &path : paths)
        WebImageCache::image(url(path));
    tick();
    for (const QString &path : paths)
        WebImageCache::image(url(path));
    WebImageCache::setMaximumSize(25);
    QCOMPARE(WebImageCache::currentSize(), 21);
}

void TestImageCache::clearEmpties()
{
    WebImageCache::image(url(QStringLiteral("/9")));
    WebImageCache::clear();
    QCOMPARE(WebImageCache::currentSize(), 0);
    WebImageCache::image(url(QStringLiteral("/9")));
    QCOMPARE(count(QStringLiteral("/9")), 2);
}

void TestImageCache::emptyBody()
{
    const QString empty = url(QStringLiteral("/empty"));
    for (int attempt = 1; attempt <= 2; ++attempt) {
        try {
            WebImageCache::image(empty);
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(WebImageEmptyTextId));
            QCOMPARE(e.arguments, QVariantList{empty});
            QVERIFY(!e.logged);
        }
        QCOMPARE(count(QStringLiteral("/empty")), attempt);
    }
    QCOMPARE(WebImageCache::currentSize(), 0);
}

void TestImageCache::failedDownload()
{
    WebImageCache::image(url(QStringLiteral("/8")));
    TestHttpServer closed;
    QVERIFY(closed.start());
    const QString gone = closed.url(QStringLiteral("/x")).toString();
    closed.close();
    try {
        WebImageCache::image(gone);
        QFAIL("no exception");
    } catch (const Exception &e) {
        QCOMPARE(e.code, quint32(DownloadFailedTextId));
    }
    QCOMPARE(WebImageCache::currentSize(), 8);
}

QTEST_GUILESS_MAIN(TestImageCache)
#include "tst_imagecache.moc"
