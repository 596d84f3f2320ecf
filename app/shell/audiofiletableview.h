#pragma once

#include <QItemSelection>
#include <QMap>
#include <QStringList>
#include <QTableView>

#include "app/model/modeldatatype.h"

class IAudioFileModel;
class OperationQueue;
class QAction;

// The main window's table of the loaded files: rows of files, columns of data types. It
// keeps its selection and the model's in step, remembers column widths per data type for
// the run, collects dropped files in batches and decides how an edit request is served: in
// place, in the single-tag dialog or in the multi-tag dialog.
class AudioFileTableView : public QTableView
{
    Q_OBJECT
public:
    AudioFileTableView(OperationQueue *operationQueue, IAudioFileModel *model, QWidget *parent = nullptr);

    // The current selection as few maximal rectangles.
    QItemSelection normalizedSelection() const;
    // The default width of a column of the data type, in pixels.
    int defaultColumnWidth(const ModelDataType &dataType) const;
    void highlightSelectedRows();
    // Serves an edit request: in place, in a tag dialog, or not at all (false).
    using QTableView::edit;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

    // How long drops are collected into one batch.
    static constexpr int DropBatchMs = 100;

    IAudioFileModel *model;
    OperationQueue *operationQueue;
    QAction *selectColumnAction;
    QAction *sortAscendingAction;
    QAction *sortDescendingAction;
    QMap<ModelDataType, int> columnWidths;
    int contextColumn = -1;

Q_SIGNALS:
    void selectionChanged();
    void dragAndDrop(const QStringList &paths);

public Q_SLOTS:
    void onModelAboutToBeReset();
    void onModelReset();

private Q_SLOTS:
    void onSelectionChangedByUser();
    void onSelectionChangedByModel(const QItemSelection &selection);
    void onColumnContextMenu(const QPoint &pos);
    void onSectionResized(int logicalIndex, int oldSize, int newSize);
    void onSelectColumn();
    void onSortColumnAscending();
    void onSortColumnDescending();
    void emitDragAndDropSignal();

protected Q_SLOTS:
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    bool closingEditor = false;
    bool applyingModelSelection = false;
    QStringList pendingDropPaths;
};
