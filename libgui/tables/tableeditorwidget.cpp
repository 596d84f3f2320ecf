#include "libgui/tables/tableeditorwidget.h"

#include <QHBoxLayout>
#include <QItemSelection>
#include <QLineEdit>
#include <QVBoxLayout>

#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/icons/icons.h"
#include "libgui/itemviews/selectiongeometry.h"
#include "libgui/layout/layoututil.h"

TableEditorWidget::TableEditorWidget(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    table = new ExtTableWidget();
    layout->addWidget(table, 0);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                           | QAbstractItemView::EditKeyPressed);
    auto *delegate = new TableEditorDelegate(table);
    table->setItemDelegate(delegate);
    connect(table, &QTableWidget::currentCellChanged, this, &TableEditorWidget::updateGui);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TableEditorWidget::updateGui);
    connect(delegate, &QAbstractItemDelegate::commitData, this, &TableEditorWidget::onRowDataChanged);

    auto *buttons = new QVBoxLayout();
    layout->addLayout(buttons, 0);
    const auto makeButton = [&](const char *iconName, quint32 tipId, void (TableEditorWidget::*slot)()) {
        auto *button = new QToolButton(this);
        button->setIcon(loadIcon(QString::fromLatin1(iconName)));
        button->setToolTip(upperCaseFirst(textForId(tipId)));
        connect(button, &QToolButton::clicked, this, slot);
        buttons->addWidget(button);
        return button;
    };
    addRowButton = makeButton("add", TableEditorAddTextId, &TableEditorWidget::onAddButtonClicked);
    editRowButton = makeButton("edit", TableEditorEditTextId, &TableEditorWidget::onEditButtonClicked);
    removeRowButton = makeButton("remove", TableEditorRemoveTextId, &TableEditorWidget::onRemoveButtonClicked);
    moveUpButton = makeButton("up", TableEditorUpTextId, &TableEditorWidget::onUpButtonClicked);
    moveDownButton = makeButton("down", TableEditorDownTextId, &TableEditorWidget::onDownButtonClicked);
    buttons->addStretch();
    updateGui();
}

TableEditorWidget::~TableEditorWidget()
{
    // The table outlives this part of the object while QWidget deletes the children, and
    // its selection changes must not reach the slots of a half-destroyed editor.
    disconnect(table, nullptr, this, nullptr);
    disconnect(table->selectionModel(), nullptr, this, nullptr);
    disconnect(table->itemDelegate(), nullptr, this, nullptr);
}

int TableEditorWidget::columnCount() const
{
    return table->columnCount();
}

void TableEditorWidget::setColumns(const QStringList &labels)
{
    table->setColumnCount(int(labels.size()));
    table->setHorizontalHeaderLabels(labels);
    updateGui();
}

int TableEditorWidget::rowCount() const
{
    return table->rowCount();
}

void TableEditorWidget::setRowCount(int rows)
{
    rowOrigins.clear();
    for (int i = 0; i < rows; ++i)
        rowOrigins.append(i);
    table->setRowCount(rows);
    updateGui();
}

QVariant TableEditorWidget::value(int row, int column) const
{
    const QTableWidgetItem *it = table->item(row, column);
    if (!it)
        return QVariant();
    return QVariant(it->data(Qt::DisplayRole).toString());
}

void TableEditorWidget::setValue(int row, int column, const QVariant &value)
{
    if (value.isValid()) {
        auto *it = new QTableWidgetItem();
        it->setData(Qt::DisplayRole, value.toString());
        table->setItem(row, column, it);
    } else {
        delete table->takeItem(row, column);
    }
}

void TableEditorWidget::resizeColumnsToContents()
{
    fitViewColumnsToContents(table);
}

void TableEditorWidget::updateGui()
{
    const int row = table->currentRow();
    addRowButton->setEnabled(true);
    editRowButton->setEnabled(row != -1);
    removeRowButton->setEnabled(row != -1);
    moveUpButton->setEnabled(row > 0);
    moveDownButton->setEnabled(row != -1 && row < table->rowCount() - 1);
}

void TableEditorWidget::onAddButtonClicked()
{
    const int index = table->rowCount();
    table->insertRow(index);
    for (int c = 0; c < table->columnCount(); ++c)
        table->setItem(index, c, new QTableWidgetItem());
    rowOrigins.append(-1);
    table->setCurrentCell(index, qMax(0, table->currentColumn()));
    table->selectRow(index);
    updateGui();
    onEditButtonClicked();
    Q_EMIT rowInserted(index);
}

void TableEditorWidget::onEditButtonClicked()
{
    table->edit(table->currentIndex());
}

void TableEditorWidget::onRemoveButtonClicked()
{
    const int row = table->currentRow();
    if (row < 0)
        return;
    table->removeRow(row);
    rowOrigins.removeAt(row);
    updateGui();
    Q_EMIT rowRemoved(row);
}

void TableEditorWidget::onUpButtonClicked()
{
    moveCurrentRow(-1);
}

void TableEditorWidget::onDownButtonClicked()
{
    moveCurrentRow(1);
}

void TableEditorWidget::moveCurrentRow(int step)
{
    const int row = table->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= table->rowCount())
        return;
    for (int c = 0; c < table->columnCount(); ++c) {
        QTableWidgetItem *moving = table->takeItem(row, c);
        QTableWidgetItem *other = table->takeItem(target, c);
        table->setItem(target, c, moving);
        table->setItem(row, c, other);
    }
    rowOrigins.move(row, target);

    // The selection travels with the row.
    QItemSelectionModel *selection = table->selectionModel();
    const QItemSelection shifted = offsetSelection(selection->selection(), QPoint(0, step));
    selection->select(shifted, QItemSelectionModel::ClearAndSelect);
    selection->setCurrentIndex(table->model()->index(target, qMax(0, table->currentColumn())),
                               QItemSelectionModel::NoUpdate);
    updateGui();
    Q_EMIT rowMoved(row, target);
}

void TableEditorWidget::onRowDataChanged()
{
    Q_EMIT rowEdited(table->currentRow());
}

TableEditorDelegate::TableEditorDelegate(QTableWidget *table)
    : ExtItemDelegate(table), table(table)
{
}

void TableEditorDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                       const QModelIndex &index) const
{
    if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
        if (edit->text().isEmpty() && !table->item(index.row(), index.column()))
            return;
    }
    ExtItemDelegate::setModelData(editor, model, index);
}

void TableEditorDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    ExtItemDelegate::initStyleOption(option, index);
    if (table->item(index.row(), index.column()))
        return;
    const QPalette &palette = table->palette();
    option->palette.setBrush(QPalette::All, QPalette::Text, palette.color(QPalette::Disabled, QPalette::Text));
    option->backgroundBrush = palette.brush(QPalette::Disabled, QPalette::Base);
    option->features |= QStyleOptionViewItem::HasDisplay;
    option->text = upperCaseFirst(textForId(TableEditorEmptyCellTextId));
}
