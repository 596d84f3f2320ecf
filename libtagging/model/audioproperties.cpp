#include "libtagging/model/audioproperties.h"

#include "libcore/text/texttable.h"

namespace {

// The value Unknown of all three enumerations shares one text.
constexpr quint32 unknownText = 0x017DC67B;

QString textOf(const quint32 *ids, int count, int value)
{
    return value >= 0 && value < count ? textForId(ids[value]) : QString();
}

} // namespace

QString AudioProperties::containerName(int container)
{
    // Ogg, AIFF and the unnamed value 6 share their texts with the file types.
    static const quint32 ids[] = {0x17FE2E04, 0x59A45B22, 0x51A49C36, 0xC05E54AE,
                                  0xB9131CC7, 0x8BED42D5, 0x43D82680, unknownText};
    return textOf(ids, 8, container);
}

QString AudioProperties::bitrateTypeName(int bitrateType)
{
    static const quint32 ids[] = {0x5242AC3E, 0xBD7A825B, unknownText};
    return textOf(ids, 3, bitrateType);
}

QString AudioProperties::compressionName(int compression)
{
    static const quint32 ids[] = {0x7294E32C, 0x300832B9, unknownText};
    return textOf(ids, 3, compression);
}
