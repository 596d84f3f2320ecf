#include <QtTest>

#include "libcore/text/texttable.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/plaintagitems.h"

#include "libtagging/support_tags.h"

#include <QPointer>
#include <memory>

using namespace TagItemType;

namespace {
TagItem *text(int type, const QString &value)
{
    return makeItem(type, value);
}

QList<TagItem *> artists(const QStringList &names)
{
    QList<TagItem *> result;
    for (const QString &name : names)
        result.append(text(Artist, name));
    return result;
}

QStringList texts(const QList<TagItem *> &items)
{
    QStringList result;
    for (const TagItem *item : items)
        result.append(item->toString());
    return result;
}
} // namespace

class TestAudioTag : public QObject
{
    Q_OBJECT
private slots:
    void tagInfoDefaults()
    {
        TagInfo info;
        QCOMPARE(info.tagType(), int(TagType::Unknown));
        QCOMPARE(info.offset(), qint64(-1));
        QCOMPARE(info.size(), -1);
        QVERIFY(!info.isPrepended());
        QCOMPARE(info.version(), -1);
        AudioTag tag;
        QCOMPARE(tag.tagType(), int(TagType::Unknown));
    }

    void shiftOffsets_data()
    {
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<qint64>("dataOffset");
        QTest::addColumn<qint64>("delta");
        QTest::newRow("forward") << qint64(5000) << qint64(5010) << qint64(100);
        QTest::newRow("back") << qint64(5000) << qint64(5010) << qint64(-100);
        QTest::newRow("beyond 2 GiB") << qint64(3) * 1024 * 1024 * 1024 << qint64(3) * 1024 * 1024 * 1024 + 10
                                      << qint64(5);
    }
    void shiftOffsets()
    {
        QFETCH(qint64, offset);
        QFETCH(qint64, dataOffset);
        QFETCH(qint64, delta);
        TagInfo info;
        info.values.insert(TagInfo::OffsetKey, offset);
        info.values.insert(TagInfo::DataOffsetKey, dataOffset);
        info.shiftOffsets(delta);
        QCOMPARE(info.offset(), offset + delta);
        QCOMPARE(info.values.value(TagInfo::DataOffsetKey).toLongLong(), dataOffset + delta);
    }

    void shiftOffsetsLeavesUnknownOffsetsUnknown()
    {
        TagInfo info;
        info.values.insert(TagInfo::OffsetKey, qint64(40));
        info.shiftOffsets(100);
        QCOMPARE(info.offset(), qint64(140));
        QVERIFY(!info.values.contains(TagInfo::DataOffsetKey));
        TagInfo empty;
        empty.shiftOffsets(100);
        QCOMPARE(empty.offset(), qint64(-1));
    }

    void tagInfoCloneIsIndependent()
    {
        QObject owner;
        TagInfo info;
        info.values.insert(TagInfo::SizeKey, 128);
        TagInfo *copy = info.clone(&owner);
        QCOMPARE(copy->parent(), &owner);
        QCOMPARE(copy->size(), 128);
        copy->values.insert(TagInfo::SizeKey, 5);
        QCOMPARE(info.size(), 128);
    }

    void tagTypeNames()
    {
        TextTable::table().insert(3777721077u, QStringLiteral("ID3v2"));
        QCOMPARE(AudioTag::tagTypeName(TagType::Id3v2), QStringLiteral("ID3v2"));
        QVERIFY(AudioTag::tagTypeName(12).isEmpty());
        QVERIFY(AudioTag::tagTypeName(-1).isEmpty());
    }

    void tagTypeKeys()
    {
        QCOMPARE(AudioTag::tagTypeKey(TagType::Id3v2), QStringLiteral("Id3v2"));
        QCOMPARE(AudioTag::tagTypeKey(TagType::Aiff), QStringLiteral("Aiff"));
        QCOMPARE(AudioTag::tagTypeByKey(QStringLiteral("vorbiscomment")), int(TagType::VorbisComment));
        QCOMPARE(AudioTag::tagTypeByKey(QStringLiteral("ID3")), -1);
        QVERIFY(AudioTag::tagTypeKey(12).isEmpty());
        QVERIFY(AudioTag::tagTypeKey(-1).isEmpty());
    }

