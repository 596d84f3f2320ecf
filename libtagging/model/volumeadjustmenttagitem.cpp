#include "libtagging/model/volumeadjustmenttagitem.h"

VolumeAdjustmentTagItem::VolumeAdjustmentTagItem(QObject *parent) : TagItem(parent) {}

VolumeAdjustmentTagItem::VolumeAdjustmentTagItem(double trackGain, double trackPeak, double albumGain, double albumPeak,
                                                 QObject *parent)
    : TagItem(parent), trackGain(trackGain), trackPeak(trackPeak), albumGain(albumGain), albumPeak(albumPeak)
{
}

TagItem *VolumeAdjustmentTagItem::clone(QObject *parent) const
{
    return new VolumeAdjustmentTagItem(trackGain, trackPeak, albumGain, albumPeak, parent);
}

bool VolumeAdjustmentTagItem::equals(const TagItem *other) const
{
    if (!other || other->type() != Type)
        return false;
    const auto *o = static_cast<const VolumeAdjustmentTagItem *>(other);
    return o->trackGain == trackGain && o->trackPeak == trackPeak && o->albumGain == albumGain
        && o->albumPeak == albumPeak;
}

int VolumeAdjustmentTagItem::type() const
{
    return Type;
}
