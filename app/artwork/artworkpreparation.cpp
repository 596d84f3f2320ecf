#include "app/artwork/artworkpreparation.h"

#include "app/webservice/dbalbumimage.h"
#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libgui/settings/enumsettingeditorwidget.h"
#include "libtagging/model/artworktagitem.h"

namespace {
// Of leaflet pages every image is kept; of the other types one.
constexpr int LeafletType = 3;
} // namespace

QSize artworkPreferredSize()
{
    const int side = SettingsStore::value(QStringLiteral("artwork/size/preferredSize")).trimmed().toInt();
    return side < 1 ? QSize(-1, -1) : QSize(side, side);
}

QStringList artworkDownloadProviders()
{
    QStringList providers;
    for (const QVariant &value : EnumSettingEditorWidget::settingValues(QStringLiteral("artwork/download/providers"), true))
        providers.append(value.toString());
    return providers;
}

QList<int> artworkDownloadTypes()
{
    QList<int> types;
    for (const QVariant &value : EnumSettingEditorWidget::settingValues(QStringLiteral("artwork/download/types"), true))
        types.append(value.toInt()); // 0 for text
    return types;
}

CodedImage prepareArtworkImage(const CodedImage &image)
{
    return image;
}

QList<ArtworkTagItem *> createArtworkItemsForImages(const QList<DbAlbumImage> &images, int type,
                                                    const QString &provider, const QSize &wanted,
                                                    QObject *parent)
{
    QList<ArtworkTagItem *> items;
    if (images.isEmpty())
        return items;
    const bool stopAtFit = type != LeafletType && wanted.width() >= 0 && wanted.height() >= 0;
    QList<CodedImage> downloaded(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const DbAlbumImage &image = images.at(i);
        if (image.type != type || (!provider.isEmpty() && image.provider != provider))
            continue;
        try {
            downloaded[i] = image.download(wanted);
        } catch (const Exception &) {
            continue; // logged; the other images may still come
        }
        const CodedImage &got = downloaded.at(i);
        if (stopAtFit && !got.isEmpty() && (got.width >= wanted.width() || got.height >= wanted.height()))
            break;
    }
    if (type != LeafletType) {
        qsizetype best = -1;
        for (qsizetype i = 0; i < downloaded.size(); ++i) {
            if (downloaded.at(i).isEmpty())
                continue;
            const qint64 area = qint64(downloaded.at(i).width) * downloaded.at(i).height;
            if (best < 0) {
                best = i;
            } else if (area > qint64(downloaded.at(best).width) * downloaded.at(best).height) {
                downloaded[best] = CodedImage();
                best = i;
            } else {
                downloaded[i] = CodedImage();
            }
        }
    }
    const bool prepare = SettingsStore::boolValue(QStringLiteral("artwork/reprocess/download"));
    for (qsizetype i = 0; i < downloaded.size(); ++i) {
        if (downloaded.at(i).isEmpty())
            continue;
        const CodedImage image = prepare ? prepareArtworkImage(downloaded.at(i)) : downloaded.at(i);
        if (image.isEmpty())
            continue;
        items.append(new ArtworkTagItem(image, images.at(i).pictureType(), images.at(i).comment, parent));
    }
    return items;
}

QList<ArtworkTagItem *> selectLookupArtwork(const QList<DbAlbumImage> &images, QObject *parent)
{
    QList<ArtworkTagItem *> items;
    if (images.isEmpty())
        return items;
    const QSize preferred = artworkPreferredSize();
    QStringList providers = artworkDownloadProviders();
    for (const DbAlbumImage &image : images) {
        if (!providers.contains(image.provider))
            providers.append(image.provider);
    }
    for (const int type : artworkDownloadTypes()) {
        QList<ArtworkTagItem *> found;
        if (preferred.isValid()) {
            for (const QString &provider : std::as_const(providers)) {
                found = createArtworkItemsForImages(images, type, provider, preferred, parent);
                if (!found.isEmpty())
                    break;
            }
        }
        if (found.isEmpty())
            found = createArtworkItemsForImages(images, type, QString(), QSize(-1, -1), parent);
        items.append(found);
    }
    return items;
}
