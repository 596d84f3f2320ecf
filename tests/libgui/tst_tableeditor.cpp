#include <QLineEdit>
#include <QtTest>

#include "libgui/support_gui.h"
#include "libgui/tables/tableeditorwidget.h"

namespace {

// Fills an editor with rows "r0".."r<n-1>" in column 0 and "x" in column 1.
void fill(TableEditorWidget &editor, int rows)
{
    editor.setColumns({QStringLiteral("Name"), QStringLiteral("Role")});
    editor.setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        editor.setValue(r, 0, QStringLiteral("r%1").arg(r));
        editor.setValue(r, 1, QStringLiteral("x"));
    }
}

QStringList column0(const TableEditorWidget &editor)
{
    QStringList values;
    for (int r = 0; r < editor.rowCount(); ++r)
        values.append(editor.value(r, 0).toString());
    return values;
}

} // namespace

class tst_TableEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initGuiTestPackages(); }

    void buttonsFollowCurrentRow_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<bool>>("enabled"); // edit, remove, up, down
        QTest::newRow("none") << -1 << QList<bool>{false, false, false, false};
        QTest::newRow("first") << 0 << QList<bool>{true, true, false, true};
        QTest::newRow("middle") << 1 << QList<bool>{true, true, true, true};
        QTest::newRow("last") << 2 << QList<bool>{true, true, true, false};
    }

    void buttonsFollowCurrentRow()
    {
        QFETCH(int, current);
        QFETCH(QList<bool>, enabled);
        TableEditorWidget editor;
        fill(editor, 3);
        editor.table->setCurrentCell(current, current < 0 ? -1 : 0);
        QVERIFY(editor.addRowButton->isEnabled());
        QCOMPARE((QList<bool>{editor.editRowButton->isEnabled(), editor.removeRowButton->isEnabled(),
                              editor.moveUpButton->isEnabled(), editor.moveDownButton->isEnabled()}),
                 enabled);
        QVERIFY(!editor.addRowButton->icon().isNull());
        QVERIFY(!editor.addRowButton->toolTip().isEmpty());
    }

    void moveRowsKeepsOrigins()
    {
        TableEditorWidget editor;
        fill(editor, 3);
        QSignalSpy moved(&editor, &TableEditorWidget::rowMoved);
        editor.table->setCurrentCell(0, 1);
        editor.moveDownButton->click();
        QCOMPARE(column0(editor), (QStringList{"r1", "r0", "r2"}));
        QCOMPARE(editor.rowOrigins, (QList<int>{1, 0, 2}));
        QCOMPARE(editor.table->currentRow(), 1);
        QCOMPARE(editor.table->currentColumn(), 1);
        QCOMPARE(editor.table->selectionModel()->selectedRows().value(0).row(), 1);
        editor.moveDownButton->click();
        QCOMPARE(column0(editor), (QStringList{"r1", "r2", "r0"}));
        QCOMPARE(editor.value(2, 1).toString(), QStringLiteral("x"));
        QCOMPARE(moved.count(), 2);
        QCOMPARE(moved.at(1), (QList<QVariant>{1, 2}));

        // At the end nothing moves and nothing is said, even when the slot runs anyway.
        QMetaObject::invokeMethod(&editor, "onDownButtonClicked");
        editor.table->setCurrentCell(0, 0);
        QMetaObject::invokeMethod(&editor, "onUpButtonClicked");
        QCOMPARE(moved.count(), 2);
        QCOMPARE(editor.rowOrigins, (QList<int>{1, 2, 0}));
    }

    void addAndRemove()
    {
        TableEditorWidget editor;
        fill(editor, 2);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QSignalSpy removed(&editor, &TableEditorWidget::rowRemoved);
        QSignalSpy inserted(&editor, &TableEditorWidget::rowInserted);
        editor.table->setCurrentCell(-1, -1);
        QMetaObject::invokeMethod(&editor, "onRemoveButtonClicked");
        QCOMPARE(removed.count(), 0);

        bool editorOpenWhenInserted = false;
        connect(&editor, &TableEditorWidget::rowInserted, this, [&] {
            editorOpenWhenInserted = editor.table->findChild<QLineEdit *>() != nullptr;
        });
        editor.addRowButton->click();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(0).toInt(), 2);
        QVERIFY(editorOpenWhenInserted);
        QCOMPARE(editor.rowOrigins, (QList<int>{0, 1, -1}));
        QTest::keyClick(editor.table->findChild<QLineEdit *>(), Qt::Key_Escape);

        editor.table->setCurrentCell(0, 0);
        editor.removeRowButton->click();
        QCOMPARE(removed.count(), 1);
        QCOMPARE(editor.rowOrigins, (QList<int>{1, -1}));
        QCOMPARE(column0(editor), (QStringList{"r1", ""}));
    }

    void emptyCells()
    {
        TableEditorWidget editor;
        fill(editor, 2);
        editor.setValue(0, 1, QVariant());
        QVERIFY(!editor.table->item(0, 1));
        QVERIFY(!editor.value(0, 1).isValid());
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QSignalSpy edited(&editor, &TableEditorWidget::rowEdited);

        // Confirming an empty text in an empty cell keeps it without item.
        editor.table->setCurrentCell(0, 1);
        QTest::keyClick(editor.table, Qt::Key_F2);
        auto *line = editor.table->findChild<QLineEdit *>();
        QVERIFY(line);
        QTest::keyClick(line, Qt::Key_Return); // commits through a queued call
        QTRY_COMPARE(edited.count(), 1);
        QVERIFY(!editor.table->item(0, 1));

        // In a cell with an item the empty text is stored.
        editor.table->setCurrentCell(1, 0);
        QTest::keyClick(editor.table, Qt::Key_F2);
        line = editor.table->findChild<QLineEdit *>();
        QVERIFY(line && line->isVisible());
        line->clear();
        QTest::keyClick(line, Qt::Key_Return);
        QTRY_COMPARE(edited.count(), 2);
        QVERIFY(editor.table->item(1, 0));
        QCOMPARE(editor.value(1, 0), QVariant(QString()));
    }

    void placeholderInEmptyCells()
    {
        struct Delegate : TableEditorDelegate {
            using TableEditorDelegate::TableEditorDelegate;
            using TableEditorDelegate::initStyleOption;
        };
        TableEditorWidget editor;
        fill(editor, 1);
        editor.setValue(0, 1, QVariant());
        Delegate delegate(editor.table);
        QStyleOptionViewItem empty;
        delegate.initStyleOption(&empty, editor.table->model()->index(0, 1));
        QVERIFY(!empty.text.isEmpty());
        QVERIFY(empty.features & QStyleOptionViewItem::HasDisplay);
        QCOMPARE(empty.palette.color(QPalette::Active, QPalette::Text),
                 editor.table->palette().color(QPalette::Disabled, QPalette::Text));
        QStyleOptionViewItem filled;
        delegate.initStyleOption(&filled, editor.table->model()->index(0, 0));
        QCOMPARE(filled.text, QStringLiteral("r0"));
    }

    void editKeyAndDoubleClickSignals()
    {
        ExtTableWidget table(2, 2);
        table.setItem(0, 0, new QTableWidgetItem(QStringLiteral("a")));
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QSignalSpy cellKey(&table, &ExtTableWidget::cellEditKeyPressed);
        QSignalSpy itemKey(&table, &ExtTableWidget::itemEditKeyPressed);
        QSignalSpy cellReleased(&table, &ExtTableWidget::cellDoubleClickReleased);
        QSignalSpy itemReleased(&table, &ExtTableWidget::itemDoubleClickReleased);

        table.setCurrentCell(0, 0);
        QTest::keyClick(&table, Qt::Key_Return);
        QCOMPARE(cellKey.count(), 0);
        QTest::keyClick(&table, Qt::Key_F2);
        QCOMPARE(cellKey.count(), 1);
        QCOMPARE(itemKey.count(), 1);
        table.setCurrentCell(1, 1);
        QTest::keyClick(&table, Qt::Key_F2);
        QCOMPARE(cellKey.count(), 2);
        QCOMPARE(itemKey.count(), 1); // no item there

        const QPoint cell = table.visualRect(table.model()->index(0, 0)).center();
        QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(cellReleased.count(), 0);
        QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseRelease(table.viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(cellReleased.count(), 1);
        QCOMPARE(itemReleased.count(), 1);
        QCOMPARE(cellReleased.at(0), (QList<QVariant>{0, 0}));
        // A second release does not count again.
        QTest::mouseRelease(table.viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(cellReleased.count(), 1);
    }
};

QTEST_MAIN(tst_TableEditor)
#include "tst_tableeditor.moc"
