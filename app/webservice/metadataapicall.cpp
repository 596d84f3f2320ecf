#include "app/webservice/metadataapicall.h"

#include "app/webservice/dbalbumimage.h"
#include "app/webservice/serverfields.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/xml/xmlutil.h"

namespace {

QString flag(const char *key)
{
    return SettingsStore::boolValue(QLatin1String(key)) ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

MetadataApiCall::MetadataApiCall(const QString &callId, QObject *parent)
    : ServerApiCall(callId, parent)
{
    addSetting(QStringLiteral("ord"), flag("identification/originalReleaseDate"));
    addSetting(QStringLiteral("lan"), flag("identification/localizeArtistNames"));
    addSetting(QStringLiteral("lsan"), flag("identification/localizeSpecialArtistNames"));
    addSetting(QStringLiteral("anf"), SettingsStore::value(QStringLiteral("identification/artistNameFormat")));
    addSetting(QStringLiteral("sanf"),
               SettingsStore::value(QStringLiteral("identification/sortableArtistNameFormat")));
    addSetting(QStringLiteral("sanc"), flag("identification/standardizeArtistNameChanges"));
    addSetting(QStringLiteral("rcan"), flag("identification/removeContributingArtistNames"));
    addSetting(QStringLiteral("cpc"), flag("identification/considerPreferredCountry"));
}

ArtworkTagItem *MetadataApiCall::requestArtwork(const QString &key) const
{
    Q_UNUSED(key)
    return nullptr;
}

void addItemTypeElement(QDomElement parent, int itemType)
{
    appendXmlElement(parent, QStringLiteral("x"))
        .setAttribute(QStringLiteral("k"), QString::number(serverFieldOf(itemType)));
}

void addImageElement(QDomElement parent, int itemType, const QVariantList &values)
{
    const QString code = QString::number(serverFieldOf(itemType));
    for (const QVariant &value : values) {
        if (value.metaType() == QMetaType::fromType<DbAlbumImage>()) {
            const DbAlbumImage image = value.value<DbAlbumImage>();
            QDomElement m = appendXmlElement(parent, QStringLiteral("m"));
            m.setAttribute(QStringLiteral("k"), code);
            QDomElement a = appendXmlElement(m, QStringLiteral("a"));
            a.setAttribute(QStringLiteral("t"), QString::number(image.type));
            const QString comment = image.comment.trimmed();
            if (!comment.isEmpty())
                a.setAttribute(QStringLiteral("c"), comment);
            for (const DbAlbumImageVariant &variant : image.variants) {
                QDomElement i = appendXmlElement(a, QStringLiteral("i"));
                if (!variant.url.isEmpty())
                    i.setAttribute(QStringLiteral("u"), variant.url);
                if (!variant.detail.isEmpty())
                    i.setAttribute(QStringLiteral("d"), variant.detail);
                if (!variant.key.isEmpty())
                    i.setAttribute(QStringLiteral("i"), variant.key);
                if (variant.isSized()) {
                    i.setAttribute(QStringLiteral("w"), QString::number(variant.width));
                    i.setAttribute(QStringLiteral("h"), QString::number(variant.height));
                }
            }
            continue;
        }
        const QString text = value.toString();
        if (text.trimmed().isEmpty())
            continue;
        QDomElement m = appendXmlElement(parent, QStringLiteral("m"));
        m.setAttribute(QStringLiteral("k"), code);
        m.setAttribute(QStringLiteral("v"), text);
    }
}
