#include <QAbstractItemModel>
#include <QCompleter>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <memory>

#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/tageditors/linetageditorwidget.h"
#include "app/tageditors/support_tageditors.h"
#include "app/tageditors/tageditorwidget.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libcore/util/partialdatetime.h"
#include "libgui/combos/extcombobox.h"
#include "libgui/edits/datetimeeditor.h"
#include "libgui/numbers/extspinbox.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/datetimetagitem.h"
#include "libtagging/model/tagitem.h"

namespace {

QString placeholder()
{
    return upperCaseFirst(textForId(MixedValuesTextId));
}

// An editor of the type and mode over the files' cells, shown so that focus and keys work.
struct Editing {
    Editing(EditorTable &table, const QList<AudioFile *> &files, int itemType, int mode)
        : table(table), cells(table.cells(files, itemType))
    {
        editor.reset(qobject_cast<LineTagEditorWidget *>(TagEditorWidget::createEditor(itemType, mode, nullptr)));
        editor->setSelection(cells);
        editor->show();
        editor->activateWindow();
        active = QTest::qWaitForWindowActive(editor.get());
    }

    const LineEditorRow *row(int n) const { return editor->rowWidgets(n); }
    template <class Input>
    Input *input(int n = 0) const { return qobject_cast<Input *>(row(n)->input); }
    void clickEdit(int n = 0) { QTest::mouseClick(row(n)->editButton, Qt::LeftButton); }

    // What the editor would do to the files: the operation (null when not modified) applied
    // through the queue.
    bool applyThroughQueue()
    {
        if (!editor->isModified())
            return false;
        auto *operation = new ModelUpdateOperation(cells);
        editor->applyTo(operation);
        table.queue().apply(operation);
        return true;
    }

    EditorTable &table;
    AudioFileSelection cells;
    std::unique_ptr<LineTagEditorWidget> editor;
    bool active = false;
};

} // namespace

