#pragma once

// Options of Speex files.
class SpeexSettings
{
public:
    int coverArtType = 1;

    bool operator==(const SpeexSettings &other) const = default;
};