    void setTagInfoReplacesTheRecord()
    {
        AudioTag tag;
        QPointer<TagInfo> first = new TagInfo;
        tag.setTagInfo(first);
        QCOMPARE(first->parent(), &tag);
        tag.setTagInfo(first); // the same record again changes nothing
        QVERIFY(first);
        tag.setTagInfo(new TagInfo);
        QVERIFY(!first);
    }

    void positionsCountPerType()
    {
        std::unique_ptr<AudioTag> tag(makeTag(TagType::Id3v2, {text(Album, "a"), text(Album, "b"), text(Genre, "g"),
                                                               text(Album, "c"), text(Title, "t")}));
        QCOMPARE(tag->item(Title, 0)->toString(), QStringLiteral("t"));
        QVERIFY(!tag->item(Title, 1));
        QVERIFY(!tag->item(Title, -1));
        QCOMPARE(tag->itemText(Album, 2), QStringLiteral("c"));
        QVERIFY(tag->itemText(Album, 3).isEmpty());
        QCOMPARE(tag->itemCount(Album), 3);
        QVERIFY(!tag->contains(Artist));
        QCOMPARE(tag->itemValues(Album), QVariantList({"a", "b", "c"}));
        QVERIFY(!tag->itemValue(Album, 3).isValid());
        const QMap<int, QList<TagItem *>> byType = tag->itemsByType();
        QCOMPARE(byType.keys(), QList<int>({Album, Genre, Title}));
        QCOMPARE(texts(byType.value(Album)), QStringList({"a", "b", "c"}));
    }

