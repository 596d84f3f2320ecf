#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/image/codedimage.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/tagtypeoption.h"

#include <QBuffer>

#include <csignal>
#include <functional>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shared/support_tools.h"

// Files made by Debian's encoders, saved where the save cannot be done whole: the file is
// left byte for byte as it was, or the save is done whole.
namespace {

const quint32 NoTagWriter = 1359880250u;
const quint32 NotPutBack = 54541994u;

// Exit codes of a save in a child process. A save that cannot be done whole fails before
// its first write when the writers find the room they need first; one that fails later is
// put back, but costs the writes of both ways.
enum SaveResult { Saved = 0, NotWritten = 1, OtherError = 2, WrittenAndPutBack = 3 };

// A file whose write number failAt (from 1) writes half of its bytes and fails, as a disk
// that fills up part-way does.
class FailingFile : public QFile
{
public:
    FailingFile(const QString &path, int failAt, bool andLater = false)
        : QFile(path), failAt(failAt), andLater(andLater) {}
    int failAt;
    bool andLater; // every later write fails too, as on a disk that broke
    int writes = 0;

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        if (++writes == failAt || (andLater && failAt > 0 && writes > failAt)) {
            QFile::writeData(data, len / 2);
            return -1;
        }
        return QFile::writeData(data, len);
    }
};

// The options the test saves with: the MP3 gets ID3v1, ID3v2 and APE.
void configure(AudioStream &file)
{
    file.taggingSettings.updateTaggingDate = false;
    if (file.filePath().endsWith(QLatin1String(".mp3"))) {
        file.taggingSettings.writtenTagTypes.insert(
            file.fileType(), {{TagType::Id3v1, TagTypeMode::Write}, {TagType::Id3v2, TagTypeMode::Write},
                              {TagType::Lyrics3, TagTypeMode::Remove}, {TagType::Ape, TagTypeMode::Write}});
    }
}

// A picture of noise, which no encoder makes smaller: about 100 KB.
QByteArray noisePicture()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    noiseImage(180, 18).save(&buffer, "PNG");
    return buffer.data();
}

// Saves the title; a long title comes with a picture, so that every format must grow.
void saveTitle(AudioStream &file, const QString &title)
{
    configure(file);
    file.readTags();
    AudioTag *tag = file.tag(0);
    tag->setItemValue(TitleTagItem::Type, title);
    tag->setItemValue(ArtistTagItem::Type, QStringLiteral("Someone"));
    if (title.size() > 1000) {
        static const QByteArray picture = noisePicture();
        tag->addItem(new ArtworkTagItem(CodedImage(picture), 3, QString()));
    }
    file.writeTags();
}

void saveTitle(const QString &path, const QString &title)
{
    AudioFile file(path);
    saveTitle(file, title);
}

QString titleOf(const QString &path)
{
    AudioFile file(path);
    file.readTags();
    return file.tags().contains(0) ? file.tag(0)->itemValue(TitleTagItem::Type).toString() : QString();
}

// Saves in a child process whose files cannot grow past limit bytes; writes past it fail
// with EFBIG instead of killing the process.
SaveResult saveInChild(const QString &path, const QString &title, qint64 limit)
{
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered {};
        getrlimit(RLIMIT_FSIZE, &lowered);
        lowered.rlim_cur = rlim_t(limit);
        int code = setrlimit(RLIMIT_FSIZE, &lowered) == 0 ? Saved : OtherError;
        FailingFile device(path, 0);
        try {
            AudioStream stream(new IoStream(&device));
            if (code == Saved)
                saveTitle(stream, title);
        } catch (const Exception &e) {
            code = e.code != NoTagWriter ? OtherError : device.writes > 0 ? WrittenAndPutBack : NotWritten;
        } catch (...) {
            code = OtherError;
        }
        _exit(code);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return OtherError;
    return SaveResult(WEXITSTATUS(status));
}

// Puts an ID3v2 tag in front of the file, as some programs glue one to any file.
bool prependLooseId3v2(const QString &path)
{
    const QByteArray text = QByteArrayLiteral("\0Loose title");
    QByteArray frame = "TIT2" + QByteArray(4, '\0') + QByteArray(2, '\0') + text;
    frame[7] = char(text.size());
    QByteArray tag = QByteArrayLiteral("ID3\x03\0\0") + QByteArray(4, '\0') + frame;
    tag[9] = char(frame.size());
    const QByteArray bytes = tag + fileBytes(path);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to) && QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace

class TestFailedSave : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_wave; // half a second of a tone, the source of every file
    // Long enough that no padding holds it.
    const QString m_longTitle = QString(40000, u'x');

    QString path(const QString &name) const { return m_dir.filePath(name); }

    QString m_missing; // why the tools the tests need are not there
