#include <QtTest>

#include <QMutex>
#include <QPointer>

#include "app/artwork/artworkpreparation.h"
#include "app/webservice/dbalbumimage.h"
#include "app/webservice/lookupresults.h"
#include "app/webservice/tracklookupapicall.h"
#include "libcore/log/logger.h"
#include "libcore/settings/settingsstore.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/involvedpeoplelisttagitem.h"
#include "libtagging/model/userdefinedlinktagitem.h"
#include "support_testservice.h"

namespace {

using Files = QHash<QString, TestMetadataService::Reply>;

class CodeCollector : public Logger
{
public:
    CodeCollector() { setRegistered(true); }
    void log(const LogMessage &message) override
    {
        QMutexLocker lock(&mutex);
        if (message.level == LogLevel::Error)
            errors.append(message);
    }
    QList<quint32> codes() const
    {
        QList<quint32> list;
        for (const LogMessage &message : errors)
            list.append(message.code);
        return list;
    }
    QMutex mutex;
    QList<LogMessage> errors;
};

// A call whose request "sent" the artwork of the map, so that replies can refer to it by key.
class SentArtworkCall : public MetadataApiCall
{
public:
    SentArtworkCall() : MetadataApiCall(QStringLiteral("00000000"), nullptr) {}
    void execute(CombinedProgressObject *) override {}
    ArtworkTagItem *requestArtwork(const QString &key) const override { return sent.value(key); }
    QHash<QString, ArtworkTagItem *> sent;
};

QDomElement element(const QString &xml, QDomDocument &document)
{
    document.setContent(xml);
    return document.documentElement();
}

// "type=text" per item in map order; artwork as "16=description/width".
QStringList describe(const QMap<int, QList<TagItem *>> &map)
{
    QStringList result;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        for (const TagItem *item : it.value()) {
            if (const auto *art = dynamic_cast<const ArtworkTagItem *>(item))
                result.append(QStringLiteral("16=%1/%2").arg(art->description).arg(art->image().width));
            else if (const auto *link = dynamic_cast<const UserDefinedLinkTagItem *>(item))
                result.append(QStringLiteral("%1=%2 <%3>").arg(it.key()).arg(link->description, link->toString()));
            else
                result.append(QStringLiteral("%1=%2").arg(it.key()).arg(item->toString()));
        }
    }
    return result;
}

QStringList describe(const AudioTag *tag)
{
    return describe(tag->itemsByType());
}

AudioTag *tagWith(const QList<QPair<int, QVariant>> &values, QObject *parent)
{
    auto *tag = new AudioTag(parent);
    for (const auto &[type, value] : values)
        tag->addItemValue(type, value);
    return tag;
}

ArtworkTagItem *picture(int side, const QString &description)
{
    return new ArtworkTagItem(CodedImage(imageBytes(side, side)), 3, description);
}

} // namespace

