#include "app/artwork/artworkpreparation.h"

#include "libcore/settings/settingsstore.h"

QSize artworkPreferredSize()
{
    const int side = SettingsStore::value(QStringLiteral("artwork/size/preferredSize")).trimmed().toInt();
    return side < 1 ? QSize(-1, -1) : QSize(side, side);
}

CodedImage prepareArtworkImage(const CodedImage &image)
{
    return image;
}
