#pragma once

#include <QHash>
#include <QList>

#include <algorithm>
#include <functional>

// List manipulations that QList lacks. Every function detaches the list it changes, so
// other copies keep their contents; pointed-to objects are never deleted.
class ListUtil
{
public:
    // Sorts in place by the element's less-than, ascending or descending. Stable: equal
    // elements keep their order either way.
    template<typename T>
    static void sort(QList<T> &list, bool ascending = true)
    {
        sort(list, ascending, std::less<T>());
    }

    // The same with an explicit less-than, for elements without a natural order (pointers
    // ordered by what they point to).
    template<typename T, typename LessThan>
    static void sort(QList<T> &list, bool ascending, LessThan lessThan)
    {
        list.detach();
        if (list.isEmpty())
            return;
        if (ascending)
            std::stable_sort(list.begin(), list.end(), lessThan);
        else
            std::stable_sort(list.begin(), list.end(),
                             [&lessThan](const T &a, const T &b) { return lessThan(b, a); });
    }

    // Inserts all items before position index; an index past the end appends. A negative
    // index or no items changes nothing.
    template<typename T>
    static void insert(QList<T> &list, int index, const QList<T> &items)
    {
        if (items.isEmpty() || index < 0)
            return;
        if (items.size() == 1) {
            list.insert(std::min<qsizetype>(index, list.size()), items.first());
            return;
        }
        if (index >= list.size()) {
            list.append(items);
            return;
        }
        QList<T> result;
        result.reserve(list.size() + items.size());
        result.append(list.mid(0, index));
        result.append(items);
        result.append(list.mid(index));
        list = result;
    }

    // Removes count elements from index; the range is clamped to the list.
    template<typename T>
    static void removeRange(QList<T> &list, int index, int count)
    {
        if (count <= 0)
            return;
        qsizetype first = index;
        qsizetype last = qsizetype(index) + count; // one past the end
        first = std::max<qsizetype>(first, 0);
        last = std::min<qsizetype>(last, list.size());
        if (first >= last)
            return;
        list.remove(first, last - first);
    }

    // Removes the last occurrence of every distinct given item; items not in the list are
    // ignored and the remaining elements keep their order.
    template<typename T>
    static void removeItems(QList<T> &list, const QList<T> &items)
    {
        if (items.isEmpty() || list.isEmpty())
            return;
        QHash<T, int> lastPosition;
        for (int i = 0; i < list.size(); ++i)
            lastPosition.insert(list.at(i), i);
        QList<int> positions;
        for (const T &item : items) {
            const auto it = lastPosition.find(item);
            if (it != lastPosition.end()) {
                positions.append(it.value());
                lastPosition.erase(it); // each position is taken once
            }
        }
        std::sort(positions.begin(), positions.end());
        // Runs of consecutive positions, removed from the back so earlier ones stay valid.
        int end = int(positions.size());
        while (end > 0) {
            int start = end - 1;
            while (start > 0 && positions.at(start - 1) == positions.at(start) - 1)
                --start;
            removeRange(list, positions.at(start), end - start);
            end = start;
        }
    }

    template<typename T>
    static void reverse(QList<T> &list)
    {
        const qsizetype n = list.size();
        if (n < 2)
            return;
        for (qsizetype i = 0; i < n / 2; ++i)
            list.swapItemsAt(i, n - 1 - i);
    }

    // Each element converted to U, in order (pointer lists to base or derived pointers).
    template<typename U, typename T>
    static QList<U> convert(const QList<T> &list)
    {
        QList<U> result;
        result.reserve(list.size());
        for (const T &item : list)
            result.append(static_cast<U>(item));
        return result;
    }

    template<typename T>
    static QList<T> filled(int count, const T &value = T())
    {
        QList<T> result;
        if (count <= 0)
            return result;
        result.reserve(count);
        for (int i = 0; i < count; ++i)
            result.append(value);
        return result;
    }
};
