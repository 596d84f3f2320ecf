#include "app/tageditors/tageditordetailsdialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include "app/tageditors/linetageditorwidget.h"
#include "app/tageditors/tageditorwidget.h"
#include "libgui/icons/icons.h"
#include "libcore/locale/localetables.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/combos/extcombobox.h"
#include "libgui/edits/extlineedit.h"
#include "libgui/layout/layoututil.h"
#include "libtagging/model/tagitem.h"

TagEditorDetailsDialog::TagEditorDetailsDialog(const QMap<int, QVariant> &details, int itemType, int filesWithValue,
                                               int fileCount, QWidget *parent, Qt::WindowFlags flags)
    : CommonDialog(parent, flags)
{
    setSizeFixed(true);
    setWindowIcon(loadIcon(QStringLiteral("list")));
    setWindowTitle(upperCaseFirst(textForId(RowDetailsTextId).arg(TagItem::typeName(itemType))));
    grid = new QGridLayout;
    setContentLayout(grid);
    for (auto it = details.constBegin(); it != details.constEnd(); ++it) {
        QWidget *input = nullptr;
        if (it.key() == LanguageDetail)
            input = new LanguageComboBox(this);
        else
            input = new ExtLineEdit(this);
        addRow(it.key(), upperCaseFirst(detailLabel(it.key())), input);
        setRowValue(int(rows.size()) - 1, it.value(), it.value().isValid(), false);
    }
    for (const DetailRow *row : std::as_const(rows)) {
        if (row->enabled) {
            row->input->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
    if (filesWithValue < fileCount) {
        infoText = upperCaseFirst(textForId(PartialDetailsTextId)
                                      .arg(filesWithValue)
                                      .arg(fileCount)
                                      .arg(TagItem::typeName(itemType)));
    }
    updateDialogGui();
}

TagEditorDetailsDialog::~TagEditorDetailsDialog()
{
    qDeleteAll(rows);
}

QString TagEditorDetailsDialog::detailLabel(int key)
{
    switch (key) {
    case DescriptionDetail:
        return textForId(DescriptionDetailTextId);
    case LanguageDetail:
        return textForId(LanguageDetailTextId);
    default:
        return QString();
    }
}

ValidationResult TagEditorDetailsDialog::validate()
{
    ValidationResult result;
    if (!infoText.isEmpty())
        result.messages.append(ValidationMessage(Info, infoText));
    return result;
}

void TagEditorDetailsDialog::addRow(int key, const QString &label, QWidget *input)
{
    const int r = int(rows.size());
    grid->addWidget(new QLabel(label, this), r, 0, Qt::AlignRight);
    grid->addWidget(input, r, 1);
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    grid->addLayout(buttons, r, 2);

    auto *row = new DetailRow;
    row->key = key;
    row->value = QVariant();
    row->enabled = true;
    row->input = input;
    row->editButton = new QToolButton(this);
    row->editButton->hide();
    row->editButton->setIcon(loadIcon(QStringLiteral("edit")));
    row->editButton->setToolTip(upperCaseFirst(textForId(EditRowTextId).arg(label)));
    connect(row->editButton, &QToolButton::clicked, this, &TagEditorDetailsDialog::onEditOrUndoButtonClicked);
    buttons->addWidget(row->editButton);
    row->undoButton = new QToolButton(this);
    row->undoButton->hide();
    row->undoButton->setIcon(loadIcon(QStringLiteral("undo")));
    row->undoButton->setToolTip(upperCaseFirst(textForId(UndoRowTextId).arg(label)));
    connect(row->undoButton, &QToolButton::clicked, this, &TagEditorDetailsDialog::onEditOrUndoButtonClicked);
    buttons->addWidget(row->undoButton);
    rows.append(row);
}

void TagEditorDetailsDialog::setRowValue(int row, const QVariant &value, bool enabled, bool undoable)
{
    DetailRow *r = rows.value(row);
    if (!r)
        return;
    setWidgetConcealed(this, true);
    r->enabled = enabled;
    r->value = enabled ? value : QVariant();
    TagEditorWidget::setInputWidgetEnabled(r->input, enabled);
    r->undoButton->setVisible(undoable && enabled);
    r->editButton->setVisible(!enabled);
    if (enabled) {
        if (auto *edit = qobject_cast<ExtLineEdit *>(r->input)) {
            edit->setText(value.toString());
        } else if (auto *combo = qobject_cast<LanguageComboBox *>(r->input)) {
            const QString code = languageByCode(value.toString()).iso639_2T;
            combo->setCurrentIndex(code.isEmpty() ? -1 : combo->findData(code, Qt::UserRole, Qt::MatchExactly));
        }
    }
    setWidgetConcealed(this, false);
}

void TagEditorDetailsDialog::onEditOrUndoButtonClicked()
{
    for (int row = 0; row < rows.size(); ++row) {
        DetailRow *r = rows.at(row);
        if (r->editButton != sender() && r->undoButton != sender())
            continue;
        setRowValue(row, QVariant(), !r->enabled, true);
        if (r->enabled)
            r->input->setFocus(Qt::OtherFocusReason);
        return;
    }
}

QMap<int, QVariant> TagEditorDetailsDialog::values() const
{
    QMap<int, QVariant> result;
    for (const DetailRow *r : rows) {
        if (!r->enabled)
            continue;
        if (auto *edit = qobject_cast<ExtLineEdit *>(r->input)) {
            result.insert(r->key, edit->text());
        } else if (auto *combo = qobject_cast<LanguageComboBox *>(r->input)) {
            const int index = combo->inputIndex();
            const QString code = index >= 0 ? combo->itemData(index, Qt::UserRole).toString() : QString();
            result.insert(r->key, languageByCode(code).iso639_2T);
        } else {
            result.insert(r->key, QVariant());
        }
    }
    return result;
}
