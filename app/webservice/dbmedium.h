#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "app/webservice/dbcodenames.h"

class DbAlbum;
class DbTrack;

// One medium (disc) of a release; a QObject child of its release.
class DbMedium : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Replaces the tracks and adopts each of them (old ones stay children).
    void setTracks(const QList<DbTrack *> &list);
    // Format, disc number and, when there is one, the medium's own title.
    QString displayName() const;

    DbAlbum *album = nullptr;
    QList<DbTrack *> tracks;
    int position = 0;
    int format = NoMediumFormat;
    QString title;
};
