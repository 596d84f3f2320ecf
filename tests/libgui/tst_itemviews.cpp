#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include "libgui/editing/tageditorregistry.h"
#include "libgui/itemviews/colors.h"
#include "libgui/itemviews/extitemdelegate.h"
#include "libgui/itemviews/extsortfilterproxymodel.h"
#include "libgui/itemviews/selectiongeometry.h"

namespace {

using Rects = QList<QRect>;

QItemSelection selectionOf(const QAbstractItemModel *model, const Rects &rects)
{
    QItemSelection selection;
    for (const QRect &r : rects)
        selection.append(QItemSelectionRange(model->index(r.top(), r.left()), model->index(r.bottom(), r.right())));
    return selection;
}

Rects rectsOf(const QItemSelection &selection)
{
    Rects result;
    for (const QItemSelectionRange &range : selection)
        result.append(selectionRangeBounds(range));
    return result;
}

// A cell rectangle from (column, row) to (column, row), inclusive.
QRect cells(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// A one-column model of the values, sorted through the proxy; returns the sorted texts.
QStringList sortedTexts(const QVariantList &values, bool localeAware = false)
{
    QStandardItemModel model(int(values.size()), 1);
    for (int i = 0; i < values.size(); ++i) {
        auto *item = new QStandardItem(QStringLiteral("row %1").arg(i));
        item->setData(values.at(i), Qt::UserRole);
        model.setItem(i, 0, item);
    }
    ExtSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.setSortRole(Qt::UserRole);
    proxy.setSortLocaleAware(localeAware);
    proxy.sort(0);
    QStringList result;
    for (int row = 0; row < proxy.rowCount(); ++row)
        result.append(proxy.index(row, 0).data().toString());
    return result;
}

QImage filled(QColor color)
{
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

} // namespace

class TestItemViews : public QObject
{
    Q_OBJECT
private slots:
    void geometry()
    {
        QStandardItemModel model(10, 10);
        // Two ranges in one row sharing their middle cell.
        const QItemSelection overlapping = selectionOf(&model, {cells(0, 0, 1, 0), cells(1, 0, 2, 0)});
        QCOMPARE(selectionCellCount(overlapping), 4);
        QCOMPARE(selectionBoundingRect(overlapping), cells(0, 0, 2, 0));
        QVERIFY(!isRectangularSelection(overlapping));
        QCOMPARE(rectsOf(normalizeSelection(overlapping)), Rects({cells(0, 0, 2, 0)}));

        QCOMPARE(selectionBoundingRect(QItemSelection()), QRect());
        QVERIFY(!isRectangularSelection(QItemSelection()));
        QVERIFY(isRectangularSelection(selectionOf(&model, {cells(0, 0, 1, 1), cells(0, 2, 1, 2)})));

        const QItemSelection moved = offsetSelection(selectionOf(&model, {cells(1, 1, 2, 2)}), QPoint(3, 1));
        QCOMPARE(rectsOf(moved), Rects({cells(4, 2, 5, 3)}));
        const QItemSelection grown = offsetSelectionRanges(selectionOf(&model, {cells(1, 1, 2, 2)}), -1, 0, 1, 0);
        QCOMPARE(rectsOf(grown), Rects({cells(1, 0, 2, 3)}));
        QCOMPARE(rectsOf(boundingSelection(selectionOf(&model, {cells(0, 0, 0, 0), cells(3, 2, 3, 2)}))),
                 Rects({cells(0, 0, 3, 2)}));
        QCOMPARE(rectsOf(selectionFromRect(&model, cells(1, 2, 3, 4))), Rects({cells(1, 2, 3, 4)}));
        QCOMPARE(rectsOf(selectionFromIndexes({model.index(0, 0), model.index(0, 1), model.index(1, 0), model.index(1, 1)})),
                 Rects({cells(0, 0, 1, 1)}));
        // Cells given as points merge the same way; a repeated cell is one cell.
        QCOMPARE(rectsOf(selectionFromCells(&model, {QPoint(1, 1), QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(0, 0),
                                                     QPoint(3, 1)})),
                 Rects({cells(0, 0, 1, 1), cells(3, 1, 3, 1)}));
        QVERIFY(selectionFromCells(&model, {}).isEmpty());
    }

    void normalize_data()
    {
        QTest::addColumn<Rects>("ranges");
        QTest::addColumn<Rects>("expected");
        QTest::newRow("one range unchanged") << Rects{cells(2, 2, 3, 5)} << Rects{cells(2, 2, 3, 5)};
        QTest::newRow("full block") << Rects{cells(0, 0, 2, 0), cells(0, 1, 2, 1), cells(0, 2, 2, 2)}
                                    << Rects{cells(0, 0, 2, 2)};
        QTest::newRow("ring of a 3x3 block")
            << Rects{cells(0, 0, 2, 0), cells(0, 1, 0, 1), cells(2, 1, 2, 1), cells(0, 2, 2, 2)}
            << Rects{cells(0, 0, 2, 0), cells(0, 1, 0, 2), cells(2, 1, 2, 2), cells(1, 2, 1, 2)};
        QTest::newRow("L shape") << Rects{cells(0, 0, 0, 2), cells(0, 0, 2, 0)}
                                 << Rects{cells(0, 0, 2, 0), cells(0, 1, 0, 2)};
        QTest::newRow("single cells merge") << Rects{cells(5, 5, 5, 5), cells(4, 5, 4, 5), cells(4, 6, 4, 6), cells(5, 6, 5, 6)}
                                            << Rects{cells(4, 5, 5, 6)};
        QTest::newRow("apart") << Rects{cells(0, 0, 0, 0), cells(3, 3, 3, 3)} << Rects{cells(0, 0, 0, 0), cells(3, 3, 3, 3)};
    }

    void normalize()
    {
        QFETCH(Rects, ranges);
        QFETCH(Rects, expected);
        QStandardItemModel model(10, 10);
        QCOMPARE(rectsOf(normalizeSelection(selectionOf(&model, ranges))), expected);
    }

    void normalizeLeavesOneInvalidRange()
    {
        QItemSelection selection;
        selection.append(QItemSelectionRange());
        QCOMPARE(normalizeSelection(selection).size(), 1);
    }

    void colors_data()
    {
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("text");
        QTest::newRow("grey 128") << QColor(128, 128, 128) << QColor(Qt::black);
        QTest::newRow("grey 127") << QColor(127, 127, 127) << QColor(Qt::white);
        QTest::newRow("yellow") << QColor(Qt::yellow) << QColor(Qt::black);
        QTest::newRow("dark blue") << QColor(Qt::darkBlue) << QColor(Qt::white);
    }

    void colors()
    {
        QFETCH(QColor, background);
        QFETCH(QColor, text);
        QCOMPARE(contrastColor(background), text);
    }

    void average()
    {
        QVERIFY(!averageColor({}).isValid());
        const QColor translucent(10, 20, 30, 40);
        QCOMPARE(averageColor({translucent}), translucent);
        QCOMPARE(averageColor({QColor(0, 0, 0, 0), QColor(Qt::red)}), QColor(Qt::red));
        QVERIFY(!averageColor({QColor(0, 0, 0, 0), QColor(255, 255, 255, 0)}).isValid());
        const QColor mix = averageColor({QColor(255, 0, 0), QColor(0, 0, 255)});
        QCOMPARE(mix.alpha(), 255);
        QVERIFY(qAbs(mix.red() - 128) <= 1 && qAbs(mix.blue() - 128) <= 1 && mix.green() == 0);
        QCOMPARE(standardColors().size(), 12);
        QCOMPARE(standardColors().first(), QColor(Qt::red));
        QCOMPARE(standardColors().last(), QColor(Qt::darkYellow));
    }

    void sorting_data()
    {
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("invalid first") << QVariantList{3, QVariant(), 1} << QStringList{"row 1", "row 2", "row 0"};
        QTest::newRow("numbers as numbers") << QVariantList{10, 9, 100} << QStringList{"row 1", "row 0", "row 2"};
        QTest::newRow("64-bit beside int") << QVariantList{qint64(10), 9, qint64(-3)} << QStringList{"row 2", "row 1", "row 0"};
        QTest::newRow("doubles") << QVariantList{0.5, 0.25, 1.0} << QStringList{"row 1", "row 0", "row 2"};
        QTest::newRow("numbers and texts as texts") << QVariantList{10, QStringLiteral("9"), QStringLiteral("1a")}
                                                    << QStringList{"row 0", "row 2", "row 1"};
        QTest::newRow("dates") << QVariantList{QDate(2020, 1, 1), QDate(1999, 5, 5)} << QStringList{"row 1", "row 0"};
        QTest::newRow("date-times") << QVariantList{QDateTime(QDate(2020, 1, 1), QTime(5, 0)), QDateTime(QDate(2020, 1, 1), QTime(4, 0))}
                                    << QStringList{"row 1", "row 0"};
        QTest::newRow("byte arrays, empty first")
            << QVariantList{QByteArray("\x80", 1), QByteArray("ab"), QByteArray(), QByteArray("a")}
            << QStringList{"row 2", "row 3", "row 1", "row 0"};
        QTest::newRow("images by null-ness and pixels")
            << QVariantList{filled(QColor(0, 0, 2)), QImage(), filled(QColor(0, 0, 1))}
            << QStringList{"row 1", "row 2", "row 0"};
    }

    void sorting()
    {
        QFETCH(QVariantList, values);
        QFETCH(QStringList, order);
        QCOMPARE(sortedTexts(values), order);
    }

    void equalImagesAreNotLess()
    {
        const QImage a = filled(Qt::green);
        const QImage b = filled(Qt::green);
        QVERIFY(a.cacheKey() != b.cacheKey());
        QVERIFY(!ExtSortFilterProxyModel::variantLessThan(a, b, false, Qt::CaseSensitive));
        QVERIFY(!ExtSortFilterProxyModel::variantLessThan(b, a, false, Qt::CaseSensitive));
    }

    void texts()
    {
        QVERIFY(ExtSortFilterProxyModel::variantLessThan(QStringLiteral("B"), QStringLiteral("a"), false, Qt::CaseSensitive));
        QVERIFY(!ExtSortFilterProxyModel::variantLessThan(QStringLiteral("B"), QStringLiteral("a"), false, Qt::CaseInsensitive));
        QVERIFY(!ExtSortFilterProxyModel::variantLessThan(QVariant(), QVariant(), false, Qt::CaseSensitive));
    }

    void filtering()
    {
        QStandardItemModel model(3, 2);
        const QStringList values{"x", "", "y", "x", "", ""};
        for (int i = 0; i < 6; ++i)
            model.setItem(i / 2, i % 2, new QStandardItem(values.at(i)));
        ExtSortFilterProxyModel proxy;
        QVERIFY(!proxy.dynamicSortFilter());
        proxy.setSourceModel(&model);
        QCOMPARE(proxy.rowCount(), 3);
        proxy.setFilterKeyColumn(0);
        proxy.setFilterValue(QStringLiteral("x"));
        QCOMPARE(proxy.rowCount(), 1);
        // An empty but valid text filters for empty cells.
        proxy.setFilterKeyColumn(1);
        proxy.setFilterValue(QString(QStringLiteral("")));
        QCOMPARE(proxy.rowCount(), 2);
        proxy.setFilterKeyColumn(-1);
        proxy.setFilterValue(QStringLiteral("y"));
        QCOMPARE(proxy.rowCount(), 1);
        proxy.setFilterKeyColumn(5); // a column the model lacks accepts every row
        QCOMPARE(proxy.rowCount(), 3);
        proxy.setFilterValue(QVariant());
        QCOMPARE(proxy.rowCount(), 3);
    }

    void delegatePictures_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("picture");
        QTest::addColumn<int>("alignment");
        QTest::newRow("text") << QVariant(QStringLiteral("abc")) << false << 0;
        QTest::newRow("colour covers the cell") << QVariant(QColor(Qt::red)) << true << int(Qt::AlignLeft | Qt::AlignTop);
        QTest::newRow("small image centred") << QVariant(filled(Qt::blue)) << true << int(Qt::AlignHCenter | Qt::AlignVCenter);
        QImage wide(400, 10, QImage::Format_RGB32);
        wide.fill(Qt::red);
        QTest::newRow("wide image scaled down") << QVariant(wide) << true << int(Qt::AlignLeft | Qt::AlignVCenter);
    }

    void delegatePictures()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, picture);
        QFETCH(int, alignment);
        QStandardItemModel model(1, 1);
        model.setData(model.index(0, 0), value, Qt::DisplayRole);
        struct Probe : ExtItemDelegate {
            using ExtItemDelegate::initStyleOption;
        } delegate;
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 100, 30);
        delegate.initStyleOption(&option, model.index(0, 0));
        QCOMPARE(bool(option.features & QStyleOptionViewItem::HasDecoration), picture);
        QCOMPARE(bool(option.features & QStyleOptionViewItem::HasDisplay), !picture);
        if (picture) {
            QCOMPARE(int(option.decorationAlignment), alignment);
            QCOMPARE(option.decorationSize, QSize(100, 30));
            const QSize size = option.icon.availableSizes().value(0);
            QVERIFY(size.width() <= 100 && size.height() <= 30);
        }
    }

    void delegateEditor()
    {
        QStandardItemModel model(1, 1);
        model.setData(model.index(0, 0), QStringLiteral("old"));
        QTableView view;
        ExtItemDelegate delegate;
        view.setItemDelegate(&delegate);
        view.setModel(&model);
        view.show();
        view.edit(model.index(0, 0));
        auto *editor = qobject_cast<QLineEdit *>(delegate.editor());
        QVERIFY(editor);
        editor->setText(QStringLiteral("new"));
        QSignalSpy closed(&delegate, &QAbstractItemDelegate::closeEditor);
        delegate.acceptEditor();
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("new"));
        QCOMPARE(closed.size(), 1);
        QTRY_VERIFY(!delegate.editor()); // the view deletes the editor later

        view.edit(model.index(0, 0));
        editor = qobject_cast<QLineEdit *>(delegate.editor());
        QVERIFY(editor);
        editor->setText(QStringLiteral("dropped"));
        delegate.cancelEditor();
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("new"));
        delegate.acceptSendingEditor(); // no sending widget: nothing happens
    }

    void tagEditorRegistry()
    {
        TagEditorRegistry::clear();
        QVERIFY(!TagEditorRegistry::hasEditor(104, 5, 0));
        TagEditorRegistry::registerDataTypeEditor(5, {0, 1});
        QVERIFY(TagEditorRegistry::hasEditor(104, 5, 0));
        TagEditorRegistry::registerItemTypeEditor(104, {1}); // the item type's own editor wins
        QVERIFY(!TagEditorRegistry::hasEditor(104, 5, 0));
        QVERIFY(TagEditorRegistry::hasEditor(11, 5, 0));
        TagEditorRegistry::clear();
    }
};

QTEST_MAIN(TestItemViews)
#include "tst_itemviews.moc"
