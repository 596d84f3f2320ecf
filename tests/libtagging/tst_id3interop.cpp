#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/util/partialdatetime.h"
#include "libtagging/id3/id3v2tagio.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/model/userdefinedtexttagitem.h"
#include "support_tags.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

#include "shared/support_tools.h"

namespace {
// Debian's interpreter, where python3-mutagen is installed.
const QString python = QStringLiteral("/usr/bin/python3");


bool hasMutagen()
{
    return QFile::exists(python) && run(python, {"-c", "import mutagen"});
}

// The frames mutagen reads from a file: hash key to the frame's texts.
QJsonObject mutagenFrames(const QString &path)
{
    const QString script = QStringLiteral(
        "import sys, json\n"
        "from mutagen.id3 import ID3\n"
        "t = ID3(sys.argv[1])\n"
        "out = {'version': t.version[1]}\n"
        "for f in t.values():\n"
        "    out[f.HashKey] = [str(x) for x in f.text] if hasattr(f, 'text') else str(f)\n"
        "print(json.dumps(out))\n");
    QByteArray output;
    if (!run(python, {"-c", script, path}, &output))
        return {};
    return QJsonDocument::fromJson(output).object();
}

std::unique_ptr<AudioTag> readFile(const QString &path)
{
    IoStream stream(path);
    stream.open(QIODevice::ReadOnly);
    TagInfo *info = Id3v2TagIo::instance()->detect(&stream, true, nullptr);
    if (!info)
        return nullptr;
    stream.seek(info->values.value(TagInfo::DataOffsetKey).toLongLong());
    return std::unique_ptr<AudioTag>(Id3v2TagIo::readTag(&stream, info, Id3v2Settings(), nullptr));
}

QString first(const QJsonObject &frames, const QString &key)
{
    const QJsonValue value = frames.value(key);
    return value.isArray() ? value.toArray().first().toString() : value.toString();
}
} // namespace

class TestId3Interop : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_audio; // a few KB of MPEG audio without tags

    QString m_missing; // why the tools the tests need are not there
