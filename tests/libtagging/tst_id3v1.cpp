#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/util/partialdatetime.h"
#include "libtagging/id3/id3v1genretable.h"
#include "libtagging/id3/id3v1tagio.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/taginfo.h"
#include "support_tags.h"

#include <memory>

namespace {
// A 128-byte tag: each field's bytes zero-padded to its width.
QByteArray id3v1(const QByteArray &title, const QByteArray &year = "", const QByteArray &comment = "",
                 int genre = 255, int byte125 = 0, int byte126 = 0)
{
    auto field = [](QByteArray bytes, int width) {
        bytes.resize(width, '\0');
        return bytes;
    };
    QByteArray tag = "TAG" + field(title, 30) + field("Artist", 30) + field("Album", 30) + field(year, 4)
                     + field(comment, 30) + char(genre);
    if (byte125 || byte126) {
        tag[125] = char(byte125);
        tag[126] = char(byte126);
    }
    return tag;
}

std::unique_ptr<AudioTag> readTag(const QByteArray &bytes, TagInfo **infoOut = nullptr)
{
    IoStream stream(bytes, QIODevice::ReadOnly);
    stream.seek(bytes.size());
    TagInfo *info = Id3v1TagIo::instance()->detect(&stream, false, nullptr);
    if (!info)
        return nullptr;
    if (infoOut)
        *infoOut = info;
    stream.seek(info->values.value(TagInfo::DataOffsetKey).toLongLong());
    return std::unique_ptr<AudioTag>(Id3v1TagIo::instance()->read(&stream, info, nullptr, nullptr));
}

QByteArray render(const AudioTag *tag, int textEncoding = 2)
{
    Id3v1Settings settings;
    settings.textEncoding = textEncoding;
    IoStream out(QIODevice::ReadWrite);
    Id3v1TagIo::renderTag(&out, tag, settings);
    return out.data();
}
} // namespace

