#include "app/model/audiofilegroup.h"

#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

namespace {

QString firstText(const AudioTag *tag, int itemType)
{
    return tag->itemText(itemType, 0).trimmed();
}

// What grouping looks at in a tag, found in one walk over its items: the browse tree is
// rebuilt for every change of the table, over every loaded file.
struct GroupingKey {
    QString album;
    QString albumArtist;
    QString artist;
    bool compilation = false;
};

GroupingKey groupingKey(const AudioTag *tag)
{
    const TagItem *album = nullptr;
    const TagItem *albumArtist = nullptr;
    const TagItem *artist = nullptr;
    const TagItem *compilation = nullptr;
    const QList<TagItem *> &items = tag->itemList();
    const QVarLengthArray<int, 12> &types = tag->itemTypes();
    for (qsizetype i = 0; i < items.size(); ++i) {
        const TagItem *item = items.at(i);
        switch (types[i]) {
        case TagItemType::Album:
            album = album ? album : item;
            break;
        case TagItemType::AlbumArtist:
            albumArtist = albumArtist ? albumArtist : item;
            break;
        case TagItemType::Artist:
            artist = artist ? artist : item;
            break;
        case TagItemType::PartOfCompilation:
            compilation = compilation ? compilation : item;
            break;
        default:
            break;
        }
    }
    GroupingKey key;
    if (album)
        key.album = album->toString().trimmed();
    if (albumArtist)
        key.albumArtist = albumArtist->toString().trimmed();
    if (artist)
        key.artist = artist->toString().trimmed();
    key.compilation = compilation && compilation->toVariant().toBool();
    return key;
}

} // namespace

bool AudioFileGroup::groupsByItemType(int itemType)
{
    // The types groupingKey reads.
    switch (itemType) {
    case TagItemType::Album:
    case TagItemType::AlbumArtist:
    case TagItemType::Artist:
    case TagItemType::PartOfCompilation:
        return true;
    default:
        return false;
    }
}

AudioFileGroup::AudioFileGroup(const QList<AudioFile *> &files, int kind, const QString &artist,
                               const QString &album, QObject *parent)
    : QObject(parent), m_files(files), m_kind(kind), m_artist(artist), m_album(album)
{
}

QList<AudioFileGroup *> AudioFileGroup::createGroups(const QList<AudioFile *> &files, QObject *parent)
{
    QList<QPair<AudioFile *, AudioTag *>> tags;
    tags.reserve(files.size());
    for (AudioFile *file : files)
        tags.append({file, file->combinedTag()});
    return createGroups(tags, parent);
}

QList<AudioFileGroup *> AudioFileGroup::createGroups(const QHash<AudioFile *, AudioTag *> &tags, QObject *parent)
{
    QList<QPair<AudioFile *, AudioTag *>> list;
    list.reserve(tags.size());
    for (auto it = tags.cbegin(); it != tags.cend(); ++it)
        list.append({it.key(), it.value()});
    return createGroups(list, parent);
}

QList<AudioFileGroup *> AudioFileGroup::createGroups(const QList<QPair<AudioFile *, AudioTag *>> &tags,
                                                     QObject *parent)
{
    QHash<QString, QHash<QString, QList<AudioFile *>>> albums;
    QHash<QString, QList<AudioFile *>> compilations;
    QList<QPair<AudioFile *, AudioTag *>> leftovers;
    QHash<AudioFile *, AudioTag *> tagOf;

    for (const auto &[file, tag] : tags) {
        tagOf.insert(file, tag);
        if (!tag) {
            leftovers.append({file, tag});
            continue;
        }
        const GroupingKey key = groupingKey(tag);
        if (key.album.isEmpty()) {
            leftovers.append({file, tag});
            continue;
        }
        if (key.compilation) {
            compilations[key.album].append(file);
            continue;
        }
        const QString &artist = key.albumArtist.isEmpty() ? key.artist : key.albumArtist;
        if (artist.isEmpty()) {
            leftovers.append({file, tag});
            continue;
        }
        albums[artist][key.album].append(file);
    }

    QList<AudioFileGroup *> result;
    const auto leave = [&](const QList<AudioFile *> &files) {
        for (AudioFile *file : files)
            leftovers.append({file, tagOf.value(file)});
    };
    for (auto artist = albums.cbegin(); artist != albums.cend(); ++artist) {
        for (auto album = artist->cbegin(); album != artist->cend(); ++album) {
            if (album->size() < MinimumAlbumSize)
                leave(*album);
            else
                result.append(new AudioFileGroup(*album, AlbumKind, artist.key(), album.key(), parent));
        }
    }
    for (auto album = compilations.cbegin(); album != compilations.cend(); ++album) {
        if (album->size() < MinimumAlbumSize)
            leave(*album);
        else
            result.append(new AudioFileGroup(*album, CompilationKind, QString(), album.key(), parent));
    }

    // Loose tracks by artist, in the order the files were met.
    QHash<QString, QList<AudioFile *>> tracks;
    QList<QString> artistOrder;
    for (const auto &[file, tag] : std::as_const(leftovers)) {
        const QString artist = tag ? firstText(tag, TagItemType::Artist) : QString();
        auto it = tracks.find(artist);
        if (it == tracks.end()) {
            it = tracks.insert(artist, {});
            artistOrder.append(artist);
        }
        it->append(file);
    }
    for (const QString &artist : std::as_const(artistOrder))
        result.append(new AudioFileGroup(tracks.value(artist), TracksKind, artist, QString(), parent));
    return result;
}