private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (!hasTool(QStringLiteral("ffmpeg"))) {
            m_missing = QStringLiteral("ffmpeg is not installed: the files are made with it and Debian's encoders");
            return;
        }
        m_wave = path(QStringLiteral("source.wav"));
        QVERIFY(run(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-f", "lavfi", "-i",
                                               "sine=frequency=440:duration=0.5", "-ac", "1", "-c:a", "pcm_s16le",
                                               m_wave}));
    }

    // The saves need the files made with ffmpeg; the other tests check their own tools.
    void init()
    {
        if (!m_missing.isEmpty() && QLatin1String(QTest::currentTestFunction()) == QLatin1String("saves"))
            MELO_SKIP_TOOL(m_missing);
    }

    void failedPutBackIsReported()
    {
        // The old ID3v1 tag is written over, then the disk fails for good: the file cannot be
        // put back, and the message says so instead of the usual one.
        if (!hasTool(QStringLiteral("lame")))
            MELO_SKIP_TOOL("lame is not installed");
        const QString file = path(QStringLiteral("broken.mp3"));
        QVERIFY(makeSilentMp3(path(QStringLiteral("broken.raw")), file));
        saveTitle(file, QStringLiteral("Original"));
        FailingFile device(file, 2, true);
        AudioStream stream(new IoStream(&device));
        try {
            saveTitle(stream, m_longTitle);
            QFAIL("saved on a broken disk");
        } catch (const Exception &e) {
            QCOMPARE(e.code, NotPutBack);
        }
        QVERIFY(!stream.stream()->inTransaction());
    }

    void saves_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        // Whether an ID3v2 tag stands loose in front of the container. Such a tag is stripped
        // before the container's writer finds out whether its own tags fit: a save that then
        // fails is put back instead of failing untouched.
        QTest::addColumn<bool>("looseTag");

        QTest::newRow("MP3 with ID3v1, ID3v2 and APE")
            << "a.mp3" << "lame" << QStringList{"--quiet", "-b", "64", "%in", "%out"} << false;
        QTest::newRow("FLAC") << "a.flac" << "flac" << QStringList{"-s", "-f", "-o", "%out", "%in"} << false;
        QTest::newRow("FLAC behind a loose ID3v2 tag")
            << "b.flac" << "flac" << QStringList{"-s", "-f", "-o", "%out", "%in"} << true;
        QTest::newRow("Ogg Vorbis") << "a.ogg" << "oggenc" << QStringList{"-Q", "-o", "%out", "%in"} << false;
        QTest::newRow("Ogg Opus") << "a.opus" << "opusenc" << QStringList{"--quiet", "%in", "%out"} << false;
        QTest::newRow("MP4") << "a.m4a" << "ffmpeg"
                             << QStringList{"-v", "error", "-y", "-i", "%in", "-c:a", "aac", "-b:a", "48k", "%out"} << false;
        QTest::newRow("WAVE") << "a.wav" << "ffmpeg"
                              << QStringList{"-v", "error", "-y", "-i", "%in", "-c:a", "pcm_s16le", "%out"} << false;
        QTest::newRow("AIFF") << "a.aiff" << "ffmpeg"
                              << QStringList{"-v", "error", "-y", "-i", "%in", "-c:a", "pcm_s16be", "%out"} << false;
        QTest::newRow("ASF") << "a.wma" << "ffmpeg"
                             << QStringList{"-v", "error", "-y", "-i", "%in", "-c:a", "wmav2", "%out"} << false;
        QTest::newRow("WavPack with APE") << "a.wv" << "wavpack" << QStringList{"-q", "-y", "%in", "-o", "%out"}
                                          << false;
    }
    void saves()
    {
        QFETCH(QString, name);
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(bool, looseTag);
        if (!hasTool(program))
            MELO_SKIP_TOOL(program + QStringLiteral(" is not installed"));
        const QString made = path(QStringLiteral("made-") + name);
        arguments.replaceInStrings(QStringLiteral("%in"), m_wave).replaceInStrings(QStringLiteral("%out"), made);
        QVERIFY(run(program, arguments));
        // Tagged once, as a file the user saved before.
        saveTitle(made, QStringLiteral("Original"));
        if (looseTag)
            QVERIFY(prependLooseId3v2(made));
        const QByteArray before = fileBytes(made);
        QVERIFY(!before.isEmpty());

        // The whole save, without a limit, grows the file.
        const QString grown = path(QStringLiteral("grown-") + name);
        QVERIFY(copyFile(made, grown));
        saveTitle(grown, m_longTitle);
        const QByteArray after = fileBytes(grown);
        QVERIFY(after.size() > before.size());
        QVERIFY(titleOf(grown).startsWith(m_longTitle.left(200)));

        // Limits from no room at all to one byte short of the room needed.
        const qint64 low = before.size();
        const qint64 high = after.size();
        const QString file = path(name);
        for (qint64 limit : {low, low + 1, low + 128, (low + high) / 2, high - 1}) {
            if (limit >= high)
                continue;
            QVERIFY(copyFile(made, file));
            QCOMPARE(saveInChild(file, m_longTitle, limit), looseTag ? WrittenAndPutBack : NotWritten);
            QVERIFY2(fileBytes(file) == before, qPrintable(QStringLiteral("limit %1").arg(limit)));
        }

        // A write that fails part-way, at every write of the save in turn: the file is as it
        // was, or the save went through whole when another writer took over.
        for (int failAt = 1;; ++failAt) {
            QVERIFY(copyFile(made, file));
            FailingFile device(file, failAt);
            bool saved = false;
            {
                AudioStream stream(new IoStream(&device));
                try {
                    saveTitle(stream, m_longTitle);
                    saved = true;
                } catch (const Exception &) {
                    // Which step failed shows in the message; the file is what matters.
                }
            }
            const QByteArray now = fileBytes(file);
            if (!saved) {
                QVERIFY2(now == before, qPrintable(QStringLiteral("write %1").arg(failAt)));
                continue;
            }
            QVERIFY2(now == after, qPrintable(QStringLiteral("write %1").arg(failAt)));
            if (device.writes < failAt)
                break;
        }

        // A save that the padding holds needs no room: it goes through under the same limit.
        QVERIFY(copyFile(made, file));
        QCOMPARE(saveInChild(file, QStringLiteral("Changed"), low), Saved);
        QCOMPARE(titleOf(file), QStringLiteral("Changed"));
        QCOMPARE(audioMd5(file), audioMd5(made));
    }
};

QTEST_GUILESS_MAIN(TestFailedSave)
#include "tst_failedsave.moc"
