#pragma once

// Options of FLAC files.
class FlacSettings
{
public:
    int preferredPaddingSize = 2048;
    int maximumPaddingSize = 8192;

    bool operator==(const FlacSettings &other) const = default;
};
