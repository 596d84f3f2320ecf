#include <QtTest>

#include "app/webservice/dbalbumimage.h"
#include "app/webservice/dbimagelookupresult.h"
#include "libcore/image/webimagecache.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/log/exception.h"
#include "libcore/net/network.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/util/variants.h"
#include "support_testservice.h"

using Variants = QList<DbAlbumImageVariant>;
using Reply = TestMetadataService::Reply;
using Files = QHash<QString, TestMetadataService::Reply>;

namespace {

DbAlbumImageVariant sized(const QString &url, int width, int height)
{
    return {url, QString(), QString(), width, height};
}

DbAlbumImageVariant unsized(const QString &url)
{
    return {url, QString(), QString(), -1, -1};
}

Variants standardVariants()
{
    return {sized(QStringLiteral("/300"), 300, 300), sized(QStringLiteral("/600"), 600, 600),
            sized(QStringLiteral("/1200"), 1200, 1200)};
}

Reply image(int width, int height, const char *format = "PNG")
{
    return rawReply(imageBytes(width, height, format));
}

} // namespace

class TestDbAlbumImage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void readAlbumImage_data();
    void readAlbumImage();
    void typeTables();
    void variantChoice_data();
    void variantChoice();
    void download_data();
    void download();
    void downloadErrors_data();
    void downloadErrors();
    void lookupResultDownload();
    void variantEquality();

private:
    // Serves the paths the variants name; the rows give the images.
    DbAlbumImage withServedVariants(const Variants &variants) const;

    TestMetadataService *m_service = nullptr;
};

void TestDbAlbumImage::initTestCase()
{
    initWebServiceTest();
}

void TestDbAlbumImage::init()
{
    SettingsStore::reset();
    m_service = new TestMetadataService(this);
    QVERIFY(m_service->start());
    WebImageCache::clear();
}

void TestDbAlbumImage::cleanup()
{
    delete m_service;
    m_service = nullptr;
}

DbAlbumImage TestDbAlbumImage::withServedVariants(const Variants &variants) const
{
    DbAlbumImage result;
    for (DbAlbumImageVariant variant : variants) {
        if (variant.url.startsWith(QLatin1Char('/')))
            variant.url = m_service->url(variant.url);
        result.variants.append(variant);
    }
    return result;
}

void TestDbAlbumImage::readAlbumImage_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<bool>("preferred");
    QTest::addColumn<Variants>("variants");
    QTest::newRow("everything")
        << "<a t=\"2\" p=\"prov\" c=\"note\" d=\"1\"><i u=\"http://h/1\" d=\"x\" i=\"k\" w=\"10\" h=\"20\"/><i u=\"http://h/2\"/></a>"
        << 2 << "prov" << "note" << true
        << Variants{{"http://h/1", "x", "k", 10, 20}, unsized(QStringLiteral("http://h/2"))};
    QTest::newRow("nothing") << "<a/>" << 0 << "" << "" << false << Variants();
    QTest::newRow("malformed numbers")
        << "<a t=\"x\" d=\"true\"><i w=\"5\"/><i w=\"5\" h=\"y\"/><i w=\"-3\" h=\"4\"/></a>" << 0 << "" << "" << false
        << Variants{unsized(QString()), unsized(QString()), {QString(), QString(), QString(), -3, 4}};
}

void TestDbAlbumImage::readAlbumImage()
{
    QFETCH(QString, xml);
    QDomDocument document;
    QVERIFY(document.setContent(xml));
    const DbAlbumImage read = ::readAlbumImage(document.documentElement());
    QTEST(read.type, "type");
    QTEST(read.provider, "provider");
    QTEST(read.comment, "comment");
    QTEST(read.preferred, "preferred");
    QTEST(read.variants, "variants");
}

void TestDbAlbumImage::typeTables()
{
    const QList<QPair<int, int>> pictureTypes{{0, 0}, {1, 3}, {2, 4}, {3, 5}, {4, 6}, {5, 0}, {8, 0}, {13, 0}, {14, 0}};
    for (const auto &[type, picture] : pictureTypes)
        QCOMPARE(DbAlbumImage(type, QString(), QString()).pictureType(), picture);
    QCOMPARE(DbAlbumImage().type, 8);
    for (int code = 1; code <= 13; ++code)
        QVERIFY2(!albumImageTypeName(code).isEmpty(), qPrintable(QString::number(code)));
    QVERIFY(albumImageTypeName(0).isEmpty());
    QVERIFY(albumImageTypeName(14).isEmpty());
}

