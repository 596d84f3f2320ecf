#include <QtTest>

#include "libcore/util/partialdatetime.h"
#include "libtagging/model/plaintagitems.h"

#include "libtagging/support_tags.h"

#include <memory>

using namespace TagItemType;

namespace {
// One source tag written as "tagType[:size]=type:value;type:value".
struct SourceTag
{
    int tagType;
    int size;
    QStringList items;
};

AudioTag *build(const SourceTag &source, QObject *parent)
{
    QList<TagItem *> items;
    for (const QString &entry : source.items) {
        const int colon = entry.indexOf(QLatin1Char(':'));
        items.append(makeItem(entry.left(colon).toInt(), entry.mid(colon + 1)));
    }
    return makeTag(source.tagType, items, source.size, parent);
}

const QString longTitle = QStringLiteral("The Longest Title That Was Ever Cut Short");
} // namespace

Q_DECLARE_METATYPE(SourceTag)

class TestMerge : public QObject
{
    Q_OBJECT
private slots:
    void merge_data()
    {
        QTest::addColumn<QList<SourceTag>>("tags");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("size"); // -1: no size in the combined record
        using namespace TagType;
        QTest::newRow("no tags") << QList<SourceTag>() << QStringList() << -1;
        QTest::newRow("full title wins over the cut one")
            << QList<SourceTag>({{Id3v1, 128, {"104:" + longTitle.left(30)}}, {Id3v2, 4096, {"104:" + longTitle}}})
            << QStringList({"104:" + longTitle}) << 4224;
        QTest::newRow("equal copies: the earlier source stays")
            << QList<SourceTag>({{Id3v2, -1, {"11:X", "104:from id3"}}, {VorbisComment, -1, {"11:X", "104:from vorbis"}}})
            << QStringList({"11:X", "104:from vorbis", "104:from id3"}) << -1;
        QTest::newRow("different values are all kept in source order")
            << QList<SourceTag>({{Ape, -1, {"104:B"}}, {Id3v2, -1, {"104:A"}}}) << QStringList({"104:A", "104:B"}) << -1;
        QTest::newRow("other tag types follow in list order")
            << QList<SourceTag>({{Mp4, -1, {"104:M"}}, {Id3v2, -1, {"104:I"}}, {Asf, -1, {"104:W"}}})
            << QStringList({"104:I", "104:M", "104:W"}) << -1;
        QTest::newRow("a second tag of a used type comes after the order")
            << QList<SourceTag>({{Id3v2, -1, {"104:first"}}, {Id3v1, -1, {"104:v1"}}, {Id3v2, -1, {"104:second"}}})
            << QStringList({"104:first", "104:v1", "104:second"}) << -1;
        QTest::newRow("empty tag adds no size")
            << QList<SourceTag>({{Id3v1, 128, {}}, {Id3v2, 4096, {"104:T"}}}) << QStringList({"104:T"}) << 4096;
        QTest::newRow("year beside the full date goes")
            << QList<SourceTag>({{Id3v1, -1, {"94:2004"}}, {Id3v2, -1, {"94:2004-06-01"}}})
            << QStringList({"94:2004-06-01"}) << -1;
        QTest::newRow("year of another date type stays")
            << QList<SourceTag>({{Id3v1, -1, {"94:2004"}}, {Id3v2, -1, {"88:2004-06-01"}}})
            << QStringList({"88:2004-06-01", "94:2004"}) << -1;
        QTest::newRow("joint artist goes first")
            << QList<SourceTag>({{VorbisComment, -1, {"11:B", "104:T"}}, {Id3v2, -1, {"11:A & B", "11:A"}}})
            << QStringList({"104:T", "11:A & B", "11:A", "11:B"}) << -1;
        QTest::newRow("copies, cut texts and artist order in one pass")
            << QList<SourceTag>({{Id3v1, 128, {"104:" + longTitle.left(30), "11:A"}},
                                 {Id3v2, 4096, {"104:" + longTitle, "11:A & B", "11:B", "11:A"}}})
            << QStringList({"104:" + longTitle, "11:A & B", "11:A", "11:B"}) << 4224;
        QTest::newRow("equal numbers are duplicates")
            << QList<SourceTag>({{Id3v2, -1, {"108:3"}}, {Ape, -1, {"108:03"}}}) << QStringList({"108:3"}) << -1;
        QTest::newRow("unknown items pass through")
            << QList<SourceTag>({{Id3v2, -1, {"113:x"}}, {Ape, -1, {"113:x", "119:y"}}})
            << QStringList({"113:x", "119:y"}) << -1;
    }
    void merge()
    {
        QFETCH(QList<SourceTag>, tags);
        QFETCH(QStringList, expected);
        QFETCH(int, size);
        QObject sources;
        QList<AudioTag *> list;
        QList<QStringList> before;
        for (const SourceTag &source : tags) {
            list.append(build(source, &sources));
            before.append(describe(list.last()));
        }
        QObject owner;
        AudioTag *combined = AudioTag::merge(list, &owner);
        QCOMPARE(combined->parent(), &owner);
        QCOMPARE(describe(combined), expected);
        QCOMPARE(combined->tagType(), int(TagType::Combined));
        QCOMPARE(combined->tagInfo()->size(), size);
        QCOMPARE(combined->tagInfo()->values.keys(), size < 0 ? QList<int>({0}) : QList<int>({0, 3}));
        for (qsizetype i = 0; i < list.size(); ++i)
            QCOMPARE(describe(list.at(i)), before.at(i)); // the sources are not changed
        for (const TagItem *item : combined->itemList())
            QCOMPARE(item->parent(), combined);
    }

