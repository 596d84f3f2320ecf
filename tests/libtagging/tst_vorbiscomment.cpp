#include <QtTest>

#include "libcore/image/codedimage.h"
#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/util/base64.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/lyricstagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/model/userdefinedtexttagitem.h"
#include "libtagging/xiph/flacstreamio.h"
#include "libtagging/xiph/vorbiscommentfieldtable.h"
#include "libtagging/xiph/vorbiscommenttagio.h"
#include "support_xiph.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <memory>

using namespace xiph;

namespace {

VorbisCommentTagIo *io()
{
    return VorbisCommentTagIo::instance();
}

std::unique_ptr<AudioTag> readPacket(const QByteArray &packet, const QString &name = QStringLiteral("/music/a.ogg"))
{
    IoStream stream(packet, QIODevice::ReadOnly);
    stream.setName(name);
    return std::unique_ptr<AudioTag>(io()->read(&stream, nullptr, nullptr, nullptr));
}

QByteArray renderTag(const AudioTag *tag, const QString &vendor = QString(), bool framing = false,
                     int coverArtType = 1, bool multiArtistsInExtraField = true)
{
    VorbisCommentSettings settings;
    settings.vendor = vendor;
    settings.framingBit = framing;
    settings.coverArtType = coverArtType;
    IoStream out(QIODevice::ReadWrite);
    out.setName(QStringLiteral("/music/a.ogg"));
    io()->renderComment(&out, tag, settings, multiArtistsInExtraField);
    return out.data();
}

QList<QByteArray> utf8(const QStringList &texts)
{
    QList<QByteArray> out;
    for (const QString &text : texts)
        out.append(text.toUtf8());
    return out;
}

QByteArray pngBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TestVorbisComment : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Languages are looked up in the tables of the core package.
        QVERIFY(QResource::registerResource(QCoreApplication::applicationDirPath() + "/libcore.rcc",
                                            QStringLiteral(":/libcore")));
    }

    // Fields read into items and written back: the table of names and their conversions.
    void fieldsRoundTrip_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("written");
        const auto row = [](const char *name, const QStringList &in, const QStringList &out) {
            QTest::newRow(name) << in << out;
        };
        row("album artist spellings", {"Album Artist=X", "ALBUM_ARTIST=Y", "albumartist=Z"},
            {"ALBUMARTIST=X", "ALBUMARTIST=Y", "ALBUMARTIST=Z"});
        row("legacy names", {"ORGANIZATION=L", "SOURCEMEDIA=CD", "AUTHOR=W", "WEBSITE=http://a"},
            {"URL_OFFICIAL_ARTIST_SITE=http://a", "LYRICIST=W", "MEDIA=CD", "LABEL=L"});
        row("recording and track ids cross", {"MUSICBRAINZ_RELEASETRACKID=t", "MUSICBRAINZ_TRACKID=r"},
            {"MUSICBRAINZ_TRACKID=r", "MUSICBRAINZ_RELEASETRACKID=t"});
        row("value with equals sign", {"A=B=C"}, {"A=B=C"});
        row("blank values and missing equals dropped", {"TITLE", "TITLE=   ", "TITLE= a "}, {"TITLE= a "});
        row("empty name dropped on writing", {"=x"}, {});
        row("user-defined keeps its spelling", {"MyField=x", "MYFIELD=y"}, {"MyField=x", "MYFIELD=y"});
        row("description is the comment", {"DESCRIPTION=x"}, {"COMMENT=x"});
        row("single artist", {"ARTIST=X"}, {"ARTIST=X", "ARTISTS=X"});
        row("joint artist", {"ARTIST=A & B", "ARTIST=A", "GUESTARTIST=B"}, {"ARTIST=A & B", "ARTISTS=A", "ARTISTS=B"});
        row("track number and count", {"TRACKNUMBER=3/12"}, {"TRACKTOTAL=12", "TOTALTRACKS=12", "TRACKNUMBER=3"});
        row("disc number with backslash", {"DISC=2\\3"}, {"DISCTOTAL=3", "TOTALDISCS=3", "DISCNUMBER=2"});
        row("track number that is no number kept", {"TRACKNUMBER=A1"}, {"TRACKNUMBER=A1"});
        row("whole bpm", {"BPM= 120 "}, {"BPM=120"});
        row("bpm with a fraction kept", {"BPM=128.5"}, {"BPM=128.5"});
        row("bpm that is no number kept", {"BPM=fast"}, {"BPM=fast"});
        row("compilation", {"COMPILATION=1"}, {"COMPILATION=1"});
        row("compilation other text", {"COMPILATION=yes"}, {"COMPILATION=0"});
        row("date parts", {"DATE=2004-05-06T12:30", "ORIGINALYEAR=1999"}, {"ORIGINALDATE=1999", "DATE=2004-05-06 12:30"});
        row("rating", {"RATING=3"}, {"RATING=3"});
        row("rating key prefix", {"RATINGFOO=5"}, {"RATING=5"});
        row("rating on another scale kept", {"RATING=87"}, {"RATING=87"});
        row("rating out of range kept", {"RATING=0", "rating=abc"}, {"RATING=0", "rating=abc"});
        row("replay gain", {"REPLAYGAIN_TRACK_GAIN=-7.03 dB", "REPLAYGAIN_TRACK_PEAK=0.988831"},
            {"REPLAYGAIN_TRACK_GAIN=-7.03 dB", "REPLAYGAIN_TRACK_PEAK=0.988831"});
        row("zero replay gain adds nothing", {"REPLAYGAIN_ALBUM_GAIN=0.00 dB"}, {});
        row("performers", {"PERFORMER=John (guitar)", "PERFORMER=Jane"}, {"PERFORMER=John (guitar)", "PERFORMER=Jane ()"});
        row("performer name with placeholder", {"PERFORMER=A %2 B (%1 vocals)"}, {"PERFORMER=A %2 B (%1 vocals)"});
        row("cover art without data kept", {"COVERART=!!!"}, {"COVERART=!!!"});
        row("table of contents", {"CDTOC=3+96+2D32+4C31+6E57"}, {"CDTOC=3+96+2d32+4c31+6e57"});
        row("table of contents with a data track", {"CDTOC=2+96+2D32+4C31+6E57"}, {"CDTOC=2+96+2d32+4c31+6e57"});
        row("table of contents that does not parse kept", {"CDTOC=2+0+"}, {"CDTOC=2+0+"});
    }
    void fieldsRoundTrip()
    {
        QFETCH(QStringList, fields);
        QFETCH(QStringList, written);
        const auto tag = readPacket(commentPacket(QByteArray(), utf8(fields)));
        QCOMPARE(commentFields(renderTag(tag.get())), written);
    }

    void artistsInOneField()
    {
        const auto tag = readPacket(commentPacket(QByteArray(), {"ARTIST=A & B", "ARTIST=A", "ARTIST=B"}));
        QCOMPARE(commentFields(renderTag(tag.get(), QString(), false, 1, false)),
                 QStringList({"ARTIST=A & B", "ARTIST=A", "ARTIST=B", "ARTISTS=A", "ARTISTS=B"}));
    }

    void readItems()
    {
        const auto tag = readPacket(commentPacket("v", utf8({"TITLE= a ", "RATING=2", "RATING=87", "BPM=128.5",
                                                             "COMPILATION=1", "TRACKNUMBER=3/12"})));
        QCOMPARE(tag->itemText(TagItemType::Title), QStringLiteral(" a "));
        QCOMPARE(static_cast<RatingTagItem *>(tag->item(TagItemType::Rating))->value, 0.25);
        QCOMPARE(tag->itemCount(TagItemType::Rating), 1);
        QCOMPARE(tag->itemCount(TagItemType::Bpm), 0);
        const QList<TagItem *> kept = tag->items(TagItemType::UserDefinedText);
        QCOMPARE(kept.size(), 2);
        QCOMPARE(static_cast<UserDefinedTextTagItem *>(kept[0])->description, QStringLiteral("RATING"));
        QCOMPARE(static_cast<UserDefinedTextTagItem *>(kept[1])->value, QStringLiteral("128.5"));
        QCOMPARE(static_cast<BooleanTagItem *>(tag->item(TagItemType::PartOfCompilation))->value, true);
        QCOMPARE(tag->itemText(TagItemType::TrackCount), QStringLiteral("12"));
        QCOMPARE(tag->itemText(TagItemType::Encoder), QStringLiteral("v"));
    }

    void tableOfContents()
    {
        CollectingLogger logger;
        auto tag = readPacket(commentPacket("v", {"CDTOC=3+96+2D32+4C31+6E57"}));
        const auto *toc = static_cast<const DiscTocTagItem *>(tag->item(DiscTocTagItem::Type));
        QVERIFY(toc);
        QCOMPARE(toc->tracks.size(), 4);
        QCOMPARE(toc->tracks.last().number, int(DiscTocTagItem::LeadOutTrack));
        QCOMPARE(toc->tracks.last().address, quint32(0x6E57));
        QVERIFY(logger.codes.isEmpty());

        // Text that is no table of contents: a warning naming the file, and the field kept.
        tag = readPacket(commentPacket("v", {"CDTOC=not a toc"}));
        QVERIFY(!tag->contains(DiscTocTagItem::Type));
        QCOMPARE(static_cast<UserDefinedTextTagItem *>(tag->item(UserDefinedTextTagItem::Type))->description,
                 QStringLiteral("CDTOC"));
        QVERIFY(logger.codes.contains(quint32(VorbisCommentTagIo::UnreadableDiscToc)));
    }

    // The format has no language: comments and lyrics are read as English.
    void commentLanguage()
    {
        const auto tag = readPacket(commentPacket("v", {"COMMENT=c", "LYRICS=l"}));
        const auto *comment = static_cast<const CommentTagItem *>(tag->item(CommentTagItem::Type));
        const auto *lyrics = static_cast<const LyricsTagItem *>(tag->item(LyricsTagItem::Type));
        QVERIFY(comment && lyrics);
        QCOMPARE(comment->language.iso639_2B, QStringLiteral("eng"));
        QCOMPARE(lyrics->language.iso639_2B, QStringLiteral("eng"));
        QVERIFY(comment->description.isEmpty());
    }

    void vendorAndEncoder()
    {
        auto tag = readPacket(commentPacket("x", {}));
        QCOMPARE(tag->itemCount(TagItemType::Encoder), 1);
        QCOMPARE(tag->itemText(TagItemType::Encoder), QStringLiteral("x"));

        tag = readPacket(commentPacket(QByteArray(), {}));
        QCOMPARE(tag->itemCount(TagItemType::Encoder), 1);
        QVERIFY(tag->itemText(TagItemType::Encoder).isEmpty());

        tag = readPacket(commentPacket("x", {"ENCODER=y"}));
        QCOMPARE(tag->itemCount(TagItemType::Encoder), 1);
        QCOMPARE(tag->itemText(TagItemType::Encoder), QStringLiteral("y"));
        QByteArray vendor;
        QCOMPARE(commentFields(renderTag(tag.get(), QStringLiteral("x")), &vendor), QStringList({"ENCODER=y"}));
        QCOMPARE(vendor, QByteArray("x"));
    }

    void detect_data()
    {
        QTest::addColumn<QByteArray>("packet");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("dataSize");
        QTest::newRow("no fields") << commentPacket("abc", {}) << 11 << 4;
        QTest::newRow("count -1") << (le32(3) + "abc" + le32(0xFFFFFFFF)) << 11 << 4;
        QTest::newRow("framing byte not counted") << commentPacket("abc", {"A=b"}, true) << 18 << 11;
        QTest::newRow("last field cut to the data") << (le32(1) + "v" + le32(1) + le32(100) + "0123456789") << 23 << 18;
        QTest::newRow("vendor past the end") << (le32(100) + "v") << -1 << -1;
        QTest::newRow("count missing") << (le32(1) + "v") << -1 << -1;
    }
    void detect()
    {
        QFETCH(QByteArray, packet);
        QFETCH(int, size);
        QFETCH(int, dataSize);
        QByteArray bytes = "xx" + packet;
        IoStream stream(bytes, QIODevice::ReadOnly);
        stream.seek(2);
        QObject parent;
        TagInfo *info = io()->detect(&stream, true, &parent);
        QCOMPARE(stream.pos(), qint64(2));
        if (size < 0) {
            QVERIFY(!info);
            return;
        }
        QVERIFY(info);
        QCOMPARE(info->tagType(), int(TagType::VorbisComment));
        QCOMPARE(info->offset(), qint64(2));
        QCOMPARE(info->size(), size);
        QCOMPARE(info->values.value(TagInfo::DataSizeKey).toInt(), dataSize);
        QCOMPARE(info->values.value(TagInfo::RawDataKey).toByteArray(), bytes.mid(2, size));
        QVERIFY(info->isPrepended());

        // read takes the record, and a failed read leaves it with the caller.
        auto tag = std::unique_ptr<AudioTag>(io()->read(&stream, info, nullptr, nullptr));
        QCOMPARE(tag->tagInfo(), info);
    }

    void readFailsOnShortData()
    {
        QObject parent;
        auto *info = new TagInfo(&parent);
        IoStream stream(le32(1) + "v" + le32(2) + le32(3) + "A=b", QIODevice::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(Exception, io()->read(&stream, info, nullptr, nullptr));
        QCOMPARE(info->parent(), &parent);
    }

    void renderBytes()
    {
        AudioTag tag;
        QCOMPARE(renderTag(&tag, QStringLiteral("v")), QByteArray::fromHex("0100000076" "00000000"));
        QCOMPARE(renderTag(&tag, QStringLiteral("v"), true), QByteArray::fromHex("0100000076" "00000000" "01"));
        // Without settings: no vendor, a framing byte.
        IoStream out(QIODevice::ReadWrite);
        io()->render(&out, &tag, nullptr);
        QCOMPARE(out.data(), QByteArray::fromHex("00000000" "00000000" "01"));

        tag.addItem(new TitleTagItem(QStringLiteral("a\r\nb")));
        tag.addItem(new TaggingDateTagItem(PartialDateTime(2020)));
        QCOMPARE(commentFields(renderTag(&tag)), QStringList({"TITLE=a\nb"}));
    }

    void skipCommentPacket()
    {
        AudioTag tag;
        tag.addItem(new TitleTagItem(QStringLiteral("t")));
        for (const bool framing : {false, true}) {
            const QByteArray packet = renderTag(&tag, QStringLiteral("vendor"), framing);
            IoStream stream(packet + "audio", QIODevice::ReadOnly);
            VorbisCommentSettings settings;
            settings.framingBit = framing;
            QCOMPARE(io()->skipCommentPacket(&stream, settings), int(packet.size()));
        }
        // A length past the data fails rather than reach into the audio.
        IoStream damaged(le32(1) + "v" + le32(1) + le32(50) + "A=b", QIODevice::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(Exception, io()->skipCommentPacket(&damaged, VorbisCommentSettings()));
    }

    void pictures()
    {
        const QByteArray png = pngBytes(3, 2);
        AudioTag tag;
        tag.addItem(new ArtworkTagItem(CodedImage(png), 3, QStringLiteral("front")));
        tag.addItem(new ArtworkTagItem(CodedImage(), 4, QString()));
        tag.addItem(new ArtworkTagItem(CodedImage(png), 5, QStringLiteral("leaflet")));

        // The picture without data is left out; the one after it is still written.
        const QStringList fields = commentFields(renderTag(&tag));
        QCOMPARE(fields.size(), 2);
        QVERIFY(fields[0].startsWith(QLatin1String("METADATA_BLOCK_PICTURE=")));
        const auto back = readPacket(commentPacket(QByteArray(), utf8(fields)));
        const QList<TagItem *> items = back->items(ArtworkTagItem::Type);
        QCOMPARE(items.size(), 2);
        const auto *first = static_cast<ArtworkTagItem *>(items[0]);
        QCOMPARE(first->image().data, png);
        QCOMPARE(first->pictureType, 3);
        QCOMPARE(first->description, QStringLiteral("front"));
        QCOMPARE(static_cast<ArtworkTagItem *>(items[1])->pictureType, 5);

        QCOMPARE(commentFields(renderTag(&tag, QString(), false, 0)), QStringList());
        const QStringList coverArt = commentFields(renderTag(&tag, QString(), false, 2));
        QCOMPARE(coverArt.size(), 4);
        QCOMPARE(coverArt[0], QStringLiteral("COVERARTMIME=image/png"));
        QCOMPARE(coverArt[1], QStringLiteral("COVERART=") + toBase64String(png));
        const auto fromCoverArt = readPacket(commentPacket(QByteArray(), utf8({coverArt[1]})));
        QCOMPARE(static_cast<ArtworkTagItem *>(fromCoverArt->item(ArtworkTagItem::Type))->image().data, png);

        // The type field of that form is not kept beside the picture, so a second save in the
        // same form writes it once; without a picture it stays as text.
        const auto withType = readPacket(commentPacket(QByteArray(), utf8({coverArt[0], coverArt[1]})));
        QCOMPARE(withType->itemCount(UserDefinedTextTagItem::Type), 0);
        QCOMPARE(commentFields(renderTag(withType.get(), QString(), false, 2)), coverArt.mid(0, 2));
        const auto typeAlone = readPacket(commentPacket(QByteArray(), utf8({coverArt[0]})));
        QCOMPARE(typeAlone->itemCount(UserDefinedTextTagItem::Type), 1);
    }

    void brokenPictureFieldKept()
    {
        // A block without image data: a warning, and the field survives as text.
        const QString value = toBase64String(pictureBody(3, "image/png", "", QByteArray()));
        CollectingLogger logger;
        const auto tag = readPacket(commentPacket(QByteArray(), utf8({"METADATA_BLOCK_PICTURE=" + value})));
        QVERIFY(!tag->contains(ArtworkTagItem::Type));
        QCOMPARE(tag->itemCount(TagItemType::UserDefinedText), 1);
        QVERIFY(logger.codes.contains(quint32(FlacStreamIo::PictureWithoutData)));
        QCOMPARE(commentFields(renderTag(tag.get())), QStringList({"METADATA_BLOCK_PICTURE=" + value}));
    }

    void linkedPictures()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray png = pngBytes(2, 2);
        QFile cover(dir.filePath(QStringLiteral("cover.png")));
        QVERIFY(cover.open(QIODevice::WriteOnly));
        cover.write(png);
        cover.close();
        QFile outside(dir.filePath(QStringLiteral("outside.png")));
        QVERIFY(outside.open(QIODevice::WriteOnly));
        outside.write(png);
        outside.close();
        QDir(dir.path()).mkdir(QStringLiteral("music"));
        const QString audio = dir.filePath(QStringLiteral("music/a.ogg"));
        QFile::copy(cover.fileName(), dir.filePath(QStringLiteral("music/cover.png")));

        const auto tag = readPacket(commentPacket(QByteArray(), {"COVERARTFILE=cover.png", "COVERARTFILE=..\\outside.png"}),
                                    audio);
        const QList<TagItem *> items = tag->items(ArtworkTagItem::Type);
        QCOMPARE(items.size(), 2);
        QCOMPARE(static_cast<ArtworkTagItem *>(items[0])->image().data, png);
        // A path out of the audio file's folder is not followed.
        QCOMPARE(static_cast<ArtworkTagItem *>(items[1])->linkedFile(), QStringLiteral("../outside.png"));
        QVERIFY(static_cast<ArtworkTagItem *>(items[1])->image().data.isEmpty());
    }

    void supportedItemTypes()
    {
        QList<int> expected;
        const QList<QPair<int, int>> ranges = {{0, 16},  {18, 21},  {23, 26},  {28, 32}, {34, 36},
                                               {38, 38}, {46, 46},  {48, 51},  {54, 62}, {66, 72},
                                               {83, 83}, {87, 87},  {89, 91},  {93, 99}, {101, 101},
                                               {104, 108}, {120, 125}};
        for (const auto &range : ranges) {
            for (int id = range.first; id <= range.second; ++id)
                expected.append(id);
        }
        QCOMPARE(expected.size(), 79);
        QCOMPARE(io()->supportedItemTypes(), expected);
        // Every carried type has exactly one row, and every key leads to one row.
        QSet<QString> keys;
        for (const VorbisCommentFieldRow &row : VorbisCommentFieldTable::rows()) {
            for (const QString &key : row.keys) {
                QVERIFY2(!keys.contains(key), qPrintable(key));
                keys.insert(key);
                QCOMPARE(VorbisCommentFieldTable::rowForKey(key)->itemType, row.itemType);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestVorbisComment)
#include "tst_vorbiscomment.moc"
