#include "libtagging/aiff/aiffstreamio.h"

#include "libtagging/riff/iffsettingsio.h"

AiffSettings AiffStreamIo::loadSettings(const QString &group)
{
    return loadIffSettings<AiffSettings>(group);
}

void AiffStreamIo::saveSettings(const AiffSettings &settings, const QString &group)
{
    saveIffSettings(settings, group);
}