    void insertItem_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("before the first") << 0 << 0 << QStringList({"11:N", "11:X", "104:T", "11:Y"});
        QTest::newRow("before the second") << 1 << 1 << QStringList({"11:X", "104:T", "11:N", "11:Y"});
        QTest::newRow("past the end") << 5 << 2 << QStringList({"11:X", "104:T", "11:Y", "11:N"});
        QTest::newRow("negative") << -1 << 2 << QStringList({"11:X", "104:T", "11:Y", "11:N"});
    }
    void insertItem()
    {
        QFETCH(int, n);
        QFETCH(int, result);
        QFETCH(QStringList, expected);
        std::unique_ptr<AudioTag> tag(makeTag(-1, {text(Artist, "X"), text(Title, "T"), text(Artist, "Y")}));
        TagItem *inserted = text(Artist, "N");
        QCOMPARE(tag->insertItem(inserted, n), result);
        QCOMPARE(inserted->parent(), tag.get());
        QCOMPARE(describe(tag.get()), expected);
    }

    void replaceItem()
    {
        std::unique_ptr<AudioTag> tag(makeTag(-1, {text(Artist, "X"), text(Title, "T"), text(Artist, "Y")}));
        QPointer<TagItem> y = tag->item(Artist, 1);
        QCOMPARE(tag->replaceItem(y, 1), 1); // the same object: nothing happens
        QVERIFY(y);
        QCOMPARE(tag->replaceItem(text(Artist, "Z"), 1), 1);
        QVERIFY(!y);
        QCOMPARE(tag->replaceItem(text(Artist, "W"), 4), 2);
        QCOMPARE(describe(tag.get()), QStringList({"11:X", "104:T", "11:Z", "11:W"}));
        // An item of the tag put in another place moves there instead of being listed twice.
        TagItem *x = tag->item(Artist, 0);
        QCOMPARE(tag->replaceItem(x, 2), 2);
        QCOMPARE(describe(tag.get()), QStringList({"104:T", "11:Z", "11:W", "11:X"}));
    }

    void setItemsMovesTheTypeToTheEnd()
    {
        std::unique_ptr<AudioTag> tag(makeTag(-1, {text(Artist, "X"), text(Title, "T"), text(Artist, "Y")}));
        QPointer<TagItem> x = tag->item(Artist, 0);
        QPointer<TagItem> y = tag->item(Artist, 1);
        tag->setItems(Artist, {y});
        QVERIFY(!x);
        QVERIFY(y);
        QCOMPARE(describe(tag.get()), QStringList({"104:T", "11:Y"}));
        tag->setItems(Artist, {});
        QVERIFY(!y);
        QCOMPARE(describe(tag.get()), QStringList({"104:T"}));
    }

    void removingAndMoving()
    {
        std::unique_ptr<AudioTag> tag(makeTag(-1, {text(Artist, "X"), text(Title, "T"), text(Artist, "Y")}));
        QVERIFY(!tag->removeItem(Artist, 2));
        QVERIFY(tag->removeItem(Artist, 1));
        TitleTagItem stranger(QStringLiteral("S"));
        QVERIFY(!tag->removeItem(&stranger));
        QVERIFY(tag->removeItem(tag->item(Title, 0)));
        QCOMPARE(describe(tag.get()), QStringList({"11:X"}));

        std::unique_ptr<AudioTag> other(makeTag(-1, {text(Genre, "G"), text(Album, "A")}));
        tag->takeAllItems(other.get());
        QVERIFY(other->itemList().isEmpty());
        QCOMPARE(describe(tag.get()), QStringList({"11:X", "48:G", "1:A"}));
        for (TagItem *item : tag->itemList())
            QCOMPARE(item->parent(), tag.get());

        tag->addItemCopies(tag.get(), Genre); // copies of its own items
        QCOMPARE(tag->itemCount(Genre), 2);
        tag->removeItems(Genre);
        QCOMPARE(describe(tag.get()), QStringList({"11:X", "1:A"}));
        tag->clear();
        QVERIFY(tag->itemList().isEmpty());
    }

    void typeLookupFollowsEveryEdit()
    {
        // Items are looked up by type through a list of the types kept beside the items; after
        // every kind of edit both lists must agree, or a lookup finds the wrong item.
        std::unique_ptr<AudioTag> tag(makeTag(-1, {text(Artist, "A & B"), text(Title, "T"), text(Artist, "B")}));
        const auto check = [&tag](const char *step) {
            const QList<TagItem *> &items = tag->itemList();
            QVERIFY2(tag->itemTypes().size() == items.size(), step);
            for (qsizetype i = 0; i < items.size(); ++i)
                QVERIFY2(tag->itemTypes()[i] == items.at(i)->type(), step);
            for (int type : {int(Artist), int(Title), int(Album), int(Genre), int(Comment)}) {
                QList<TagItem *> expected;
                for (TagItem *item : items) {
                    if (item->type() == type)
                        expected.append(item);
                }
                QVERIFY2(tag->items(type) == expected, step);
            }
        };
        check("made");
        tag->insertItem(text(Album, "Al"), 0);
        tag->insertItem(text(Artist, "C"), 1);
        check("insertItem");
        tag->replaceItem(text(Title, "T2"), 0);
        tag->replaceItem(text(Genre, "G"), 3);
        check("replaceItem");
        tag->addItem(tag->item(Title, 0)); // moves it to the end
        check("addItem of its own item");
        tag->setItems(Artist, {tag->item(Artist, 2), text(Artist, "D")});
        check("setItems");
        tag->setItemValue(Comment, QStringLiteral("c"));
        tag->insertItemValue(Comment, QStringLiteral("b"), 0);
        tag->addNumberPair(QStringLiteral("3/9"), TrackNumber, TrackCount);
        check("value setters");
        tag->convertItems(Comment, Genre);
        check("convertItems");
        tag->addItemCopies(tag.get());
        check("addItemCopies");
        tag->removeDuplicates();
        check("removeDuplicates");
        tag->addItem(text(Artist, "D"));
        tag->removeSimilarItems();
        check("removeSimilarItems");
        tag->addItem(text(Artist, "X & D"));
        tag->reorderArtists();
        check("reorderArtists");
        tag->addItem(text(Album, ""));
        tag->removeEmptyItems();
        check("removeEmptyItems");
        QVERIFY(tag->removeItem(Artist, 0));
        QVERIFY(tag->removeItem(tag->item(Title, 0)));
        tag->removeItems(Comment);
        check("removeItem");
        std::unique_ptr<AudioTag> copy(tag->clone());
        std::unique_ptr<AudioTag> merged(AudioTag::merge({tag.get(), copy.get()}));
        tag->clear();
        check("clear");
        tag->takeAllItems(merged.get());
        check("takeAllItems");
        QVERIFY(merged->itemTypes().isEmpty());
        // Merging two equal tags keeps one of each item, though not in the same order.
        QStringList mergedItems = describe(tag.get());
        QStringList copiedItems = describe(copy.get());
        mergedItems.sort();
        copiedItems.sort();
        QCOMPARE(mergedItems, copiedItems);
    }

    void cloneCopiesRecordAndItems()
    {
        std::unique_ptr<AudioTag> tag(makeTag(TagType::Ape, {text(Artist, "X"), text(Title, "T")}, 64));
        QObject owner;
        AudioTag *copy = tag->clone(&owner);
        QCOMPARE(copy->parent(), &owner);
        QCOMPARE(copy->tagType(), int(TagType::Ape));
        QVERIFY(copy->tagInfo() != tag->tagInfo());
        QCOMPARE(describe(copy), describe(tag.get()));
        QVERIFY(copy->itemList().first() != tag->itemList().first());
        QVERIFY(AudioTag::differingItemTypes(tag.get(), copy).isEmpty());
    }

    void normalizeItems_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("identifier in braces and spaces") << int(TrackMbid) << "  {abc-123}  " << "abc-123";
        QTest::newRow("opening brace only") << int(AlbumMbid) << "{abc" << "abc";
        QTest::newRow("closing brace only") << int(WorkMbid) << "abc}" << "abc";
        QTest::newRow("disc id keeps braces") << int(DiscIdMusicBrainz) << " {abc} " << "{abc}";
        QTest::newRow("title keeps braces") << int(Title) << "{x}" << "{x}";
        QTest::newRow("inner spaces stay") << int(TrackMbid) << "{ abc }" << " abc ";
    }
    void normalizeItems()
    {
        QFETCH(int, type);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        std::unique_ptr<AudioTag> tag(makeTag(-1, {text(type, value), makeItem(TrackNumber, 3)}));
        tag->normalizeItems();
        QCOMPARE(tag->itemText(type), expected);
        QCOMPARE(tag->itemText(TrackNumber), QStringLiteral("3"));
    }

    void removeEmptyItemsKeepsZero()
    {
        std::unique_ptr<AudioTag> tag(makeTag(-1, {text(Title, "  "), makeItem(TrackNumber, 0), text(Album, "A"),
                                                   TagItem::create(ReleaseDate)}));
        tag->removeEmptyItems();
        QCOMPARE(describe(tag.get()), QStringList({"108:0", "1:A"}));
    }

    void removeDuplicatesKeepsTheFirst()
    {
        std::unique_ptr<AudioTag> tag(
            makeTag(-1, {text(Title, "A"), text(Title, "B"), text(Title, "A"), text(Subtitle, "A"), text(Title, "A")}));
        QPointer<TagItem> first = tag->item(Title, 0);
        tag->removeDuplicates();
        QCOMPARE(describe(tag.get()), QStringList({"104:A", "104:B", "101:A"}));
        QVERIFY(first && tag->item(Title, 0) == first);
    }

    void removeSimilarItems_data()
    {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("expected");
        const QString full = QStringLiteral("A Rather Long Title Of Forty Characters!");
        QCOMPARE(full.size(), 40);
        const QString cut = full.left(30);
        QTest::newRow("cut before full") << QStringList({cut, full}) << QStringList({full});
        QTest::newRow("full before cut") << QStringList({full, cut}) << QStringList({full});
        QTest::newRow("similar to each other: the later goes")
            << QStringList({"Hello World", "hello world"}) << QStringList({"Hello World"});
        QTest::newRow("unrelated stay") << QStringList({"A", "B"}) << QStringList({"A", "B"});
    }
    void removeSimilarItems()
    {
        QFETCH(QStringList, titles);
        QFETCH(QStringList, expected);
        std::unique_ptr<AudioTag> tag(new AudioTag);
        for (const QString &title : titles)
            tag->addItem(text(Title, title));
        tag->removeSimilarItems();
        QCOMPARE(tag->itemTexts(Title), expected);
    }

    void sortArtistItems_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one") << QStringList({"A"}) << false << QStringList({"A"});
        QTest::newRow("none contains the other") << QStringList({"A", "B"}) << false << QStringList({"A", "B"});
        QTest::newRow("joint first") << QStringList({"A feat. B", "B", "A"}) << true
                                     << QStringList({"A feat. B", "A", "B"});
        QTest::newRow("joint in the middle") << QStringList({"B", "A & B", "A"}) << true
                                             << QStringList({"A & B", "A", "B"});
        QTest::newRow("parts trimmed") << QStringList({" B ", "A & B"}) << true << QStringList({"A & B", " B "});
        QTest::newRow("equal positions keep order") << QStringList({"A & B", "A", "A"}) << true
                                                    << QStringList({"A & B", "A", "A"});
    }
    void sortArtistItems()
    {
        QFETCH(QStringList, names);
        QFETCH(bool, sorted);
        QFETCH(QStringList, expected);
        QObject owner;
        QList<TagItem *> list;
        for (const QString &name : names)
            list.append(makeItem(Artist, name, &owner));
        QCOMPARE(AudioTag::sortArtistItems(list), sorted);
        QCOMPARE(texts(list), expected);
    }

    void artistsOfATag()
    {
        std::unique_ptr<AudioTag> tag(makeTag(-1, artists({"B", "A & B"})));
        tag->addItem(text(Title, "T"));
        tag->addItem(text(Artist, "A"));
        QCOMPARE(texts(tag->additionalArtists()), QStringList({"A", "B"}));
        tag->reorderArtists();
        QCOMPARE(describe(tag.get()), QStringList({"104:T", "11:A & B", "11:A", "11:B"}));

        std::unique_ptr<AudioTag> single(makeTag(-1, artists({"Solo"})));
        QCOMPARE(texts(single->additionalArtists()), QStringList({"Solo"}));
        std::unique_ptr<AudioTag> apart(makeTag(-1, artists({"B", "A"})));
        apart->reorderArtists();
        QCOMPARE(apart->itemTexts(Artist), QStringList({"B", "A"}));
    }

    void numberPairTexts()
    {
        std::unique_ptr<AudioTag> tag(makeTag(-1, {makeItem(TrackNumber, 3)}));
        QCOMPARE(tag->numberPairTexts(TrackNumber, TrackCount), QStringList({"3"}));
        tag->addItem(makeItem(TrackNumber, 4));
        tag->addItem(makeItem(TrackCount, 12));
        QCOMPARE(tag->numberPairTexts(TrackNumber, TrackCount), QStringList({"3/12", "4"}));
        QVERIFY(tag->numberPairTexts(DiscNumber, TrackCount).isEmpty());
        // Two counts read beside one number: the second count is not dropped.
        std::unique_ptr<AudioTag> counts(makeTag(-1, {makeItem(TrackNumber, 3), makeItem(TrackCount, 12),
                                                     makeItem(TrackCount, 22)}));
        QCOMPARE(counts->numberPairTexts(TrackNumber, TrackCount), QStringList({"3/12", "3/22"}));
        // "4/12", "200", "3/6": a count never goes with a number above it ("200/6" reads as 6 of 200).
        std::unique_ptr<AudioTag> mixed(makeTag(-1, {makeItem(TrackNumber, 4), makeItem(TrackCount, 12),
                                                    makeItem(TrackNumber, 200), makeItem(TrackNumber, 3),
                                                    makeItem(TrackCount, 6)}));
        QCOMPARE(mixed->numberPairTexts(TrackNumber, TrackCount), QStringList({"4/12", "200", "3/6"}));
    }

    void differingItemTypes()
    {
        std::unique_ptr<AudioTag> a(makeTag(-1, artists({"A", "B"})));
        a->addItem(text(Title, "T"));
        QCOMPARE(AudioTag::differingItemTypes(a.get(), nullptr), QSet<int>({Artist, Title}));
        QCOMPARE(AudioTag::differingItemTypes(nullptr, a.get()), QSet<int>({Artist, Title}));
        std::unique_ptr<AudioTag> b(makeTag(-1, {text(Title, "T")}));
        b->addItem(text(Artist, "B"));
        b->addItem(text(Artist, "A"));
        b->addItem(text(Genre, "G"));
        QCOMPARE(AudioTag::differingItemTypes(a.get(), b.get()), QSet<int>({Artist, Genre}));
    }

    void artworkByPictureType()
    {
        auto picture = [](const char *bytes, int pictureType) {
            return new ArtworkTagItem(CodedImage(QByteArray(bytes)), pictureType, QString());
        };
        std::unique_ptr<AudioTag> tag(makeTag(-1, {picture("a", 4), picture("b", 3), text(Title, "T"),
                                                   picture("c", 4)}));
        QCOMPARE(tag->pictureTypes(), QList<int>({4, 3}));
        const QList<ArtworkTagItem *> backs = tag->artworkOfPictureType(4);
        QCOMPARE(backs.size(), 2);
        QCOMPARE(backs.at(1)->image().data, QByteArray("c"));
        QVERIFY(tag->artworkOfPictureType(0).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAudioTag)
#include "tst_audiotag.moc"
