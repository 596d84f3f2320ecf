#include <QtTest>

#include "libcore/text/texttable.h"
#include "libcore/util/partialdatetime.h"
#include "libtagging/model/involvedpeoplelisttagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/privatetagitem.h"
#include "libtagging/model/unknownid3v2datatagitem.h"
#include "libtagging/model/userdefinedtexttagitem.h"
#include "libtagging/model/volumeadjustmenttagitem.h"

#include "libtagging/support_tags.h"

#include <memory>

namespace {
// Written down from the item-type table, independently of the catalogue in the code:
// the data type and the category of every id 0 to 125.
const char expectedDataTypes[] = "5555555555555555455355555555353566555156065535505556005555555555335555510553335555655552155555"
                                 "15555555615535366565566565556555";
const int expectedCategories[] = {
    9,  0,  0,  9,  6,  9,  6,  7,  7,  9,  5,  0,  9,  6,  7,  7,  2,  7,  9,  11, 9,  1,  7,  4,  6,  4,
    15, 8,  0,  9,  0,  1,  12, 17, 12, 12, 12, 12, 5,  11, 1,  9,  16, 15, 16, 16, 9,  10, 0,  1,  11, 5,
    4,  8,  9,  11, 15, 5,  3,  12, 5,  5,  1,  4,  4,  4,  13, 9,  13, 9,  13, 13, 0,  7,  15, 10, 10, 10,
    8,  8,  8,  8,  17, 5,  14, 14, 14, 0,  11, 11, 9,  1,  7,  1,  0,  9,  1,  1,  5,  11, 7,  1,  3,  11,
    0,  6,  0,  9,  0,  18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 7,  17, 10, 1,  9,  5};

// Registered under the id of Title: the registry must keep the first prototype.
class IntruderTagItem : public StringTagItem
{
public:
    using StringTagItem::StringTagItem;
    TagItem *clone(QObject *parent) const override { return new IntruderTagItem(value, parent); }
    int type() const override { return TagItemType::Title; }
};

std::unique_ptr<TagItem> item(int type, const QVariant &value)
{
    return std::unique_ptr<TagItem>(makeItem(type, value));
}

QString repeated(const QString &unit, int count)
{
    return unit.repeated(count);
}
} // namespace

class TestTagItems : public QObject
{
    Q_OBJECT
private slots:
    void everyTypeIsRegistered()
    {
        static_assert(sizeof(expectedDataTypes) - 1 == TagItemType::Count);
        static_assert(sizeof(expectedCategories) / sizeof(int) == TagItemType::Count);
        const QHash<int, TagItem *> &registry = TagItem::registry();
        QCOMPARE(registry.size(), TagItemType::Count);
        QObject parent;
        for (int id = 0; id < TagItemType::Count; ++id) {
            const TagItem *prototype = registry.value(id);
            QVERIFY2(prototype, qPrintable(QString::number(id)));
            QCOMPARE(prototype->type(), id);
            QVERIFY(!prototype->parent());

            TagItem *created = TagItem::create(id, &parent);
            QVERIFY(created);
            QCOMPARE(created->type(), id);
            QCOMPARE(created->parent(), &parent);
            QVERIFY(created != prototype);
            const int dataType = expectedDataTypes[id] - '0';
            QCOMPARE(created->dataType(), dataType);
            QCOMPARE(TagItem::dataTypeOf(id), dataType);
            QCOMPARE(TagItem::categoryOf(id), expectedCategories[id]);
            // Textual: the plain data types plus involved people and synchronised lyrics.
            const bool textual = (dataType <= 3 || dataType == 5 || id == 51 || id == 102);
            QCOMPARE(created->isTextual(), textual);
            QCOMPARE(TagItem::isTextualType(id), textual);
            QCOMPARE(TagItem::isPlainValueType(id), dataType != 6);
            if (dataType == TagItemDataType::Other) // structured values take nothing from a variant
                QVERIFY(!created->fromVariant(QStringLiteral("x")));
            // A clone is an equal, independent item of the same class.
            std::unique_ptr<TagItem> copy(created->clone(nullptr));
            QCOMPARE(copy->type(), id);
            QVERIFY(!copy->parent());
            QVERIFY(copy->equals(created));
            QVERIFY(created->equals(copy.get()));
        }
        QCOMPARE(parent.children().size(), TagItemType::Count);
        qDeleteAll(parent.children());
        QCOMPARE(registry.size(), TagItemType::Count); // prototypes survive their clones
    }

