#include "app/shell/audiofiletableview.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>

#include "app/model/iaudiofilemodel.h"
#include "app/shell/audiofiletabledelegate.h"
#include "app/shell/shelltextids.h"
#include "app/shell/tageditorrouting.h"
#include "libgui/icons/icons.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/combos/extcombobox.h"
#include "libgui/edits/extlineedit.h"
#include "libgui/itemviews/selectiongeometry.h"
#include "libgui/layout/layoututil.h"

namespace {
QAction *headerAction(const char *icon, quint32 text, QObject *parent)
{
    return new QAction(loadIcon(QLatin1String(icon)), upperCaseFirst(textForId(text)), parent);
}

// Widths in average character widths.
int defaultColumnChars(const ModelDataType &type)
{
    if (type.category == ModelDataType::CategoryFileProperty) {
        switch (type.id) {
        case FileProperty::filePath:
        case FileProperty::folderPath:
        case FileProperty::parentFolderPath:
            return 45;
        case FileProperty::fileName:
        case FileProperty::fileNameWithoutSuffix:
        case FileProperty::folderName:
        case FileProperty::parentFolderName:
            return 40;
        default:
            return 20;
        }
    }
    if (!type.isTagItem())
        return 20;
    switch (type.id) {
    case TagItemType::FileName:
        return 40;
    case TagItemType::Album:
    case TagItemType::AlbumArtist:
    case TagItemType::Artist:
    case TagItemType::Title:
        return 25;
    case TagItemType::Rating:
    case TagItemType::Artwork:
        return 10;
    default:
        break;
    }
    switch (TagItem::dataTypeOf(type.id)) {
    case TagItemDataType::Boolean:
    case TagItemDataType::FloatingPoint:
    case TagItemDataType::Integer:
        return 10;
    case TagItemDataType::DateTime:
        return 15;
    default:
        return 20;
    }
}
} // namespace

AudioFileTableView::AudioFileTableView(OperationQueue *operationQueue, IAudioFileModel *model, QWidget *parent)
    : QTableView(parent), model(model), operationQueue(operationQueue)
{
    setModel(model->itemModel());

    QHeaderView *header = horizontalHeader();
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSortIndicator(0, Qt::AscendingOrder);
    header->setContextMenuPolicy(Qt::CustomContextMenu);

    QHeaderView *rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(rows->minimumSectionSize() + 2);

    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerItem);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectItems);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setSortingEnabled(true);
    setAlternatingRowColors(true);
    setStyleSheet(QStringLiteral("QTableView { font-size: %1pt; }").arg(QApplication::font().pointSize() - 1));
    setAcceptDrops(true);

    selectColumnAction = headerAction("selectAll", SelectColumnTextId, this);
    connect(selectColumnAction, &QAction::triggered, this, &AudioFileTableView::onSelectColumn);
    sortAscendingAction = headerAction("sortAscending", SortAscendingTextId, this);
    connect(sortAscendingAction, &QAction::triggered, this, &AudioFileTableView::onSortColumnAscending);
    sortDescendingAction = headerAction("sortDescending", SortDescendingTextId, this);
    connect(sortDescendingAction, &QAction::triggered, this, &AudioFileTableView::onSortColumnDescending);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AudioFileTableView::onSelectionChangedByUser);
    QAbstractItemModel *itemModel = model->itemModel();
    connect(itemModel, SIGNAL(selectionChanged(QItemSelection)), this,
            SLOT(onSelectionChangedByModel(QItemSelection)));
    connect(itemModel, &QAbstractItemModel::modelAboutToBeReset, this, &AudioFileTableView::onModelAboutToBeReset);
    connect(itemModel, &QAbstractItemModel::modelReset, this, &AudioFileTableView::onModelReset);
    connect(header, &QWidget::customContextMenuRequested, this, &AudioFileTableView::onColumnContextMenu);
    connect(header, &QHeaderView::sectionResized, this, &AudioFileTableView::onSectionResized);

    setItemDelegate(new AudioFileTableDelegate(operationQueue, model, this));
    onModelReset();
}

QItemSelection AudioFileTableView::normalizedSelection() const
{
    return normalizeSelection(selectionModel()->selection());
}

int AudioFileTableView::defaultColumnWidth(const ModelDataType &dataType) const
{
    return defaultColumnChars(dataType) * fontMetrics().averageCharWidth();
}

