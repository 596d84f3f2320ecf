#include <QPointer>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "app/model/audiofilemodel.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/audiofileproxymodel.h"
#include "app/model/support_model.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/operationqueue.h"
#include "app/search/searchhandler.h"
#include "app/search/searchquery.h"
#include "app/search/searchresult.h"
#include "app/shell/headlessmainwindow.h"
#include "libtagging/model/audiofile.h"

namespace {

const ModelDataType Title(TagItemType::Title);
const ModelDataType Artist(TagItemType::Artist);

using Cell = QPair<int, int>; // row, column; (-1, -1) for none

// The main window's services with a real table view that is never shown. Rows are the
// files in the order given: file i has title titles[i] and artist "artist i".
struct Window {
    AudioFileFactory factory;
    HeadlessMainWindow window;
    QTableView view;
    SearchHandler &handler = *window.searchHandler();
    OperationQueue &queue = *window.operationQueue();
    QList<AudioFile *> files;

    explicit Window(const QStringList &titles)
    {
        window.tableModel()->setDataTypes({Title, Artist});
        view.setModel(window.proxyModel()->itemModel());
        window.setTableView(&view);
        for (int i = 0; i < titles.size(); ++i)
            files.append(factory.create(QStringLiteral("f%1.mp3").arg(i),
                                        {{TagItemType::Title, titles.at(i)},
                                         {TagItemType::Artist, QStringLiteral("artist %1").arg(i)}}));
        if (!files.isEmpty()) {
            auto *insert = new ModelInsertOperation(AudioFileSelection(window.model()));
            insert->files = files;
            queue.apply(insert);
            window.store()->setDisplayedFiles(files);
        }
        view.selectionModel()->clear();
    }

    // A query over every loaded file's titles (or the data types given).
    SearchQuery *query(const QString &pattern, int comparison = ComparisonOperator::Contains,
                       const QList<ModelDataType> &types = {Title})
    {
        SearchScope scope(window.model());
        scope.setAllFiles(types);
        return new SearchQuery(SearchPattern(pattern, SearchPattern::FixedString, Qt::CaseSensitive), scope,
                               comparison);
    }

    void setCurrent(const Cell &cell)
    {
        view.selectionModel()->setCurrentIndex(view.model()->index(cell.first, cell.second),
                                               QItemSelectionModel::ClearAndSelect);
    }

    Cell current() const
    {
        const QModelIndex index = view.currentIndex();
        return index.isValid() ? Cell(index.row(), index.column()) : Cell(-1, -1);
    }

    QList<Cell> selected() const
    {
        QList<Cell> cells;
        for (const QModelIndex &index : view.selectionModel()->selectedIndexes())
            cells.append({index.row(), index.column()});
        std::sort(cells.begin(), cells.end());
        return cells;
    }

    QString title(int row) const
    {
        return window.proxyModel()->itemModel()->index(row, 0).data().toString();
    }

    QStringList titles() const
    {
        QStringList result;
        for (int row = 0; row < window.proxyModel()->itemModel()->rowCount(); ++row)
            result.append(title(row));
        return result;
    }
};

QStringList entryTexts(const SearchResult *result)
{
    QStringList texts;
    for (const SearchResultEntry *entry : result->entries())
        texts.append(entry->text());
    return texts;
}

} // namespace

Q_DECLARE_METATYPE(Cell)

