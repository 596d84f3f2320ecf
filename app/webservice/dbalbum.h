#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include "app/webservice/dbalbumimage.h"
#include "libcore/util/partialdatetime.h"

class DbAlbumGroup;
class DbMedium;
class DbTrack;

// One release of a release group; a QObject child of its group.
class DbAlbum : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Replaces the media and adopts each of them (old ones stay children).
    void setMedia(const QList<DbMedium *> &list);

    // The group's type line for this release's status; empty without a group.
    QString typeDescription() const;
    // The earliest date of the release events.
    PartialDateTime releaseDate() const;
    // Every track of every medium, in order.
    QList<DbTrack *> tracks() const;
    QString trackCountText() const;
    QString formatText() const;
    QString countryText() const;

    // The partial scores of the ranking, each 0 to 1.
    double countryScore() const;
    double formatScore() const;
    double dateScore() const;
    double primaryTypeScore() const;
    double secondaryTypeScore() const;
    double trackCountMatch(int wanted) const;
    // 2 when a medium or the whole release has exactly `wanted` tracks, 1 when one has more,
    // else 0.
    int trackCountFit(int wanted) const;
    double score(int wanted) const;
    // Official releases first, then (with a wanted count) the better fit, then the score.
    bool isBetterThan(const DbAlbum &other, int wanted) const;

    DbAlbumGroup *group = nullptr;
    QString artistCredit;
    QList<DbMedium *> media;
    QString title;
    int status = 0;
    QMap<QString, PartialDateTime> releaseEvents; // country code -> release date
    QList<DbAlbumImage> images;
};
