#pragma once

#include <QList>

#include "app/webservice/dbalbumimage.h"

// One candidate of an image search and, once fetched, its image.
struct DbImageLookupEntry
{
    DbAlbumImage image;
    CodedImage downloaded; // empty until downloaded
};

// The candidates of a manual image search.
class DbImageLookupResult
{
public:
    int downloadedCount() const;
    // Downloads entry `index` at the preferred artwork size unless it has its image already;
    // throws what DbAlbumImage::download throws. An index out of range does nothing.
    void download(int index);

    bool tooManyResults = false;
    QList<DbImageLookupEntry> entries;
};
