#include <QtTest>

#include "libcore/locale/localetables.h"
#include "libtagging/id3/id3v2settings.h"
#include "libtagging/model/tagtypeoption.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/plaintagitems.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <cmath>

// An MP3 made by lame, tagged through AudioFile the way the program saves a file: other
// readers find the values, the audio decodes as before, and the layout follows the padding.
#include "shared/support_tools.h"

namespace {
// Debian's interpreter, where python3-mutagen is installed.
const QString python = QStringLiteral("/usr/bin/python3");


// What mutagen reads: the ID3v2 frames by hash key and the APE items by key.
QJsonObject mutagenView(const QString &path)
{
    const QString script = QStringLiteral(
        "import sys, json\n"
        "from mutagen.id3 import ID3\n"
        "from mutagen.apev2 import APEv2, APENoHeaderError\n"
        "t = ID3(sys.argv[1])\n"
        "out = {'version': t.version[1]}\n"
        "for f in t.values():\n"
        "    out[f.HashKey] = '|'.join(str(x) for x in f.text) if hasattr(f, 'text') else str(f)\n"
        "try:\n"
        "    for k, v in APEv2(sys.argv[1]).items():\n"
        "        out['APE:' + k] = '|'.join(str(v).split('\\0'))\n"
        "except APENoHeaderError:\n"
        "    pass\n"
        "print(json.dumps(out))\n");
    QByteArray output;
    if (!run(python, {"-c", script, path}, &output))
        return {};
    return QJsonDocument::fromJson(output).object();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The whole length of the ID3v2 tag at the start, 0 without one.
qint64 id3v2Length(const QByteArray &bytes)
{
    if (!bytes.startsWith("ID3") || bytes.size() < 10)
        return 0;
    const quint32 field = qFromBigEndian<quint32>(bytes.constData() + 6);
    return 10 + ((field >> 3 & 0x0FE00000) | (field >> 2 & 0x1FC000) | (field >> 1 & 0x3F80) | (field & 0x7F));
}

// Writes the merged tag after edit has changed it, with the options the test sets.
void save(const QString &path, const std::function<void(AudioTag *)> &edit, bool updateTaggingDate = false,
          bool withApe = false, const std::function<void(Id3v2Settings &)> &id3v2 = {})
{
    AudioFile file(path);
    file.taggingSettings.updateTaggingDate = updateTaggingDate;
    if (withApe) {
        file.taggingSettings.writtenTagTypes.insert(
            1, {{TagType::Id3v1, TagTypeMode::Write}, {TagType::Id3v2, TagTypeMode::Write},
                {TagType::Lyrics3, TagTypeMode::Remove}, {TagType::Ape, TagTypeMode::Write}});
    }
    if (id3v2)
        id3v2(file.taggingSettings.id3v2);
    file.readTags();
    edit(file.tag(0));
    file.writeTags();
}
} // namespace

class TestMp3Interop : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_audio; // one second of a tone, no tags
    QString m_md5;

    QString copyOfAudio(const QString &name) { return writableCopy(m_audio, m_dir.filePath(name)); }

