#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include "app/model/audiofilemodeldata.h"
#include "app/model/support_model.h"
#include "app/operations/filesystemoperation.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/movefilesoperation.h"
#include "app/operations/operationqueue.h"
#include "app/shell/headlessmainwindow.h"
#include "libcore/io/filetree.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/log/exception.h"
#include "libtagging/model/audiofile.h"

namespace {

// A temporary folder described as sorted entries: "folder/" for folders, "file=contents"
// for files, "link->target" for links.
struct Disk {
    QTemporaryDir dir;

    QString path(const QString &relative) const { return dir.path() + QLatin1Char('/') + relative; }

    void make(const QStringList &entries) const
    {
        for (const QString &entry : entries) {
            if (entry.endsWith(QLatin1Char('/'))) {
                QVERIFY(QDir().mkpath(path(entry)));
                continue;
            }
            const qsizetype eq = entry.indexOf(QLatin1Char('='));
            const QString name = eq < 0 ? entry : entry.left(eq);
            QFile file(path(name));
            QVERIFY(QDir().mkpath(QFileInfo(file).path()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(eq < 0 ? QByteArray() : entry.mid(eq + 1).toUtf8());
        }
    }

    QStringList entries() const
    {
        QStringList result;
        QDirIterator it(dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            const QString relative = QDir(dir.path()).relativeFilePath(info.filePath());
            if (info.isSymLink()) {
                result.append(relative + QStringLiteral("->") + QFileInfo(info.symLinkTarget()).fileName());
            } else if (info.isDir()) {
                result.append(relative + QLatin1Char('/'));
            } else {
                QFile file(info.filePath());
                const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>";
                result.append(relative + QLatin1Char('=') + QString::fromUtf8(bytes));
            }
        }
        result.sort();
        return result;
    }
};

// Actions as words: "write a.txt=bytes", "remove a", "copy a b", "move a b", "mkdir a",
// "rmdir a", "inert a"; paths are relative to the disk.
void addActions(FileSystemOperation &operation, const Disk &disk, const QStringList &actions)
{
    for (const QString &action : actions) {
        const QStringList words = action.split(QLatin1Char(' '));
        const QString verb = words.at(0);
        const QString first = words.value(1);
        if (verb == QLatin1String("write")) {
            const qsizetype eq = first.indexOf(QLatin1Char('='));
            operation.addWriteFile(disk.path(first.left(eq)), first.mid(eq + 1).toUtf8());
        } else if (verb == QLatin1String("remove")) {
            operation.addRemoveFile(disk.path(first));
        } else if (verb == QLatin1String("copy")) {
            operation.addCopyFile(disk.path(first), disk.path(words.value(2)));
        } else if (verb == QLatin1String("move")) {
            operation.addMoveFile(disk.path(first), disk.path(words.value(2)));
        } else if (verb == QLatin1String("mkdir")) {
            operation.addCreateFolder(disk.path(first));
        } else if (verb == QLatin1String("rmdir")) {
            operation.addRemoveFolder(disk.path(first));
        } else if (verb == QLatin1String("inert")) {
            operation.addInertAction(disk.path(first));
        } else {
            QFAIL(qPrintable(action));
        }
    }
}

// The error codes logged while the step ran (0 for a step that threw nothing).
QList<quint32> run(const std::function<void()> &step)
{
    BufferedLogger logger;
    try {
        step();
    } catch (const Exception &) {
    }
    QList<quint32> codes;
    for (const LogMessage &message : logger.messages()) {
        if (message.level == LogLevel::Error)
            codes.append(message.code);
    }
    return codes;
}

QList<int> kinds(const FileSystemOperation &operation)
{
    QList<int> result;
    for (const FileSystemAction &action : operation.actions())
        result.append(action.kind);
    return result;
}

using Codes = QList<quint32>;

} // namespace

class TestFileSystemOperation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { loadModelTexts(); }

    // Every kind applied, undone and redone; the disk after each step.
    void applyUndoRedo_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<bool>("keepsContents");
        QTest::addColumn<QStringList>("applied");

