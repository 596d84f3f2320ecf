#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

#include "app/model/audiofileloading.h"
#include "app/model/audiofilereaderthread.h"
#include "app/model/audiofilesearcherthread.h"
#include "app/model/audiofilewriterthread.h"
#include "app/model/support_loading.h"
#include "app/model/support_model.h"
#include "app/model/audiofilemodeldata.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/modifiedselectiontracker.h"
#include "app/operations/operation.h"
#include "app/operations/operationqueue.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/progress/progressobject.h"
#include "libcore/settings/settingsstore.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"
#include "shared/support_skip.h"

#include <algorithm>

#include <unistd.h>

namespace {
QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Makes writing the file fail for anyone, root included; false when the system cannot.
bool makeImmutable(const QString &path, bool immutable)
{
    return QProcess::execute(QStringLiteral("chattr"), {immutable ? "+i" : "-i", path}) == 0;
}

QString titleOnDisk(const QString &path)
{
    AudioFile file(path);
    file.readTags(0, true);
    AudioTag *tag = file.tag(0);
    return tag ? tag->itemText(TagItemType::Title) : QString();
}

void setTitle(AudioFile *file, const QString &title)
{
    auto *tag = new AudioTag;
    tag->addItem(makeModelItem(TagItemType::Title, title));
    file->setTag(tag, 0);
}
} // namespace

class TestFileLoading : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { loadModelTexts(); }

    void addAudioFiles_readsEachFileOnce_data();
    void addAudioFiles_readsEachFileOnce();
    void addAudioFiles_largeLoads_data();
    void addAudioFiles_largeLoads();
    void addAudioFiles_partialFailure();
    void addAudioFiles_hint();
    void openPaths_descriptions();
    void addFolders_nothingFound();
    void searcher_statusShowsLastFolder();
    void saveAudioFiles_outcomes_data();
    void saveAudioFiles_outcomes();
    void saveAudioFiles_failedFileIntact();
    void saveAudioFiles_sameFileTwice();
    void saveAudioFiles_cancel();
    void saveAudioFiles_outsideEventLoop_data();
    void saveAudioFiles_outsideEventLoop();
    void endToEnd_realFiles();
};

void TestFileLoading::addAudioFiles_readsEachFileOnce_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::addColumn<int>("loaded");
    QTest::addColumn<int>("steps");

    QTest::newRow("same path twice") << QStringList{"a.mp3", "a.mp3"} << QStringList() << 1 << 1;
    QTest::newRow("already loaded") << QStringList{"a.mp3"} << QStringList{"a.mp3"} << 1 << 1;
    QTest::newRow("link to folder, later") << QStringList{"a.mp3"} << QStringList{"alias/a.mp3"} << 1 << 1;
    QTest::newRow("link to folder, same call") << QStringList{"alias/a.mp3", "a.mp3"} << QStringList() << 1 << 1;
    QTest::newRow("hard link") << QStringList{"a.mp3"} << QStringList{"hard.mp3"} << 1 << 1;
    QTest::newRow("two files") << QStringList{"a.mp3"} << QStringList{"sub/b.mp3"} << 2 << 2;
    QTest::newRow("unsupported suffix") << QStringList{"notes.txt"} << QStringList() << 0 << 0;
    QTest::newRow("suffix in other case") << QStringList{"sub/B.MP3"} << QStringList() << 0 << 0;
}

void TestFileLoading::addAudioFiles_readsEachFileOnce()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(int, loaded);
    QFETCH(int, steps);

    AudioFileFactory files;
    const QDir dir(files.folder());
    files.copyFixture("a.mp3");
    files.copyFixture("sub/b.mp3");
    files.copyFixture("sub/B.MP3");
    writeBytes(dir.filePath("notes.txt"), "notes");
    QVERIFY(QFile::link(dir.path(), dir.filePath("alias")));
    QVERIFY(::link(QFile::encodeName(dir.filePath("a.mp3")).constData(), QFile::encodeName(dir.filePath("hard.mp3")).constData()) == 0);

    TestMainWindow window;
    auto absolute = [&](const QStringList &paths) {
        QStringList list;
        for (const QString &path : paths)
            list.append(dir.filePath(path));
        return list;
    };
    addAudioFiles(absolute(first), QString());
    if (!second.isEmpty())
        addAudioFiles(absolute(second), QString());
    QCOMPARE(window.store()->loadedFiles().size(), loaded);
    QCOMPARE(window.operationQueue()->undoStack().size(), steps);
    QVERIFY(shownWith(window, FilesNotReadTextId).isEmpty());
}

