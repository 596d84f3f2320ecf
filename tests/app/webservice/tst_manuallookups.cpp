#include <QtTest>

#include <QPointer>

#include "app/webservice/dbalbum.h"
#include "app/webservice/dbalbumgroup.h"
#include "app/webservice/dbartist.h"
#include "app/webservice/dbmedium.h"
#include "app/webservice/dbtrack.h"
#include "app/webservice/manualimagelookupapicall.h"
#include "app/webservice/manuallookupapicall.h"
#include "app/webservice/releasegrouplookupapicall.h"
#include "libcore/image/webimagecache.h"
#include "libcore/log/exception.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/progress/linearprogressobject.h"
#include "libcore/settings/settingsstore.h"
#include "support_testservice.h"

using Reply = TestMetadataService::Reply;
using Files = QHash<QString, TestMetadataService::Reply>;

namespace {

QStringList dataChildren(const QDomDocument &document)
{
    QStringList children;
    const QDomElement d = document.documentElement().firstChildElement(QStringLiteral("d"));
    for (QDomElement child = d.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        children.append(child.tagName() + QLatin1Char('=') + child.text());
    return children;
}

QStringList names(const QList<DbArtist *> &artists)
{
    QStringList list;
    for (const DbArtist *artist : artists)
        list.append(artist->name);
    return list;
}

} // namespace

class TestManualLookups : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void searchRequest_data();
    void searchRequest();
    void albumSearchReply();
    void albumSearchTooManyResults_data();
    void albumSearchTooManyResults();
    void albumSearchFailureCreatesNothing();
    void releaseGroupLookup();
    void releaseGroupLookupFailureKeepsGroup();
    void imageSearch_data();
    void imageSearch();
    void imageSearchProgress();
    void imageSearchStopsWhenCanceled();

private:
    TestMetadataService *m_service = nullptr;
};

void TestManualLookups::initTestCase()
{
    initWebServiceTest();
}

void TestManualLookups::init()
{
    SettingsStore::reset();
    m_service = new TestMetadataService(this);
    QVERIFY(m_service->start());
    m_service->useAsEndpoint();
    ServerApiCall::setPreviousCallEndTime(0);
    WebImageCache::clear();
}

void TestManualLookups::cleanup()
{
    delete m_service;
    m_service = nullptr;
}

void TestManualLookups::searchRequest_data()
{
    QTest::addColumn<QStringList>("query");
    QTest::addColumn<QStringList>("data");
    QTest::newRow("artist only") << QStringList{"Ann", "", ""} << QStringList{"a=Ann"};
    QTest::newRow("everything") << QStringList{"Ann", "First", " Song "}
                                << QStringList{"a=Ann", "r=First", "t= Song "};
    QTest::newRow("nothing") << QStringList{"", "", ""} << QStringList();
}

void TestManualLookups::searchRequest()
{
    QFETCH(QStringList, query);
    QFETCH(QStringList, data);
    const ManualLookupQuery lookup{query[0], query[1], query[2], nullptr};
    ManualLookupApiCall albums(lookup);
    QCOMPARE(albums.callId(), QStringLiteral("267fd81c"));
    QCOMPARE(dataChildren(albums.requestDocument()), data);
    ManualImageLookupApiCall images(lookup);
    QCOMPARE(images.callId(), QStringLiteral("75e5f6f5"));
    QCOMPARE(dataChildren(images.requestDocument()), data);
}

