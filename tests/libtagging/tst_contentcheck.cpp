#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/text/textcatalogue.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/filetype.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/plain/freestreamio.h"
#include "libtagging/plain/freestreamtagmanager.h"
#include "libtagging/plain/streamcontentcheck.h"

// Files whose content is not what their suffix says (made by Debian's encoders, then
// renamed) are neither written nor measured as the suffix says; real MP3 files, odd ones
// included, still are.
#include "shared/support_tools.h"

namespace {

const quint32 OtherFormat = StreamContentCheck::OtherFormat;
const quint32 NoValidStream = StreamContentCheck::NoValidStream;
const quint32 EmptyFile = StreamContentCheck::EmptyFile;

// ffmpeg's arguments behind the input for each source, by the suffix it is made with.
struct Source
{
    QString name;
    QStringList arguments;
};

QByteArray pcm16(int samples, int rate)
{
    QByteArray pcm;
    for (int i = 0; i < samples; ++i) {
        const qint16 sample = qint16(8000 * std::sin(2 * M_PI * 440 * i / double(rate)));
        pcm.append(char(sample & 0xFF)).append(char(sample >> 8 & 0xFF));
    }
    return pcm;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The bytes between the tags at the two ends.
QByteArray audioBytes(const QString &path)
{
    IoStream stream(path, QIODevice::ReadOnly);
    const auto [start, end] = FreeStreamTagManager(&stream).audioRange();
    return stream.readBytesAt(start, end - start);
}

} // namespace

class TestContentCheck : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_sources; // the encoders' files, under their own suffixes

    QString copyAs(const QString &source, const QString &name)
    {
        return writableCopy(m_sources + "/" + source, m_dir.filePath(name));
    }

    QString m_missing; // why the tools the tests need are not there
private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        registerResourceFiles({QStringLiteral("libcore.rcc"), QStringLiteral("libtagging.rcc")});
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        TextCatalogue::applyLanguage(english, english);
        if (!hasTool("ffmpeg") || !hasTool("lame")) {
            m_missing = QStringLiteral("ffmpeg or lame is not installed (scripts/setup installs them)");
            return;
        }
        m_sources = m_dir.filePath("sources");
        QVERIFY(QDir().mkpath(m_sources));
        const QStringList tone{"-v", "error", "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=1"};
        const QList<Source> sources{
            {"tone.m4a", {"-c:a", "aac"}},
            {"tone.flac", {"-c:a", "flac"}},
            {"tone.ogg", {"-c:a", "libvorbis"}},
            {"tone.wav", {"-c:a", "pcm_s16le"}},
            {"tone.aiff", {"-c:a", "pcm_s16be"}},
            {"tone.wma", {"-c:a", "wmav2"}},
            {"tone.aac", {"-c:a", "aac", "-f", "adts"}},
            {"tone.mp3", {"-c:a", "libmp3lame", "-b:a", "64k"}},
        };
        for (const Source &source : sources)
            QVERIFY2(run("ffmpeg", tone + source.arguments + QStringList{m_sources + "/" + source.name}),
                     qPrintable(source.name));

        // lame's odd streams: free format, MPEG-2.5 (8 kHz), and a stream of a few frames.
        const QString raw44 = m_sources + "/tone44.raw";
        const QString raw8 = m_sources + "/tone8.raw";
        QVERIFY(writeFile(raw44, pcm16(44100, 44100)));
        QVERIFY(writeFile(raw8, pcm16(8000, 8000)));
        const QStringList rawIn{"--quiet", "-r", "--bitwidth", "16", "--signed", "--little-endian"};
        QVERIFY(run("lame", rawIn + QStringList{"-s", "44.1", "--freeformat", "-b", "400", raw44,
                                                 m_sources + "/free.mp3"}));
        QVERIFY(run("lame", rawIn + QStringList{"-s", "8", "-m", "m", "-b", "8", raw8, m_sources + "/mpeg25.mp3"}));
        QVERIFY(writeFile(raw44, pcm16(1152 * 3, 44100)));
        QVERIFY(run("lame", rawIn + QStringList{"-s", "44.1", "-t", "-b", "128", raw44, m_sources + "/few.mp3"}));

