#include "libtagging/riff/riffstreamio.h"

#include "libtagging/riff/iffsettingsio.h"

RiffSettings RiffStreamIo::loadSettings(const QString &group)
{
    return loadIffSettings<RiffSettings>(group);
}

void RiffStreamIo::saveSettings(const RiffSettings &settings, const QString &group)
{
    saveIffSettings(settings, group);
}
