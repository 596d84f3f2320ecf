#include <QtTest>

#include "libcore/image/codedimage.h"
#include "libcore/io/iostream.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/lyricstagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/mp4/mp4box.h"
#include "libtagging/mp4/mp4streamio.h"

// Real files made by ffmpeg at test time, written by our MP4 writer and checked with ffmpeg
// (the audio decodes to the same samples) and python3-mutagen (our items are readable).
#include "shared/support_tools.h"

namespace {

const QString python = QStringLiteral("/usr/bin/python3");


bool haveFfmpeg()
{
    return run(QStringLiteral("ffmpeg"), {"-hide_banner", "-version"});
}

bool haveMutagen()
{
    return run(python, {"-c", "import mutagen.mp4"});
}


QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Offset of the first media data box.
qint64 mediaOffset(const QString &path)
{
    IoStream stream(path, QIODevice::ReadOnly);
    QObject parent;
    Mp4Box root{QString(), QByteArray()};
    root.appendChildren(Mp4StreamIo::parseBoxes(&stream, stream.size(), QString(), &parent));
    const QList<Mp4Box *> media = Mp4StreamIo::findBoxes(&root, "mdat");
    return media.isEmpty() ? -1 : media.first()->offset;
}

void writeTag(const QString &path, const AudioTag *tag)
{
    IoStream stream(path, QIODevice::ReadWrite);
    Mp4StreamIo::instance()->writeTags(&stream, tag, {}, nullptr);
}

QByteArray pngBytes()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TestMp4Interop : public QObject
{
    Q_OBJECT
    QString m_missing; // why the tools the tests need are not there
private slots:
    void initTestCase()
    {
        if (!haveFfmpeg())
            m_missing = QStringLiteral("ffmpeg is not installed: the real-file checks need it to make and decode files");
    }

    // Every test here needs the tools; each skips (or fails, where tools are required) alone.
    void init()
    {
        if (!m_missing.isEmpty())
            MELO_SKIP_TOOL(m_missing);
    }

    void writeRealFiles_data()
    {
        QTest::addColumn<QString>("codec");
        QTest::addColumn<bool>("faststart");
        QTest::addColumn<bool>("tagged");
        QTest::newRow("aac, index after the media") << "aac" << false << false;
        QTest::newRow("aac, index first, tagged") << "aac" << true << true;
        QTest::newRow("alac, index first") << "alac" << true << false;
        QTest::newRow("alac, index after the media, tagged") << "alac" << false << true;
    }
    void writeRealFiles()
    {
        QFETCH(QString, codec);
        QFETCH(bool, faststart);
        QFETCH(bool, tagged);
        QTemporaryDir dir;
        const QString path = dir.filePath("a.m4a");
        QStringList arguments = {"-v", "error", "-f", "lavfi", "-i", "sine=frequency=440:duration=1",
                                 "-c:a", codec};
        if (faststart)
            arguments << "-movflags" << "+faststart";
        if (tagged)
            arguments << "-metadata" << "title=Old title" << "-metadata" << "artist=Someone";
        arguments << path;
        QVERIFY(run("ffmpeg", arguments));
        const QString md5 = audioMd5(path);
        QVERIFY(md5 != QStringLiteral("<failed>"));

        {
            IoStream stream(path, QIODevice::ReadOnly);
            const AudioProperties properties = Mp4StreamIo::instance()->readAudioProperties(&stream, nullptr);
            QCOMPARE(properties.codec, codec == "aac" ? 5 : 6);
            QCOMPARE(properties.sampleRate, 44100);
            QCOMPARE(properties.channels, 1);
            QVERIFY2(qAbs(properties.duration - 1000) <= 50, qPrintable(QString::number(properties.duration)));
            QVERIFY(properties.bitrate > 0);
            stream.seek(0);
            QObject parent;
            const QList<AudioTag *> tags = Mp4StreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
            if (tagged) {
                QCOMPARE(tags.size(), 1);
                QCOMPARE(tags.first()->itemText(TagItemType::Title), QString("Old title"));
            }
        }

        AudioTag tag;
        tag.addItem(new TitleTagItem(QString::fromUtf8("Caf\xC3\xA9 title")));
        tag.addItem(new TrackNumberTagItem(3));
        tag.addItem(new TrackCountTagItem(10));
        tag.addItem(new AlbumMbidTagItem("1f0e3dad-9e5c-4b0a-8c1b-000000000001"));
        tag.addItem(new ArtworkTagItem(CodedImage(pngBytes()), 3, QString()));
        writeTag(path, &tag);
        QCOMPARE(audioMd5(path), md5);
        const qint64 placed = mediaOffset(path);

        // A second save of the same tag leaves the file as it is.
        const QByteArray once = readFile(path);
        writeTag(path, &tag);
        QCOMPARE(readFile(path), once);

        // An edit that fits the padding leaves the media data in place.
        tag.removeItems(TagItemType::Title);
        tag.addItem(new TitleTagItem("Short"));
        writeTag(path, &tag);
        QCOMPARE(mediaOffset(path), placed);
        QCOMPARE(audioMd5(path), md5);

        // Growth beyond the padding moves the media data when the index comes first;
        // shrinking afterwards leaves padding and the media data where it is.
        tag.addItem(new LyricsTagItem(QString(30000, 'l'), QString()));
        writeTag(path, &tag);
        QCOMPARE(audioMd5(path), md5);
        if (faststart)
            QVERIFY(mediaOffset(path) > placed + 30000);
        const qint64 grown = mediaOffset(path);
        tag.removeItems(TagItemType::Lyrics);
        writeTag(path, &tag);
        QCOMPARE(audioMd5(path), md5);
        if (faststart)
            QVERIFY(mediaOffset(path) < grown);

        if (!haveMutagen())
            MELO_SKIP_TOOL("python3-mutagen is not installed: the check that another reader sees our items is skipped");
        QByteArray out;
        QVERIFY(run(python, {"-c",
                             "import sys, mutagen.mp4\n"
                             "f = mutagen.mp4.MP4(sys.argv[1])\n"
                             "t = f.tags\n"
                             "print(t['\\xa9nam'][0])\n"
                             "print(t['trkn'][0])\n"
                             "print(len(t['covr']), t['covr'][0].imageformat == mutagen.mp4.MP4Cover.FORMAT_PNG)\n"
                             "print(bytes(t['----:com.apple.iTunes:MusicBrainz Album Id'][0]).decode())\n"
                             "print('\\xa9lyr' in t)\n",
                             path},
                        &out));
        QCOMPARE(QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts),
                 QStringList({"Short", "(3, 10)", "1 True", "1f0e3dad-9e5c-4b0a-8c1b-000000000001", "False"}));
    }

