#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include "app/identification/idartistname.h"

class IdAudioFile;

// A file's identified artist; the empty name when it has none.
IdArtistName identifiedArtist(const IdAudioFile *file);
// A file's identified album as text; empty when it has none.
QString identifiedAlbum(const IdAudioFile *file);

// The files the online lookup sends and writes together: an album by one artist, an album of
// various artists, or a chunk of unrelated files. Derives from QObject only for ownership.
class IdAudioFileGroup : public QObject
{
public:
    enum Type : int { OneArtistAlbum = 0, VariousArtistsAlbum = 1, UnrelatedFiles = 2 };

    // Takes the artist (one-artist albums) and the album (albums) most of the files were
    // identified with, counting the files that are only context as well.
    IdAudioFileGroup(const QList<IdAudioFile *> &files, const QSet<IdAudioFile *> &selectedFiles, int type,
                     QObject *parent = nullptr);

    // Every file of the group in grouping order, context files included; not owned.
    QList<IdAudioFile *> files;
    // The files to identify; never empty.
    QSet<IdAudioFile *> selectedFiles;
    int type = UnrelatedFiles;
    // Only for one-artist albums, with its article in front.
    IdArtistName artist;
    // Only for albums; null for unrelated files.
    QString album;
};
