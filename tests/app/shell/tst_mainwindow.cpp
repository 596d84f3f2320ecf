#include <QAction>
#include <QLineEdit>
#include <QDropEvent>
#include <QFile>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QTreeWidgetItemIterator>
#include <QUrl>

#include "app/model/audiofilemodeldata.h"
#include "app/model/modeldatatype.h"
#include "app/model/support_model.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/modifiedselectiontracker.h"
#include "app/operations/operationqueue.h"
#include "app/search/searchhandler.h"
#include "app/search/searchpattern.h"
#include "app/search/searchquery.h"
#include "app/search/searchscope.h"
#include "app/shell/appmainwindow.h"
#include "app/shell/displayfilterdockwidget.h"
#include "app/shell/findreplacedockwidget.h"
#include "app/shell/logdockwidget.h"
#include "app/shell/shelltextids.h"
#include "app/shell/support_shell.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/log/logger.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/texttable.h"
#include "libcore/util/base64.h"
#include "libgui/edits/extlineedit.h"
#include "libgui/logviews/logtablewidget.h"
#include "libgui/ribbon/ribbonbar.h"
#include "libgui/widgets/exttreewidget.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

namespace {
const ModelDataType Title(TagItemType::Title);
const ModelDataType Artist(TagItemType::Artist);
const ModelDataType Album(TagItemType::Album);
const ModelDataType Artwork(TagItemType::Artwork);
const ModelDataType FileName(FileProperty::fileName);

QString statusText(AppMainWindow *window)
{
    return window->statusBar()->currentMessage();
}

QString expectedStatus(int selected, int total)
{
    return QStringLiteral("%1 of %2 files selected").arg(selected).arg(total);
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private:
    AppMainWindow *w = nullptr;
    AudioFileFactory *factory = nullptr;

    QList<AudioFile *> addFiles(const QList<QList<QPair<int, QVariant>>> &tags)
    {
        static int counter = 0;
        QList<AudioFile *> files;
        for (const auto &items : tags) {
            files.append(factory->create(QStringLiteral("album%1/track%2.mp3").arg(counter / 4).arg(counter), items));
            ++counter;
        }
        auto *insert = new ModelInsertOperation(AudioFileSelection(w->model()));
        insert->files = files;
        BufferedLogger log;
        w->operationQueue()->apply(insert);
        QCoreApplication::processEvents();
        for (const LogMessage &message : log.messages())
            qWarning() << "logged while adding:" << message.code << message.text();
        return files;
    }

    QModelIndex cellOf(AudioFile *file, const ModelDataType &type) const
    {
        const int row = int(w->model()->audioFiles().indexOf(file));
        const int column = int(w->model()->dataTypes().indexOf(type));
        return w->model()->itemModel()->index(row, column);
    }

    void selectCells(const QModelIndexList &cells)
    {
        QItemSelection selection;
        for (const QModelIndex &cell : cells)
            selection.select(cell, cell);
        w->tableView()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        if (!cells.isEmpty())
            w->tableView()->selectionModel()->setCurrentIndex(cells.first(), QItemSelectionModel::NoUpdate);
        QCoreApplication::processEvents(); // the queued selection update
    }

    void removeAll()
    {
        w->operationQueue()->clear();
        AudioFileModelData *data = w->model()->modelData();
        data->removeAudioFiles(data->loadedFiles().values());
        w->operationQueue()->clear();
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void initTestCase()
    {
        w = testMainWindow();
        SettingsStore::setValue(QStringLiteral("appMainWindow/columns/column[0]"), QStringLiteral("TITLE"));
        SettingsStore::setValue(QStringLiteral("appMainWindow/columns/column[1]"), QStringLiteral("artist"));
        SettingsStore::setValue(QStringLiteral("appMainWindow/columns/column[2]"), QStringLiteral("Album"));
        SettingsStore::setValue(QStringLiteral("appMainWindow/columns/column[3]"), QStringLiteral("fileName"));
        SettingsStore::setValue(QStringLiteral("appMainWindow/columns/column[4]"), QStringLiteral("artwork"));
        SettingsStore::setValue(QStringLiteral("appMainWindow/columns/column[5]"), QStringLiteral("noSuchColumn"));
        w->onSettingsChanged();
        w->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        factory = new AudioFileFactory();
    }

    void cleanupTestCase()
    {
        removeAll();
        delete factory;
    }

    void cleanup() { removeAll(); }

    // The window is built once: later calls return it without a second set-up.
    void oneWindow()
    {
        QCOMPARE(AppMainWindow::instance(), w);
        QCOMPARE(IAppMainWindow::instance(), static_cast<IAppMainWindow *>(w));
        QCOMPARE(w->findChildren<AudioFileTableView *>().size(), 1);
        QCOMPARE(w->findChildren<LogDockWidget *>().size(), 1);
        QCOMPARE(w->windowTitle(), QStringLiteral("Melotaxonic"));
        for (QDockWidget *dock : w->findChildren<QDockWidget *>()) {
            QCOMPARE(dock->objectName(), QString::fromLatin1(dock->metaObject()->className()));
            QVERIFY(!(dock->features() & QDockWidget::DockWidgetFloatable));
        }
        QCOMPARE(w->tabifiedDockWidgets(w->findReplaceDock()), QList<QDockWidget *>({w->logDock()}));
    }

    // Columns are named case-insensitively; an unknown name gives an empty column.
    void columnsFromSettings()
    {
        QCOMPARE(w->model()->dataTypes(),
                 QList<ModelDataType>({Title, Artist, Album, FileName, Artwork, ModelDataType()}));
    }

    void statusBar()
    {
        QCOMPARE(statusText(w), expectedStatus(0, 0));
        const QList<AudioFile *> files = addFiles({{{TagItemType::Title, "one"}}, {{TagItemType::Title, "two"}},
                                                   {{TagItemType::Title, "three"}}});
        // The model selects the files it added.
        QCOMPARE(statusText(w), expectedStatus(3, 3));
        selectCells({cellOf(files.at(0), Title), cellOf(files.at(2), Title), cellOf(files.at(2), Artist)});
        QCOMPARE(statusText(w), expectedStatus(2, 3));
        QCOMPARE(w->selection()->filesByDataType().keys().size(), 2);
    }

    // Switching the command bars replaces one kind by the other without duplicates; an
    // unchanged setting rebuilds nothing.
    void commandBars()
    {
        QVERIFY(w->ribbonBar());
        QVERIFY(!w->classicMenuBar());
        RibbonBar *ribbon = w->ribbonBar();
        w->onSettingsChanged();
        QCOMPARE(w->ribbonBar(), ribbon);
        SettingsStore::setValue(QStringLiteral("appMainWindow/useRibbonBar"), QStringLiteral("false"));
        w->onSettingsChanged();
        QVERIFY(!w->ribbonBar());
        QVERIFY(w->classicMenuBar());
        QCOMPARE(w->menuBar(), w->classicMenuBar());
        const int toolBars = int(w->findChildren<QToolBar *>(QString(), Qt::FindDirectChildrenOnly).size());
        w->onSettingsChanged();
        QCOMPARE(int(w->findChildren<QToolBar *>(QString(), Qt::FindDirectChildrenOnly).size()), toolBars);
        SettingsStore::setValue(QStringLiteral("appMainWindow/useRibbonBar"), QStringLiteral("true"));
        w->onSettingsChanged();
        QVERIFY(w->ribbonBar());
        QVERIFY(!w->classicMenuBar());
        QCOMPARE(w->menuWidget(), w->ribbonBar());
        QVERIFY(w->toolBars().isEmpty());
    }

    // F2 on one title cell opens the editor; typed text and Enter change the title as one
    // undo step, which undo takes back.
    void editInPlace()
    {
        const QList<AudioFile *> files = addFiles({{{TagItemType::Title, "Old title"}}, {{TagItemType::Title, "x"}}});
        const int steps = int(w->operationQueue()->undoStack().size());
        const QModelIndex cell = cellOf(files.at(0), Title);
        w->tableView()->setFocus();
        selectCells({cell});
        QTest::keyClick(w->tableView(), Qt::Key_F2);
        QLineEdit *line = inPlaceLine(w->tableView(), cell);
        QVERIFY(line);
        QCOMPARE(line->text(), QStringLiteral("Old title"));
        line->selectAll();
        QTest::keyClicks(line, QStringLiteral("New title"));
        QTest::keyClick(line, Qt::Key_Return);
        QTRY_VERIFY(!w->tableView()->indexWidget(cell));
        QCOMPARE(files.at(0)->combinedTag()->itemTexts(TagItemType::Title), QStringList({"New title"}));
        QCOMPARE(int(w->operationQueue()->undoStack().size()), steps + 1);
        w->operationQueue()->undo();
        QCOMPARE(files.at(0)->combinedTag()->itemTexts(TagItemType::Title), QStringList({"Old title"}));

        // Typing a letter opens the editor with that letter; Escape leaves the value and the queue.
        selectCells({cellOf(files.at(1), Title)});
        QTest::keyClick(w->tableView(), Qt::Key_Z);
        line = inPlaceLine(w->tableView(), cellOf(files.at(1), Title));
        QVERIFY(line);
        QVERIFY2(line->text().endsWith(u'z'), qPrintable(line->text()));
        QTest::keyClick(line, Qt::Key_Escape);
        QTRY_VERIFY(!w->tableView()->indexWidget(cellOf(files.at(1), Title)));
        QCOMPARE(files.at(1)->combinedTag()->itemTexts(TagItemType::Title), QStringList({"x"}));
        QCOMPARE(int(w->operationQueue()->undoStack().size()), steps);

        // Enter without a change finishes without an undo step.
        selectCells({cell});
        QTest::keyClick(w->tableView(), Qt::Key_Return);
        line = inPlaceLine(w->tableView(), cell);
        QVERIFY(line);
        QTest::keyClick(line, Qt::Key_Return);
        QTRY_VERIFY(!w->tableView()->indexWidget(cell));
        QCOMPARE(int(w->operationQueue()->undoStack().size()), steps);
    }

    // Which request is served how: one editable text cell in place; a cell holding two
    // values, or cells of one tag column, in the single-tag dialog; anything else in the
    // multi-tag dialog, which typing never opens.
    void editRouting_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("cells");
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<bool>("typingServed");
        QTest::newRow("text cell") << 0 << 1 << true << true;
        QTest::newRow("multi-value cell") << 1 << 1 << false << true;
        QTest::newRow("two text cells") << 0 << 2 << false << true;
        QTest::newRow("artwork cell") << 4 << 1 << false << false;
        QTest::newRow("file name") << 3 << 1 << false << false;
    }

    void editRouting()
    {
        QFETCH(int, column);
        QFETCH(int, cells);
        QFETCH(bool, inPlace);
        QFETCH(bool, typingServed);
        const QList<AudioFile *> files =
            addFiles({{{TagItemType::Title, "a"}, {TagItemType::Artist, "x"}, {TagItemType::Artist, "y"}},
                      {{TagItemType::Title, "b"}}});
        const ModelDataType type = w->model()->dataTypes().at(column);
        QModelIndexList selected{cellOf(files.at(0), type)};
        if (cells == 2)
            selected.append(cellOf(files.at(1), type));
        selectCells(selected);
        if (cells == 1)
            QCOMPARE(w->model()->isEditable(selected.first()), inPlace);
        QStringList dialogs;
        if (!inPlace)
            answerNextModal(QMessageBox::Cancel, &dialogs);
        QVERIFY(w->tableView()->edit(selected.first(), QAbstractItemView::AllEditTriggers, nullptr));
        QCOMPARE(w->tableView()->indexWidget(selected.first()) != nullptr, inPlace);
        QCOMPARE(dialogs.size(), inPlace ? 0 : 1);
        if (QLineEdit *line = inPlaceLine(w->tableView(), selected.first()))
            QTest::keyClick(line, Qt::Key_Escape);
        QTRY_VERIFY(!w->tableView()->indexWidget(selected.first()));
        if (!inPlace) {
            if (typingServed)
                answerNextModal(QMessageBox::Cancel, &dialogs);
            QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QCOMPARE(w->tableView()->edit(selected.first(), QAbstractItemView::AnyKeyPressed, &key), typingServed);
            QCOMPARE(dialogs.size(), typingServed ? 2 : 1);
        }
    }

    // Files and folders dropped in one gesture or within 100 ms are opened as one batch:
    // one insert on the undo queue.
    void dropBatch()
    {
        const QString a = factory->copyFixture(QStringLiteral("drop/a.mp3"));
        const QString b = factory->copyFixture(QStringLiteral("drop/b.mp3"));
        const QString sub = factory->copyFixture(QStringLiteral("drop/folder/sub/c.mp3"));
        Q_UNUSED(sub)
        QSignalSpy spy(w->tableView(), &AudioFileTableView::dragAndDrop);
        const int steps = int(w->operationQueue()->undoStack().size());
        QWidget *viewport = w->tableView()->viewport();
        auto drop = [viewport](const QList<QUrl> &urls) {
            QMimeData data;
            data.setUrls(urls);
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &enter);
            const bool accepted = enter.isAccepted();
            QDropEvent dropEvent(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &dropEvent);
            return accepted;
        };
        QVERIFY(drop({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)}));
        QVERIFY(drop({QUrl::fromLocalFile(factory->folder() + QStringLiteral("/drop/folder"))}));
        drop({QUrl(QStringLiteral("https://example.org/x.mp3"))});
        QCOMPARE(spy.size(), 0);
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.first().first().toStringList().size(), 3);
        QTRY_COMPARE(w->model()->audioFiles().size(), 3);
        QCOMPARE(int(w->operationQueue()->undoStack().size()), steps + 1);

        // Only non-local URLs: nothing is handed on.
        drop({QUrl(QStringLiteral("https://example.org/y.mp3"))});
        QTest::qWait(AudioFileTableView::DropBatchMs * 2);
        QCOMPARE(spy.size(), 1);
    }

    // Closing with unsaved files asks once with their number: Cancel keeps the window,
    // Discard closes without writing, Save writes and closes. The layout is stored.
    void closeQuestion()
    {
        const QList<AudioFile *> files =
            addFiles({{{TagItemType::Title, "a"}}, {{TagItemType::Title, "b"}}, {{TagItemType::Title, "c"}}});
        auto *update = new ModelUpdateOperation(AudioFileSelection(w->model()));
        for (AudioFile *file : files)
            update->workingTag(file)->setItemValue(TagItemType::Title, QStringLiteral("changed"));
        w->operationQueue()->apply(update);
        QCOMPARE(w->modifiedSelectionTracker()->modifiedSelection().dataTypesByFile().size(), 3);
        QFile first(files.at(0)->filePath());
        QVERIFY(first.open(QIODevice::ReadOnly));
        const QByteArray before = first.readAll();
        first.close();

        QStringList asked;
        answerNextModal(QMessageBox::Cancel, &asked);
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QCOMPARE(asked, QStringList({"3 files have unsaved changes. Save them before closing?"}));

        SettingsStore::remove(QStringLiteral("appMainWindow/windowState"));
        answerNextModal(QMessageBox::Discard, &asked);
        QVERIFY(w->close());
        QCOMPARE(asked.size(), 2);
        QVERIFY(first.open(QIODevice::ReadOnly));
        QCOMPARE(first.readAll(), before);
        first.close();
        QVERIFY(!SettingsStore::value(QStringLiteral("appMainWindow/windowState")).isEmpty());
        QVERIFY(QFile::exists(w->settingsFilePath()));

        w->showMaximized();
        answerNextModal(QMessageBox::Save, &asked);
        QVERIFY(w->close());
        QCOMPARE(asked.size(), 3);
        QVERIFY(w->modifiedSelectionTracker()->modifiedSelection().isEmpty());
        QVERIFY(first.open(QIODevice::ReadOnly));
        QVERIFY(first.readAll() != before);
        first.close();

        // Unsaved changes only in files removed from the table ask nothing.
        w->showMaximized();
        auto *again = new ModelUpdateOperation(AudioFileSelection(w->model()));
        again->workingTag(files.at(1))->setItemValue(TagItemType::Title, QStringLiteral("again"));
        w->operationQueue()->apply(again);
        w->model()->modelData()->removeAudioFiles({files.at(1)});
        QVERIFY(w->close());
        QCOMPARE(asked.size(), 3);
        w->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }

    // The layout stored at the close comes back: a dock hidden then is hidden again.
    void windowStateRoundTrip()
    {
        w->logDock()->hide();
        QVERIFY(w->close());
        const QString stored = SettingsStore::value(QStringLiteral("appMainWindow/windowState"));
        w->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->logDock()->show();
        QVERIFY(w->restoreState(fromBase64Url(stored), AppMainWindow::WindowStateVersion));
        QVERIFY(w->logDock()->isHidden());
        w->logDock()->show();
        QVERIFY(!w->logDock()->isHidden());
    }

    // The log dock filters by level at once; saved and copied text hold every message.
    void logDockFilters()
    {
        LogDockWidget *dock = w->logDock();
        w->logger()->clear();
        Logger::warning(NotReplaceableTextId, {QStringLiteral("W")});
        Logger::info(FindQueryTitleTextId, {QStringLiteral("I")});
        dock->logTable->refresh();
        QCOMPARE(dock->logTable->rowCount(), 2);
        dock->warningsAction->trigger();
        QCOMPARE(dock->logTable->rowCount(), 1);
        const QStringList lines = dock->messagesText().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.at(0).contains(QStringLiteral("[WARNING] W is a file or audio property")));
        QVERIFY(lines.at(1).contains(QStringLiteral("[INFO] Find \"I\"")));
        dock->warningsAction->trigger();
        QCOMPARE(dock->logTable->rowCount(), 2);

        answerNextModal(QMessageBox::No);
        dock->clearAction->trigger();
        QCOMPARE(w->logger()->messages().size(), 2);
        answerNextModal(QMessageBox::Yes);
        dock->clearAction->trigger();
        QVERIFY(w->logger()->messages().isEmpty());
        QVERIFY(dock->messagesText().isEmpty());
    }

    // Picking a browse node narrows the table to the files under it; the root shows all.
    void displayFilter()
    {
        addFiles({{{TagItemType::Title, "a1"}, {TagItemType::Artist, "A"}, {TagItemType::Album, "X"}},
                  {{TagItemType::Title, "a2"}, {TagItemType::Artist, "A"}, {TagItemType::Album, "X"}},
                  {{TagItemType::Title, "a3"}, {TagItemType::Artist, "A"}, {TagItemType::Album, "X"}},
                  {{TagItemType::Title, "a4"}, {TagItemType::Artist, "A"}, {TagItemType::Album, "X"}},
                  {{TagItemType::Title, "b1"}, {TagItemType::Artist, "B"}, {TagItemType::Album, "Y"}}});
        DisplayFilterDockWidget *dock = w->displayFilterDock();
        QCOMPARE(w->model()->audioFiles().size(), 5);
        QCOMPARE(dock->currentPath(), QStringList({AudioFileModelData::rootName()}));
        QTreeWidgetItem *root = dock->tree->topLevelItem(0);
        QVERIFY(root);
        QTreeWidgetItem *albumX = nullptr;
        for (QTreeWidgetItemIterator it(dock->tree); *it; ++it) {
            if ((*it)->text(0) == QLatin1String("X"))
                albumX = *it;
        }
        QVERIFY(albumX);
        dock->tree->setCurrentItem(albumX);
        QCOMPARE(w->model()->audioFiles().size(), 4);
        QCOMPARE(w->model()->modelData()->path(), dock->currentPath());
        QVERIFY(!dock->setPath({QStringLiteral("no such node")}));
        QCOMPARE(dock->tree->currentItem(), albumX);
        QCOMPARE(w->model()->audioFiles().size(), 4);
        dock->tree->setCurrentItem(root);
        QCOMPARE(w->model()->audioFiles().size(), 5);
    }

    // Activating a row of the find results selects exactly that entry's cell in the table.
    void findResultsActivate()
    {
        const QList<AudioFile *> files = addFiles({{{TagItemType::Title, "red"}}, {{TagItemType::Title, "blue"}},
                                                   {{TagItemType::Title, "reddish"}}});
        FindReplaceDockWidget *dock = w->findReplaceDock();
        QCOMPARE(dock->pageStack->currentIndex(), 2);
        QVERIFY(!FindReplaceDockWidget::stopAction()->isEnabled());
        SearchScope scope(w->model());
        scope.setAllFiles({Title});
        w->searchHandler()->setQuery(new SearchQuery(
            SearchPattern(QStringLiteral("red"), SearchPattern::FixedString, Qt::CaseSensitive), scope,
            ComparisonOperator::Contains));
        QCOMPARE(dock->pageStack->currentIndex(), 1);
        QVERIFY(FindReplaceDockWidget::findAllAction()->isEnabled());
        FindReplaceDockWidget::findAllAction()->trigger();
        QCOMPARE(dock->pageStack->currentIndex(), 0);
        QCOMPARE(dock->resultTable->rowCount(), 2);
        QVERIFY(!FindReplaceDockWidget::findAllAction()->isEnabled());
        QVERIFY(dock->resultTable->isColumnHidden(3));
        const int row = dock->resultTable->item(0, 2)->text() == QLatin1String("reddish") ? 0 : 1;
        Q_EMIT dock->resultTable->cellActivated(row, 1);
        QCoreApplication::processEvents();
        const QModelIndexList selected = w->tableView()->selectionModel()->selectedIndexes();
        QCOMPARE(selected, QModelIndexList({cellOf(files.at(2), Title)}));
        FindReplaceDockWidget::stopAction()->trigger();
        QCOMPARE(dock->pageStack->currentIndex(), 2);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
