#pragma once

#include <QList>
#include <QSize>
#include <QStringList>

#include "libcore/image/codedimage.h"

class ArtworkTagItem;
class DbAlbumImage;
class QObject;

// The square of the setting "artwork/size/preferredSize", or (-1, -1) when it is below 1.
QSize artworkPreferredSize();
// The providers of "artwork/download/providers", in order of preference.
QStringList artworkDownloadProviders();
// The lookup image types of "artwork/download/types", in the order they are fetched; an entry
// that is not a number reads as 0.
QList<int> artworkDownloadTypes();

// The image adjusted to the artwork settings (square, size, format, quality) for storing in
// a tag. Until the artwork tools adjust anything, the image comes back as it is.
CodedImage prepareArtworkImage(const CodedImage &image);

// Downloads the lookup images of one type (of one provider, unless the provider is empty) and
// makes artwork items of them, owned by the parent. For every type but leaflet pages (3) only
// the largest image is kept, and with a valid wanted size the downloads stop at the first image
// that reaches it. An image that cannot be fetched is skipped.
QList<ArtworkTagItem *> createArtworkItemsForImages(const QList<DbAlbumImage> &images, int type,
                                                    const QString &provider, const QSize &wanted,
                                                    QObject *parent);
// The artwork items for the images of a lookup result, type by type in the configured order;
// with a preferred size the configured providers are tried in turn before any provider is.
QList<ArtworkTagItem *> selectLookupArtwork(const QList<DbAlbumImage> &images, QObject *parent);
