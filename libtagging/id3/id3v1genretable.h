#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The ID3v1 genre list with the Winamp extensions: numbers 0 to 147. Other formats use it
// to turn genre numbers into names; the genre editor offers the sorted names. Built once,
// read-only afterwards, so every thread reads it without a lock.
class Id3v1GenreTable
{
public:
    static constexpr int Count = 148;

    static const QHash<int, QString> &genres();
    // The comparison key of each name (letters and digits, lower-cased) to its number.
    static const QHash<QString, int> &genreNumbers();
    // The names in ascending QString order (case-sensitive, by UTF-16 unit).
    static const QStringList &sortedGenreNames();

    // The name of a number, empty when the table has none.
    static QString genreName(int number);
    // The number of a name compared by its key, -1 when the table has none.
    static int genreNumber(const QString &name);
};
