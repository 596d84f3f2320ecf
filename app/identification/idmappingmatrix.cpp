#include "app/identification/idmappingmatrix.h"

#include <QByteArray>
#include <QHash>

namespace {
constexpr int Forbidden = -1;

// One row's column per row, -1 for a row without one yet, and what it weighs.
struct Assignment {
    QList<int> columns;
    qint64 total = 0;
};

// The rows an assignment covers, one bit each: assignments that cover the same rows are one
// class, of which only the best goes on.
QByteArray coveredRows(const QList<int> &columns)
{
    QByteArray mask((columns.size() + 7) / 8, '\0');
    for (qsizetype row = 0; row < columns.size(); ++row) {
        if (columns.at(row) != -1)
            mask[row / 8] = char(mask.at(row / 8) | (1 << (row % 8)));
    }
    return mask;
}
} // namespace

IdMappingMatrix::IdMappingMatrix(int rows, int columns, QObject *parent)
    : QObject(parent), m_rowCount(qMax(rows, 0)), m_columnCount(qMax(columns, 0))
{
    m_cells.fill(QList<bool>(m_columnCount, false), m_rowCount);
}

void IdMappingMatrix::set(int row, int column, bool value)
{
    if (row < 0 || row >= m_rowCount || column < 0 || column >= m_columnCount)
        return;
    bool &cell = m_cells[row][column];
    if (cell == value)
        return;
    m_setCount += value ? 1 : -1;
    cell = value;
}

bool IdMappingMatrix::isSet(int row, int column) const
{
    if (row < 0 || row >= m_rowCount || column < 0 || column >= m_columnCount)
        return false;
    return m_cells.at(row).at(column);
}

int IdMappingMatrix::columnOfRow(int row) const
{
    if (row < 0 || row >= m_rowCount)
        return -1;
    const qsizetype column = m_cells.at(row).indexOf(true);
    return int(column);
}

IdMappingMatrix *IdMappingMatrix::fromWeights(const QList<QList<int>> &weights, bool minimise, QObject *parent)
{
    const int n = int(weights.size());
    const int m = n > 0 ? int(weights.first().size()) : 0;
    auto *matrix = new IdMappingMatrix(n, m, parent);
    if (n == 0 || m == 0)
        return matrix;

    const auto weight = [&weights](int row, int column) {
        const QList<int> &cells = weights.at(row);
        return column < cells.size() ? cells.at(column) : Forbidden;
    };
    const auto better = [minimise](qint64 a, qint64 b) { return minimise ? a < b : a > b; };

    QList<int> rowAllowed(n, 0);
    QList<int> columnAllowed(m, 0);
    for (int row = 0; row < n; ++row) {
        for (int column = 0; column < m; ++column) {
            if (weight(row, column) != Forbidden) {
                ++rowAllowed[row];
                ++columnAllowed[column];
            }
        }
    }
    QList<bool> rowDone(n);
    QList<bool> columnDone(m);
    for (int row = 0; row < n; ++row)
        rowDone[row] = rowAllowed.at(row) == 0;
    for (int column = 0; column < m; ++column)
        columnDone[column] = columnAllowed.at(column) == 0;

    // A row with one allowed column that no other row may take needs no search.
    for (int row = 0; row < n; ++row) {
        if (rowAllowed.at(row) != 1)
            continue;
        int column = 0;
        while (weight(row, column) == Forbidden)
            ++column;
        if (columnAllowed.at(column) == 1) {
            rowDone[row] = true;
            columnDone[column] = true;
            matrix->set(row, column, true);
        }
    }

    QList<Assignment> current{Assignment{QList<int>(n, -1), 0}};
    for (int level = 0; level < n; ++level) {
        QList<Assignment> extensions;
        QList<bool> used(m);
        for (const Assignment &partial : std::as_const(current)) {
            used.fill(false);
            for (int column : partial.columns) {
                if (column >= 0)
                    used[column] = true;
            }
            for (int row = 0; row < n; ++row) {
                if (partial.columns.at(row) != -1 || rowDone.at(row))
                    continue;
                int best = -1;
                for (int column = 0; column < m; ++column) {
                    const int w = weight(row, column);
                    if (w == Forbidden || columnDone.at(column) || used.at(column))
                        continue;
                    if (best == -1 || better(w, weight(row, best)))
                        best = column;
                }
                if (best == -1)
                    continue;
                Assignment extension = partial;
                extension.columns[row] = best;
                extension.total += weight(row, best);
                extensions.append(std::move(extension));
            }
        }
        if (extensions.isEmpty())
            break;

        // Classes in the order they were started, each represented by its best member, the
        // earliest on equal totals.
        QList<Assignment> merged;
        QHash<QByteArray, qsizetype> classOf;
        for (Assignment &extension : extensions) {
            const QByteArray key = coveredRows(extension.columns);
            const auto it = classOf.constFind(key);
            if (it == classOf.cend()) {
                classOf.insert(key, merged.size());
                merged.append(std::move(extension));
            } else if (better(extension.total, merged.at(*it).total)) {
                merged[*it] = std::move(extension);
            }
        }
        current = std::move(merged);
    }

    const Assignment *chosen = &current.first();
    for (const Assignment &candidate : std::as_const(current)) {
        if (better(candidate.total, chosen->total))
            chosen = &candidate;
    }
    for (int row = 0; row < n; ++row) {
        if (chosen->columns.at(row) != -1)
            matrix->set(row, chosen->columns.at(row), true);
    }
    return matrix;
}
