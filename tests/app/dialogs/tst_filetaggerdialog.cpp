#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/dialogs/filenamesplitting.h"
#include "app/dialogs/filetaggerdialog.h"
#include "app/dialogs/modeldatatypecombobox.h"
#include "app/dialogs/modeldatatypetreeview.h"
#include "app/dialogs/support_textdialogs.h"
#include "app/model/datatypemodel.h"
#include "libcore/text/formatting.h"
#include "libgui/edits/contentassistlineedit.h"
#include "libgui/itemviews/colors.h"
#include "libgui/tables/exttablewidget.h"
#include "libtagging/model/tagitem.h"

namespace {

using T = TagItemType::Id;
const ModelDataType Title(T::Title);
const ModelDataType Artist(T::Artist);
const ModelDataType Album(T::Album);
const ModelDataType Track(T::TrackNumber);

void click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2));
}

void choose(ModelDataTypeComboBox *comboBox, const ModelDataType &type)
{
    comboBox->setCurrentDataType(type);
    Q_EMIT comboBox->activated(comboBox->currentIndex());
}

void mouse(QWidget *widget, QEvent::Type type, const QPoint &pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Three files in "Artist - Album" folders, the third with a name of fewer parts.
struct Fixture {
    DialogTable table{{Title, Artist, Album, Track},
                      {{{T::Title, "old"}}, {{T::Title, "old"}}, {{T::Title, "old"}}},
                      {"Air - Moon Safari/01 - Talisman.mp3", "Air - Moon Safari/02 - Sexy Boy.mp3",
                       "Air - Moon Safari/Remember.mp3"}};
    QScopedPointer<FileTaggerDialog> dialog;

    Fixture()
    {
        table.selectAll();
        dialog.reset(new FileTaggerDialog);
        dialog->show();
    }
    QString preview(int row, int column) const
    {
        const QTableWidgetItem *item = dialog->previewTable->item(row, column);
        return item ? item->text() : QStringLiteral("<none>");
    }
    QPoint cellCentre(int row, int column) const
    {
        ExtTableWidget *t = dialog->previewTable;
        return QPoint(t->columnViewportPosition(column) + t->columnWidth(column) / 2,
                      t->rowViewportPosition(row) + t->rowHeight(row) / 2);
    }
    void separator(const QString &text)
    {
        click(dialog->methodButtons.at(FileNameSplitMethod::Separator));
        dialog->separatorEdit->setText(text);
    }
};

} // namespace

