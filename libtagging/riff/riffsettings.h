#pragma once

// Options of RIFF/WAVE files.
class RiffSettings
{
public:
    int maximumPaddingSize = 8192;
    int id3Version = 3;
    int id3TextEncoding = 6;

    bool operator==(const RiffSettings &other) const = default;
};
