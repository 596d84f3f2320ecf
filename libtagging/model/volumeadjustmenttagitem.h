#pragma once

#include "libtagging/model/tagitem.h"

// The loudness-normalisation values of the track and of its album (gains in dB, peaks
// relative to full scale). Never empty: 0 is a valid gain.
class VolumeAdjustmentTagItem : public TagItem
{
public:
    static constexpr int Type = 122;

    explicit VolumeAdjustmentTagItem(QObject *parent = nullptr);
    VolumeAdjustmentTagItem(double trackGain, double trackPeak, double albumGain, double albumPeak,
                            QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    bool equals(const TagItem *other) const override;
    int type() const override;

    double trackGain = 0.0;
    double trackPeak = 0.0;
    double albumGain = 0.0;
    double albumPeak = 0.0;
};