    // Removing the tag keeps the audio intact and leaves no items behind.
    void removeFromRealFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.m4a");
        QVERIFY(run("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "sine=duration=1", "-c:a", "aac", "-movflags",
                               "+faststart", "-metadata", "title=Gone", path}));
        const QString md5 = audioMd5(path);
        const qint64 placed = mediaOffset(path);
        {
            IoStream stream(path, QIODevice::ReadWrite);
            Mp4StreamIo::instance()->removeTags(&stream, {}, nullptr);
        }
        QCOMPARE(audioMd5(path), md5);
        QCOMPARE(mediaOffset(path), placed);
        IoStream stream(path, QIODevice::ReadOnly);
        QObject parent;
        QVERIFY(Mp4StreamIo::instance()->readTags(&stream, {}, nullptr, &parent).isEmpty());
    }

    // Through AudioFile what the shared interop table does not check: the CD table of
    // contents with the track number beside it, saved, read back by a new AudioFile (one
    // track number, though the file holds it twice) and by another reader; the audio stays
    // the same.
    void audioFileRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.m4a");
        QVERIFY(run("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "sine=duration=1", "-c:a", "aac", "-movflags",
                               "+faststart", "-metadata", "title=Original", path}));
        const QString md5 = audioMd5(path);
        const QString toc = QStringLiteral("1a2b+36864+2+0+16384");
        {
            AudioFile audio(path);
            audio.readTags(0, true);
            AudioTag *tag = audio.tag(0);
            QVERIFY(tag);
            QCOMPARE(tag->itemText(TagItemType::Title), QStringLiteral("Original"));
            tag->addItem(new TrackNumberTagItem(3));
            tag->addItem(new TrackCountTagItem(12));
            tag->addItem(DiscTocTagItem::fromText(toc));
            audio.writeTags(0);
        }
        QCOMPARE(audioMd5(path), md5);

        AudioFile reread(path);
        reread.readTags(0, true);
        const AudioTag *tag = reread.tag(0);
        QVERIFY(tag);
        QCOMPARE(tag->itemText(TagItemType::Title), QStringLiteral("Original"));
        QCOMPARE(tag->itemCount(TagItemType::TrackNumber), 1);
        QCOMPARE(tag->itemText(TagItemType::TrackNumber), QStringLiteral("3"));
        const auto *readToc = static_cast<const DiscTocTagItem *>(tag->item(DiscTocTagItem::Type));
        QVERIFY(readToc);
        QCOMPARE(readToc->toText(DiscTocTextForm::DiscIdTrackList), toc);
        QVERIFY(reread.audioProperties().valid);

        if (!haveMutagen())
            MELO_SKIP_TOOL("python3-mutagen is not installed: the check that another reader sees our items is skipped");
        QByteArray out;
        QVERIFY(run(python, {"-c",
                             "import sys, mutagen.mp4\n"
                             "t = mutagen.mp4.MP4(sys.argv[1]).tags\n"
                             "print(t['trkn'][0])\n"
                             "print(bytes(t['----:com.apple.iTunes:iTunes_CDDB_1'][0]).decode())\n"
                             "print(bytes(t['----:com.apple.iTunes:iTunes_CDDB_TrackNumber'][0]).decode())\n",
                             path},
                        &out));
        QCOMPARE(QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts),
                 QStringList({"(3, 12)", toc, "3"}));
    }
};

QTEST_GUILESS_MAIN(TestMp4Interop)
#include "tst_mp4interop.moc"
