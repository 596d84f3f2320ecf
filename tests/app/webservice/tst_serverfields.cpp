#include <QtTest>

#include <QTextStream>

#include "app/webservice/dbalbumimage.h"
#include "app/webservice/metadataapicall.h"
#include "app/webservice/serverfields.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/xml/xmlutil.h"
#include "libtagging/model/tagitem.h"
#include "support_testservice.h"

namespace {

// A metadata call of no particular kind, to look at what the common base writes.
class TestMetadataCall : public MetadataApiCall
{
public:
    TestMetadataCall() : MetadataApiCall(QStringLiteral("00000000"), nullptr) {}
    void execute(CombinedProgressObject *progress) override { send(progress, 1000); }
};

QString childrenText(const QDomElement &element)
{
    QString text;
    QTextStream stream(&text);
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
        child.save(stream, -1);
    return text;
}

DbAlbumImage image(const QString &comment, const QList<DbAlbumImageVariant> &variants)
{
    DbAlbumImage result(1, QStringLiteral("provider"), comment);
    result.preferred = true; // neither provider nor preference is sent
    result.variants = variants;
    return result;
}

} // namespace

class TestServerFields : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void fieldTables();
    void linkTypeName_data();
    void linkTypeName();
    void metadataSettings_data();
    void metadataSettings();
    void valueElements_data();
    void valueElements();
};

void TestServerFields::initTestCase()
{
    initWebServiceTest();
}

void TestServerFields::fieldTables()
{
    const QList<int> &fields = itemTypeForServerField();
    QCOMPARE(fields.size(), ServerFieldCount);
    QCOMPARE(fields.count(int(TagItemType::UserDefinedLink)), 22);
    QCOMPARE(fields.count(int(TagItemType::InvolvedPeopleList)), 22);
    QCOMPARE(fields.count(int(TagItemType::EncapsulatedObject)), 0);
    QCOMPARE(serverFieldOf(TagItemType::EncapsulatedObject), NoServerField);
    QCOMPARE(serverFieldOf(TagItemType::InvolvedPeopleList), 145);
    QCOMPARE(serverFieldOf(TagItemType::UserDefinedLink), 155);
    QCOMPARE(serverFieldOf(TagItemType::UserDefinedText), 147);
    QCOMPARE(serverFieldOf(-1), NoServerField);
    // Every other item type has one code or none (the object and the unknown types), and
    // the two tables agree.
    QList<int> withoutCode;
    for (int type = 0; type < TagItemType::Count; ++type) {
        if (type == TagItemType::UserDefinedLink || type == TagItemType::InvolvedPeopleList)
            continue;
        if (fields.count(type) == 0) {
            withoutCode.append(type);
            QCOMPARE(serverFieldOf(type), NoServerField);
            continue;
        }
        QCOMPARE(fields.count(type), 1);
        QCOMPARE(fields.at(serverFieldOf(type)), type);
    }
    QCOMPARE(withoutCode, (QList<int>{33, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119}));
    QCOMPARE(fields.at(1), int(TagItemType::Album));
    QCOMPARE(fields.at(140), int(TagItemType::Title));
    QCOMPARE(fields.at(144), int(TagItemType::TrackNumber));
    QCOMPARE(fields.at(155), int(TagItemType::UserDefinedLink));
}

void TestServerFields::linkTypeName_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stored");
    QTest::newRow("role") << 100 << "Jane Doe" << "performer" << "Jane Doe";
    QTest::newRow("role word with colon") << 13 << "a:b" << "art director" << "a:b";
    QTest::newRow("instrument before colon") << 66 << "violin:Jane Doe" << "violin" << "Jane Doe";
    QTest::newRow("only the first colon splits") << 146 << "a:b:c" << "a" << "b:c";
    QTest::newRow("no colon") << 147 << "plain" << "" << "plain";
    QTest::newRow("not trimmed") << 68 << " vocals : Jo " << " vocals " << " Jo ";
    QTest::newRow("site") << 155 << "https://video.example/x" << "youtube.com" << "https://video.example/x";
    QTest::newRow("plain field") << 1 << "x:y" << "" << "x:y";
    QTest::newRow("code out of range") << 156 << "x:y" << "" << "x:y";
    QTest::newRow("negative code") << -1 << "x" << "" << "x";
}

void TestServerFields::linkTypeName()
{
    QFETCH(int, code);
    QFETCH(QString, value);
    QFETCH(QString, name);
    QFETCH(QString, stored);
    QCOMPARE(::linkTypeName(code, value), (LinkTypeName{name, stored}));
}

