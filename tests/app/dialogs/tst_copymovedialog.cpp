#include <QDir>
#include <QFile>
#include <QTest>

#include "app/dialogs/copymovedialog.h"
#include "app/dialogs/filesystempreviewwidget.h"
#include "app/dialogs/folderpatterneditorwidget.h"
#include "app/dialogs/support_dialogs.h"
#include "app/model/audiofilemodeldata.h"
#include "app/operations/operationqueue.h"
#include "libcore/settings/settingsstore.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/tagitem.h"

namespace {

NamingPattern folders(const QStringList &levels)
{
    NamingPattern pattern;
    pattern.isSimple = false;
    for (const QString &level : levels)
        pattern.levels.append(QStringList{level});
    return pattern;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class tst_CopyMoveDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { loadDialogTestPackages(); }
    void init() { SettingsStore::setValue(QStringLiteral("fileNaming/trimSeparators"), QStringLiteral("true")); }

    // Folders from tags stay below the root, whatever the values hold.
    void targets_data()
    {
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QStringList>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two levels") << "Art" << QStringList{"%artist%", "%title%"} << "Art/T/a.mp3";
        QTest::newRow("empty pattern") << "Art" << QStringList{} << "a.mp3";
        QTest::newRow("empty value") << "" << QStringList{"%artist%", "%title%"} << "T/a.mp3";
        QTest::newRow("slash in value") << "AC/DC" << QStringList{"%artist%"} << "ACDC/a.mp3";
        QTest::newRow("dot dot") << ".." << QStringList{"%artist%", "%title%"} << "T/a.mp3";
        QTest::newRow("dot dot in literal") << "x" << QStringList{"'../..'", "%artist%"} << "x/a.mp3";
        QTest::newRow("refused characters") << "a:b*?" << QStringList{"%artist%"} << "ab/a.mp3";
    }

    void targets()
    {
        QFETCH(QString, artist);
        QFETCH(QStringList, pattern);
        QFETCH(QString, expected);
        LoadedFiles files;
        AudioFile *file = files.add(QStringLiteral("a.mp3"), {{TagItemType::Title, QStringLiteral("T")}, {TagItemType::Artist, artist}});
        files.selectAll();
        CopyMoveDialog dialog(true);
        dialog.patternEditor()->setRootPath(files.path(QStringLiteral("root")));
        dialog.patternEditor()->setPattern(folders(pattern));
        QCOMPARE(dialog.computeTargets(false).value(file), expected);
        QCOMPARE(dialog.computeTargets(true).value(file), files.path(QStringLiteral("root/") + expected));
    }

    // Copying into the file's own folder numbers the copy; moving there keeps the name and is
    // a successful no-op.
    void ownFolder()
    {
        LoadedFiles files;
        AudioFile *file = files.add(QStringLiteral("a.mp3"), {});
        files.selectAll();
        CopyMoveDialog copy(true);
        copy.patternEditor()->setRootPath(files.folder());
        copy.patternEditor()->setPattern(folders({}));
        QCOMPARE(copy.computeTargets(false).value(file), QStringLiteral("a (2).mp3"));
        QCOMPARE(copy.highlightedPaths(), (QSet<QString>{"a.mp3", "a (2).mp3"}));

        CopyMoveDialog move(false);
        move.patternEditor()->setRootPath(files.folder());
        move.patternEditor()->setPattern(folders({}));
        QCOMPARE(move.computeTargets(false).value(file), QStringLiteral("a.mp3"));
        move.accept();
        QCOMPARE(files.disk(), QStringList{"a.mp3"});
        QCOMPARE(files.table(), QStringList{"a.mp3"});
        QCOMPARE(files.window.shownMessages.last().last().code, quint32(MoveDoneTextId));
    }

    // Moving into a missing root three levels deep: the folders are created, the table
    // follows, undo puts every file back byte for byte and removes the folders.
    void moveUndoRedo()
    {
        LoadedFiles files;
        files.add(QStringLiteral("src/a.mp3"), {{TagItemType::Artist, QStringLiteral("X")}, {TagItemType::Album, QStringLiteral("One")}});
        files.add(QStringLiteral("src/b.mp3"), {{TagItemType::Artist, QStringLiteral("X")}, {TagItemType::Album, QStringLiteral("One")}});
        files.add(QStringLiteral("src/c.mp3"), {{TagItemType::Artist, QStringLiteral("Y")}, {TagItemType::Album, QStringLiteral("Two")}});
        files.selectAll();
        const QByteArray before = bytesOf(files.path(QStringLiteral("src/a.mp3")));
        CopyMoveDialog dialog(false);
        dialog.patternEditor()->setRootPath(files.path(QStringLiteral("new/deep")));
        dialog.patternEditor()->setPattern(folders({"%artist%", "%album%"}));
        bool missingRootNoted = false;
        for (const ValidationMessage &message : dialog.validate().messages)
            missingRootNoted = missingRootNoted || message.text.contains(QStringLiteral("created"));
        QVERIFY(missingRootNoted);
        QVERIFY(dialog.validate().valid);
        dialog.accept();
        const QStringList moved{"new/deep/X/One/a.mp3", "new/deep/X/One/b.mp3", "new/deep/Y/Two/c.mp3"};
        QCOMPARE(files.disk(), moved);
        QCOMPARE(files.table(), moved);
        QCOMPARE(bytesOf(files.path(moved.first())), before);

        files.window.operationQueue()->undo();
        const QStringList original{"src/a.mp3", "src/b.mp3", "src/c.mp3"};
        QCOMPARE(files.disk(), original);
        QCOMPARE(files.table(), original);
        QVERIFY(!QFileInfo::exists(files.path(QStringLiteral("new"))));
        QCOMPARE(bytesOf(files.path(original.first())), before);
        files.window.operationQueue()->redo();
        QCOMPARE(files.disk(), moved);
        QCOMPARE(files.table(), moved);
    }

    void copyLeavesTable()
    {
        LoadedFiles files;
        files.add(QStringLiteral("a.mp3"), {{TagItemType::Artist, QStringLiteral("X")}});
        files.add(QStringLiteral("b.mp3"), {{TagItemType::Artist, QStringLiteral("X")}});
        files.selectAll();
        QDir().mkpath(files.path(QStringLiteral("out/X")));
        QFile occupied(files.path(QStringLiteral("out/X/a.mp3")));
        QVERIFY(occupied.open(QIODevice::WriteOnly));
        occupied.write("someone else's");
        occupied.close();
        CopyMoveDialog dialog(true);
        dialog.patternEditor()->setRootPath(files.path(QStringLiteral("out")));
        dialog.patternEditor()->setPattern(folders({"%artist%"}));
        QMetaObject::invokeMethod(&dialog, "updatePreview");
        QCOMPARE(dialog.previewPaths(), (QStringList{"X/a (2).mp3", "X/b.mp3"}));
        QVERIFY(dialog.preview()->findItems(QStringLiteral("a (2).mp3"), Qt::MatchRecursive).first()->background(0).style() != Qt::NoBrush);
        dialog.accept();
        QCOMPARE(files.table(), (QStringList{"a.mp3", "b.mp3"}));
        QCOMPARE(files.disk(), (QStringList{"a.mp3", "b.mp3", "out/X/a (2).mp3", "out/X/a.mp3", "out/X/b.mp3"}));
        QCOMPARE(bytesOf(files.path(QStringLiteral("out/X/a.mp3"))), QByteArray("someone else's"));
        QCOMPARE(bytesOf(files.path(QStringLiteral("out/X/a (2).mp3"))), bytesOf(files.path(QStringLiteral("a.mp3"))));
        files.window.operationQueue()->undo();
        QCOMPARE(files.disk(), (QStringList{"a.mp3", "b.mp3", "out/X/a.mp3"}));
    }

    // A failing step (a folder name too long for the file system) is reported; nothing is
    // lost and the table matches the disk.
    void failingStep()
    {
        LoadedFiles files;
        files.add(QStringLiteral("a.mp3"), {{TagItemType::Artist, QString(300, QLatin1Char('x'))}});
        files.add(QStringLiteral("b.mp3"), {{TagItemType::Artist, QStringLiteral("ok")}});
        files.selectAll();
        const QByteArray before = bytesOf(files.path(QStringLiteral("a.mp3")));
        CopyMoveDialog dialog(false);
        dialog.patternEditor()->setRootPath(files.path(QStringLiteral("out")));
        dialog.patternEditor()->setPattern(folders({"%artist%"}));
        dialog.accept();
        QCOMPARE(files.disk(), (QStringList{"a.mp3", "out/ok/b.mp3"}));
        QCOMPARE(files.table(), (QStringList{"a.mp3", "out/ok/b.mp3"}));
        QCOMPARE(bytesOf(files.path(QStringLiteral("a.mp3"))), before);
        QCOMPARE(files.window.shownMessages.last().last().code, quint32(MoveFailedTextId));
    }

    void rootValidation_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("relative") << "music/new" << false;
        QTest::newRow("absolute") << "/tmp" << true;
    }

    void rootValidation()
    {
        QFETCH(QString, root);
        QFETCH(bool, valid);
        LoadedFiles files;
        CopyMoveDialog dialog(true);
        dialog.patternEditor()->setRootPath(root);
        dialog.patternEditor()->setPattern(folders({"%artist%"}));
        QCOMPARE(dialog.validate().valid, valid);
        dialog.patternEditor()->setPattern(folders({"$upper("}));
        QVERIFY(!dialog.validate().valid);
    }
};

QTEST_MAIN(tst_CopyMoveDialog)
#include "tst_copymovedialog.moc"
