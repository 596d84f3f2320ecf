#include "libtagging/model/disctoctagitem.h"

DiscTocTagItem::DiscTocTagItem(QObject *parent) : TagItem(parent) {}

TagItem *DiscTocTagItem::clone(QObject *parent) const
{
    auto *item = new DiscTocTagItem(parent);
    item->firstTrack = firstTrack;
    item->lastTrack = lastTrack;
    item->tracks = tracks;
    item->discId = discId;
    return item;
}

bool DiscTocTagItem::equals(const TagItem *other) const
{
    if (!other || other->type() != Type)
        return false;
    const auto *o = static_cast<const DiscTocTagItem *>(other);
    return o->firstTrack == firstTrack && o->lastTrack == lastTrack && o->tracks == tracks;
}

bool DiscTocTagItem::isEmpty() const
{
    return tracks.isEmpty();
}

int DiscTocTagItem::type() const
{
    return Type;
}
