#pragma once

#include <QList>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVariant>
#include <QWidget>

#include "libgui/tables/exttablewidget.h"

enum TableEditorTextId : quint32 {
    TableEditorAddTextId = 2644101860u,
    TableEditorEditTextId = 613802091u,
    TableEditorRemoveTextId = 393093025u,
    TableEditorUpTextId = 3975614492u,
    TableEditorDownTextId = 637798468u,
    TableEditorEmptyCellTextId = 2170423652u,
};

// An editor for a list of rows: a table with add, edit, remove, up and down buttons beside
// it. rowOrigins tells the owner where each row came from: its row when the rows were last
// set, or -1 for a row added here.
class TableEditorWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TableEditorWidget(QWidget *parent = nullptr);
    ~TableEditorWidget() override;

    int columnCount() const;
    void setColumns(const QStringList &labels);
    int rowCount() const;
    void setRowCount(int rows);
    QVariant value(int row, int column) const;
    void setValue(int row, int column, const QVariant &value);
    void resizeColumnsToContents();

    ExtTableWidget *table;
    QToolButton *addRowButton;
    QToolButton *editRowButton;
    QToolButton *removeRowButton;
    QToolButton *moveUpButton;
    QToolButton *moveDownButton;
    QList<int> rowOrigins;

Q_SIGNALS:
    void rowInserted(int index);
    void rowEdited(int index);
    void rowRemoved(int index);
    void rowMoved(int from, int to);

private Q_SLOTS:
    void onAddButtonClicked();
    void onEditButtonClicked();
    void onRemoveButtonClicked();
    void onUpButtonClicked();
    void onDownButtonClicked();
    void updateGui();
    void onRowDataChanged();

private:
    void moveCurrentRow(int step);
};

// Shows a greyed placeholder in cells without an item, and keeps such a cell empty when
// an empty text is confirmed in it.
class TableEditorDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TableEditorDelegate(QTableWidget *table);

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

    QTableWidget *table;
};
