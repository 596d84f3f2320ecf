#pragma once

#include <QByteArray>

// One FLAC metadata block: where its header stood (-1 for a block built in memory), its
// type and its body without the header.
struct FlacMetadataBlock
{
    enum Type : int { StreamInfo = 0, Padding = 1, VorbisComment = 4, Picture = 6, Invalid = 127 };

    qint64 offset = -1;
    int type = Invalid;
    QByteArray data;
};