void TestServerFields::metadataSettings_data()
{
    QTest::addColumn<QStringList>("settings"); // key, value, key, value ...
    QTest::addColumn<QString>("expected");
    QTest::newRow("nothing set")
        << QStringList()
        << "<ploc>en</ploc><ord>0</ord><lan>0</lan><lsan>0</lsan><sanc>0</sanc><rcan>0</rcan><cpc>0</cpc>";
    QTest::newRow("everything set")
        << QStringList{"originalReleaseDate", "true", "localizeArtistNames", "yes",
                       "localizeSpecialArtistNames", "1", "artistNameFormat", "2",
                       "sortableArtistNameFormat", " a ", "standardizeArtistNameChanges", "on",
                       "removeContributingArtistNames", "TRUE", "considerPreferredCountry", "1"}
        << "<ploc>en</ploc><ord>1</ord><lan>1</lan><lsan>1</lsan><anf>2</anf><sanf> a </sanf>"
           "<sanc>1</sanc><rcan>1</rcan><cpc>1</cpc>";
    QTest::newRow("false words")
        << QStringList{"originalReleaseDate", "false", "localizeArtistNames", "2", "artistNameFormat", ""}
        << "<ploc>en</ploc><ord>0</ord><lan>0</lan><lsan>0</lsan><sanc>0</sanc><rcan>0</rcan><cpc>0</cpc>";
}

void TestServerFields::metadataSettings()
{
    QFETCH(QStringList, settings);
    QFETCH(QString, expected);
    SettingsStore::reset();
    SettingsStore::setValue(QStringLiteral("preferredLocale"), QStringLiteral("en"));
    for (int i = 0; i + 1 < settings.size(); i += 2)
        SettingsStore::setValue(QStringLiteral("identification/") + settings[i], settings[i + 1]);
    TestMetadataCall call;
    const QDomElement s = call.requestDocument().documentElement().firstChildElement(QStringLiteral("s"));
    QCOMPARE(childrenText(s), expected);
    QCOMPARE(call.requestArtwork(QStringLiteral("k")), nullptr);
}

void TestServerFields::valueElements_data()
{
    QTest::addColumn<int>("itemType");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blank values skipped, blanks kept")
        << int(TagItemType::Title) << QVariantList{QStringLiteral(" word "), QStringLiteral(" "), QString()}
        << "<m k=\"140\" v=\" word \"/>";
    QTest::newRow("numbers as text") << int(TagItemType::TrackNumber) << QVariantList{5, QStringLiteral("x")}
                                     << "<m k=\"144\" v=\"5\"/><m k=\"144\" v=\"x\"/>";
    QTest::newRow("item type without code") << int(TagItemType::EncapsulatedObject)
                                            << QVariantList{QStringLiteral("a")} << "<m k=\"156\" v=\"a\"/>";
    QTest::newRow("image with variants")
        << int(TagItemType::Artwork)
        << QVariantList{QVariant::fromValue(image(
               QStringLiteral(" front "),
               {{QStringLiteral("http://h/a.jpg"), QString(), QStringLiteral("k1"), 500, 400},
                {QString(), QStringLiteral("detail"), QString(), 500, -1}}))}
        << "<m k=\"19\"><a t=\"1\" c=\"front\"><i u=\"http://h/a.jpg\" i=\"k1\" w=\"500\" h=\"400\"/>"
           "<i d=\"detail\"/></a></m>";
    QTest::newRow("image without variants, blank comment")
        << int(TagItemType::Artwork) << QVariantList{QVariant::fromValue(image(QStringLiteral("  "), {}))}
        << "<m k=\"19\"><a t=\"1\"/></m>";
    QTest::newRow("zero size is a size")
        << int(TagItemType::Artwork)
        << QVariantList{QVariant::fromValue(image(QString(), {{QStringLiteral("u"), QString(), QString(), 0, 0}}))}
        << "<m k=\"19\"><a t=\"1\"><i u=\"u\" w=\"0\" h=\"0\"/></a></m>";
}

void TestServerFields::valueElements()
{
    QFETCH(int, itemType);
    QFETCH(QVariantList, values);
    QFETCH(QString, expected);
    QDomDocument document = createXmlDocument(QStringLiteral("d"), QString(), QString());
    QDomElement parent = document.documentElement();
    addImageElement(parent, itemType, values);
    QDomDocument wanted;
    QVERIFY(wanted.setContent(QStringLiteral("<d>%1</d>").arg(expected)));
    // Attribute order carries no meaning: compare element by element, attributes as sets.
    std::function<void(const QDomElement &, const QDomElement &)> compare =
        [&compare](const QDomElement &actual, const QDomElement &wantedElement) {
            QCOMPARE(actual.tagName(), wantedElement.tagName());
            QCOMPARE(actual.attributes().count(), wantedElement.attributes().count());
            for (int i = 0; i < wantedElement.attributes().count(); ++i) {
                const QDomAttr attribute = wantedElement.attributes().item(i).toAttr();
                QCOMPARE(actual.attribute(attribute.name(), QStringLiteral("<missing>")), attribute.value());
            }
            QCOMPARE(actual.childNodes().count(), wantedElement.childNodes().count());
            QDomElement a = actual.firstChildElement();
            for (QDomElement w = wantedElement.firstChildElement(); !w.isNull(); w = w.nextSiblingElement()) {
                compare(a, w);
                a = a.nextSiblingElement();
            }
        };
    compare(parent, wanted.documentElement());

    QDomDocument other = createXmlDocument(QStringLiteral("d"), QString(), QString());
    addItemTypeElement(other.documentElement(), itemType);
    QCOMPARE(childrenText(other.documentElement()),
             QStringLiteral("<x k=\"%1\"/>").arg(serverFieldOf(itemType)));
}

QTEST_GUILESS_MAIN(TestServerFields)
#include "tst_serverfields.moc"
