// The text dialogs over a few files held in memory: find and replace in both modes, the file
// tagger in each way of assigning parts, and the three text processing modes.

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLocale>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTableView>

#include "app/dialogs/filenamesplitting.h"
#include "app/dialogs/filetaggerdialog.h"
#include "app/dialogs/findreplacedialog.h"
#include "app/dialogs/howtoremovegroupbox.h"
#include "app/dialogs/modeldatatypecombobox.h"
#include "app/dialogs/textprocessingdialog.h"
#include "app/dialogs/whattoinsertgroupbox.h"
#include "app/dialogs/whattoremovegroupbox.h"
#include "app/dialogs/wheretoinsertgroupbox.h"
#include "app/model/audiofilemodel.h"
#include "app/model/iaudiofilemodel.h"
#include "app/operations/audiofileselection.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/operationqueue.h"
#include "app/shell/headlessmainwindow.h"
#include "libgui/icons/icons.h"
#include "libcore/log/exception.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/text/textcatalogue.h"
#include "libcore/text/texttable.h"
#include "libgui/edits/contentassistlineedit.h"
#include "libgui/itemviews/selectiongeometry.h"
#include "libgui/numbers/extspinbox.h"
#include "libgui/tables/exttablewidget.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"
#include "tools/gallery/gallerypages.h"

