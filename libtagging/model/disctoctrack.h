#pragma once

#include <QtGlobal>

// One entry of a CD's table of contents.
struct DiscTocTrack
{
    quint32 address = 0; // in CD frames, 75 per second
    int number = 1;      // 170: the lead-out
    int channels = 2;
    bool isAudio = true;
    bool copyPermitted = false;
    bool preEmphasis = false;
    int adr = 1;
    int reserved1 = 0;
    int reserved2 = 0;

    bool operator==(const DiscTocTrack &other) const = default;
};
