#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/lyricstagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/synchronizedlyricstagitem.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/plain/lyrics3tagio.h"

namespace {

QByteArray field(const char *id, const QByteArray &data)
{
    return QByteArray(id) + QByteArray::number(data.size()).rightJustified(5, '0') + data;
}

QByteArray version2(const QByteArray &fields, const QByteArray &sizeText = QByteArray())
{
    const QByteArray body = "LYRICSBEGIN" + fields;
    return body + (sizeText.isEmpty() ? QByteArray::number(body.size()).rightJustified(6, '0') : sizeText)
           + "LYRICS200";
}

QByteArray id3v1()
{
    return QByteArray("TAG").leftJustified(128, '\0');
}

// The tag that ends the stream, found and read as the tag stack does; null when none is found.
AudioTag *readBack(IoStream &in, QObject *parent)
{
    in.seek(in.size());
    TagInfo *info = Lyrics3TagIo::instance()->detect(&in, false, nullptr);
    if (!info)
        return nullptr;
    in.seek(info->values.value(TagInfo::DataOffsetKey).toLongLong());
    return Lyrics3TagIo::instance()->read(&in, info, nullptr, parent);
}

} // namespace

class TestLyrics3 : public QObject
{
    Q_OBJECT
private slots:
    void detect_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("end");
        QTest::addColumn<qint64>("offset"); // -1: none
        QTest::addColumn<int>("version");
        const QByteArray audio(200, 'a');
        const QByteArray v2 = version2(field("IND", "000") + field("ETT", "Title"));
        QTest::newRow("version 2 before ID3v1") << audio + v2 + id3v1() << qint64(200 + v2.size()) << qint64(200) << 2;
        const QByteArray spaced = version2(field("ETT", "Title"), QByteArray::number(11 + 13).rightJustified(6, ' '));
        QTest::newRow("size padded with spaces") << audio + spaced << qint64(200 + spaced.size()) << qint64(200) << 2;
        QTest::newRow("size beyond the stream") << audio + version2(field("ETT", "x"), "999999")
                                                << qint64(200 + 11 + 9 + 15) << qint64(-1) << 0;
        QTest::newRow("size not a number") << audio + version2(field("ETT", "x"), "12x456") << qint64(200 + 35)
                                           << qint64(-1) << 0;
        const QByteArray v1 = QByteArray("LYRICSBEGIN") + "some words" + "LYRICSEND";
        QTest::newRow("version 1") << audio + v1 << qint64(200 + v1.size()) << qint64(200) << 1;
        const QByteArray far = QByteArray("LYRICSBEGIN") + QByteArray(5200, 'w') + "LYRICSEND";
        QTest::newRow("version 1 beyond 5120 bytes") << far << qint64(far.size()) << qint64(-1) << 0;
        QTest::newRow("nothing") << audio << qint64(200) << qint64(-1) << 0;
    }
    void detect()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, end);
        QFETCH(qint64, offset);
        QFETCH(int, version);
        IoStream stream(bytes, QIODevice::ReadOnly);
        stream.seek(end);
        std::unique_ptr<TagInfo> info(Lyrics3TagIo::instance()->detect(&stream, false, nullptr));
        if (offset < 0) {
            QVERIFY(!info);
            return;
        }
        QVERIFY(info);
        QCOMPARE(info->offset(), offset);
        QCOMPARE(info->offset() + info->size(), end);
        QCOMPARE(info->version(), version);
        QCOMPARE(info->values.value(TagInfo::RawDataKey).toByteArray(), bytes.mid(offset, end - offset));
    }

    void parseLyrics_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("plain");       // a plain lyrics item, or
        QTest::addColumn<QStringList>("lines");   // "time text" of synchronized lines
        QTest::newRow("timestamps") << "intro\n[00:05][00:10]chorus\n[01:00]end" << QString()
                                    << QStringList{"0 intro", "5000 chorus", "10000 chorus", "60000 end"};
        QTest::newRow("no timestamp") << "  just words\n" << "just words" << QStringList();
        QTest::newRow("one-digit minutes are text") << "[0:05]x" << "[0:05]x" << QStringList();
        QTest::newRow("a timestamp alone") << "[00:05]" << QString() << QStringList();
        // No time before the start can be written back: a signed number makes no stamp.
        QTest::newRow("signed numbers are text") << "[00:05]a[00:-1]b[+1:00]c" << QString()
                                                 << QStringList{"5000 a[00:-1]b[+1:00]c"};
        QTest::newRow("sorted by time") << "[00:10]b[00:05]a" << QString() << QStringList{"5000 a", "10000 b"};
        // Enough lines of one time that an unstable sort would mix them up.
        QString many = QStringLiteral("[00:09]last");
        QStringList manyLines;
        for (int i = 0; i < 40; ++i) {
            many += QStringLiteral("[00:01]l%1").arg(i);
            manyLines.append(QStringLiteral("1000 l%1").arg(i));
        }
        QTest::newRow("lines of one time keep their order") << many << QString() << manyLines + QStringList{"9000 last"};
    }
    void parseLyrics()
    {
        QFETCH(QString, text);
        QFETCH(QString, plain);
        QFETCH(QStringList, lines);
        QObject parent;
        TagItem *item = Lyrics3TagIo::parseLyrics(text, &parent);
        if (!plain.isEmpty()) {
            QVERIFY(item);
            QCOMPARE(item->type(), int(TagItemType::Lyrics));
            QCOMPARE(item->toString(), plain);
        } else if (lines.isEmpty()) {
            QVERIFY(!item);
        } else {
            QVERIFY(item);
            QCOMPARE(item->type(), int(TagItemType::SynchronizedLyrics));
            QStringList got;
            for (const SynchronizedLyricsLine &line : static_cast<SynchronizedLyricsTagItem *>(item)->lines)
                got.append(QStringLiteral("%1 %2").arg(line.time).arg(line.text));
            QCOMPARE(got, lines);
        }
    }

    void renderEmpty()
    {
        AudioTag tag;
        IoStream out(QIODevice::ReadWrite);
        Lyrics3TagIo::instance()->render(&out, &tag, nullptr);
        QCOMPARE(out.data(), QByteArray("LYRICSBEGININD00003000000022LYRICS200"));
    }

    void roundTrip()
    {
        AudioTag tag;
        tag.addItem(new TitleTagItem(QStringLiteral("Tïtle")));
        tag.addItem(new AlbumTagItem(QStringLiteral("日本")));
        tag.addItem(new CommentTagItem("a\nb", QString()));
        tag.addItem(new SynchronizedLyricsTagItem(QString(), 1, {{"late", 6000000}, {"first", 1000}}));
        tag.addItem(new UnknownLyrics3StringTagItem("ABCD", "four letters"));
        tag.addItem(new UnknownLyrics3StringTagItem("AB", "two letters"));
        IoStream out(QIODevice::ReadWrite);
        out.setName(QStringLiteral("/nonexistent/a.mp3"));
        Lyrics3TagIo::instance()->render(&out, &tag, nullptr);
        const QByteArray bytes = out.data();
        QVERIFY(bytes.contains("IND00003110"));
        QVERIFY(bytes.contains("[99:59]late\r\n"));
        QVERIFY(bytes.contains(field("ABC", "four letters")));
        QVERIFY(bytes.contains(QByteArray("AB\0", 3) + "00011two letters"));
        QVERIFY(bytes.contains(field("INF", "a\r\nb")));

        IoStream in(bytes, QIODevice::ReadOnly);
        in.setName(QStringLiteral("/nonexistent/a.mp3"));
        QObject parent;
        AudioTag *back = readBack(in, &parent);
        QVERIFY(back);
        QCOMPARE(back->itemText(TagItemType::Title), QStringLiteral("Tïtle"));
        QCOMPARE(back->itemText(TagItemType::Album), QStringLiteral("日本"));
        QCOMPARE(back->itemText(TagItemType::Comment), QStringLiteral("a\nb"));
        const auto *sync = static_cast<SynchronizedLyricsTagItem *>(back->item(TagItemType::SynchronizedLyrics));
        QVERIFY(sync);
        QCOMPARE(sync->lines.size(), 2);
        QCOMPARE(sync->lines[0].text, QStringLiteral("first"));
        QCOMPARE(sync->lines[1].time, 5999000);
        QCOMPARE(back->items(TagItemType::UnknownLyrics3String).size(), 2);
    }

    // Short ISO 8859-1 text with many line breaks is not taken for single-byte text by the
    // reader's guess; written as ISO 8859-1 it came back as UTF-16.
    void latin1TextWithLineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("umlaut, four short lines") << QStringLiteral("Über\nalles\nzu\nmir");
        QTest::newRow("ascii only") << QStringLiteral("a\nb\nc\nd");
        QTest::newRow("accents, one line") << QStringLiteral("Déjà vu");
    }
    void latin1TextWithLineBreaks()
    {
        QFETCH(QString, text);
        AudioTag tag;
        tag.addItem(new CommentTagItem(text, QString()));
        IoStream out(QIODevice::ReadWrite);
        Lyrics3TagIo::instance()->render(&out, &tag, nullptr);

        IoStream in(out.data(), QIODevice::ReadOnly);
        QObject parent;
        AudioTag *back = readBack(in, &parent);
        QVERIFY(back);
        QCOMPARE(back->itemText(TagItemType::Comment), text);
    }

    void imageLinks()
    {
        const QByteArray bytes = version2(field("IMG", "cover.jpg||Front side||\r\nC:\\pics\\back.png"));
        IoStream in(bytes, QIODevice::ReadOnly);
        in.setName(QStringLiteral("/nonexistent/a.mp3"));
        QObject parent;
        AudioTag *tag = readBack(in, &parent);
        QVERIFY(tag);
        const QList<TagItem *> pictures = tag->items(TagItemType::Artwork);
        QCOMPARE(pictures.size(), 2);
        const auto *first = static_cast<ArtworkTagItem *>(pictures[0]);
        const auto *second = static_cast<ArtworkTagItem *>(pictures[1]);
        QCOMPARE(first->linkedFile(), QStringLiteral("cover.jpg"));
        QCOMPARE(first->description, QStringLiteral("Front side"));
        QCOMPARE(second->linkedFile(), QStringLiteral("C:/pics/back.png"));
        QVERIFY(second->description.isEmpty());
        QCOMPARE(first->pictureType, 3);
        // Links leading out of the audio file's folder load nothing.
        QVERIFY(second->image().isEmpty());
    }

    void badFieldSize()
    {
        const QByteArray bytes = version2(QByteArray("ETT00x05Title"));
        IoStream in(bytes, QIODevice::ReadOnly);
        QObject parent;
        try {
            readBack(in, &parent);
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(Lyrics3TagIo::BadFieldSize));
        }
        QVERIFY(parent.children().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLyrics3)
#include "tst_lyrics3.moc"