// The file tagger over three loaded files: splitting shown in the preview, parts assigned by
// column or by painting, and OK as one undo step.
class tst_FileTaggerDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpDialogTests();
    }

    void interpretation()
    {
        Fixture f;
        f.separator(QStringLiteral("-"));
        // Parts: the folder's two (four levels, only the ones the files have: the temporary
        // folders above count too), then the name's; the last file has one part fewer.
        const int count = f.dialog->partCount();
        QVERIFY(count >= 4);
        QCOMPARE(f.preview(0, count - 1), QStringLiteral("01"));
        QCOMPARE(f.preview(0, count), QStringLiteral("Talisman"));
        QCOMPARE(f.preview(2, count - 1), QStringLiteral("Remember"));
        QCOMPARE(f.preview(2, count), QStringLiteral("<none>"));
        QCOMPARE(f.preview(0, 0), QStringLiteral("01 - Talisman.mp3"));

        const QList<FileTaggerDialog::FileNameInterpretation> &rows = f.dialog->interpretations();
        choose(rows.at(count - 1).comboBox, Title);
        choose(rows.at(count - 2).comboBox, Track);
        choose(rows.at(count - 3).comboBox, Title); // takes Title from the last part
        QCOMPARE(rows.at(count - 1).itemType, int(UnassignedItemType));
        QCOMPARE(rows.at(count - 1).comboBox->currentDataType(), ModelDataType());
        choose(rows.at(count - 1).comboBox, Title);
        choose(rows.at(count - 3).comboBox, Album);
        choose(rows.at(count - 4).comboBox, Artist);
        QCOMPARE(f.dialog->previewTable->horizontalHeaderItem(count)->text(), upperCaseFirst(TagItem::typeName(T::Title)));
        QVERIFY(f.dialog->previewTable->horizontalHeaderItem(count)->font().bold());

        const int undo = f.table.undoCount();
        f.dialog->accept();
        QCOMPARE(f.table.undoCount(), undo + 1);
        QCOMPARE(f.table.cell(0, 0).toString(), QStringLiteral("Talisman"));
        QCOMPARE(f.table.cell(1, 0).toString(), QStringLiteral("Sexy Boy"));
        QCOMPARE(f.table.cell(0, 1).toString(), QStringLiteral("Air"));
        QCOMPARE(f.table.cell(1, 2).toString(), QStringLiteral("Moon Safari"));
        QCOMPARE(f.table.cell(1, 3).toInt(), 2);
        // The last file's name is its part count - 1: "Remember" became its track number, which
        // takes no text; its title part does not exist, so the title stays.
        QCOMPARE(f.table.cell(2, 0).toString(), QStringLiteral("old"));
    }

    void nothingAssignedAppliesNothing()
    {
        Fixture f;
        const int undo = f.table.undoCount();
        f.dialog->accept();
        QCOMPARE(f.table.undoCount(), undo);
    }

    // The pattern decides the interpretations and forbids painting until another method.
    void pattern()
    {
        Fixture f;
        click(f.dialog->paintModeButton);
        click(f.dialog->methodButtons.at(FileNameSplitMethod::Pattern));
        QVERIFY(!f.dialog->paintModeButton->isEnabled());
        QVERIFY(f.dialog->interpretationModeButton->isChecked());
        f.dialog->patternEdit->setText(QStringLiteral("%artist% - %album%/%tracknumber% - %title%"));
        QCOMPARE(f.dialog->partCount(), 4);
        QCOMPARE(f.dialog->currentParts().at(0), (QStringList{"Air", "Moon Safari", "01", "Talisman"}));
        QCOMPARE(f.dialog->currentParts().at(2), (QStringList{"Air", "Moon Safari"})); // name does not match
        QCOMPARE(f.dialog->interpretations().at(3).itemType, int(T::Title));
        QVERIFY(!f.dialog->interpretations().at(3).comboBox->isEnabled());
        f.dialog->accept();
        QCOMPARE(f.table.cell(0, 0).toString(), QStringLiteral("Talisman"));
        QCOMPARE(f.table.cell(2, 1).toString(), QStringLiteral("Air"));
        QCOMPARE(f.table.cell(2, 0).toString(), QStringLiteral("old"));

        Fixture g;
        click(g.dialog->methodButtons.at(FileNameSplitMethod::Pattern));
        click(g.dialog->methodButtons.at(FileNameSplitMethod::Automatic));
        QVERIFY(g.dialog->paintModeButton->isEnabled());
    }

    void invalidExpression()
    {
        Fixture f;
        click(f.dialog->methodButtons.at(FileNameSplitMethod::SplitExpression));
        f.dialog->splitExpressionEdit->setText(QStringLiteral("(-"));
        QVERIFY(!f.dialog->validate().valid);
        QCOMPARE(f.dialog->currentParts().at(0).last(), QStringLiteral("01 - Talisman")); // unsplit
        click(f.dialog->methodButtons.at(FileNameSplitMethod::MatchExpression));
        f.dialog->matchExpressionEdit->setText(QStringLiteral("(\\d+) - (.*)"));
        QVERIFY(f.dialog->validate().valid);
        QCOMPARE(f.dialog->currentParts().at(1), (QStringList{"02", "Sexy Boy"}));
        QCOMPARE(f.dialog->currentParts().at(2), QStringList{});
    }

    // Painting: press and drag over cells, a header click paints its column, the eraser
    // removes; column 0 never takes paint. The rightmost cell of one type wins.
    void paint()
    {
        Fixture f;
        f.separator(QStringLiteral("-"));
        const int count = f.dialog->partCount();
        click(f.dialog->paintModeButton);
        QCOMPARE(f.dialog->pageStackWidget->currentIndex(), 1);
        const QList<FileTaggerDialog::TypeBrush> &brushes = f.dialog->brushes();
        int titleBrush = -1;
        for (int i = 0; i < brushes.size(); ++i) {
            if (brushes.at(i).itemType == T::Title)
                titleBrush = i;
        }
        QVERIFY(titleBrush >= 0);
        brushes.at(titleBrush).radioButton->setChecked(true);
        QWidget *viewport = f.dialog->previewTable->viewport();
        mouse(viewport, QEvent::MouseButtonPress, f.cellCentre(0, count), Qt::LeftButton);
        mouse(viewport, QEvent::MouseMove, f.cellCentre(1, count), Qt::LeftButton);
        mouse(viewport, QEvent::MouseMove, f.cellCentre(2, count - 1), Qt::LeftButton);
        mouse(viewport, QEvent::MouseButtonRelease, f.cellCentre(2, count - 1), Qt::NoButton);
        mouse(viewport, QEvent::MouseMove, f.cellCentre(0, count - 1), Qt::NoButton); // no button: no paint
        mouse(viewport, QEvent::MouseButtonPress, f.cellCentre(0, 0), Qt::LeftButton); // column 0
        QCOMPARE(f.dialog->paintTable().at(0).value(count - 1), titleBrush);
        QCOMPARE(f.dialog->paintTable().at(1).value(count - 1), titleBrush);
        QCOMPARE(f.dialog->paintTable().at(2).value(count - 2), titleBrush);
        QCOMPARE(f.dialog->paintTable().at(0).value(count - 2), -1);
        QCOMPARE(f.dialog->previewTable->item(0, count)->background().color(), brushes.at(titleBrush).color);

        // The eraser over the second file's title.
        f.dialog->eraserButton->setChecked(true);
        mouse(viewport, QEvent::MouseButtonPress, f.cellCentre(1, count), Qt::LeftButton);
        QCOMPARE(f.dialog->paintTable().at(1).value(count - 1), -1);
        QCOMPARE(f.dialog->previewTable->item(1, count)->background(), QTableWidgetItem().background());

        // The first file's number column painted title too: the rightmost (the name) wins.
        brushes.at(titleBrush).radioButton->setChecked(true);
        mouse(viewport, QEvent::MouseButtonPress, f.cellCentre(0, count - 1), Qt::LeftButton);
        f.dialog->accept();
        QCOMPARE(f.table.cell(0, 0).toString(), QStringLiteral("Talisman"));
        QCOMPARE(f.table.cell(1, 0).toString(), QStringLiteral("old"));
        QCOMPARE(f.table.cell(2, 0).toString(), QStringLiteral("Remember"));
    }

    void headerPaintsColumn()
    {
        Fixture f;
        f.separator(QStringLiteral("-"));
        const int count = f.dialog->partCount();
        QHeaderView *header = f.dialog->previewTable->horizontalHeader();
        Q_EMIT header->sectionClicked(count); // interpretation mode: nothing
        QCOMPARE(f.dialog->paintTable().at(0).value(count - 1), -1);
        click(f.dialog->paintModeButton);
        Q_EMIT header->sectionClicked(count);
        Q_EMIT header->sectionClicked(0);
        QCOMPARE(f.dialog->paintTable().at(0).value(count - 1), 0);
        QCOMPARE(f.dialog->paintTable().at(1).value(count - 1), 0);
        QCOMPARE(f.dialog->paintTable().at(2).size(), count - 1); // no such part
    }

    // Brushes: twelve standard colours, then random ones; the add dialog offers only types
    // without a brush.
    void brushes()
    {
        FileTaggerDialog::seedBrushColors(7);
        Fixture f;
        const QList<FileTaggerDialog::TypeBrush> &brushes = f.dialog->brushes();
        QCOMPARE(brushes.size(), TagItem::typesOfCategory(0).size());
        for (int i = 0; i < brushes.size() && i < 12; ++i)
            QCOMPARE(brushes.at(i).color, standardColors().at(i));

        click(f.dialog->paintModeButton);
        const auto addAll = [&f] {
            int offered = -1;
            QTimer::singleShot(0, [&offered] {
                auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                auto *view = dialog->findChild<ModelDataTypeTreeView *>();
                QVERIFY(view);
                view->setAllChecked(true);
                offered = int(view->selectedDataTypes().size());
                dialog->accept();
            });
            click(f.dialog->addBrushButton);
            return offered;
        };
        const int before = int(brushes.size());
        const int offered = addAll();
        QVERIFY(offered > 12);
        QCOMPARE(int(brushes.size()), before + offered);
        QCOMPARE(addAll(), 0); // every offered type has its brush now
        QSet<int> types;
        for (const FileTaggerDialog::TypeBrush &brush : brushes)
            types.insert(brush.itemType);
        QCOMPARE(int(types.size()), int(brushes.size()));
        for (int i = 12; i < brushes.size(); ++i)
            QVERIFY(brushes.at(i).color.isValid() && brushes.at(i).color.alpha() == 255);
        QVERIFY(brushes.at(12).color != brushes.at(13).color);
    }
};

QTEST_MAIN(tst_FileTaggerDialog)
#include "tst_filetaggerdialog.moc"
