#include "app/webservice/dbmedium.h"

#include "app/webservice/dbtrack.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"

void DbMedium::setTracks(const QList<DbTrack *> &list)
{
    tracks = list;
    for (DbTrack *track : list)
        track->setParent(this);
}

QString DbMedium::displayName() const
{
    const QString name = upperCaseFirst(format == NoMediumFormat ? textForId(DiscTextId) : mediumFormatName(format));
    const QString suffix = title.isEmpty() ? QString() : QStringLiteral(": ") + title;
    return upperCaseFirst(fillPlaceholders(QStringLiteral("%1 %2%3"), {name, QString::number(position), suffix}));
}
