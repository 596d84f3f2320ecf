#include "app/identification/stages/groupalbums.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/idaudiofilegroup.h"
#include "app/identification/idgroup.h"
#include "app/identification/idsegment.h"
#include "app/identification/idstring.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/textmatching.h"
#include "libtagging/model/audiofile.h"

#include <QMap>

#include <algorithm>

namespace {
enum : int {
    AlbumChunkSize = 100,
    UnrelatedChunkSize = 25,
    // Fewer files with one album and artist are not trusted to be an album.
    MinAlbumFilesByValues = 4,
    // The share of files, in percent, that must name one artist for a one-artist album.
    OneArtistPercent = 75,
    RejectedConfidence = 1,
};

QString artistKey(const IdAudioFile *file)
{
    return identifiedArtist(file).sortKey();
}

// Whether so few files name the commonest artist that the files are by various artists.
bool byVariousArtists(const QList<IdAudioFile *> &files, qsizetype count)
{
    QStringList keys;
    keys.reserve(files.size());
    for (const IdAudioFile *file : files)
        keys.append(artistKey(file));
    return mostFrequentCount(keys) < count * OneArtistPercent / 100;
}

// The ungrouped files in the folder's order, then any the order does not know, by path.
QList<IdAudioFile *> ungroupedInOrder(const IdAlbumGroupingState &state)
{
    QList<IdAudioFile *> result;
    QSet<IdAudioFile *> seen;
    for (IdAudioFile *file : state.fileOrder) {
        if (state.ungroupedFiles.contains(file) && !seen.contains(file)) {
            seen.insert(file);
            result.append(file);
        }
    }
    if (result.size() == state.ungroupedFiles.size())
        return result;
    QList<IdAudioFile *> rest;
    for (IdAudioFile *file : state.ungroupedFiles) {
        if (!seen.contains(file))
            rest.append(file);
    }
    std::sort(rest.begin(), rest.end(), [](const IdAudioFile *a, const IdAudioFile *b) {
        return a->audioFile()->filePath() < b->audioFile()->filePath();
    });
    return result + rest;
}
} // namespace

IdAlbumGroupingState::IdAlbumGroupingState(const QList<IdAudioFile *> &all, const QList<IdAudioFile *> &selected)
    : ungroupedFiles(all.cbegin(), all.cend()), selectedFiles(selected.cbegin(), selected.cend()), fileOrder(all)
{
}

QList<IdAudioFileGroup *> groupAlbums(IdAlbumGroupingState &state, const QList<IdGroup *> &groups, QObject *parent)
{
    groupTrackNumberAlbums(state, groups, parent);
    groupAlbumsByValues(state, parent);
    return state.groups;
}

void groupTrackNumberAlbums(IdAlbumGroupingState &state, const QList<IdGroup *> &groups, QObject *parent)
{
    QList<IdGroup *> trackGroups;
    for (IdGroup *group : groups) {
        if (group && group->kind() == IdGroup::TrackNumber)
            trackGroups.append(group);
    }
    std::stable_sort(trackGroups.begin(), trackGroups.end(),
                     [](const IdGroup *a, const IdGroup *b) { return a->entryCount() > b->entryCount(); });

    for (const IdGroup *group : trackGroups) {
        if (state.ungroupedFiles.isEmpty())
            return;
        const int count = group->entryCount();
        QList<IdAudioFile *> files;
        files.reserve(count);
        for (int i = 0; i < count; ++i) {
            const IdGroupEntry *entry = group->entry(i);
            IdAudioFile *file = entry && entry->string() ? entry->string()->audioFile() : nullptr;
            if (file)
                files.append(file);
        }
        const int type =
            byVariousArtists(files, count) ? IdAudioFileGroup::VariousArtistsAlbum : IdAudioFileGroup::OneArtistAlbum;
        addAlbumGroups(state, files, type, parent);
    }
}

void groupAlbumsByValues(IdAlbumGroupingState &state, QObject *parent)
{
    QMap<QString, QList<IdAudioFile *>> byAlbum;
    for (IdAudioFile *file : ungroupedInOrder(state))
        byAlbum[alphanumericKey(identifiedAlbum(file))].append(file);

    QList<IdAudioFile *> remaining;
    for (auto album = byAlbum.cbegin(); album != byAlbum.cend() && !state.ungroupedFiles.isEmpty(); ++album) {
        QMap<QString, QList<IdAudioFile *>> byArtist;
        for (IdAudioFile *file : *album)
            byArtist[artistKey(file)].append(file);

        QList<IdAudioFile *> candidates;
        for (auto artist = byArtist.cbegin(); artist != byArtist.cend() && !state.ungroupedFiles.isEmpty(); ++artist) {
            if (!artist.key().isEmpty() && artist->size() >= MinAlbumFilesByValues) {
                addAlbumGroups(state, *artist, IdAudioFileGroup::OneArtistAlbum, parent);
                continue;
            }
            // Files whose album was not rejected may still form an album of various artists.
            for (IdAudioFile *file : *artist) {
                const auto confidence = file->valueConfidences().constFind(IdField::Album);
                if (confidence != file->valueConfidences().constEnd() && *confidence != RejectedConfidence)
                    candidates.append(file);
                else
                    remaining.append(file);
            }
        }
        if (candidates.size() >= MinAlbumFilesByValues && byVariousArtists(candidates, candidates.size()))
            addAlbumGroups(state, candidates, IdAudioFileGroup::VariousArtistsAlbum, parent);
        else
            remaining += candidates;
    }
    addAlbumGroups(state, remaining, IdAudioFileGroup::UnrelatedFiles, parent);
}

void addAlbumGroups(IdAlbumGroupingState &state, const QList<IdAudioFile *> &files, int type, QObject *parent)
{
    QList<IdAudioFile *> taken;
    taken.reserve(files.size());
    for (IdAudioFile *file : files) {
        if (state.ungroupedFiles.remove(file))
            taken.append(file);
    }
    const qsizetype chunkSize = type == IdAudioFileGroup::UnrelatedFiles ? UnrelatedChunkSize : AlbumChunkSize;
    for (qsizetype start = 0; start < taken.size(); start += chunkSize) {
        const QList<IdAudioFile *> chunk = taken.mid(start, chunkSize);
        QSet<IdAudioFile *> selected;
        for (IdAudioFile *file : chunk) {
            if (state.selectedFiles.contains(file))
                selected.insert(file);
        }
        // A chunk of context files alone is nobody's concern: its files stay out of every group.
        if (!selected.isEmpty())
            state.groups.append(new IdAudioFileGroup(chunk, selected, type, parent));
    }
}