void TestDbAlbumImage::variantChoice_data()
{
    QTest::addColumn<Variants>("variants");
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<int>("covering");
    QTest::addColumn<int>("largest");
    QTest::addColumn<int>("first");
    QTest::newRow("covering") << standardVariants() << QSize(500, 500) << 1 << 2 << 1;
    QTest::newRow("nothing covers") << standardVariants() << QSize(2000, 2000) << -1 << 2 << -1;
    QTest::newRow("no wanted size") << standardVariants() << QSize(-1, -1) << -1 << 2 << 2;
    QTest::newRow("one side is enough")
        << Variants{sized("a", 1200, 400), sized("b", 500, 500)} << QSize(600, 600) << 0 << 0 << 0;
    QTest::newRow("equal areas: the earlier")
        << Variants{sized("a", 400, 100), sized("b", 100, 400), sized("c", 200, 200)} << QSize(300, 300) << 0
        << 0 << 0;
    QTest::newRow("unsized is the largest")
        << Variants{sized("a", 600, 600), unsized("b"), unsized("c")} << QSize(800, 800) << -1 << 1 << 1;
    QTest::newRow("no variants") << Variants() << QSize(10, 10) << -1 << -1 << -1;
}

void TestDbAlbumImage::variantChoice()
{
    QFETCH(Variants, variants);
    QFETCH(QSize, wanted);
    DbAlbumImage image;
    image.variants = variants;
    QTEST(image.smallestCoveringVariant(wanted), "covering");
    QTEST(image.largestVariant(), "largest");
    QTEST(image.variantForSize(wanted), "first");
}

void TestDbAlbumImage::download_data()
{
    QTest::addColumn<Variants>("variants");
    QTest::addColumn<Files>("files");
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<QSize>("size"); // of the result; (-1, -1) for an empty image
    QTest::addColumn<QStringList>("fetched");
    const Files standard{
        {"/300", image(300, 300)}, {"/600", image(600, 600, "JPEG")}, {"/1200", image(1200, 1200)}};
    QTest::newRow("covering variant") << standardVariants() << standard << QSize(500, 500) << QSize(600, 600)
                                      << QStringList{"/600"};
    Files small = standard;
    small["/600"] = image(100, 100);
    QTest::newRow("smaller than declared: next larger")
        << standardVariants() << small << QSize(500, 500) << QSize(1200, 1200) << QStringList{"/600", "/1200"};
    Files broken = standard;
    broken["/600"] = rawReply("not an image at all");
    QTest::newRow("undecodable: next larger")
        << standardVariants() << broken << QSize(500, 500) << QSize(1200, 1200) << QStringList{"/600", "/1200"};
    QTest::newRow("nothing covers: the largest")
        << standardVariants() << standard << QSize(2000, 2000) << QSize(1200, 1200) << QStringList{"/1200"};
    QTest::newRow("no wanted size: the largest")
        << standardVariants() << standard << QSize(-1, -1) << QSize(1200, 1200) << QStringList{"/1200"};
    QTest::newRow("unsized: whatever its size")
        << Variants{unsized("/u")} << Files{{"/u", image(100, 40)}} << QSize(500, 500)
        << QSize(100, 40) << QStringList{"/u"};
    QTest::newRow("unsized below 32 pixels")
        << Variants{unsized("/u")} << Files{{"/u", image(20, 20)}} << QSize(500, 500)
        << QSize(-1, -1) << QStringList{"/u"};
    // These two would send the choice back and forth for ever if only the last try counted.
    QTest::newRow("tiny unsized and sized variants end")
        << Variants{unsized("/u"), sized("/s", 100, 100)}
        << Files{{"/u", image(20, 20)}, {"/s", image(31, 200)}} << QSize(500, 500)
        << QSize(-1, -1) << QStringList{"/u", "/s"};
    QTest::newRow("broken unsized and sized variants end")
        << Variants{sized("/s", 100, 100), unsized("/u")}
        << Files{{"/u", rawReply("x")}, {"/s", rawReply("y")}} << QSize(500, 500) << QSize(-1, -1)
        << QStringList{"/u", "/s"};
    QTest::newRow("no variants") << Variants() << Files() << QSize(10, 10) << QSize(-1, -1)
                                 << QStringList();
}

void TestDbAlbumImage::download()
{
    QFETCH(Variants, variants);
    QFETCH(Files, files);
    QFETCH(QSize, wanted);
    QFETCH(QSize, size);
    m_service->files = files;
    const CodedImage result = withServedVariants(variants).download(wanted);
    QCOMPARE(QSize(result.width, result.height), size);
    QCOMPARE(result.isEmpty(), !size.isValid());
    QTEST(m_service->fetched, "fetched");
}

