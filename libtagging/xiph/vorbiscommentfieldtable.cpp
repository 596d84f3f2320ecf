#include "libtagging/xiph/vorbiscommentfieldtable.h"

#include <QHash>

#include <algorithm>

namespace {

using namespace VorbisCommentConversion;

QList<VorbisCommentFieldRow> buildRows()
{
    return {
        // Plain text fields
        {0, PlainText, {"ACOUSTID_ID"}, {"acoustidid"}},
        {1, PlainText, {"ALBUM"}, {"album"}},
        {2, PlainText, {"ALBUMARTIST"}, {"albumartist"}},
        {3, PlainText, {"MUSICBRAINZ_ALBUMARTISTID"}, {"musicbrainzalbumartistid"}},
        {4, PlainText, {"ALBUMARTISTSORT"}, {"albumartistsort"}},
        {5, PlainText, {"MUSICBRAINZ_ALBUMID"}, {"musicbrainzalbumid"}},
        {6, PlainText, {"ALBUMSORT"}, {"albumsort"}},
        {7, PlainText, {"URL_OFFICIAL_RELEASE_SITE"}, {"urlofficialreleasesite"}},
        {8, PlainText, {"URL_WIKIPEDIA_RELEASE_SITE"}, {"urlwikipediareleasesite"}},
        {9, PlainText, {"ASIN"}, {"asin"}},
        {10, PlainText, {"ARRANGER"}, {"arranger"}},
        {12, PlainText, {"MUSICBRAINZ_ARTISTID"}, {"musicbrainzartistid"}},
        {13, PlainText, {"ARTISTSORT"}, {"artistsort"}},
        {14, PlainText, {"URL_OFFICIAL_ARTIST_SITE"}, {"urlofficialartistsite", "website"}},
        {15, PlainText, {"URL_WIKIPEDIA_ARTIST_SITE"}, {"urlwikipediaartistsite"}},
        {18, PlainText, {"BARCODE"}, {"barcode"}},
        {20, PlainText, {"CATALOGNUMBER"}, {"catalognumber", "catalogno", "catalogue", "labelno"}},
        {23, PlainText, {"COMPOSER"}, {"composer"}},
        {24, PlainText, {"COMPOSERSORT"}, {"composersort"}},
        {25, PlainText, {"CONDUCTOR"}, {"conductor"}},
        {26, PlainText, {"COPYRIGHT"}, {"copyright", "rights"}},
        {29, PlainText, {"MUSICBRAINZ_DISCID"}, {"musicbrainzdiscid"}},
        {31, PlainText, {"DISCSUBTITLE"}, {"discsubtitle"}},
        {34, PlainText, {"ENCODED_BY"}, {"encodedby"}},
        {35, PlainText, {"ENCODER"}, {"encoder"}},
        {36, PlainText, {"ENCODERSETTINGS"}, {"encodersettings", "encodingsettings", "encoding"}},
        {38, PlainText, {"ENGINEER"}, {"engineer"}},
        {46, PlainText, {"ACOUSTID_FINGERPRINT"}, {"acoustidfingerprint"}},
        {48, PlainText, {"GENRE"}, {"genre"}},
        {49, PlainText, {"GROUPING"}, {"grouping"}},
        {50, PlainText, {"KEY"}, {"key"}},
        {54, PlainText, {"ISRC"}, {"isrc"}},
        {56, PlainText, {"LICENSE"}, {"license"}},
        {57, PlainText, {"LYRICIST"}, {"lyricist", "author"}},
        {59, PlainText, {"MEDIA"}, {"media", "sourcemedia", "sourcemedium"}},
        {60, PlainText, {"DJMIXER"}, {"djmixer", "mixdj"}},
        {61, PlainText, {"MIXER"}, {"mixer"}},
        {62, PlainText, {"MOOD"}, {"mood"}},
        {66, PlainText, {"ORIGINALALBUM"}, {"originalalbum", "sourcealbum"}},
        {67, PlainText, {"MUSICBRAINZ_ORIGINALALBUMID"}, {"musicbrainzoriginalalbumid"}},
        {68, PlainText, {"ORIGINALARTIST"}, {"originalartist", "sourceartist"}},
        {69, PlainText, {"MUSICBRAINZ_ORIGINALARTISTID"}, {"musicbrainzoriginalartistid"}},
        {70, PlainText, {"ORIGINALLYRICIST"}, {"originallyricist", "sourcelyricist"}},
        {83, PlainText, {"PRODUCER"}, {"producer"}},
        {89, PlainText, {"LOCATION"}, {"location"}},
        // The track id names the recording, the release track id the track.
        {90, PlainText, {"MUSICBRAINZ_TRACKID"}, {"musicbrainztrackid"}},
        {91, PlainText, {"LABEL"}, {"label", "publisher", "organization"}},
        {95, PlainText, {"MUSICBRAINZ_RELEASEGROUPID"}, {"musicbrainzreleasegroupid"}},
        {96, PlainText, {"RELEASESTATUS"}, {"releasestatus"}},
        {97, PlainText, {"RELEASETYPE"}, {"releasetype"}},
        {98, PlainText, {"REMIXER"}, {"remixer"}},
        {101, PlainText, {"SUBTITLE"}, {"subtitle"}},
        {104, PlainText, {"TITLE"}, {"title"}},
        {105, PlainText, {"TITLESORT"}, {"titlesort"}},
        {107, PlainText, {"MUSICBRAINZ_RELEASETRACKID"}, {"musicbrainzreleasetrackid"}},
        {123, PlainText, {"WORK"}, {"work", "originalwork", "sourcework"}},
        {124, PlainText, {"MUSICBRAINZ_WORKID"}, {"musicbrainzworkid"}},
        {125, PlainText, {"WRITER"}, {"writer"}},
        // Fields with their own conversion
        {11, Artist, {"ARTIST", "ARTISTS"}, {"artist", "artists", "guestartist"}},
        {16, Artwork, {"METADATA_BLOCK_PICTURE", "COVERARTMIME", "COVERART", "COVERARTFILE"},
         {"metadatablockpicture", "coverart", "coverartfile"}},
        {19, Integer, {"BPM"}, {"bpm"}},
        {21, CommentText, {"COMMENT"}, {"comment", "description"}},
        {28, Integer, {"DISCTOTAL", "TOTALDISCS"}, {"disctotal", "totaldiscs"}},
        {30, NumberPair, {"DISCNUMBER"}, {"disc", "discnumber"}, 28},
        {32, DiscToc, {"CDTOC"}, {"cdtoc"}},
        {51, Performers, {"PERFORMER"}, {"performer"}},
        {55, LanguageCode, {"LANGUAGE"}, {"language"}},
        {58, CommentText, {"LYRICS"}, {"lyrics"}},
        {71, Date, {"ORIGINALDATE"}, {"originaldate", "originalyear", "sourcedate"}},
        {72, Boolean, {"COMPILATION"}, {"compilation"}},
        {87, Rating, {"RATING"}, {"rating"}},
        {93, CountryCode, {"RELEASECOUNTRY", "COUNTRY"}, {"releasecountry", "country"}},
        {94, Date, {"DATE"}, {"date", "releasedate"}},
        {99, ScriptCode, {"SCRIPT"}, {"script"}},
        {106, Integer, {"TRACKTOTAL", "TOTALTRACKS"}, {"tracktotal", "totaltracks"}},
        {108, NumberPair, {"TRACKNUMBER"}, {"track", "tracknumber"}, 106},
        {120, UserDefined, {}, {}},
        {121, UserDefined, {}, {}},
        {122, ReplayGain,
         {"REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_PEAK", "REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_PEAK"},
         {"replaygainalbumgain", "replaygainalbumpeak", "replaygaintrackgain", "replaygaintrackpeak"}},
    };
}

struct Index
{
    QList<VorbisCommentFieldRow> rows = buildRows();
    QHash<QString, qsizetype> byKey;
    QHash<int, qsizetype> byType;
    QList<int> types;

    Index()
    {
        for (qsizetype i = 0; i < rows.size(); ++i) {
            byType.insert(rows[i].itemType, i);
            types.append(rows[i].itemType);
            for (const QString &key : std::as_const(rows[i].keys))
                byKey.insert(key, i);
        }
        std::sort(types.begin(), types.end());
    }
};

const Index &index()
{
    static const Index table;
    return table;
}

} // namespace

const QList<VorbisCommentFieldRow> &VorbisCommentFieldTable::rows()
{
    return index().rows;
}

const VorbisCommentFieldRow *VorbisCommentFieldTable::rowForKey(const QString &key)
{
    const Index &table = index();
    if (key.startsWith(QLatin1String("rating")))
        return &table.rows[table.byType.value(87)];
    const auto it = table.byKey.constFind(key);
    return it == table.byKey.constEnd() ? nullptr : &table.rows[*it];
}

const VorbisCommentFieldRow *VorbisCommentFieldTable::rowForItemType(int itemType)
{
    const Index &table = index();
    const auto it = table.byType.constFind(itemType);
    return it == table.byType.constEnd() ? nullptr : &table.rows[*it];
}

QList<int> VorbisCommentFieldTable::itemTypes()
{
    return index().types;
}
