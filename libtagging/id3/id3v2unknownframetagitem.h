#pragma once

#include "libtagging/id3/id3v2frameflags.h"
#include "libtagging/model/unknownid3v2datatagitem.h"

// An ID3v2 frame kept as it was read, with its header flags: a frame still compressed or
// encrypted must be written back flagged as such, or its bytes would be taken as plain
// content. Same item type as the unknown ID3v2 data it extends.
class Id3v2UnknownFrameTagItem : public UnknownId3v2DataTagItem
{
public:
    Id3v2UnknownFrameTagItem(const QString &frameId, const Id3v2FrameFlags &flags, const QByteArray &data,
                             QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;

    // The flags of an unknown-frame item, the default ones for any other item.
    static Id3v2FrameFlags flagsOf(const TagItem *item);
};