        QTest::newRow("write file") << QStringList{"d/"} << QStringList{"write d/new.txt=hello"} << true
                                    << QStringList{"d/", "d/new.txt=hello"};
        QTest::newRow("write empty file") << QStringList{} << QStringList{"write e="} << true << QStringList{"e="};
        QTest::newRow("remove file") << QStringList{"a=audio", "b=other"} << QStringList{"remove a"} << true
                                     << QStringList{"b=other"};
        QTest::newRow("remove empty file") << QStringList{"a="} << QStringList{"remove a"} << true << QStringList{};
        QTest::newRow("copy") << QStringList{"a=1", "d/"} << QStringList{"copy a d/b"} << false
                              << QStringList{"a=1", "d/", "d/b=1"};
        QTest::newRow("copy into folder") << QStringList{"a=1", "d/"} << QStringList{"copy a d"} << false
                                          << QStringList{"a=1", "d/", "d/a=1"};
        QTest::newRow("move") << QStringList{"a=1"} << QStringList{"move a b"} << false << QStringList{"b=1"};
        QTest::newRow("move into folder") << QStringList{"a=1", "d/"} << QStringList{"move a d"} << false
                                          << QStringList{"d/", "d/a=1"};
        QTest::newRow("letter case only") << QStringList{"song.mp3=1"} << QStringList{"move song.mp3 Song.mp3"}
                                          << false << QStringList{"Song.mp3=1"};
        // A folder moved to a new name is taken back from that name, not looked for inside it.
        QTest::newRow("move folder") << QStringList{"d/x=1"} << QStringList{"move d e"} << false
                                     << QStringList{"e/", "e/x=1"};
        QTest::newRow("copy folder") << QStringList{"d/d/x=1"} << QStringList{"copy d e"} << false
                                     << QStringList{"d/", "d/d/", "d/d/x=1", "e/", "e/d/", "e/d/x=1"};
        QTest::newRow("folders then move") << QStringList{"a=1"}
                                           << QStringList{"mkdir x", "mkdir x/y", "move a x/y/a"} << false
                                           << QStringList{"x/", "x/y/", "x/y/a=1"};
        QTest::newRow("remove folder") << QStringList{"d/", "e/"} << QStringList{"rmdir d"} << false
                                       << QStringList{"e/"};
        QTest::newRow("inert") << QStringList{"a=1"} << QStringList{"inert a"} << false << QStringList{"a=1"};
    }

