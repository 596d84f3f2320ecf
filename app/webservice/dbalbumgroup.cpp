#include "app/webservice/dbalbumgroup.h"

#include <algorithm>

#include "app/webservice/dbalbum.h"
#include "libcore/text/formatting.h"

void DbAlbumGroup::setAlbums(const QList<DbAlbum *> &list)
{
    albums = list;
    for (DbAlbum *album : list)
        album->setParent(this);
}

QString DbAlbumGroup::typeDescription(int releaseStatus) const
{
    QString text;
    if (uint(releaseStatus) > 1)
        text += releaseStatusName(releaseStatus) + QLatin1Char(' ');
    QList<int> types = secondaryTypes;
    std::sort(types.begin(), types.end());
    if (types.contains(6)) {
        types.removeAll(6);
        types.prepend(6); // "live" reads best first
    }
    QStringList names;
    for (int type : std::as_const(types))
        names.append(secondaryTypeName(type));
    const QString secondary = names.join(QLatin1Char(' '));
    if (!secondary.isEmpty())
        text += secondary + QLatin1Char(' ');
    if (primaryType != NoPrimaryType)
        text += primaryTypeName(primaryType);
    return upperCaseFirst(text).trimmed();
}

bool DbAlbumGroup::isOfficialAlbum() const
{
    return primaryType == 1 && secondaryTypes.isEmpty() && status == 1;
}

DbAlbum *DbAlbumGroup::bestAlbum(int wanted) const
{
    if (albums.isEmpty())
        return nullptr;
    DbAlbum *best = albums.first();
    for (qsizetype i = 1; i < albums.size(); ++i) {
        if (albums[i]->isBetterThan(*best, wanted))
            best = albums[i];
    }
    return best;
}
