#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/involvedpeoplelisttagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/model/userdefinedtexttagitem.h"
#include "libtagging/model/volumeadjustmenttagitem.h"
#include "libtagging/plain/apetagio.h"
#include "support_bytebuilder.h"

namespace {

QByteArray item(const QByteArray &key, const QByteArray &value, quint32 flags = 0)
{
    return ByteBuilder().le32(quint32(value.size())).le32(flags).raw(key).u8(0).raw(value);
}

// A header or footer block.
QByteArray block(quint32 version, quint32 tagSize, quint32 count, quint32 flags)
{
    return ByteBuilder().ascii("APETAGEX").le32(version).le32(tagSize).le32(count).le32(flags).zeros(8);
}

// A version 2 tag with header and footer around the items.
QByteArray tagOf(const QByteArray &items, int count = 1)
{
    const quint32 size = quint32(items.size() + 32);
    return block(2000, size, count, 0xA0000000) + items + block(2000, size, count, 0x80000000);
}

// Detects the tag that ends the bytes and reads it.
AudioTag *readTag(const QByteArray &bytes, QObject *parent)
{
    IoStream stream(bytes, QIODevice::ReadOnly);
    stream.setName(QStringLiteral("/nonexistent/a.ape"));
    stream.seek(stream.size());
    TagInfo *info = ApeTagIo::instance()->detect(&stream, false, nullptr);
    if (!info)
        return nullptr;
    stream.seek(info->values.value(TagInfo::DataOffsetKey).toLongLong());
    return ApeTagIo::instance()->read(&stream, info, nullptr, parent);
}

QByteArray render(const AudioTag *tag, const TaggingSettings *settings = nullptr)
{
    IoStream out(QIODevice::ReadWrite);
    ApeTagIo::instance()->render(&out, tag, settings);
    return out.data();
}

QStringList texts(const AudioTag *tag, int type)
{
    return tag->itemTexts(type);
}

} // namespace

class TestApe : public QObject
{
    Q_OBJECT
private slots:
    void detect_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("position");
        QTest::addColumn<bool>("atStart");
        QTest::addColumn<qint64>("offset"); // -1: nothing found
        QTest::addColumn<int>("size");
        QTest::addColumn<qint64>("dataOffset");
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("header");
        QTest::addColumn<bool>("footer");