class TestLineEditors : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { initTagEditorTests(); }

    // A mixed row shows the placeholder and is written nowhere until opened; opened, it starts
    // empty and writes the typed value to every file, as one undoable step.
    void mixedRowOpenedAndWritten()
    {
        EditorTable table;
        const QList<AudioFile *> files = table.addFiles(TagItemType::Title, {"A", "A", QVariant()});
        Editing e(table, files, TagItemType::Title, TagEditorWidget::SingleValueMode);
        auto *edit = e.input<QLineEdit>();
        QVERIFY(!edit->isEnabled());
        QCOMPARE(edit->text(), placeholder());
        QVERIFY(!e.row(0)->editButton->isHidden());
        QVERIFY(e.row(0)->undoButton->isHidden());
        QVERIFY(!e.editor->isModified());

        e.clickEdit();
        QVERIFY(edit->isEnabled());
        QVERIFY(edit->text().isEmpty());
        QVERIFY(!e.row(0)->undoButton->isHidden());
        QVERIFY(e.row(0)->editButton->isHidden());
        QVERIFY(edit->completer());
        QCOMPARE(edit->completer()->model()->rowCount(), 1);

        QTest::keyClicks(edit, "B");
        QVERIFY(e.applyThroughQueue());
        QCOMPARE(table.undoCount(), 1);
        for (AudioFile *file : files)
            QCOMPARE(itemTexts(file, TagItemType::Title), QStringList({"B"}));
        table.queue().undo();
        QCOMPARE(itemTexts(files.at(0), TagItemType::Title), QStringList({"A"}));
        QCOMPARE(itemTexts(files.at(2), TagItemType::Title), QStringList());

        // Undo on the row drops what was typed and writes nothing again.
        e.editor->setSelection(e.cells);
        e.clickEdit();
        QTest::keyClicks(edit, "C");
        QTest::mouseClick(e.row(0)->undoButton, Qt::LeftButton);
        QCOMPARE(edit->text(), placeholder());
        QVERIFY(!e.editor->isModified());

        // Opened and left empty: the user asked for one value, no value, for every file.
        e.clickEdit();
        QVERIFY(e.applyThroughQueue());
        for (AudioFile *file : files)
            QCOMPARE(itemTexts(file, TagItemType::Title), QStringList());
    }

    // A row every file agrees on is written only when the user changes it: shown and applied
    // untouched, nothing happens, even where the files' texts differ in what the comparison
    // ignores (an empty text against no item).
    void agreedRowsUntouched()
    {
        EditorTable table;
        const QList<AudioFile *> same = table.addFiles(TagItemType::Title, {"Same", "Same"});
        Editing e(table, same, TagItemType::Title, TagEditorWidget::SingleValueMode);
        QCOMPARE(e.input<QLineEdit>()->text(), QStringLiteral("Same"));
        QVERIFY(e.input<QLineEdit>()->isEnabled());
        QVERIFY(!e.editor->isModified());
        auto *operation = new ModelUpdateOperation(e.cells);
        e.editor->applyTo(operation);
        QVERIFY(operation->files().isEmpty());
        delete operation;

        // Typing the same value again is no change either.
        e.input<QLineEdit>()->selectAll();
        QTest::keyClicks(e.input<QLineEdit>(), "Same");
        QVERIFY(!e.editor->isModified());

        const QList<AudioFile *> none = table.addFiles(TagItemType::Title, {QVariant(), QVariant()});
        Editing empty(table, none, TagItemType::Title, TagEditorWidget::SingleValueMode);
        QCOMPARE(empty.editor->rowCount(), 1);
        QVERIFY(empty.input<QLineEdit>()->isEnabled());
        QVERIFY(!empty.editor->isModified());
    }

    void spacesAndCompletions()
    {
        EditorTable table;
        const QList<AudioFile *> files = table.addFiles(TagItemType::Artist, {"The Band", "the band", "Other"});
        Editing e(table, files, TagItemType::Artist, TagEditorWidget::SingleValueMode);
        e.clickEdit();
        QCompleter *completer = e.input<QLineEdit>()->completer();
        QVERIFY(completer);
        QCOMPARE(completer->caseSensitivity(), Qt::CaseInsensitive);
        QAbstractItemModel *model = completer->model();
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Other"));
        QCOMPARE(model->index(1, 0).data().toString().toLower(), QStringLiteral("the band"));

        QTest::keyClicks(e.input<QLineEdit>(), "   ");
        QVERIFY(e.applyThroughQueue()); // only spaces: no value
        QCOMPARE(itemTexts(files.at(0), TagItemType::Artist), QStringList());

        Editing again(table, files, TagItemType::Artist, TagEditorWidget::SingleValueMode);
        QTest::keyClicks(again.input<QLineEdit>(), " padded ");
        QVERIFY(again.applyThroughQueue());
        QCOMPARE(itemTexts(files.at(2), TagItemType::Artist), QStringList({" padded "}));
    }

    // Multi-value rows: add appends an empty row, but not a second empty one; an emptied later
    // row goes when editing finishes, an emptied first row stays and writes no value.
    void multiValueRows()
    {
        EditorTable table;
        AudioFile *file = table.addFile({{TagItemType::Artist, "One"}, {TagItemType::Artist, "Two"},
                                         {TagItemType::Artist, "Three"}});
        Editing e(table, {file}, TagItemType::Artist, TagEditorWidget::MultiValueMode);
        QCOMPARE(e.editor->rowCount(), 3);
        QVERIFY(e.editor->rowAddButton());
        QVERIFY(e.row(1)->removeButton);
        QVERIFY(!e.row(0)->removeButton);

        QTest::mouseClick(e.editor->rowAddButton(), Qt::LeftButton);
        QCOMPARE(e.editor->rowCount(), 4);
        QVERIFY(e.active);
        QCOMPARE(QApplication::focusWidget(), e.row(3)->input);
        QTest::mouseClick(e.editor->rowAddButton(), Qt::LeftButton);
        QCOMPARE(e.editor->rowCount(), 4); // refused: the new row is still empty

        e.input<QLineEdit>(1)->clear();
        QSignalSpy finished(e.editor.get(), &TagEditorWidget::editingFinished);
        QCoreApplication::postEvent(e.editor.get(), new QEvent(TagEditorWidget::editingFinishedEventType()));
        QCoreApplication::sendPostedEvents(e.editor.get());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(e.editor->rowCount(), 2); // rows 1 and 3 were empty
        QCOMPARE(e.input<QLineEdit>(1)->text(), QStringLiteral("Three"));

        e.input<QLineEdit>(0)->clear();
        QVERIFY(e.applyThroughQueue());
        QCOMPARE(itemTexts(file, TagItemType::Artist), QStringList({"Three"}));

        // Removing a row by its button.
        e.editor->setSelection(e.cells);
        QCOMPARE(e.editor->rowCount(), 1);
        QTest::mouseClick(e.editor->rowAddButton(), Qt::LeftButton);
        QTest::keyClicks(e.input<QLineEdit>(1), "Four");
        QTest::mouseClick(e.row(1)->removeButton, Qt::LeftButton);
        QTRY_COMPARE(e.editor->rowCount(), 1);
        QVERIFY(!e.editor->isModified());
    }

    // Return in a line ends the edit at once.
    void returnFinishes()
    {
        EditorTable table;
        const QList<AudioFile *> files = table.addFiles(TagItemType::Title, {"A"});
        Editing e(table, files, TagItemType::Title, TagEditorWidget::InlineMode);
        QVERIFY(!e.row(0)->detailButton);
        QSignalSpy finished(e.editor.get(), &TagEditorWidget::editingFinished);
        QTest::keyClick(e.input<QLineEdit>(), Qt::Key_Return);
        QCOMPARE(finished.size(), 1);
    }

    void booleanEditor()
    {
        EditorTable table;
        const QList<AudioFile *> files = table.addFiles(TagItemType::PartOfCompilation, {true, false});
        Editing e(table, files, TagItemType::PartOfCompilation, TagEditorWidget::SingleValueMode);
        auto *combo = e.input<ExtComboBox>();
        QCOMPARE(combo->count(), 3);
        // true against false: false counts as no value, but true against none still differs.
        QVERIFY(!combo->isEnabled());
        QCOMPARE(combo->currentIndex(), -1);
        e.clickEdit();
        QVERIFY(combo->isEnabled());
        QCOMPARE(combo->currentIndex(), 0);
        combo->setCurrentIndex(2);
        QVERIFY(e.applyThroughQueue());
        for (AudioFile *file : files)
            QCOMPARE(file->combinedTag()->itemValue(TagItemType::PartOfCompilation), QVariant(false));

        Editing remove(table, files, TagItemType::PartOfCompilation, TagEditorWidget::SingleValueMode);
        QCOMPARE(remove.input<ExtComboBox>()->currentIndex(), 2);
        remove.input<ExtComboBox>()->setCurrentIndex(0);
        QVERIFY(remove.applyThroughQueue());
        QCOMPARE(itemTexts(files.at(0), TagItemType::PartOfCompilation), QStringList());

        // Inside the table the popup ends or cancels the edit.
        Editing inTable(table, files, TagItemType::PartOfCompilation, TagEditorWidget::InlineMode);
        QSignalSpy finished(inTable.editor.get(), &TagEditorWidget::editingFinished);
        QSignalSpy canceled(inTable.editor.get(), &TagEditorWidget::editingCanceled);
        Q_EMIT inTable.input<ExtComboBox>()->popupHidden(true);
        Q_EMIT inTable.input<ExtComboBox>()->popupHidden(false);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(canceled.size(), 1);
    }

    void integerEditor()
    {
        EditorTable table;
        const QList<AudioFile *> files = table.addFiles(TagItemType::TrackNumber, {7});
        Editing e(table, files, TagItemType::TrackNumber, TagEditorWidget::SingleValueMode);
        auto *spin = e.input<ExtSpinBox>();
        QCOMPARE(spin->value(), 7);
        QCOMPARE(spin->maximum(), 2147483647);
        QCOMPARE(spin->minimum(), 0);
        QString text = QStringLiteral("2147483647");
        int pos = 0;
        QCOMPARE(static_cast<QAbstractSpinBox *>(spin)->validate(text, pos), QValidator::Acceptable);
        text = QStringLiteral("2147483648");
        QVERIFY(static_cast<QAbstractSpinBox *>(spin)->validate(text, pos) != QValidator::Acceptable);
        text = QStringLiteral("-1");
        QVERIFY(static_cast<QAbstractSpinBox *>(spin)->validate(text, pos) != QValidator::Acceptable);

        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, "12");
        QCOMPARE(spin->value(), 12);
        QVERIFY(e.applyThroughQueue());
        QCOMPARE(itemTexts(files.at(0), TagItemType::TrackNumber), QStringList({"12"}));

        e.editor->setSelection(e.cells);
        spin->selectAll();
        QTest::keyClick(spin, Qt::Key_Backspace);
        QVERIFY(e.applyThroughQueue()); // empty: the number goes
        QCOMPARE(itemTexts(files.at(0), TagItemType::TrackNumber), QStringList());

        // Mixed numbers show the placeholder in the spin box.
        const QList<AudioFile *> mixed = table.addFiles(TagItemType::TrackNumber, {1, 2});
        Editing m(table, mixed, TagItemType::TrackNumber, TagEditorWidget::SingleValueMode);
        QCOMPARE(m.input<ExtSpinBox>()->text(), placeholder());
    }

    void dateTimeEditor()
    {
        EditorTable table;
        const QList<AudioFile *> files = table.addFiles(TagItemType::ReleaseDate, {QVariant(), QVariant()});
        Editing e(table, files, TagItemType::ReleaseDate, TagEditorWidget::SingleValueMode);
        auto *date = e.input<DateTimeEditor>();
        QVERIFY(date->isEnabled());
        date->setFocus();
        QTest::keyClicks(date, "2009");
        QVERIFY(e.applyThroughQueue());
        const auto *item = dynamic_cast<const DateTimeTagItem *>(files.at(1)->combinedTag()->item(TagItemType::ReleaseDate));
        QVERIFY(item);
        QCOMPARE(item->value, PartialDateTime(2009));

        Editing shown(table, files, TagItemType::ReleaseDate, TagEditorWidget::SingleValueMode);
        QCOMPARE(shown.input<DateTimeEditor>()->value(), PartialDateTime(2009));
        shown.input<DateTimeEditor>()->clear();
        QVERIFY(shown.applyThroughQueue());
        QCOMPARE(itemTexts(files.at(0), TagItemType::ReleaseDate), QStringList());
    }
};

QTEST_MAIN(TestLineEditors)
#include "tst_lineeditors.moc"
