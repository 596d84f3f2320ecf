#pragma once

#include "libtagging/id3/id3v2frameflags.h"
#include "libtagging/model/unknowndatatagitem.h"

// An ID3v2 frame that no item type maps: the frame id as the name, the frame's content as
// the data, and the frame header's flags so that the frame is written back as it came.
class UnknownId3v2DataTagItem : public UnknownDataTagItem
{
public:
    static constexpr int Type = 112;

    using UnknownDataTagItem::UnknownDataTagItem;
    UnknownId3v2DataTagItem(const QString &frameId, const Id3v2FrameFlags &flags, const QByteArray &data,
                            QObject *parent = nullptr);

    // The flags are copied; equality (the base's) ignores them.
    TagItem *clone(QObject *parent = nullptr) const override;
    int type() const override;

    Id3v2FrameFlags flags;
};
