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

    // The number at the start of a text such as "-7.03 dB"; what follows the number is
    // dropped. A text without a number logs a warning and throws the silent Exception.
    static double parseValue(const QString &text);
    // The texts a gain ("-7.03 dB") and a peak ("0.988525") are written as: two and six
    // decimals as the tools that measure them write them, or as many as it takes to read
    // back the same number (a gain worked out from an old ID3v2 volume frame, say).
    static QString gainText(double gain);
    static QString peakText(double peak);

    TagItem *clone(QObject *parent = nullptr) const override;
    bool equals(const TagItem *other) const override;
    int type() const override;

    double trackGain = 0.0;
    double trackPeak = 0.0;
    double albumGain = 0.0;
    double albumPeak = 0.0;
};
