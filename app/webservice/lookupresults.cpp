#include "app/webservice/lookupresults.h"

#include <QObject>

#include <algorithm>

#include "app/artwork/artworkpreparation.h"
#include "app/webservice/dbalbumimage.h"
#include "app/webservice/metadataapicall.h"
#include "app/webservice/replyreading.h"
#include "app/webservice/serverfields.h"
#include "libcore/log/logger.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/datetimetagitem.h"
#include "libtagging/model/involvedpeoplelisttagitem.h"
#include "libtagging/model/userdefinedlinktagitem.h"
#include "libtagging/model/userdefinedtexttagitem.h"

namespace {

// The item type of a field code text; -1 for a text that is no known code.
int itemTypeOfCode(const QString &text, int *code)
{
    bool ok = false;
    *code = text.toInt(&ok, 10);
    if (!ok || *code < 0 || *code >= itemTypeForServerField().size())
        return -1;
    return itemTypeForServerField().at(*code);
}

bool isMusicianCredit(int code)
{
    return code == 66 || code == 90 || code == 100 || code == 132;
}

} // namespace

LookupResultMap readAlbumData(const MetadataApiCall *call, const QDomElement &element, bool imagesAllowed,
                              QObject *owner)
{
    LookupResultMap result;
    QList<DbAlbumImage> downloadable;
    bool tooManyImages = false;
    auto *people = new InvolvedPeopleListTagItem(owner);
    for (const QDomElement &m : childXmlElements(element, QStringLiteral("m"))) {
        const QString k = m.attribute(QStringLiteral("k"));
        const QString v = m.attribute(QStringLiteral("v"));
        int code = 0;
        const int type = itemTypeOfCode(k, &code);
        if (type < 0) {
            Logger::error(LookupValueCodeUnknownTextId, {k});
            continue;
        }
        if (type == ArtworkTagItem::Type) {
            const DbAlbumImage image = readAlbumImage(m.firstChildElement(QStringLiteral("a")));
            bool canDownload = false;
            for (const DbAlbumImageVariant &variant : image.variants) {
                if (!variant.key.isEmpty()) {
                    if (const ArtworkTagItem *sent = call ? call->requestArtwork(variant.key) : nullptr)
                        result[type].append(sent->clone(owner));
                } else if (variant.detail.isEmpty() && !variant.url.isEmpty()) {
                    canDownload = true;
                }
            }
            if (canDownload) {
                if (downloadable.size() < MaxDownloadableImages)
                    downloadable.append(image);
                else if (downloadable.size() == MaxDownloadableImages && !tooManyImages) {
                    tooManyImages = true;
                    Logger::warning(LookupTooManyImagesTextId, {MaxDownloadableImages});
                }
            }
        } else if (type == InvolvedPeopleListTagItem::Type) {
            const LinkTypeName link = linkTypeName(code, v);
            people->people.append(InvolvedPerson(isMusicianCredit(code) ? InvolvedPerson::Musician
                                                                        : InvolvedPerson::Involvement,
                                                 link.value, link.name));
        } else if (type == UserDefinedLinkTagItem::Type) {
            const LinkTypeName link = linkTypeName(code, v);
            result[type].append(new UserDefinedLinkTagItem(link.value, link.name, owner));
        } else if (type == UserDefinedTextTagItem::Type) {
            const LinkTypeName link = linkTypeName(code, v);
            result[type].append(new UserDefinedTextTagItem(link.value, link.name, owner));
        } else {
            TagItem *item = TagItem::create(type, owner);
            if (item && item->fromVariant(v)) {
                result[type].append(item);
            } else {
                Logger::error(LookupValueRefusedTextId, {TagItem::typeName(type), v});
                delete item;
            }
        }
    }
    if (imagesAllowed && !downloadable.isEmpty()) {
        for (ArtworkTagItem *item : selectLookupArtwork(downloadable, owner))
            result[ArtworkTagItem::Type].append(item);
    }
    if (!people->people.isEmpty())
        result[InvolvedPeopleListTagItem::Type].append(people);
    else
        delete people;
    return result;
}

LookupResultMap readTrackData(const QDomElement &element, const LookupResultMap &group, QObject *owner)
{
    LookupResultMap result;
    for (const QDomElement &x : childXmlElements(element, QStringLiteral("x"))) {
        const QString k = x.attribute(QStringLiteral("k"));
        int code = 0;
        const int type = itemTypeOfCode(k, &code);
        if (type < 0) {
            Logger::error(LookupReferenceCodeUnknownTextId, {k});
            continue;
        }
        // Several codes name one item type (the kinds of link, the roles of credits), and a
        // reply may repeat a reference: the group's items are copied once all the same.
        if (result.contains(type))
            continue;
        QList<TagItem *> &copies = result[type];
        for (const TagItem *item : group.value(type))
            copies.append(item->clone(owner));
    }
    return result;
}

void applyResultToTag(const MetadataApiCall *call, const QDomElement &element, const LookupResultMap &group,
                      bool imagesAllowed, AudioTag *tag)
{
    QObject owner; // whatever no tag takes goes with it
    LookupResultMap values = readAlbumData(call, element, imagesAllowed, &owner);
    const LookupResultMap references = readTrackData(element, group, &owner);
    for (auto it = references.cbegin(); it != references.cend(); ++it)
        values[it.key()].append(it.value());
    for (auto it = values.begin(); it != values.end(); ++it) {
        const int type = it.key();
        QList<TagItem *> &items = it.value();
        if (TagItem::dataTypeOf(type) == TagItemDataType::DateTime) {
            // A year alone must not overwrite the full date the tag knows already.
            const QList<TagItem *> existing = tag->items(type);
            for (qsizetype i = items.size() - 1; i >= 0; --i) {
                const auto *date = dynamic_cast<const DateTimeTagItem *>(items.at(i));
                const bool coarser = date && std::any_of(existing.cbegin(), existing.cend(), [date](const TagItem *present) {
                    const auto *known = dynamic_cast<const DateTimeTagItem *>(present);
                    return known && date->value.contains(known->value);
                });
                if (coarser)
                    items.removeAt(i);
            }
        }
        if (!items.isEmpty())
            tag->setItems(type, items);
    }
}
