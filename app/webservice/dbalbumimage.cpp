#include "app/webservice/dbalbumimage.h"

#include <QUrl>

#include "app/webservice/replyreading.h"
#include "libcore/image/webimagecache.h"
#include "libcore/log/exception.h"
#include "libcore/text/texttable.h"
#include "libcore/util/variants.h"
#include "libcore/xml/xpath.h"

namespace {

struct ImageTypeRow
{
    int code;
    quint32 textId;
    int pictureType;
};

constexpr ImageTypeRow ImageTypes[] = {
    {1, 0xe3ab0ec6u, 3},  {2, 0x6e3d88c1u, 4},  {3, 0xac62c69bu, 5},  {4, 0x2d82a924u, 6},
    {5, 0x27d56b04u, 0},  {6, 0x6c33f334u, 0},  {7, 0x8b36d885u, 0},  {8, 0xad43614cu, 0},
    {9, 0xecab86efu, 0},  {10, 0x99d542cau, 0}, {11, 0x43bd0d85u, 0}, {12, 0x8acacb9au, 0},
    {13, 0x7991a4c1u, 0},
};

const ImageTypeRow *imageTypeRow(int code)
{
    for (const ImageTypeRow &row : ImageTypes) {
        if (row.code == code)
            return &row;
    }
    return nullptr;
}

bool isTooSmall(const CodedImage &image)
{
    return image.width < DbAlbumImage::MinimumSide || image.height < DbAlbumImage::MinimumSide;
}

} // namespace

DbAlbumImage::DbAlbumImage(int type, const QString &provider, const QString &comment)
    : type(type), provider(provider), comment(comment)
{
}

bool DbAlbumImage::operator==(const DbAlbumImage &other) const
{
    return type == other.type && provider == other.provider && comment == other.comment
        && preferred == other.preferred && variants == other.variants;
}

int DbAlbumImage::pictureType() const
{
    const ImageTypeRow *row = imageTypeRow(type);
    return row ? row->pictureType : 0;
}

int DbAlbumImage::firstUnsizedVariant() const
{
    for (int i = 0; i < variants.size(); ++i) {
        if (!variants[i].isSized())
            return i;
    }
    return -1;
}

int DbAlbumImage::smallestCoveringVariant(const QSize &wanted) const
{
    if (wanted.width() < 0 || wanted.height() < 0)
        return -1;
    int best = -1;
    for (int i = 0; i < variants.size(); ++i) {
        const DbAlbumImageVariant &v = variants[i];
        if (!v.isSized() || (v.width < wanted.width() && v.height < wanted.height()))
            continue;
        if (best == -1 || v.area() < variants[best].area())
            best = i;
    }
    return best;
}

int DbAlbumImage::largestVariant() const
{
    const int unsized = firstUnsizedVariant();
    if (unsized != -1)
        return unsized;
    int best = -1;
    for (int i = 0; i < variants.size(); ++i) {
        if (best == -1 || variants[i].area() > variants[best].area())
            best = i;
    }
    return best;
}

int DbAlbumImage::variantForSize(const QSize &wanted) const
{
    if (wanted.width() < 0 || wanted.height() < 0)
        return largestVariant();
    const int covering = smallestCoveringVariant(wanted);
    return covering != -1 ? covering : firstUnsizedVariant();
}

CodedImage DbAlbumImage::download(const QSize &wanted) const
{
    QSize size = wanted;
    // Remembering only the last variant is not enough: an unsized and a sized variant that
    // both give tiny or broken images would send the choice back and forth for ever.
    QList<int> tried;
    for (;;) {
        const int i = variantForSize(size);
        if (i == -1 || tried.contains(i))
            break;
        tried.append(i);
        const DbAlbumImageVariant &variant = variants[i];
        const CodedImage image = fetchReplyImage(variant.url);
        const QSize next(variant.width + 1, variant.height + 1);
        if (isTooSmall(image)) {
            size = next;
            continue;
        }
        if (image.width >= size.width() || image.height >= size.height() || !variant.isSized())
            return image;
        size = next; // smaller than wanted: go on with a variant larger than this one
    }
    const int largest = largestVariant();
    if (largest == -1)
        return CodedImage();
    const CodedImage image = fetchReplyImage(variants[largest].url);
    return isTooSmall(image) ? CodedImage() : image;
}

QString albumImageTypeName(int code)
{
    const ImageTypeRow *row = imageTypeRow(code);
    return row ? textForId(row->textId) : QString();
}

DbAlbumImage readAlbumImage(const QDomNode &element)
{
    DbAlbumImage image;
    image.type = replyAttribute(element, QStringLiteral("t")).toInt(); // 0 when not a number
    image.provider = replyAttribute(element, QStringLiteral("p"));
    image.comment = replyAttribute(element, QStringLiteral("c"));
    image.preferred = replyAttribute(element, QStringLiteral("d")) == QLatin1String("1");
    for (const QDomNode &node : xpathSelect(element, QStringLiteral("i"))) {
        DbAlbumImageVariant variant;
        variant.url = replyAttribute(node, QStringLiteral("u"));
        variant.detail = replyAttribute(node, QStringLiteral("d"));
        variant.key = replyAttribute(node, QStringLiteral("i"));
        bool widthOk = false;
        bool heightOk = false;
        const int width = replyAttribute(node, QStringLiteral("w")).toInt(&widthOk, 10);
        const int height = replyAttribute(node, QStringLiteral("h")).toInt(&heightOk, 10);
        if (widthOk && heightOk) {
            variant.width = width;
            variant.height = height;
        }
        image.variants.append(variant);
    }
    return image;
}

CodedImage fetchReplyImage(const QString &url)
{
    // A reply may name any address; only web addresses are fetched, never local files or
    // other schemes that the network layer would also understand.
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() || parsed.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        throw Exception(ImageAddressRefusedTextId, {url});
    return WebImageCache::image(url);
}

void registerWebServiceMetaTypes()
{
    const int id = qRegisterMetaType<DbAlbumImage>("DbAlbumImage");
    registerVariantComparator(id, [](const void *a, const void *b) {
        return *static_cast<const DbAlbumImage *>(a) == *static_cast<const DbAlbumImage *>(b);
    });
}
