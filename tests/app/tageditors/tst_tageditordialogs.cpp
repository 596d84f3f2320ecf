#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <memory>

#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/tageditors/linetageditorwidget.h"
#include "app/tageditors/multitageditordialog.h"
#include "app/tageditors/multitageditordialogpage.h"
#include "app/tageditors/multitageditorwidget.h"
#include "app/tageditors/singletageditordialog.h"
#include "app/tageditors/stringtageditorwidget.h"
#include "app/tageditors/support_tageditors.h"
#include "app/tageditors/tageditordetailsdialog.h"
#include "libcore/locale/localetables.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/combos/extcombobox.h"
#include "libgui/edits/extlineedit.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/tagitem.h"

namespace {

// Comments with their description and language as detail fields.
class CommentDetailsEditor : public StringTagEditorWidget
{
public:
    CommentDetailsEditor(QWidget *parent = nullptr)
        : StringTagEditorWidget(TagItemType::Comment, MultiValueMode, parent)
    {
        setDetailsVisible(true);
    }
    void clickDetails(int row) { QTest::mouseClick(rowWidgets(row)->detailButton, Qt::LeftButton); }
    void removeRow(int row) { onRowRemoved(row); }
    QMap<int, QMap<int, QVariant>> pending() const { return pendingDetails; }

protected:
    QList<int> detailFields() const override { return {0, 1}; }
    QVariant detailValue(const TagItem *item, int field) const override
    {
        const auto *comment = dynamic_cast<const CommentTagItem *>(item);
        if (!comment)
            return QVariant();
        return field == 0 ? QVariant(comment->description) : QVariant(comment->language.iso639_2T);
    }
    void setDetailValue(TagItem *item, int field, const QVariant &value) override
    {
        auto *comment = dynamic_cast<CommentTagItem *>(item);
        if (!comment)
            return;
        if (field == 0)
            comment->description = value.toString();
        else
            comment->language = languageByCode(value.toString());
    }
};

void addComment(AudioFile *file, const QString &text, const QString &description, const QString &language)
{
    file->combinedTag()->addItem(new CommentTagItem(text, description, languageByCode(language)));
}

QString comment(AudioFile *file, int n = 0)
{
    const auto *item = dynamic_cast<const CommentTagItem *>(file->combinedTag()->item(TagItemType::Comment, n));
    return item ? QStringLiteral("%1/%2/%3").arg(item->value, item->description, item->language.iso639_2T)
                : QStringLiteral("-");
}

ExtLineEdit *lineEditOf(const DetailRow *row)
{
    return qobject_cast<ExtLineEdit *>(row->input);
}

} // namespace

