#include <QtTest>

#include "app/identification/idartistname.h"
#include "app/identification/idaudiofile.h"
#include "app/identification/idaudiofilegroup.h"
#include "app/identification/idsegment.h"
#include "app/model/support_model.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/model/audiofileproxymodel.h"
#include "app/shell/headlessmainwindow.h"
#include "app/webservice/autolookupapicall.h"
#include "app/webservice/dbalbumimage.h"
#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "support_testservice.h"

namespace {

using Values = QList<QPair<int, QVariant>>;

// An element and its children as one line with sorted attributes: "m(k=1,v=a)[...]".
QString canonical(const QDomElement &element)
{
    QStringList attributes;
    const QDomNamedNodeMap map = element.attributes();
    for (int i = 0; i < map.count(); ++i)
        attributes.append(map.item(i).nodeName() + "=" + map.item(i).nodeValue());
    attributes.sort();
    QString text = element.tagName();
    if (!attributes.isEmpty())
        text += "(" + attributes.join(",") + ")";
    QStringList children;
    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        children.append(canonical(child));
    if (!children.isEmpty())
        text += "[" + children.join(" ") + "]";
    return text;
}

QString requestGroup(const ServerApiCall &call)
{
    return canonical(call.requestDocument().documentElement().firstChildElement("d").firstChildElement("g"));
}

ArtworkTagItem *picture(const QByteArray &bytes, int pictureType, const QString &description)
{
    return new ArtworkTagItem(CodedImage(bytes), pictureType, description);
}

// A file that is never opened, with a combined tag of the values (none for an empty list)
// and the identified values given.
IdAudioFile *idFile(QObject *owner, const Values &tagValues, const QMap<int, QVariant> &identified,
                    const QList<ArtworkTagItem *> &artwork = {})
{
    static int counter = 0;
    auto *file = new AudioFile(QStringLiteral("/nonexistent/%1.mp3").arg(++counter), owner);
    if (!tagValues.isEmpty() || !artwork.isEmpty()) {
        auto *tag = new AudioTag;
        for (const auto &[type, value] : tagValues)
            tag->addItemValue(type, value);
        for (ArtworkTagItem *item : artwork)
            tag->addItem(item);
        file->setTag(tag, 0);
    }
    auto *view = new IdAudioFile(file, owner);
    for (auto it = identified.cbegin(); it != identified.cend(); ++it)
        view->setValue(it.key(), it.value());
    return view;
}

QVariant artist(const QString &text)
{
    return IdArtistName(text).toVariant();
}

QStringList texts(const AudioTag *tag)
{
    QStringList result;
    const auto byType = tag->itemsByType();
    for (auto it = byType.cbegin(); it != byType.cend(); ++it) {
        for (const TagItem *item : it.value())
            result.append(QStringLiteral("%1=%2").arg(it.key()).arg(item->toString()));
    }
    return result;
}

} // namespace

