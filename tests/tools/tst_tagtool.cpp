#include <QtTest>

#include <QCryptographicHash>
#include <QDirIterator>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/tagscript/tagscript.h"
#include "shared/support_tools.h"

#include <csignal>

#include <sys/resource.h>
#include <unistd.h>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the tool; with a limit, its files cannot grow past that many bytes (writes past it
// fail with EFBIG instead of killing it).
Run tagtool(const QStringList &arguments, qint64 fileSizeLimit = -1)
{
    QProcess process;
    if (fileSizeLimit >= 0) {
        process.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit lowered {};
            getrlimit(RLIMIT_FSIZE, &lowered);
            lowered.rlim_cur = rlim_t(fileSizeLimit);
            if (setrlimit(RLIMIT_FSIZE, &lowered) != 0)
                _exit(99);
        });
    }
    process.start(QStringLiteral(MELO_TAGTOOL), arguments);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestTagTool : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_audio;   // a fifth of a second of MPEG audio without tags, made by lame
    // Pictures stay out of the audio files' folder: the program shows image files beside an
    // audio file as its artwork.
    QString m_pictures;
    QString m_picture; // a small PNG
    QString m_notPicture;
    int m_copies = 0;

    QString copyOfAudio(const QString &suffix = QStringLiteral("mp3"))
    {
        const QString path = m_dir.filePath(QStringLiteral("copy%1.%2").arg(++m_copies).arg(suffix));
        return QFile::copy(m_audio, path) ? path : QString();
    }

    // The files that `tagtool script` runs over, in this order: the MPEG file tagged by
    // `tagtool write`, a file that isn't audio, and a FLAC file tagged by flac itself.
    QStringList scriptFiles()
    {
        const QString folder = m_dir.filePath(QStringLiteral("script"));
        const QStringList files{folder + "/song.mp3", folder + "/notes.txt", folder + "/song.flac"};
        if (QFileInfo::exists(files.last()))
            return files;
        if (!QDir().mkpath(folder) || !QFile::copy(m_audio, files.at(0)) || !QFile::copy(m_notPicture, files.at(1)))
            return {};
        if (tagtool({"write", files.at(0), "--set", "Artist=AC/DC", "--set", "Title=Back: In Bl\u00e4ck",
                     "--set", "TrackNumber=7"}).exitCode != 0)
            return {};
        if (!run(QStringLiteral("flac"), {"-s", "--force-raw-format", "--endian=little", "--sign=signed",
                                          "--channels=1", "--bps=16", "--sample-rate=44100",
                                          "-T", "ARTIST=Band", "-T", "TITLE=\u00dcn\u00efcode", "-T",
                                          "TRACKNUMBER=3", "-o", files.at(2), m_dir.filePath("silence.raw")}))
            return {};
        return files;
    }

    // The one JSON line that `tagtool read` prints for the file.
    QJsonObject readReport(const QString &path)
    {
        const Run run = tagtool({"read", path});
        if (run.exitCode != 0)
            return {};
        const QList<QByteArray> lines = run.out.trimmed().split('\n');
        return lines.size() == 1 ? QJsonDocument::fromJson(lines.first()).object() : QJsonObject();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFileInfo::exists(QStringLiteral(MELO_TAGTOOL)), MELO_TAGTOOL);
        // The tests of audio files skip (or fail) on their own without lame.
        if (hasTool(QStringLiteral("lame"))) {
            m_audio = m_dir.filePath("audio.mp3");
            QVERIFY(makeSilentMp3(m_dir.filePath("silence.raw"), m_audio));
        }

        m_pictures = m_dir.filePath("pictures");
        QVERIFY(QDir().mkpath(m_pictures));
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(Qt::red);
        m_picture = m_pictures + "/cover.png";
        QVERIFY(image.save(m_picture, "PNG"));
        m_notPicture = m_dir.filePath("notes.txt");
        QFile notes(m_notPicture);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("not a picture\n");
    }

    // Every test but those of bad input and usage works on copies of the audio file.
    void init()
    {
        static const QStringList withoutAudio{"writeOfMissingFileFails", "identifyBadInput", "usage"};
        if (m_audio.isEmpty() && !withoutAudio.contains(QLatin1String(QTest::currentTestFunction())))
            MELO_SKIP_TOOL("lame is not installed (scripts/setup installs it)");
    }

    void readUntaggedFile()
    {
        const QJsonObject report = readReport(m_audio);
        QCOMPARE(report.value("path").toString(), m_audio);
        QVERIFY(!report.value("fileType").toString().isEmpty());
        QVERIFY(report.value("error").isNull());
        const QJsonObject properties = report.value("properties").toObject();
        QCOMPARE(properties.value("valid").toBool(), true);
        QCOMPARE(properties.value("sampleRate").toInt(), 44100);
        QCOMPARE(properties.value("channels").toInt(), 1);
        QCOMPARE(properties.value("bitrate").toInt(), 32000);
        QVERIFY(qAbs(properties.value("durationMs").toInt() - 200) <= 60);
        QVERIFY(!properties.value("codec").toString().isEmpty());
        QVERIFY(!properties.value("bitrateType").toString().isEmpty());
        for (const char *key : {"bitsPerSample", "container"})
            QVERIFY2(properties.contains(key), key);
        QVERIFY(report.value("merged").toObject().isEmpty());
    }

    void readReportsEachFileOnItsLine()
    {
        const QString missing = m_dir.filePath("missing.mp3");
        const QString unknown = m_dir.filePath("notes.txt");
        const Run run = tagtool({"read", m_audio, missing, unknown});
        QCOMPARE(run.exitCode, 0);
        const QList<QByteArray> lines = run.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        QList<QJsonObject> reports;
        for (const QByteArray &line : lines)
            reports.append(QJsonDocument::fromJson(line).object());
        QVERIFY(reports.at(0).value("error").isNull());
        QCOMPARE(reports.at(1).value("path").toString(), missing);
        QVERIFY(!reports.at(1).value("error").toString().isEmpty());
        QCOMPARE(reports.at(1).value("properties").toObject().value("valid").toBool(), false);
        QVERIFY(reports.at(2).value("fileType").isNull());
        QVERIFY(!reports.at(2).value("error").toString().isEmpty());
    }

    void writeThenRead_data()
    {
        QTest::addColumn<QStringList>("before"); // edits of a first write, if any
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("expected");
        const QStringList none;
        QTest::newRow("set a text") << none << QStringList{"--set", "Title=T\u00eftle \u0141\u00f3d\u017a"} << "Title"
                                    << QStringList{"T\u00eftle \u0141\u00f3d\u017a"};
        QTest::newRow("item name in any case") << none << QStringList{"--set", "albumartist=Band"} << "AlbumArtist"
                                               << QStringList{"Band"};
        QTest::newRow("value with an equals sign") << none << QStringList{"--set", "Comment=a=b"} << "Comment"
                                                   << QStringList{"a=b"};
        QTest::newRow("the later set wins") << none << QStringList{"--set", "Artist=A", "--set", "Artist=B"} << "Artist"
                                            << QStringList{"B"};
        QTest::newRow("add appends") << none << QStringList{"--set", "Artist=A", "--add", "Artist=B"} << "Artist"
                                     << QStringList{"A", "B"};
        QTest::newRow("set replaces what the file held")
            << QStringList{"--set", "Artist=A", "--add", "Artist=B"} << QStringList{"--set", "Artist=C"} << "Artist"
            << QStringList{"C"};
        QTest::newRow("clear removes") << QStringList{"--set", "Title=Old", "--set", "Album=Kept"}
                                       << QStringList{"--clear", "Title"} << "Title" << QStringList{};
        QTest::newRow("other items kept") << QStringList{"--set", "Title=Old", "--set", "Album=Kept"}
                                          << QStringList{"--clear", "Title"} << "Album" << QStringList{"Kept"};
        QTest::newRow("number") << none << QStringList{"--set", "TrackNumber=7", "--set", "TrackCount=12"}
                                << "TrackNumber" << QStringList{"7"};
        QTest::newRow("date") << none << QStringList{"--set", "ReleaseDate=2009-05-23"} << "ReleaseDate"
                              << QStringList{"2009-05-23"};
        QTest::newRow("no edits") << QStringList{"--set", "Title=Same"} << QStringList{} << "Title"
                                  << QStringList{"Same"};
    }
    void writeThenRead()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, edits);
        QFETCH(QString, item);
        QFETCH(QStringList, expected);
        const QString path = copyOfAudio();
        if (!before.isEmpty()) {
            const Run first = tagtool(QStringList{"write", path} + before);
            QVERIFY2(first.exitCode == 0, first.err.constData());
        }
        const Run run = tagtool(QStringList{"write", path} + edits);
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QVERIFY(run.err.isEmpty());

        const QJsonObject report = readReport(path);
        QVERIFY(report.value("error").isNull());
        QStringList merged;
        for (const QJsonValue &value : report.value("merged").toObject().value(item).toArray())
            merged.append(value.toString());
        QCOMPARE(merged, expected);
        // The default settings of MPEG files write ID3v2; its own list shows the same values.
        QStringList id3v2;
        for (const QJsonValue &entry : report.value("tags").toObject().value("Id3v2").toArray()) {
            if (entry.toObject().value("item").toString() == item)
                id3v2.append(entry.toObject().value("value").toString());
        }
        QCOMPARE(id3v2, expected);
        // The audio survives the rewrite.
        QCOMPARE(report.value("properties").toObject().value("sampleRate").toInt(), 44100);
    }

    void pictureShowsSizeAndHash()
    {
        const QString path = copyOfAudio();
        const Run run = tagtool({"write", path, "--picture", m_picture, "--set", "Title=With cover"});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        const QByteArray png = contents(m_picture);
        const QJsonArray artwork = readReport(path).value("merged").toObject().value("Artwork").toArray();
        QCOMPARE(artwork.size(), 1);
        const QJsonObject picture = artwork.first().toObject();
        QCOMPARE(picture.value("size").toInt(), png.size());
        QCOMPARE(picture.value("sha1").toString(),
                 QString::fromLatin1(QCryptographicHash::hash(png, QCryptographicHash::Sha1).toHex()));
        QVERIFY(!picture.contains("value"));

        // A second picture replaces the first.
        QImage image(2, 2, QImage::Format_RGB32);
        image.fill(Qt::blue);
        const QString other = m_pictures + "/other.png";
        QVERIFY(image.save(other, "PNG"));
        QCOMPARE(tagtool({"write", path, "--picture", other}).exitCode, 0);
        const QJsonArray replaced = readReport(path).value("merged").toObject().value("Artwork").toArray();
        QCOMPARE(replaced.size(), 1);
        QCOMPARE(replaced.first().toObject().value("size").toInt(), contents(other).size());
    }

    void failingWriteLeavesFileAsItWas_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QStringList>("edits");
        QTest::newRow("unknown item type") << "mp3" << QStringList{"--set", "Nonsense=x"};
        QTest::newRow("value that does not convert") << "mp3" << QStringList{"--set", "Bpm=fast"};
        QTest::newRow("good edit before a bad one") << "mp3" << QStringList{"--set", "Title=x", "--add", "Bpm=-3"};
        QTest::newRow("binary item from text") << "mp3" << QStringList{"--set", "Artwork=cover.png"};
        QTest::newRow("not an assignment") << "mp3" << QStringList{"--set", "Title"};
        QTest::newRow("missing argument") << "mp3" << QStringList{"--clear"};
        QTest::newRow("unknown option") << "mp3" << QStringList{"--frobnicate", "x"};
        QTest::newRow("picture missing") << "mp3" << QStringList{"--picture", "/nonexistent/cover.png"};
        QTest::newRow("picture that is no image") << "mp3" << QStringList{"--picture", "notes.txt"};
        QTest::newRow("layout the type's reader refuses") << "flac" << QStringList{"--set", "Title=x"};
        QTest::newRow("suffix of no file type") << "xyz" << QStringList{"--set", "Title=x"};
    }
    void failingWriteLeavesFileAsItWas()
    {
        QFETCH(QString, suffix);
        QFETCH(QStringList, edits);
        const QString path = copyOfAudio(suffix);
        QVERIFY(tagtool({"write", path, "--set", "Title=Before"}).exitCode == (suffix == u"mp3" ? 0 : 1));
        const QByteArray before = contents(path);
        for (QString &edit : edits) {
            if (edit == u"notes.txt")
                edit = m_notPicture;
        }
        const Run run = tagtool(QStringList{"write", path} + edits);
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        // One line with the code and a message in words.
        static const QRegularExpression errorLine(QStringLiteral("^Error \\d+: \\S.*\\S\n$"));
        QVERIFY2(errorLine.match(QString::fromLocal8Bit(run.err)).hasMatch(), run.err.constData());
        QCOMPARE(contents(path), before);
    }

    void writeThatCannotGrowLeavesFileAsItWas()
    {
        // A picture of noise needs room no padding has; the file cannot grow at all.
        const QString picture = m_pictures + QStringLiteral("/noise.png");
        QVERIFY(noiseImage(160, 7).save(picture));
        const QString path = copyOfAudio();
        QCOMPARE(tagtool({"write", path, "--set", "Title=Before"}).exitCode, 0);
        const QByteArray before = contents(path);

        const Run run = tagtool({"write", path, "--set", "Title=X", "--picture", picture}, before.size());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith("Error "), run.err.constData());
        QCOMPARE(contents(path), before);
        // A save that needs no room goes through under the same limit.
        QCOMPARE(tagtool({"write", path, "--set", "Title=After"}, before.size()).exitCode, 0);
        QCOMPARE(readReport(path).value("merged").toObject().value("Title").toArray(), QJsonArray{"After"});
    }

    void writeOfMissingFileFails()
    {
        const QString missing = m_dir.filePath("gone.mp3");
        const Run run = tagtool({"write", missing, "--set", "Title=x"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!run.err.isEmpty());
        QVERIFY(!QFileInfo::exists(missing));
    }

    void scriptOverFiles_data()
    {
        QTest::addColumn<QString>("pattern");
        // What the pattern gives for each audio file: text, file name, cleaned file name;
        // nothing for a file it can't be evaluated for.
        QTest::addColumn<QStringList>("mp3");
        QTest::addColumn<QStringList>("flac");
        QTest::newRow("empty values leave stray separators")
            << "$num(%track%,2) - %artist% - [%album%] - %title% (%year%)"
            << QStringList{"07 - AC/DC -  - Back: In Bl\u00e4ck ()", "07 - ACDC -  - Back: In Bl\u00e4ck ()",
                           "07 - ACDC - Back: In Bl\u00e4ck"}
            << QStringList{"03 - Band -  - \u00dcn\u00efcode ()", "03 - Band -  - \u00dcn\u00efcode ()",
                           "03 - Band - \u00dcn\u00efcode"};
        QTest::newRow("file and audio properties")
            << "%audioSampleRate% %audioChannels% %fileSuffix%" << QStringList(3, "44100 1 mp3")
            << QStringList(3, "44100 1 flac");
        // A rename makes one file name: the clean-up doesn't trim around the folder levels a
        // pattern writes.
        QTest::newRow("folder levels") << "../%artist% - /./%title%"
                                       << QStringList{"../AC/DC - /./Back: In Bl\u00e4ck",
                                                      "ACDC - /Back: In Bl\u00e4ck", "ACDC - /Back: In Bl\u00e4ck"}
                                       << QStringList{"../Band - /./\u00dcn\u00efcode", "Band - /\u00dcn\u00efcode",
                                                      "Band - /\u00dcn\u00efcode"};
        // The counter starts at 1 for each run; a file that isn't loaded takes no number.
        QTest::newRow("counter") << "%_counter%" << QStringList(3, "1") << QStringList(3, "2");
        QTest::newRow("result too long") << "$repeat($repeat($repeat($repeat(z,100),100),100),100)"
                                         << QStringList{} << QStringList{};
    }
    void scriptOverFiles()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, mp3);
        QFETCH(QStringList, flac);
        if (!hasTool(QStringLiteral("flac")))
            MELO_SKIP_TOOL("flac is not installed (scripts/setup installs it)");
        const QStringList files = scriptFiles();
        QVERIFY(!files.isEmpty());
        const Run run = tagtool(QStringList{"script", pattern} + files);
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QVERIFY(run.err.isEmpty());
        const QList<QByteArray> lines = run.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        const QList<QStringList> expected{mp3, {}, flac};
        for (int i = 0; i < 3; ++i) {
            const QJsonObject result = QJsonDocument::fromJson(lines.at(i)).object();
            QCOMPARE(result.value("path").toString(), files.at(i));
            if (expected.at(i).isEmpty()) {
                QVERIFY2(!result.value("error").toString().isEmpty(), lines.at(i).constData());
                for (const char *key : {"text", "fileName", "cleanFileName"})
                    QVERIFY2(result.value(key).isNull(), key);
            } else {
                QVERIFY(result.value("error").isNull());
                const QStringList fields{result.value("text").toString(), result.value("fileName").toString(),
                                         result.value("cleanFileName").toString()};
                QCOMPARE(fields, expected.at(i));
            }
        }
    }

    void scriptParseError_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("position");
        QTest::newRow("bracket that closes nothing") << "abc]" << 4;
        QTest::newRow("quote not closed") << "a'b" << 3;
        QTest::newRow("name not closed") << "%artist" << 7;
        QTest::newRow("call not closed") << "$num(%track%,2" << 14;
    }
    void scriptParseError()
    {
        QFETCH(QString, pattern);
        QFETCH(int, position);
        const Run run = tagtool({"script", pattern, m_audio});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        const QRegularExpression errorLine(
            QStringLiteral("^Error %1: .*\\bposition %2\\b.*\n$").arg(ScriptSyntaxErrorTextId).arg(position));
        QVERIFY2(errorLine.match(QString::fromLocal8Bit(run.err)).hasMatch(), run.err.constData());
    }

    // A fresh folder holding two copies of the untagged MPEG file.
    QString editFolder(const QString &name)
    {
        const QString folder = m_dir.filePath(name);
        if (!QDir().mkpath(folder) || !QFile::copy(m_audio, folder + "/a.mp3") || !QFile::copy(m_audio, folder + "/b.mp3"))
            return {};
        return folder;
    }

    QList<QJsonObject> jsonLines(const QByteArray &out)
    {
        QList<QJsonObject> lines;
        for (const QByteArray &line : out.trimmed().split('\n'))
            lines.append(QJsonDocument::fromJson(line).object());
        return lines;
    }

    void editAndSave()
    {
        const QString folder = editFolder("edit-save");
        QVERIFY(!folder.isEmpty());
        const Run run = tagtool({"edit", folder, "--set", "Title=\u00dcber", "--save"});
        QCOMPARE(run.exitCode, 0);
        const QList<QJsonObject> lines = jsonLines(run.out);
        QCOMPARE(lines.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const QString path = folder + (i == 0 ? "/a.mp3" : "/b.mp3");
            QCOMPARE(lines.at(i).value("path").toString(), path);
            QCOMPARE(lines.at(i).value("saved").toBool(), true);
            QVERIFY(lines.at(i).value("error").isNull());
            const QJsonObject title = lines.at(i).value("changed").toObject().value("Title").toObject();
            QCOMPARE(title.value("old").toArray(), QJsonArray());
            QCOMPARE(title.value("new").toArray(), QJsonArray({"\u00dcber"}));
            QCOMPARE(readReport(path).value("merged").toObject().value("Title").toArray(), QJsonArray({"\u00dcber"}));
        }
        // A second edit replaces the value it wrote.
        const Run again = tagtool({"edit", folder, "--set", "Title=second", "--save"});
        QCOMPARE(again.exitCode, 0);
        QCOMPARE(jsonLines(again.out).first().value("changed").toObject().value("Title").toObject().value("old").toArray(),
                 QJsonArray({"\u00dcber"}));
        QCOMPARE(readReport(folder + "/b.mp3").value("merged").toObject().value("Title").toArray(), QJsonArray({"second"}));
    }

    void editUndoneLeavesFilesAlone()
    {
        const QString folder = editFolder("edit-undo");
        QVERIFY(!folder.isEmpty());
        QVERIFY(tagtool({"write", folder + "/a.mp3", "--set", "Title=kept"}).exitCode == 0);
        const QByteArray a = contents(folder + "/a.mp3");
        const QByteArray b = contents(folder + "/b.mp3");
        const Run run = tagtool({"edit", folder, "--set", "Title=X", "--undo", "--save"});
        QCOMPARE(run.exitCode, 0);
        const QList<QJsonObject> lines = jsonLines(run.out);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.first().value("undone").toBool(), true);
        QCOMPARE(lines.first().value("saved").toBool(), false);
        QCOMPARE(lines.first().value("changed").toObject().value("Title").toObject().value("old").toArray(), QJsonArray({"kept"}));
        QCOMPARE(contents(folder + "/a.mp3"), a);
        QCOMPARE(contents(folder + "/b.mp3"), b);
    }

    void editBadInput_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("error");
        QTest::newRow("no audio files") << "pictures" << QStringList{"--set", "Title=X"} << QByteArray("no audio files");
        QTest::newRow("missing folder") << "nowhere" << QStringList{"--set", "Title=X"} << QByteArray("no audio files");
        QTest::newRow("no edit") << "edit-bad" << QStringList{"--save"} << QByteArray("at least one");
        QTest::newRow("unknown item") << "edit-bad" << QStringList{"--set", "Nonsense=X"} << QByteArray("no item type");
    }
    void editBadInput()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, error);
        if (folder == u"edit-bad" && !QFileInfo::exists(m_dir.filePath(folder)))
            QVERIFY(!editFolder(folder).isEmpty());
        const Run run = tagtool(QStringList{"edit", m_dir.filePath(folder)} + options);
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(error), run.err.constData());
    }

    void editFileNotSaved()
    {
        const QString folder = editFolder("edit-locked");
        QVERIFY(!folder.isEmpty());
        const QString locked = folder + "/b.mp3";
        const QByteArray before = contents(locked);
        if (QProcess::execute("chattr", {"+i", locked}) != 0)
            MELO_SKIP_TOOL("chattr +i is not available here");
        const Run run = tagtool({"edit", folder, "--set", "Title=X", "--save"});
        QProcess::execute("chattr", {"-i", locked});
        QCOMPARE(run.exitCode, 1);
        const QList<QJsonObject> lines = jsonLines(run.out);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0).value("saved").toBool(), true);
        QCOMPARE(lines.at(1).value("saved").toBool(), false);
        QVERIFY(lines.at(1).value("error").toString().contains(locked));
        QCOMPARE(contents(locked), before);
        QCOMPARE(readReport(folder + "/a.mp3").value("merged").toObject().value("Title").toArray(), QJsonArray({"X"}));
    }

    // `tagtool identify` over a folder named "Artist - Album (Year)" whose files are named
    // "NN - Title": a line per file in path order, each in the folder's one album group, the
    // online stage left out and said so, and nothing written to the files.
    void identifyFolder()
    {
        const QString folder = m_dir.filePath(QStringLiteral("identify/Lumens - Quiet Hours (2001)"));
        QVERIFY(QDir().mkpath(folder));
        QStringList files;
        for (int i = 1; i <= 4; ++i) {
            files.append(folder + QStringLiteral("/0%1 - Song Number %1.mp3").arg(i));
            QVERIFY(QFile::copy(m_audio, files.last()));
        }
        QVERIFY(tagtool({"write", files.first(), "--set", "Title=song number 1"}).exitCode == 0);
        QList<QByteArray> before;
        for (const QString &file : std::as_const(files))
            before.append(contents(file));

        const Run run = tagtool({"identify", folder});
        QCOMPARE(run.exitCode, 0);
        const QList<QJsonObject> lines = jsonLines(run.out);
        QCOMPARE(lines.size(), files.size());
        for (qsizetype i = 0; i < files.size(); ++i) {
            QCOMPARE(lines.at(i).value("path").toString(), files.at(i));
            QCOMPARE(lines.at(i).value("onlineLookup").toBool(true), false);
            QCOMPARE(lines.at(i).value("group").toObject().value("index").toInt(-1), 0);
            const QJsonObject track = lines.at(i).value("identified").toObject().value("trackNumber").toObject();
            QCOMPARE(track.value("value").toInt(), int(i) + 1);
            QCOMPARE(track.value("confidence").toString(), QStringLiteral("strong"));
            QVERIFY(lines.at(i).value("working").isObject());
            QCOMPARE(contents(files.at(i)), before.at(i));
        }
    }

    // `tagtool identify` over collections named as real ones are, in the user's music folder
    // (which is no artist): the word lists must be loaded for disc sub-folders and
    // compilations to read right. Each row is a folder of files (paths relative to the music
    // folder) and, per file, "artist|album|title|track|disc" as identified.
    void identifyLayouts_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("disc sub-folders")
            << QStringList{"Lumens/Quiet Hours/Disc 1/01 - Amber", "Lumens/Quiet Hours/Disc 1/02 - Birch",
                           "Lumens/Quiet Hours/Disc 1/03 - Cedar", "Lumens/Quiet Hours/Disc 1/04 - Dune",
                           "Lumens/Quiet Hours/Disc 2/01 - Ember", "Lumens/Quiet Hours/Disc 2/02 - Fjord",
                           "Lumens/Quiet Hours/Disc 2/03 - Grove", "Lumens/Quiet Hours/Disc 2/04 - Harbour"}
            << QStringList{"Lumens|Quiet Hours|Amber|1|1", "Lumens|Quiet Hours|Birch|2|1", "Lumens|Quiet Hours|Cedar|3|1",
                           "Lumens|Quiet Hours|Dune|4|1", "Lumens|Quiet Hours|Ember|1|2", "Lumens|Quiet Hours|Fjord|2|2",
                           "Lumens|Quiet Hours|Grove|3|2", "Lumens|Quiet Hours|Harbour|4|2"};
        QTest::newRow("numbered compilation")
            << QStringList{"Various Artists - Summer Hits/01. Lumens - Amber", "Various Artists - Summer Hits/02. Orchid Hall - Birch",
                           "Various Artists - Summer Hits/03. The Tarns - Cedar", "Various Artists - Summer Hits/04. Velvet Moss - Dune"}
            << QStringList{"Lumens|Summer Hits|Amber|1|", "Orchid Hall|Summer Hits|Birch|2|", "The Tarns|Summer Hits|Cedar|3|",
                           "Velvet Moss|Summer Hits|Dune|4|"};
        QTest::newRow("version phrases")
            << QStringList{"Lumens - Quiet Hours/01 - Northern Lights (Radio Edit)", "Lumens - Quiet Hours/02 - Tides (Acoustic Version)",
                           "Lumens - Quiet Hours/03 - Harbour", "Lumens - Quiet Hours/04 - Grove"}
            << QStringList{"Lumens|Quiet Hours|Northern Lights (Radio Edit)|1|", "Lumens|Quiet Hours|Tides (Acoustic Version)|2|",
                           "Lumens|Quiet Hours|Harbour|3|", "Lumens|Quiet Hours|Grove|4|"};
    }

    void identifyLayouts()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, expected);
        // The tool runs with a home of its own, without XDG's user-dirs file: ~/Music.
        const QString home = m_dir.filePath(QStringLiteral("home-") + QTest::currentDataTag());
        const QByteArray oldHome = qgetenv("HOME");
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + "/.config"));
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", oldHome);
            if (oldConfig.isNull())
                qunsetenv("XDG_CONFIG_HOME");
            else
                qputenv("XDG_CONFIG_HOME", oldConfig);
        });
        const QString music = home + QStringLiteral("/Music");
        const QString root = music + u'/' + files.first().section(u'/', 0, 0);
        QStringList paths;
        for (const QString &file : std::as_const(files)) {
            paths.append(music + u'/' + file + QStringLiteral(".mp3"));
            QVERIFY(QDir().mkpath(QFileInfo(paths.last()).path()));
            QVERIFY(QFile::copy(m_audio, paths.last()));
        }
        const Run run = tagtool({"identify", root});
        QCOMPARE(run.exitCode, 0);
        QMap<QString, QString> found;
        for (const QJsonObject &line : jsonLines(run.out)) {
            const QJsonObject values = line.value("identified").toObject();
            QStringList fields;
            for (const char *field : {"artist", "album", "title", "trackNumber", "discNumber"}) {
                const QJsonValue value = values.value(QLatin1String(field)).toObject().value("value");
                fields.append(value.isDouble() ? QString::number(value.toInt()) : value.toString());
            }
            found.insert(line.value("path").toString(), fields.join(u'|'));
        }
        QStringList actual;
        for (const QString &path : std::as_const(paths))
            actual.append(found.value(path, QStringLiteral("(no line)")));
        QCOMPARE(actual, expected);
    }

    // The tool beside an application package whose data table is missing or empty stops at
    // start and names the table, instead of identifying with an empty list.
    void incompletePackage_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("remove"); // else emptied down to its header line
        QTest::newRow("empty word list") << "articles.csv" << false;
        QTest::newRow("missing word list") << "discNumberWords.csv" << true;
        QTest::newRow("missing version phrases") << "versionPhrases.csv" << true;
    }

    void incompletePackage()
    {
        QFETCH(QString, table);
        QFETCH(bool, remove);
        const QString rcc = QStringLiteral("/usr/lib/qt6/libexec/rcc");
        if (!QFileInfo::exists(rcc))
            QSKIP("Qt's resource compiler is not installed");
        const QString bin = QFileInfo(QStringLiteral(MELO_TAGTOOL)).path();
        const QString dir = m_dir.filePath(QStringLiteral("incomplete-") + QTest::currentDataTag());
        QVERIFY(QDir().mkpath(dir + "/package/data"));
        for (const char *name : {"libcore.rcc", "libtagging.rcc", "libgui.rcc", "tagtool.rcc"})
            QVERIFY(QFile::copy(bin + u'/' + QLatin1String(name), dir + u'/' + QLatin1String(name)));
        QVERIFY(QFile::copy(QStringLiteral(MELO_TAGTOOL), dir + "/tagtool"));

        // The application's own package again, with the one table changed.
        QVERIFY(QResource::registerResource(bin + "/melotaxonic.rcc", "/original"));
        const auto unregister = qScopeGuard([&bin] { QResource::unregisterResource(bin + "/melotaxonic.rcc", "/original"); });
        QString qrc = "<RCC><qresource>";
        QDirIterator it(":/original", QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString source = it.next();
            const QString relative = source.mid(QStringLiteral(":/original/").size());
            const QString target = dir + "/package/" + relative;
            QVERIFY(QDir().mkpath(QFileInfo(target).path()));
            QFile in(source);
            QVERIFY(in.open(QIODevice::ReadOnly));
            QByteArray bytes = in.readAll();
            if (relative == "data/" + table) {
                if (remove)
                    continue;
                bytes = bytes.left(bytes.indexOf('\n') + 1);
            }
            QFile out(target);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
            qrc += QStringLiteral("<file>%1</file>").arg(relative.toHtmlEscaped());
        }
        qrc += "</qresource></RCC>";
        QFile list(dir + "/package/package.qrc");
        QVERIFY(list.open(QIODevice::WriteOnly) && list.write(qrc.toUtf8()) > 0);
        list.close();
        QCOMPARE(QProcess::execute(rcc, {"--binary", "-o", dir + "/melotaxonic.rcc", dir + "/package/package.qrc"}), 0);

        QProcess process;
        process.setWorkingDirectory(dir);
        process.start(dir + "/tagtool", {"identify", m_dir.path()});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 1);
        const QByteArray err = process.readAllStandardError();
        QVERIFY2(err.contains("616179823") && err.contains(":/app/data/" + table.toUtf8()), err.constData());
        QVERIFY(process.readAllStandardOutput().isEmpty());
    }

    void identifyBadInput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("error");
        QTest::newRow("folder without audio files") << QStringList{"identify", "pictures"} << QByteArray("no audio files");
        QTest::newRow("missing folder") << QStringList{"identify", "nowhere"} << QByteArray("no audio files");
        QTest::newRow("service without address") << QStringList{"identify", "--service"} << QByteArray("needs an argument");
        QTest::newRow("unknown option") << QStringList{"identify", "--fast", "pictures"} << QByteArray("nknown option \"--fast\"");
    }
    void identifyBadInput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, error);
        for (qsizetype i = 1; i < arguments.size(); ++i) {
            if (!arguments.at(i).startsWith(u'-'))
                arguments[i] = m_dir.filePath(arguments.at(i));
        }
        const Run run = tagtool(arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(error), run.err.constData());
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("read without files") << QStringList{"read"};
        QTest::newRow("write without a file") << QStringList{"write"};
        QTest::newRow("script without files") << QStringList{"script", "%title%"};
        QTest::newRow("script without a pattern") << QStringList{"script"};
        QTest::newRow("edit without options") << QStringList{"edit", "folder"};
        QTest::newRow("identify without paths") << QStringList{"identify"};
        QTest::newRow("unknown command") << QStringList{"erase", "x.mp3"};
    }
    void usage()
    {
        QFETCH(QStringList, arguments);
        const Run run = tagtool(arguments);
        QCOMPARE(run.exitCode, 2);
        // A graphical start may print a warning of Qt first.
        QVERIFY(run.err.contains("Usage: tagtool read"));
    }
};

QTEST_GUILESS_MAIN(TestTagTool)
#include "tst_tagtool.moc"
