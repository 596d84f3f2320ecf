#include "libtagging/id3/id3v2frametable.h"

#include "libtagging/model/tagitem.h"

#include <QHash>

namespace {
using T = Id3v2FrameTable;
using namespace TagItemType;

const T::FrameRow textFrameRows[] = {
    {"TALB", Album, T::Text, T::Both, T::Always, 0},
    {"TBPM", Bpm, T::Number, T::Both, T::Always, 0},
    {"TCAT", PodcastCategory, T::Text, T::Both, T::Always, 0},
    {"TCMP", PartOfCompilation, T::Flag, T::Read, T::Always, 0},
    {"TCOM", Composer, T::Text, T::Both, T::Always, 0},
    {"TCON", Genre, T::Genres, T::Both, T::Always, 0},
    {"TCOP", Copyright, T::Text, T::Both, T::Always, 0},
    {"TDEN", EncodingDate, T::Date, T::Read, T::Always, 0},
    {"TDES", Description, T::Text, T::Both, T::Always, 0},
    {"TDLY", PlaybackDelay, T::Number, T::Both, T::Always, 0},
    {"TDOR", OriginalReleaseDate, T::Date, T::Read, T::Always, 0},
    {"TDRC", ReleaseDate, T::Date, T::Read, T::Always, 0},
    {"TDRL", ReleaseDate, T::Date, T::Read, T::Always, 0},
    {"XDOR", ReleaseDate, T::Date, T::Read, T::Always, 0},
    {"TDTG", TaggingDate, T::Date, T::Read, T::Always, 0},
    {"TENC", EncodedBy, T::Text, T::Both, T::Always, 0},
    {"TEXT", Lyricist, T::Text, T::Both, T::Always, 0},
    {"TFLT", FileType, T::FileType, T::Both, T::Always, 0},
    {"TGID", PodcastGuid, T::Text, T::Both, T::Always, 0},
    {"TIT1", Work, T::Text, T::Both, T::OnlyITunes, 0},
    {"TIT1", Grouping, T::Text, T::Both, T::NotITunes, 0},
    {"GRP1", Grouping, T::Text, T::Read, T::Always, 0},
    {"GRP1", Grouping, T::Text, T::Write, T::OnlyITunes, 0},
    {"TIT2", Title, T::Text, T::Both, T::Always, 0},
    {"TIT3", Subtitle, T::Text, T::Both, T::Always, 0},
    {"TKEY", InitialKey, T::Text, T::Both, T::Always, 0},
    {"TKWD", PodcastKeywords, T::Text, T::Both, T::Always, 0},
    {"TLAN", Language, T::Text, T::Both, T::Always, 0},
    {"TLEN", PlayDuration, T::Number, T::Both, T::Always, 0},
    {"TMED", MediaType, T::MediaType, T::Both, T::Always, 0},
    {"TMOO", Mood, T::Text, T::Both, T::Always, 0},
    {"MVNM", Movement, T::Text, T::Both, T::Always, 0},
    {"MVIN", MovementNumber, T::NumberPair, T::Both, T::Always, MovementCount},
    {"TOAL", OriginalAlbum, T::Text, T::Both, T::Always, 0},
    {"TOFN", FileName, T::Text, T::Both, T::Always, 0},
    {"TOLY", OriginalLyricist, T::Text, T::Both, T::Always, 0},
    {"TOPE", OriginalArtist, T::Text, T::Both, T::Always, 0},
    {"TOWN", FileOwner, T::Text, T::Both, T::Always, 0},
    {"TPE1", Artist, T::Text, T::Both, T::Always, 0},
    {"TPE2", AlbumArtist, T::Text, T::Both, T::Always, 0},
    {"TPE3", Conductor, T::Text, T::Both, T::Always, 0},
    {"TPE4", Remixer, T::Text, T::Both, T::Always, 0},
    {"TPOS", DiscNumber, T::NumberPair, T::Both, T::Always, DiscCount},
    {"TPRO", PhonographicCopyright, T::Text, T::Both, T::Always, 0},
    {"TPUB", RecordLabel, T::Text, T::Both, T::Always, 0},
    {"TRCK", TrackNumber, T::NumberPair, T::Both, T::Always, TrackCount},
    {"TRSN", RadioStationName, T::Text, T::Both, T::Always, 0},
    {"TRSO", RadioStationOwner, T::Text, T::Both, T::Always, 0},
    {"TSIZ", FileSize, T::Number, T::Both, T::Always, 0},
    {"TSO2", AlbumArtistSortName, T::Text, T::Both, T::Always, 0},
    {"TSOA", AlbumSortName, T::Text, T::Both, T::Always, 0},
    {"XSOA", AlbumSortName, T::Text, T::Read, T::Always, 0},
    {"TSOC", ComposerSortName, T::Text, T::Both, T::Always, 0},
    {"TSOP", ArtistSortName, T::Text, T::Both, T::Always, 0},
    {"XSOP", ArtistSortName, T::Text, T::Read, T::Always, 0},
    {"TSOT", TitleSortName, T::Text, T::Both, T::Always, 0},
    {"XSOT", TitleSortName, T::Text, T::Read, T::Always, 0},
    {"TSRC", Isrc, T::Text, T::Both, T::Always, 0},
    {"TSSE", Encoder, T::Text, T::Both, T::Always, 0},
    {"TSST", DiscSubtitle, T::Text, T::Both, T::Always, 0},
};

const T::FrameRow urlFrameRows[] = {
    {"WCOM", CommercialWebsiteUrl, T::Text, T::Both, T::Always, 0},
    {"WCOP", Copyright, T::Text, T::Both, T::Always, 0},
    {"WFED", PodcastUrl, T::Text, T::Both, T::Always, 0},
    {"WOAF", SongWebsiteUrl, T::Text, T::Both, T::Always, 0},
    {"WOAR", ArtistWebsiteUrl, T::Text, T::Both, T::Always, 0},
    {"WOAS", AudioSourceWebsiteUrl, T::Text, T::Both, T::Always, 0},
    {"WORS", RadioStationWebsiteUrl, T::Text, T::Both, T::Always, 0},
    {"WPAY", PaymentWebsiteUrl, T::Text, T::Both, T::Always, 0},
    {"WPUB", RecordLabelWebsiteUrl, T::Text, T::Both, T::Always, 0},
};

const T::KeyRow userTextRows[] = {
    {"acoustidfingerprint", false, Fingerprint, T::Text, T::Both, "Acoustid Fingerprint", T::Always},
    {"acoustidid", false, AcoustId, T::Text, T::Both, "Acoustid Id", T::Always},
    {"albumartist", false, AlbumArtist, T::Text, T::Read, nullptr, T::Always},
    {"albumartistsort", true, AlbumArtistSortName, T::Text, T::Read, nullptr, T::Always},
    {"artists", false, Artist, T::Text, T::Read, nullptr, T::Always},
    {"asin", false, AmazonAsin, T::Text, T::Both, "ASIN", T::Always},
    {"barcode", false, Barcode, T::Text, T::Both, "BARCODE", T::Always},
    {"catalognumber", false, CatalogNumber, T::Text, T::Both, "CATALOGNUMBER", T::Always},
    {"composersort", true, ComposerSortName, T::Text, T::Read, nullptr, T::Always},
    {"license", false, License, T::Text, T::Read, nullptr, T::Always},
    {"mood", false, Mood, T::Text, T::Read, nullptr, T::Always},
    {"musicbrainzalbumartistid", false, AlbumArtistMbid, T::Text, T::Both, "MusicBrainz Album Artist Id", T::Always},
    {"musicbrainzalbumid", false, AlbumMbid, T::Text, T::Both, "MusicBrainz Album Id", T::Always},
    {"musicbrainzalbumreleasecountry", false, ReleaseCountry, T::Country, T::Both,
     "MusicBrainz Album Release Country", T::Always},
    {"country", false, ReleaseCountry, T::Country, T::Both, "Country", T::Always},
    {"musicbrainzalbumstatus", false, ReleaseStatus, T::Text, T::Both, "MusicBrainz Album Status", T::Always},
    {"musicbrainzalbumtype", false, ReleaseType, T::Text, T::Both, "MusicBrainz Album Type", T::Always},
    {"musicbrainzartistid", false, ArtistMbid, T::Text, T::Both, "MusicBrainz Artist Id", T::Always},
    {"musicbrainzdiscid", false, DiscIdMusicBrainz, T::Text, T::Both, "MusicBrainz Disc Id", T::Always},
    {"musicbrainzoriginalalbumid", false, OriginalAlbumMbid, T::Text, T::Both, "MusicBrainz Original Album Id",
     T::Always},
    {"musicbrainzoriginalartistid", false, OriginalArtistMbid, T::Text, T::Both, "MusicBrainz Original Artist Id",
     T::Always},
    {"musicbrainzreleasegroupid", false, ReleaseGroupMbid, T::Text, T::Both, "MusicBrainz Release Group Id",
     T::Always},
    {"musicbrainzreleasetrackid", false, TrackMbid, T::Text, T::Both, "MusicBrainz Release Track Id", T::Always},
    {"musicbrainzworkid", false, WorkMbid, T::Text, T::Both, "MusicBrainz Work Id", T::Always},
    {"script", false, Script, T::Text, T::Both, "SCRIPT", T::Always},
    {"setsubtitle", false, DiscSubtitle, T::Text, T::Read, nullptr, T::Always},
    {"showmovement", false, IsClassicalMusic, T::Flag, T::Read, nullptr, T::Always},
    {"isclassical", false, IsClassicalMusic, T::Flag, T::Read, nullptr, T::Always},
    {"totaldiscs", false, DiscCount, T::Number, T::Read, nullptr, T::Always},
    {"totaltracks", false, TrackCount, T::Number, T::Read, nullptr, T::Always},
    {"work", false, Work, T::Text, T::Both, "Work", T::NotITunes},
    {"writer", false, Writer, T::Text, T::Read, nullptr, T::Always},
    {"songwriter", false, Writer, T::Text, T::Read, nullptr, T::Always},
};

const T::KeyRow userLinkRows[] = {
    {"officialrelease", false, AlbumWebsiteUrl, T::Text, T::Both, "OFFICIAL_RELEASE", T::Always},
    {"urlofficialreleasesite", false, AlbumWebsiteUrl, T::Text, T::Read, nullptr, T::Always},
    {"wikipediaartist", false, ArtistWikipediaUrl, T::Text, T::Both, "WIKIPEDIA_ARTIST", T::Always},
    {"urlwikipediaartistsite", false, ArtistWikipediaUrl, T::Text, T::Read, nullptr, T::Always},
    {"wikipediarelease", false, AlbumWikipediaUrl, T::Text, T::Both, "WIKIPEDIA_RELEASE", T::Always},
    {"urlwikipediareleasesite", false, AlbumWikipediaUrl, T::Text, T::Read, nullptr, T::Always},
};

const T::KeyRow roleRows[] = {
    {"arranger", false, Arranger, T::Text, T::Both, "arranger", T::Always},
    {"composer", false, Composer, T::Text, T::Read, nullptr, T::Always},
    {"conductor", false, Conductor, T::Text, T::Read, nullptr, T::Always},
    {"director", false, Conductor, T::Text, T::Read, nullptr, T::Always},
    {"maestro", false, Conductor, T::Text, T::Read, nullptr, T::Always},
    {"djmix", false, MixDj, T::Text, T::Both, "DJ-mix", T::Always},
    {"mixdj", false, MixDj, T::Text, T::Read, nullptr, T::Always},
    {"engineer", false, Engineer, T::Text, T::Both, "engineer", T::Always},
    {"lyricist", false, Lyricist, T::Text, T::Read, nullptr, T::Always},
    {"lyrics", false, Lyricist, T::Text, T::Read, nullptr, T::Always},
    {"texter", false, Lyricist, T::Text, T::Read, nullptr, T::Always},
    {"mix", false, Mixer, T::Text, T::Both, "mix", T::Always},
    {"mixer", false, Mixer, T::Text, T::Read, nullptr, T::Always},
    {"producer", false, Producer, T::Text, T::Both, "producer", T::Always},
    {"remix", false, Remixer, T::Text, T::Read, nullptr, T::Always},
    {"remixer", false, Remixer, T::Text, T::Read, nullptr, T::Always},
    {"writer", false, Writer, T::Text, T::Both, "writer", T::Always},
    {"songwriter", false, Writer, T::Text, T::Read, nullptr, T::Always},
};

template<class Row, size_t N>
QList<Row> toList(const Row (&rows)[N])
{
    return QList<Row>(rows, rows + N);
}

bool applies(int iTunes, bool iTunesTags)
{
    return iTunes == T::Always || (iTunes == T::OnlyITunes) == iTunesTags;
}
} // namespace

