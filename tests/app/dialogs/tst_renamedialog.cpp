#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "app/dialogs/advancedpatterneditorwidget.h"
#include "app/dialogs/filepatterneditorwidget.h"
#include "app/dialogs/filesystempreviewwidget.h"
#include "app/dialogs/renamedialog.h"
#include "app/dialogs/support_dialogs.h"
#include "app/model/audiofilemodeldata.h"
#include "app/operations/operationqueue.h"
#include "libcore/settings/settingsstore.h"
#include "libgui/edits/contentassistlineedit.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"

namespace {

NamingPattern script(const QString &text)
{
    NamingPattern pattern;
    pattern.isSimple = false;
    pattern.levels = {{text}};
    return pattern;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void computePreview(RenameDialog &dialog)
{
    QMetaObject::invokeMethod(&dialog, "updatePreview");
}

// Runs action on the next message box once it is up.
void whenMessageBox(const std::function<void(QMessageBox *)> &action)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(box);
        }
    });
    timer->start();
}

} // namespace

class tst_RenameDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { loadDialogTestPackages(); }
    void init() { SettingsStore::setValue(QStringLiteral("fileNaming/trimSeparators"), QStringLiteral("true")); }

    // Names from tags: what file systems refuse is dropped, the suffix stays.
    void names_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "Song" << "%title%" << "Song.mp3";
        QTest::newRow("slash in value") << "AC/DC" << "%title%" << "ACDC.mp3";
        QTest::newRow("backslash in value") << "a\\b" << "%title%" << "ab.mp3";
        QTest::newRow("dots") << ".." << "%title%" << ".mp3";
        QTest::newRow("refused characters") << "a:b?c*<d>|\"" << "%title%" << "abcd.mp3";
        QTest::newRow("empty value") << "" << "%title%" << ".mp3";
        QTest::newRow("separators trimmed") << "" << "%title% - x" << "x.mp3";
        QTest::newRow("slash in literal") << "t" << "'a/'%title%" << "at.mp3";
        QTest::newRow("name stays") << "a" << "%title%" << "a.mp3";
    }

    void names()
    {
        QFETCH(QString, title);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        LoadedFiles files;
        AudioFile *file = files.add(QStringLiteral("a.mp3"), {{TagItemType::Title, title}});
        files.selectAll();
        RenameDialog dialog;
        dialog.patternEditor()->setPattern(script(pattern));
        computePreview(dialog);
        QCOMPARE(dialog.targets().value(file), files.path(expected));
        QVERIFY(dialog.highlightedPaths().isEmpty());
    }

    // Two files that want one name, and a name taken by a file that is not renamed.
    void collisions()
    {
        LoadedFiles files;
        files.add(QStringLiteral("a.mp3"), {{TagItemType::Title, QStringLiteral("x")}});
        AudioFile *b = files.add(QStringLiteral("b.mp3"), {{TagItemType::Title, QStringLiteral("x")}});
        AudioFile *c = files.add(QStringLiteral("c.mp3"), {{TagItemType::Title, QStringLiteral("other")}});
        files.selectAll();
        *files.window.selection() = AudioFileSelection(files.window.model());
        files.window.selection()->insert({files.window.store()->loadedFiles().values()}, {ModelDataType(1, 1)});
        QFile occupied(files.path(QStringLiteral("other.mp3")));
        QVERIFY(occupied.open(QIODevice::WriteOnly));
        occupied.write("not an mp3");
        occupied.close();

        RenameDialog dialog;
        dialog.patternEditor()->setPattern(script(QStringLiteral("%title%")));
        computePreview(dialog);
        QCOMPARE(dialog.targets().value(b), files.path(QStringLiteral("x (2).mp3")));
        QCOMPARE(dialog.targets().value(c), files.path(QStringLiteral("other (2).mp3")));
        QCOMPARE(dialog.highlightedPaths().size(), 4);
        // Highlighted in the preview, and the validation warns.
        const QList<QTreeWidgetItem *> found = dialog.preview()->findItems(QStringLiteral("x (2).mp3"), Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first()->background(0).color(), QColor(254, 243, 218));
        bool warned = false;
        for (const ValidationMessage &message : dialog.validate().messages)
            warned = warned || message.level == Warning;
        QVERIFY(warned);

        const QByteArray before = bytesOf(files.path(QStringLiteral("b.mp3")));
        dialog.accept();
        QCOMPARE(files.disk(), (QStringList{"other (2).mp3", "other.mp3", "x (2).mp3", "x.mp3"}));
        QCOMPARE(bytesOf(files.path(QStringLiteral("other.mp3"))), QByteArray("not an mp3"));
        QCOMPARE(files.table(), (QStringList{"other (2).mp3", "x (2).mp3", "x.mp3"}));
        QCOMPARE(bytesOf(files.path(QStringLiteral("x (2).mp3"))), before);
        QCOMPARE(files.window.shownMessages.size(), 1);
        QCOMPARE(files.window.shownMessages.last().last().code, quint32(RenameDoneTextId));

        // Undo and redo: every file back where it was, byte for byte, the table with it.
        files.window.operationQueue()->undo();
        QCOMPARE(files.disk(), (QStringList{"a.mp3", "b.mp3", "c.mp3", "other.mp3"}));
        QCOMPARE(files.table(), (QStringList{"a.mp3", "b.mp3", "c.mp3"}));
        QCOMPARE(bytesOf(files.path(QStringLiteral("b.mp3"))), before);
        files.window.operationQueue()->redo();
        QCOMPARE(files.table(), (QStringList{"other (2).mp3", "x (2).mp3", "x.mp3"}));
        QCOMPARE(bytesOf(files.path(QStringLiteral("x (2).mp3"))), before);
    }

    // The new file carries the old one's tags.
    void tagsTravel()
    {
        LoadedFiles files;
        files.add(QStringLiteral("a.mp3"), {{TagItemType::Title, QStringLiteral("New")}, {TagItemType::Artist, QStringLiteral("Art")}});
        files.selectAll();
        RenameDialog dialog;
        dialog.patternEditor()->setPattern(script(QStringLiteral("%artist% - %title%")));
        dialog.accept();
        const QList<AudioFile *> loaded = files.window.store()->loadedFiles().values();
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(QFileInfo(loaded.first()->filePath()).fileName(), QStringLiteral("Art - New.mp3"));
        QVERIFY(loaded.first()->tags().value(0));
        QCOMPARE(loaded.first()->tags().value(0)->items(TagItemType::Artist).size(), 1);
    }

    // A name that stays is a successful no-op; a case-only change is a real rename.
    void sameNameAndCase()
    {
        LoadedFiles files;
        AudioFile *same = files.add(QStringLiteral("Same.mp3"), {{TagItemType::Title, QStringLiteral("Same")}});
        files.add(QStringLiteral("case.mp3"), {{TagItemType::Title, QStringLiteral("Case")}});
        files.selectAll();
        RenameDialog dialog;
        dialog.patternEditor()->setPattern(script(QStringLiteral("%title%")));
        dialog.accept();
        QCOMPARE(files.disk(), (QStringList{"Case.mp3", "Same.mp3"}));
        QCOMPARE(files.table(), (QStringList{"Case.mp3", "Same.mp3"}));
        QVERIFY(files.window.store()->loadedFiles().contains(same));
        QCOMPARE(files.window.shownMessages.last().last().code, quint32(RenameDoneTextId));
        files.window.operationQueue()->undo();
        QCOMPARE(files.disk(), (QStringList{"Same.mp3", "case.mp3"}));
    }

    // A step that fails (a name too long for the file system) is reported; the other files
    // are renamed and the table follows the disk.
    void failingStep()
    {
        LoadedFiles files;
        files.add(QStringLiteral("a.mp3"), {{TagItemType::Title, QString(300, QLatin1Char('x'))}});
        files.add(QStringLiteral("b.mp3"), {{TagItemType::Title, QStringLiteral("fine")}});
        files.selectAll();
        const QByteArray before = bytesOf(files.path(QStringLiteral("a.mp3")));
        RenameDialog dialog;
        dialog.patternEditor()->setPattern(script(QStringLiteral("%title%")));
        dialog.accept();
        QCOMPARE(files.disk(), (QStringList{"a.mp3", "fine.mp3"}));
        QCOMPARE(files.table(), (QStringList{"a.mp3", "fine.mp3"}));
        QCOMPARE(bytesOf(files.path(QStringLiteral("a.mp3"))), before);
        QCOMPARE(files.window.shownMessages.last().last().code, quint32(RenameFailedTextId));
        files.window.operationQueue()->undo();
        QCOMPARE(files.table(), (QStringList{"a.mp3", "b.mp3"}));
    }

    void validation()
    {
        LoadedFiles files;
        files.add(QStringLiteral("a.mp3"), {});
        files.selectAll();
        RenameDialog dialog;
        dialog.patternEditor()->setPattern(script(QStringLiteral("$upper(")));
        QVERIFY(!dialog.validate().valid);
        computePreview(dialog);
        QCOMPARE(dialog.preview()->topLevelItemCount(), 0);
        dialog.patternEditor()->setPattern(script(QString()));
        QVERIFY(!dialog.validate().valid);
        dialog.patternEditor()->setPattern(script(QStringLiteral("%title%")));
        QVERIFY(dialog.validate().valid);
    }

    // The preview follows typing 150 ms after the last key.
    void previewFollowsTyping()
    {
        LoadedFiles files;
        files.add(QStringLiteral("a.mp3"), {{TagItemType::Title, QStringLiteral("T")}});
        files.selectAll();
        RenameDialog dialog;
        dialog.patternEditor()->setPattern(script(QStringLiteral("%title%")));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_COMPARE(dialog.preview()->paths(), QStringList{"T.mp3"});
        ContentAssistLineEdit *edit = dialog.patternEditor()->advancedEditor()->lineEdits().first();
        edit->setFocus();
        edit->setCursorPosition(edit->text().size());
        QTest::keyClicks(edit, QStringLiteral("x"));
        edit->hideContentAssist();
        QCOMPARE(dialog.preview()->paths(), QStringList{"T.mp3"});
        QVERIFY(dialog.previewTimer()->isActive());
        QCOMPARE(dialog.previewTimer()->interval(), 150);
        QTRY_COMPARE(dialog.preview()->paths(), QStringList{"Tx.mp3"});
        dialog.hide();
    }

    void escapeAsks()
    {
        LoadedFiles files;
        RenameDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        whenMessageBox([](QMessageBox *box) { box->button(QMessageBox::No)->click(); });
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        whenMessageBox([](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    // OK offers to save unsaved changes first; cancelling leaves everything as it was.
    void saveFirst()
    {
        LoadedFiles files;
        AudioFile *file = files.add(QStringLiteral("a.mp3"), {{TagItemType::Title, QStringLiteral("T")}});
        files.selectAll();
        files.modify(file, QStringLiteral("Changed"));
        files.window.answer = QMessageBox::Cancel;
        RenameDialog dialog;
        dialog.patternEditor()->setPattern(script(QStringLiteral("%title%")));
        dialog.show();
        dialog.accept();
        QCOMPARE(files.window.questions.size(), 1);
        QVERIFY(files.window.questions.first().contains(QLatin1Char('1')));
        QVERIFY(dialog.isVisible());
        QCOMPARE(files.disk(), QStringList{"a.mp3"});
        dialog.hide();
    }
};

QTEST_MAIN(tst_RenameDialog)
#include "tst_renamedialog.moc"