void TestManualLookups::albumSearchReply()
{
    m_service->script(QStringLiteral("267fd81c"),
                      {okReply("<tmr>0</tmr>"
        "<a i=\"5\" n=\"Ann\" c=\"singer\" p=\"2\"/><a i=\"7\" n=\"First seven\"/><a i=\"7\" n=\"Second seven\"/><a i=\"x\" n=\"No id\"/>"
        "<rg i=\"11\" n=\"Title\" t=\"1\" ct=\"2,x,,7\" s=\"1\" y=\"2001-03\" a=\"Ann and co\" ai=\"3,5,7,5\"/>"
        "<rg i=\"12\" t=\"x\" s=\"y\" ai=\"x,,0\"/>"
        "<rg/>")});
    QObject results;
    ManualLookupApiCall call({QStringLiteral("Ann"), QString(), QString(), &results});
    call.execute(nullptr);
    QVERIFY(!call.tooManyResults);
    QCOMPARE(names(call.artists), (QStringList{"Ann", "First seven", "Second seven", "No id"}));
    const DbArtist *ann = call.artists.first();
    QCOMPARE(ann->id, 5);
    QCOMPARE(ann->comment, QStringLiteral("singer"));
    QCOMPARE(ann->priority, 2);
    QCOMPARE(call.artists.at(3)->id, 0);

    QCOMPARE(call.groups.size(), 3);
    const DbAlbumGroup *group = call.groups.at(0);
    QCOMPARE(group->id, 11);
    QCOMPARE(group->title, QStringLiteral("Title"));
    QCOMPARE(group->primaryType, 1);
    QCOMPARE(group->secondaryTypes, (QList<int>{2, 7}));
    QCOMPARE(group->status, 1);
    QCOMPARE(group->firstReleaseDate, PartialDateTime(2001, 3));
    QCOMPARE(group->artistCredit, QStringLiteral("Ann and co"));
    // Unknown ids are skipped, a repeated id finds the later artist, order and repeats stay.
    QCOMPARE(names(group->artists), (QStringList{"Ann", "Second seven", "Ann"}));
    QCOMPARE(call.groups.at(1)->primaryType, 0);
    QCOMPARE(call.groups.at(1)->status, 0);
    QCOMPARE(names(call.groups.at(1)->artists), QStringList{"No id"});
    QCOMPARE(call.groups.at(2)->primaryType, 11);
    QCOMPARE(call.groups.at(2)->firstReleaseDate, PartialDateTime());
    QVERIFY(call.groups.at(2)->artists.isEmpty());
    QCOMPARE(results.children().size(), 7);
    for (QObject *child : results.children())
        QCOMPARE(child->parent(), &results);

    // A second run starts with empty lists; the first run's records stay with their parent.
    m_service->script(QStringLiteral("267fd81c"), {okReply(QStringLiteral("<a i=\"1\" n=\"Other\"/>"))});
    call.execute(nullptr);
    QCOMPARE(names(call.artists), QStringList{"Other"});
    QVERIFY(call.groups.isEmpty());
    QCOMPARE(results.children().size(), 8);
}

void TestManualLookups::albumSearchTooManyResults_data()
{
    QTest::addColumn<QString>("data");
    QTest::addColumn<bool>("tooMany");
    QTest::addColumn<int>("groups");
    QTest::newRow("too many") << "<tmr>1</tmr><rg i=\"1\"/>" << true << 0;
    QTest::newRow("not too many") << "<tmr>0</tmr><rg i=\"1\"/>" << false << 1;
    QTest::newRow("text must be exact") << "<tmr> 1</tmr><rg i=\"1\"/>" << false << 1;
    QTest::newRow("no data element") << "" << false << 0;
}

void TestManualLookups::albumSearchTooManyResults()
{
    QFETCH(QString, data);
    QFETCH(bool, tooMany);
    QFETCH(int, groups);
    m_service->queue({data.isEmpty() ? rawReply("<r><s c=\"0\"/></r>") : okReply(data)});
    QObject results;
    ManualLookupApiCall call({QString(), QStringLiteral("x"), QString(), &results});
    CombinedProgressObject progress;
    call.execute(&progress);
    QCOMPARE(call.tooManyResults, tooMany);
    QCOMPARE(call.groups.size(), groups);
    QCOMPARE(progress.childCount(), 2);
    QVERIFY(progress.isFinished());
}

void TestManualLookups::albumSearchFailureCreatesNothing()
{
    m_service->queue({serviceReply(QStringLiteral("c=\"2\""), QStringLiteral("<rg i=\"1\"/>"))});
    QObject results;
    ManualLookupApiCall call({QStringLiteral("Ann"), QString(), QString(), &results});
    QVERIFY_THROWS_EXCEPTION(Exception, call.execute(nullptr));
    QVERIFY(results.children().isEmpty());
    QVERIFY(call.groups.isEmpty());
}