void TestFileLoading::addAudioFiles_largeLoads_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("undoKept");

    QTest::newRow("250 keeps the undo steps") << 250 << false << false << true;
    QTest::newRow("251 clears them") << 251 << false << false << false;
    QTest::newRow("251 clears them, even when canceled") << 251 << true << false << false;
    QTest::newRow("5000 asks nothing") << 5000 << true << false << false;
    QTest::newRow("5001 asks, No keeps everything") << 5001 << false << true << true;
}

void TestFileLoading::addAudioFiles_largeLoads()
{
    QFETCH(int, count);
    QFETCH(bool, cancel);
    QFETCH(bool, asked);
    QFETCH(bool, undoKept);

    AudioFileFactory files;
    TestMainWindow window;
    addAudioFiles({files.copyFixture("a.mp3")}, QString());
    QCOMPARE(window.operationQueue()->undoStack().size(), 1);

    // Junk: it fails quickly, and the question and the clearing come before reading.
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        paths.append(QDir(files.folder()).filePath(QStringLiteral("junk%1.flac").arg(i)));
        writeBytes(paths.last(), "junk");
    }
    CancellingLogger canceller(cancel ? FileNotReadTextId : 0);
    addAudioFiles(paths, QString());

    QCOMPARE(window.questions.size(), asked ? 1 : 0);
    QCOMPARE(window.operationQueue()->undoStack().size(), undoKept ? 1 : 0);
    QCOMPARE(window.store()->loadedFiles().size(), 1);
    if (cancel)
        QVERIFY(canceller.cancels > 0);
    // A cancel or a No shows nothing.
    QCOMPARE(shownWith(window, FilesNotReadTextId).isEmpty(), cancel || asked);
}

void TestFileLoading::addAudioFiles_partialFailure()
{
    AudioFileFactory files;
    TestMainWindow window;
    SettingsStore::setValue("showHints/showAutoTaggerHint", "true");
    const QString corrupt = QDir(files.folder()).filePath("corrupt.flac");
    writeBytes(corrupt, QByteArray(100, 'x'));
    addAudioFiles({files.copyFixture("a.mp3"), corrupt, files.copyFixture("b.mp3")}, QString());

    QCOMPARE(window.store()->loadedFiles().size(), 2);
    QCOMPARE(window.operationQueue()->undoStack().size(), 1);
    QCOMPARE(window.operationQueue()->undoStack().first()->description(), QStringLiteral("Add 2 files"));
    const QList<LogMessage> shown = shownWith(window, FilesNotReadTextId);
    const QList<quint32> codes = messageCodes(shown);
    QCOMPARE(codes.count(FileNotReadTextId), 1);
    QVERIFY(codes.contains(FilesAddedTextId));
    QCOMPARE(shown.at(codes.indexOf(FileNotReadTextId)).arguments, QVariantList({QDir::toNativeSeparators(corrupt)}));
    QCOMPARE(shown.last().arguments, QVariantList({1, 3}));
    QVERIFY(window.hints.isEmpty());
}

void TestFileLoading::addAudioFiles_hint()
{
    AudioFileFactory files;
    TestMainWindow window;
    window.setSettingsFilePath(QDir(files.folder()).filePath("settings.xml"));
    window.hintShowAgain = false;
    SettingsStore::setValue("showHints/showAutoTaggerHint", "true");
    addAudioFiles({files.copyFixture("a.mp3")}, QString());

    QCOMPARE(window.hints.size(), 1);
    QVERIFY(window.hints.first().contains(QStringLiteral("automatic tagger")));
    QVERIFY(!SettingsStore::boolValue("showHints/showAutoTaggerHint"));
    // Written at once, not at exit.
    QVERIFY(contents(window.settingsFilePath()).contains("showAutoTaggerHint"));

    addAudioFiles({files.copyFixture("b.mp3")}, QString());
    QCOMPARE(window.hints.size(), 1);
}

void TestFileLoading::openPaths_descriptions()
{
    AudioFileFactory files;
    const QDir dir(files.folder());
    files.copyFixture("one/a.mp3");
    files.copyFixture("one/deep/b.mp3");
    files.copyFixture("two/c.mp3");
    const QString loose = files.copyFixture("d.mp3");
    TestMainWindow window;

    openPaths({dir.filePath("one") + '/'}, true);
    QCOMPARE(window.store()->loadedFiles().size(), 2);
    QCOMPARE(window.operationQueue()->undoOperation()->description(),
             QStringLiteral("Add 2 files from %1").arg(QDir::toNativeSeparators(dir.filePath("one") + '/')));

    openPaths({dir.filePath("two"), loose, dir.filePath("missing")}, true);
    QCOMPARE(window.store()->loadedFiles().size(), 4);
    QCOMPARE(window.operationQueue()->undoOperation()->description(), QStringLiteral("Add 2 files"));
}