class TestTagEditorDialogs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { initTagEditorTests(); }

    void detailsDialogRows()
    {
        TagEditorDetailsDialog dialog({{0, QStringLiteral("Liner")}, {1, QVariant()}, {5, QStringLiteral("x")}},
                                      TagItemType::Comment, 3, 5);
        const QList<DetailRow *> &rows = dialog.detailRows();
        QCOMPARE(rows.size(), 3);
        QVERIFY(rows.at(0)->enabled);
        QCOMPARE(lineEditOf(rows.at(0))->text(), QStringLiteral("Liner"));
        QVERIFY(rows.at(0)->undoButton->isHidden()); // started with a common value
        QVERIFY(!rows.at(1)->enabled);
        QVERIFY(qobject_cast<LanguageComboBox *>(rows.at(1)->input));
        QVERIFY(!rows.at(1)->input->isEnabled());
        QVERIFY(!rows.at(1)->editButton->isHidden());
        QVERIFY(lineEditOf(rows.at(2)));
        QVERIFY(TagEditorDetailsDialog::detailLabel(5).isEmpty());

        const ValidationResult result = dialog.validate();
        QVERIFY(result.valid);
        QCOMPARE(result.messages.size(), 1);
        QCOMPARE(result.messages.at(0).level, int(Info));
        QVERIFY(result.messages.at(0).text.contains(QLatin1String("3")));
        QVERIFY(result.messages.at(0).text.contains(QLatin1String("5")));
        QVERIFY(result.messages.at(0).text.contains(TagItem::typeName(TagItemType::Comment)));

        QTest::mouseClick(rows.at(1)->editButton, Qt::LeftButton);
        QVERIFY(rows.at(1)->enabled);
        QVERIFY(rows.at(1)->input->isEnabled());
        QVERIFY(!rows.at(1)->undoButton->isHidden());
        QMap<int, QVariant> values = dialog.values();
        QCOMPARE(values.value(0), QVariant(QStringLiteral("Liner")));
        QCOMPARE(values.value(1), QVariant(QString()));
        QCOMPARE(values.value(5), QVariant(QStringLiteral("x")));

        QTest::mouseClick(rows.at(1)->undoButton, Qt::LeftButton);
        values = dialog.values();
        QVERIFY(!values.contains(1)); // the files keep their own languages
        QVERIFY(values.contains(0));

        TagEditorDetailsDialog all({{0, QStringLiteral("a")}, {1, QStringLiteral("deu")}}, TagItemType::Comment, 2, 2);
        QVERIFY(all.validate().messages.isEmpty());
        QCOMPARE(all.values().value(1), QVariant(QStringLiteral("deu")));
    }

    // Details chosen for a mixed row change only the details, only of the files that have a
    // value in that row, each keeping its own text.
    void detailsThroughLineEditor()
    {
        EditorTable table;
        QList<AudioFile *> files;
        for (int i = 0; i < 5; ++i)
            files.append(table.addFile({{TagItemType::Title, QStringLiteral("T%1").arg(i)}}));
        addComment(files.at(0), "c", "D", "eng");
        addComment(files.at(1), "c", "D", "eng");
        addComment(files.at(2), "other", "D", "deu");
        const AudioFileSelection cells = table.cells(files, TagItemType::Comment);
        CommentDetailsEditor editor;
        editor.setSelection(cells);
        editor.show();
        QVERIFY(!editor.isRowEditing(0));

        QSignalSpy finished(&editor, &TagEditorWidget::editingFinished);
        bool checked = false;
        whenModalShown([&](QWidget *modal) {
            auto *dialog = qobject_cast<TagEditorDetailsDialog *>(modal);
            QVERIFY(dialog);
            const QList<DetailRow *> &rows = dialog->detailRows();
            QCOMPARE(lineEditOf(rows.at(0))->text(), QStringLiteral("D"));
            QVERIFY(!rows.at(1)->enabled); // the languages differ
            QVERIFY(dialog->validate().messages.value(0).text.contains(QLatin1String("3")));
            lineEditOf(rows.at(0))->setText(QStringLiteral("New"));
            checked = true;
            dialog->accept();
        });
        editor.clickDetails(0);
        QVERIFY(checked);
        QCOMPARE(finished.size(), 1);
        QVERIFY(editor.isModified());
        auto *operation = new ModelUpdateOperation(cells);
        editor.applyTo(operation);
        QCOMPARE(operation->files().size(), 3);
        table.queue().apply(operation);
        QCOMPARE(comment(files.at(0)), QStringLiteral("c/New/eng"));
        QCOMPARE(comment(files.at(2)), QStringLiteral("other/New/deu"));
        QCOMPARE(comment(files.at(3)), QStringLiteral("-"));
    }

    void pendingDetailsFollowRemovedRows()
    {
        EditorTable table;
        AudioFile *file = table.addFile({{TagItemType::Title, "T"}});
        addComment(file, "a", "", "");
        addComment(file, "b", "", "");
        addComment(file, "c", "", "");
        CommentDetailsEditor editor;
        editor.setSelection(table.cells({file}, TagItemType::Comment));
        whenModalShown([](QWidget *modal) {
            auto *dialog = static_cast<TagEditorDetailsDialog *>(modal);
            lineEditOf(dialog->detailRows().at(0))->setText(QStringLiteral("for c"));
            dialog->accept();
        });
        editor.clickDetails(2);
        QCOMPARE(editor.pending().value(2).value(0), QVariant(QStringLiteral("for c")));
        editor.removeRow(1);
        QVERIFY(!editor.pending().contains(2));
        QCOMPARE(editor.pending().value(1).value(0), QVariant(QStringLiteral("for c")));
    }

    void singleTagDialog()
    {
        EditorTable table;
        const QList<AudioFile *> same = table.addFiles(TagItemType::Title, {"A", "A"});
        {
            SingleTagEditorDialog dialog(TagItemType::Title, TagEditorWidget::SingleValueMode,
                                         table.cells(same, TagItemType::Title), &table.queue());
            QVERIFY(dialog.tagEditor());
            QCOMPARE(dialog.windowTitle(),
                     upperCaseFirst(textForId(EditRowTextId).arg(TagItem::typeName(TagItemType::Title))));
            dialog.accept();
            QCOMPARE(table.undoCount(), 0);
        }

        const QList<AudioFile *> mixed = table.addFiles(TagItemType::Title, {"A", "B"});
        SingleTagEditorDialog dialog(TagItemType::Title, TagEditorWidget::SingleValueMode,
                                     table.cells(mixed, TagItemType::Title), &table.queue());
        auto *line = qobject_cast<LineTagEditorWidget *>(dialog.tagEditor());
        QVERIFY(line->isRowEditing(0));
        auto *edit = qobject_cast<QLineEdit *>(line->rowWidgets(0)->input);
        QVERIFY(edit->isEnabled());
        QVERIFY(edit->text().isEmpty());

        // Opened by the dialog, not by the user: OK without typing keeps both titles.
        dialog.accept();
        QCOMPARE(table.undoCount(), 0);
        QCOMPARE(itemTexts(mixed.at(1), TagItemType::Title), QStringList({"B"}));

        QTest::keyClicks(edit, "C");
        dialog.accept();
        QCOMPARE(table.undoCount(), 1);
        QVERIFY(!table.queue().undoOperation()->description().isEmpty()); // described by the queue
        QCOMPARE(itemTexts(mixed.at(0), TagItemType::Title), QStringList({"C"}));
        QCOMPARE(itemTexts(mixed.at(1), TagItemType::Title), QStringList({"C"}));
        table.queue().undo();
        QCOMPARE(itemTexts(mixed.at(1), TagItemType::Title), QStringList({"B"}));
    }

    void multiTagWidgetLayout()
    {
        EditorTable table;
        AudioFile *file = table.addFile({{TagItemType::TrackNumber, 3}, {TagItemType::TrackCount, 12}});
        const int category = TagItem::categoryOf(TagItemType::TrackNumber);
        MultiTagEditorWidget widget;
        widget.addCategory(category);
        widget.setSelection(table.cells({file}, TagItemType::TrackNumber));
        widget.show();
        QVERIFY(widget.tabs()->count() >= 1);

        TagEditorWidget *number = nullptr;
        TagEditorWidget *count = nullptr;
        for (TagEditorWidget *editor : widget.categoryEditors(category)) {
            if (editor->itemType() == TagItemType::TrackNumber)
                number = editor;
            if (editor->itemType() == TagItemType::TrackCount)
                count = editor;
        }
        QVERIFY(number && count);
        // The count sits beside the number, after the separator, without a label of its own.
        QCOMPARE(count->parentWidget(), number->parentWidget());
        QVERIFY(qAbs(count->geometry().center().y() - number->geometry().center().y()) < 4);
        QVERIFY(count->geometry().left() > number->geometry().right());

        // Button columns line up, except on the rows that hold two editors.
        int width = -1;
        for (TagEditorWidget *editor : widget.categoryEditors(category)) {
            auto *line = qobject_cast<LineTagEditorWidget *>(editor);
            const int type = editor->itemType();
            if (!line || type == TagItemType::TrackNumber || type == TagItemType::DiscNumber
                || type == TagItemType::MovementNumber)
                continue;
            const int w = line->rowWidgets(0)->buttonLayout->geometry().width();
            if (width < 0)
                width = w;
            QVERIFY2(qAbs(w - width) <= 1, qPrintable(TagItem::typeName(editor->itemType())));
        }
    }

    // OK after changing one field makes one update that changes that field only: other
    // fields, mixed values included, and pages never opened stay as loaded.
    void multiTagDialog()
    {
        EditorTable table;
        // false and 0 compare as no value, so these rows count as agreed and show one value.
        AudioFile *a = table.addFile({{TagItemType::Title, "A"}, {TagItemType::Artist, "X"}, {TagItemType::Album, "L"},
                                      {TagItemType::PartOfCompilation, false}, {TagItemType::TrackNumber, 0}});
        QCOMPARE(a->combinedTag()->itemCount(TagItemType::PartOfCompilation), 1);
        QCOMPARE(a->combinedTag()->itemCount(TagItemType::TrackNumber), 1);
        AudioFile *b = table.addFile({{TagItemType::Title, "B"}, {TagItemType::Artist, "Y"}, {TagItemType::Album, "L"}});
        AudioFileSelection cells(table.window.model());
        cells.insert({a, b}, {ModelDataType(TagItemType::Title), ModelDataType(TagItemType::Album)});
        const QByteArray before = QByteArray::number(qHash(itemTexts(a, TagItemType::Artist).join('|')));

        MultiTagEditorDialog dialog(cells, &table.queue());
        dialog.accept();
        QCOMPARE(table.undoCount(), 0);

        const int category = TagItem::categoryOf(TagItemType::Album);
        const auto pages = dialog.pages();
        auto *page = qobject_cast<MultiTagEditorDialogPage *>(pages.value(category));
        QVERIFY(page);
        dialog.setCurrentPage(page);
        QVERIFY(page->isInitialized());
        int built = 0;
        for (MultiTagEditorWidget *editor : dialog.tagEditors())
            built += editor->tagEditors().isEmpty() ? 0 : 1;
        QVERIFY(built <= 2); // the first page and the opened one

        QLineEdit *albumEdit = nullptr;
        for (TagEditorWidget *editor : page->tagEditor()->tagEditors()) {
            if (editor->itemType() == TagItemType::Album)
                albumEdit = qobject_cast<QLineEdit *>(qobject_cast<LineTagEditorWidget *>(editor)->rowWidgets(0)->input);
        }
        QVERIFY(albumEdit);
        QCOMPARE(albumEdit->text(), QStringLiteral("L"));
        albumEdit->selectAll();
        QTest::keyClicks(albumEdit, "New album");
        dialog.accept();
        QCOMPARE(table.undoCount(), 1);
        auto *operation = qobject_cast<ModelUpdateOperation *>(table.queue().undoOperation());
        QVERIFY(operation);
        QVERIFY(operation->selectsChangedCells);
        const AudioFileSelection changed = operation->changedCells();
        QCOMPARE(changed.cellCount(), 2);
        QVERIFY(changed.contains(a, ModelDataType(TagItemType::Album)));
        QCOMPARE(itemTexts(a, TagItemType::Album), QStringList({"New album"}));
        QCOMPARE(itemTexts(a, TagItemType::Title), QStringList({"A"}));
        QCOMPARE(itemTexts(b, TagItemType::Title), QStringList({"B"}));
        QCOMPARE(QByteArray::number(qHash(itemTexts(a, TagItemType::Artist).join('|'))), before);
        QCOMPARE(a->combinedTag()->itemCount(TagItemType::PartOfCompilation), 1);
        QCOMPARE(b->combinedTag()->itemCount(TagItemType::PartOfCompilation), 0);
        QCOMPARE(a->combinedTag()->itemCount(TagItemType::TrackNumber), 1);
        table.queue().undo();
        QCOMPARE(itemTexts(b, TagItemType::Album), QStringList({"L"}));
    }
};

QTEST_MAIN(TestTagEditorDialogs)
#include "tst_tageditordialogs.moc"
