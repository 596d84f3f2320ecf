#include "libtagging/plain/apekeytable.h"

#include "libtagging/model/tagitem.h"

#include <QHash>

namespace ApeKeyTable {

using namespace TagItemType;

const QList<ApeKeyRow> &rows()
{
    static const QList<ApeKeyRow> table{
        {AcoustId, "ACOUSTID_ID", {"acoustidid"}},
        {Album, "Album", {"album"}},
        {AlbumArtist, "ALBUMARTIST", {"albumartist"}},
        {AlbumArtistMbid, "MUSICBRAINZ_ALBUMARTISTID", {"musicbrainzalbumartistid"}},
        {AlbumArtistSortName, "ALBUMARTISTSORT", {"albumartistsort"}},
        {AlbumMbid, "MUSICBRAINZ_ALBUMID", {"musicbrainzalbumid"}},
        {AlbumSortName, "ALBUMSORT", {"albumsort"}},
        {AlbumWebsiteUrl, "URL_OFFICIAL_RELEASE_SITE", {"urlofficialreleasesite"}},
        {AlbumWikipediaUrl, "URL_WIKIPEDIA_RELEASE_SITE", {"urlwikipediareleasesite"}},
        {AmazonAsin, "ASIN", {"asin"}},
        {Arranger, "Arranger", {"arranger"}},
        {Artist, "Artist", {"artist", "artists"}},
        {ArtistMbid, "MUSICBRAINZ_ARTISTID", {"musicbrainzartistid"}},
        {ArtistSortName, "ARTISTSORT", {"artistsort"}},
        {ArtistWebsiteUrl, "URL_OFFICIAL_ARTIST_SITE", {"urlofficialartistsite", "weblink"}},
        {ArtistWikipediaUrl, "URL_WIKIPEDIA_ARTIST_SITE", {"urlwikipediaartistsite"}},
        {Artwork, "Picture", {"picture"}},
        {Barcode, "Barcode", {"barcode"}},
        {Bpm, "BPM", {"bpm", "beatsperminute"}},
        {CatalogNumber, "CatalogNumber", {"catalognumber"}},
        {Comment, "Comment", {"comment"}},
        {Composer, "Composer", {"composer"}},
        {ComposerSortName, "COMPOSERSORT", {"composersort"}},
        {Conductor, "Conductor", {"conductor"}},
        {Copyright, "Copyright", {"copyright"}},
        {DiscCount, "", {}},
        {DiscIdMusicBrainz, "MUSICBRAINZ_DISCID", {"musicbrainzdiscid"}},
        {DiscNumber, "DISCNUMBER", {"disc", "discnumber"}},
        {DiscSubtitle, "DiscSubtitle", {"discsubtitle"}},
        {DiscToc, "_cdtoc", {}},
        {EncodedBy, "EncodedBy", {"encodedby"}},
        {Encoder, "Encoder", {"encoder"}},
        {EncoderSettings, "EncoderSettings", {"encodersettings"}},
        {Engineer, "Engineer", {"engineer"}},
        {FileName, "File", {"file"}},
        {Fingerprint, "ACOUSTID_FINGERPRINT", {"acoustidfingerprint"}},
        {Genre, "Genre", {"genre"}},
        {Grouping, "Grouping", {"grouping"}},
        {InitialKey, "Key", {"key", "initialkey"}},
        {InvolvedPeopleList, "Performer", {"performer"}},
        {Isrc, "ISRC", {"isrc"}},
        {Language, "Language", {"language"}},
        {License, "LICENSE", {"license"}},
        {Lyricist, "Lyricist", {"lyricist", "author"}},
        {Lyrics, "Lyrics", {"lyrics"}},
        {MediaType, "Media", {"media"}},
        {MixDj, "DJMixer", {"djmixer"}},
        {Mixer, "Mixer", {"mixer"}},
        {Mood, "Mood", {"mood"}},
        {OriginalAlbum, "ORIGINALALBUM", {"originalalbum", "debutalbum"}},
        {OriginalAlbumMbid, "MUSICBRAINZ_ORIGINALALBUMID", {"musicbrainzoriginalalbumid"}},
        {OriginalArtist, "ORIGINALARTIST", {"originalartist"}},
        {OriginalArtistMbid, "MUSICBRAINZ_ORIGINALARTISTID", {"musicbrainzoriginalartistid"}},
        {OriginalLyricist, "ORIGINALLYRICIST", {"originallyricist"}},
        {OriginalReleaseDate, "ORIGINALDATE", {"originaldate", "originalyear"}},
        {PartOfCompilation, "Compilation", {"compilation"}},
        {PhonographicCopyright, "Publicationright", {"publicationright"}},
        {Producer, "Producer", {"producer"}},
        {RecordingDate, "Record Date", {"recorddate"}},
        {RecordingLocation, "Record Location", {"recordlocation", "recordinglocation"}},
        {RecordingMbid, "MUSICBRAINZ_TRACKID", {"musicbrainztrackid"}},
        {RecordLabel, "Label", {"label", "publisher"}},
        {ReleaseCountry, "RELEASECOUNTRY", {"releasecountry", "country"}},
        {ReleaseDate, "Year", {"year"}},
        {ReleaseGroupMbid, "MUSICBRAINZ_RELEASEGROUPID", {"musicbrainzreleasegroupid"}},
        {ReleaseStatus, "MUSICBRAINZ_ALBUMSTATUS", {"musicbrainzalbumstatus"}},
        {ReleaseType, "MUSICBRAINZ_ALBUMTYPE", {"musicbrainzalbumtype"}},
        {Remixer, "MixArtist", {"mixartist"}},
        {Script, "Script", {"script"}},
        {Subtitle, "Subtitle", {"subtitle"}},
        {Title, "Title", {"title"}},
        {TitleSortName, "TITLESORT", {"titlesort"}},
        {TrackCount, "", {}},
        {TrackMbid, "MUSICBRAINZ_RELEASETRACKID", {"musicbrainzreleasetrackid"}},
        {TrackNumber, "Track", {"track", "tracknumber"}},
        {UnknownApeData, "", {}},
        {UserDefinedLink, "", {}},
        {UserDefinedText, "", {}},
        {VolumeAdjustment, "",
         {"replaygainalbumgain", "replaygainalbumpeak", "replaygaintrackgain", "replaygaintrackpeak"}},
        {Work, "WORK", {"work"}},
        {WorkMbid, "MUSICBRAINZ_WORKID", {"musicbrainzworkid"}},
        {Writer, "Writer", {"writer"}},
    };
    return table;
}

const ApeKeyRow *rowForReadKey(const QString &normalisedKey)
{
    static const QHash<QString, const ApeKeyRow *> byKey = [] {
        QHash<QString, const ApeKeyRow *> map;
        for (const ApeKeyRow &row : rows()) {
            for (const QString &key : row.readKeys)
                map.insert(key, &row);
        }
        return map;
    }();
    return byKey.value(normalisedKey);
}

const ApeKeyRow *rowForItemType(int itemType)
{
    for (const ApeKeyRow &row : rows()) {
        if (row.itemType == itemType)
            return &row;
    }
    return nullptr;
}

} // namespace ApeKeyTable
