#include "libtagging/id3/id3v2unknownframetagitem.h"

Id3v2UnknownFrameTagItem::Id3v2UnknownFrameTagItem(const QString &frameId, const Id3v2FrameFlags &flags,
                                                   const QByteArray &data, QObject *parent)
    : UnknownId3v2DataTagItem(frameId, flags, data, parent)
{
}

TagItem *Id3v2UnknownFrameTagItem::clone(QObject *parent) const
{
    return new Id3v2UnknownFrameTagItem(name, flags, data, parent);
}

Id3v2FrameFlags Id3v2UnknownFrameTagItem::flagsOf(const TagItem *item)
{
    // The flags live in the unknown ID3v2 data item itself, whoever made it.
    return item && item->type() == UnknownId3v2DataTagItem::Type
               ? static_cast<const UnknownId3v2DataTagItem *>(item)->flags
               : Id3v2FrameFlags();
}