void TestFileLoading::addFolders_nothingFound()
{
    AudioFileFactory files;
    const QDir dir(files.folder());
    files.copyFixture("deep/a.mp3");
    TestMainWindow window;

    addFolders({dir.path()}, false);
    QCOMPARE(window.informations.size(), 1);
    QVERIFY(window.informations.first().contains(QStringLiteral("add folder with subfolders")));
    QCOMPARE(window.store()->loadedFiles().size(), 0);

    addFolders({dir.filePath("deep")}, true);
    QCOMPARE(window.store()->loadedFiles().size(), 1);
    QCOMPARE(window.operationQueue()->undoOperation()->description(),
             QStringLiteral("Add 1 files from %1").arg(QDir::toNativeSeparators(dir.filePath("deep"))));
}

void TestFileLoading::searcher_statusShowsLastFolder()
{
    // The walk reports many folders while the GUI thread is busy; once the events run, the
    // status names the last folder and every file found.
    AudioFileFactory files;
    const QDir dir(files.folder());
    for (int i = 0; i < 40; ++i)
        files.copyFixture(QStringLiteral("f%1/a.mp3").arg(i, 2, 10, QLatin1Char('0')));
    AudioFileSearcherThread searcher({dir.path()}, true);
    searcher.start();
    QVERIFY(searcher.wait(10000));
    QCoreApplication::processEvents();
    QCOMPARE(searcher.filePaths().size(), 40);
    QCOMPARE(searcher.progressObject()->statusText(),
             QStringLiteral("Searching %1: 40 audio files found").arg(QDir::toNativeSeparators(dir.filePath("f39"))));
}

void TestFileLoading::saveAudioFiles_outcomes_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("showLogOnSuccess");

    QTest::newRow("nothing") << 0 << true;
    QTest::newRow("save command") << 2 << true;
    QTest::newRow("close question") << 2 << false;
    QTest::newRow("several writers") << 45 << false;
}

void TestFileLoading::saveAudioFiles_outcomes()
{
    QFETCH(int, count);
    QFETCH(bool, showLogOnSuccess);

    AudioFileFactory files;
    TestMainWindow window;
    QObject owner;
    QList<AudioFile *> list;
    for (int i = 0; i < count; ++i) {
        list.append(new AudioFile(files.copyFixture(QStringLiteral("f%1.mp3").arg(i)), &owner));
        setTitle(list.last(), QStringLiteral("title %1").arg(i));
    }
    QVERIFY(saveAudioFiles(list, showLogOnSuccess));
    for (int i = 0; i < count; ++i)
        QCOMPARE(titleOnDisk(list.at(i)->filePath()), QStringLiteral("title %1").arg(i));
    QCOMPARE(shownWith(window, FilesSavedTextId).isEmpty(), count == 0 || !showLogOnSuccess);
}

void TestFileLoading::saveAudioFiles_failedFileIntact()
{
    AudioFileFactory files;
    TestMainWindow window;
    QObject owner;
    QList<AudioFile *> list;
    for (const char *name : {"a.mp3", "b.mp3", "c.mp3"}) {
        list.append(new AudioFile(files.copyFixture(name), &owner));
        setTitle(list.last(), QStringLiteral("new"));
    }
    const QString locked = list.at(1)->filePath();
    const QByteArray before = contents(locked);
    if (!makeImmutable(locked, true))
        MELO_SKIP_TOOL("chattr +i is not available here");
    const bool saved = saveAudioFiles(list, true);
    makeImmutable(locked, false);

    QVERIFY(!saved);
    QCOMPARE(contents(locked), before);
    QCOMPARE(titleOnDisk(list.at(0)->filePath()), QStringLiteral("new"));
    QCOMPARE(titleOnDisk(list.at(2)->filePath()), QStringLiteral("new"));
    const QList<LogMessage> shown = shownWith(window, FilesNotSavedTextId);
    QVERIFY(messageCodes(shown).contains(FileNotSavedTextId));
    QCOMPARE(shown.last().code, quint32(FilesNotSavedTextId));
    QCOMPARE(shown.last().arguments, QVariantList({1, 3}));
}

