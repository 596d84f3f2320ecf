#pragma once

// One event of an event timing list; the time stamp's unit is the format's.
struct TimedEvent
{
    int type = 0;
    int time = 0;

    bool operator==(const TimedEvent &other) const = default;
};
