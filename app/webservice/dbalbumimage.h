#pragma once

#include <QDomNode>
#include <QList>
#include <QMetaType>
#include <QSize>
#include <QString>

#include "libcore/image/codedimage.h"

enum DbAlbumImageTextId : quint32 {
    ImageAddressRefusedTextId = 3661034524u, // [url]
};

// One downloadable form of an artwork candidate: the same picture at one size.
struct DbAlbumImageVariant
{
    QString url;
    QString detail;
    QString key; // ties the variant to an artwork that a request sent
    int width = -1; // -1 when the reply gives no size
    int height = -1;

    bool isSized() const { return width >= 0 && height >= 0; }
    qint64 area() const { return qint64(width) * height; }
    bool operator==(const DbAlbumImageVariant &other) const = default;
};

// An artwork candidate of a lookup result: the picture's type, provider and comment, and its
// variants in the order of the reply.
class DbAlbumImage
{
public:
    // The smallest side a downloaded image may have.
    static constexpr int MinimumSide = 32;

    DbAlbumImage() = default;
    DbAlbumImage(int type, const QString &provider, const QString &comment);

    bool operator==(const DbAlbumImage &other) const;
    bool operator!=(const DbAlbumImage &other) const { return !(*this == other); }

    // The picture type of an artwork item (front cover 3, back cover 4, leaflet 5, media 6,
    // else 0).
    int pictureType() const;

    int firstUnsizedVariant() const;
    // The sized variant of least area that reaches the wanted width or height; -1 for none
    // or for a wanted size with a negative side.
    int smallestCoveringVariant(const QSize &wanted) const;
    // The first unsized variant, else the sized one of largest area; -1 without variants.
    int largestVariant() const;
    // The variant to try first for a wanted size (a negative side: the largest).
    int variantForSize(const QSize &wanted) const;

    // Fetches the variant that best fits the wanted size, trying larger ones while an image
    // comes out smaller than wanted, below MinimumSide or undecodable. Each variant is fetched
    // at most once (and the largest once more, last), so the loop always ends. Returns an
    // empty image when nothing usable came; throws what the web image cache throws, and
    // ImageAddressRefusedTextId for an address that is not http or https.
    CodedImage download(const QSize &wanted) const;

    int type = 8;
    QString provider;
    QString comment;
    bool preferred = false;
    QList<DbAlbumImageVariant> variants;
};

Q_DECLARE_METATYPE(DbAlbumImage)

// The catalogue text of an album image type code; empty for an unknown code.
QString albumImageTypeName(int code);

// A candidate read from an image element of a reply: "t", "p", "c", "d" and its "i" children.
DbAlbumImage readAlbumImage(const QDomNode &element);

// The image at a web address named by a reply: only http and https addresses are fetched.
CodedImage fetchReplyImage(const QString &url);

// Registers DbAlbumImage as a variant type with its equality; called once at start-up.
void registerWebServiceMetaTypes();
