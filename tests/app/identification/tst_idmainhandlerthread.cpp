#include <QtTest>

#include "app/identification/idmainhandlerthread.h"
#include "app/operations/modelupdateoperation.h"
#include "libcore/image/codedimage.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/progress/linearprogressobject.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/textcatalogue.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

#include "support_identification.h"

namespace {

const ModelDataType Title(TagItemType::Title);

ArtworkTagItem *picture(int size, const QString &description)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::red);
    return new ArtworkTagItem(CodedImage(image, QStringLiteral("PNG")), 3, description);
}

QStringList pictureTexts(const QList<TagItem *> &items)
{
    QStringList result;
    for (const TagItem *item : items)
        result.append(static_cast<const ArtworkTagItem *>(item)->description);
    return result;
}

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

// The per-folder nodes under the analysis node of a run's progress tree.
CombinedProgressObject *analysisNode(CombinedProgressObject *root)
{
    return static_cast<CombinedProgressObject *>(root->child(root->childCount() - 1));
}

} // namespace

// The identification thread: the run over a selection folder by folder, the context files of
// small folders, the progress tree with its cancel points, the hand-over of the result and the
// status line with the time left.
class TestIdMainHandlerThread : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        setUpIdentificationTests();
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        TextCatalogue::applyLanguage(english, english);
    }

    void init() { SettingsStore::reset(); }

    void statusText_data()
    {
        QTest::addColumn<double>("fraction");
        QTest::addColumn<int>("files");
        QTest::addColumn<qint64>("elapsedMsecs"); // -1: not started
        QTest::addColumn<bool>("artwork");
        QTest::addColumn<QString>("expected");
        // Guessed rates: 100 to 300 files a minute with artwork, 300 to 900 without.
        QTest::newRow("6 to 18 seconds") << 0.0 << 30 << qint64(-1) << true
                                         << "Identifying 30 files\na few seconds left";
        QTest::newRow("40 to 120 seconds") << 0.0 << 600 << qint64(-1) << false
                                           << "Identifying 600 files\nabout 80 seconds left";
        QTest::newRow("66 to 200 seconds") << 0.0 << 1000 << qint64(-1) << false
                                           << "Identifying 1000 files\nabout 2 minutes to 4 minutes left";
        // Under a second measures nothing yet.
        QTest::newRow("999 ms run") << 0.0 << 600 << qint64(999) << false
                                    << "Identifying 600 files\nabout 80 seconds left";
        // Half done in a minute: 5000 files a minute measured, blended half and half with the
        // guesses to 2650 and 2950, so 101 to 113 seconds are left: both in the second minute.
        QTest::newRow("measured rate blended in") << 0.5 << 10000 << qint64(60000) << false
                                                  << "Identifying 10000 files\nabout 2 minutes left";
        // One file in two minutes measures 0 files a minute; the rates stay at least 1.
        QTest::newRow("measured rate of zero") << 1.0 << 1 << qint64(120000) << false
                                               << "Identifying 1 files\na few seconds left";
        QTest::newRow("no files") << 0.0 << 0 << qint64(-1) << true << "Identifying 0 files\na few seconds left";
    }

    void statusText()
    {
        QFETCH(double, fraction);
        QFETCH(int, files);
        QFETCH(qint64, elapsedMsecs);
        QFETCH(bool, artwork);
        QFETCH(QString, expected);
        QCOMPARE(IdMainHandlerThread::statusText(fraction, files, elapsedMsecs, artwork), expected);
    }

    // Context files: the supported audio files of a folder with at most 100 entries besides the
    // selected files, in name order, hidden ones included; sub-folders are no entries.
    void siblingPaths_data()
    {
        QTest::addColumn<int>("otherEntries");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("100 other entries") << 100 << QStringList{".hidden.mp3", "a.flac", "b.mp3"};
        QTest::newRow("101 other entries") << 101 << QStringList();
    }

    void siblingPaths()
    {
        QFETCH(int, otherEntries);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString folder = dir.path();
        QSet<QString> selected;
        for (const QString &name : QStringList{"s1.mp3", "s2.mp3"}) {
            touch(folder + "/" + name);
            selected.insert(folder + "/" + name);
        }
        for (const QString &name : QStringList{"b.mp3", "a.flac", ".hidden.mp3"})
            touch(folder + "/" + name);
        for (int i = 3; i < otherEntries; ++i)
            touch(folder + QStringLiteral("/note%1.txt").arg(i));
        QVERIFY(QDir(folder).mkdir("sub.mp3"));

        QStringList expectedPaths;
        for (const QString &name : expected)
            expectedPaths.append(folder + "/" + name);
        QCOMPARE(identificationSiblingPaths(folder, selected), expectedPaths);
        QCOMPARE(identificationSiblingPaths(folder + "/missing", selected), QStringList());
    }

    // The thread over files of two folders: one analysis node per folder, in path order, with
    // the folder's file count as weight and nine stage nodes; the result changes threads with
    // the hand-over and is handed over once.
    void runAndTakeResult()
    {
        QObject owner;
        QList<AudioFile *> files;
        for (const QString &path : QStringList{"/nonexistent/b/3.mp3", "/nonexistent/a/1.mp3", "/nonexistent/a/2.mp3"})
            files.append(fakeAudioFile(path, {"Artist"}, &owner));
        AudioFileSelection selection;
        selection.insert(files, {Title});

        IdMainHandlerThread thread(selection);
        thread.setOnlineLookup(false);
        QCOMPARE(thread.progressObject()->statusText(), QStringLiteral("Identifying 3 files\na few seconds left"));
        QVERIFY(!thread.takeResult(&owner));
        QSignalSpy completed(&thread, &ProgressThread::completed);
        thread.start();
        QVERIFY(completed.wait(30000));

        QVERIFY(thread.progressObject()->isFinished());
        CombinedProgressObject *analysis = analysisNode(thread.progressObject());
        QCOMPARE(thread.progressObject()->childCount(), 1); // nothing to load
        QCOMPARE(analysis->childCount(), 2);
        for (int i = 0; i < 2; ++i) {
            auto *folder = static_cast<CombinedProgressObject *>(analysis->child(i));
            QCOMPARE(folder->childCount(), 9);
            QVERIFY(folder->isFinished());
        }

        ModelUpdateOperation *result = thread.takeResult(&owner);
        QVERIFY(result);
        QCOMPARE(result->parent(), &owner);
        QCOMPARE(result->thread(), QThread::currentThread());
        QCOMPARE(result->description(), QStringLiteral("identify 3 files"));
        QVERIFY(result->selectsChangedCells);
        QCOMPARE(result->selection(), selection);
        QVERIFY(!thread.takeResult(&owner));
    }

    // A stage that throws (here the lookup, with no service address configured) ends the run:
    // logged, no result, and the progress finished so that the dialog closes.
    void failedRun()
    {
        qunsetenv("MELO_SERVICE_ENDPOINT");
        QObject owner;
        QList<AudioFile *> files;
        for (const QString &path : QStringList{"/nonexistent/a/01 One.mp3", "/nonexistent/a/02 Two.mp3"})
            files.append(fakeAudioFile(path, {"Artist"}, &owner));
        AudioFileSelection selection;
        selection.insert(files, {Title});
        BufferedLogger logger;
        IdMainHandlerThread thread(selection);
        QSignalSpy completed(&thread, &ProgressThread::completed);
        thread.start();
        QVERIFY(completed.wait(60000));
        QVERIFY(logger.containsCode(IdentificationFailedTextId));
        QVERIFY(!thread.takeResult(&owner));
    }

    void emptySelection()
    {
        QObject owner;
        // No folder, so no lookup either.
        ModelUpdateOperation *operation = IdMainHandlerThread::identify(AudioFileSelection(), nullptr, &owner);
        QVERIFY(operation->tagCopies().isEmpty());
        QCOMPARE(operation->description(), "identify " + AudioFile::filesCaption({}));
    }

    // The identification update set is applied once to each selected file, after the stages of
    // its folder. Keeping both sides' pictures is not idempotent: applied again for every later
    // folder, the files of the first folder would gain the original picture once more each time.
    // A cancelled folder is not restricted, and the folders after it are not run.
    void restrictEachFileOnce_data()
    {
        QTest::addColumn<int>("cancelAfterStage"); // of the first folder; -1: never
        QTest::addColumn<QStringList>("firstFolder");
        QTest::addColumn<QStringList>("secondFolder");
        QTest::newRow("whole run") << -1 << QStringList{"old", "new"} << QStringList{"old", "new"};
        QTest::newRow("cancelled after segmentation") << 2 << QStringList{"new"} << QStringList{"new"};
        QTest::newRow("cancelled after scoring") << 4 << QStringList{"new"} << QStringList{"new"};
    }

    void restrictEachFileOnce()
    {
        QFETCH(int, cancelAfterStage);
        QFETCH(QStringList, firstFolder);
        QFETCH(QStringList, secondFolder);
        QVERIFY(SettingsStore::setValue("identification/updateSet/type", "1"));
        QVERIFY(SettingsStore::setValue("identification/updateSet/data", "artwork:4,title:1"));

        QObject owner;
        QList<AudioFile *> files;
        for (const QString &path : QStringList{"/nonexistent/a/1.mp3", "/nonexistent/a/2.mp3", "/nonexistent/b/3.mp3"}) {
            AudioFile *file = fakeAudioFile(path, {"Artist"}, &owner);
            file->tags().value(0)->addItem(picture(20, "old"));
            files.append(file);
        }
        AudioFileSelection selection;
        selection.insert(files, {Title});
        ModelUpdateOperation operation(selection);
        for (AudioFile *file : files) {
            AudioTag *working = operation.workingTag(file);
            working->removeItems(ArtworkTagItem::Type);
            working->addItem(picture(30, "new"));
        }

        CombinedProgressObject root;
        QMetaObject::Connection cancelling;
        if (cancelAfterStage >= 0) {
            cancelling = connect(&root, &ProgressObject::progressUpdated, this, [&] {
                if (root.childCount() == 0)
                    return;
                ProgressObject *folder = analysisNode(&root)->child(0);
                auto *stages = static_cast<CombinedProgressObject *>(folder);
                if (stages->childCount() == 9 && stages->child(cancelAfterStage)->isFinished())
                    root.cancel();
            });
        }
        IdRunOptions offline;
        offline.onlineLookup = false;
        identifyFiles(files, &root, &operation, offline);
        disconnect(cancelling);

        QCOMPARE(pictureTexts(operation.workingItems(files.at(0), ArtworkTagItem::Type)), firstFolder);
        QCOMPARE(pictureTexts(operation.workingItems(files.at(1), ArtworkTagItem::Type)), firstFolder);
        QCOMPARE(pictureTexts(operation.workingItems(files.at(2), ArtworkTagItem::Type)), secondFolder);
        if (cancelAfterStage >= 0) {
            auto *first = static_cast<CombinedProgressObject *>(analysisNode(&root)->child(0));
            QVERIFY(!first->child(cancelAfterStage + 1)->isFinished());
            auto *second = static_cast<CombinedProgressObject *>(analysisNode(&root)->child(1));
            QCOMPARE(second->childCount(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestIdMainHandlerThread)
#include "tst_idmainhandlerthread.moc"
