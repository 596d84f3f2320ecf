#include "libgui/itemviews/selectiongeometry.h"

#include <QAbstractItemModel>

#include <vector>

int selectionCellCount(const QItemSelection &selection)
{
    int count = 0;
    for (const QItemSelectionRange &range : selection)
        count += range.width() * range.height();
    return count;
}

QRect selectionBoundingRect(const QItemSelection &selection)
{
    if (selection.isEmpty())
        return QRect();
    int top = INT_MAX, left = INT_MAX, bottom = INT_MIN, right = INT_MIN;
    for (const QItemSelectionRange &range : selection) {
        top = std::min(top, range.top());
        left = std::min(left, range.left());
        bottom = std::max(bottom, range.bottom());
        right = std::max(right, range.right());
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

bool isRectangularSelection(const QItemSelection &selection)
{
    if (selection.isEmpty())
        return false;
    const QRect bounds = selectionBoundingRect(selection);
    return selectionCellCount(selection) == bounds.width() * bounds.height();
}

QRect selectionRangeBounds(const QItemSelectionRange &range)
{
    return QRect(QPoint(range.left(), range.top()), QPoint(range.right(), range.bottom()));
}

QItemSelection selectionFromRect(const QAbstractItemModel *model, const QRect &rect, const QModelIndex &parent)
{
    QItemSelection result;
    if (!model)
        return result;
    result.append(QItemSelectionRange(model->index(rect.top(), rect.left(), parent),
                                      model->index(rect.bottom(), rect.right(), parent)));
    return result;
}

QItemSelection offsetSelectionRanges(const QItemSelection &selection, int top, int left, int bottom, int right)
{
    QItemSelection result;
    for (const QItemSelectionRange &range : selection) {
        const QAbstractItemModel *model = range.model();
        if (!model)
            continue;
        const QModelIndex parent = range.topLeft().parent();
        result.append(QItemSelectionRange(model->index(range.top() + top, range.left() + left, parent),
                                          model->index(range.bottom() + bottom, range.right() + right, parent)));
    }
    return result;
}

QItemSelection offsetSelection(const QItemSelection &selection, const QPoint &offset)
{
    return offsetSelectionRanges(selection, offset.y(), offset.x(), offset.y(), offset.x());
}

QItemSelection boundingSelection(const QItemSelection &selection)
{
    if (selection.size() <= 1 || !selection.first().model())
        return selection;
    return selectionFromRect(selection.first().model(), selectionBoundingRect(selection),
                             selection.first().topLeft().parent());
}

namespace {

// The set cells of a bit grid over the bounds, row-major, as rectangles: each starts at the
// next set cell and grows right and down in turn while a whole column or row is set.
class CellGrid
{
public:
    explicit CellGrid(const QRect &bounds)
        : m_bounds(bounds), m_bits(size_t(bounds.width()) * size_t(bounds.height()), false)
    {
    }

    void set(int row, int column) { bit(row - m_bounds.top(), column - m_bounds.left()) = true; }

    QItemSelection rectangles(const QAbstractItemModel *model, const QModelIndex &parent)
    {
        const int width = m_bounds.width();
        const int height = m_bounds.height();
        QItemSelection result;
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                if (!bit(row, column))
                    continue;
                bit(row, column) = false;
                int right = column;
                int bottom = row;
                bool canGrowRight = true;
                bool canGrowDown = true;
                bool tryRight = true;
                while (canGrowRight || canGrowDown) {
                    if (tryRight && canGrowRight) {
                        const int next = right + 1;
                        bool full = next < width;
                        for (int r = row; full && r <= bottom; ++r)
                            full = bit(r, next);
                        if (full) {
                            for (int r = row; r <= bottom; ++r)
                                bit(r, next) = false;
                            right = next;
                        } else {
                            canGrowRight = false;
                        }
                    } else if (!tryRight && canGrowDown) {
                        const int next = bottom + 1;
                        bool full = next < height;
                        for (int c = column; full && c <= right; ++c)
                            full = bit(next, c);
                        if (full) {
                            for (int c = column; c <= right; ++c)
                                bit(next, c) = false;
                            bottom = next;
                        } else {
                            canGrowDown = false;
                        }
                    }
                    tryRight = !tryRight;
                }
                result.append(
                    QItemSelectionRange(model->index(m_bounds.top() + row, m_bounds.left() + column, parent),
                                        model->index(m_bounds.top() + bottom, m_bounds.left() + right, parent)));
            }
        }
        return result;
    }

private:
    std::vector<bool>::reference bit(int row, int column)
    {
        return m_bits[size_t(row) * size_t(m_bounds.width()) + size_t(column)];
    }

    QRect m_bounds;
    std::vector<bool> m_bits;
};

} // namespace

QItemSelection normalizeSelection(const QItemSelection &selection)
{
    if (selection.size() <= 1 || !selection.first().model())
        return selection;
    CellGrid grid(selectionBoundingRect(selection));
    for (const QItemSelectionRange &range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            for (int column = range.left(); column <= range.right(); ++column)
                grid.set(row, column);
        }
    }
    return grid.rectangles(selection.first().model(), selection.first().topLeft().parent());
}

QItemSelection selectionFromCells(const QAbstractItemModel *model, const QList<QPoint> &cells,
                                  const QModelIndex &parent)
{
    if (!model || cells.isEmpty())
        return QItemSelection();
    int top = INT_MAX, left = INT_MAX, bottom = INT_MIN, right = INT_MIN;
    for (const QPoint &cell : cells) {
        top = std::min(top, cell.y());
        left = std::min(left, cell.x());
        bottom = std::max(bottom, cell.y());
        right = std::max(right, cell.x());
    }
    CellGrid grid(QRect(QPoint(left, top), QPoint(right, bottom)));
    for (const QPoint &cell : cells)
        grid.set(cell.y(), cell.x());
    return grid.rectangles(model, parent);
}

QItemSelection selectionFromIndexes(const QModelIndexList &indexes)
{
    QItemSelection selection;
    for (const QModelIndex &index : indexes)
        selection.append(QItemSelectionRange(index));
    return normalizeSelection(selection);
}
