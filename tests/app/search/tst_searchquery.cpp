#include <QTest>

#include "app/model/audiofilemodel.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/audiofileproxymodel.h"
#include "app/model/support_model.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/modelremoveoperation.h"
#include "app/operations/modelupdateoperation.h"
#include "app/search/searchquery.h"
#include "app/search/searchresult.h"
#include "libtagging/model/audiotag.h"

namespace {

const ModelDataType Title(TagItemType::Title);
const ModelDataType Artist(TagItemType::Artist);
const ModelDataType Album(TagItemType::Album);
const ModelDataType TrackNumber(TagItemType::TrackNumber);
const ModelDataType FileName(FileProperty::fileName);

struct Table {
    AudioFileModelData store;
    AudioFileModel model{&store};
    AudioFileProxyModel proxy{&model};
    AudioFileFactory factory;
    QList<AudioFile *> files;

    explicit Table(const QList<QList<QPair<int, QVariant>>> &rows,
                   const QList<ModelDataType> &columns = {Title, Artist, Album})
    {
        model.setDataTypes(columns);
        for (int i = 0; i < rows.size(); ++i)
            files.append(factory.create(QStringLiteral("f%1.mp3").arg(i), rows.at(i)));
        ModelInsertOperation insert{AudioFileSelection(&proxy)};
        insert.files = files;
        insert.apply();
        // Rows in the order given.
        store.setDisplayedFiles(files);
    }

    QString text(AudioFile *file, const ModelDataType &type)
    {
        return SearchScope::cellText(&proxy, file, type);
    }

    void remove(AudioFile *file)
    {
        ModelRemoveOperation remove{AudioFileSelection(&proxy)};
        remove.files = {file};
        remove.apply();
    }
};

SearchScope allFiles(IAudioFileModel *model, const QList<ModelDataType> &types = {})
{
    SearchScope scope(model);
    scope.setAllFiles(types);
    return scope;
}

QList<QPair<int, QVariant>> titled(const QString &title)
{
    return {{TagItemType::Title, title}};
}

using Matches = QList<QList<qsizetype>>; // {position, length} pairs

Matches spans(const QList<SearchMatch> &matches)
{
    Matches result;
    for (const SearchMatch &m : matches)
        result.append({m.position, m.length});
    return result;
}

} // namespace

Q_DECLARE_METATYPE(Matches)

