// RIFF/WAVE and AIFF/AIFC files made and tagged by Debian's tools, rewritten by us and read
// back by them.

#include <QtTest>

#include "libcore/io/iostream.h"
#include "libtagging/aiff/aiffstreamio.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/riff/riffstreamio.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include "shared/support_tools.h"

namespace {

const QString python = QStringLiteral("/usr/bin/python3");

QString mutagenTitle(const QString &path)
{
    const QString script = "import sys, mutagen\n"
                           "f = mutagen.File(sys.argv[1])\n"
                           "print(f.tags['TIT2'].text[0] if f is not None and f.tags is not None and 'TIT2' in f.tags else '')";
    return QString::fromUtf8(outputOf(python, {"-c", script, path})).trimmed();
}

QJsonObject exiftool(const QString &path)
{
    const QJsonArray files = QJsonDocument::fromJson(outputOf("exiftool", {"-j", path})).array();
    return files.isEmpty() ? QJsonObject() : files.first().toObject();
}

IAudioStreamIo *streamIo(bool aiff)
{
    if (aiff)
        return AiffStreamIo::instance();
    return RiffStreamIo::instance();
}

QString titleOf(const QList<AudioTag *> &tags, int tagType)
{
    for (const AudioTag *tag : tags) {
        if (tag->tagType() == tagType)
            return tag->itemText(TagItemType::Title);
    }
    return {};
}

} // namespace

class TestRiffAiffInterop : public QObject
{
    Q_OBJECT
    QString m_missing; // why the tools the tests need are not there
private slots:
    void initTestCase()
    {
        if (!run("ffmpeg", {"-version"}))
            m_missing = QStringLiteral("ffmpeg is not installed: the interop tests need it to make the files");
        m_exiftool = run("exiftool", {"-ver"});
        m_mutagen = run(python, {"-c", "import mutagen"});
    }

    // Every test here needs the tools; each skips (or fails, where tools are required) alone.
    void init()
    {
        if (!m_missing.isEmpty())
            MELO_SKIP_TOOL(m_missing);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QStringList>("encoding");
        QTest::addColumn<int>("channels");

        QTest::newRow("wave pcm") << "wav" << QStringList{"-ac", "2", "-c:a", "pcm_s16le"} << 2;
        QTest::newRow("wave float") << "wav" << QStringList{"-ac", "1", "-c:a", "pcm_f32le"} << 1;
        QTest::newRow("wave extensible") << "wav" << QStringList{"-ac", "3", "-c:a", "pcm_s24le"} << 3;
        QTest::newRow("aiff") << "aiff" << QStringList{"-ac", "2", "-c:a", "pcm_s16be", "-write_id3v2", "1"} << 2;
        QTest::newRow("aifc sowt") << "aiff" << QStringList{"-ac", "1", "-c:a", "pcm_s16le", "-write_id3v2", "1"} << 1;
        QTest::newRow("aifc float") << "aiff" << QStringList{"-ac", "2", "-c:a", "pcm_f32be"} << 2;
    }

