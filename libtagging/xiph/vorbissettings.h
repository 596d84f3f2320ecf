#pragma once

// Options of Ogg Vorbis files.
class VorbisSettings
{
public:
    int coverArtType = 1;

    bool operator==(const VorbisSettings &other) const = default;
};
