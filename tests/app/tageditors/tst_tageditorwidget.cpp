#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/tageditors/support_tageditors.h"
#include "app/tageditors/tageditorwidget.h"
#include "libcore/text/texttable.h"
#include "libgui/editing/tageditorregistry.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"

namespace {

// An editor without widgets: the test sets each row's text; a row set to a text is written
// to every file, an empty text removes the row's value.
class TextRowsEditor : public TagEditorWidget
{
public:
    TextRowsEditor(int itemType, int mode, QWidget *parent = nullptr) : TagEditorWidget(itemType, mode, parent) {}

    void setRowText(int row, const QString &text) { texts.insert(row, text); }
    void removeRow(int row) { onRowRemoved(row); }
    void appendRow() { insertRow(nullptr, rowCount()); }
    QList<TagItem *> entries(AudioFile *file) const { return itemsByFile.value(file); }
    QList<const TagItem *> loaded(AudioFile *file) const { return loadedItemsByFile.value(file); }

    QMap<int, QString> texts;

protected:
    bool isRowModified(AudioFile *, int row) const override { return texts.contains(row); }
    bool isRowEmpty(AudioFile *, int row) const override { return texts.value(row).isEmpty(); }
    void writeRow(TagItem *item, AudioFile *, int row) override { item->fromVariant(texts.value(row)); }
};

QStringList entryTexts(const QList<TagItem *> &items)
{
    QStringList result;
    for (const TagItem *item : items)
        result.append(item ? item->toString() : QStringLiteral("-"));
    return result;
}

} // namespace

