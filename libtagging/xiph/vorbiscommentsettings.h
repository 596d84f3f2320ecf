#pragma once

#include <QString>

// Options of Vorbis comments. Only coverArtType is stored in the settings.
class VorbisCommentSettings
{
public:
    int coverArtType = 1;
    QString vendor;
    bool framingBit = true;

    bool operator==(const VorbisCommentSettings &other) const = default;
};