    void applyUndoRedo()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, actions);
        QFETCH(bool, keepsContents);
        QFETCH(QStringList, applied);
        Disk disk;
        disk.make(before);
        const QStringList original = disk.entries();
        FileSystemOperation operation;
        operation.setKeepsContents(keepsContents);
        addActions(operation, disk, actions);

        QCOMPARE(run([&] { operation.apply(); }), Codes());
        QCOMPARE(disk.entries(), applied);
        QCOMPARE(run([&] { operation.undo(); }), Codes());
        QCOMPARE(disk.entries(), original);
        QCOMPARE(run([&] { operation.redo(); }), Codes());
        QCOMPARE(disk.entries(), applied);
        QCOMPARE(run([&] { operation.undo(); }), Codes());
        QCOMPARE(disk.entries(), original);
    }

    // A failing action is reported, neutralised for good and the others still run; the
    // summary error comes last.
    void failurePartWay()
    {
        Disk disk;
        disk.make({"a=1", "b=2", "c=3", "y=taken"});
        FileSystemOperation operation;
        addActions(operation, disk, {"move a x", "move b y", "move c z"});

        const Codes applied = run([&] { operation.apply(); });
        QCOMPARE(applied.size(), 2);
        QCOMPARE(applied.last(), quint32(FsApplyFailedTextId));
        QCOMPARE(kinds(operation), (QList<int>{FileSystemAction::MoveAction, FileSystemAction::NoAction,
                                               FileSystemAction::MoveAction}));
        QCOMPARE(disk.entries(), (QStringList{"b=2", "x=1", "y=taken", "z=3"}));

        QCOMPARE(run([&] { operation.undo(); }), Codes());
        QCOMPARE(disk.entries(), (QStringList{"a=1", "b=2", "c=3", "y=taken"}));
        QCOMPARE(run([&] { operation.redo(); }), Codes());
        QCOMPARE(disk.entries(), (QStringList{"b=2", "x=1", "y=taken", "z=3"}));
    }

    // The checks of each kind, and the undo that would replace what is there now: it fails
    // and leaves both the new entry and what it would have restored.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<bool>("keepsContents");
        QTest::addColumn<Codes>("applyErrors");
        QTest::addColumn<QStringList>("meanwhile"); // made between apply and undo
        QTest::addColumn<Codes>("undoErrors");
        QTest::addColumn<QStringList>("after");

        QTest::newRow("folder without parent") << QStringList{"a/"} << QStringList{"mkdir a/b/c"} << false
                                               << Codes{FsCreateFolderNoParentTextId, FsApplyFailedTextId}
                                               << QStringList{} << Codes{} << QStringList{"a/"};
        QTest::newRow("existing folder") << QStringList{"a/"} << QStringList{"mkdir a"} << false
                                         << Codes{FsCreateFolderExistsTextId, FsApplyFailedTextId} << QStringList{}
                                         << Codes{} << QStringList{"a/"};
        QTest::newRow("created folder filled since")
            << QStringList{} << QStringList{"mkdir a"} << false << Codes{} << QStringList{"a/x=mine"}
            << Codes{FsUndoCreateFolderNotEmptyTextId, FsUndoFailedTextId} << QStringList{"a/", "a/x=mine"};
        QTest::newRow("removed file not kept") << QStringList{"a=1"} << QStringList{"remove a"} << false << Codes{}
                                               << QStringList{}
                                               << Codes{FsUndoRemoveFileNoBytesTextId, FsUndoFailedTextId}
                                               << QStringList{};
        QTest::newRow("removed file, path taken since")
            << QStringList{"a=old"} << QStringList{"remove a"} << true << Codes{} << QStringList{"a=new"}
            << Codes{FsUndoRemoveFileExistsTextId, FsUndoFailedTextId} << QStringList{"a=new"};
        QTest::newRow("moved file, old path taken since")
            << QStringList{"a=old"} << QStringList{"move a b"} << false << Codes{} << QStringList{"a=new"}
            << Codes{FsUndoMoveSourceExistsTextId, FsUndoFailedTextId} << QStringList{"a=new", "b=old"};
        QTest::newRow("moved file, old path a folder since")
            << QStringList{"a=old"} << QStringList{"move a b"} << false << Codes{} << QStringList{"a/"}
            << Codes{FsUndoMoveSourceExistsTextId, FsUndoFailedTextId} << QStringList{"a/", "b=old"};
        QTest::newRow("write over a file") << QStringList{"a=old"} << QStringList{"write a=new"} << true
                                           << Codes{FsWriteExistsTextId, FsApplyFailedTextId} << QStringList{}
                                           << Codes{} << QStringList{"a=old"};
        QTest::newRow("copy over a file") << QStringList{"a=1", "b=2"} << QStringList{"copy a b"} << false
                                          << Codes{TreeCopyDestinationExistsTextId, FsApplyFailedTextId} << QStringList{} << Codes{}
                                          << QStringList{"a=1", "b=2"};
        QTest::newRow("copy whose original is gone")
            << QStringList{"a=1"} << QStringList{"copy a b"} << false << Codes{} << QStringList{"-a"}
            << Codes{FsUndoCopySourceMissingTextId, FsUndoFailedTextId} << QStringList{"b=1"};
        QTest::newRow("remove missing file") << QStringList{} << QStringList{"remove a"} << true
                                             << Codes{FsRemoveFileMissingTextId, FsApplyFailedTextId}
                                             << QStringList{} << Codes{} << QStringList{};
        QTest::newRow("remove a folder as a file") << QStringList{"d/x=1"} << QStringList{"remove d"} << false
                                                   << Codes{FsRemoveFileIsFolderTextId, FsApplyFailedTextId}
                                                   << QStringList{} << Codes{} << QStringList{"d/", "d/x=1"};
        QTest::newRow("remove full folder") << QStringList{"d/x=1"} << QStringList{"rmdir d"} << false
                                            << Codes{FsRemoveFolderNotEmptyTextId, FsApplyFailedTextId}
                                            << QStringList{} << Codes{} << QStringList{"d/", "d/x=1"};
        QTest::newRow("removed folder made again since")
            << QStringList{"d/"} << QStringList{"rmdir d"} << false << Codes{} << QStringList{"d/"}
            << Codes{FsUndoRemoveFolderExistsTextId, FsUndoFailedTextId} << QStringList{"d/"};
        QTest::newRow("empty paths") << QStringList{} << QStringList{"move", "copy", "mkdir", "rmdir", "remove"}
                                     << false
                                     << Codes{FsMoveNoPathTextId, FsCopyNoPathTextId, FsCreateFolderNoPathTextId,
                                              FsRemoveFolderNoPathTextId, FsRemoveFileNoPathTextId,
                                              FsApplyFailedTextId}
                                     << QStringList{} << Codes{} << QStringList{};
    }

    void refusals()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, actions);
        QFETCH(bool, keepsContents);
        QFETCH(Codes, applyErrors);
        QFETCH(QStringList, meanwhile);
        QFETCH(Codes, undoErrors);
        QFETCH(QStringList, after);
        Disk disk;
        disk.make(before);
        FileSystemOperation operation;
        operation.setKeepsContents(keepsContents);
        for (const QString &action : actions) {
            // A verb alone stands for an action with empty paths.
            if (!action.contains(QLatin1Char(' '))) {
                if (action == QLatin1String("move"))
                    operation.addMoveFile(QString(), disk.path("x"));
                else if (action == QLatin1String("copy"))
                    operation.addCopyFile(disk.path("x"), QString());
                else if (action == QLatin1String("mkdir"))
                    operation.addCreateFolder(QString());
                else if (action == QLatin1String("rmdir"))
                    operation.addRemoveFolder(QString());
                else
                    operation.addRemoveFile(QString());
            } else {
                addActions(operation, disk, {action});
            }
        }

        QCOMPARE(run([&] { operation.apply(); }), applyErrors);
        for (const QString &change : meanwhile) {
            if (change.startsWith(QLatin1Char('-')))
                QVERIFY(QFile::remove(disk.path(change.mid(1))));
            else
                disk.make({change});
        }
        QCOMPARE(run([&] { operation.undo(); }), undoErrors);
        QCOMPARE(disk.entries(), after);
    }

    // Written bytes that were not kept cannot be written again; kept ones can.
    void redoOfWrittenFile()
    {
        Disk disk;
        FileSystemOperation operation;
        addActions(operation, disk, {"write a=bytes"});
        QCOMPARE(run([&] { operation.apply(); }), Codes());
        QCOMPARE(run([&] { operation.undo(); }), Codes());
        QCOMPARE(run([&] { operation.redo(); }), (Codes{FsWriteNoBytesTextId, FsApplyFailedTextId}));
        QCOMPARE(disk.entries(), QStringList());
    }

    // A link planted where a file is written or restored is never followed.
    void plantedLinkIsNotFollowed()
    {
        Disk disk;
        disk.make({"a=audio"});
        FileSystemOperation operation;
        operation.setKeepsContents(true);
        addActions(operation, disk, {"remove a"});
        QCOMPARE(run([&] { operation.apply(); }), Codes());
        QVERIFY(QFile::link(disk.path("victim"), disk.path("a")));
        QCOMPARE(run([&] { operation.undo(); }), (Codes{FsUndoRemoveFileExistsTextId, FsUndoFailedTextId}));
        QCOMPARE(disk.entries(), QStringList{"a->victim"});
    }

    // Undo and redo go ahead only after a Yes; a No changes nothing and keeps the operation
    // where it was. The question names the description, or a general one when it is empty.
    void confirmations_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("undoQuestion");
        QTest::addColumn<QString>("redoQuestion");
        QTest::newRow("described") << QStringLiteral("rename 1 file")
                                   << QStringLiteral("Rename 1 file changes files and folders on disk. Take it back?")
                                   << QStringLiteral("Rename 1 file changes files and folders on disk. Make it again?");
        QTest::newRow("no description")
            << QString()
            << QStringLiteral("The last change of files and folders changes files and folders on disk. Take it back?")
            << QStringLiteral("The change of files and folders changes files and folders on disk. Make it again?");
    }

    void confirmations()
    {
        QFETCH(QString, description);
        QFETCH(QString, undoQuestion);
        QFETCH(QString, redoQuestion);
        HeadlessMainWindow window;
        OperationQueue &queue = *window.operationQueue();
        Disk disk;
        disk.make({"a=1"});
        auto *operation = new FileSystemOperation;
        operation->setDescription(description);
        addActions(*operation, disk, {"move a b"});
        queue.apply(operation);
        QCOMPARE(disk.entries(), QStringList{"b=1"});

        window.answer = QMessageBox::No;
        queue.undo();
        QCOMPARE(window.questions, QStringList{undoQuestion});
        QCOMPARE(disk.entries(), QStringList{"b=1"});
        QCOMPARE(queue.undoOperation(), operation);

        window.answer = QMessageBox::Yes;
        queue.undo();
        QCOMPARE(disk.entries(), QStringList{"a=1"});
        QCOMPARE(queue.redoOperation(), operation);

        window.answer = QMessageBox::No;
        queue.redo();
        QCOMPARE(window.questions.last(), redoQuestion);
        QCOMPARE(disk.entries(), QStringList{"a=1"});
        QCOMPARE(queue.redoOperation(), operation);
        window.answer = QMessageBox::Yes;
        queue.redo();
        QCOMPARE(disk.entries(), QStringList{"b=1"});
        QVERIFY(window.shownMessages.isEmpty());
    }

    // A rename whose second move fails: the table keeps that file at its old path and shows
    // the others at their new ones; undo and redo keep following the disk when their moves fail.
    void renameFollowsTheDisk()
    {
        AudioFileFactory factory;
        HeadlessMainWindow window;
        window.answer = QMessageBox::Yes;
        OperationQueue &queue = *window.operationQueue();
        QList<AudioFile *> files;
        for (const char *name : {"a.mp3", "b.mp3", "c.mp3"})
            files.append(factory.create(QString::fromLatin1(name), {}));
        auto *insert = new ModelInsertOperation(AudioFileSelection(window.model()));
        insert->files = files;
        queue.apply(insert);
        const QString folder = factory.folder() + QLatin1Char('/');
        const auto occupy = [&](const QString &name) {
            QFile file(folder + name);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::NewOnly));
        };
        // Every file the table holds, by name, and whether it is where the table says.
        const auto table = [&] {
            QStringList names;
            for (AudioFile *file : window.store()->loadedFiles())
                names.append(QFileInfo(file->filePath()).fileName()
                             + (QFile::exists(file->filePath()) ? QString() : QStringLiteral(" (missing)")));
            names.sort();
            return names;
        };

        auto *rename = new MoveFilesOperation(AudioFileSelection(window.model()));
        rename->setDescription(QStringLiteral("rename 3 files"));
        for (AudioFile *file : std::as_const(files)) {
            const QString name = QFileInfo(file->filePath()).fileName();
            rename->addMove(file, new AudioFile(folder + name.at(0).toUpper() + name.mid(1)));
        }
        occupy(QStringLiteral("B.mp3"));
        const qsizetype shownBefore = window.shownMessages.size();
        queue.apply(rename);
        QCOMPARE(table(), (QStringList{"A.mp3", "C.mp3", "b.mp3"}));
        QCOMPARE(window.shownMessages.size() - shownBefore, 1);

        queue.undo();
        QCOMPARE(table(), (QStringList{"a.mp3", "b.mp3", "c.mp3"}));

        occupy(QStringLiteral("C.mp3"));
        queue.redo();
        QCOMPARE(table(), (QStringList{"A.mp3", "b.mp3", "c.mp3"}));

        occupy(QStringLiteral("a.mp3"));
        queue.undo();
        QCOMPARE(table(), (QStringList{"A.mp3", "b.mp3", "c.mp3"}));
        queue.redo();
        QCOMPARE(table(), (QStringList{"A.mp3", "b.mp3", "c.mp3"}));
        QCOMPARE(window.shownMessages.size() - shownBefore, 3);
    }
};

QTEST_MAIN(TestFileSystemOperation)
#include "tst_filesystemoperation.moc"
