#pragma once

// Options of MP4 files.
class Mp4Settings
{
public:
    int preferredPaddingSize = 2048;
    int maximumPaddingSize = 8192;

    bool operator==(const Mp4Settings &other) const = default;
};
