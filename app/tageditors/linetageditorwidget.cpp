#include "app/tageditors/linetageditorwidget.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include "app/tageditors/tageditordetailsdialog.h"
#include "libgui/icons/icons.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libcore/util/commonvariantvalue.h"
#include "libcore/util/variants.h"
#include "libgui/layout/layoututil.h"
#include "libtagging/model/tagitem.h"

namespace {

// Margins kept round a row scrolled into view.
constexpr int VisibleRowMargin = 10;

} // namespace

LineTagEditorWidget::LineTagEditorWidget(int itemType, int mode, QWidget *parent)
    : UniformTagEditorWidget(itemType, mode, parent)
{
}

LineTagEditorWidget::~LineTagEditorWidget()
{
    // The inputs outlive this part of the editor (QWidget deletes them): their last signals
    // must not reach its slots.
    for (const LineEditorRow *r : std::as_const(rows)) {
        r->input->disconnect(this);
        for (QWidget *button : r->inputButtons)
            button->disconnect(this);
    }
    qDeleteAll(rows);
}

QString LineTagEditorWidget::rowToolTip(quint32 textId) const
{
    return upperCaseFirst(textForId(textId).arg(TagItem::typeName(itemType())));
}

void LineTagEditorWidget::loadInput(int row, bool enabled, bool fill, bool uniform)
{
    LineEditorRow *r = rows.value(row);
    if (!r)
        return;
    ++loading;
    setInputWidgetEnabled(r->input, enabled);
    if (fill)
        setInputItems(r->input, itemsAtRow(row), uniform);
    --loading;
}

void LineTagEditorWidget::updateGui()
{
    UniformTagEditorWidget::updateGui();
    if (rowCount() == 0)
        UniformTagEditorWidget::insertRow(nullptr, 0);
    while (rows.size() < rowCount())
        createRow();
    while (rows.size() > rowCount())
        removeRowWidgets(int(rows.size()) - 1);
    for (int row = 0; row < rows.size(); ++row) {
        LineEditorRow *r = rows.at(row);
        const bool editing = isRowEditing(row);
        r->editButton->setVisible(!editing);
        r->undoButton->setVisible(false);
        for (QWidget *button : std::as_const(r->inputButtons))
            button->setEnabled(editing);
        r->label->setVisible(false);
        r->changed = false;
        loadInput(row, editing, editing, true);
    }
    pendingDetails.clear();
}

void LineTagEditorWidget::createRow()
{
    auto *r = new LineEditorRow;
    r->input = createInputWidget(this);
    r->input->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    if (rows.isEmpty())
        setFocusProxy(r->input);
    const int gridRow = gridLayout->count() == 0 ? 0 : gridLayout->rowCount();
    if (qobject_cast<QPlainTextEdit *>(r->input))
        r->buttonLayout = new QVBoxLayout;
    else
        r->buttonLayout = new QHBoxLayout;
    r->buttonLayout->setContentsMargins(0, 0, 0, 0);
    r->buttonLayout->setSpacing(0);
    gridLayout->addWidget(r->input, gridRow, 0);
    gridLayout->addLayout(r->buttonLayout, gridRow, 1, Qt::AlignLeft | Qt::AlignVCenter);
    // The layout shows a new child only later; an added row's input takes the focus at once.
    if (isVisible())
        r->input->show();

    auto makeButton = [this, r](const QString &icon, quint32 toolTip) {
        auto *button = new QToolButton(this);
        button->setIcon(loadIcon(icon));
        button->setToolTip(rowToolTip(toolTip));
        button->setAutoRaise(true);
        r->buttonLayout->addWidget(button, 0, Qt::AlignLeft);
        return button;
    };
    r->editButton = makeButton(QStringLiteral("edit"), EditRowTextId);
    r->editButton->hide();
    connect(r->editButton, &QToolButton::clicked, this, &LineTagEditorWidget::onEditOrUndoButtonClicked);
    r->undoButton = makeButton(QStringLiteral("undo"), UndoRowTextId);
    r->undoButton->hide();
    connect(r->undoButton, &QToolButton::clicked, this, &LineTagEditorWidget::onEditOrUndoButtonClicked);
    if (mode() == MultiValueMode || mode() == DockMode) {
        if (rows.isEmpty()) {
            addButton = makeButton(QStringLiteral("add"), AddRowTextId);
            connect(addButton, &QToolButton::clicked, this, &LineTagEditorWidget::onAddButtonClicked);
        } else {
            r->removeButton = makeButton(QStringLiteral("remove"), RemoveRowTextId);
            // Queued: the click may delete the button.
            connect(r->removeButton, &QToolButton::clicked, this, &LineTagEditorWidget::onRemoveButtonClicked,
                    Qt::QueuedConnection);
        }
    }
    if (mode() != InlineMode) {
        r->detailButton = makeButton(QStringLiteral("list"), RowDetailsTextId);
        r->detailButton->setVisible(detailsVisible);
        connect(r->detailButton, &QToolButton::clicked, this, &LineTagEditorWidget::onDetailButtonClicked);
        r->inputButtons = createInputButtons(r->input, this);
        for (QWidget *button : std::as_const(r->inputButtons))
            r->buttonLayout->addWidget(button, 0, Qt::AlignLeft);
    }
    r->label = new QLabel(this);
    r->label->hide();
    r->buttonLayout->addWidget(r->label, 0, Qt::AlignLeft);
    gridLayout->setRowMinimumHeight(gridRow, r->editButton->sizeHint().height());
    rows.append(r);
}

