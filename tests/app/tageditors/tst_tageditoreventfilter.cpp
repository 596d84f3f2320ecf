#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

#include "app/model/audiofileproxymodel.h"
#include "app/model/iaudiofilemodel.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/tageditors/linetageditorwidget.h"
#include "app/tageditors/support_tageditors.h"
#include "app/tageditors/tageditorwidget.h"
#include "app/tageditors/tageditorwidgeteventfilter.h"
#include "libcore/log/bufferedlogger.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/tagitem.h"

namespace {


// A table delegate that edits cells with the tag editors the way the file table does: the
// editor of the cell's item type in mode 0, its end of editing committing the cell, and a
// commit that changes something made one update in the undo queue.
class InPlaceDelegate : public QStyledItemDelegate
{
public:
    explicit InPlaceDelegate(HeadlessMainWindow *window) : window(window) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        IAudioFileModel *model = window->model();
        const ModelDataType type = model->dataType(index);
        TagEditorWidget *editor = TagEditorWidget::createEditor(type.id, TagEditorWidget::InlineMode, parent);
        if (!editor)
            return nullptr;
        AudioFileSelection cell(model);
        cell.insertCell(model->audioFile(index), type);
        editor->setSelection(cell);
        connect(editor, &TagEditorWidget::editingFinished, this, [this](TagEditorWidget *e) {
            Q_EMIT const_cast<InPlaceDelegate *>(this)->commitData(e);
            Q_EMIT const_cast<InPlaceDelegate *>(this)->closeEditor(e, QAbstractItemDelegate::NoHint);
        });
        return editor;
    }
    void setEditorData(QWidget *, const QModelIndex &) const override {}
    void setModelData(QWidget *widget, QAbstractItemModel *, const QModelIndex &) const override
    {
        auto *editor = qobject_cast<TagEditorWidget *>(widget);
        if (!editor || !editor->isModified())
            return;
        auto *operation = new ModelUpdateOperation(editor->selection());
        editor->applyTo(operation);
        window->operationQueue()->apply(operation);
    }

    HeadlessMainWindow *window;
};

struct InTable {
    explicit InTable(EditorTable &table) : table(table), delegate(&table.window)
    {
        view.setModel(table.window.proxyModel());
        view.setItemDelegate(&delegate);
        view.setEditTriggers(QAbstractItemView::EditKeyPressed);
        table.window.setTableView(&view);
        view.resize(600, 300);
        view.show();
        view.activateWindow();
        active = QTest::qWaitForWindowActive(&view);
    }
    QModelIndex cell(AudioFile *file, int itemType) const
    {
        auto *proxy = table.window.proxyModel();
        const int row = int(proxy->audioFiles().indexOf(file));
        const int column = int(proxy->dataTypes().indexOf(ModelDataType(TagItemType::Id(itemType))));
        return proxy->index(row, column);
    }
    TagEditorWidget *openEditor() const { return view.findChild<TagEditorWidget *>(); }
    QWidget *focused() const { return QApplication::focusWidget(); }

    EditorTable &table;
    QTableView view;
    InPlaceDelegate delegate;
    bool active = false;
};

} // namespace