const QList<Id3v2FrameTable::FrameRow> &Id3v2FrameTable::textFrames()
{
    static const QList<FrameRow> rows = toList(textFrameRows);
    return rows;
}

const QList<Id3v2FrameTable::FrameRow> &Id3v2FrameTable::urlFrames()
{
    static const QList<FrameRow> rows = toList(urlFrameRows);
    return rows;
}

const QList<Id3v2FrameTable::KeyRow> &Id3v2FrameTable::userTexts()
{
    static const QList<KeyRow> rows = toList(userTextRows);
    return rows;
}

const QList<Id3v2FrameTable::KeyRow> &Id3v2FrameTable::userLinks()
{
    static const QList<KeyRow> rows = toList(userLinkRows);
    return rows;
}

const QList<Id3v2FrameTable::KeyRow> &Id3v2FrameTable::roles()
{
    static const QList<KeyRow> rows = toList(roleRows);
    return rows;
}

namespace {
// The first row for reading each frame id under either iTunesTags setting, so that a frame
// read looks its row up instead of comparing ids row by row.
struct FrameIndex {
    const QList<Id3v2FrameTable::FrameRow> *rows;
    QHash<QString, qsizetype> first[2];
};

FrameIndex indexOf(const QList<Id3v2FrameTable::FrameRow> &rows)
{
    FrameIndex index{&rows, {}};
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const Id3v2FrameTable::FrameRow &row = rows.at(i);
        if (!(row.direction & T::Read))
            continue;
        for (const bool iTunesTags : {false, true}) {
            const QString id = QString::fromLatin1(row.frameId);
            if (applies(row.iTunes, iTunesTags) && !index.first[iTunesTags].contains(id))
                index.first[iTunesTags].insert(id, i);
        }
    }
    return index;
}
} // namespace

