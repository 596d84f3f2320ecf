#include "libtagging/id3/id3v2unknownframetagitem.h"

Id3v2UnknownFrameTagItem::Id3v2UnknownFrameTagItem(const QString &frameId, const Id3v2FrameFlags &flags,
                                                   const QByteArray &data, QObject *parent)
    : UnknownId3v2DataTagItem(frameId, data, parent), flags(flags)
{
}

TagItem *Id3v2UnknownFrameTagItem::clone(QObject *parent) const
{
    return new Id3v2UnknownFrameTagItem(name, flags, data, parent);
}

Id3v2FrameFlags Id3v2UnknownFrameTagItem::flagsOf(const TagItem *item)
{
    const auto *frame = dynamic_cast<const Id3v2UnknownFrameTagItem *>(item);
    return frame ? frame->flags : Id3v2FrameFlags();
}
