#pragma once

#include <QDomElement>
#include <QVariantList>

#include "app/webservice/serverapicall.h"

class ArtworkTagItem;

// The base of the calls that identify files: sends the user's identification preferences
// with every request, so that the service shapes dates and artist names the way the user
// configured.
class MetadataApiCall : public ServerApiCall
{
    Q_OBJECT
public:
    // The artwork of the request that was sent under `key`; none in this base.
    virtual ArtworkTagItem *requestArtwork(const QString &key) const;

protected:
    MetadataApiCall(const QString &callId, QObject *parent);
};

// Appends <x k="code"/> naming an item type without values.
void addItemTypeElement(QDomElement parent, int itemType);
// Appends one <m k="code" .../> per value worth sending: DbAlbumImage values as images with
// their variants, anything else as text (values blank after trimming are skipped).
void addImageElement(QDomElement parent, int itemType, const QVariantList &values);
