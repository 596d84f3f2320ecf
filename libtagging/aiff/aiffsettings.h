#pragma once

// Options of AIFF files.
class AiffSettings
{
public:
    int maximumPaddingSize = 8192;
    int id3Version = 3;
    int id3TextEncoding = 6;

    bool operator==(const AiffSettings &other) const = default;
};
