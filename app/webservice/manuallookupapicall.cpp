#include "app/webservice/manuallookupapicall.h"

#include <QHash>

#include "app/webservice/dbalbumgroup.h"
#include "app/webservice/dbartist.h"
#include "app/webservice/replyreading.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/progress/linearprogressobject.h"
#include "libcore/xml/xmlutil.h"
#include "libcore/xml/xpath.h"

void addManualLookupData(QDomElement data, const QString &artist, const QString &release,
                         const QString &title)
{
    if (!artist.isEmpty())
        appendXmlTextElement(data, QStringLiteral("a"), artist);
    if (!release.isEmpty())
        appendXmlTextElement(data, QStringLiteral("r"), release);
    if (!title.isEmpty())
        appendXmlTextElement(data, QStringLiteral("t"), title);
}

namespace {

// The artists of a comma-separated list of ids, in its order; unknown ids are skipped.
QList<DbArtist *> artistsByIds(const QString &text, const QHash<int, DbArtist *> &artists)
{
    QList<DbArtist *> list;
    for (int id : parseIntList(text)) {
        if (DbArtist *artist = artists.value(id))
            list.append(artist);
    }
    return list;
}

} // namespace

SplitProgress splitProgress(CombinedProgressObject *progress, QObject *owner)
{
    SplitProgress parts;
    if (!progress)
        return parts;
    parts.exchange = new CombinedProgressObject(owner);
    parts.work = new LinearProgressObject(owner);
    progress->addChild(parts.exchange, 0.5, true);
    progress->addChild(parts.work, 0.5, true);
    return parts;
}

bool hasTooManyResults(const QDomElement &data)
{
    return !data.isNull() && xmlNodeText(xpathSelect(data, QStringLiteral("tmr/text()")).value(0)) == QLatin1String("1");
}

ManualLookupApiCall::ManualLookupApiCall(const ManualLookupQuery &query, QObject *parent)
    : ServerApiCall(QStringLiteral("267fd81c"), parent),
      artist(query.artist),
      release(query.release),
      title(query.title),
      resultParent(query.resultParent)
{
    addManualLookupData(requestData(), artist, release, title);
}

void ManualLookupApiCall::execute(CombinedProgressObject *progress)
{
    QObject run; // owns the progress children until they are adopted
    tooManyResults = false;
    artists.clear();
    groups.clear();

    const SplitProgress parts = splitProgress(progress, &run);
    LinearProgressObject *reading = parts.work;
    send(parts.exchange, TimeoutMs);

    const QDomElement data = replyData();
    tooManyResults = hasTooManyResults(data);
    if (tooManyResults || data.isNull()) {
        if (progress)
            progress->finish();
        return;
    }
    const XmlNodeList artistElements = xpathSelect(data, QStringLiteral("a"));
    const XmlNodeList groupElements = xpathSelect(data, QStringLiteral("rg"));
    if (reading)
        reading->setMaximum(int(artistElements.size() + groupElements.size()));

    QHash<int, DbArtist *> artistsById;
    for (const QDomNode &element : artistElements) {
        auto *artist = new DbArtist(resultParent);
        artist->id = replyNumber(element, QStringLiteral("i"));
        artist->name = replyAttribute(element, QStringLiteral("n"));
        artist->comment = replyAttribute(element, QStringLiteral("c"));
        artist->priority = replyNumber(element, QStringLiteral("p"));
        artists.append(artist);
        artistsById.insert(artist->id, artist); // a repeated id: the later artist is found
        if (reading)
            reading->advance(1);
    }
    for (const QDomNode &element : groupElements) {
        auto *group = new DbAlbumGroup(resultParent);
        group->id = replyNumber(element, QStringLiteral("i"));
        group->title = replyAttribute(element, QStringLiteral("n"));
        const QString primaryType = replyAttribute(element, QStringLiteral("t"));
        group->primaryType = primaryType.isEmpty() ? NoPrimaryType : primaryType.toInt();
        group->secondaryTypes = parseIntList(replyAttribute(element, QStringLiteral("ct")));
        group->status = replyNumber(element, QStringLiteral("s"));
        group->firstReleaseDate = PartialDateTime(replyAttribute(element, QStringLiteral("y")),
                                                  PartialDateTime::storageFormat());
        group->artistCredit = replyAttribute(element, QStringLiteral("a"));
        group->artists = artistsByIds(replyAttribute(element, QStringLiteral("ai")), artistsById);
        groups.append(group);
        if (reading)
            reading->advance(1);
    }
    if (progress)
        progress->finish();
}