// Turning the data of lookup replies into tag items, and the track lookup that writes them.
class TestLookupResults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initWebServiceTest(); }

    void init()
    {
        SettingsStore::reset();
        m_service = startTestService(this);
        QVERIFY(m_service);
    }

    void cleanup()
    {
        delete m_service;
        m_service = nullptr;
    }

    void albumData_data()
    {
        QTest::addColumn<QString>("children");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QList<quint32>>("errors");
        QTest::newRow("plain values in reply order")
            << "<m k='140' v='Song'/><m k='144' v='7'/><m k='140' v='Other'/><m k='1' v='Album'/>"
            << QStringList{"1=Album", "104=Song", "104=Other", "108=7"} << QList<quint32>();
        QTest::newRow("codes that are no codes are skipped")
            << "<m k='x' v='a'/><m k='156' v='a'/><m k='-1' v='a'/><m v='a'/><m k='140' v='Kept'/>"
            << QStringList{"104=Kept"} << QList<quint32>(4, LookupValueCodeUnknownTextId);
        QTest::newRow("values the item refuses are skipped")
            << "<m k='144' v='seven'/><m k='118' v='someday'/><m k='118' v='2001-05-03'/>"
            << QStringList{"88=2001-05-03"} << QList<quint32>{LookupValueRefusedTextId, LookupValueRefusedTextId};
        QTest::newRow("credits gather in one item in reply order")
            << "<m k='100' v='Ann'/><m k='13' v='Bob'/><m k='66' v='guitar:Cid'/>"
            << QStringList{"51=performer: Ann, art director: Bob, guitar: Cid"} << QList<quint32>();
        QTest::newRow("links and user texts named by their code")
            << "<m k='146' v='home:http://ann.example/'/><m k='64' v='http://imdb.example/1'/><m k='147' v='mood:calm'/>"
            << QStringList{"120=home <http://ann.example/>", "120=imdb.com <http://imdb.example/1>", "121=calm"}
            << QList<quint32>();
    }

    void albumData()
    {
        QFETCH(QString, children);
        QFETCH(QStringList, items);
        QFETCH(QList<quint32>, errors);
        CodeCollector log;
        QDomDocument document;
        QObject owner;
        const LookupResultMap map = readAlbumData(nullptr, element("<g>" + children + "</g>", document), true, &owner);
        QCOMPARE(describe(map), items);
        QCOMPARE(log.codes(), errors);
        // Everything made belongs to the owner, and nothing more is left there.
        qsizetype count = 0;
        for (const QList<TagItem *> &list : map) {
            for (const TagItem *item : list)
                QCOMPARE(item->parent(), &owner);
            count += list.size();
        }
        QCOMPARE(owner.children().size(), count);
    }

    void creditKinds()
    {
        QDomDocument document;
        QObject owner;
        const LookupResultMap map = readAlbumData(
            nullptr, element("<g><m k='100' v='Ann'/><m k='13' v='Bob'/><m k='90' v='Orch'/><m k='132' v='Sue'/></g>", document),
            false, &owner);
        const auto *people = dynamic_cast<const InvolvedPeopleListTagItem *>(map.value(51).value(0));
        QVERIFY(people);
        QCOMPARE(people->people, (QList<InvolvedPerson>{{InvolvedPerson::Musician, "Ann", "performer"},
                                                        {InvolvedPerson::Involvement, "Bob", "art director"},
                                                        {InvolvedPerson::Musician, "Orch", "orchestra"},
                                                        {InvolvedPerson::Musician, "Sue", "singer"}}));
    }

    // Artwork the request sent comes back by its key and is never fetched; artwork with only
    // an address is fetched when images are allowed, after the reused ones.
    void artwork_data()
    {
        QTest::addColumn<QString>("children");
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("fetched");
        const QString reuse = "<m k='19'><a t='1'><i i='k1' u='%1/big'/><i i='k1'/><i i='unknown'/></a></m>";
        const QString fetch = "<m k='19'><a t='1' c='new'><i u='%1/big'/><i u='%1/big'/></a></m>";
        const QString detailOnly = "<m k='19'><a t='1'><i d='detail' u='%1/big'/></a></m>";
        QTest::newRow("reused, never fetched") << reuse << true << QStringList{"16=sent/40", "16=sent/40"} << QStringList();
        QTest::newRow("reused without images allowed") << reuse << false << QStringList{"16=sent/40", "16=sent/40"}
                                                       << QStringList();
        QTest::newRow("fetched once, after the reused") << fetch + reuse << true
                                                        << QStringList{"16=sent/40", "16=sent/40", "16=new/64"}
                                                        << QStringList{"/big"};
        QTest::newRow("no fetching without images allowed") << fetch << false << QStringList() << QStringList();
        QTest::newRow("a variant with a detail is not fetched") << detailOnly << true << QStringList() << QStringList();
    }

    void artwork()
    {
        QFETCH(QString, children);
        QFETCH(bool, allowed);
        SettingsStore::setValue(QStringLiteral("artwork/download/types"), QStringLiteral("1"));
        m_service->files = Files{{"/big", rawReply(imageBytes(64, 64))}};
        SentArtworkCall call;
        QScopedPointer<ArtworkTagItem> sent(picture(40, QStringLiteral("sent")));
        call.sent.insert(QStringLiteral("k1"), sent.get());
        QDomDocument document;
        QObject owner;
        const LookupResultMap map = readAlbumData(
            &call, element("<g>" + children.replace(QStringLiteral("%1"), m_service->url(QString())) + "</g>", document),
            allowed, &owner);
        QTEST(describe(map), "items");
        QTEST(m_service->fetched, "fetched");
        for (const TagItem *item : map.value(16))
            QVERIFY(item != sent.get());
    }

    // A reply cannot make one result start more than a bounded number of downloads.
    void tooManyImages()
    {
        CodeCollector log;
        SettingsStore::setValue(QStringLiteral("artwork/download/types"), QStringLiteral("3"));
        QString children;
        for (int i = 0; i <= MaxDownloadableImages; ++i)
            children += QStringLiteral("<m k='19'><a t='3'><i u='%1/p%2'/></a></m>").arg(m_service->url(QString())).arg(i);
        QDomDocument document;
        QObject owner;
        readAlbumData(nullptr, element("<g>" + children + "</g>", document), true, &owner);
        QVERIFY(m_service->fetched.contains(QStringLiteral("/p%1").arg(MaxDownloadableImages - 1)));
        QVERIFY(!m_service->fetched.contains(QStringLiteral("/p%1").arg(MaxDownloadableImages)));
    }

    void trackDataCopiesGroupItems()
    {
        CodeCollector log;
        QDomDocument groupDocument;
        QDomDocument trackDocument;
        QObject owner;
        const LookupResultMap group = readAlbumData(
            nullptr,
            element("<g><m k='1' v='Album'/><m k='62' v='Rock'/><m k='62' v='Pop'/><m k='9' v='http://a.example/'/></g>",
                    groupDocument),
            false, &owner);
        // A repeated reference, or two codes of one item type (two kinds of link), copy the
        // group's items once.
        const LookupResultMap copies = readTrackData(
            element("<t><x k='62'/><x k='1'/><x k='140'/><x k='y'/><x k='999'/><x k='62'/><x k='9'/><x k='11'/></t>",
                    trackDocument),
            group, &owner);
        QCOMPARE(describe(copies), (QStringList{"1=Album", "48=Rock", "48=Pop", "120=allmusic.com <http://a.example/>"}));
        QCOMPARE(log.codes(), (QList<quint32>{LookupReferenceCodeUnknownTextId, LookupReferenceCodeUnknownTextId}));
        QVERIFY(copies.value(1).first() != group.value(1).first());
    }

    // A reply date replaces the tag's dates unless it only repeats part of one of them.
    void dates_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("result");
        QTest::newRow("a year does not replace the full date") << "2001-05-03" << "2001" << "2001-05-03";
        QTest::newRow("a full date replaces the year") << "2001" << "2001-05-03" << "2001-05-03";
        QTest::newRow("an equal date is written") << "2001-05" << "2001-05" << "2001-05";
        QTest::newRow("another year replaces") << "2001-05-03" << "1999" << "1999";
        QTest::newRow("no date yet") << "" << "2001" << "2001";
    }

    void dates()
    {
        QFETCH(QString, existing);
        QFETCH(QString, reply);
        QObject parent;
        AudioTag *tag = tagWith({{TagItemType::Title, "Kept"}}, &parent);
        if (!existing.isEmpty())
            tag->addItemValue(TagItemType::RecordingDate, existing);
        QDomDocument document;
        applyResultToTag(nullptr, element(QString::fromUtf8("<f><m k='118' v='%1'/></f>").arg(reply), document), {},
                         false, tag);
        QTEST(tag->itemText(TagItemType::RecordingDate), "result");
        QCOMPARE(tag->itemCount(TagItemType::RecordingDate), 1);
        QCOMPARE(tag->itemText(TagItemType::Title), QStringLiteral("Kept"));
    }

    // The element's own values come first, the group's after them; types the reply leaves
    // out keep their items, and new items belong to the tag.
    void applyToTag()
    {
        QObject parent;
        AudioTag *tag = tagWith({{TagItemType::Title, "Old"}, {TagItemType::Genre, "Jazz"},
                                 {TagItemType::Comment, "Kept"}}, &parent);
        QDomDocument groupDocument;
        QDomDocument fileDocument;
        QObject owner;
        const LookupResultMap group =
            readAlbumData(nullptr, element("<g><m k='62' v='Rock'/></g>", groupDocument), false, &owner);
        applyResultToTag(nullptr, element("<f><x k='62'/><m k='62' v='Own'/><m k='140' v='New'/></f>", fileDocument),
                         group, false, tag);
        QCOMPARE(describe(tag), (QStringList{"21=Kept", "48=Own", "48=Rock", "104=New"}));
        for (const TagItem *item : tag->itemList())
            QCOMPARE(item->parent(), tag);
        QCOMPARE(group.value(48).size(), 1); // the group's own item stays the group's
    }

    void trackLookupRequest_data()
    {
        QTest::addColumn<QList<qint32>>("ids");
        QTest::addColumn<QString>("data");
        QTest::newRow("empty list: empty group") << QList<qint32>() << "<d><g/></d>";
        QTest::newRow("ids in order") << QList<qint32>{7, -2, 7} << "<d><g><t i='7'/><t i='-2'/><t i='7'/></g></d>";
    }

    void trackLookupRequest()
    {
        QFETCH(QList<qint32>, ids);
        QFETCH(QString, data);
        TrackLookupApiCall call(ids);
        QCOMPARE(call.callId(), QStringLiteral("251c1a89"));
        QString text;
        QTextStream stream(&text);
        call.requestDocument().documentElement().firstChildElement("d").save(stream, -1);
        QCOMPARE(text, data.replace(u'\'', u'"'));
        // The settings of every metadata call go along.
        QVERIFY(!call.requestDocument().documentElement().firstChildElement("s").firstChildElement("ord").isNull());
    }

    void trackLookup()
    {
        CodeCollector log;
        SettingsStore::setValue(QStringLiteral("artwork/download/types"), QStringLiteral("1"));
        m_service->files = Files{{"/cover", rawReply(imageBytes(64, 64))}};
        m_service->script(QStringLiteral("251c1a89"), {okReply(QString::fromUtf8(
            "<g><m k='1' v='Album'/><m k='19'><a t='1' c='cover'><i u='%1/cover'/></a></m>"
            "<t i='5'><m k='140' v='Five'/><x k='1'/><x k='19'/></t>"
            "<t i='9'><m k='140' v='Nine'/></t>"
            "<t i='x'><m k='140' v='Lost'/></t>"
            "<t i='6'><m k='140' v='Nobody'/></t></g>").arg(m_service->url(QString())))});
        QObject parent;
        AudioTag *first = tagWith({{TagItemType::Title, "a"}, {TagItemType::Genre, "Jazz"}}, &parent);
        AudioTag *second = tagWith({{TagItemType::Title, "b"}}, &parent);
        AudioTag *ninth = tagWith({{TagItemType::Title, "c"}, {TagItemType::Album, "Old album"}}, &parent);
        QMultiMap<qint32, AudioTag *> tags;
        tags.insert(5, first);
        tags.insert(5, second);
        tags.insert(9, ninth); // asked for or not, an id with tags gets its track
        TrackLookupApiCall call({5});
        call.execute(nullptr);
        call.applyResults(tags, true);
        // The group's cover is fetched once and copied into both tags of track 5.
        QCOMPARE(m_service->fetched, QStringList{"/cover"});
        QCOMPARE(describe(first), (QStringList{"1=Album", "16=cover/64", "48=Jazz", "104=Five"}));
        QCOMPARE(describe(second), (QStringList{"1=Album", "16=cover/64", "104=Five"}));
        QCOMPARE(describe(ninth), (QStringList{"1=Old album", "104=Nine"}));
        QCOMPARE(log.codes(), QList<quint32>{TrackLookupIdUnreadableTextId});
    }

    // With a preferred size the configured provider goes first; a type it lacks comes from
    // any provider; every leaflet page is kept, of the other types the largest.
    void artworkChoice()
    {
        SettingsStore::setValue(QStringLiteral("artwork/size/preferredSize"), QStringLiteral("50"));
        SettingsStore::setValue(QStringLiteral("artwork/download/types"), QStringLiteral("1,2,3"));
        SettingsStore::setValue(QStringLiteral("artwork/download/providers"), QStringLiteral("B"));
        m_service->files = Files{{"/a1", rawReply(imageBytes(60, 60))}, {"/b1", rawReply(imageBytes(55, 55))},
                                 {"/a2", rawReply(imageBytes(40, 40))}, {"/a2big", rawReply(imageBytes(48, 48))},
                                 {"/p1", rawReply(imageBytes(33, 33))}, {"/p2", rawReply(imageBytes(34, 34))}};
        const QString base = m_service->url(QString());
        auto image = [&base](int type, const QString &provider, const QString &path) {
            DbAlbumImage candidate(type, provider, path);
            candidate.variants.append({base + path, QString(), QString(), -1, -1});
            return candidate;
        };
        QObject parent;
        const QList<ArtworkTagItem *> items = selectLookupArtwork(
            {image(1, "A", "/a1"), image(1, "B", "/b1"), image(2, "A", "/a2"), image(2, "A", "/a2big"),
             image(3, "A", "/p1"), image(3, "A", "/p2")},
            &parent);
        QStringList got;
        for (const ArtworkTagItem *item : items) {
            got.append(QStringLiteral("%1:%2").arg(item->pictureType).arg(item->description));
            QCOMPARE(item->parent(), &parent);
        }
        QCOMPARE(got, (QStringList{"3:/b1", "4:/a2big", "5:/p1", "5:/p2"}));
        QVERIFY(!m_service->fetched.contains("/a1"));
    }

private:
    TestMetadataService *m_service = nullptr;
};

QTEST_MAIN(TestLookupResults)
#include "tst_lookupresults.moc"