class TestId3v1 : public QObject
{
    Q_OBJECT
private slots:
    void genreTable()
    {
        const auto &genres = Id3v1TagIo::genres();
        QCOMPARE(genres.size(), 148);
        QCOMPARE(genres.value(0), QStringLiteral("Blues"));
        QCOMPARE(genres.value(17), QStringLiteral("Rock"));
        QCOMPARE(genres.value(67), QStringLiteral("Psychadelic"));
        QCOMPARE(genres.value(147), QStringLiteral("Synthpop"));
        QVERIFY(!genres.contains(148));
        // No two names share a comparison key.
        QCOMPARE(Id3v1TagIo::genreNumbers().size(), 148);
        const QStringList &sorted = Id3v1TagIo::sortedGenreNames();
        QCOMPARE(sorted.size(), 148);
        QCOMPARE(sorted.first(), QStringLiteral("A capella"));
        QVERIFY(std::is_sorted(sorted.begin(), sorted.end()));
        QVERIFY(sorted.indexOf("Hard Rock") < sorted.indexOf("Hardcore"));
    }
    void genreNumber_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("case, spaces, punctuation") << "rock & roll" << 78;
        QTest::newRow("exact") << "Hip-Hop" << 7;
        QTest::newRow("unknown") << "Jazzrock" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void genreNumber()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QCOMPARE(Id3v1GenreTable::genreNumber(name), number);
    }

    void detect_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<int>("version");
        QTest::newRow("tag alone, no room for APE check") << id3v1("T") << qint64(0) << 0;
        QTest::newRow("after audio") << QByteArray(50, 'x') + id3v1("T") << qint64(50) << 0;
        QTest::newRow("1.1 layout") << id3v1("T", "", "", 255, 0, 7) << qint64(0) << 1;
        QTest::newRow("too short") << id3v1("T").left(127) << qint64(-1) << 0;
        QTest::newRow("no marker") << QByteArray(128, 'x') << qint64(-1) << 0;
        QTest::newRow("marker of an APE footer") << QByteArray("APETAGEX") + QByteArray(152, 'y') << qint64(-1) << 0;
    }
    void detect()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, offset);
        QFETCH(int, version);
        IoStream stream(bytes, QIODevice::ReadOnly);
        QVERIFY(!Id3v1TagIo::instance()->detect(&stream, true, nullptr));
        stream.seek(bytes.size());
        std::unique_ptr<TagInfo> info(Id3v1TagIo::instance()->detect(&stream, false, nullptr));
        QCOMPARE(info ? info->offset() : qint64(-1), offset);
        if (info) {
            QCOMPARE(info->tagType(), 2);
            QCOMPARE(info->size(), 128);
            QCOMPARE(info->version(), version);
            QCOMPARE(info->values.value(TagInfo::DataOffsetKey).toLongLong(), offset + 3);
            QCOMPARE(info->values.value(TagInfo::RawDataKey).toByteArray(), bytes.right(128));
            QCOMPARE(stream.pos(), bytes.size());
        }
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("items");
        const QString head = "104:T|11:Artist|1:Album";
        QTest::newRow("1.1: track, 28-byte comment")
            << id3v1("T", "1999", QByteArray(28, 'c'), 17, 0, 7)
            << (head + "|94:1999|21:" + QString(28, 'c') + "|108:7|48:Rock").split('|');
        QTest::newRow("1.0: 30-byte comment, no track")
            << id3v1("T", "    ", QByteArray(30, 'c'), 200)
            << (head + "|21:" + QString(30, 'c')).split('|');
        QTest::newRow("blank title, genre 255") << id3v1("   ", "", "", 255) << QString("11:Artist|1:Album").split('|');
        QTest::newRow("UTF-8 detected") << id3v1("caf\xc3\xa9") << QString("104:caf\u00e9|11:Artist|1:Album").split('|');
        QTest::newRow("Latin-1 detected") << id3v1("caf\xe9") << QString("104:caf\u00e9|11:Artist|1:Album").split('|');
        // Accented letters and a tab read much like UTF-16 without a mark; a fixed field
        // cut at its first zero byte holds no such text.
        QTest::newRow("Latin-1 with a tab is no UTF-16")
            << id3v1("\xc9t\xe9\t\xc7" "a") << QString("104:\u00c9t\u00e9\t\u00c7a|11:Artist|1:Album").split('|');
        QTest::newRow("line break read as line feed")
            << id3v1("a\r\nb") << QString("104:a\nb|11:Artist|1:Album").split('|');
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, items);
        const auto tag = readTag(bytes);
        QVERIFY(tag);
        QCOMPARE(describe(tag.get()), items);
        QCOMPARE(tag->tagType(), 2);
    }
    void readRefusesForeignInfo()
    {
        IoStream stream(id3v1("T"), QIODevice::ReadOnly);
        auto *info = new TagInfo;
        info->values.insert(TagInfo::TagTypeKey, 3);
        try {
            delete Id3v1TagIo::instance()->read(&stream, info, nullptr, nullptr);
            QFAIL("read a foreign tag record");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(Id3v1TagIo::NotAnId3v1Tag));
        }
        delete info;
    }

    void render_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("genre by key") << int(GenreTagItem::Type) << QVariant("rock & roll") << 127 << QByteArray("\x4e");
        QTest::newRow("unknown genre") << int(GenreTagItem::Type) << QVariant("Jazzrock") << 127 << QByteArray("\xff");
        QTest::newRow("track 12") << int(TrackNumberTagItem::Type) << QVariant(12) << 125 << QByteArray("\x00\x0c", 2);
        QTest::newRow("track 256 keeps 1.0") << int(TrackNumberTagItem::Type) << QVariant(256) << 125
                                             << QByteArray("\x00\x00", 2);
        QTest::newRow("year") << int(ReleaseDateTagItem::Type) << QVariant::fromValue(PartialDateTime(999, 5))
                              << 93 << QByteArray("0999");
        QTest::newRow("comment line break CR LF") << int(CommentTagItem::Type) << QVariant("a\nb") << 97
                                                  << QByteArray("a\r\nb\0", 5);
    }
    void render()
    {
        QFETCH(int, type);
        QFETCH(QVariant, value);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        const std::unique_ptr<AudioTag> tag(makeTag(2, {makeItem(type, value)}));
        const QByteArray rendered = ::render(tag.get());
        QCOMPARE(rendered.size(), 128);
        QVERIFY(rendered.startsWith("TAG"));
        QCOMPARE(rendered.mid(offset, bytes.size()).toHex(), bytes.toHex());
    }
    void renderTextEncodings_data()
    {
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("2, fits Latin-1") << 2 << "caf\u00e9" << QByteArray("caf\xe9");
        QTest::newRow("2, beyond Latin-1") << 2 << "\u0141\u00f3" << QByteArray("\xc5\x81\xc3\xb3");
        // Latin-1 bytes the reader would take for a UTF-16 byte order mark.
        QTest::newRow("2, Latin-1 that reads as UTF-16") << 2 << "\u00fe\u00ffAlbumA"
                                                          << QByteArray("\xc3\xbe\xc3\xbf" "AlbumA");
        QTest::newRow("0 drops what does not fit") << 0 << "a\u0141b" << QByteArray("ab");
        QTest::newRow("1 always UTF-8") << 1 << "\u00e9" << QByteArray("\xc3\xa9");
        QTest::newRow("cut before a split character") << 1 << QString(29, 'x') + "\u00e9" << QByteArray(29, 'x');
    }
    void renderTextEncodings()
    {
        QFETCH(int, encoding);
        QFETCH(QString, title);
        QFETCH(QByteArray, bytes);
        const std::unique_ptr<AudioTag> tag(makeTag(2, {makeItem(TitleTagItem::Type, title)}));
        QByteArray expected = bytes;
        expected.resize(30, '\0');
        QCOMPARE(::render(tag.get(), encoding).mid(3, 30).toHex(), expected.toHex());
    }
    void commentBeforeTrackEndsWholeCharacter()
    {
        // 27 ASCII bytes and a two-byte character: 29 bytes do not fit the 28 left by a track.
        const QString comment = QString(27, 'c') + QStringLiteral("\u00e9");
        const std::unique_ptr<AudioTag> tag(
            makeTag(2, {makeItem(CommentTagItem::Type, comment), makeItem(TrackNumberTagItem::Type, 3)}));
        const QByteArray rendered = ::render(tag.get(), 1);
        QCOMPARE(rendered.mid(97, 30).toHex(), (QByteArray(27, 'c') + QByteArray("\0\0\3", 3)).toHex());
        const auto back = readTag(rendered);
        QCOMPARE(back->itemText(CommentTagItem::Type), QString(27, 'c'));
        QCOMPARE(back->itemText(TrackNumberTagItem::Type), QStringLiteral("3"));
    }
    void roundTrip()
    {
        const std::unique_ptr<AudioTag> tag(makeTag(2, {makeItem(TitleTagItem::Type, "Title \u00e9"),
                                                        makeItem(ArtistTagItem::Type, "Artist"),
                                                        makeItem(AlbumTagItem::Type, "\u0141\u00f3d\u017a"),
                                                        makeItem(ReleaseDateTagItem::Type, QVariant::fromValue(PartialDateTime(2004))),
                                                        makeItem(CommentTagItem::Type, "Comment"),
                                                        makeItem(TrackNumberTagItem::Type, 9),
                                                        makeItem(GenreTagItem::Type, "Synthpop")}));
        const auto back = readTag(::render(tag.get()));
        QCOMPARE(describe(back.get()), describe(tag.get()));
    }
    void renderRefusesUnknownEncoding()
    {
        const std::unique_ptr<AudioTag> tag(makeTag(2, {makeItem(TitleTagItem::Type, "T")}));
        Id3v1Settings settings;
        settings.textEncoding = 3;
        IoStream out(QIODevice::ReadWrite);
        try {
            Id3v1TagIo::renderTag(&out, tag.get(), settings);
            QFAIL("rendered with an unknown encoding");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(Id3v1TagIo::InvalidTextEncoding));
        }
        QCOMPARE(out.size(), 0);
    }
    void supportedItemTypes()
    {
        QCOMPARE(Id3v1TagIo::instance()->supportedItemTypes(), (QList<int>{1, 11, 21, 48, 94, 104, 108}));
    }
};

QTEST_GUILESS_MAIN(TestId3v1)
#include "tst_id3v1.moc"
