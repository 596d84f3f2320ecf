#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "app/webservice/dbcodenames.h"
#include "libcore/util/partialdatetime.h"

class DbAlbum;
class DbArtist;

// One release group found by the manual album search. Its releases come later, from the
// release group lookup; they are QObject children of the group.
class DbAlbumGroup : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Replaces the releases and adopts each of them (old ones stay children).
    void setAlbums(const QList<DbAlbum *> &list);

    // Status (above "official"), secondary types (live first) and primary type, as one line.
    QString typeDescription(int releaseStatus) const;
    QString typeDescription() const { return typeDescription(status); }
    bool hasNoArtists() const { return artists.isEmpty(); }
    bool isOfficialAlbum() const;
    // The release to propose for `wanted` tracks (0: no preference); null without releases.
    DbAlbum *bestAlbum(int wanted) const;

    int id = 0;
    QString artistCredit;
    QList<DbArtist *> artists; // not owned: children of the search's result parent
    QList<DbAlbum *> albums;
    QString title;
    int primaryType = NoPrimaryType;
    QList<int> secondaryTypes;
    int status = 0;
    PartialDateTime firstReleaseDate;
};