class tst_SearchQuery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { loadModelTexts(); }

    void wildcardTranslation_data()
    {
        QTest::addColumn<QString>("wildcard");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matchesWhole");
        QTest::newRow("star spans a slash") << "AC*DC" << "AC/DC" << true;
        QTest::newRow("star spans a line feed") << "a*b" << "a\nb" << true;
        QTest::newRow("question mark") << "a?c" << "abc" << true;
        QTest::newRow("question mark is one character") << "a?c" << "abbc" << false;
        QTest::newRow("set") << "[bc]at" << "cat" << true;
        QTest::newRow("negated set") << "[!bc]at" << "cat" << false;
        QTest::newRow("bracket first in set") << "[]]" << "]" << true;
        QTest::newRow("unclosed bracket is literal") << "a[b" << "a[b" << true;
        QTest::newRow("regex characters are literal") << "a.b+(c)" << "a.b+(c)" << true;
        QTest::newRow("dot is not any character") << "a.b" << "axb" << false;
        QTest::newRow("backslash is literal") << "a\\b" << "a\\b" << true;
    }
    void wildcardTranslation()
    {
        QFETCH(QString, wildcard);
        QFETCH(QString, text);
        QFETCH(bool, matchesWhole);
        const SearchPattern pattern(wildcard, SearchPattern::Wildcard, Qt::CaseSensitive);
        QVERIFY(pattern.isValid());
        const SearchMatch m = pattern.indexIn(text, 0);
        QCOMPARE(m.position == 0 && m.length == text.size(), matchesWhole);
    }

    void matchText_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("syntax");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Matches>("expected");
        const int F = SearchPattern::FixedString, W = SearchPattern::Wildcard, R = SearchPattern::RegularExpression;
        QTest::newRow("contains: zero-length matches step on") << "x*" << R << true << 0 << "xxa" << Matches{{0, 2}, {2, 0}};
        QTest::newRow("contains: empty text never matches") << "x*" << R << true << 0 << "" << Matches{};
        QTest::newRow("contains: every match") << "a" << F << true << 0 << "aXa" << Matches{{0, 1}, {2, 1}};
        QTest::newRow("contains: case insensitive") << "A" << F << false << 0 << "xa" << Matches{{1, 1}};
        QTest::newRow("contains: case sensitive") << "A" << F << true << 0 << "xa" << Matches{};
        QTest::newRow("contains: unicode word class") << "\\w+" << R << true << 0 << "é ß" << Matches{{0, 1}, {2, 1}};
        QTest::newRow("equals: empty pattern, empty text") << "" << F << true << 1 << "" << Matches{{0, 0}};
        QTest::newRow("equals: empty pattern, text") << "" << F << true << 1 << "a" << Matches{};
        QTest::newRow("equals: prefix only") << "ab" << F << true << 1 << "abc" << Matches{};
        QTest::newRow("equals: wildcard") << "A*" << W << true << 1 << "AC/DC" << Matches{{0, 5}};
        QTest::newRow("not equals: empty pattern, text") << "" << F << true << 2 << "abc" << Matches{{0, 3}};
        QTest::newRow("not equals: empty pattern, empty text") << "" << F << true << 2 << "" << Matches{};
        QTest::newRow("starts with") << "ab" << F << true << 3 << "abab" << Matches{{0, 2}};
        QTest::newRow("starts with: later only") << "b" << F << true << 3 << "abab" << Matches{};
        QTest::newRow("ends with: last occurrence") << "ab" << F << true << 4 << "abab" << Matches{{2, 2}};
        QTest::newRow("ends with: regex") << "b+" << R << true << 4 << "abbb" << Matches{{1, 3}};
        QTest::newRow("ends with: not at end") << "a" << F << true << 4 << "ab" << Matches{};
        QTest::newRow("less: locale order") << "M" << F << true << 5 << "A" << Matches{{0, 1}};
        QTest::newRow("less: after") << "M" << F << true << 5 << "Z" << Matches{};
        QTest::newRow("greater") << "M" << F << true << 6 << "Z" << Matches{{0, 1}};
        QTest::newRow("less or equal: equal") << "M" << F << true << 7 << "M" << Matches{{0, 1}};
        QTest::newRow("greater or equal: before") << "M" << F << true << 8 << "A" << Matches{};
        QTest::newRow("less: regex never") << "M" << R << true << 5 << "A" << Matches{};
        QTest::newRow("less: wildcard never") << "M" << W << true << 5 << "A" << Matches{};
        QTest::newRow("operator out of range") << "a" << F << true << 9 << "a" << Matches{};
    }
    void matchText()
    {
        QFETCH(QString, pattern);
        QFETCH(int, syntax);
        QFETCH(bool, caseSensitive);
        QFETCH(int, op);
        QFETCH(QString, text);
        QFETCH(Matches, expected);
        const SearchPattern p(pattern, SearchPattern::Syntax(syntax), caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
        SearchQuery query(p, SearchScope(), op);
        QCOMPARE(spans(query.matchCell(text, false, 0)), expected);
    }

    void matchNumber_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<bool>("hasNumber");
        QTest::addColumn<qint64>("number");
        QTest::addColumn<bool>("matches");
        QTest::newRow("equals never") << 1 << true << qint64(100) << false;
        QTest::newRow("contains never") << 0 << true << qint64(100) << false;
        QTest::newRow("greater or equal") << 8 << true << qint64(128) << true;
        QTest::newRow("greater or equal: equal") << 8 << true << qint64(100) << true;
        QTest::newRow("less") << 5 << true << qint64(99) << true;
        QTest::newRow("greater: below") << 6 << true << qint64(-5) << false;
        QTest::newRow("no number") << 8 << false << qint64(0) << false;
    }
    void matchNumber()
    {
        QFETCH(int, op);
        QFETCH(bool, hasNumber);
        QFETCH(qint64, number);
        QFETCH(bool, matches);
        SearchQuery query(qint64(100), SearchScope(), op);
        const QList<SearchMatch> found = query.matchCell(QStringLiteral("12"), hasNumber, number);
        QCOMPARE(!found.isEmpty(), matches);
        if (matches)
            QCOMPARE(found.first().capturedTexts, QStringList{QStringLiteral("12")});
    }

    // Number cells come from the raw value, else from the text; other values have none.
    void numberQueryOverCells()
    {
        Table table({{{TagItemType::Title, QStringLiteral("x")}, {TagItemType::TrackNumber, 128}},
                     {{TagItemType::Title, QStringLiteral("y")}, {TagItemType::TrackNumber, 7}},
                     titled(QStringLiteral(" 300"))},
                    {Title, TrackNumber});
        SearchQuery query(qint64(100), allFiles(&table.proxy), ComparisonOperator::GreaterThanOrEqual);
        QCOMPARE(query.run(), 2);
        QCOMPARE(query.result()->entry(0)->file(), table.files.at(0));
        QCOMPARE(query.result()->entry(0)->dataType(), TrackNumber);
        QCOMPARE(query.result()->entry(1)->file(), table.files.at(2));
        QCOMPARE(query.result()->entry(1)->dataType(), Title);
    }

    void replacement_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("syntax");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const int F = SearchPattern::FixedString, R = SearchPattern::RegularExpression;
        QTest::newRow("groups swapped") << "(\\w+) (\\w+)" << R << "\\2-\\1" << "john smith" << "smith-john";
        QTest::newRow("missing group is empty") << "(\\w+) (\\w+)" << R << "<\\9>" << "john smith" << "<>";
        QTest::newRow("\\10 is group 1 then 0") << "(a)" << R << "\\10" << "a" << "a0";
        QTest::newRow("whole match") << "o+" << R << "[\\0]" << "foo" << "f[oo]";
        QTest::newRow("other character stands alone") << "a" << R << "\\q\\\\" << "a" << "q\\";
        QTest::newRow("control characters") << "a" << R << "\\t\\n\\a" << "a" << QStringLiteral("\t\n\a");
        QTest::newRow("trailing backslash dropped") << "a" << R << "b\\" << "a" << "b";
        QTest::newRow("fixed string inserts as typed") << "a" << F << "\\1" << "xa" << "x\\1";
        QTest::newRow("replaced from the end") << "a" << F << "bb" << "aXa" << "bbXbb";
        QTest::newRow("empty replacement deletes") << "a" << F << "" << "aXa" << "X";
    }
    void replacement()
    {
        QFETCH(QString, pattern);
        QFETCH(int, syntax);
        QFETCH(QString, replacement);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        SearchQuery query(SearchPattern(pattern, SearchPattern::Syntax(syntax), Qt::CaseSensitive), SearchScope(),
                          ComparisonOperator::Contains);
        query.setReplacementText(replacement);
        QCOMPARE(query.replacedText(text, query.matchCell(text, false, 0)), expected);
    }

    void state()
    {
        SearchQuery query(SearchPattern(), SearchScope(), 0);
        QCOMPARE(query.state(), 1);
        query.setReplacementText(QString());
        QCOMPARE(query.state(), 3);
        query.run();
        QCOMPARE(query.state(), 4);
    }

    // Scopes: which cells are candidates, in which order.
    void scopeModes()
    {
        Table table({titled("a1"), titled("a2"), titled("b3")}, {Title, FileName});
        const auto cellsOf = [&](SearchScope scope) {
            QStringList cells;
            scope.setPosition(-1);
            while (scope.hasNext()) {
                scope.next();
                cells.append(table.text(scope.currentFile(), scope.currentDataType()));
            }
            return cells;
        };
        // All columns in column order, row by row.
        QCOMPARE(cellsOf(allFiles(&table.proxy)),
                 (QStringList{"a1", "f0.mp3", "a2", "f1.mp3", "b3", "f2.mp3"}));
        // A data type that is no column is never searched.
        QCOMPARE(cellsOf(allFiles(&table.proxy, {Artist, Title})), (QStringList{"a1", "a2", "b3"}));

        AudioFileSelection selection(&table.proxy);
        selection.insertCell(table.files.at(1), FileName);
        selection.insertCell(table.files.at(2), Title);
        SearchScope files(&table.proxy);
        files.setSelectionColumns(selection, {Title});
        QCOMPARE(cellsOf(files), (QStringList{"a2", "b3"}));
        SearchScope cells(&table.proxy);
        cells.setSelection(selection);
        QCOMPARE(cellsOf(cells), (QStringList{"f1.mp3", "b3"}));
        // A selected cell whose column went away drops out at the next update.
        table.proxy.setDataTypes({Title});
        cells.update();
        QCOMPARE(cellsOf(cells), QStringList{"b3"});

        // Files hidden by the browse path come after every displayed row.
        table.store.setDisplayedFiles({table.files.at(2)});
        SearchScope all = allFiles(&table.proxy);
        QCOMPARE(cellsOf(all).first(), QStringLiteral("b3"));
        QCOMPARE(cellsOf(all).size(), 3);
        SearchScope displayed(&table.proxy);
        displayed.setDisplayedFiles({});
        QCOMPARE(cellsOf(displayed), QStringList{"b3"});

        // Stepping past the ends, and a file that is no longer loaded.
        QVERIFY(all.hasNext());
        all.setPosition(all.cellCount() - 1);
        QVERIFY(!all.hasNext());
        all.next();
        QCOMPARE(all.position(), all.cellCount());
        all.next();
        QCOMPARE(all.position(), all.cellCount());
        table.remove(table.files.at(0));
        all.update();
        QCOMPARE(all.setPosition(table.files.at(0), Title), -1);
        QCOMPARE(all.position(), all.cellCount() + 1); // the grid shrank; the cursor did not move
    }

    void findStepping_data()
    {
        QTest::addColumn<bool>("forward");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<bool>("includeCurrent");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("found"); // row of the found cell, -1 none
        QTest::addColumn<int>("rest");  // the cursor afterwards
        // Rows hold "hit", "-", "hit", "-" in a one-column table.
        QTest::newRow("forward from before the first") << true << true << false << -1 << 0 << 0;
        QTest::newRow("forward skips the current cell") << true << true << false << 0 << 2 << 2;
        QTest::newRow("forward includes the current cell") << true << true << true << 2 << 2 << 2;
        QTest::newRow("forward wraps") << true << true << false << 2 << 0 << 0;
        QTest::newRow("forward without wrap") << true << false << false << 2 << -1 << 3;
        QTest::newRow("backward") << false << true << false << 2 << 0 << 0;
        QTest::newRow("backward wraps") << false << true << false << 0 << 2 << 2;
        QTest::newRow("backward without wrap") << false << false << false << 0 << -1 << 0;
        QTest::newRow("backward includes the current cell") << false << false << true << 0 << 0 << 0;
    }
    void findStepping()
    {
        QFETCH(bool, forward);
        QFETCH(bool, wrap);
        QFETCH(bool, includeCurrent);
        QFETCH(int, start);
        QFETCH(int, found);
        QFETCH(int, rest);
        Table table({titled("hit"), titled("-"), titled("hit"), titled("-")}, {Title});
        SearchQuery query(SearchPattern("hit", SearchPattern::FixedString, Qt::CaseSensitive),
                          allFiles(&table.proxy), ComparisonOperator::Equals);
        query.setWrapAround(wrap);
        query.scope().setPosition(start);
        QObject parent;
        SearchResultEntry *entry = forward ? query.findForward(includeCurrent, &parent)
                                           : query.findBackward(includeCurrent, &parent);
        QCOMPARE(entry ? int(table.files.indexOf(entry->file())) : -1, found);
        QCOMPARE(query.scope().position(), rest);
    }

    void noMatchAnywhere()
    {
        Table table({titled("a"), titled("b")}, {Title});
        SearchQuery query(SearchPattern("z", SearchPattern::FixedString, Qt::CaseSensitive),
                          allFiles(&table.proxy), ComparisonOperator::Contains);
        QObject parent;
        QVERIFY(!query.findForward(false, &parent));
        QCOMPARE(query.scope().position(), 1);
        QVERIFY(!query.findBackward(false, &parent));
        QCOMPARE(query.scope().position(), 0);
        SearchQuery empty(SearchPattern("z", SearchPattern::FixedString, Qt::CaseSensitive), SearchScope(&table.proxy), 0);
        QVERIFY(!empty.findForward(true, &parent));
        QCOMPARE(empty.scope().position(), -1);
    }

    void resultStepping()
    {
        Table table({titled("x"), titled("x"), titled("x"), titled("x"), titled("x")}, {Title});
        SearchQuery query(SearchPattern("x", SearchPattern::FixedString, Qt::CaseSensitive),
                          allFiles(&table.proxy), ComparisonOperator::Contains);
        QCOMPARE(query.run(), 5);
        SearchResult *result = query.result();
        result->removeEntry(-1);
        result->removeEntry(5);
        QCOMPARE(result->count(), 5);
        result->removeEntry(4);
        result->removeEntry(3);
        const QList<QPair<bool, bool>> steps{{false, false}, {false, true}, {true, false}, {true, true},
                                              {false, false}, {true, false}};
        QList<int> indexes;
        for (const auto &[forward, wrap] : steps) {
            forward ? result->stepForward(wrap) : result->stepBack(wrap);
            indexes.append(result->currentIndex());
        }
        // From none: back without wrap to the first; the ends join only with wrap.
        QCOMPARE(indexes, (QList<int>{0, 2, 2, 0, 0, 1}));

        // From none, the first step forward lands on the first entry.
        query.run();
        result = query.result();
        result->stepForward(false);
        QCOMPARE(result->currentIndex(), 0);
        // An index left past the end by removals is limited to the last entry first.
        for (int i = 0; i < 4; ++i)
            result->stepForward(false);
        QCOMPARE(result->currentIndex(), 4);
        result->removeEntry(4);
        result->removeEntry(3);
        result->stepBack(false);
        QCOMPARE(result->currentIndex(), 1);
    }

    void resultCells()
    {
        Table table({titled("x"), titled("y")}, {Title, Artist});
        SearchQuery query(SearchPattern("[xy]", SearchPattern::Wildcard, Qt::CaseSensitive),
                          allFiles(&table.proxy), ComparisonOperator::Equals);
        QCOMPARE(query.run(), 2);
        AudioFileSelection cells = query.result()->cells();
        QVERIFY(cells.contains(table.files.at(0), Title));
        query.result()->removeEntry(0);
        cells = query.result()->cells();
        QVERIFY(!cells.contains(table.files.at(0), Title));
        QCOMPARE(cells.cellCount(), 1);
    }

    // After sorting, the entries follow the new row order and the current entry stays current.
    void resultFollowsSorting()
    {
        Table table({titled("c"), titled("a"), titled("b")}, {Title});
        SearchQuery query(SearchPattern("?", SearchPattern::Wildcard, Qt::CaseSensitive),
                          allFiles(&table.proxy), ComparisonOperator::Equals);
        QCOMPARE(query.run(), 3);
        SearchResult *result = query.result();
        result->stepForward(false); // entry 0, "c"
        QCOMPARE(result->entry(result->currentIndex())->text(), QStringLiteral("c"));
        const int position = query.scope().position();
        table.proxy.sort(0);
        query.updateForModel();
        QStringList order;
        for (SearchResultEntry *entry : result->entries())
            order.append(entry->text());
        QCOMPARE(order, (QStringList{"a", "b", "c"}));
        QCOMPARE(result->currentIndex(), 2);
        QCOMPARE(query.scope().position(), position);
        // Find next follows the new order too.
        query.scope().setPosition(-1);
        QObject parent;
        QCOMPARE(query.findForward(false, &parent)->text(), QStringLiteral("a"));
    }

    // A file deleted by the store takes its entries with it: nothing is left to write through.
    void deletedFileLeavesResult()
    {
        Table table({titled("x1"), titled("x2"), titled("x3")}, {Title});
        SearchQuery query(SearchPattern("x", SearchPattern::FixedString, Qt::CaseSensitive),
                          allFiles(&table.proxy), ComparisonOperator::StartsWith);
        query.setReplacementText(QStringLiteral("y"));
        QCOMPARE(query.run(), 3);
        query.result()->stepForward(false);
        query.result()->stepForward(false); // current: x2
        AudioFile *doomed = table.files.at(0);
        table.remove(doomed);
        QCOMPARE(query.result()->count(), 3); // removed from the table, still loaded in the undo history
        table.store.releaseUnusedAudioFiles({});
        QCOMPARE(query.result()->count(), 2);
        QVERIFY(!query.result()->cells().dataTypesByFile().contains(doomed));
        QCOMPARE(query.result()->entry(query.result()->currentIndex())->text(), QStringLiteral("x2"));
        ModelUpdateOperation operation{AudioFileSelection(&table.proxy)};
        QCOMPARE(query.replaceAll(&operation), 2);
        QCOMPARE(operation.files().size(), 2);
    }

    // Replace all writes the cell as it is now, and leaves cells that no longer match alone.
    void replaceAllRereadsCells()
    {
        Table table({titled("a-1"), titled("a-2"), titled("a-3")}, {Title, FileName});
        SearchQuery query(SearchPattern("a", SearchPattern::FixedString, Qt::CaseSensitive),
                          allFiles(&table.proxy), ComparisonOperator::Contains);
        query.setReplacementText(QStringLiteral("b"));
        QCOMPARE(query.run(), 3);
        // Edits since the search: one cell no longer matches, another changed but still does.
        ModelUpdateOperation edit{AudioFileSelection(&table.proxy)};
        edit.workingTag(table.files.at(0))->setItemValue(TagItemType::Title, QStringLiteral("z-1"));
        edit.workingTag(table.files.at(1))->setItemValue(TagItemType::Title, QStringLiteral("a-2 and a"));
        edit.apply();

        ModelUpdateOperation operation{AudioFileSelection(&table.proxy)};
        QCOMPARE(query.replaceAll(&operation), 2);
        operation.apply();
        QCOMPARE(table.text(table.files.at(0), Title), QStringLiteral("z-1"));
        QCOMPARE(table.text(table.files.at(1), Title), QStringLiteral("b-2 bnd b"));
        QCOMPARE(table.text(table.files.at(2), Title), QStringLiteral("b-3"));
    }

    void replaceOnlyTagItems()
    {
        Table table({titled("f0")}, {Title, FileName});
        SearchQuery query(SearchPattern("f0", SearchPattern::FixedString, Qt::CaseSensitive),
                          allFiles(&table.proxy), ComparisonOperator::Contains);
        query.setReplacementText(QStringLiteral("g"));
        QCOMPARE(query.run(), 2); // the title and the file name
        ModelUpdateOperation operation{AudioFileSelection(&table.proxy)};
        QCOMPARE(query.replaceAll(&operation), 1);
        // A text that the item type cannot hold is not replaced.
        Table numbers({{{TagItemType::TrackNumber, 5}}}, {TrackNumber});
        SearchQuery digits(SearchPattern("5", SearchPattern::FixedString, Qt::CaseSensitive),
                           allFiles(&numbers.proxy), ComparisonOperator::Equals);
        digits.setReplacementText(QStringLiteral("five"));
        digits.run();
        ModelUpdateOperation numberOperation{AudioFileSelection(&numbers.proxy)};
        QCOMPARE(digits.replaceAll(&numberOperation), 0);
    }
};

QTEST_MAIN(tst_SearchQuery)
#include "tst_searchquery.moc"
