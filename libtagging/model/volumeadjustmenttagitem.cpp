#include "libtagging/model/volumeadjustmenttagitem.h"

#include "libcore/log/exception.h"
#include "libcore/log/logger.h"

#include <QLocale>

namespace {
const quint32 NoVolumeNumber = 3324981228u;

QString numberText(double value, int decimals)
{
    const QString usual = QString::number(value, 'f', decimals);
    if (usual.toDouble() == value)
        return usual;
    // Fixed notation throughout: readers of these texts do not all take an exponent.
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}
} // namespace

VolumeAdjustmentTagItem::VolumeAdjustmentTagItem(QObject *parent) : TagItem(parent) {}

VolumeAdjustmentTagItem::VolumeAdjustmentTagItem(double trackGain, double trackPeak, double albumGain, double albumPeak,
                                                 QObject *parent)
    : TagItem(parent), trackGain(trackGain), trackPeak(trackPeak), albumGain(albumGain), albumPeak(albumPeak)
{
}

double VolumeAdjustmentTagItem::parseValue(const QString &text)
{
    const QString trimmed = text.trimmed();
    qsizetype end = 0;
    while (end < trimmed.size() && QStringView(u"0123456789.,+-").contains(trimmed.at(end)))
        ++end;
    bool ok = false;
    const double number = trimmed.left(end).toDouble(&ok);
    if (ok)
        return number;
    Logger::warning(NoVolumeNumber, {text});
    throw Exception::quiet();
}

QString VolumeAdjustmentTagItem::gainText(double gain)
{
    return numberText(gain, 2) + QStringLiteral(" dB");
}

QString VolumeAdjustmentTagItem::peakText(double peak)
{
    return numberText(peak, 6);
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