const Id3v2FrameTable::FrameRow *Id3v2FrameTable::frameToRead(const QList<FrameRow> &rows, const QString &frameId,
                                                              bool iTunesTags)
{
    static const FrameIndex indexes[] = {indexOf(textFrames()), indexOf(urlFrames())};
    for (const FrameIndex &index : indexes) {
        if (index.rows == &rows) {
            const QHash<QString, qsizetype> &first = index.first[iTunesTags ? 1 : 0];
            const auto found = first.constFind(frameId);
            return found == first.constEnd() ? nullptr : &rows.at(*found);
        }
    }
    for (const FrameRow &row : rows) {
        if ((row.direction & Read) && applies(row.iTunes, iTunesTags) && frameId == QLatin1String(row.frameId))
            return &row;
    }
    return nullptr;
}

const Id3v2FrameTable::KeyRow *Id3v2FrameTable::keyToRead(const QList<KeyRow> &rows, const QString &key)
{
    for (const KeyRow &row : rows) {
        if (!(row.direction & Read))
            continue;
        const QLatin1String k(row.key);
        if (row.prefix ? key.startsWith(k) : key == k)
            return &row;
    }
    return nullptr;
}

QList<const Id3v2FrameTable::FrameRow *> Id3v2FrameTable::framesToWrite(const QList<FrameRow> &rows, int itemType,
                                                                         bool iTunesTags)
{
    QList<const FrameRow *> result;
    for (const FrameRow &row : rows) {
        if ((row.direction & Write) && row.itemType == itemType && applies(row.iTunes, iTunesTags))
            result.append(&row);
    }
    return result;
}

QList<const Id3v2FrameTable::KeyRow *> Id3v2FrameTable::keysToWrite(const QList<KeyRow> &rows, int itemType,
                                                                     bool iTunesTags)
{
    QList<const KeyRow *> result;
    for (const KeyRow &row : rows) {
        if ((row.direction & Write) && row.itemType == itemType && applies(row.iTunes, iTunesTags))
            result.append(&row);
    }
    return result;
}
