#pragma once

// Options of ASF files.
class AsfSettings
{
public:
    int preferredPaddingSize = 2048;
    int maximumPaddingSize = 8192;
    bool writeCountSeparately = false;

    bool operator==(const AsfSettings &other) const = default;
};
