#pragma once

#include <QList>
#include <QSet>

class IdAudioFile;
class IdAudioFileGroup;
class IdGroup;
class QObject;

// What album grouping works on: the files of a folder not in a group yet, the files to
// identify, and the groups made so far.
struct IdAlbumGroupingState {
    IdAlbumGroupingState() = default;
    // All files ungrouped; the files of all are visited in this order where no other order
    // is given.
    IdAlbumGroupingState(const QList<IdAudioFile *> &all, const QList<IdAudioFile *> &selected);

    QSet<IdAudioFile *> ungroupedFiles;
    QSet<IdAudioFile *> selectedFiles;
    QList<IdAudioFileGroup *> groups;
    // The folder's files in their order, so that grouping by values gives the same groups in
    // every run; ungrouped files missing here are visited after these, by path.
    QList<IdAudioFile *> fileOrder;
};

// Stage 6: albums from the track-number groups of stage 2, then albums from the identified
// artist and album values, then the rest as unrelated files. A file joins at most one group;
// a group needs a file to identify. The groups are children of the parent.
QList<IdAudioFileGroup *> groupAlbums(IdAlbumGroupingState &state, const QList<IdGroup *> &groups, QObject *parent);
void groupTrackNumberAlbums(IdAlbumGroupingState &state, const QList<IdGroup *> &groups, QObject *parent);
void groupAlbumsByValues(IdAlbumGroupingState &state, QObject *parent);
// Takes the files still ungrouped, in order, and makes a group of the type for each chunk of
// them (100 files, 25 unrelated ones) that holds a file to identify.
void addAlbumGroups(IdAlbumGroupingState &state, const QList<IdAudioFile *> &files, int type, QObject *parent);