void TestDbAlbumImage::downloadErrors_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<quint32>("code");
    QTest::addColumn<bool>("requested");
    QTest::newRow("file") << "file:///etc/hostname" << Reply() << quint32(ImageAddressRefusedTextId) << false;
    QTest::newRow("data") << "data:image/png;base64,iVBORw0KGgo=" << Reply() << quint32(ImageAddressRefusedTextId)
                          << false;
    QTest::newRow("ftp") << "ftp://127.0.0.1/x.png" << Reply() << quint32(ImageAddressRefusedTextId) << false;
    QTest::newRow("relative") << "x.png" << Reply() << quint32(ImageAddressRefusedTextId) << false;
    QTest::newRow("404") << "/img" << httpReply(404) << quint32(DownloadFailedTextId) << true;
    Reply loop = httpReply(302);
    loop.headers = {{"Location", "/img"}};
    QTest::newRow("redirect loop") << "/img" << loop << quint32(RedirectLoopTextId) << true;
    QTest::newRow("empty body") << "/img" << rawReply(QByteArray()) << quint32(WebImageEmptyTextId) << true;
    QTest::newRow("too long") << "/img" << rawReply(QByteArray(WebImageCache::MaximumImageSize + 1, 'x'))
                              << quint32(DownloadFailedTextId) << true;
}

void TestDbAlbumImage::downloadErrors()
{
    QFETCH(QString, url);
    QFETCH(Reply, reply);
    QFETCH(quint32, code);
    QFETCH(bool, requested);
    m_service->files.insert(QStringLiteral("/img"), reply);
    const DbAlbumImage candidate = withServedVariants({unsized(url)});
    try {
        candidate.download(QSize(500, 500));
        QFAIL("no exception");
    } catch (const Exception &e) {
        QCOMPARE(e.code, code);
        QVERIFY(!e.message().isEmpty());
    }
    QCOMPARE(!m_service->fetched.isEmpty(), requested);
}

void TestDbAlbumImage::lookupResultDownload()
{
    m_service->files = {{"/300", image(300, 300)}, {"/600", image(600, 600)}, {"/1200", image(1200, 1200)}};
    DbImageLookupResult result;
    result.entries = {{withServedVariants(standardVariants()), CodedImage()},
                      {withServedVariants(standardVariants()), CodedImage()},
                      {withServedVariants({unsized("/missing")}), CodedImage()}};
    SettingsStore::setValue(QStringLiteral("artwork/size/preferredSize"), QStringLiteral("500"));
    SettingsStore::setValue(QStringLiteral("artwork/reprocess/download"), QStringLiteral("true"));
    result.download(0);
    QCOMPARE(result.entries[0].downloaded.width, 600);
    result.download(0); // already there: nothing fetched again
    QCOMPARE(m_service->fetched, QStringList{"/600"});

    SettingsStore::setValue(QStringLiteral("artwork/size/preferredSize"), QStringLiteral("0"));
    result.download(1); // no preferred size: the largest
    QCOMPARE(result.entries[1].downloaded.width, 1200);
    QCOMPARE(result.downloadedCount(), 2);

    QVERIFY_THROWS_EXCEPTION(Exception, result.download(2));
    QVERIFY(result.entries[2].downloaded.isEmpty());
    result.download(3); // out of range: nothing
    result.download(-1);
    QCOMPARE(result.downloadedCount(), 2);
}

void TestDbAlbumImage::variantEquality()
{
    DbAlbumImage a(1, QStringLiteral("p"), QStringLiteral("c"));
    a.variants = standardVariants();
    DbAlbumImage b = a;
    installVariantHandler(true);
    QVERIFY(variantsEqual(QVariant::fromValue(a), QVariant::fromValue(b)));
    QVERIFY(QVariant::fromValue(a) == QVariant::fromValue(b));
    b.variants[2].key = QStringLiteral("k");
    QVERIFY(!variantsEqual(QVariant::fromValue(a), QVariant::fromValue(b)));
    b = a;
    b.preferred = true;
    QVERIFY(!variantsEqual(QVariant::fromValue(a), QVariant::fromValue(b)));
    b = a;
    b.variants.removeLast();
    QVERIFY(!variantsEqual(QVariant::fromValue(a), QVariant::fromValue(b)));
    installVariantHandler(false);
    QCOMPARE(QMetaType::fromName("DbAlbumImage"), QMetaType::fromType<DbAlbumImage>());
}

QTEST_GUILESS_MAIN(TestDbAlbumImage)
#include "tst_dbalbumimage.moc"