void TestManualLookups::releaseGroupLookup()
{
    DbAlbumGroup group;
    group.id = 4711;
    group.firstReleaseDate = PartialDateTime(2000, 5);
    m_service->script(QStringLiteral("b38ea9cf"), {okReply(""
        "<ac i=\"0\" n=\"Various\"/><ac i=\"1\" n=\"Ann\"/><ac i=\"1\" n=\"Ann &amp; Bob\"/>"
        "<r n=\"First\" s=\"1\" ac=\"1\">"
        "          <e c=\"DE\" d=\"1999-01-01T00:00:00:000\"/><e c=\"GB\"/>"
        "          <m n=\"\" p=\"1\" f=\"1\"><t i=\"100\" n=\"One\" p=\"1\" l=\"200000\" ac=\"1\"/><t i=\"101\" n=\"Two\" p=\"2\"/></m>"
        "          <m p=\"2\"/>"
        "          <a t=\"1\" p=\"prov\" d=\"1\"><i u=\"http://h/a.jpg\" w=\"500\" h=\"500\"/></a><a t=\"2\"/>"
        "</r>"
        "<r n=\"Second\" ac=\"9\"><e c=\"DE\"/><e c=\"GB\" d=\"x\"/></r>"
        "<r n=\"Third\"/>")});
    ReleaseGroupLookupApiCall call(&group);
    QCOMPARE(dataChildren(call.requestDocument()), QStringList{"i=4711"});
    call.execute(nullptr);
    QCOMPARE(m_service->calls.first().callId, QStringLiteral("b38ea9cf"));

    QCOMPARE(group.albums.size(), 3);
    const DbAlbum *first = group.albums.at(0);
    QCOMPARE(first->group, &group);
    QCOMPARE(first->parent(), &group);
    QCOMPARE(first->title, QStringLiteral("First"));
    QCOMPARE(first->status, 1);
    QCOMPARE(first->artistCredit, QStringLiteral("Ann & Bob"));
    QCOMPARE(first->releaseEvents,
             (QMap<QString, PartialDateTime>{{"DE", PartialDateTime(1999, 1, 1, 0, 0, 0, 0)}, {"GB", PartialDateTime()}}));
    QCOMPARE(first->media.size(), 2);
    const DbMedium *disc = first->media.at(0);
    QCOMPARE(disc->album, first);
    QCOMPARE(disc->format, 1);
    QCOMPARE(disc->position, 1);
    QCOMPARE(first->media.at(1)->format, 0);
    QCOMPARE(disc->tracks.size(), 2);
    const DbTrack *one = disc->tracks.at(0);
    QCOMPARE(one->medium, disc);
    QCOMPARE(one->parent(), disc);
    QCOMPARE(one->id, 100);
    QCOMPARE(one->title, QStringLiteral("One"));
    QCOMPARE(one->position, 1);
    QCOMPARE(one->length, 200000);
    QCOMPARE(one->artistCredit, QStringLiteral("Ann & Bob"));
    QCOMPARE(disc->tracks.at(1)->length, 0);
    QCOMPARE(disc->tracks.at(1)->artistCredit, QStringLiteral("Various")); // no "ac" reads as id 0
    QCOMPARE(first->images.size(), 2);
    QCOMPARE(first->images.at(0).provider, QStringLiteral("prov"));
    QVERIFY(first->images.at(0).preferred);
    QCOMPARE(first->images.at(0).variants.first().width, 500);
    QCOMPARE(first->images.at(1).type, 2);

    const DbAlbum *second = group.albums.at(1);
    QCOMPARE(second->artistCredit, QString());
    QCOMPARE(second->releaseEvents, (QMap<QString, PartialDateTime>{{"DE", group.firstReleaseDate},
                                                                    {"GB", group.firstReleaseDate}}));
    QCOMPARE(group.albums.at(2)->releaseEvents, (QMap<QString, PartialDateTime>{{"", group.firstReleaseDate}}));

    // Looking up again replaces the list; the earlier releases stay children of the group.
    QPointer<DbAlbum> old = group.albums.first();
    m_service->script(QStringLiteral("b38ea9cf"), {okReply()});
    call.execute(nullptr);
    QVERIFY(group.albums.isEmpty());
    QVERIFY(old);
}

void TestManualLookups::releaseGroupLookupFailureKeepsGroup()
{
    DbAlbumGroup group;
    auto *album = new DbAlbum(&group);
    group.setAlbums({album});
    m_service->queue({httpReply(500, okReply(QStringLiteral("<r n=\"x\"/>")).body)});
    ReleaseGroupLookupApiCall call(&group);
    QVERIFY_THROWS_EXCEPTION(Exception, call.execute(nullptr));
    QCOMPARE(group.albums, QList<DbAlbum *>{album});
    QCOMPARE(group.children().size(), 1);
}