// The automatic lookup of an album group: its request, and writing its reply into the
// working copies of an update operation.
class TestAutoLookup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The model's texts mount every package; the web service's types come on top.
        loadModelTexts();
        registerWebServiceMetaTypes();
    }

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

    // Identified values stand for the tag's, fingerprint results for the tag's fingerprint
    // and duration, and a file with the group's value refers to it with "x".
    void request()
    {
        QObject owner;
        const QByteArray cover = imageBytes(600, 600);
        IdAudioFile *first = idFile(&owner,
                                    {{TagItemType::Title, "Tag title"}, {TagItemType::Genre, "Rock"},
                                     {TagItemType::Genre, "Pop"}, {TagItemType::PlayDuration, 215000},
                                     {TagItemType::Fingerprint, "tagprint"}},
                                    {{IdField::Artist, artist("The Lumens")}, {IdField::Album, "First"},
                                     {IdField::Title, "One"}, {IdField::TrackNumber, 1}},
                                    {picture(cover, 3, "  Front  ")});
        IdAudioFile *second = idFile(&owner, {{TagItemType::Title, "Unknown to the engine"}},
                                     {{IdField::Artist, artist("Other")}, {IdField::Album, "First"}});
        IdAudioFileGroup group({first, second}, {first}, IdAudioFileGroup::OneArtistAlbum);
        group.artist = IdArtistName("The Lumens");
        group.album = "First";
        // A run without a duration never stands in for the tag's values.
        const QMap<IdAudioFile *, IdFingerprintResult> prints{{first, {0, ""}}, {second, {200000, "AQAB"}}};
        AutoLookupApiCall call(&group, prints);
        QCOMPARE(call.callId(), QStringLiteral("677aff2d"));
        const QString key = artworkImageKey(static_cast<ArtworkTagItem *>(first->audioFile()->tags().value(0)->item(16)));
        QCOMPARE(requestGroup(call),
                 "g(t=0)[m(k=14,v=The Lumens) m(k=16,v=Lumens, The) m(k=1,v=First) m(k=6,v=First) "
                 "f(m=1)[x(k=14) x(k=16) x(k=1) x(k=6) m(k=140,v=One) m(k=144,v=1) m(k=60,v=tagprint) "
                 "m(k=105,v=215000) m(k=19)[a(c=Front,t=1)[i(h=600,i=" + key + ",w=600)]] m(k=62,v=Rock) m(k=62,v=Pop)] "
                 "f(m=0)[m(k=14,v=Other) m(k=16,v=Other) x(k=1) x(k=6) m(k=60,v=AQAB) m(k=105,v=200000)]]");
    }

    void groupReferences_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("file");
        QTest::newRow("one artist") << 0 << "m(k=14,v=Ann) m(k=16,v=Ann) m(k=1,v=A) m(k=6,v=A)"
                                    << "f(m=1)[x(k=14) x(k=16) x(k=1) x(k=6)]";
        QTest::newRow("various artists") << 1 << "m(k=1,v=A) m(k=6,v=A)"
                                         << "f(m=1)[m(k=14,v=Ann) m(k=16,v=Ann) x(k=1) x(k=6)]";
        QTest::newRow("a blank album is neither sent nor referred to")
            << 1 << "" << "f(m=1)[m(k=14,v=Ann) m(k=16,v=Ann)]";
        QTest::newRow("unrelated files: no group values, no references")
            << 2 << "" << "f(m=1)[m(k=14,v=Ann) m(k=16,v=Ann) m(k=1,v=A) m(k=6,v=A)]";
    }

    void groupReferences()
    {
        QFETCH(int, type);
        QFETCH(QString, group);
        QFETCH(QString, file);
        QObject owner;
        const QString album = QString(QTest::currentDataTag()).startsWith("a blank") ? "  " : "A";
        IdAudioFile *view = idFile(&owner, {}, {{IdField::Artist, artist("Ann")}, {IdField::Album, album}});
        IdAudioFileGroup albumGroup({view}, {view}, type);
        AutoLookupApiCall call(&albumGroup, {});
        QCOMPARE(requestGroup(call), QStringLiteral("g(t=%1)[%2%3]").arg(type).arg(group, group.isEmpty() ? file : " " + file));
    }

    void artworkKey_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("pictureType");
        QTest::addColumn<QString>("key");
        QTest::newRow("abc, front cover") << QByteArray("abc") << 3 << "2c17398c.3";
        QTest::newRow("no bytes") << QByteArray() << 5 << "00000000.5";
    }

    void artworkKey()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, pictureType);
        QScopedPointer<ArtworkTagItem> item(picture(bytes, pictureType, QString()));
        QTEST(artworkImageKey(item.get()), "key");
    }

    // The same picture in two files is sent once and found as the later file's.
    void sentArtwork()
    {
        QObject owner;
        const QByteArray cover = imageBytes(40, 40);
        IdAudioFile *first = idFile(&owner, {}, {}, {picture(cover, 3, "a"), picture(cover, 4, "back")});
        IdAudioFile *second = idFile(&owner, {}, {}, {picture(cover, 3, "b")});
        IdAudioFileGroup group({first, second}, {first}, IdAudioFileGroup::UnrelatedFiles);
        AutoLookupApiCall call(&group, {});
        const AudioTag *secondTag = second->audioFile()->tags().value(0);
        const auto *later = static_cast<ArtworkTagItem *>(secondTag->item(16));
        QCOMPARE(call.requestArtwork(artworkImageKey(later)), later);
        QVERIFY(call.requestArtwork(artworkImageKey(later).replace(".3", ".4")));
        QVERIFY(!call.requestArtwork(QStringLiteral("00000000.3")));
    }

    void preferOriginalReleases_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("sent as stored") << "yes";
        QTest::newRow("empty: not sent") << "";
    }

    void preferOriginalReleases()
    {
        QFETCH(QString, stored);
        SettingsStore::setValue(QStringLiteral("identification/preferOriginalReleases"), stored);
        QObject owner;
        IdAudioFile *view = idFile(&owner, {}, {});
        IdAudioFileGroup group({view}, {view}, IdAudioFileGroup::UnrelatedFiles);
        AutoLookupApiCall call(&group, {});
        const QDomElement por = call.requestDocument().documentElement().firstChildElement("s").firstChildElement("por");
        QCOMPARE(por.isNull(), stored.isEmpty());
        QCOMPARE(por.text(), stored);
    }

    // The reply goes into the working copies of the selected files only, with their per-file
    // item types cleared; the files on disk are untouched and undo brings the old tags back.
    void applyResults()
    {
        AudioFileFactory factory;
        HeadlessMainWindow window;
        QObject owner;
        AudioFile *one = factory.create("a/1.mp3", {{TagItemType::Title, "Old one"}, {TagItemType::Comment, "Kept"},
                                                    {TagItemType::Genre, "Old genre"}});
        AudioFile *two = factory.create("a/2.mp3", {{TagItemType::Title, "Old two"}, {TagItemType::Album, "Old"}});
        AudioFile *context = factory.create("a/3.mp3", {{TagItemType::Title, "Context"}});
        const QList<AudioFile *> files{one, two, context};
        auto *insert = new ModelInsertOperation(AudioFileSelection(window.proxyModel()));
        insert->files = files; // the table takes them
        window.operationQueue()->apply(insert);
        QByteArray before[3];
        for (int i = 0; i < 3; ++i) {
            QFile disk(files[i]->filePath());
            QVERIFY(disk.open(QIODevice::ReadOnly));
            before[i] = disk.readAll();
        }
        auto *viewOne = new IdAudioFile(one, &owner);
        auto *viewTwo = new IdAudioFile(two, &owner);
        auto *viewContext = new IdAudioFile(context, &owner);
        IdAudioFileGroup group({viewOne, viewTwo, viewContext}, {viewOne, viewTwo}, IdAudioFileGroup::VariousArtistsAlbum);
        m_service->script(QStringLiteral("677aff2d"), {okReply(
            "<g><m k='1' v='Album'/><m k='62' v='Rock'/>"
            "<f><m k='140' v='New one'/><x k='1'/><x k='62'/><m k='118' v='2001'/></f>"
            "<f/>"
            "<f><m k='140' v='Never written'/></f></g>")});
        AutoLookupApiCall call(&group, {});
        call.execute(nullptr);
        auto *operation = new ModelUpdateOperation(AudioFileSelection(window.proxyModel()));
        call.applyResults(operation, false);

        QCOMPARE(texts(operation->workingTag(one)), (QStringList{"1=Album", "21=Kept", "48=Rock", "88=2001", "104=New one"}));
        QCOMPARE(texts(operation->workingTag(two)), QStringList()); // an empty "f" clears the per-file types
        QVERIFY(!operation->tagCopies().contains(context));
        QCOMPARE(one->tags().value(0)->itemText(TagItemType::Title), QStringLiteral("Old one"));

        window.operationQueue()->apply(operation);
        QCOMPARE(one->tags().value(0)->itemText(TagItemType::Title), QStringLiteral("New one"));
        window.operationQueue()->undo();
        QCOMPARE(texts(one->tags().value(0)), (QStringList{"21=Kept", "48=Old genre", "104=Old one"}));
        QCOMPARE(texts(two->tags().value(0)), (QStringList{"1=Old", "104=Old two"}));
        for (int i = 0; i < 3; ++i) {
            QFile disk(files[i]->filePath());
            QVERIFY(disk.open(QIODevice::ReadOnly));
            QCOMPARE(disk.readAll(), before[i]);
        }
    }

    void wrongFileCount_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<int>("replied");
        QTest::newRow("one too few") << "<g><f/></g>" << 1;
        QTest::newRow("one too many") << "<g><f/><f/><f/></g>" << 3;
        QTest::newRow("no group") << "" << 0;
    }

    void wrongFileCount()
    {
        QFETCH(QString, data);
        QFETCH(int, replied);
        QObject owner;
        IdAudioFile *first = idFile(&owner, {{TagItemType::Title, "Kept"}}, {});
        IdAudioFile *second = idFile(&owner, {{TagItemType::Title, "Kept too"}}, {});
        IdAudioFileGroup group({first, second}, {first, second}, IdAudioFileGroup::UnrelatedFiles);
        m_service->script(QStringLiteral("677aff2d"), {okReply(data)});
        AutoLookupApiCall call(&group, {});
        call.execute(nullptr);
        ModelUpdateOperation operation{AudioFileSelection()};
        try {
            call.applyResults(&operation, false);
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(AutoLookupFileCountTextId));
            QCOMPARE(e.arguments, (QVariantList{replied, 2}));
        }
        QVERIFY(operation.tagCopies().isEmpty());
    }

private:
    TestMetadataService *m_service = nullptr;
};

QTEST_MAIN(TestAutoLookup)
#include "tst_autolookup.moc"