class TestSearchHandler : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { loadModelTexts(); }

    // Find next and previous step through the scope from the table's current cell, select
    // what they find and make it current; nothing found shows the message and moves nothing.
    void findInScope_data()
    {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<Cell>("current");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<Cell>("found");

        const QStringList xax{"x", "a", "x"};
        QTest::newRow("no current cell: the first cell counts") << xax << Cell(-1, -1) << true << true << Cell(0, 0);
        QTest::newRow("after the current cell") << xax << Cell(0, 0) << true << true << Cell(2, 0);
        QTest::newRow("from a column outside the scope") << xax << Cell(0, 1) << true << true << Cell(2, 0);
        QTest::newRow("backwards") << xax << Cell(2, 0) << false << true << Cell(0, 0);
        QTest::newRow("wraps forwards") << xax << Cell(2, 0) << true << true << Cell(0, 0);
        QTest::newRow("wraps backwards") << xax << Cell(0, 0) << false << true << Cell(2, 0);
        QTest::newRow("no wrap: nothing after") << xax << Cell(2, 0) << true << false << Cell(-1, -1);
        QTest::newRow("no match anywhere") << QStringList{"a", "b"} << Cell(1, 0) << true << true << Cell(-1, -1);
        QTest::newRow("empty table") << QStringList{} << Cell(-1, -1) << true << true << Cell(-1, -1);
    }

    void findInScope()
    {
        QFETCH(QStringList, titles);
        QFETCH(Cell, current);
        QFETCH(bool, forward);
        QFETCH(bool, wrap);
        QFETCH(Cell, found);
        Window w(titles);
        SearchQuery *query = w.query(QStringLiteral("x"));
        query->setWrapAround(wrap);
        w.handler.setQuery(query);
        if (current.first >= 0)
            w.setCurrent(current);

        forward ? w.handler.findNext() : w.handler.findPrevious();
        if (found.first < 0) {
            QCOMPARE(w.window.informations, QStringList{QStringLiteral("No cell matches \"x\".")});
            QCOMPARE(w.current(), current);
            return;
        }
        QVERIFY(w.window.informations.isEmpty());
        QCOMPARE(w.current(), found);
        QCOMPARE(w.selected(), QList<Cell>{found});
    }

    // Repeated find next walks on from the found cell.
    void findWalksOn()
    {
        Window w({"x1", "a", "x2", "x3"});
        w.handler.setQuery(w.query(QStringLiteral("x")));
        QStringList found;
        for (int i = 0; i < 4; ++i) {
            w.handler.findNext();
            found.append(w.title(w.current().first));
        }
        QCOMPARE(found, (QStringList{"x1", "x2", "x3", "x1"}));
    }

    // After find all, find next and previous step through the result list and announce it.
    void resultStepping()
    {
        Window w({"x1", "a", "x2", "x3"});
        w.handler.setQuery(w.query(QStringLiteral("x")));
        QSignalSpy changed(&w.handler, &SearchHandler::queryChanged);
        QSignalSpy index(&w.handler, &SearchHandler::resultIndexChanged);
        QCOMPARE(w.handler.findAll(), 3);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(w.handler.state(), int(SearchQuery::ResultOnly));

        w.handler.findNext(); // from no current entry to the first
        QCOMPARE(index.takeLast().at(0).toInt(), 0);
        QCOMPARE(w.current(), Cell(0, 0));
        w.handler.findPrevious(); // wraps
        QCOMPARE(index.takeLast().at(0).toInt(), 2);
        QCOMPARE(w.current(), Cell(3, 0));
        w.handler.query()->setWrapAround(false);
        w.handler.findNext();
        QCOMPARE(index.takeLast().at(0).toInt(), 2);

        // The selection of all results, of one, and of one out of range.
        w.handler.selectAllResults();
        QCOMPARE(w.selected(), (QList<Cell>{{0, 0}, {2, 0}, {3, 0}}));
        w.handler.selectResult(1);
        QCOMPARE(w.selected(), QList<Cell>{Cell(2, 0)});
        w.handler.selectResult(3);
        QCOMPARE(w.selected(), QList<Cell>{Cell(2, 0)});
        QCOMPARE(w.handler.result()->currentIndex(), 2);
    }

    void emptyResultReportsNothingFound()
    {
        Window w({"a", "b"});
        w.handler.setQuery(w.query(QStringLiteral("x")));
        QSignalSpy index(&w.handler, &SearchHandler::resultIndexChanged);
        QCOMPARE(w.handler.findAll(), 0);
        w.handler.findNext();
        QCOMPARE(w.window.informations.size(), 1);
        QCOMPARE(index.size(), 0);
    }

    // Replace next replaces the current cell as one undo step and goes on to the next match.
    void replaceNext()
    {
        Window w({"x1", "a", "x2"});
        SearchQuery *query = w.query(QStringLiteral("x"));
        query->setReplacementText(QStringLiteral("y"));
        w.handler.setQuery(query);
        w.setCurrent({0, 0});
        w.handler.replaceNext();
        QCOMPARE(w.titles(), (QStringList{"y1", "a", "x2"}));
        QCOMPARE(w.current(), Cell(2, 0));
        QCOMPARE(w.queue.undoOperation()->description(), QStringLiteral("replace text"));

        // A current cell outside the scope is not replaced, nor the cell found before.
        w.setCurrent({2, 1});
        w.handler.replaceNext();
        QCOMPARE(w.titles(), (QStringList{"y1", "a", "x2"}));
        QCOMPARE(w.current(), Cell(2, 0));

        w.handler.replacePrevious();
        QCOMPARE(w.titles(), (QStringList{"y1", "a", "y2"}));
        w.queue.undo();
        QCOMPARE(w.titles(), (QStringList{"y1", "a", "x2"}));

        // With a result list, replace next does nothing.
        w.handler.findAll();
        w.setCurrent({2, 0});
        const Operation *before = w.queue.undoOperation();
        w.handler.replaceNext();
        QCOMPARE(w.queue.undoOperation(), before);
        QCOMPARE(w.titles(), (QStringList{"y1", "a", "x2"}));
    }

    // Replace all finds first when needed, replaces every match as one undo step and clears
    // the query; with no match it applies nothing.
    void replaceAll_data()
    {
        QTest::addColumn<bool>("findFirst");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("after find all") << true << "x" << 2 << QStringList{"y1", "a", "y2"};
        QTest::newRow("without find all") << false << "x" << 2 << QStringList{"y1", "a", "y2"};
        QTest::newRow("no match") << false << "z" << 0 << QStringList{"x1", "a", "x2"};
    }

    void replaceAll()
    {
        QFETCH(bool, findFirst);
        QFETCH(QString, pattern);
        QFETCH(int, count);
        QFETCH(QStringList, after);
        Window w({"x1", "a", "x2"});
        SearchQuery *query = w.query(pattern);
        query->setReplacementText(QStringLiteral("y"));
        w.handler.setQuery(query);
        if (findFirst)
            w.handler.findAll();
        const int undoable = int(w.queue.undoStack().size());
        QSignalSpy changed(&w.handler, &SearchHandler::queryChanged);

        QCOMPARE(w.handler.replaceAll(), count);
        QCOMPARE(w.titles(), after);
        QCOMPARE(w.handler.state(), int(SearchHandler::NoQuery));
        QVERIFY(changed.size() >= 1);
        QCOMPARE(int(w.queue.undoStack().size()), undoable + (count > 0 ? 1 : 0));
        if (count > 0) {
            w.queue.undo();
            QCOMPARE(w.titles(), (QStringList{"x1", "a", "x2"}));
        }
        // Nothing to replace without a query.
        QCOMPARE(w.handler.replaceAll(), 0);
    }

    // A result in a file that the browse path hides: the path goes back to every file.
    void selectingHiddenResultShowsAllFiles()
    {
        Window w({"x1", "a", "x2"});
        AudioFileModelData &store = *w.window.store();
        QVERIFY(store.setPath({AudioFileModelData::rootName(), "tracks", "artist 1"}));
        QCOMPARE(w.titles(), QStringList{"a"});
        w.handler.setQuery(w.query(QStringLiteral("x2")));
        w.handler.findNext();
        QCOMPARE(store.path(), QStringList{AudioFileModelData::rootName()});
        QCOMPARE(w.selected().size(), 1);
        QCOMPARE(w.title(w.current().first), QStringLiteral("x2"));
    }

    void removeResults_data()
    {
        QTest::addColumn<QList<int>>("indexes");
        QTest::addColumn<QStringList>("remaining");
        QTest::newRow("ascending") << QList<int>{1, 3} << QStringList{"x0", "x2", "x4"};
        QTest::newRow("descending") << QList<int>{3, 1} << QStringList{"x0", "x2", "x4"};
        QTest::newRow("twice the same") << QList<int>{1, 1} << QStringList{"x0", "x2", "x3", "x4"};
        QTest::newRow("out of range") << QList<int>{-1, 5} << QStringList{"x0", "x1", "x2", "x3", "x4"};
    }

    void removeResults()
    {
        QFETCH(QList<int>, indexes);
        QFETCH(QStringList, remaining);
        Window w({"x0", "x1", "x2", "x3", "x4"});
        w.handler.setQuery(w.query(QStringLiteral("x")));
        QCOMPARE(w.handler.findAll(), 5);
        QSignalSpy changed(&w.handler, &SearchHandler::queryChanged);
        w.handler.removeResults(indexes);
        QCOMPARE(entryTexts(w.handler.result()), remaining);
        QCOMPARE(changed.size(), 1);
        // The highlighted cells follow.
        QCOMPARE(w.handler.result()->cells().cellCount(), remaining.size());
    }

    // Sorting the table re-sorts the result list and announces where the current entry went.
    void resultFollowsSorting()
    {
        Window w({"xc", "xa", "xb"});
        w.handler.setQuery(w.query(QStringLiteral("x")));
        w.handler.findAll();
        w.handler.findNext(); // entry 0, "xc"
        QSignalSpy index(&w.handler, &SearchHandler::resultIndexChanged);
        QSignalSpy changed(&w.handler, &SearchHandler::queryChanged);
        w.window.proxyModel()->sort(0);
        QCOMPARE(entryTexts(w.handler.result()), (QStringList{"xa", "xb", "xc"}));
        QVERIFY(changed.size() >= 1);
        QCOMPARE(index.last().at(0).toInt(), 2);
        w.handler.findPrevious();
        QCOMPARE(w.title(w.current().first), QStringLiteral("xb"));
    }

    void queryLifetime()
    {
        Window w({"x"});
        QSignalSpy changed(&w.handler, &SearchHandler::queryChanged);
        QCOMPARE(w.handler.findText(), QString());
        QPointer<SearchQuery> first = w.query(QStringLiteral("pattern"));
        w.handler.setQuery(first);
        w.handler.setQuery(first);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(w.handler.findText(), QStringLiteral("pattern"));
        SearchScope scope(w.window.model());
        w.handler.setQuery(new SearchQuery(qint64(42), scope, ComparisonOperator::LessThan));
        QVERIFY(first.isNull());
        QCOMPARE(w.handler.findText(), QStringLiteral("42"));
        QCOMPARE(w.handler.replacementText(), QString());
        w.handler.setQuery(nullptr);
        QCOMPARE(w.handler.state(), int(SearchHandler::NoQuery));
        QCOMPARE(changed.size(), 3);
        w.handler.clearQuery();
        QCOMPARE(changed.size(), 3);
        QCOMPARE(w.handler.findAll(), 0);
    }
};

QTEST_MAIN(TestSearchHandler)
#include "tst_searchhandler.moc"
