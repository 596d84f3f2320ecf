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

// Credit id -> credit text; a repeated id takes the later text.
Credits readArtistCredits(const QDomElement &data)
{
    Credits credits;
    for (const QDomNode &element : xpathSelect(data, QStringLiteral("ac")))
        credits.insert(replyNumber(element, QStringLiteral("i")), replyAttribute(element, QStringLiteral("n")));
    return credits;
}

DbTrack *readTrack(const QDomNode &element, DbMedium *medium, const Credits &credits)
{
    auto *track = new DbTrack(medium);
    track->medium = medium;
    track->id = replyNumber(element, QStringLiteral("i"));
    track->title = replyAttribute(element, QStringLiteral("n"));
    track->position = replyNumber(element, QStringLiteral("p"));
    track->length = replyNumber(element, QStringLiteral("l"));
    track->artistCredit = creditText(element, credits);
    return track;
}

DbMedium *readMedium(const QDomNode &element, DbAlbum *album, const Credits &credits)
{
    auto *medium = new DbMedium(album);
    medium->album = album;
    medium->title = replyAttribute(element, QStringLiteral("n"));
    medium->position = replyNumber(element, QStringLiteral("p"));
    medium->format = replyNumber(element, QStringLiteral("f")); // 0 when missing
    QList<DbTrack *> tracks;
    for (const QDomNode &trackElement : xpathSelect(element, QStringLiteral("t")))
        tracks.append(readTrack(trackElement, medium, credits));
    medium->setTracks(tracks);
    return medium;
}

DbAlbum *readRelease(const QDomNode &element, DbAlbumGroup *group, const Credits &credits)
{
    auto *album = new DbAlbum(group);
    album->group = group;
    album->title = replyAttribute(element, QStringLiteral("n"));
    album->status = replyNumber(element, QStringLiteral("s"));
    album->releaseEvents = readReleaseEvents(element, *group);
    album->artistCredit = creditText(element, credits);
    QList<DbMedium *> media;
    for (const QDomNode &mediumElement : xpathSelect(element, QStringLiteral("m")))
        media.append(readMedium(mediumElement, album, credits));
    album->setMedia(media);
    for (const QDomNode &imageElement : xpathSelect(element, QStringLiteral("a")))
        album->images.append(readAlbumImage(imageElement));
    return album;
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
    const Credits credits = readArtistCredits(data);
    QList<DbAlbum *> albums;
    for (const QDomNode &element : xpathSelect(data, QStringLiteral("r")))
        albums.append(readRelease(element, group, credits));
    group->setAlbums(albums);
}
