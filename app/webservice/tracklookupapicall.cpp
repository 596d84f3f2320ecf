#include "app/webservice/tracklookupapicall.h"

#include "app/webservice/lookupresults.h"
#include "app/webservice/replyreading.h"
#include "libcore/log/logger.h"
#include "libcore/xml/xmlutil.h"

TrackLookupApiCall::TrackLookupApiCall(const QList<qint32> &trackIds, QObject *parent)
    : MetadataApiCall(QStringLiteral("251c1a89"), parent), trackIds(trackIds)
{
    QDomElement group = appendXmlElement(requestData(), QStringLiteral("g"));
    for (const qint32 id : trackIds)
        appendXmlElement(group, QStringLiteral("t")).setAttribute(QStringLiteral("i"), QString::number(id));
}

void TrackLookupApiCall::execute(CombinedProgressObject *progress)
{
    send(progress, TimeoutMs);
}

void TrackLookupApiCall::applyResults(const QMultiMap<qint32, AudioTag *> &tags, bool imagesAllowed)
{
    const QDomElement group = replyData().firstChildElement(QStringLiteral("g"));
    QObject owner;
    const LookupResultMap groupItems = readAlbumData(this, group, imagesAllowed, &owner);
    for (const QDomElement &track : childXmlElements(group, QStringLiteral("t"))) {
        const QString text = track.attribute(QStringLiteral("i"));
        bool ok = false;
        const qint32 id = text.toInt(&ok, 10);
        if (!ok) {
            Logger::error(TrackLookupIdUnreadableTextId, {text});
            continue;
        }
        const auto [first, last] = tags.equal_range(id);
        for (auto it = first; it != last; ++it)
            applyResultToTag(this, track, groupItems, imagesAllowed, it.value());
    }
}