class TestTagEditorEventFilter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        initTagEditorTests();
        TagEditorWidgetEventFilter::instance()->setEnabled(true);
    }

    // Clicking from one editor into another posts finished to the first (after the click) and
    // clears the focus left in it; scroll bars change nothing; outside every editor there is
    // none; a destroyed current editor is forgotten without a message.
    void trackingTheCurrentEditor()
    {
        EditorTable table;
        const QList<AudioFile *> files = table.addFiles(TagItemType::Title, {"A"});
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *first = TagEditorWidget::createEditor(TagItemType::Title, TagEditorWidget::SingleValueMode, &window);
        auto *second = TagEditorWidget::createEditor(TagItemType::Album, TagEditorWidget::SingleValueMode, &window);
        auto *outside = new QLineEdit(&window);
        auto *scrollBar = new QScrollBar(&window);
        first->setSelection(table.cells(files, TagItemType::Title));
        second->setSelection(table.cells(files, TagItemType::Album));
        for (QWidget *w : {static_cast<QWidget *>(first), static_cast<QWidget *>(second), static_cast<QWidget *>(outside),
                           static_cast<QWidget *>(scrollBar)})
            layout->addWidget(w);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        TagEditorWidgetEventFilter *filter = TagEditorWidgetEventFilter::instance();
        auto *firstInput = qobject_cast<LineTagEditorWidget *>(first)->rowWidgets(0)->input;
        auto *secondInput = qobject_cast<LineTagEditorWidget *>(second)->rowWidgets(0)->input;
        QCOMPARE(TagEditorWidgetEventFilter::findTagEditor(firstInput), first);
        QCOMPARE(TagEditorWidgetEventFilter::findTagEditor(outside), nullptr);

        QSignalSpy firstFinished(first, &TagEditorWidget::editingFinished);
        QSignalSpy secondFinished(second, &TagEditorWidget::editingFinished);
        QTest::mouseClick(firstInput, Qt::LeftButton);
        QCOMPARE(filter->currentTagEditor(), first);
        QTest::mouseClick(secondInput, Qt::LeftButton);
        QCOMPARE(filter->currentTagEditor(), second);
        QCOMPARE(firstFinished.size(), 0); // posted, delivered after the click
        QTRY_COMPARE(firstFinished.size(), 1);
        QVERIFY(!firstInput->hasFocus());

        QTest::mouseClick(scrollBar, Qt::LeftButton);
        QCOMPARE(filter->currentTagEditor(), second);
        QTest::mousePress(second, Qt::LeftButton, {}, QPoint(1, 1));
        QTest::mouseRelease(second, Qt::LeftButton, {}, QPoint(1, 1));
        QCOMPARE(filter->currentTagEditor(), second);

        QTest::mouseClick(outside, Qt::LeftButton);
        QCOMPARE(filter->currentTagEditor(), nullptr);
        QTRY_COMPARE(secondFinished.size(), 1);

        QTest::mouseClick(firstInput, Qt::LeftButton);
        QCOMPARE(filter->currentTagEditor(), first);
        BufferedLogger logger;
        delete first;
        QCOMPARE(filter->currentTagEditor(), nullptr);
        QVERIFY(logger.messages().isEmpty());

        // Switched off, the filter posts nothing more.
        QTest::mouseClick(secondInput, Qt::LeftButton);
        filter->setEnabled(false);
        filter->setEnabled(false);
        QTest::mouseClick(outside, Qt::LeftButton);
        QCOMPARE(filter->currentTagEditor(), second);
        QCoreApplication::processEvents();
        QCOMPARE(secondFinished.size(), 1);
        filter->setEnabled(true);
        QTest::mouseClick(outside, Qt::LeftButton);
        QCOMPARE(filter->currentTagEditor(), nullptr);
    }

    // F2 typed inside the current editor does not run the edit-selection command; elsewhere
    // it does. Tab in a dialog or dock editor moves the focus as usual.
    void editShortcutAndTabOutsideTheTable()
    {
        EditorTable table;
        const QList<AudioFile *> files = table.addFiles(TagItemType::Title, {"A"});
        QMainWindow window;
        auto *central = new QWidget;
        auto *layout = new QVBoxLayout(central);
        auto *editor = TagEditorWidget::createEditor(TagItemType::Title, TagEditorWidget::SingleValueMode, central);
        editor->setSelection(table.cells(files, TagItemType::Title));
        auto *outside = new QLineEdit;
        layout->addWidget(editor);
        layout->addWidget(outside);
        window.setCentralWidget(central);
        QAction editSelection;
        editSelection.setShortcut(QKeySequence(Qt::Key_F2));
        window.addAction(&editSelection);
        QSignalSpy triggered(&editSelection, &QAction::triggered);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QWidget *input = qobject_cast<LineTagEditorWidget *>(editor)->rowWidgets(0)->input;
        QTest::mouseClick(input, Qt::LeftButton);
        QVERIFY(input->hasFocus());
        QTest::keyClick(input, Qt::Key_F2);
        QCOMPARE(triggered.size(), 0);
        QTest::keyClick(input, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), outside);
        QTest::mouseClick(outside, Qt::LeftButton);
        QTest::keyClick(outside, Qt::Key_F2);
        QCOMPARE(triggered.size(), 1);
    }

    // The in-place road through a table: F2 opens the cell's editor, typing and Enter make
    // one undoable update, Escape drops the typing, Tab commits and moves to the next cell.
    void inTheTable()
    {
        EditorTable table;
        AudioFile *file = table.addFile({{TagItemType::Title, "Old"}, {TagItemType::Artist, "Band"}});
        InTable t(table);
        QVERIFY(t.active);
        const QModelIndex title = t.cell(file, TagItemType::Title);
        QVERIFY(title.isValid());
        t.view.setCurrentIndex(title);

        QTest::keyClick(&t.view, Qt::Key_F2);
        TagEditorWidget *editor = t.openEditor();
        QVERIFY(editor);
        QCOMPARE(editor->mode(), int(TagEditorWidget::InlineMode));
        QTRY_VERIFY(qobject_cast<QLineEdit *>(t.focused()));
        QCOMPARE(qobject_cast<QLineEdit *>(t.focused())->text(), QStringLiteral("Old"));
        qobject_cast<QLineEdit *>(t.focused())->selectAll();
        QTest::keyClicks(t.focused(), "New");
        QTest::keyClick(t.focused(), Qt::Key_Return);
        QTRY_VERIFY(!t.openEditor());
        QCOMPARE(table.undoCount(), 1);
        QCOMPARE(itemTexts(file, TagItemType::Title), QStringList({"New"}));
        table.queue().undo();
        QCOMPARE(itemTexts(file, TagItemType::Title), QStringList({"Old"}));
        table.queue().redo();

        t.view.setFocus();
        t.view.setCurrentIndex(title);
        QTest::keyClick(&t.view, Qt::Key_F2);
        QTRY_VERIFY(qobject_cast<QLineEdit *>(t.focused()));
        QTest::keyClicks(t.focused(), " dropped");
        QTest::keyClick(t.focused(), Qt::Key_Escape);
        QTRY_VERIFY(!t.openEditor());
        QCOMPARE(table.undoCount(), 1);
        QCOMPARE(itemTexts(file, TagItemType::Title), QStringList({"New"}));

        t.view.setFocus();
        t.view.setCurrentIndex(title);
        QTest::keyClick(&t.view, Qt::Key_F2);
        QTRY_VERIFY(qobject_cast<QLineEdit *>(t.focused()));
        qobject_cast<QLineEdit *>(t.focused())->selectAll();
        QTest::keyClicks(t.focused(), "Tabbed");
        QTest::keyClick(t.focused(), Qt::Key_Tab);
        QCOMPARE(table.undoCount(), 2);
        QCOMPARE(itemTexts(file, TagItemType::Title), QStringList({"Tabbed"}));
        // The next cell's editor is open: the artist.
        const QModelIndex artist = t.cell(file, TagItemType::Artist);
        QTRY_VERIFY(qobject_cast<TagEditorWidget *>(t.view.indexWidget(artist)));
        QCOMPARE(t.view.currentIndex(), artist);
        QTRY_VERIFY(qobject_cast<QLineEdit *>(t.focused()));
        QCOMPARE(qobject_cast<QLineEdit *>(t.focused())->text(), QStringLiteral("Band"));
        QTest::keyClick(t.focused(), Qt::Key_Escape);
        QTRY_VERIFY(!t.view.indexWidget(artist));
        QCOMPARE(table.undoCount(), 2);
    }
};

QTEST_MAIN(TestTagEditorEventFilter)
#include "tst_tageditoreventfilter.moc"