class TestTagEditorWidget : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { initTagEditorTests(); }

    void multiValueItemTypes()
    {
        QVERIFY(TagEditorWidget::isMultiValueItemType(TagItemType::Artist));
        QVERIFY(TagEditorWidget::isMultiValueItemType(TagItemType::UserDefinedText));
        QVERIFY(!TagEditorWidget::isMultiValueItemType(TagItemType::Title));
        QVERIFY(!TagEditorWidget::isMultiValueItemType(TagItemType::TrackNumber));
    }

    // Rows loaded by mode: one row at first in modes 0 and 1, all in 3, none in 2.
    void loadingByMode()
    {
        EditorTable table;
        AudioFile *two = table.addFile({{TagItemType::Artist, "A1"}, {TagItemType::Artist, "A2"}});
        AudioFile *none = table.addFile();
        AudioFile *three = table.addFile(
            {{TagItemType::Artist, "B1"}, {TagItemType::Artist, "B2"}, {TagItemType::Artist, "B3"}});
        const AudioFileSelection cells = table.cells({two, none, three}, TagItemType::Artist);
        QCOMPARE(TagEditorWidget::maxItemCount(TagItemType::Artist, cells), 3);
        QCOMPARE(TagEditorWidget::maxItemCount(TagItemType::Artist, AudioFileSelection()), 0);

        TextRowsEditor multi(TagItemType::Artist, TagEditorWidget::MultiValueMode);
        multi.setSelection(cells);
        QVERIFY(multi.isEnabled());
        QCOMPARE(multi.rowCount(), 3);
        QCOMPARE(entryTexts(multi.entries(two)), QStringList({"A1", "A2", "-"}));
        QCOMPARE(entryTexts(multi.entries(none)), QStringList({"-", "-", "-"}));
        QCOMPARE(entryTexts(multi.entries(three)), QStringList({"B1", "B2", "B3"}));
        QCOMPARE(multi.loaded(three).size(), 3);
        QCOMPARE(multi.itemsAtRow(5), QList<TagItem *>({nullptr, nullptr, nullptr}));
        QVERIFY(!multi.isModified());

        TextRowsEditor single(TagItemType::Artist, TagEditorWidget::SingleValueMode);
        single.setSelection(cells);
        QCOMPARE(single.rowCount(), 1);
        QCOMPARE(entryTexts(single.entries(none)), QStringList({"-"}));
        QCOMPARE(entryTexts(single.entries(three)), QStringList({"B1"}));
        QVERIFY(!single.isModified());

        TextRowsEditor append(TagItemType::Artist, TagEditorWidget::AppendMode);
        append.setSelection(cells);
        QCOMPARE(append.rowCount(), 0);
        QCOMPARE(append.first(), 3);

        TextRowsEditor ranged(TagItemType::Artist, TagEditorWidget::MultiValueMode);
        ranged.setSelection(cells, 1, -1);
        QCOMPARE(ranged.rowCount(), 2);
        QCOMPARE(entryTexts(ranged.entries(three)), QStringList({"B2", "B3"}));
    }

    // Removing every row removes every value of the type and nothing else; a null between two
    // values leaves no gap; untouched files get no working tag at all.
    void applying()
    {
        EditorTable table;
        AudioFile *a = table.addFile({{TagItemType::Artist, "A1"}, {TagItemType::Artist, "A2"},
                                      {TagItemType::Title, "Song"}});
        AudioFile *b = table.addFile({{TagItemType::Title, "Other"}});
        const AudioFileSelection cells = table.cells({a, b}, TagItemType::Artist);

        TextRowsEditor editor(TagItemType::Artist, TagEditorWidget::MultiValueMode);
        editor.setSelection(cells);
        editor.removeRow(1);
        editor.removeRow(0);
        QCOMPARE(editor.rowCount(), 0);
        QVERIFY(editor.isModified());
        auto *operation = new ModelUpdateOperation(cells);
        editor.applyTo(operation);
        QCOMPARE(operation->files(), QList<AudioFile *>({a}));
        QCOMPARE(operation->workingTag(a)->itemTexts(TagItemType::Artist), QStringList());
        QCOMPARE(operation->workingTag(a)->itemTexts(TagItemType::Title), QStringList({"Song"}));
        delete operation;

        editor.setSelection(cells);
        editor.appendRow();
        editor.setRowText(0, "X");
        editor.setRowText(1, QString());
        editor.setRowText(2, "Z");
        operation = new ModelUpdateOperation(cells);
        editor.applyTo(operation);
        QCOMPARE(operation->workingTag(a)->itemTexts(TagItemType::Artist), QStringList({"X", "Z"}));
        QCOMPARE(operation->workingTag(b)->itemTexts(TagItemType::Artist), QStringList({"X", "Z"}));
        QCOMPARE(operation->workingTag(b)->itemTexts(TagItemType::Title), QStringList({"Other"}));
        delete operation;
    }

    // The operation gets copies: the editor's items survive the operation, and an editor may
    // apply twice; its items die with the next selection, the files' own never.
    void applyGivesCopies()
    {
        EditorTable table;
        AudioFile *a = table.addFile({{TagItemType::Title, "Old"}});
        const AudioFileSelection cells = table.cells({a}, TagItemType::Title);
        TextRowsEditor editor(TagItemType::Title, TagEditorWidget::SingleValueMode);
        editor.setSelection(cells);
        const QPointer<TagItem> own = a->combinedTag()->item(TagItemType::Title);
        editor.setRowText(0, "New");
        QVERIFY(editor.isModified());
        const QPointer<TagItem> clone = editor.entries(a).value(0);
        QVERIFY(clone && clone != own && clone->parent() == &editor);

        auto *operation = new ModelUpdateOperation(cells);
        editor.applyTo(operation);
        QVERIFY(!operation->workingTag(a)->itemList().contains(clone.data()));
        delete operation;
        QVERIFY(own);
        QVERIFY(clone);
        QCOMPARE(clone->toString(), QStringLiteral("New"));

        auto *again = new ModelUpdateOperation(cells);
        editor.applyTo(again);
        table.queue().apply(again);
        QCOMPARE(itemTexts(a, TagItemType::Title), QStringList({"New"}));
        QVERIFY(clone);

        editor.setSelection(cells);
        QVERIFY(clone.isNull());
        QVERIFY(!editor.isModified());
        table.queue().undo();
        QCOMPARE(itemTexts(a, TagItemType::Title), QStringList({"Old"}));
    }

    // An emptied row drops the editor's clone; the file's own item stays.
    void emptiedRow()
    {
        EditorTable table;
        AudioFile *a = table.addFile({{TagItemType::Title, "Old"}});
        TextRowsEditor editor(TagItemType::Title, TagEditorWidget::SingleValueMode);
        editor.setSelection(table.cells({a}, TagItemType::Title));
        editor.setRowText(0, "New");
        editor.commitInput();
        const QPointer<TagItem> clone = editor.entries(a).value(0);
        editor.setRowText(0, QString());
        QVERIFY(editor.isModified());
        QVERIFY(clone.isNull());
        QCOMPARE(editor.entries(a).value(0), nullptr);
        QCOMPARE(itemTexts(a, TagItemType::Title), QStringList({"Old"}));
    }

    void inputWidgetStates()
    {
        const QString mixed = textForId(MixedValuesTextId);
        QVERIFY(!mixed.isEmpty());
        QLineEdit wide;
        TagEditorWidget::setInputWidgetEnabled(&wide, false);
        QVERIFY(!wide.isEnabled());
        QCOMPARE(wide.text().toLower(), mixed.toLower());
        TagEditorWidget::setInputWidgetEnabled(&wide, true);
        QVERIFY(wide.isEnabled());
        QVERIFY(wide.text().isEmpty());

        QLineEdit narrow;
        narrow.setMaximumWidth(99);
        TagEditorWidget::setInputWidgetEnabled(&narrow, false);
        QVERIFY(narrow.text().isEmpty());

        QComboBox fixed;
        fixed.addItems({"", "a"});
        TagEditorWidget::setInputWidgetEnabled(&fixed, false);
        QCOMPARE(fixed.currentIndex(), -1);
        TagEditorWidget::setInputWidgetEnabled(&fixed, true);
        QCOMPARE(fixed.currentIndex(), 0);

        QSpinBox spin;
        spin.setRange(3, 9);
        spin.setValue(7);
        TagEditorWidget::setInputWidgetEnabled(&spin, false);
        QCOMPARE(spin.value(), 3);
        QCOMPARE(spin.text().toLower(), mixed.toLower());

        QCheckBox check;
        TagEditorWidget::setInputWidgetEnabled(&check, false);
        QCOMPARE(check.checkState(), Qt::PartiallyChecked);
        TagEditorWidget::setInputWidgetEnabled(&check, true);
        QCOMPARE(check.checkState(), Qt::Unchecked);

        QTableWidget grid(0, 2);
        TagEditorWidget::setInputWidgetEnabled(&grid, false);
        QCOMPARE(grid.rowCount(), 1);
        QCOMPARE(grid.item(0, 1)->text().toLower(), mixed.toLower());
        TagEditorWidget::setInputWidgetEnabled(&grid, true);
        QCOMPARE(grid.rowCount(), 0);

        QPlainTextEdit text;
        TagEditorWidget::setInputWidgetEnabled(&text, false);
        QCOMPARE(text.toPlainText().toLower(), mixed.toLower());
        QLabel label;
        TagEditorWidget::setInputWidgetEnabled(&label, false);
        QCOMPARE(label.text().toLower(), mixed.toLower());
        TagEditorWidget::setInputWidgetEnabled(nullptr, false);
    }

    // The two event types are distinct and shared; the finished event emits editingFinished.
    void customEvents()
    {
        QVERIFY(TagEditorWidget::editingStartedEventType() != TagEditorWidget::editingFinishedEventType());
        QCOMPARE(TagEditorWidget::editingStartedEventType(), TagEditorWidget::editingStartedEventType());
        QVERIFY(TagEditorWidget::editingFinishedEventType() >= QEvent::User);
        TextRowsEditor editor(TagItemType::Title, TagEditorWidget::InlineMode);
        QSignalSpy finished(&editor, &TagEditorWidget::editingFinished);
        QCoreApplication::postEvent(&editor, new QEvent(TagEditorWidget::editingStartedEventType()));
        QCoreApplication::postEvent(&editor, new QEvent(TagEditorWidget::editingFinishedEventType()));
        QCoreApplication::sendPostedEvents(&editor);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.at(0).at(0).value<TagEditorWidget *>(), &editor);
    }

    void registrations_data()
    {
        QTest::addColumn<int>("itemType");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("editorClass"); // empty: no editor
        QTest::newRow("title in the table") << int(TagItemType::Title) << 0 << "StringTagEditorWidget";
        QTest::newRow("artist, all values") << int(TagItemType::Artist) << 3 << "StringTagEditorWidget";
        QTest::newRow("title in a dock") << int(TagItemType::Title) << 4 << "";
        QTest::newRow("track number") << int(TagItemType::TrackNumber) << 0 << "IntegerTagEditorWidget";
        QTest::newRow("compilation") << int(TagItemType::PartOfCompilation) << 0 << "BooleanTagEditorWidget";
        QTest::newRow("release date") << int(TagItemType::ReleaseDate) << 1 << "DateTimeTagEditorWidget";
        QTest::newRow("unknown APE data") << int(TagItemType::UnknownApeData) << 1 << "";
    }

    // Editors come by item type, else by data type; the file table asks the toolkit's registry,
    // which learns the same answers.
    void registrations()
    {
        QFETCH(int, itemType);
        QFETCH(int, mode);
        QFETCH(QString, editorClass);
        QCOMPARE(TagEditorWidget::hasEditor(itemType, mode), !editorClass.isEmpty());
        QCOMPARE(TagEditorRegistry::hasEditor(itemType, TagItem::dataTypeOf(itemType), mode), !editorClass.isEmpty());
        QWidget parent;
        TagEditorWidget *editor = TagEditorWidget::createEditor(itemType, mode, &parent);
        QCOMPARE(editor ? QString::fromLatin1(editor->metaObject()->className()) : QString(), editorClass);
        if (editor) {
            QCOMPARE(editor->parent(), &parent);
            QCOMPARE(editor->itemType(), itemType);
            QCOMPARE(editor->mode(), mode);
            QVERIFY(!editor->isEnabled()); // until a selection is set
        }
    }

    void noEditorForOtherData()
    {
        QVERIFY(!TagEditorWidget::hasEditor(TagItemType::UnknownApeData, TagEditorWidget::SingleValueMode));
        QCOMPARE(TagEditorWidget::createEditor(TagItemType::UnknownApeData, TagEditorWidget::InlineMode, nullptr),
                 nullptr);
    }
};

QTEST_MAIN(TestTagEditorWidget)
#include "tst_tageditorwidget.moc"