    void unknownIds_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("126") << 126;
        QTest::newRow("-1") << -1;
        QTest::newRow("large") << 100000;
    }
    void unknownIds()
    {
        QFETCH(int, id);
        QVERIFY(!TagItem::create(id, nullptr));
        QCOMPARE(TagItem::dataTypeOf(id), int(TagItemDataType::Other));
        QVERIFY(!TagItem::isTextualType(id));
        QVERIFY(!TagItem::isPlainValueType(id));
        QCOMPARE(TagItem::categoryOf(id), int(TagItemCategory::None));
        QVERIFY(TagItem::typeName(id).isEmpty());
    }

    void secondRegistrationIsIgnored()
    {
        TagItem::registerType<IntruderTagItem>();
        registerTagItemTypes();
        std::unique_ptr<TagItem> title(TagItem::create(TagItemType::Title));
        QVERIFY(dynamic_cast<TitleTagItem *>(title.get()));
        QCOMPARE(TagItem::registry().size(), TagItemType::Count);
    }

    void defaultsOfCreatedItems()
    {
        std::unique_ptr<TagItem> title(TagItem::create(TagItemType::Title));
        QVERIFY(static_cast<StringTagItem *>(title.get())->value.isNull());
        QVERIFY(title->isEmpty());
        std::unique_ptr<TagItem> bpm(TagItem::create(TagItemType::Bpm));
        QCOMPARE(bpm->toVariant(), QVariant(0));
        QVERIFY(!bpm->isEmpty());
        std::unique_ptr<TagItem> explicitContent(TagItem::create(TagItemType::ExplicitContent));
        QCOMPARE(explicitContent->toVariant(), QVariant(false));
        std::unique_ptr<TagItem> date(TagItem::create(TagItemType::ReleaseDate));
        QCOMPARE(date->toVariant().value<PartialDateTime>(), PartialDateTime());
        QVERIFY(date->isEmpty());
        std::unique_ptr<TagItem> rating(TagItem::create(TagItemType::Rating));
        QCOMPARE(rating->toVariant(), QVariant(0.0));
        std::unique_ptr<TagItem> volume(TagItem::create(TagItemType::VolumeAdjustment));
        QVERIFY(!volume->isEmpty());
    }

    void typesOfDataType_data()
    {
        QTest::addColumn<int>("dataType");
        QTest::addColumn<int>("count");
        QTest::newRow("boolean") << 0 << 5;
        QTest::newRow("date") << 1 << 5;
        QTest::newRow("floating point") << 2 << 1;
        QTest::newRow("integer") << 3 << 11;
        QTest::newRow("image") << 4 << 1;
        QTest::newRow("string") << 5 << 89;
        QTest::newRow("other") << 6 << 14;
        QTest::newRow("no such data type") << 7 << 0;
    }
    void typesOfDataType()
    {
        QFETCH(int, dataType);
        QFETCH(int, count);
        const QList<int> types = TagItem::typesOfDataType(dataType);
        QCOMPARE(types.size(), count);
        QVERIFY(std::is_sorted(types.cbegin(), types.cend()));
        if (dataType == TagItemDataType::Image)
            QCOMPARE(types, QList<int>({TagItemType::Artwork}));
    }

    void categories()
    {
        // Every type outside the unknown ones is in exactly one category list.
        QMap<int, int> seen;
        for (int category = 0; category <= 18; ++category) {
            for (int type : TagItem::typesOfCategory(category))
                ++seen[type];
        }
        for (int type = 0; type < TagItemType::Count; ++type) {
            const bool unknown = type >= 109 && type <= 119;
            QCOMPARE(seen.value(type), unknown ? 0 : 1);
        }
        QCOMPARE(TagItem::typesOfCategory(TagItemCategory::General).mid(0, 3),
                 QList<int>({TagItemType::Title, TagItemType::Artist, TagItemType::AlbumArtist}));
        QVERIFY(TagItem::typesOfCategory(TagItemCategory::None).isEmpty());
        QVERIFY(TagItem::typesOfCategory(19).isEmpty());
        QVERIFY(TagItem::typesOfCategory(-1).isEmpty());
    }

    void displayNames()
    {
        TextTable::table().insert(1214940258u, QStringLiteral("title"));
        TextTable::table().insert(3121202739u, QStringLiteral("general"));
        QCOMPARE(TagItem::typeName(TagItemType::Title), QStringLiteral("title"));
        QCOMPARE(TagItem::categoryName(TagItemCategory::General), QStringLiteral("general"));
        QVERIFY(TagItem::typeName(TagItemType::UnknownId3v2String).isEmpty());
        QVERIFY(TagItem::categoryName(TagItemCategory::None).isEmpty());
        QVERIFY(TagItem::categoryName(-1).isEmpty());
    }

    void typeKeysRoundTrip()
    {
        for (int type = 0; type < TagItemType::Count; ++type)
            QCOMPARE(TagItem::typeByKey(TagItem::typeKey(type)), type);
        QCOMPARE(TagItem::typeKey(TagItemType::TrackNumber), QStringLiteral("TrackNumber"));
        QCOMPARE(TagItem::typeByKey(QStringLiteral("tracknumber")), int(TagItemType::TrackNumber));
        QCOMPARE(TagItem::typeByKey(QStringLiteral("Track")), -1);
        QCOMPARE(TagItem::typeByKey(QString()), -1);
        QVERIFY(TagItem::typeKey(TagItemType::Count).isEmpty());
        QVERIFY(TagItem::typeKey(-1).isEmpty());
    }

    void cloneKeepsParentsApart()
    {
        QObject p;
        QObject q;
        auto *source = new TitleTagItem(QStringLiteral("Song"), &p);
        TagItem *copy = source->clone(&q);
        QCOMPARE(copy->parent(), &q);
        QCOMPARE(source->parent(), &p);
        auto *text = static_cast<TitleTagItem *>(copy);
        QCOMPARE(text->value.constData(), source->value.constData()); // shared, not copied
        text->value = QStringLiteral("Other");
        QCOMPARE(source->value, QStringLiteral("Song"));
    }

    // equals and isSimilar of two items made from values; similar is a -> b.
    void equalityAndSimilarity_data()
    {
        QTest::addColumn<int>("typeA");
        QTest::addColumn<QVariant>("valueA");
        QTest::addColumn<int>("typeB");
        QTest::addColumn<QVariant>("valueB");
        QTest::addColumn<bool>("equal");
        QTest::addColumn<bool>("similar");
        const int title = TagItemType::Title;
        const QString letters20 = QStringLiteral("abcdefghijklmnopqrst");
        const QString dotted28 = repeated(QStringLiteral("a."), 14); // key of 14 letters
        const QString dotted26 = repeated(QStringLiteral("a."), 13);
        const QString dotted31 = repeated(QStringLiteral("a."), 15) + QStringLiteral("a");
        QTest::newRow("same text") << title << QVariant("Abc") << title << QVariant("Abc") << true << true;
        QTest::newRow("other case: same key") << title << QVariant("Abc") << title << QVariant("ABC") << false << true;
        QTest::newRow("punctuation: same key") << title << QVariant("Hello World") << title << QVariant("hello, world!")
                                               << false << true;
        QTest::newRow("short key is no prefix") << title << QVariant("Abc") << title << QVariant("Abcd") << false << false;
        QTest::newRow("10 letters prefix") << title << QVariant("abcdefghij") << title << QVariant("abcdefghijklm")
                                           << false << false;
        QTest::newRow("20 letters prefix") << title << QVariant(letters20) << title << QVariant(letters20 + "xyz")
                                           << false << true;
        QTest::newRow("28 characters cut") << title << QVariant(dotted28) << title << QVariant(dotted28 + "zz") << false
                                           << true;
        QTest::newRow("26 characters cut") << title << QVariant(dotted26) << title << QVariant(dotted26 + "zz") << false
                                           << false;
        QTest::newRow("31 characters cut") << title << QVariant(dotted31) << title << QVariant(dotted31 + "zz") << false
                                           << false;
        QTest::newRow("longer against shorter") << title << QVariant(letters20 + "xyz") << title << QVariant(letters20)
                                                << false << false;
        QTest::newRow("equal numbers") << title << QVariant("12") << title << QVariant("0012") << false << true;
        QTest::newRow("title and subtitle") << title << QVariant("Abc") << int(TagItemType::Subtitle) << QVariant("Abc")
                                            << false << false;
        QTest::newRow("integers") << int(TagItemType::TrackNumber) << QVariant(3) << int(TagItemType::TrackNumber)
                                  << QVariant(3) << true << false;
        QTest::newRow("integers of two types") << int(TagItemType::TrackNumber) << QVariant(3)
                                               << int(TagItemType::DiscNumber) << QVariant(3) << false << false;
        const int date = TagItemType::ReleaseDate;
        QTest::newRow("year and full date") << date << QVariant("2004") << date << QVariant("2004-06-01") << false << true;
        QTest::newRow("full date and year") << date << QVariant("2004-06-01") << date << QVariant("2004") << false << false;
        QTest::newRow("equal dates") << date << QVariant("2004-06-01") << date << QVariant("2004-06-01") << true << false;
        QTest::newRow("year of two date types") << date << QVariant("2004") << int(TagItemType::RecordingDate)
                                                << QVariant("2004-06-01") << false << false;
    }
    void equalityAndSimilarity()
    {
        QFETCH(int, typeA);
        QFETCH(QVariant, valueA);
        QFETCH(int, typeB);
        QFETCH(QVariant, valueB);
        QFETCH(bool, equal);
        QFETCH(bool, similar);
        auto a = item(typeA, valueA);
        auto b = item(typeB, valueB);
        QVERIFY(a && b);
        QCOMPARE(a->equals(b.get()), equal);
        QCOMPARE(b->equals(a.get()), equal);
        QCOMPARE(a->isSimilar(b.get()), similar);
    }

    void fieldsBeyondTheValue()
    {
        // The description takes part in equality but not in similarity.
        UserDefinedTextTagItem a(QStringLiteral("x"), QStringLiteral("one"));
        UserDefinedTextTagItem b(QStringLiteral("x"), QStringLiteral("two"));
        QVERIFY(!a.equals(&b));
        QVERIFY(a.isSimilar(&b));
        std::unique_ptr<TagItem> copy(a.clone(nullptr));
        QVERIFY(copy->equals(&a));

        UnknownId3v2DataTagItem frame(QStringLiteral("XYZW"), QByteArray("\x01\x02", 2));
        UnknownId3v2DataTagItem otherFrame(QStringLiteral("XYZV"), QByteArray("\x01\x02", 2));
        QVERIFY(!frame.equals(&otherFrame));
        QVERIFY(!UnknownId3v2DataTagItem(QStringLiteral("XYZW"), QByteArray()).equals(&frame));
        QVERIFY(UnknownId3v2DataTagItem(QStringLiteral("XYZW"), QByteArray()).isEmpty());

        PrivateTagItem owned(QStringLiteral("Owner"), QByteArray("d"));
        PrivateTagItem lowerOwner(QStringLiteral("owner"), QByteArray("d"));
        QVERIFY(!owned.equals(&lowerOwner));
        QVERIFY(PrivateTagItem(QStringLiteral("Owner"), QByteArray()).isEmpty());

        VolumeAdjustmentTagItem nan(qQNaN(), 0, 0, 0);
        std::unique_ptr<TagItem> nanCopy(nan.clone(nullptr));
        QVERIFY(!nan.equals(nanCopy.get()));
    }

    void emptiness_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("empty");
        QTest::newRow("spaces") << int(TagItemType::Title) << QVariant("  \t ") << true;
        QTest::newRow("zero text") << int(TagItemType::Title) << QVariant("0") << false;
        QTest::newRow("track 0") << int(TagItemType::TrackNumber) << QVariant(0) << false;
        QTest::newRow("year") << int(TagItemType::ReleaseDate) << QVariant(1999) << false;
    }
    void emptiness()
    {
        QFETCH(int, type);
        QFETCH(QVariant, value);
        QFETCH(bool, empty);
        QCOMPARE(item(type, value)->isEmpty(), empty);
    }

    void integerFromVariant_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("result");
        QTest::newRow("text 12") << QVariant("12") << true << 12;
        QTest::newRow("text -3") << QVariant("-3") << false << 7;
        QTest::newRow("text x") << QVariant("x") << false << 7;
        QTest::newRow("zero") << QVariant(0) << true << 0;
        QTest::newRow("date") << QVariant::fromValue(PartialDateTime(2001, 5)) << true << 2001;
        QTest::newRow("date without year") << QVariant::fromValue(PartialDateTime(-1, 5)) << true << -1;
        QTest::newRow("invalid") << QVariant() << false << 7;
    }
    void integerFromVariant()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, accepted);
        QFETCH(int, result);
        TrackNumberTagItem track(7);
        QCOMPARE(track.fromVariant(value), accepted);
        QCOMPARE(track.value, result);
    }

    void dateFromVariant_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("display");
        QTest::newRow("int year") << QVariant(1999) << true << QStringLiteral("1999");
        QTest::newRow("unsigned 64-bit year") << QVariant(quint64(1999)) << true << QStringLiteral("1999");
        QTest::newRow("negative int") << QVariant(-5) << false << QStringLiteral("2000");
        QTest::newRow("date and time text") << QVariant("2004-06-01T10:20") << true << QStringLiteral("2004-06-01 10:20");
        QTest::newRow("year text") << QVariant("2004") << true << QStringLiteral("2004");
        QTest::newRow("no date") << QVariant("hello") << false << QStringLiteral("2000");
        QTest::newRow("month out of range") << QVariant("2004-13") << false << QStringLiteral("2000");
        QTest::newRow("QDate") << QVariant(QDate(2010, 2, 3)) << true << QStringLiteral("2010-02-03");
        QTest::newRow("QTime") << QVariant(QTime(1, 2, 3)) << true << QString();
    }
    void dateFromVariant()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, accepted);
        QFETCH(QString, display);
        ReleaseDateTagItem date(PartialDateTime(2000));
        QCOMPARE(date.fromVariant(value), accepted);
        QCOMPARE(date.toString(), display);
    }

    void dateTextForms()
    {
        ReleaseDateTagItem date(PartialDateTime(2004, 6, 1, 10, 20));
        QCOMPARE(date.toString(), QStringLiteral("2004-06-01 10:20"));
        QCOMPARE(date.toString(QStringLiteral("[data]")), QStringLiteral("2004-06-01T10:20"));
        QCOMPARE(date.toString(QStringLiteral("dd.MM.yyyy")), QStringLiteral("01.06.2004"));
    }

    void yesNoAndRatingTexts()
    {
        TextTable::table().insert(2587242183u, QStringLiteral("yes"));
        PartOfCompilationTagItem yes(true);
        QCOMPARE(yes.toString(QStringLiteral("[data]")), QStringLiteral("1"));
        QCOMPARE(yes.toString(), QStringLiteral("Yes"));
        QCOMPARE(PartOfCompilationTagItem(false).toString(QStringLiteral("[data]")), QStringLiteral("0"));

        RatingTagItem rating(0.75);
        QCOMPARE(rating.toString(), QStringLiteral("0.75"));
        QCOMPARE(rating.toString(QStringLiteral("[data]")), QStringLiteral("0.750000"));
        QCOMPARE(rating.toString(QStringLiteral("3")), QStringLiteral("0.750"));
        QCOMPARE(rating.toString(QStringLiteral("x")), QStringLiteral("0.75"));
    }

    void performerText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("role");
        QTest::newRow("name and role") << "John Smith (guitar)" << "John Smith" << "guitar";
        QTest::newRow("name alone") << "  John Smith " << "John Smith" << "";
        QTest::newRow("two parentheses") << "A (b) (c)" << "A (b)" << "c";
        QTest::newRow("nested") << "A (b(c))" << "A (b(c))" << "";
        QTest::newRow("role alone") << "(guitar)" << "" << "guitar";
        QTest::newRow("text after role") << "A (guitar) x" << "A (guitar) x" << "";
        QTest::newRow("empty") << "" << "" << "";
    }
    void performerText()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, role);
        const InvolvedPerson person = InvolvedPerson::fromPerformerText(text);
        QCOMPARE(person.kind, qint8(InvolvedPerson::Musician));
        QCOMPARE(person.name, name);
        QCOMPARE(person.role, role);
    }

    void involvedPeople()
    {
        const InvolvedPerson producer(0, QStringLiteral(" A "), QStringLiteral("producer"));
        const InvolvedPerson guitar(1, QStringLiteral("B"), QStringLiteral("guitar"));
        const InvolvedPerson noRole(0, QStringLiteral("C"), QString());
        InvolvedPeopleListTagItem list({producer, noRole, guitar});
        QCOMPARE(list.toString(), QStringLiteral("producer: A, guitar: B"));
        InvolvedPeopleListTagItem onlyNoRole({noRole});
        QVERIFY(onlyNoRole.toString().isEmpty());
        QVERIFY(!onlyNoRole.isEmpty());
        QVERIFY(InvolvedPeopleListTagItem().isEmpty());

        InvolvedPeopleListTagItem reversed({guitar, noRole, producer});
        QVERIFY(!list.equals(&reversed));
        InvolvedPerson otherKind = guitar;
        otherKind.kind = 0;
        InvolvedPeopleListTagItem guitarist({guitar});
        InvolvedPeopleListTagItem otherKindGuitarist({otherKind});
        QVERIFY(!guitarist.equals(&otherKindGuitarist));
        std::unique_ptr<TagItem> copy(list.clone(nullptr));
        QVERIFY(copy->equals(&list));
        QVERIFY(!list.fromVariant(QStringLiteral("x")));
        QVERIFY(!list.toVariant().isValid());
    }

    void listsEqual()
    {
        TitleTagItem a(QStringLiteral("A"));
        TitleTagItem a2(QStringLiteral("A"));
        TitleTagItem b(QStringLiteral("B"));
        QVERIFY(TagItem::listsEqual({&a, nullptr}, {&a2, nullptr}));
        QVERIFY(!TagItem::listsEqual({&a, &b}, {&b, &a}));
        QVERIFY(!TagItem::listsEqual({&a, nullptr}, {nullptr, &a}));
        QVERIFY(!TagItem::listsEqual({&a}, {&a, &b}));
        QVERIFY(TagItem::listsEqual({}, {}));
    }
};

QTEST_GUILESS_MAIN(TestTagItems)
#include "tst_tagitems.moc"