    void mergeWithoutParent()
    {
        std::unique_ptr<AudioTag> source(makeTag(TagType::Id3v2, {makeItem(Title, "T")}));
        std::unique_ptr<AudioTag> combined(AudioTag::merge({source.get()}, nullptr));
        QVERIFY(!combined->parent());
        QCOMPARE(describe(combined.get()), QStringList({"104:T"}));
    }

    // Number and count read from one text; "-" for no item.
    void addNumberPair_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("count");
        QTest::newRow("number and count") << "3/12" << "3" << "12";
        QTest::newRow("reversed") << "12/3" << "3" << "12";
        QTest::newRow("equal") << "5/5" << "5" << "5";
        QTest::newRow("number alone") << "3" << "3" << "-";
        QTest::newRow("trailing slash") << "3/" << "3" << "-";
        QTest::newRow("leading slash") << "/12" << "12" << "-";
        QTest::newRow("backslash") << "3\\12" << "3" << "12";
        QTest::newRow("slash before backslash") << "3\\4/12" << "12" << "-";
        QTest::newRow("spaces") << " 3 / 12 " << "3" << "12";
        QTest::newRow("count of zero is no count") << "5/0" << "5" << "-";
        QTest::newRow("negative count is no count") << "3/-2" << "3" << "-";
        QTest::newRow("zero alone after slash") << "/0" << "-" << "-";
        QTest::newRow("number zero") << "0/5" << "0" << "5";
        QTest::newRow("negative number is refused") << "-1/5" << "-" << "5";
        QTest::newRow("no numbers") << "x/y" << "-" << "-";
        QTest::newRow("empty") << "" << "-" << "-";
        QTest::newRow("too large") << "99999999999/3" << "3" << "-";
    }
    void addNumberPair()
    {
        QFETCH(QString, text);
        QFETCH(QString, number);
        QFETCH(QString, count);
        AudioTag tag;
        tag.addNumberPair(text, TrackNumber, TrackCount);
        QCOMPARE(tag.itemTexts(TrackNumber).join(QLatin1Char(',')), number == "-" ? QString() : number);
        QCOMPARE(tag.itemTexts(TrackCount).join(QLatin1Char(',')), count == "-" ? QString() : count);
    }

    void setItemValues_data()
    {
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<bool>("skip");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("expected");
        const QStringList unchanged {"108:7", "104:T", "108:8"};
        QTest::newRow("all convert") << QVariantList({1, "2"}) << false << true << QStringList({"104:T", "108:1", "108:2"});
        QTest::newRow("stop at the first failure") << QVariantList({1, "x"}) << false << false << unchanged;
        QTest::newRow("skip failures") << QVariantList({1, "x"}) << true << false << QStringList({"104:T", "108:1"});
        QTest::newRow("empty list removes") << QVariantList() << false << true << QStringList({"104:T"});
    }
    void setItemValues()
    {
        QFETCH(QVariantList, values);
        QFETCH(bool, skip);
        QFETCH(bool, result);
        QFETCH(QStringList, expected);
        std::unique_ptr<AudioTag> tag(makeTag(-1, {makeItem(TrackNumber, 7), makeItem(Title, "T"), makeItem(TrackNumber, 8)}));
        QCOMPARE(tag->setItemValues(TrackNumber, values, skip), result);
        QCOMPARE(describe(tag.get()), expected);
    }

    void singleValueSetters()
    {
        std::unique_ptr<AudioTag> tag(makeTag(-1, {makeItem(TrackNumber, 7), makeItem(Title, "T")}));
        QCOMPARE(tag->setItemValue(TrackNumber, "x", 0), -1);
        QCOMPARE(tag->setItemValue(TrackNumber, 9, 0), 0);
        QCOMPARE(tag->setItemValue(TrackNumber, 10, 3), 1);
        QCOMPARE(tag->insertItemValue(TrackNumber, 1, 0), 0);
        QCOMPARE(tag->insertItemValue(TrackNumber, -1, 0), -1);
        QVERIFY(tag->addItemValue(Genre, "Jazz"));
        QVERIFY(!tag->addItemValue(ReleaseDate, "hello"));
        QCOMPARE(describe(tag.get()), QStringList({"108:1", "108:9", "104:T", "108:10", "48:Jazz"}));
    }

    void convertItems()
    {
        std::unique_ptr<AudioTag> tag(
            makeTag(-1, {makeItem(ReleaseDate, "2004-06-01"), makeItem(Comment, "x"), makeItem(Title, "T"),
                         makeItem(ReleaseDate, "1999")}));
        tag->convertItems(Bpm, ReleaseDate); // dates give their years
        tag->convertItems(TrackCount, Title); // no number: the default
        tag->convertItems(Genre, Album);      // nothing to convert: nothing changes
        QCOMPARE(describe(tag.get()), QStringList({"94:2004-06-01", "21:x", "104:T", "94:1999", "19:2004", "19:1999",
                                                   "106:0"}));
    }
};

QTEST_GUILESS_MAIN(TestMerge)
#include "tst_merge.moc"