void LineTagEditorWidget::removeRowWidgets(int row)
{
    LineEditorRow *r = rows.value(row);
    if (!r)
        return;
    int gridRow = -1, column = 0, rowSpan = 0, columnSpan = 0;
    const int index = gridLayout->indexOf(r->input);
    if (index >= 0)
        gridLayout->getItemPosition(index, &gridRow, &column, &rowSpan, &columnSpan);
    if (r->removeButton)
        r->removeButton->disconnect(this);
    if (focusProxy() == r->input)
        setFocusProxy(nullptr);
    if (gridRow >= 0) {
        removeGridRow(gridLayout, gridRow, true);
        gridLayout->setRowMinimumHeight(gridRow, 0);
        gridLayout->setRowStretch(gridRow, 0);
    }
    if (row == 0)
        addButton = nullptr;
    delete r;
    rows.removeAt(row);
    if (row == 0 && !rows.isEmpty())
        setFocusProxy(rows.first()->input);
}

void LineTagEditorWidget::insertRow(const TagItem *item, int row)
{
    if (row != rowCount())
        return;
    UniformTagEditorWidget::insertRow(item, row);
    createRow();
    rows.last()->changed = true;
    loadInput(row, true, true, true);
}

void LineTagEditorWidget::onRowRemoved(int row)
{
    if (row < 0 || row >= rows.size())
        return;
    UniformTagEditorWidget::onRowRemoved(row);
    for (int b = row; b <= rowCount(); ++b) {
        if (pendingDetails.contains(b + 1))
            pendingDetails.insert(b, pendingDetails.value(b + 1));
        else
            pendingDetails.remove(b);
    }
    setWidgetConcealed(this, true);
    removeRowWidgets(row);
    setWidgetConcealed(this, false);
}

void LineTagEditorWidget::readInputValues()
{
    for (LineEditorRow *r : std::as_const(rows))
        r->inputEmpty = isInputEmpty(r->input);
}

bool LineTagEditorWidget::isRowModified(AudioFile *file, int row) const
{
    Q_UNUSED(file)
    const LineEditorRow *r = rows.value(row);
    if (r && isRowEditing(row) && r->changed)
        return true;
    return !pendingDetails.value(row).isEmpty();
}

bool LineTagEditorWidget::isRowEmpty(AudioFile *file, int row) const
{
    const LineEditorRow *r = rows.value(row);
    if (r && isRowEditing(row) && r->changed)
        return r->inputEmpty;
    return itemsByFile.value(file).value(row) == nullptr;
}

void LineTagEditorWidget::writeRow(TagItem *item, AudioFile *file, int row)
{
    Q_UNUSED(file)
    const LineEditorRow *r = rows.value(row);
    if (r && isRowEditing(row) && r->changed)
        writeInput(item, r->input);
    const QMap<int, QVariant> details = pendingDetails.value(row);
    for (auto it = details.constBegin(); it != details.constEnd(); ++it)
        setDetailValue(item, it.key(), it.value());
}

void LineTagEditorWidget::finishEditing(QEvent *event)
{
    Q_UNUSED(event)
    for (int row = int(rows.size()) - 1; row >= 1; --row) {
        const LineEditorRow *r = rows.at(row);
        if (r->undoButton->isHidden() && isRowEditing(row) && isInputEmpty(r->input))
            onRowRemoved(row);
    }
    Q_EMIT editingFinished(this);
}

void LineTagEditorWidget::toggleRowEditing(int row)
{
    LineEditorRow *r = rows.value(row);
    if (!r)
        return;
    UniformTagEditorWidget::toggleRowEditing(row);
    const bool editing = isRowEditing(row);
    setWidgetConcealed(this, true);
    loadInput(row, editing, editing, false);
    r->undoButton->setVisible(editing);
    r->editButton->setVisible(!editing);
    for (QWidget *button : std::as_const(r->inputButtons))
        button->setEnabled(editing);
    if (!editing)
        r->changed = false;
    setWidgetConcealed(this, false);
}

QList<QWidget *> LineTagEditorWidget::createInputButtons(QWidget *input, QWidget *parent)
{
    Q_UNUSED(input)
    Q_UNUSED(parent)
    return {};
}

QList<int> LineTagEditorWidget::detailFields() const
{
    return {};
}

QVariant LineTagEditorWidget::detailValue(const TagItem *item, int field) const
{
    Q_UNUSED(item)
    Q_UNUSED(field)
    return QVariant();
}

