#pragma once

#include <QItemSelection>
#include <QModelIndexList>
#include <QPoint>
#include <QRect>

class QAbstractItemModel;

// A QItemSelection seen as a set of cells on a grid. Rectangles run x over columns and y
// over rows, both ends inclusive; the empty rectangle is the null QRect.

// The sum of the ranges' cells; cells shared by ranges count once per range.
int selectionCellCount(const QItemSelection &selection);
QRect selectionBoundingRect(const QItemSelection &selection);
bool isRectangularSelection(const QItemSelection &selection);
QRect selectionRangeBounds(const QItemSelectionRange &range);
QItemSelection selectionFromRect(const QAbstractItemModel *model, const QRect &rect,
                                 const QModelIndex &parent = QModelIndex());
// Each range moved by the offsets of its four sides; ranges without a model are dropped.
QItemSelection offsetSelectionRanges(const QItemSelection &selection, int top, int left, int bottom, int right);
QItemSelection offsetSelection(const QItemSelection &selection, const QPoint &offset);
// One range over the bounding rectangle when there are several.
QItemSelection boundingSelection(const QItemSelection &selection);
// The same cells as few maximal rectangles, found row by row, each grown right and down in
// turn. One range, or ranges without a model, come back unchanged.
QItemSelection normalizeSelection(const QItemSelection &selection);
QItemSelection selectionFromIndexes(const QModelIndexList &indexes);
// The cells (x column, y row) under the parent as maximal rectangles, as normalizeSelection
// makes them, without a range per cell on the way.
QItemSelection selectionFromCells(const QAbstractItemModel *model, const QList<QPoint> &cells,
                                  const QModelIndex &parent = QModelIndex());