        const QByteArray items = item("Title", "abc");
        const QByteArray audio(100, 'a');
        const QByteArray full = tagOf(items);
        QTest::newRow("appended with header") << audio + full << qint64(100 + full.size()) << false << qint64(100)
                                              << int(full.size()) << qint64(132) << 2 << true << true;
        const QByteArray noHeader = items + block(1000, quint32(items.size() + 32), 1, 0);
        QTest::newRow("appended version 1 without header")
            << audio + noHeader << qint64(100 + noHeader.size()) << false << qint64(100) << int(noHeader.size())
            << qint64(100) << 1 << false << true;
        QTest::newRow("prepended") << full + audio << qint64(0) << true << qint64(0) << int(full.size()) << qint64(32)
                                   << 2 << true << true;
        const QByteArray headerOnly = block(2000, quint32(items.size()), 1, 0xC0000000) + items;
        QTest::newRow("prepended without footer") << headerOnly + audio << qint64(0) << true << qint64(0)
                                                  << int(headerOnly.size()) << qint64(32) << 2 << true << false;
        // A header at the start whose footer is not where it says: a stray block, no tag.
        QTest::newRow("prepended without the footer it announces")
            << full.left(full.size() - 32) + audio << qint64(0) << true << qint64(-1) << 0 << qint64(0) << 0 << false
            << false;
        QTest::newRow("too short behind") << full.right(31) << qint64(31) << false << qint64(-1) << 0 << qint64(0) << 0
                                          << false << false;
        QTest::newRow("too short ahead") << full.left(31) << qint64(0) << true << qint64(-1) << 0 << qint64(0) << 0
                                         << false << false;
        QByteArray version3000 = full;
        version3000[8 + full.size() - 32] = char(0xB8); // 3000 = 0x0BB8
        version3000[9 + full.size() - 32] = char(0x0B);
        QTest::newRow("version 3000") << version3000 << qint64(full.size()) << false << qint64(-1) << 0 << qint64(0)
                                      << 0 << false << false;
        // Sizes that claim more than the stream holds are refused before anything is read.
        QTest::newRow("prepended tag claiming 4 GiB")
            << block(2000, 0xFFFFFFF0, 1, 0xA0000000) + audio << qint64(0) << true << qint64(-1) << 0 << qint64(0)
            << 0 << false << false;
        QTest::newRow("appended tag larger than the stream")
            << audio + block(2000, 0x7FFFFFFF, 1, 0x80000000) << qint64(132) << false << qint64(-1) << 0 << qint64(0)
            << 0 << false << false;
        QTest::newRow("tag size below a footer") << audio + block(2000, 31, 0, 0x80000000) << qint64(132) << false
                                                 << qint64(-1) << 0 << qint64(0) << 0 << false << false;
    }
    void detect()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, position);
        QFETCH(bool, atStart);
        QFETCH(qint64, offset);
        QFETCH(int, size);
        QFETCH(qint64, dataOffset);
        QFETCH(int, version);
        QFETCH(bool, header);
        QFETCH(bool, footer);
        IoStream stream(bytes, QIODevice::ReadOnly);
        stream.seek(position);
        std::unique_ptr<TagInfo> info(ApeTagIo::instance()->detect(&stream, atStart, nullptr));
        if (offset < 0) {
            QVERIFY(!info);
            return;
        }
        QVERIFY(info);
        QCOMPARE(info->tagType(), int(TagType::Ape));
        QCOMPARE(info->offset(), offset);
        QCOMPARE(info->size(), size);
        QCOMPARE(info->values.value(TagInfo::RawDataKey).toByteArray(), bytes.mid(offset, size));
        QCOMPARE(info->values.value(TagInfo::DataOffsetKey).toLongLong(), dataOffset);
        QCOMPARE(info->values.value(TagInfo::DataSizeKey).toInt(), 17); // one item: 8 + "Title" + 1 + 3
        QCOMPARE(info->isPrepended(), atStart);
        QCOMPARE(info->version(), version);
        QCOMPARE(info->values.value(9).toBool(), header);
        QCOMPARE(info->values.value(11).toBool(), footer);
        QCOMPARE(stream.pos(), offset + size);
    }

    void readItems()
    {
        const QByteArray items = item("Album", "") // value size 0: next item right after the key
                                 + item("Reserved", "x", 6)
                                 + item("Artist", QByteArray("one\0\0two", 8))
                                 + item("Comment", "   ")
                                 + item("Title", "binary title", 2)
                                 + item("Cover Art (Front)", "not an image")
                                 + item("My Key", "mine")
                                 + item("COMPILATION", " 1 ")
                                 + item("bpm", "12.5")
                                 + item("Year", "2001")
                                 + item("Track", "3/12")
                                 + item("Performer", "Ann (violin)")
                                 + item("Cover Art (Back)", QByteArray("back.jpg\0", 9), 2)
                                 + item("REPLAYGAIN_TRACK_GAIN", "-6.50 dB");
        QObject parent;
        AudioTag *tag = readTag(tagOf(items, 14), &parent);
        QVERIFY(tag);
        QCOMPARE(tag->tagType(), int(TagType::Ape));
        QCOMPARE(texts(tag, TagItemType::Artist), QStringList({"one", "two"}));
        QVERIFY(!tag->contains(TagItemType::Album));
        QVERIFY(!tag->contains(TagItemType::Comment));
        QVERIFY(!tag->contains(TagItemType::Title));
        const QList<TagItem *> unknown = tag->items(TagItemType::UnknownApeData);
        QCOMPARE(unknown.size(), 2);
        QCOMPARE(static_cast<UnknownApeDataTagItem *>(unknown[0])->name, QStringLiteral("Title"));
        QCOMPARE(static_cast<UnknownApeDataTagItem *>(unknown[0])->data, QByteArray("binary title"));
        // A cover-art item with nothing behind its file name stays as it was.
        QCOMPARE(static_cast<UnknownApeDataTagItem *>(unknown[1])->name, QStringLiteral("Cover Art (Back)"));
        const QList<TagItem *> defined = tag->items(TagItemType::UserDefinedText);
        QCOMPARE(defined.size(), 2);
        QCOMPARE(static_cast<UserDefinedTextTagItem *>(defined[0])->description, QStringLiteral("Cover Art (Front)"));
        QCOMPARE(static_cast<UserDefinedTextTagItem *>(defined[1])->description, QStringLiteral("My Key"));
        QCOMPARE(tag->itemValue(TagItemType::PartOfCompilation).toBool(), true);
        QCOMPARE(tag->itemValue(TagItemType::Bpm).toInt(), 0);
        QCOMPARE(tag->itemText(TagItemType::ReleaseDate, 0, "yyyy-MM-dd"), QStringLiteral("2001"));
        QCOMPARE(tag->itemValue(TagItemType::TrackNumber).toInt(), 3);
        QCOMPARE(tag->itemValue(TagItemType::TrackCount).toInt(), 12);
        const auto *people = static_cast<InvolvedPeopleListTagItem *>(tag->item(TagItemType::InvolvedPeopleList));
        QVERIFY(people);
        QCOMPARE(people->people, QList<InvolvedPerson>({InvolvedPerson(1, "Ann", "violin")}));
        const auto *volume = static_cast<VolumeAdjustmentTagItem *>(tag->item(TagItemType::VolumeAdjustment));
        QVERIFY(volume);
        QCOMPARE(volume->trackGain, -6.5);
    }

    // A date comes back with every part it has, milliseconds too; text under a date key that
    // is no date stays the text it was rather than turning into an empty or wrong date.
    void datesRoundTrip()
    {
        const QByteArray items = item("Year", "2001-02-03T04:05:06:789") + item("Record Date", "4444-44-44T44:44");
        QObject parent;
        AudioTag *tag = readTag(tagOf(items, 2), &parent);
        QVERIFY(tag);
        AudioTag *back = readTag(render(tag), &parent);
        QVERIFY(back);
        for (AudioTag *read : {tag, back}) {
            QCOMPARE(read->itemText(TagItemType::ReleaseDate, 0, "[data]"), QStringLiteral("2001-02-03T04:05:06:789"));
            QVERIFY(!read->contains(TagItemType::RecordingDate));
            const auto *text = static_cast<UserDefinedTextTagItem *>(read->item(TagItemType::UserDefinedText));
            QVERIFY(text);
            QCOMPARE(text->description, QStringLiteral("Record Date"));
            QCOMPARE(text->value, QStringLiteral("4444-44-44T44:44"));
        }
    }

    // The CD table of contents is a binary "_cdtoc" item holding the READ TOC response.
    void discToc()
    {
        AudioTag tag;
        auto *toc = new DiscTocTagItem;
        toc->firstTrack = 1;
        toc->lastTrack = 1;
        DiscTocTrack track;
        track.address = 150;
        DiscTocTrack leadOut;
        leadOut.number = DiscTocTagItem::LeadOutTrack;
        leadOut.address = 30000;
        toc->tracks = {track, leadOut};
        tag.addItem(toc);
        const QByteArray bytes = render(&tag);
        QVERIFY(bytes.contains(item("_cdtoc", toc->toBinary(), 0x80000002)));
        QObject parent;
        AudioTag *back = readTag(bytes, &parent);
        QCOMPARE(back->items(TagItemType::DiscToc).size(), 1);
        QVERIFY(back->item(TagItemType::DiscToc)->equals(toc));

        // Bytes that are no table of contents stay the item they were.
        AudioTag *broken = readTag(tagOf(item("CDTOC", QByteArray("\x00\x01\xff", 3), 2)), &parent);
        QVERIFY(!broken->contains(TagItemType::DiscToc));
        const auto *unknown = static_cast<UnknownApeDataTagItem *>(broken->item(TagItemType::UnknownApeData));
        QVERIFY(unknown);
        QCOMPARE(unknown->name, QStringLiteral("CDTOC"));
        QCOMPARE(unknown->data, QByteArray("\x00\x01\xff", 3));
    }

    void readStopsAtDamage_data()
    {
        QTest::addColumn<QByteArray>("items");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("value beyond the items") << item("Title", "a") + ByteBuilder().le32(100).le32(0).ascii("Title").u8(0).ascii("b").bytes
                                                << QStringList{"a"};
        // A key without its zero byte may not run past the items.
        QTest::newRow("unterminated key") << item("Title", "a") + QByteArray("\x01\0\0\0\0\0\0\0Titl", 12)
                                          << QStringList{"a"};
        QTest::newRow("value size near 4 GiB") << item("Title", "a") + ByteBuilder().le32(0xFFFFFFF0).le32(0).ascii("Title").u8(0).ascii("x").bytes
                                               << QStringList{"a"};
    }
    void readStopsAtDamage()
    {
        QFETCH(QByteArray, items);
        QFETCH(QStringList, titles);
        QObject parent;
        AudioTag *tag = readTag(tagOf(items, 2), &parent);
        QVERIFY(tag);
        QCOMPARE(texts(tag, TagItemType::Title), titles);
    }

    void peakOfZeroGivesNoVolume()
    {
        QObject parent;
        AudioTag *tag = readTag(tagOf(item("REPLAYGAIN_TRACK_PEAK", "0.000000")), &parent);
        QVERIFY(tag);
        QVERIFY(!tag->contains(TagItemType::VolumeAdjustment));
    }

    void readWithoutInfo()
    {
        IoStream stream(QByteArray(64, '\0'), QIODevice::ReadOnly);
        TagInfo foreign;
        foreign.values.insert(TagInfo::TagTypeKey, int(TagType::Id3v1));
        for (TagInfo *info : {static_cast<TagInfo *>(nullptr), &foreign}) {
            try {
                ApeTagIo::instance()->read(&stream, info, nullptr, nullptr);
                QFAIL("no exception");
            } catch (const Exception &e) {
                QCOMPARE(e.code, quint32(ApeTagIo::NoApeTagInfo));
            }
        }
    }

    void renderLayout()
    {
        AudioTag empty;
        const QByteArray bytes = render(&empty);
        QCOMPARE(bytes, block(2000, 32, 0, 0xA0000000) + block(2000, 32, 0, 0x80000000));

        // Shorter items come first: "Album" (15 bytes) before "Title" (17 bytes).
        AudioTag tag;
        tag.addItem(new TitleTagItem("abc"));
        tag.addItem(new AlbumTagItem("x"));
        const QByteArray items = item("Album", "x", 0x80000000) + item("Title", "abc", 0x80000000);
        QCOMPARE(render(&tag), block(2000, 32 + 32, 2, 0xA0000000) + items + block(2000, 64, 2, 0x80000000));
    }

    void artists_data()
    {
        QTest::addColumn<QStringList>("artists");
        QTest::addColumn<bool>("extraField");
        QTest::addColumn<QStringList>("artistValues");
        QTest::addColumn<QStringList>("artistsValues");
        const QStringList three{"Ann & Bob", "Ann", "Bob"};
        QTest::newRow("joint text, extra field") << three << true << QStringList{"Ann & Bob"} << QStringList{"Ann", "Bob"};
        QTest::newRow("single artist") << QStringList{"Ann"} << true << QStringList{"Ann"} << QStringList{"Ann"};
        QTest::newRow("joint text, no extra field") << three << false << three << QStringList{"Ann", "Bob"};
    }
    void artists()
    {
        QFETCH(QStringList, artists);
        QFETCH(bool, extraField);
        QFETCH(QStringList, artistValues);
        QFETCH(QStringList, artistsValues);
        AudioTag tag;
        for (const QString &artist : artists)
            tag.addItem(new ArtistTagItem(artist));
        // No settings: the defaults, which keep the extra field.
        TaggingSettings settings;
        settings.multiArtistsInExtraField = false;
        const QByteArray bytes = render(&tag, extraField ? nullptr : &settings);
        auto valuesOf = [&](const QByteArray &key) {
            const qsizetype at = bytes.indexOf(QByteArray(key).append('\0'));
            const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at - 8);
            return QString::fromUtf8(bytes.mid(at + key.size() + 1, size)).split(QChar(0));
        };
        QCOMPARE(valuesOf("Artist"), artistValues);
        QCOMPARE(valuesOf("Artists"), artistsValues);
        // Reading gives each artist once (in the order of the items, shortest first).
        QObject parent;
        QStringList back = texts(readTag(bytes, &parent), TagItemType::Artist);
        QStringList expected = artists;
        back.sort();
        expected.sort();
        QCOMPARE(back, expected);
    }

    void roundTrip()
    {
        AudioTag tag;
        tag.addItem(new TitleTagItem(QStringLiteral("Tëst title")));
        tag.addItem(new ArtistTagItem("Ann"));
        tag.addItem(new CommentTagItem("line one\nline two", QString()));
        tag.addItem(new TrackNumberTagItem(3));
        tag.addItem(new DiscNumberTagItem(1));
        tag.addItem(new DiscCountTagItem(2));
        tag.addItem(new PartOfCompilationTagItem(false));
        tag.addItem(new ReleaseDateTagItem(PartialDateTime(2001, 2, 3, 4, 5, 6)));
        tag.addItem(new UserDefinedTextTagItem("value", "Custom Key"));
        tag.addItem(new UserDefinedTextTagItem("dropped", QString()));
        tag.addItem(new UnknownApeDataTagItem("Blob", QByteArray("\x01\x02\0\x03", 4)));
        tag.addItem(new InvolvedPeopleListTagItem(
            {InvolvedPerson(1, "Ann", "violin"), InvolvedPerson(0, "Bob", "producer")}));
        tag.addItem(new VolumeAdjustmentTagItem(-6.5, 0.9, -7.25, 0.95));
        QByteArray png;
        {
            QBuffer buffer(&png);
            QImage image(2, 2, QImage::Format_RGB32);
            image.fill(Qt::red);
            image.save(&buffer, "PNG");
        }
        tag.addItem(new ArtworkTagItem(CodedImage(png), 3, "ignored"));
        tag.addItem(new ArtworkTagItem(CodedImage(png), 5, QString()));

        QObject parent;
        AudioTag *back = readTag(render(&tag), &parent);
        QVERIFY(back);
        QCOMPARE(back->itemText(TagItemType::Title), QStringLiteral("Tëst title"));
        // Written under "Artist" and "Artists", read as one artist.
        QCOMPARE(texts(back, TagItemType::Artist), QStringList({"Ann"}));
        QCOMPARE(back->itemText(TagItemType::Comment), QStringLiteral("line one\nline two"));
        QCOMPARE(back->itemValue(TagItemType::TrackNumber).toInt(), 3);
        QVERIFY(!back->contains(TagItemType::TrackCount));
        QCOMPARE(back->itemValue(TagItemType::DiscCount).toInt(), 2);
        QCOMPARE(back->itemValue(TagItemType::PartOfCompilation).toBool(), false);
        QCOMPARE(back->itemText(TagItemType::ReleaseDate, 0, "yyyy-MM-dd hh:mm:ss"),
                 QStringLiteral("2001-02-03 04:05:06"));
        const QList<TagItem *> defined = back->items(TagItemType::UserDefinedText);
        QCOMPARE(defined.size(), 1);
        QCOMPARE(static_cast<UserDefinedTextTagItem *>(defined[0])->description, QStringLiteral("Custom Key"));
        const auto *blob = static_cast<UnknownApeDataTagItem *>(back->item(TagItemType::UnknownApeData));
        QVERIFY(blob);
        QCOMPARE(blob->data, QByteArray("\x01\x02\0\x03", 4));
        const auto *people = static_cast<InvolvedPeopleListTagItem *>(back->item(TagItemType::InvolvedPeopleList));
        QCOMPARE(people->people, QList<InvolvedPerson>({InvolvedPerson(1, "Ann", "violin")}));
        const auto *volume = static_cast<VolumeAdjustmentTagItem *>(back->item(TagItemType::VolumeAdjustment));
        QCOMPARE(volume->trackGain, -6.5);
        QCOMPARE(volume->albumGain, -7.25);
        QCOMPARE(volume->trackPeak, 0.9);
        QCOMPARE(volume->albumPeak, 0.95);
        // Every embedded picture is a front cover under one key.
        const QList<TagItem *> pictures = back->items(TagItemType::Artwork);
        QCOMPARE(pictures.size(), 2);
        for (TagItem *picture : pictures) {
            QCOMPARE(static_cast<ArtworkTagItem *>(picture)->pictureType, 3);
            QCOMPARE(static_cast<ArtworkTagItem *>(picture)->image().data, png);
        }
    }
};

QTEST_GUILESS_MAIN(TestApe)
#include "tst_ape.moc"