namespace {

AudioFile *sampleFile(const QString &path, const QString &artist, const QString &title, int track)
{
    auto *file = new AudioFile(path);
    auto *tag = new AudioTag;
    tag->addItemValue(TagItemType::Artist, artist);
    tag->addItemValue(TagItemType::Title, title);
    tag->addItemValue(TagItemType::TrackNumber, track);
    file->setTag(tag, 0);
    return file;
}

void press(QWidget *viewport, const QPoint &pos, bool move)
{
    QMouseEvent event(move ? QEvent::MouseMove : QEvent::MouseButtonPress, pos, viewport->mapToGlobal(pos),
                      move ? Qt::NoButton : Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

QPoint cellCentre(ExtTableWidget *table, int row, int column)
{
    return QPoint(table->columnViewportPosition(column) + table->columnWidth(column) / 2,
                  table->rowViewportPosition(row) + table->rowHeight(row) / 2);
}

} // namespace

void renderTextDialogs(Gallery &gallery)
{
    if (!mountApplicationPackages(gallery, QStringLiteral("text dialogs")))
        return;

    HeadlessMainWindow window;
    window.tableModel()->setDataTypes({ModelDataType(TagItemType::Title), ModelDataType(TagItemType::Artist),
                                       ModelDataType(TagItemType::TrackNumber)});
    QTableView view;
    view.setModel(window.model()->itemModel());
    window.setTableView(&view);
    auto *insert = new ModelInsertOperation(AudioFileSelection(window.model()));
    const QString base = QStringLiteral("/nonexistent/gallery/Air - Moon Safari (1998)/");
    insert->files = {sampleFile(base + "01 - La femme d'argent.mp3", "Air", "La femme d'argent", 1),
                     sampleFile(base + "02 - Sexy Boy.mp3", "Air", "Sexy Boy", 2),
                     sampleFile(base + "03 - All I Need.mp3", "Air", "All I Need", 3),
                     sampleFile(base + "Kelly, Watch the Stars!.mp3", "Air", "Kelly", 4)};
    window.operationQueue()->apply(insert);
    view.selectionModel()->select(selectionFromRect(view.model(), QRect(0, 0, 1, 4)), QItemSelectionModel::Select);
    *window.selection() = window.model()->cellSelection(view.selectionModel()->selection());

    auto *find = new FindReplaceDialog(window.model(), window.searchHandler());
    find->show();
    find->findEdit->setText(QStringLiteral("AC*DC"));
    find->wildcardsBox->click();
    gallery.save(QStringLiteral("text-find-dialog"), find);

    auto *replace = new FindReplaceDialog(window.model(), window.searchHandler());
    replace->setFindMode(false);
    replace->show();
    replace->regularExpressionBox->click();
    replace->findEdit->setText(QStringLiteral("(\\d+"));
    replace->replacementEdit->setText(QStringLiteral("\\1"));
    gallery.save(QStringLiteral("text-replace-dialog-invalid-expression"), replace);

    auto *tagger = new FileTaggerDialog;
    tagger->resize(1200, 800);
    tagger->show();
    tagger->methodButtons.at(FileNameSplitMethod::Separator)->click();
    tagger->separatorEdit->setText(QStringLiteral("-"));
    gallery.snap(QStringLiteral("text-file-tagger-separator"), tagger);
    tagger->methodButtons.at(FileNameSplitMethod::Pattern)->click();
    tagger->patternEdit->setText(QStringLiteral("%artist% - %album% (%year%)/%tracknumber% - %title%"));
    tagger->patternEdit->hideContentAssist();
    gallery.snap(QStringLiteral("text-file-tagger-pattern"), tagger);
    tagger->methodButtons.at(FileNameSplitMethod::Separator)->click();
    tagger->paintModeButton->click();
    const int count = tagger->partCount();
    ExtTableWidget *table = tagger->previewTable;
    for (int row = 0; row < 4; ++row) {
        press(table->viewport(), cellCentre(table, row, count), row > 0);
    }
    tagger->brushes().at(2).radioButton->setChecked(true);
    press(table->viewport(), cellCentre(table, 0, count - 1), false);
    press(table->viewport(), cellCentre(table, 2, count - 1), true);
    gallery.save(QStringLiteral("text-file-tagger-paint"), tagger);

    auto *tagger2 = new FileTaggerDialog;
    tagger2->resize(1200, 800);
    tagger2->show();
    tagger2->methodButtons.at(FileNameSplitMethod::MatchExpression)->click();
    tagger2->matchExpressionEdit->setText(QStringLiteral("(\\d+) - (.*"));
    tagger2->matchExpressionEdit->hideContentAssist();
    gallery.save(QStringLiteral("text-file-tagger-invalid-expression"), tagger2);

    auto *insertText = new TextProcessingDialog(TextProcessingMode::Insert, *window.selection(), window.operationQueue());
    insertText->whereToInsertBox()->afterFromStartButton->click();
    insertText->whereToInsertBox()->fromStartSpinBox->setValue(3);
    insertText->whatToInsertBox()->counterButton->click();
    insertText->whatToInsertBox()->counterStepSpinBox->setValue(-1);
    gallery.save(QStringLiteral("text-insert-counter"), insertText);

    auto *overwrite = new TextProcessingDialog(TextProcessingMode::Overwrite, *window.selection(), window.operationQueue());
    overwrite->whatToRemoveBox()->fromStartButton->click();
    overwrite->whatToRemoveBox()->fromStartSpinBox2->setValue(4);
    overwrite->whatToInsertBox()->textEdit->setText(QStringLiteral("Live: "));
    gallery.save(QStringLiteral("text-overwrite"), overwrite);

    auto *remove = new TextProcessingDialog(TextProcessingMode::Remove, *window.selection(), window.operationQueue());
    remove->whatToRemoveBox()->lastButton->click();
    remove->whatToRemoveBox()->lastSpinBox->setValue(4);
    remove->howToRemoveBox()->keepButton->click();
    gallery.save(QStringLiteral("text-remove-keep"), remove);

    view.selectionModel()->select(selectionFromRect(view.model(), QRect(0, 0, 2, 2)),
                                  QItemSelectionModel::ClearAndSelect);
    auto *invalid = new TextProcessingDialog(TextProcessingMode::Insert, *window.selection(), window.operationQueue());
    invalid->whatToInsertBox()->counterButton->click();
    gallery.save(QStringLiteral("text-insert-counter-two-columns"), invalid);
}