void AudioFileTableView::highlightSelectedRows()
{
    QAbstractItemModel *itemModel = model->itemModel();
    const int lastColumn = itemModel->columnCount() - 1;
    QItemSelection rowsSelection;
    if (lastColumn >= 0) {
        for (const QItemSelectionRange &range : selectionModel()->selection()) {
            rowsSelection.append(QItemSelectionRange(itemModel->index(range.top(), 0),
                                                     itemModel->index(range.bottom(), lastColumn)));
        }
    }
    model->setHighlightedCells(HighlightKind::PaletteHighlight, normalizeSelection(rowsSelection));
}

void AudioFileTableView::onSelectionChangedByUser()
{
    highlightSelectedRows();
    if (!applyingModelSelection)
        Q_EMIT selectionChanged();
}

void AudioFileTableView::onSelectionChangedByModel(const QItemSelection &selection)
{
    setWidgetConcealed(this, true);
    applyingModelSelection = true;
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty()) {
        const QRect r = selectionBoundingRect(selection);
        QAbstractItemModel *itemModel = model->itemModel();
        scrollTo(itemModel->index(r.bottom(), r.right()), EnsureVisible);
        scrollTo(itemModel->index(r.top(), r.left()), EnsureVisible);
    }
    applyingModelSelection = false;
    setWidgetConcealed(this, false);
}

void AudioFileTableView::onModelAboutToBeReset()
{
    setWidgetConcealed(this, true);
}

void AudioFileTableView::onModelReset()
{
    if (isSortingEnabled())
        sortByColumn(horizontalHeader()->sortIndicatorSection(), horizontalHeader()->sortIndicatorOrder());
    const QList<ModelDataType> types = model->dataTypes();
    for (int i = 0; i < types.size(); ++i) {
        const ModelDataType &type = types.at(i);
        if (!columnWidths.contains(type))
            columnWidths.insert(type, defaultColumnWidth(type));
        setColumnWidth(i, columnWidths.value(type));
    }
    setWidgetConcealed(this, false);
    highlightSelectedRows();
    Q_EMIT selectionChanged();
}

void AudioFileTableView::onSectionResized(int logicalIndex, int oldSize, int newSize)
{
    Q_UNUSED(oldSize)
    const QList<ModelDataType> types = model->dataTypes();
    const ModelDataType type = logicalIndex >= 0 && logicalIndex < types.size() ? types.at(logicalIndex) : ModelDataType();
    if (type.category == ModelDataType::CategoryNone)
        return;
    columnWidths[type] = newSize;
}

void AudioFileTableView::onColumnContextMenu(const QPoint &pos)
{
    QHeaderView *header = horizontalHeader();
    contextColumn = header->logicalIndexAt(pos);
    const bool enabled = contextColumn != -1 && model->itemModel()->rowCount() > 0;
    selectColumnAction->setEnabled(enabled);
    sortAscendingAction->setEnabled(enabled);
    sortDescendingAction->setEnabled(enabled);
    QMenu menu;
    menu.addAction(selectColumnAction);
    menu.addAction(sortAscendingAction);
    menu.addAction(sortDescendingAction);
    // The column choice of the view commands joins here once those commands exist.
    menu.exec(header->mapToGlobal(pos));
}

void AudioFileTableView::onSelectColumn()
{
    if (contextColumn != -1)
        selectColumn(contextColumn);
}

void AudioFileTableView::onSortColumnAscending()
{
    if (contextColumn != -1)
        sortByColumn(contextColumn, Qt::AscendingOrder);
}

void AudioFileTableView::onSortColumnDescending()
{
    if (contextColumn != -1)
        sortByColumn(contextColumn, Qt::DescendingOrder);
}

void AudioFileTableView::contextMenuEvent(QContextMenuEvent *event)
{
    // The cell menu holds the shared commands of the command trees; none is offered yet, and
    // an empty menu is not shown.
    QMenu menu;
    if (!menu.actions().isEmpty())
        menu.exec(event->globalPos());
}

void AudioFileTableView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls() && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void AudioFileTableView::dragMoveEvent(QDragMoveEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void AudioFileTableView::dropEvent(QDropEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (!event->mimeData()->hasUrls())
        return;
    const bool wasEmpty = pendingDropPaths.isEmpty();
    for (const QUrl &url : event->mimeData()->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty())
            pendingDropPaths.append(path);
    }
    if (wasEmpty && !pendingDropPaths.isEmpty())
        QTimer::singleShot(DropBatchMs, this, &AudioFileTableView::emitDragAndDropSignal);
}

void AudioFileTableView::emitDragAndDropSignal()
{
    if (pendingDropPaths.isEmpty())
        return;
    const QStringList paths = pendingDropPaths;
    pendingDropPaths.clear();
    Q_EMIT dragAndDrop(paths);
}

