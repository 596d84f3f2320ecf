#include <QAbstractItemModelTester>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "app/model/audiofilemodel.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/audiofileproxymodel.h"
#include "app/model/support_model.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/modelremoveoperation.h"
#include "app/operations/modelupdateoperation.h"
#include "libcore/image/codedimage.h"
#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/util/partialdatetime.h"
#include "libgui/editing/tageditorregistry.h"
#include "libgui/itemviews/colors.h"
#include "libgui/itemviews/selectiongeometry.h"
#include "libtagging/model/audiotag.h"

namespace {

const ModelDataType Title(TagItemType::Title);
const ModelDataType Artist(TagItemType::Artist);
const ModelDataType FileName(FileProperty::fileName);
const ModelDataType SampleRate(AudioProperty::audioSampleRate);

// The store, the table model over it and the sorting proxy over that, as the main window
// chains them, with Qt's model checks running over both models all the time.
struct Table {
    AudioFileModelData store;
    AudioFileModel model{&store};
    AudioFileProxyModel proxy{&model};
    std::unique_ptr<QAbstractItemModelTester> modelTester;
    std::unique_ptr<QAbstractItemModelTester> proxyTester;

    // Qt's tester wants a text for the display role, so a table with an artwork column (whose
    // cells show images) runs without it.
    explicit Table(bool withTesters = true)
    {
        if (withTesters) {
            const auto mode = QAbstractItemModelTester::FailureReportingMode::QtTest;
            modelTester = std::make_unique<QAbstractItemModelTester>(&model, mode);
            proxyTester = std::make_unique<QAbstractItemModelTester>(&proxy, mode);
        }
        model.setDataTypes({Title, Artist, FileName});
    }

    // Adds the files through an insert operation, as loading does.
    void insert(const QList<AudioFile *> &files)
    {
        ModelInsertOperation operation{AudioFileSelection(&proxy)};
        operation.files = files;
        operation.apply();
    }

    QStringList column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < proxy.rowCount(); ++row)
            texts.append(proxy.index(row, column).data().toString());
        return texts;
    }
};

QList<QRect> rectsOf(const QItemSelection &selection)
{
    QList<QRect> rects;
    for (const QItemSelectionRange &range : selection)
        rects.append(selectionRangeBounds(range));
    return rects;
}

