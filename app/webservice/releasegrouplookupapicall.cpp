#include "app/webservice/releasegrouplookupapicall.h"

#include <QHash>

#include "app/webservice/dbalbum.h"
#include "app/webservice/dbalbumgroup.h"
#include "app/webservice/dbmedium.h"
#include "app/webservice/dbtrack.h"
#include "app/webservice/replyreading.h"
#include "libcore/xml/xmlutil.h"
#include "libcore/xml/xpath.h"

namespace {

using Credits = QHash<int, QString>;

QString creditText(const QDomNode &element, const Credits &credits)
{
    return credits.value(replyNumber(element, QStringLiteral("ac")));
}

// Every release gets at least one event; events without any usable date take the group's.
QMap<QString, PartialDateTime> readReleaseEvents(const QDomNode &release, const DbAlbumGroup &group)
{
    QMap<QString, PartialDateTime> events;
    bool anyValid = false;
    for (const QDomNode &element : xpathSelect(release, QStringLiteral("e"))) {
        const PartialDateTime date(replyAttribute(element, QStringLiteral("d")), PartialDateTime::storageFormat());
        anyValid = anyValid || date.isValid();
        events.insert(replyAttribute(element, QStringLiteral("c")), date);
    }
    if (!anyValid) {
        if (events.isEmpty())
            events.insert(QString(), group.firstReleaseDate);
        for (PartialDateTime &date : events)
            date = group.firstReleaseDate;
    }
    return events;
}

} // namespace

ReleaseGroupLookupApiCall::ReleaseGroupLookupApiCall(DbAlbumGroup *group, QObject *parent)
    : ServerApiCall(QStringLiteral("b38ea9cf"), parent), group(group)
{
    appendXmlTextElement(requestData(), QStringLiteral("i"), QString::number(group ? group->id : 0));
}

void ReleaseGroupLookupApiCall::execute(CombinedProgressObject *progress)
{
    send(progress, TimeoutMs);
    if (!group)
        return;
    const QDomElement data = replyData();

    Credits credits;
    for (const QDomNode &element : xpathSelect(data, QStringLiteral("ac")))
        credits.insert(replyNumber(element, QStringLiteral("i")), replyAttribute(element, QStringLiteral("n")));

    QList<DbAlbum *> albums;
    for (const QDomNode &releaseElement : xpathSelect(data, QStringLiteral("r"))) {
        auto *album = new DbAlbum(group);
        album->group = group;
        album->title = replyAttribute(releaseElement, QStringLiteral("n"));
        album->status = replyNumber(releaseElement, QStringLiteral("s"));
        album->releaseEvents = readReleaseEvents(releaseElement, *group);
        album->artistCredit = creditText(releaseElement, credits);
        QList<DbMedium *> media;
        for (const QDomNode &mediumElement : xpathSelect(releaseElement, QStringLiteral("m"))) {
            auto *medium = new DbMedium(album);
            medium->album = album;
            medium->title = replyAttribute(mediumElement, QStringLiteral("n"));
            medium->position = replyNumber(mediumElement, QStringLiteral("p"));
            medium->format = replyNumber(mediumElement, QStringLiteral("f"));
            QList<DbTrack *> tracks;
            for (const QDomNode &trackElement : xpathSelect(mediumElement, QStringLiteral("t"))) {
                auto *track = new DbTrack(medium);
                track->medium = medium;
                track->id = replyNumber(trackElement, QStringLiteral("i"));
                track->title = replyAttribute(trackElement, QStringLiteral("n"));
                track->position = replyNumber(trackElement, QStringLiteral("p"));
                track->length = replyNumber(trackElement, QStringLiteral("l"));
                track->artistCredit = creditText(trackElement, credits);
                tracks.append(track);
            }
            medium->setTracks(tracks);
            media.append(medium);
        }
        album->setMedia(media);
        for (const QDomNode &imageElement : xpathSelect(releaseElement, QStringLiteral("a")))
            album->images.append(readAlbumImage(imageElement));
        albums.append(album);
    }
    group->setAlbums(albums);
}
