#pragma once

#include <QtGlobal>

// The padding a writer leaves after what it rewrote: the space left over from the old layout
// when there is some (none counts) and it is not above the maximum, else the preferred size.
// Settings is a format's option record (maximumPaddingSize, preferredPaddingSize).
template<typename Settings>
qint64 paddingSize(qint64 leftover, const Settings &settings)
{
    return leftover >= 0 && leftover <= settings.maximumPaddingSize ? leftover : settings.preferredPaddingSize;
}
