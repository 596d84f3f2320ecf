#include "app/webservice/dbimagelookupresult.h"

#include "app/artwork/artworkpreparation.h"
#include "libcore/settings/settingsstore.h"

int DbImageLookupResult::downloadedCount() const
{
    int count = 0;
    for (const DbImageLookupEntry &entry : entries) {
        if (!entry.downloaded.isEmpty())
            ++count;
    }
    return count;
}

void DbImageLookupResult::download(int index)
{
    if (index < 0 || index >= entries.size() || !entries[index].downloaded.isEmpty())
        return;
    CodedImage image = entries[index].image.download(artworkPreferredSize());
    if (SettingsStore::boolValue(QStringLiteral("artwork/reprocess/download")))
        image = prepareArtworkImage(image);
    entries[index].downloaded = image;
}