QRect cells(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

class TestFileTable : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        loadModelTexts();
        // Texts sort by this locale's collation.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        SettingsStore::setValue(QStringLiteral("colors/searchResult"), QStringLiteral("#ffff00"));
        SettingsStore::setValue(QStringLiteral("colors/modified"), QStringLiteral("#0000ff"));
    }

    void headersAndFlags()
    {
        AudioFileFactory factory;
        Table table;
        table.model.setDataTypes({Title, FileName, SampleRate});
        table.insert({factory.album("a.mp3", "A", "", ""), factory.album("b.mp3", "B", "", "")});
        QCOMPARE(table.model.headerData(0, Qt::Horizontal).toString(), upperCaseFirstText(Title));
        QCOMPARE(table.proxy.headerData(1, Qt::Horizontal).toString(), QStringLiteral("File name"));
        QVERIFY(!table.model.headerData(0, Qt::Vertical).isValid());
        QCOMPARE(table.proxy.headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
        QCOMPARE(table.proxy.headerData(1, Qt::Vertical).toString(), QStringLiteral("2"));
        QVERIFY(table.model.flags(table.model.index(0, 0)) & Qt::ItemIsEditable);
        QVERIFY(!(table.model.flags(table.model.index(0, 1)) & Qt::ItemIsEditable));
        QVERIFY(!(table.model.flags(table.model.index(0, 2)) & Qt::ItemIsEditable));
        QVERIFY(table.model.flags(table.model.index(0, 2)) & Qt::ItemIsSelectable);
        QCOMPARE(table.proxy.index(0, 2).data(RawValueRole).toInt(), 16000);
    }

    void settingTheSameColumnsDoesNothing()
    {
        Table table;
        QSignalSpy changed(&table.model, SIGNAL(modelChanged()));
        QSignalSpy reset(&table.model, &QAbstractItemModel::modelReset);
        table.model.setDataTypes({Title, Artist, FileName});
        QCOMPARE(changed.size(), 0);
        QCOMPARE(reset.size(), 0);
        table.proxy.setDataTypes({Title});
        QCOMPARE(changed.size(), 1);
        QCOMPARE(table.proxy.columnCount(), 1);
    }

    void editability()
    {
        AudioFileFactory factory;
        Table table;
        AudioFile *one = factory.create("one.mp3", {{TagItemType::Artist, QStringLiteral("A")}});
        AudioFile *two = factory.create("two.mp3", {{TagItemType::Artist, QStringLiteral("A")},
                                                    {TagItemType::Artist, QStringLiteral("B")}});
        table.insert({one, two});
        const auto cell = [&](AudioFile *file, int column) {
            return table.proxy.index(int(table.proxy.audioFiles().indexOf(file)), column);
        };
        TagEditorRegistry::clear();
        QVERIFY(!table.proxy.isEditable(cell(one, 1))); // no editor registered yet
        TagEditorRegistry::registerDataTypeEditor(TagItemDataType::String, {TagEditorRegistry::InTableMode});
        QVERIFY(table.proxy.isEditable(cell(one, 1)));
        QVERIFY(table.proxy.isEditable(cell(one, 0))); // no item yet: editable
        QVERIFY(!table.proxy.isEditable(cell(two, 1))); // two artists in one cell
        QVERIFY(!table.proxy.isEditable(cell(one, 2))); // file property
        TagEditorRegistry::clear();
    }

    void highlights()
    {
        AudioFileFactory factory;
        Table table;
        table.insert({factory.album("a.mp3", "A", "", ""), factory.album("b.mp3", "B", "", "")});
        const QModelIndex both = table.proxy.index(0, 0);
        const QModelIndex modified = table.proxy.index(0, 1);
        const QModelIndex none = table.proxy.index(1, 1);
        QSignalSpy dataChanged(&table.model, &QAbstractItemModel::dataChanged);
        table.proxy.setHighlightedCells(HighlightKind::SearchResultHighlight, QItemSelection(both, both));
        table.proxy.setHighlightedCells(HighlightKind::ModifiedHighlight, QItemSelection(both, modified));
        QCOMPARE(dataChanged.size(), 2);

        const QColor mix = both.data(Qt::BackgroundRole).value<QBrush>().color();
        QCOMPARE(mix, averageColor({QColor(Qt::yellow), QColor(Qt::blue)}));
        QCOMPARE(both.data(Qt::ForegroundRole).value<QBrush>().color(), contrastColor(mix));
        QCOMPARE(modified.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::blue));
        QCOMPARE(modified.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::white));
        QVERIFY(!none.data(Qt::BackgroundRole).isValid());
        QVERIFY(!none.data(Qt::ForegroundRole).isValid());

        // The same cells again repaint nothing; a change repaints only the changed cells.
        dataChanged.clear();
        table.proxy.setHighlightedCells(HighlightKind::ModifiedHighlight, QItemSelection(both, modified));
        QCOMPARE(dataChanged.size(), 0);
        table.proxy.setHighlightedCells(HighlightKind::ModifiedHighlight, QItemSelection(modified, modified));
        QCOMPARE(dataChanged.size(), 1);
        QCOMPARE(dataChanged.first().at(0).toModelIndex(), table.proxy.mapToSource(both));
        QCOMPARE(dataChanged.first().at(1).toModelIndex(), table.proxy.mapToSource(both));

        // A changed colour setting shows at the next paint.
        SettingsStore::setValue(QStringLiteral("colors/modified"), QStringLiteral("#ffffff"));
        QCOMPARE(modified.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::white));
        QCOMPARE(modified.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));
        SettingsStore::setValue(QStringLiteral("colors/modified"), QStringLiteral("#0000ff"));
        QCOMPARE(modified.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::blue));

        table.proxy.setHighlightedCells(HighlightKind::PaletteHighlight, QItemSelection(none, none));
        QVERIFY(none.data(Qt::BackgroundRole).isValid());
    }

    void insertUndoRedo()
    {
        AudioFileFactory factory;
        Table table;
        QList<AudioFile *> files{factory.album("a.mp3", "A", "", ""), factory.album("b.mp3", "B", "", "")};
        ModelInsertOperation operation{AudioFileSelection(&table.proxy)};
        operation.files = files;
        QSignalSpy selected(&table.proxy, SIGNAL(selectionChanged(QItemSelection)));
        QSignalSpy changed(&table.proxy, SIGNAL(modelChanged()));
        QSignalSpy updated(&table.proxy, SIGNAL(selectionUpdated()));

        operation.apply();
        QCOMPARE(table.proxy.rowCount(), 2);
        QCOMPARE(selected.size(), 1);
        QCOMPARE(rectsOf(selected.last().first().value<QItemSelection>()), QList<QRect>({cells(0, 0, 2, 1)}));
        QVERIFY(updated.size() == 1 && changed.size() >= 1);

        operation.undo();
        QCOMPARE(table.proxy.rowCount(), 0);
        QCOMPARE(selected.size(), 1); // undoing an insert selects nothing
        QCOMPARE(updated.size(), 2);
        QCOMPARE(table.store.ownedFiles().size(), 2); // kept for redo

        operation.redo();
        QCOMPARE(table.proxy.rowCount(), 2);
        QCOMPARE(selected.size(), 2);
        QCOMPARE(updated.size(), 3);
    }

    void removeUndoRedo()
    {
        AudioFileFactory factory;
        Table table;
        QList<AudioFile *> files{factory.album("a.mp3", "A", "", ""), factory.album("b.mp3", "B", "", ""),
                                 factory.album("c.mp3", "C", "", "")};
        table.insert(files);
        ModelRemoveOperation operation{AudioFileSelection(&table.proxy)};
        operation.files = {files.at(1)};
        QSignalSpy selected(&table.proxy, SIGNAL(selectionChanged(QItemSelection)));
        operation.apply();
        QCOMPARE(table.proxy.rowCount(), 2);
        QVERIFY(!table.proxy.audioFiles().contains(files.at(1)));
        QCOMPARE(selected.size(), 0);
        operation.undo();
        QCOMPARE(table.proxy.rowCount(), 3);
        QCOMPARE(selected.size(), 1);
        const QItemSelection rows = selected.last().first().value<QItemSelection>();
        QCOMPARE(table.proxy.cellSelection(rows).dataTypesByFile().keys(), QList<AudioFile *>({files.at(1)}));
        operation.redo();
        QCOMPARE(table.proxy.rowCount(), 2);
        QCOMPARE(operation.referencedAudioFiles(), QSet<AudioFile *>({files.at(1)}));
    }

    void updateUndoRedo()
    {
        AudioFileFactory factory;
        Table table;
        AudioFile *a = factory.create("a.mp3", {{TagItemType::Title, QStringLiteral("Old")}});
        AudioFile *b = factory.create("b.mp3", {});
        table.insert({a, b});
        ModelUpdateOperation operation{AudioFileSelection(&table.proxy)};
        operation.workingTag(a)->setItemValue(TagItemType::Title, QStringLiteral("New"));
        operation.workingTag(b)->setItemValue(TagItemType::Artist, QStringLiteral("Someone"));
        QSignalSpy selected(&table.proxy, SIGNAL(selectionChanged(QItemSelection)));
        QSignalSpy dataChanged(&table.proxy, &QAbstractItemModel::dataChanged);

        operation.apply();
        const auto text = [&](AudioFile *file, const ModelDataType &type) {
            return table.store.data(file, type, Qt::DisplayRole).toString();
        };
        QCOMPARE(text(a, Title), QStringLiteral("New"));
        QCOMPARE(text(b, Artist), QStringLiteral("Someone"));
        QCOMPARE(selected.size(), 0); // the first apply selects only when asked to
        QVERIFY(dataChanged.size() >= 1);

        operation.undo();
        QCOMPARE(text(a, Title), QStringLiteral("Old"));
        QVERIFY(b->tags().isEmpty()); // a file without a tag before is without one again
        QCOMPARE(selected.size(), 1);
        QCOMPARE(table.proxy.cellSelection(selected.last().first().value<QItemSelection>()).cellCount(), 2);

        operation.redo();
        QCOMPARE(text(a, Title), QStringLiteral("New"));
        QCOMPARE(selected.size(), 2);

        ModelUpdateOperation selecting{AudioFileSelection(&table.proxy)};
        selecting.selectsChangedCells = true;
        selecting.workingTag(a)->setItemValue(TagItemType::Title, QStringLiteral("Newer"));
        selecting.apply();
        QCOMPARE(selected.size(), 3);
        QCOMPARE(table.proxy.cellSelection(selected.last().first().value<QItemSelection>()).cellCount(), 1);
    }

    void selectionInSortedOrder_data()
    {
        // Source ranges as "<title><column>" for one cell, "*<column>" for a whole column and
        // "<title>*" for a whole row; sorted by title the rows show a, b, c, d.
        QTest::addColumn<QStringList>("source");
        QTest::addColumn<QList<QRect>>("shown");
        QTest::newRow("nothing") << QStringList() << QList<QRect>();
        QTest::newRow("one cell") << QStringList{"a1"} << QList<QRect>{cells(1, 0, 1, 0)};
        QTest::newRow("rows apart") << QStringList{"b0", "d0"} << QList<QRect>{cells(0, 1, 0, 1), cells(0, 3, 0, 3)};
        QTest::newRow("cells that meet")
            << QStringList{"b1", "a0", "b0", "a1"} << QList<QRect>{cells(0, 0, 1, 1)};
        QTest::newRow("whole column") << QStringList{"*0"} << QList<QRect>{cells(0, 0, 0, 3)};
        QTest::newRow("overlapping ranges")
            << QStringList{"*0", "c*"} << QList<QRect>{cells(0, 0, 0, 3), cells(1, 2, 2, 2)};
    }

    void selectionInSortedOrder()
    {
        QFETCH(QStringList, source);
        QFETCH(QList<QRect>, shown);
        AudioFileFactory factory;
        Table table;
        QHash<QString, AudioFile *> byTitle;
        for (const char *title : {"b", "d", "a", "c"}) {
            const QString path = QStringLiteral("%1.mp3").arg(byTitle.size());
            byTitle.insert(QString::fromLatin1(title), factory.create(path, {{TagItemType::Title, QString::fromLatin1(title)}}));
        }
        table.insert(byTitle.values());
        table.proxy.sort(0, Qt::AscendingOrder);
        QCOMPARE(table.column(0), QStringList({"a", "b", "c", "d"}));

        const int lastRow = table.model.rowCount() - 1;
        const int lastColumn = table.model.columnCount() - 1;
        QItemSelection selection;
        AudioFileSelection cellsOfFiles(&table.model);
        for (const QString &range : source) {
            const int row = range.at(0) == u'*' ? -1 : int(table.model.audioFiles().indexOf(byTitle.value(range.left(1))));
            const int column = range.at(1) == u'*' ? -1 : range.mid(1).toInt();
            const QRect rect(QPoint(column < 0 ? 0 : column, row < 0 ? 0 : row),
                             QPoint(column < 0 ? lastColumn : column, row < 0 ? lastRow : row));
            selection.append(QItemSelectionRange(table.model.index(rect.top(), rect.left()),
                                                 table.model.index(rect.bottom(), rect.right())));
            for (int r = rect.top(); r <= rect.bottom(); ++r) {
                for (int c = rect.left(); c <= rect.right(); ++c)
                    cellsOfFiles.insertCell(table.model.audioFiles().at(r), table.model.dataTypes().at(c));
            }
        }
        QSignalSpy selected(&table.proxy, SIGNAL(selectionChanged(QItemSelection)));
        emit table.model.selectionChanged(selection);
        QCOMPARE(selected.size(), 1);
        QCOMPARE(rectsOf(selected.last().first().value<QItemSelection>()), shown);
        // Qt's own mapping, merged, agrees; so does the proxy's view of the same cells.
        QCOMPARE(rectsOf(normalizeSelection(table.proxy.mapSelectionFromSource(selection))), shown);
        QCOMPARE(rectsOf(table.proxy.itemSelection(cellsOfFiles)), shown);
    }

    void updateOfHiddenFilesShowsAllFiles()
    {
        AudioFileFactory factory;
        Table table;
        QList<AudioFile *> album;
        for (int i = 0; i < 4; ++i)
            album.append(factory.album(QStringLiteral("%1.mp3").arg(i), "A", "", "X"));
        AudioFile *loose = factory.album("loose.mp3", "B", "", "");
        table.insert(album + QList<AudioFile *>{loose});
        QVERIFY(table.store.setPath({AudioFileModelData::rootName(), "tracks", "B"}));
        QCOMPARE(table.proxy.rowCount(), 1);

        AudioFileSelection hidden(&table.proxy);
        hidden.insert({album.first()}, {Title});
        QVERIFY(table.proxy.itemSelection(hidden).isEmpty());

        ModelUpdateOperation operation{AudioFileSelection(&table.proxy)};
        operation.workingTag(album.first())->setItemValue(TagItemType::Title, QStringLiteral("Changed"));
        operation.apply();
        QCOMPARE(table.store.path(), QStringList({AudioFileModelData::rootName()}));
        QCOMPARE(table.proxy.rowCount(), 5);
    }

    void operationsOfAnotherStore()
    {
        AudioFileFactory factory;
        Table table;
        Table other;
        AudioFile *file = factory.create("a.mp3", {{TagItemType::Title, QStringLiteral("Old")}});
        table.insert({file});
        ModelUpdateOperation operation{AudioFileSelection(&other.proxy)};
        operation.workingTag(file)->setItemValue(TagItemType::Title, QStringLiteral("New"));
        try {
            table.proxy.applyUpdateOperation(&operation, ApplyMode::Apply);
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(UpdateOperationOfAnotherStore));
        }
        QCOMPARE(file->tags().value(0)->itemText(TagItemType::Title), QStringLiteral("Old"));
        ModelInsertOperation insert{AudioFileSelection(&other.proxy)};
        try {
            table.model.applyInsertOperation(&insert, ApplyMode::Apply);
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(InsertOperationOfAnotherStore));
        }
        ModelRemoveOperation remove{AudioFileSelection(nullptr)};
        try {
            table.model.applyRemoveOperation(&remove, ApplyMode::Apply);
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(RemoveOperationOfAnotherStore));
        }
    }

    void sorting_data()
    {
        QTest::addColumn<int>("itemType");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QList<int>>("order"); // the files' positions in ascending order
        QTest::newRow("texts, locale-aware, empty first")
            << int(TagItemType::Title) << QVariantList{QStringLiteral("B"), QVariant(), QStringLiteral("a"), QStringLiteral("c")}
            << QList<int>{1, 2, 0, 3};
        QTest::newRow("numbers") << int(TagItemType::Bpm) << QVariantList{100, 9, QVariant(), 20} << QList<int>{2, 1, 3, 0};
        QTest::newRow("ratings") << int(TagItemType::Rating) << QVariantList{0.5, 1.0, 0.0} << QList<int>{2, 0, 1};
        QTest::newRow("dates in date order")
            << int(TagItemType::ReleaseDate)
            << QVariantList{QVariant::fromValue(PartialDateTime(2001, 12, 1)), QVariant::fromValue(PartialDateTime(1999)),
                            QVariant::fromValue(PartialDateTime(2001, 2, 1))}
            << QList<int>{1, 2, 0};
        QImage red(2, 2, QImage::Format_RGB32);
        red.fill(QColor(200, 0, 0));
        QImage dark(2, 2, QImage::Format_RGB32);
        dark.fill(QColor(10, 0, 0));
        const CodedImage a(red, QStringLiteral("PNG"));
        const CodedImage b(dark, QStringLiteral("BMP"));
        QTest::newRow("artwork by bytes") << int(TagItemType::Artwork)
                                          << QVariantList{QVariant::fromValue(b), QVariant(), QVariant::fromValue(a)}
                                          << QList<int>{1, a.data < b.data ? 2 : 0, a.data < b.data ? 0 : 2};
    }

    void sorting()
    {
        QFETCH(int, itemType);
        QFETCH(QVariantList, values);
        QFETCH(QList<int>, order);
        AudioFileFactory factory;
        Table table(itemType != TagItemType::Artwork);
        table.model.setDataTypes({ModelDataType(ModelDataType::CategoryTagItem, itemType), FileName});
        QList<AudioFile *> files;
        for (int i = 0; i < values.size(); ++i) {
            QList<QPair<int, QVariant>> items;
            if (values.at(i).isValid())
                items.append({itemType, values.at(i)});
            files.append(factory.create(QStringLiteral("%1.mp3").arg(i), items));
        }
        table.insert(files);
        QSignalSpy changed(&table.proxy, SIGNAL(modelChanged()));
        table.proxy.sort(0, Qt::AscendingOrder);
        QCOMPARE(changed.size(), 1);
        QList<AudioFile *> expected;
        for (int i : order)
            expected.append(files.at(i));
        QCOMPARE(table.proxy.audioFiles(), expected);
        QCOMPARE(table.proxy.headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
        table.proxy.sort(0, Qt::DescendingOrder);
        std::reverse(expected.begin(), expected.end());
        QCOMPARE(table.proxy.audioFiles(), expected);
        QCOMPARE(table.proxy.headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
    }

    void sortingByAudioAndFileProperties()
    {
        AudioFileFactory factory;
        Table table;
        table.model.setDataTypes({FileName, ModelDataType(FileProperty::fileSize), SampleRate});
        AudioFile *small = new AudioFile(factory.copyFixture("z.mp3", "plain/cbr-info.mp3"));
        AudioFile *large = new AudioFile(factory.copyFixture("y.wv", "plain/rate37800.wv"));
        AudioFile *mid = new AudioFile(factory.copyFixture("x.wv", "plain/lossless.wv"));
        table.insert({small, large, mid});
        table.proxy.sort(0);
        QCOMPARE(table.column(0), QStringList({"x.wv", "y.wv", "z.mp3"}));
        table.proxy.sort(2);
        QCOMPARE(table.proxy.audioFiles(), QList<AudioFile *>({small, mid, large})); // 16, 22.05, 37.8 kHz
        table.proxy.sort(1);
        QList<qint64> sizes;
        for (AudioFile *file : table.proxy.audioFiles())
            sizes.append(QFileInfo(file->filePath()).size());
        QVERIFY(std::is_sorted(sizes.begin(), sizes.end()));
    }

    void sortedRowsStayUntilSortedAgain()
    {
        AudioFileFactory factory;
        Table table;
        AudioFile *a = factory.create("a.mp3", {{TagItemType::Title, QStringLiteral("a")}});
        AudioFile *b = factory.create("b.mp3", {{TagItemType::Title, QStringLiteral("b")}});
        table.insert({a, b});
        table.proxy.sort(0);
        QCOMPARE(table.column(0), QStringList({"a", "b"}));
        ModelUpdateOperation operation{AudioFileSelection(&table.proxy)};
        operation.workingTag(a)->setItemValue(TagItemType::Title, QStringLiteral("c"));
        operation.apply();
        QCOMPARE(table.column(0), QStringList({"c", "b"})); // not moved by the edit
        table.proxy.sort(0);
        QCOMPARE(table.column(0), QStringList({"b", "c"}));
        // New files (a reset) are laid out by the chosen sort column.
        table.insert({factory.create("d.mp3", {{TagItemType::Title, QStringLiteral("a")}})});
        QCOMPARE(table.column(0), QStringList({"a", "b", "c"}));
    }

    void selectionsThroughTheProxy()
    {
        AudioFileFactory factory;
        Table table;
        QList<AudioFile *> files;
        for (const char *title : {"d", "b", "c", "a"})
            files.append(factory.create(QStringLiteral("%1.mp3").arg(title), {{TagItemType::Title, QString::fromLatin1(title)}}));
        table.insert(files);
        table.proxy.sort(0);
        // Proxy rows 1 and 2 (b, c), columns 0 and 1.
        const QItemSelection block(table.proxy.index(1, 0), table.proxy.index(2, 1));
        const AudioFileSelection cells = table.proxy.cellSelection(block);
        QCOMPARE(cells.model(), static_cast<IAudioFileModel *>(&table.proxy));
        QCOMPARE(cells.cellCount(), 4);
        QVERIFY(cells.contains(files.at(1), Title) && cells.contains(files.at(2), Artist));
        QCOMPARE(rectsOf(table.proxy.itemSelection(cells)), QList<QRect>({::cells(0, 1, 1, 2)}));

        // In the wrapped model the same cells are not one block.
        const AudioFileSelection modelCells = table.model.cellSelection(table.proxy.mapSelectionToSource(block));
        QCOMPARE(modelCells.model(), static_cast<IAudioFileModel *>(&table.model));
        QCOMPARE(modelCells, cells);

        // A data type without a column and a file that is not shown are dropped.
        AudioFileSelection extra = cells;
        extra.insertCell(files.at(0), ModelDataType(TagItemType::Album));
        QCOMPARE(rectsOf(table.proxy.itemSelection(extra)), QList<QRect>({::cells(0, 1, 1, 2)}));
    }

    void manyFilesThroughTheTesters()
    {
        // Insert, update and remove a larger set while Qt's testers watch both models.
        AudioFileFactory factory;
        Table table;
        QList<AudioFile *> files;
        for (int i = 0; i < 24; ++i)
            files.append(factory.album(QStringLiteral("%1.mp3").arg(i), QStringLiteral("Artist %1").arg(i % 3), "",
                                       QStringLiteral("Album %1").arg(i % 2)));
        table.proxy.sort(1);
        table.insert(files.mid(0, 12));
        table.insert(files.mid(12));
        QCOMPARE(table.proxy.rowCount(), 24);
        ModelUpdateOperation update{AudioFileSelection(&table.proxy)};
        for (AudioFile *file : files.mid(0, 6))
            update.workingTag(file)->setItemValue(TagItemType::Artist, QStringLiteral("Other"));
        update.apply();
        update.undo();
        update.redo();
        ModelRemoveOperation remove{AudioFileSelection(&table.proxy)};
        remove.files = files.mid(3, 10);
        remove.apply();
        QCOMPARE(table.proxy.rowCount(), 14);
        remove.undo();
        QCOMPARE(table.proxy.rowCount(), 24);
        table.proxy.sort(0, Qt::DescendingOrder);
        table.model.setDataTypes({FileName});
        QCOMPARE(table.proxy.columnCount(), 1);
    }

private:
    static QString upperCaseFirstText(const ModelDataType &type)
    {
        QString name = dataTypeDisplayName(type);
        if (!name.isEmpty())
            name[0] = name.at(0).toUpper();
        return name;
    }
};

QTEST_MAIN(TestFileTable)
#include "tst_filetable.moc"