void AudioFileTableView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        if (!edit(currentIndex(), EditKeyPressed, event))
            event->ignore();
        return;
    default:
        QTableView::keyPressEvent(event);
    }
}

void AudioFileTableView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    closingEditor = true;
    QTableView::closeEditor(editor, hint);
    closingEditor = false;
}

QModelIndex AudioFileTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    if (!closingEditor || (action != MoveNext && action != MovePrevious) || !current.isValid())
        return QTableView::moveCursor(action, modifiers);
    QAbstractItemModel *itemModel = model->itemModel();
    const int rows = itemModel->rowCount();
    const int columns = itemModel->columnCount();
    int row = current.row();
    int column = current.column();
    for (;;) {
        if (action == MoveNext) {
            if (++column >= columns) {
                column = 0;
                if (++row >= rows)
                    row = 0;
            }
        } else if (--column < 0) {
            column = columns - 1;
            if (--row < 0)
                row = rows - 1;
        }
        if (row == current.row() && column == current.column())
            break;
        if (isRowHidden(row) || isColumnHidden(column))
            continue;
        const QModelIndex index = itemModel->index(row, column);
        const Qt::ItemFlags flags = itemModel->flags(index);
        if (!(flags & Qt::ItemIsSelectable) || !(flags & Qt::ItemIsEnabled))
            continue;
        if (model->isEditable(index))
            return index;
    }
    return QTableView::moveCursor(action, modifiers);
}

void AudioFileTableView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                     const QList<int> &roles)
{
    // Cell by cell: the base repaints single cells instead of the whole viewport.
    QAbstractItemModel *itemModel = model->itemModel();
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        for (int column = topLeft.column(); column <= bottomRight.column(); ++column) {
            const QModelIndex index = itemModel->index(row, column, topLeft.parent());
            QTableView::dataChanged(index, index, roles);
        }
    }
}

bool AudioFileTableView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const QItemSelection selection = normalizedSelection();
    const AudioFileSelection cells = model->cellSelection(selection);
    bool result = false;
    if (trigger != AllEditTriggers) {
        if (!(editTriggers() & trigger) || (editTriggers() != NoEditTriggers && trigger == NoEditTriggers))
            return false;
        if (trigger == DoubleClicked || trigger == SelectedClicked) {
            result = selection.contains(index);
            if (!result)
                return false;
        }
    }
    const QModelIndex cell = selection.isEmpty() ? index : QModelIndex(selection.first().topLeft());
    const int fileCount = int(cells.dataTypesByFile().size());
    const QList<ModelDataType> types = cells.filesByDataType().keys();

    if (fileCount == 1 && types.size() == 1 && model->isEditable(cell)) {
        if (!QTableView::edit(cell, trigger, nullptr))
            return false;
        QWidget *widget = indexWidget(cell);
        if (!widget)
            return false;
        while (widget->focusProxy())
            widget = widget->focusProxy();
        bool forwardMouse = false;
        if (auto *combo = qobject_cast<ExtComboBox *>(widget)) {
            if (combo->isEditable())
                combo->lineEdit()->selectAll();
            else
                combo->showPopupInstantly();
        } else if (auto *line = qobject_cast<ExtLineEdit *>(widget)) {
            if (!line->inputMask().isEmpty())
                line->setCursorPosition(0);
            else
                forwardMouse = true;
        }
        if (!event)
            return true;
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick
            || event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseMove) {
            if (result && forwardMouse) {
                auto *mouse = static_cast<QMouseEvent *>(event);
                const QPointF global = mouse->globalPosition();
                QMouseEvent press(QEvent::MouseButtonPress, widget->mapFromGlobal(global), global, mouse->button(),
                                  mouse->buttons(), mouse->modifiers());
                QApplication::sendEvent(widget, &press);
            }
            return true;
        }
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) {
                QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                               ushort(key->count()));
                QApplication::sendEvent(widget, &copy);
            }
            return true;
        }
        event->setAccepted(true);
        QApplication::sendEvent(widget, event);
        return true;
    }

    if (types.size() == 1 && types.first().isTagItem()) {
        const int itemType = types.first().id;
        const int mode = TagEditorRouting::isMultiValueItemType(itemType) ? 3 : 1;
        if (TagEditorRouting::hasEditor(itemType, mode))
            return TagEditorRouting::runSingleTagEditorDialog(itemType, mode, cells, operationQueue, this);
    }
    if (trigger == AnyKeyPressed)
        return false; // typing never opens the multi-tag dialog
    return TagEditorRouting::runMultiTagEditorDialog(cells, operationQueue, this);
}
