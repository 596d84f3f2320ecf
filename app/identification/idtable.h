#pragma once

#include <QList>

// Rows of values lined up column by column: a row per file or string, a column per position.
// A plain value; the functions that line things up keep one on the stack.
template<typename T>
class IdTable
{
public:
    void appendRow(const QList<T> &row)
    {
        rows.append(row);
        width = qMax(width, int(row.size()));
    }
    // An empty row past the last.
    QList<T> row(int i) const { return i < rows.size() ? rows.at(i) : QList<T>(); }
    // The value at the position of every row long enough, in row order.
    QList<T> column(int i) const
    {
        QList<T> values;
        for (const QList<T> &r : rows) {
            if (r.size() > i)
                values.append(r.at(i));
        }
        return values;
    }

    QList<QList<T>> rows;
    int width = 0; // the length of the longest row
};