    void roundTrip()
    {
        QFETCH(QString, suffix);
        QFETCH(QStringList, encoding);
        QFETCH(int, channels);
        const bool aiff = suffix == QLatin1String("aiff");
        const bool ffmpegId3 = encoding.contains("-write_id3v2");

        QTemporaryDir dir;
        const QString path = dir.filePath("sample." + suffix);
        bool ok = false;
        ok = run("ffmpeg", QStringList{"-v", "error", "-f", "lavfi", "-i", "sine=frequency=440:duration=0.5"} + encoding
                          + QStringList{"-metadata", "title=Before", "-metadata", "artist=Artist", path});
        QVERIFY2(ok, "ffmpeg could not make the file");
        const bool mutagenId3 = !aiff && m_mutagen;
        if (mutagenId3) {
            const QString script = "import sys\nfrom mutagen.wave import WAVE\nfrom mutagen.id3 import TIT2\n"
                                   "f = WAVE(sys.argv[1])\nf.add_tags()\nf.tags.add(TIT2(encoding=3, text='Mutagen'))\nf.save()";
            ok = run(python, {"-c", script, path});
            QVERIFY2(ok, "mutagen could not tag the file");
        }
        const QString md5 = audioMd5(path);
        QVERIFY(md5.startsWith("MD5="));

        QObject parent;
        IAudioStreamIo *io = streamIo(aiff);
        {
            IoStream stream(path, QIODevice::ReadOnly);
            const QList<AudioTag *> tags = io->readTags(&stream, {}, nullptr, &parent);
            QCOMPARE(titleOf(tags, aiff ? TagType::Aiff : TagType::RiffInfo), QStringLiteral("Before"));
            if (mutagenId3)
                QCOMPARE(titleOf(tags, TagType::Id3v2), QStringLiteral("Mutagen"));
            if (ffmpegId3)
                QCOMPARE(titleOf(tags, TagType::Id3v2), QStringLiteral("Before"));
            stream.seek(0);
            const AudioProperties p = io->readAudioProperties(&stream, nullptr);
            QVERIFY(p.valid);
            QCOMPARE(p.channels, channels);
            QCOMPARE(p.sampleRate, 44100);
            QVERIFY2(qAbs(p.duration - 500) <= 1, qPrintable(QString::number(p.duration)));
        }

        const QString title = QString::fromUtf8("Caf\u00e9 \u20ac title");
        AudioTag tag;
        tag.addItem(new TitleTagItem(title));
        tag.addItem(new ArtistTagItem("New artist"));
        tag.addItem(new CommentTagItem("A comment", ""));
        for (int pass = 0; pass < 2; ++pass) {
            IoStream stream(path, QIODevice::ReadWrite);
            io->writeTags(&stream, &tag, {}, nullptr);
        }

        QCOMPARE(audioMd5(path), md5);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const quint32 sizeField = aiff ? qFromBigEndian<quint32>(bytes.constData() + 4)
                                       : qFromLittleEndian<quint32>(bytes.constData() + 4);
        QCOMPARE(qint64(sizeField) + 8, qint64(bytes.size()));
        {
            IoStream stream(path, QIODevice::ReadOnly);
            const QList<AudioTag *> tags = io->readTags(&stream, {}, nullptr, &parent);
            QCOMPARE(titleOf(tags, aiff ? TagType::Aiff : TagType::RiffInfo), title);
            QCOMPARE(titleOf(tags, TagType::Id3v2), title);
        }

        if (m_mutagen)
            QCOMPARE(mutagenTitle(path), title);
        if (m_exiftool) {
            const QJsonObject info = exiftool(path);
            if (aiff) {
                // exiftool takes AIFF texts for Mac Roman, so only plain ASCII compares.
                QCOMPARE(info.value("Author").toString(), QStringLiteral("New artist"));
                QCOMPARE(info.value("Annotation").toString(), QStringLiteral("A comment"));
            } else {
                QCOMPARE(info.value("Title").toString(), title);
                QCOMPARE(info.value("Artist").toString(), QStringLiteral("New artist"));
            }
        }
        if (!m_mutagen || !m_exiftool)
            MELO_SKIP_TOOL("mutagen (python3-mutagen) or exiftool is not installed: the tags were not checked by them");
    }