        // Junk in front of the first frame, with a header-like pattern the next frame
        // contradicts; and a longer stream with a stretch of damage in the middle.
        const QByteArray mp3 = fileBytes(m_sources + "/tone.mp3");
        QByteArray junk(3000, 'j');
        junk.replace(1000, 4, QByteArray("\xFF\xFB\x90\x00", 4));
        QVERIFY(writeFile(m_sources + "/junk.mp3", junk + mp3.mid(mp3.indexOf("\xFF\xFB"))));
        QByteArray damaged = mp3.repeated(3);
        damaged.replace(damaged.size() / 2, 1500, QByteArray(1500, '\x5A'));
        QVERIFY(writeFile(m_sources + "/damaged.mp3", damaged));
    }

    // Every test here needs the tools; each skips (or fails, where tools are required) alone.
    void init()
    {
        if (!m_missing.isEmpty())
            MELO_SKIP_TOOL(m_missing);
    }

    // Neither the save of the program nor the plain-stream writer changes a byte, reading
    // gives the same message instead of audio properties, and the message names the case.
    void misnamedFileIsLeftAlone_data()
    {
        QTest::addColumn<QString>("source"); // empty: the bytes below
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint32>("code");
        QTest::addColumn<QString>("looksLike");
        const QByteArray none;
        QTest::newRow("M4A as MP3") << "tone.m4a" << none << "wrong.mp3" << OtherFormat << "MPEG-4 audio";
        QTest::newRow("FLAC as MP3") << "tone.flac" << none << "wrong.mp3" << OtherFormat << "FLAC";
        QTest::newRow("Ogg Vorbis as MP3") << "tone.ogg" << none << "wrong.mp3" << OtherFormat << "Ogg";
        QTest::newRow("WAVE as MP3") << "tone.wav" << none << "wrong.mp3" << OtherFormat << "WAVE";
        QTest::newRow("AIFF as MP3") << "tone.aiff" << none << "wrong.mp3" << OtherFormat << "AIFF";
        QTest::newRow("WMA as MP3") << "tone.wma" << none << "wrong.mp3" << OtherFormat << "Windows Media Audio";
        QTest::newRow("ADTS AAC as MP3") << "tone.aac" << none << "wrong.mp3" << OtherFormat << "AAC";
        QTest::newRow("M4A as AAC") << "tone.m4a" << none << "wrong.aac" << OtherFormat << "MPEG-4 audio";
        QTest::newRow("MP3 as WavPack") << "tone.mp3" << none << "wrong.wv" << OtherFormat << "MPEG audio";
        QTest::newRow("MP3 as FLAC") << "tone.mp3" << none << "wrong.flac" << OtherFormat << "MPEG audio";
        QTest::newRow("MP3 as M4A") << "tone.mp3" << none << "wrong.m4a" << OtherFormat << "MPEG audio";
        QTest::newRow("empty") << "" << none << "empty.mp3" << EmptyFile << "";
        QTest::newRow("short text") << "" << QByteArray("hello\n") << "note.mp3" << OtherFormat << "text";
        QByteArray binary;
        for (int i = 0; i < 3000; ++i)
            binary.append(char((i * 7) % 251));
        QTest::newRow("binary without frames") << "" << binary << "noise.mp3" << NoValidStream << "";
    }
    void misnamedFileIsLeftAlone()
    {
        QFETCH(QString, source);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(quint32, code);
        QFETCH(QString, looksLike);
        const QString path = source.isEmpty() ? m_dir.filePath(name) : copyAs(source, name);
        if (source.isEmpty())
            QVERIFY(writeFile(path, bytes));
        const QByteArray before = fileBytes(path);
        auto checkError = [&](const Exception &e) {
            QCOMPARE(e.code, code);
            QCOMPARE(e.arguments.value(0).toString(), path);
            if (code == OtherFormat)
                QCOMPARE(e.arguments.value(2).toString(), looksLike);
            QVERIFY(e.message().contains(QFileInfo(path).fileName()));
        };

        AudioFile file(path);
        try {
            file.readTags(0);
        } catch (const Exception &e) {
            checkError(e); // a container reader that does not know the bytes
        }
        try {
            file.audioProperties();
            QFAIL("measured");
        } catch (const Exception &e) {
            checkError(e);
        }
        file.tag(0)->addItem(new TitleTagItem(QStringLiteral("X")));
        try {
            file.writeTags(0);
            QFAIL("written");
        } catch (const Exception &e) {
            checkError(e);
        }
        QCOMPARE(fileBytes(path), before);

        if (file.typeRecord()->streamIos.contains(FreeStreamIo::instance())) {
            // The writer of plain streams refuses on its own, for writing and for removing.
            AudioTag tag;
            tag.addItem(new TitleTagItem(QStringLiteral("X")));
            IoStream stream(path, QIODevice::ReadWrite);
            try {
                FreeStreamIo::instance()->writeTags(&stream, &tag, {}, nullptr);
                QFAIL("written");
            } catch (const Exception &e) {
                checkError(e);
            }
            try {
                FreeStreamIo::instance()->removeTags(&stream, {}, nullptr);
                QFAIL("tags removed");
            } catch (const Exception &e) {
                checkError(e);
            }
            stream.close();
            QCOMPARE(fileBytes(path), before);
        }
    }

    // Real MP3 files, odd ones too, read and write as ever: the bytes between the tags stay
    // as they were (ffmpeg does not decode lame's free format) and the title comes back.
    void realMp3IsWritten_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("sampleRate");
        const QString fixtures = QStringLiteral(MELO_FIXTURES "/plain/");
        QTest::newRow("CBR with Info header") << fixtures + "cbr-info.mp3" << 16000;
        QTest::newRow("VBR with Xing header") << fixtures + "vbr-xing.mp3" << 22050;
        QTest::newRow("MPEG-2 without VBR header") << fixtures + "cbr-noheader-mpeg2.mp3" << 22050;
        QTest::newRow("MPEG-2.5") << "mpeg25.mp3" << 8000;
        QTest::newRow("free format") << "free.mp3" << 44100;
        QTest::newRow("a few frames") << "few.mp3" << 44100;
        QTest::newRow("junk before the first frame") << "junk.mp3" << 44100;
        QTest::newRow("damaged frames in the middle") << "damaged.mp3" << 44100;
        QTest::newRow("ffmpeg's, with its ID3v2 tag") << "tone.mp3" << 44100;
    }
    void realMp3IsWritten()
    {
        QFETCH(QString, source);
        QFETCH(int, sampleRate);
        const QString path =
            writableCopy(source.contains('/') ? source : m_sources + "/" + source, m_dir.filePath("real.mp3"));
        QVERIFY(!path.isEmpty());
        const QByteArray audio = audioBytes(path);
        QVERIFY(audio.size() > 100);
        {
            AudioFile file(path);
            file.readTags(0);
            const AudioProperties p = file.audioProperties();
            QVERIFY(p.valid);
            QCOMPARE(p.sampleRate, sampleRate);
            QVERIFY(p.codecName.startsWith("MP"));
            file.tag(0)->replaceItem(new TitleTagItem(QStringLiteral("Written")), 0);
            file.writeTags(0);
        }
        QCOMPARE(audioBytes(path), audio);
        AudioFile again(path);
        again.readTags(0);
        QCOMPARE(again.tags().value(0)->itemText(TagItemType::Title), QStringLiteral("Written"));
        QCOMPARE(again.audioProperties().sampleRate, sampleRate);
    }
};

QTEST_GUILESS_MAIN(TestContentCheck)
#include "tst_contentcheck.moc"
