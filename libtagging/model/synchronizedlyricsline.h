#pragma once

#include <QString>

// One line of synchronised lyrics; the time stamp's unit is the format's.
struct SynchronizedLyricsLine
{
    QString text;
    int time = 0;

    bool operator==(const SynchronizedLyricsLine &other) const = default;
};
