#pragma once

#include <QList>
#include <QObject>

// Which row (an identification field) is mapped to which column (a candidate segment
// group), every row and every column used at most once.
class IdMappingMatrix : public QObject
{
public:
    IdMappingMatrix(int rows, int columns, QObject *parent = nullptr);

    // Cells outside the matrix are ignored on writing and read as false.
    void set(int row, int column, bool value);
    bool isSet(int row, int column) const;
    int setCount() const { return m_setCount; }
    int rowCount() const { return m_rowCount; }
    int columnCount() const { return m_columnCount; }
    // The column of the row's set cell, -1 when it has none.
    int columnOfRow(int row) const;

    // The mapping with the largest (or, minimising, the smallest) total weight that a bounded
    // breadth-first search over partial assignments finds. A weight of -1 forbids a cell; the
    // column count is the first row's, and a shorter row's missing cells are forbidden. The
    // matrix belongs to the parent.
    static IdMappingMatrix *fromWeights(const QList<QList<int>> &weights, bool minimise, QObject *parent);

private:
    QList<QList<bool>> m_cells;
    int m_setCount = 0;
    int m_rowCount;
    int m_columnCount;
};