private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (!hasTool(QStringLiteral("lame"))) {
            m_missing = QStringLiteral("lame is not installed (scripts/setup installs it)");
            return;
        }
        m_audio = m_dir.filePath("audio.mp3");
        QVERIFY(makeSilentMp3(m_dir.filePath("silence.raw"), m_audio));
        QVERIFY(QFileInfo(m_audio).size() > 0);
    }

    // Every test here needs the tools; each skips (or fails, where tools are required) alone.
    void init()
    {
        if (!m_missing.isEmpty())
            MELO_SKIP_TOOL(m_missing);
    }

    void writtenByUs_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("2.2") << 2;
        QTest::newRow("2.3") << 3;
        QTest::newRow("2.4") << 4;
    }
    void writtenByUs()
    {
        QFETCH(int, version);
        if (!hasMutagen())
            MELO_SKIP_TOOL("python3-mutagen is not installed for /usr/bin/python3 (scripts/setup installs it)");
        const QString title = QStringLiteral("T\u00eftle \u0141\u00f3d\u017a");
        const std::unique_ptr<AudioTag> tag(makeTag(
            3, {makeItem(TitleTagItem::Type, title), makeItem(ArtistTagItem::Type, "Artist"),
                makeItem(AlbumTagItem::Type, "Album"), makeItem(TrackNumberTagItem::Type, 3),
                makeItem(TrackCountTagItem::Type, 12), makeItem(GenreTagItem::Type, "Rock"),
                makeItem(ReleaseDateTagItem::Type, QVariant::fromValue(PartialDateTime(2009, 5, 23))),
                makeItem(AlbumMbidTagItem::Type, "album-id"), new UserDefinedTextTagItem("value", "Mine")}));
        Id3v2Settings settings;
        settings.version = version;
        IoStream out(QIODevice::ReadWrite);
        Id3v2TagIo::renderTag(&out, tag.get(), settings);
        QFile audio(m_audio);
        QVERIFY(audio.open(QIODevice::ReadOnly));
        const QString path = m_dir.filePath(QStringLiteral("ours%1.mp3").arg(version));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(out.data() + audio.readAll());
        file.close();

        const QJsonObject frames = mutagenFrames(path);
        QCOMPARE(frames.value("version").toInt(), version);
        QCOMPARE(first(frames, "TIT2"), title);
        QCOMPARE(first(frames, "TPE1"), QStringLiteral("Artist"));
        QCOMPARE(first(frames, "TALB"), QStringLiteral("Album"));
        QCOMPARE(first(frames, "TRCK"), QStringLiteral("3/12"));
        QCOMPARE(first(frames, "TCON"), QStringLiteral("Rock"));
        QCOMPARE(first(frames, "TXXX:MusicBrainz Album Id"), QStringLiteral("album-id"));
        QCOMPARE(first(frames, "TXXX:Mine"), QStringLiteral("value"));
        // Our own extra frame: every artist in one text.
        QCOMPARE(first(frames, "TXXX:Artists"), QStringLiteral("Artist"));
        // Versions 2.2 and 2.3 store year and day-month apart; mutagen joins them again.
        QCOMPARE(first(frames, "TDRC"), QStringLiteral("2009-05-23"));
    }

    void writtenByOthers_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("mutagen") << "mid3v2"
                                 << QStringList{"-t", "Title \u00e9", "-a", "Artist", "-A", "Album", "-T", "3/12", "-y",
                                                "2009", "-g", "Rock", "--TXXX", "MusicBrainz Album Id:album-id"}
                                 << true;
        QTest::newRow("eyeD3") << "eyeD3"
                               << QStringList{"--no-color", "-Q", "-t", "Title \u00e9", "-a", "Artist", "-A", "Album",
                                              "-n", "3", "-N", "12", "-Y", "2009", "-G", "Rock",
                                              "--user-text-frame", "MusicBrainz Album Id:album-id"}
                               << true;
        QTest::newRow("id3v2") << "id3v2"
                               << QStringList{"-t", "Title \u00e9", "-a", "Artist", "-A", "Album", "-T", "3/12", "-y",
                                              "2009", "-g", "17", "--TXXX", "MusicBrainz Album Id:album-id"}
                               << true;
        QTest::newRow("ffmpeg") << "ffmpeg"
                                << QStringList{"-v", "error", "-metadata", "title=Title \u00e9", "-metadata", "artist=Artist",
                                               "-metadata", "album=Album", "-metadata", "track=3/12", "-metadata",
                                               "date=2009", "-metadata", "genre=Rock", "-metadata",
                                               "MusicBrainz Album Id=album-id", "-id3v2_version", "3"}
                                << false;
    }
    void writtenByOthers()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(bool, inPlace);
        const QString executable = QStandardPaths::findExecutable(program);
        if (executable.isEmpty())
            MELO_SKIP_TOOL(program + " is not installed (scripts/setup installs it)");
        const QString path = m_dir.filePath(program + ".mp3");
        QFile::remove(path);
        if (inPlace) {
            QVERIFY(QFile::copy(m_audio, path));
            QVERIFY(run(executable, arguments << path));
        } else {
            QVERIFY(run(executable, QStringList{"-i", m_audio, "-c", "copy"} + arguments + QStringList{path}));
        }
        const auto tag = readFile(path);
        QVERIFY(tag);
        QCOMPARE(tag->itemText(TitleTagItem::Type), QStringLiteral("Title \u00e9"));
        QCOMPARE(tag->itemText(ArtistTagItem::Type), QStringLiteral("Artist"));
        QCOMPARE(tag->itemText(AlbumTagItem::Type), QStringLiteral("Album"));
        QCOMPARE(tag->itemText(TrackNumberTagItem::Type), QStringLiteral("3"));
        QCOMPARE(tag->itemText(TrackCountTagItem::Type), QStringLiteral("12"));
        QCOMPARE(static_cast<const DateTimeTagItem *>(tag->item(ReleaseDateTagItem::Type))->value.year(), 2009);
        QCOMPARE(tag->itemText(GenreTagItem::Type), QStringLiteral("Rock"));
        QCOMPARE(tag->itemText(AlbumMbidTagItem::Type), QStringLiteral("album-id"));
    }
};

QTEST_GUILESS_MAIN(TestId3Interop)
#include "tst_id3interop.moc"