void LineTagEditorWidget::setDetailValue(TagItem *item, int field, const QVariant &value)
{
    Q_UNUSED(item)
    Q_UNUSED(field)
    Q_UNUSED(value)
}

int LineTagEditorWidget::rowOfSender(QObject *sender) const
{
    if (!sender)
        return -1;
    for (int row = 0; row < rows.size(); ++row) {
        const LineEditorRow *r = rows.at(row);
        if (r->input == sender)
            return row;
        if (auto *widget = qobject_cast<QWidget *>(sender); widget && r->buttonLayout->indexOf(widget) >= 0)
            return row;
    }
    return -1;
}

void LineTagEditorWidget::ensureRowVisible(int row)
{
    const LineEditorRow *r = rows.value(row);
    if (!r)
        return;
    for (QWidget *w = r->input->parentWidget(); w; w = w->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(w)) {
            ensureWidgetVisible(area, r->input, VisibleRowMargin, VisibleRowMargin);
            return;
        }
    }
}

void LineTagEditorWidget::setDetailsVisible(bool visible)
{
    detailsVisible = visible;
    for (LineEditorRow *r : std::as_const(rows)) {
        if (r->detailButton)
            r->detailButton->setVisible(visible);
    }
}

int LineTagEditorWidget::buttonColumnWidth() const
{
    int width = 0;
    for (int row = 0; row < gridLayout->rowCount(); ++row) {
        if (QLayoutItem *item = gridLayout->itemAtPosition(row, 1)) {
            item->invalidate();
            width = qMax(width, item->sizeHint().width());
        }
    }
    return width;
}

void LineTagEditorWidget::setButtonColumnWidth(int width)
{
    gridLayout->setColumnMinimumWidth(1, width);
    for (LineEditorRow *r : std::as_const(rows)) {
        bool shownButton = false;
        for (int i = 0; i < r->buttonLayout->count(); ++i) {
            auto *button = qobject_cast<QToolButton *>(r->buttonLayout->itemAt(i)->widget());
            if (button && !button->isHidden())
                shownButton = true;
        }
        r->label->setVisible(width > 0 && !shownButton);
    }
}

void LineTagEditorWidget::onAddButtonClicked()
{
    for (int row = 0; row < rows.size(); ++row) {
        QWidget *input = rows.at(row)->input;
        if (isRowEditing(row) && isInputEmpty(input)) {
            input->setFocus(Qt::OtherFocusReason);
            ensureRowVisible(row);
            QToolTip::showText(input->mapToGlobal(QPoint(0, 0)), rowToolTip(FillEmptyRowFirstTextId), input);
            return;
        }
    }
    insertRow(nullptr, rowCount());
    rows.last()->input->setFocus(Qt::OtherFocusReason);
    ensureRowVisible(int(rows.size()) - 1);
}

void LineTagEditorWidget::onEditOrUndoButtonClicked()
{
    const int row = rowOfSender(sender());
    if (row < 0)
        return;
    toggleRowEditing(row);
    if (isRowEditing(row)) {
        // Opening a mixed row is the user's choice to give every file one value.
        rows.at(row)->changed = true;
        rows.at(row)->input->setFocus(Qt::OtherFocusReason);
    }
    ensureRowVisible(row);
}

void LineTagEditorWidget::onRemoveButtonClicked()
{
    const int row = rowOfSender(sender());
    if (row < 0)
        return;
    onRowRemoved(row);
    ensureRowVisible(row - 1);
}

void LineTagEditorWidget::onInputChanged()
{
    const int row = rowOfSender(sender());
    if (row < 0)
        return;
    LineEditorRow *r = rows.at(row);
    if (!loading)
        r->changed = true;
    if (r->detailButton)
        r->detailButton->setEnabled(!(isRowEditing(row) && isInputEmpty(r->input)));
}

void LineTagEditorWidget::onReturnPressed()
{
    Q_EMIT editingFinished(this);
}

void LineTagEditorWidget::onDetailButtonClicked()
{
    const int row = rowOfSender(sender());
    if (row < 0)
        return;
    QMap<int, QVariant> values = pendingDetails.value(row);
    for (int field : detailFields()) {
        if (values.contains(field))
            continue;
        CommonVariantValue common;
        for (AudioFile *file : files()) {
            const TagItem *entry = itemsByFile.value(file).value(row);
            if (entry && common.add(detailValue(entry, field)))
                break;
        }
        // Files without any value of the detail agree on an empty one.
        QVariant value = common.representative;
        if (isUnsetVariant(value))
            value = QString();
        values.insert(field, value);
    }
    if (values.isEmpty())
        return;
    int changed = 0;
    for (AudioFile *file : files()) {
        if (isRowEditing(row) || itemsByFile.value(file).value(row))
            ++changed;
    }
    auto *dialog = new TagEditorDetailsDialog(values, itemType(), changed, int(files().size()), this);
    if (dialog->exec() == QDialog::Accepted) {
        pendingDetails.insert(row, dialog->values());
        Q_EMIT editingFinished(this);
    }
    delete dialog;
}
