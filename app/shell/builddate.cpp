#include "app/shell/builddate.h"

#include <QString>

int buildYear()
{
    // __DATE__ reads like "Jan  4 2024": the year is its last four characters.
    static const int year = QString::fromLatin1(__DATE__).right(4).toInt();
    return year;
}