    QString m_missing; // why the tools the tests need are not there
private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Language codes come from the tables of the core package.
        QVERIFY(QResource::registerResource(QCoreApplication::applicationDirPath() + "/libcore.rcc",
                                            QStringLiteral(":/libcore")));
        const QString lame = QStandardPaths::findExecutable("lame");
        if (lame.isEmpty() || QStandardPaths::findExecutable("ffmpeg").isEmpty()) {
            m_missing = QStringLiteral("lame or ffmpeg is not installed (scripts/setup installs them)");
            return;
        }
        if (!QFile::exists(python) || !run(python, {"-c", "import mutagen"})) {
            m_missing = QStringLiteral("python3-mutagen is not installed for /usr/bin/python3 (scripts/setup installs it)");
            return;
        }
        QByteArray pcm;
        for (int i = 0; i < 44100; ++i) {
            const qint16 sample = qint16(8000 * std::sin(2 * M_PI * 440 * i / 44100.0));
            pcm.append(char(sample & 0xFF)).append(char(sample >> 8 & 0xFF));
        }
        const QString raw = m_dir.filePath("tone.raw");
        QFile file(raw);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(pcm);
        file.close();
        m_audio = m_dir.filePath("tone.mp3");
        QVERIFY(run(lame, {"--quiet", "-r", "-s", "44.1", "--bitwidth", "16", "-m", "m", "--signed", "--little-endian",
                           "-b", "64", raw, m_audio}));
        m_md5 = audioMd5(m_audio);
        QVERIFY(m_md5.startsWith("MD5="));
    }

    // Every test here needs the tools; each skips (or fails, where tools are required) alone.
    void init()
    {
        if (!m_missing.isEmpty())
            MELO_SKIP_TOOL(m_missing);
    }

    // The values set through AudioFile come back in mutagen from the ID3v2 and APE tags, in
    // every version and text encoding we write.
    void valuesReadByMutagen_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("textEncoding");
        QTest::addColumn<bool>("useUnsync");
        QTest::newRow("2.3, defaults") << 3 << 6 << false;
        QTest::newRow("2.4, unsynchronised, UTF-8") << 4 << 4 << true;
        QTest::newRow("2.3, unsynchronised, UTF-16") << 3 << 2 << true;
        QTest::newRow("2.2") << 2 << 6 << false;
    }
    void valuesReadByMutagen()
    {
        QFETCH(int, version);
        QFETCH(int, textEncoding);
        QFETCH(bool, useUnsync);
        const QString path = copyOfAudio("values.mp3");
        const QString title = QStringLiteral("T\u00eftle \u0141\u00f3d\u017a");
        save(
            path,
            [&](AudioTag *tag) {
                tag->setItemValue(TitleTagItem::Type, title);
                tag->setItemValue(ArtistTagItem::Type, QStringLiteral("Ann"));
                tag->setItemValue(AlbumTagItem::Type, QStringLiteral("Album"));
                tag->setItemValue(TrackNumberTagItem::Type, 3);
                tag->setItemValue(TrackCountTagItem::Type, 12);
                tag->setItemValue(GenreTagItem::Type, QStringLiteral("Rock"));
                tag->addItem(new CommentTagItem(QStringLiteral("tr\u00e8s bien"), QString(), languageByCode("fra")));
            },
            false, true,
            [&](Id3v2Settings &s) {
                s.version = version;
                s.textEncoding = textEncoding;
                s.useUnsync = useUnsync;
            });
        QCOMPARE(audioMd5(path), m_md5);

        const QJsonObject view = mutagenView(path);
        QCOMPARE(view.value("version").toInt(), version);
        QCOMPARE(view.value("TIT2").toString(), title);
        QCOMPARE(view.value("TPE1").toString(), QStringLiteral("Ann"));
        QCOMPARE(view.value("TALB").toString(), QStringLiteral("Album"));
        QCOMPARE(view.value("TRCK").toString(), QStringLiteral("3/12"));
        QCOMPARE(view.value("TCON").toString(), QStringLiteral("Rock"));
        // The comment keeps its language.
        QCOMPARE(view.value("COMM::fra").toString(), QStringLiteral("tr\u00e8s bien"));
        QCOMPARE(view.value("APE:Title").toString(), title);
        QCOMPARE(view.value("APE:Artist").toString(), QStringLiteral("Ann"));
        QCOMPARE(view.value("APE:Album").toString(), QStringLiteral("Album"));
        QCOMPARE(view.value("APE:Track").toString(), QStringLiteral("3/12"));
        QCOMPARE(view.value("APE:Comment").toString(), QStringLiteral("tr\u00e8s bien"));

        // And we read back what we wrote, one artist and all.
        AudioFile file(path);
        file.readTags();
        QCOMPARE(file.tag(0)->itemText(TitleTagItem::Type), title);
        QCOMPARE(file.tag(0)->itemTexts(ArtistTagItem::Type), QStringList{"Ann"});
        QCOMPARE(file.tag(TagType::Ape)->itemTexts(ArtistTagItem::Type), QStringList{"Ann"});
        QCOMPARE(file.tag(TagType::Id3v1)->itemText(AlbumTagItem::Type), QStringLiteral("Album"));
    }

    // Files tagged by other programs: our save replaces their title, keeps their other
    // values, removes the APE tag the default options remove, and leaves the audio alone.
    void othersTagsReplaced_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("id3v2, ID3v2.3 and ID3v1") << "id3v2" << QStringList{"-a", "Artist", "-t", "Old", "-c", "fine"};
        QTest::newRow("eyeD3, ID3v2.4") << "eyeD3" << QStringList{"--no-color", "-Q", "-a", "Artist", "-t", "Old"};
        QTest::newRow("mutagen, APE") << python
                                      << QStringList{"-c", "import sys\nfrom mutagen.apev2 import APEv2\n"
                                                           "t = APEv2()\nt['Artist'] = 'Artist'\nt['Title'] = 'Old'\n"
                                                           "t.save(sys.argv[1])\n"};
    }
    void othersTagsReplaced()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        const QString executable = program.startsWith('/') ? program : QStandardPaths::findExecutable(program);
        if (executable.isEmpty())
            MELO_SKIP_TOOL(program + " is not installed (scripts/setup installs it)");
        const QString path = copyOfAudio("others.mp3");
        QVERIFY(run(executable, arguments << path));
        QCOMPARE(audioMd5(path), m_md5);

        save(path, [](AudioTag *tag) { tag->setItemValue(TitleTagItem::Type, QStringLiteral("New")); });
        QCOMPARE(audioMd5(path), m_md5);
        const QJsonObject view = mutagenView(path);
        QCOMPARE(view.value("TIT2").toString(), QStringLiteral("New"));
        QCOMPARE(view.value("TPE1").toString(), QStringLiteral("Artist"));
        QVERIFY(!view.contains("APE:Title"));
        AudioFile file(path);
        file.readTags();
        QCOMPARE(file.tag(0)->itemText(TitleTagItem::Type), QStringLiteral("New"));
        QCOMPARE(file.tag(0)->itemTexts(ArtistTagItem::Type), QStringList{"Artist"});
        QCOMPARE(file.tag(TagType::Id3v1)->itemText(TitleTagItem::Type), QStringLiteral("New"));
        QVERIFY(!file.tags().contains(TagType::Ape));
    }

    // Growth inside the ID3v2 padding leaves the audio where it is; growth beyond it moves
    // the audio once, behind a tag with fresh padding; a save without changes changes no byte.
    void paddingAndMoves()
    {
        const QString path = copyOfAudio("padding.mp3");
        const QByteArray audio = contents(m_audio);
        save(path, [](AudioTag *tag) { tag->setItemValue(TitleTagItem::Type, QStringLiteral("a")); });
        const QByteArray first = contents(path);
        const qint64 tagLength = id3v2Length(first);
        QVERIFY(tagLength > 2048);
        QCOMPARE(first.mid(tagLength, audio.size()), audio);
        QVERIFY(first.right(128).startsWith("TAGa"));

        save(path, [](AudioTag *tag) { tag->setItemValue(TitleTagItem::Type, QString(500, u'b')); });
        const QByteArray grown = contents(path);
        QCOMPARE(grown.size(), first.size());
        QCOMPARE(id3v2Length(grown), tagLength);
        QCOMPARE(grown.mid(tagLength, audio.size()), audio);

        save(path, [](AudioTag *tag) { tag->setItemValue(CommentTagItem::Type, QString(5000, u'c')); });
        const QByteArray moved = contents(path);
        const qint64 movedLength = id3v2Length(moved);
        QVERIFY(movedLength > tagLength + 5000);
        QCOMPARE(moved.size(), grown.size() + (movedLength - tagLength));
        QCOMPARE(moved.mid(movedLength, audio.size()), audio);
        // The new tag carries the preferred padding (the last frame ends in one or two zeros).
        const QByteArray tagBytes = moved.left(movedLength);
        qsizetype zeros = 0;
        while (zeros < tagBytes.size() && tagBytes.at(tagBytes.size() - 1 - zeros) == '\0')
            ++zeros;
        QVERIFY2(zeros >= 2048 && zeros <= 2050, qPrintable(QString::number(zeros)));
        QCOMPARE(audioMd5(path), m_md5);

        save(path, [](AudioTag *) {});
        QCOMPARE(contents(path), moved);
    }

    // The tagging date is renewed by every save, as designed: two saves without other
    // changes differ only inside the TDTG frame, and the audio stays in place.
    void taggingDateRenewed()
    {
        const QString path = copyOfAudio("date.mp3");
        save(path, [](AudioTag *tag) { tag->setItemValue(TitleTagItem::Type, QStringLiteral("t")); }, true);
        const QByteArray first = contents(path);
        // The date is held to the second: the second save comes in a later one.
        const qint64 firstSecond = QDateTime::currentSecsSinceEpoch();
        QTRY_VERIFY_WITH_TIMEOUT(QDateTime::currentSecsSinceEpoch() > firstSecond, 3000);
        save(path, [](AudioTag *) {}, true);
        const QByteArray second = contents(path);
        QCOMPARE(second.size(), first.size());
        QVERIFY(second != first); // renewed
        const qsizetype frame = second.indexOf("TDTG");
        QVERIFY(frame > 0);
        const qsizetype frameEnd = frame + 10 + qFromBigEndian<quint32>(second.constData() + frame + 4);
        for (qsizetype i = 0; i < second.size(); ++i) {
            if (first.at(i) != second.at(i))
                QVERIFY2(i >= frame && i < frameEnd, qPrintable(QString::number(i)));
        }
        QCOMPARE(audioMd5(path), m_md5);
    }
};

QTEST_GUILESS_MAIN(TestMp3Interop)
#include "tst_mp3interop.moc"