void TestManualLookups::imageSearch_data()
{
    QTest::addColumn<QString>("data");
    QTest::addColumn<Files>("files");
    QTest::addColumn<QStringList>("fetched");
    QTest::addColumn<QList<bool>>("downloaded"); // per entry; no entries when empty
    QTest::addColumn<bool>("tooMany");
    const QString candidates = QStringLiteral(
        "<a t=\"1\"><i u=\"%1/a\"/></a><a t=\"2\" d=\"1\"><i u=\"%1/b\"/></a><a t=\"3\"><i u=\"%1/c\"/></a>");
    const Reply picture = rawReply(imageBytes(64, 64));
    QTest::newRow("preferred one downloaded")
        << candidates << Files{{"/a", picture}, {"/b", picture}, {"/c", picture}} << QStringList{"/b"}
        << QList<bool>{false, true, false} << false;
    QTest::newRow("preferred one failing: the others")
        << candidates << Files{{"/a", picture}, {"/c", picture}} << QStringList{"/b", "/a", "/c"}
        << QList<bool>{true, false, true} << false;
    QTest::newRow("preferred one too small: the others")
        << candidates << Files{{"/a", picture}, {"/b", rawReply(imageBytes(20, 20))}, {"/c", picture}}
        << QStringList{"/b", "/a", "/c"} << QList<bool>{true, false, true} << false;
    QTest::newRow("none preferred: all")
        << QStringLiteral("<a><i u=\"%1/a\"/></a><a><i u=\"file:///etc/hostname\"/></a><a><i u=\"%1/c\"/></a>")
        << Files{{"/a", picture}, {"/c", picture}} << QStringList{"/a", "/c"} << QList<bool>{true, false, true}
        << false;
    QTest::newRow("every download failing: nothing found")
        << candidates << Files() << QStringList{"/b", "/a", "/c"} << QList<bool>() << false;
    QTest::newRow("too many results") << QStringLiteral("<tmr>1</tmr>") + candidates << Files{{"/b", picture}}
                                      << QStringList() << QList<bool>() << true;
    QTest::newRow("no candidates") << QString() << Files() << QStringList() << QList<bool>() << false;
}

void TestManualLookups::imageSearch()
{
    QFETCH(QString, data);
    QFETCH(Files, files);
    QFETCH(QList<bool>, downloaded);
    QFETCH(bool, tooMany);
    const QString base = m_service->url(QString());
    m_service->script(QStringLiteral("75e5f6f5"), {okReply(data.replace(QStringLiteral("%1"), base))});
    m_service->files = files;
    ManualImageLookupApiCall call({QStringLiteral("Ann"), QStringLiteral("First"), QString(), nullptr});
    call.execute(nullptr);
    QTEST(m_service->fetched, "fetched");
    QCOMPARE(call.result.tooManyResults, tooMany);
    QCOMPARE(call.result.entries.size(), downloaded.size());
    for (int i = 0; i < downloaded.size(); ++i)
        QCOMPARE(!call.result.entries[i].downloaded.isEmpty(), downloaded[i]);
    QCOMPARE(call.result.downloadedCount(), int(downloaded.count(true)));
}

void TestManualLookups::imageSearchProgress()
{
    const QString base = m_service->url(QString());
    m_service->script(QStringLiteral("75e5f6f5"),
                      {okReply(QStringLiteral("<a d=\"1\"><i u=\"%1/a\"/></a><a d=\"1\"><i u=\"%1/b\"/></a><a><i u=\"%1/c\"/></a>")
                                   .arg(base))});
    m_service->files = {{"/b", rawReply(imageBytes(40, 40))}};
    CombinedProgressObject progress;
    ManualImageLookupApiCall call({QStringLiteral("Ann"), QString(), QString(), nullptr});
    call.execute(&progress);
    QCOMPARE(progress.childCount(), 2);
    // The first pass counts only the successful preferred download, of two.
    const auto *downloads = qobject_cast<LinearProgressObject *>(progress.child(1));
    QVERIFY(downloads);
    QCOMPARE(downloads->maximum(), 2);
    QCOMPARE(downloads->value(), 1);
    QVERIFY(progress.isFinished());
    QCOMPARE(call.result.downloadedCount(), 1);
}

void TestManualLookups::imageSearchStopsWhenCanceled()
{
    const QString base = m_service->url(QString());
    m_service->script(QStringLiteral("75e5f6f5"),
                      {okReply(QStringLiteral("<a><i u=\"%1/a\"/></a><a><i u=\"%1/b\"/></a>").arg(base))});
    m_service->files = {{"/a", delayedReply(400, rawReply(imageBytes(40, 40)))},
                        {"/b", rawReply(imageBytes(40, 40))}};
    CombinedProgressObject progress;
    ManualImageLookupApiCall call({QStringLiteral("Ann"), QString(), QString(), nullptr});
    QTimer::singleShot(200, &progress, &ProgressObject::cancel); // while the first image comes
    call.execute(&progress);
    QCOMPARE(m_service->fetched, QStringList{"/a"});
    QCOMPARE(call.result.downloadedCount(), 1);
}

QTEST_GUILESS_MAIN(TestManualLookups)
#include "tst_manuallookups.moc"
