#pragma once

// Options of Ogg Opus files.
class OpusSettings
{
public:
    int preferredPaddingSize = 2048;
    int maximumPaddingSize = 8192;

    bool operator==(const OpusSettings &other) const = default;
};