void TestFileLoading::saveAudioFiles_sameFileTwice()
{
    AudioFileFactory files;
    const QDir dir(files.folder());
    const QString path = files.copyFixture("album/a.mp3");
    QVERIFY(QFile::link(dir.filePath("album"), dir.filePath("alias")));
    TestMainWindow window;
    QObject owner;
    auto *direct = new AudioFile(path, &owner);
    auto *throughLink = new AudioFile(dir.filePath("alias/a.mp3"), &owner);
    direct->readTags(0, true);
    throughLink->readTags(0, true);
    setTitle(direct, QStringLiteral("first"));
    setTitle(throughLink, QString(300, 'x'));

    // The same object twice is one file.
    QVERIFY(saveAudioFiles({direct, direct}, false));
    // Another spelling of the same file is not written over it with stale offsets.
    QVERIFY(!saveAudioFiles({direct, throughLink}, false));
    QCOMPARE(titleOnDisk(path), QStringLiteral("first"));
    const QList<quint32> codes = messageCodes(shownWith(window, SameFileTwiceTextId));
    QVERIFY(codes.contains(SameFileTwiceTextId));
    QCOMPARE(codes.last(), quint32(FilesNotSavedTextId));
}

void TestFileLoading::saveAudioFiles_cancel()
{
    AudioFileFactory files;
    const QDir dir(files.folder());
    TestMainWindow window;
    QObject owner;
    QList<AudioFile *> list;
    list.append(new AudioFile(files.copyFixture("a.mp3"), &owner));
    // A folder where the file was: its save fails, and the failure is where we cancel.
    const QString gone = files.copyFixture("b.mp3");
    list.append(new AudioFile(gone, &owner));
    list.append(new AudioFile(files.copyFixture("c.mp3"), &owner));
    for (AudioFile *file : list)
        setTitle(file, QStringLiteral("new"));
    QVERIFY(QFile::remove(gone));
    QVERIFY(dir.mkdir("b.mp3"));

    CancellingLogger canceller(FileNotSavedTextId);
    BufferedLogger all;
    QVERIFY(!saveAudioFiles(list, true));
    QCOMPARE(int(canceller.cancels), 1);
    QVERIFY(shownWith(window, SaveCanceledTextId).isEmpty());
    QCOMPARE(all.lastMessage().code, quint32(SaveCanceledTextId));
    QCOMPARE(all.lastMessage().arguments, QVariantList({1}));
    QCOMPARE(titleOnDisk(list.at(0)->filePath()), QStringLiteral("new"));
    QVERIFY(titleOnDisk(list.at(2)->filePath()) != QStringLiteral("new"));
}

// Test functions run outside exec(), as the tag tool saves. The writer thread drops items of
// tags that belong to this thread (the tagging date of an earlier save, a duplicate); that
// must not wait for a deferred deletion, which only an exec()'d loop would run. The watchdog
// runs such a deletion by hand, so that a regression fails instead of hanging.
void TestFileLoading::saveAudioFiles_outsideEventLoop_data()
{
    QTest::addColumn<int>("saves");
    QTest::addColumn<int>("titles");

    QTest::newRow("second save replaces the tagging date") << 2 << 1;
    QTest::newRow("duplicate item dropped") << 1 << 2;
}