    // A file whose INFO sub-chunk has an odd length and no pad byte, and whose data chunk
    // claims more than the file holds: the audio comes through a rewrite whole.
    void oddFile()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath("source.wav");
        bool ok = false;
        ok = run("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "sine=duration=0.2", "-c:a", "pcm_s16le", source});
        QVERIFY(ok);
        QFile in(source);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray original = in.readAll();
        const int fmtAt = original.indexOf("fmt ");
        const int dataAt = original.indexOf("data");
        const QByteArray fmt = original.mid(fmtAt, 8 + qFromLittleEndian<quint32>(original.constData() + fmtAt + 4));
        const QByteArray samples = original.mid(dataAt + 8, qFromLittleEndian<quint32>(original.constData() + dataAt + 4));

        auto le32 = [](quint32 v) {
            QByteArray b(4, '\0');
            qToLittleEndian(v, b.data());
            return b;
        };
        const QByteArray info = "LIST" + le32(4 + 8 + 5) + "INFO" + "INAM" + le32(5) + QByteArray("Odd!\0", 5);
        QByteArray body = fmt + info + "data" + le32(quint32(samples.size() + 1000)) + samples;
        const QByteArray bytes = "RIFF" + le32(quint32(4 + body.size())) + "WAVE" + body;
        const QString path = dir.filePath("odd.wav");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        const QString md5 = audioMd5(source);

        QObject parent;
        AudioTag tag;
        tag.addItem(new TitleTagItem("Even"));
        {
            IoStream stream(path, QIODevice::ReadWrite);
            const QList<AudioTag *> tags = RiffStreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
            QCOMPARE(titleOf(tags, TagType::RiffInfo), QStringLiteral("Odd!"));
            RiffStreamIo::instance()->writeTags(&stream, &tag, {}, nullptr);
        }
        QCOMPARE(audioMd5(path), md5);
        IoStream stream(path, QIODevice::ReadOnly);
        QCOMPARE(titleOf(RiffStreamIo::instance()->readTags(&stream, {}, nullptr, &parent), TagType::RiffInfo),
                 QStringLiteral("Even"));
    }

    // The whole road through AudioFile: a loose ID3v1 tag behind the WAVE file is stripped,
    // the merged tag goes into the chunks, the audio stays the same.
    void audioFileRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("loose.wav");
        bool ok = false;
        ok = run("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "sine=duration=0.2", "-c:a", "pcm_s16le", "-metadata",
                       "title=Info title", path});
        QVERIFY(ok);
        const QString md5 = audioMd5(path);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append));
            QByteArray id3v1 = "TAG" + QByteArray("Loose title").leftJustified(30, '\0');
            id3v1 = id3v1.leftJustified(127, '\0') + char(255);
            file.write(id3v1);
        }
        {
            AudioFile file(path);
            file.readTags(0, true);
            QVERIFY(file.tags().contains(TagType::Id3v1));
            QCOMPARE(file.tags().value(TagType::RiffInfo)->itemText(TagItemType::Title), QStringLiteral("Info title"));
            AudioTag *merged = file.tag(0);
            merged->removeItems(TagItemType::Title);
            merged->addItem(new TitleTagItem("Saved title"));
            file.writeTags(0);
        }
        QCOMPARE(audioMd5(path), md5);
        AudioFile reread(path);
        reread.readTags(0, true);
        QVERIFY(!reread.tags().contains(TagType::Id3v1));
        QCOMPARE(reread.tags().value(TagType::RiffInfo)->itemText(TagItemType::Title), QStringLiteral("Saved title"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(8);
        QCOMPARE(qint64(qFromLittleEndian<quint32>(head.constData() + 4)) + 8, file.size());
    }

    // MPEG audio in a WAVE file is measured by the MPEG audio reader from the "data" chunk.
    void mpegInWave()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("mpeg.wav");
        bool ok = false;
        ok = run("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "sine=duration=1", "-c:a", "libmp3lame", "-b:a", "128k", path});
        QVERIFY2(ok, "ffmpeg could not encode MPEG audio layer 3");
        IoStream stream(path, QIODevice::ReadOnly);
        const AudioProperties p = RiffStreamIo::instance()->readAudioProperties(&stream, nullptr);
        QVERIFY(p.valid);
        QCOMPARE(p.container, int(AudioContainer::Riff));
        QCOMPARE(p.codec, int(AudioCodec::Mpeg));
        QCOMPARE(p.sampleRate, 44100);
        QVERIFY2(qAbs(p.duration - 1000) < 100, qPrintable(QString::number(p.duration)));
        QVERIFY2(qAbs(p.bitrate - 128000) < 8000, qPrintable(QString::number(p.bitrate)));
    }

private:
    bool m_exiftool = false;
    bool m_mutagen = false;
};

QTEST_GUILESS_MAIN(TestRiffAiffInterop)
#include "tst_riffaiffinterop.moc"