void TestFileLoading::saveAudioFiles_outsideEventLoop()
{
    QFETCH(int, saves);
    QFETCH(int, titles);

    SettingsStore::setValue(QStringLiteral("tagging/updateTaggingDate"), QStringLiteral("true"));
    AudioFileFactory files;
    TestMainWindow window;
    QObject owner;
    auto *file = new AudioFile(files.copyFixture("a.mp3"), &owner);
    auto *tag = new AudioTag;
    for (int i = 0; i < titles; ++i)
        tag->addItem(makeModelItem(TagItemType::Title, QStringLiteral("same")));
    file->setTag(tag, 0);

    bool stuck = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, this, [&stuck] {
        stuck = true;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    for (int i = 0; i < saves; ++i) {
        watchdog.start(10000);
        QVERIFY(saveAudioFiles({file}, false));
        QVERIFY(!stuck);
    }
    QCOMPARE(file->tag(0)->itemCount(TagItemType::Title), 1);
    QCOMPARE(file->tag(0)->itemCount(TagItemType::TaggingDate), 1);
    QCOMPARE(titleOnDisk(file->filePath()), QStringLiteral("same"));
}

namespace {
// Makes the file with Debian's encoders from a second of sine tone, titled "original".
bool encode(const QString &wav, const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    QString program;
    QStringList arguments;
    if (suffix == u"mp3") {
        program = "lame";
        arguments = {"--quiet", "--tt", "original", wav, path};
    } else if (suffix == u"flac") {
        program = "flac";
        arguments = {"--silent", "-T", "TITLE=original", "-o", path, wav};
    } else if (suffix == u"ogg") {
        program = "oggenc";
        arguments = {"--quiet", "-t", "original", "-o", path, wav};
    } else {
        program = "ffmpeg";
        arguments = {"-loglevel", "error", "-i", wav, "-c:a", "aac", "-metadata", "title=original", path};
    }
    return QProcess::execute(program, arguments) == 0 && QFileInfo(path).size() > 0;
}

// The titles and artists python3-mutagen reads, one "name|title|artist" line per file.
QStringList mutagenTags(const QStringList &paths)
{
    QProcess python;
    QStringList arguments{"-c",
                          "import sys, os, mutagen\n"
                          "for p in sys.argv[1:]:\n"
                          "    f = mutagen.File(p, easy=True)\n"
                          "    print('%s|%s|%s' % (os.path.basename(p), f['title'][0], f['artist'][0]))\n"};
    python.start("/usr/bin/python3", arguments + paths);
    python.waitForFinished(60000);
    return QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}
} // namespace

void TestFileLoading::endToEnd_realFiles()
{
    QTemporaryDir dir;
    QTemporaryDir source;
    const QString wav = source.filePath("tone.wav");
    if (QProcess::execute("ffmpeg", {"-loglevel", "error", "-f", "lavfi", "-i", "sine=frequency=440:duration=1", wav}) != 0)
        MELO_SKIP_TOOL("ffmpeg is not available");
    const QStringList names{"a.mp3", "b.flac", "c.ogg", "d.m4a", "sub/e.mp3"};
    QDir(dir.path()).mkdir("sub");
    for (const QString &name : names) {
        QVERIFY2(encode(wav, dir.filePath(name)), qPrintable(name));
    }
    const QString locked = dir.filePath("sub/e.mp3");

    TestMainWindow window;
    openPaths({dir.path()}, true);
    QList<AudioFile *> files = window.store()->loadedFiles().values();
    std::sort(files.begin(), files.end(), audioFilePathLessThan);
    QCOMPARE(files.size(), names.size());

    auto *update = new ModelUpdateOperation(AudioFileSelection(window.model()));
    for (AudioFile *file : files) {
        update->workingTag(file)->setItemValue(TagItemType::Title, QStringLiteral("changed"));
        update->workingTag(file)->setItemValue(TagItemType::Artist, QStringLiteral("Ærøskøbing Ünïcode"));
    }
    window.operationQueue()->apply(update);
    auto titles = [&] {
        QStringList list;
        for (AudioFile *file : files)
            list.append(file->tag(0) ? file->tag(0)->itemText(TagItemType::Title) : QString());
        return list;
    };
    QCOMPARE(titles(), QStringList(names.size(), "changed"));
    window.operationQueue()->undo();
    QCOMPARE(titles(), QStringList(names.size(), "original"));
    window.operationQueue()->redo();
    QCOMPARE(titles(), QStringList(names.size(), "changed"));

    const QByteArray lockedBefore = contents(locked);
    if (!makeImmutable(locked, true))
        MELO_SKIP_TOOL("chattr +i is not available here");
    const bool saved = saveAudioFiles(files, true);
    makeImmutable(locked, false);
    QVERIFY(!saved);
    QCOMPARE(contents(locked), lockedBefore);
    // Only the file that could not be saved still shows modified cells.
    QCOMPARE(window.modifiedSelectionTracker()->modifiedSelection().dataTypesByFile().keys(),
             QList<AudioFile *>({files.last()}));
    const QList<LogMessage> shown = shownWith(window, FilesNotSavedTextId);
    QCOMPARE(shown.last().arguments, QVariantList({1, int(names.size())}));
    QCOMPARE(shown.at(messageCodes(shown).indexOf(FileNotSavedTextId)).arguments,
             QVariantList({QDir::toNativeSeparators(locked)}));

    QStringList savedPaths;
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        if (path == locked) {
            QCOMPARE(titleOnDisk(path), QStringLiteral("original"));
            continue;
        }
        savedPaths.append(path);
        AudioFile reread(path);
        reread.readTags(0, true);
        QCOMPARE(reread.tag(0)->itemText(TagItemType::Title), QStringLiteral("changed"));
        QCOMPARE(reread.tag(0)->itemText(TagItemType::Artist), QStringLiteral("Ærøskøbing Ünïcode"));
    }
    const QStringList expected{"a.mp3|changed|Ærøskøbing Ünïcode", "b.flac|changed|Ærøskøbing Ünïcode",
                               "c.ogg|changed|Ærøskøbing Ünïcode", "d.m4a|changed|Ærøskøbing Ünïcode"};
    QCOMPARE(mutagenTags(savedPaths), expected);
}

QTEST_MAIN(TestFileLoading)
#include "tst_fileloading.moc"
