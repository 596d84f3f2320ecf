#include "libtagging/asf/asfattributetable.h"

#include "libtagging/model/tagitem.h"

#include <QHash>

#include <array>

namespace AsfAttributeTable {

using namespace TagItemType;


namespace {

AsfAttributeName text(const char *name, const char *format = "")
{
    return {QString::fromLatin1(name), QString::fromLatin1(format)};
}

} // namespace

const QList<AsfAttributeRow> &rows()
{
    static const QList<AsfAttributeRow> table{
        {AcoustId, {text("Acoustid/Id")}, AsfWriteRule::Plain, {"acoustidid"}, {}, {}},
        {Album, {text("WM/AlbumTitle")}, AsfWriteRule::Plain, {"wmalbumtitle", "id3talb"}, {}, {}},
        {AlbumArtist, {text("WM/AlbumArtist")}, AsfWriteRule::Plain, {"wmalbumartist", "id3tpe2"}, {}, {}},
        {AlbumArtistMbid, {text("MusicBrainz/Album Artist Id")}, AsfWriteRule::Plain, {"musicbrainzalbumartistid"}, {}, {}},
        {AlbumArtistSortName, {text("WM/AlbumArtistSortOrder")}, AsfWriteRule::Plain, {"wmalbumartistsortorder", "id3tso2"}, {}, {}},
        {AlbumMbid, {text("MusicBrainz/Album Id")}, AsfWriteRule::Plain, {"musicbrainzalbumid"}, {}, {}},
        {AlbumSortName, {text("WM/AlbumSortOrder")}, AsfWriteRule::Plain, {"wmalbumsortorder", "id3tsoa"}, {}, {}},
        {AlbumWebsiteUrl, {text("WM/OfficialReleaseUrl")}, AsfWriteRule::Plain, {"wmofficialreleaseurl"}, {}, {}},
        {AlbumWikipediaUrl, {text("WM/WikipediaReleaseUrl")}, AsfWriteRule::Plain, {"wmwikipediareleaseurl"}, {}, {}},
        {AmazonAsin, {text("ASIN")}, AsfWriteRule::Plain, {"asin", "wmasin"}, {}, {}},
        {Arranger, {text("WM/Arranger")}, AsfWriteRule::Plain, {"wmarranger"}, {}, {}},
        {Artist, {text("Author"), text("WM/ARTISTS")}, AsfWriteRule::Artists, {"author", "id3tpe1", "wmartists"}, {}, {}},
        {ArtistMbid, {text("MusicBrainz/Artist Id")}, AsfWriteRule::Plain, {"musicbrainzartistid"}, {}, {}},
        {ArtistSortName, {text("WM/ArtistSortOrder")}, AsfWriteRule::Plain, {"wmartistsortorder", "id3tsop"}, {}, {}},
        {ArtistWebsiteUrl, {text("WM/AuthorURL")}, AsfWriteRule::Plain, {"wmauthorurl", "id3woar"}, {}, {}},
        {ArtistWikipediaUrl, {text("WM/WikipediaArtistUrl")}, AsfWriteRule::Plain, {"wmwikipediaartisturl"}, {}, {}},
        {Artwork, {text("WM/Picture")}, AsfWriteRule::Plain, {}, {"wmpicture", "id3apic", "bannerimagedata"}, {}},
        {AudioSourceWebsiteUrl, {text("WM/AudioSourceURL")}, AsfWriteRule::Plain, {"wmaudiosourceurl", "id3woas"}, {}, {}},
        {Barcode, {text("WM/Barcode")}, AsfWriteRule::Plain, {"wmbarcode"}, {}, {}},
        {Bpm, {text("WM/BeatsPerMinute")}, AsfWriteRule::Plain, {"wmbeatsperminute", "id3tbpm"}, {}, {}},
        {CatalogNumber, {text("WM/CatalogNo")}, AsfWriteRule::Plain, {"wmcatalogno"}, {}, {}},
        {Comment, {text("Description")}, AsfWriteRule::Plain, {"description", "wmcomments", "id3comm"}, {}, {}},
        {CommercialWebsiteUrl, {text("WM/PromotionURL")}, AsfWriteRule::Plain, {"wmpromotionurl", "id3wcom"}, {}, {}},
        {Composer, {text("WM/Composer")}, AsfWriteRule::Plain, {"wmcomposer", "id3tcom"}, {}, {}},
        {ComposerSortName, {text("WM/ComposerSortOrder")}, AsfWriteRule::Plain, {"wmcomposersortorder", "id3tsoc"}, {}, {}},
        {Conductor, {text("WM/Conductor")}, AsfWriteRule::Plain, {"wmconductor", "id3tpe3"}, {}, {}},
        {Copyright, {text("Copyright"), text("CopyrightURL")}, AsfWriteRule::Copyright,
         {"copyright", "id3tcop", "copyrighturl", "id3wcop"}, {}, {}},
        {DiscCount, {text("WM/DiscTotal")}, AsfWriteRule::Count, {"wmdisctotal"}, {}, {"wmdisctotal"}},
        {DiscIdMusicBrainz, {text("MusicBrainz/Disc Id")}, AsfWriteRule::Plain, {"musicbrainzdiscid"}, {}, {}},
        {DiscNumber, {text("WM/PartOfSet")}, AsfWriteRule::NumberPair, {"wmpartofset", "id3tpos"}, {}, {"wmpartofset", "id3tpos"}},
        {DiscSubtitle, {text("WM/SetSubTitle")}, AsfWriteRule::Plain, {"wmsetsubtitle", "id3tsst"}, {}, {}},
        {DiscToc, {text("WM/MCDI")}, AsfWriteRule::Plain, {"wmmcdi"}, {"wmmcdi"}, {}},
        {EncodedBy, {text("WM/EncodedBy")}, AsfWriteRule::Plain, {"wmencodedby", "id3tenc"}, {}, {}},
        {Encoder, {text("WM/ToolName")}, AsfWriteRule::Plain, {"wmtoolname", "id3tsse"}, {}, {}},
        {EncoderSettings, {text("WM/EncodingSettings")}, AsfWriteRule::Plain, {"wmencodingsettings"}, {}, {}},
        {EncodingDate, {text("WM/EncodingTime")}, AsfWriteRule::Plain, {}, {}, {"wmencodingtime", "id3tden"}},
        {Engineer, {text("WM/Engineer")}, AsfWriteRule::Plain, {"wmengineer"}, {}, {}},
        {ExplicitContent, {text("WM/ParentalRating")}, AsfWriteRule::Plain, {"wmparentalrating"}, {}, {}},
        {FileName, {text("WM/OriginalFilename")}, AsfWriteRule::Plain, {"wmoriginalfilename", "id3tofn"}, {}, {}},
        {FileSize, {text("FileSize")}, AsfWriteRule::Plain, {}, {}, {"filesize", "id3tsiz"}},
        {Fingerprint, {text("Acoustid/Fingerprint")}, AsfWriteRule::Plain, {"acoustidfingerprint"}, {}, {}},
        {Genre, {text("WM/Genre")}, AsfWriteRule::Plain, {"wmgenre", "wmgenreid", "id3tcon"}, {}, {}},
        {Grouping, {text("WM/ContentGroupDescription")}, AsfWriteRule::Plain, {"wmcontentgroupdescription", "id3tit1"}, {}, {}},
        {InitialKey, {text("WM/InitialKey")}, AsfWriteRule::Plain, {"wminitialkey", "id3tkey"}, {}, {}},
        {Isrc, {text("WM/ISRC")}, AsfWriteRule::Plain, {"wmisrc", "id3tsrc"}, {}, {}},
        {Language, {text("WM/Language", "ISO_639_1")}, AsfWriteRule::Plain, {"wmlanguage", "id3tlan"}, {}, {}},
        {License, {text("LICENSE")}, AsfWriteRule::Plain, {"license"}, {}, {}},
        {Lyricist, {text("WM/Writer")}, AsfWriteRule::Plain, {"wmwriter", "id3text"}, {}, {}},
        {Lyrics, {text("WM/Lyrics")}, AsfWriteRule::Plain, {"wmlyrics", "id3uslt"}, {}, {}},
        {MediaType, {text("WM/Media")}, AsfWriteRule::Plain, {"wmmedia", "id3tmed"}, {}, {}},
        {MixDj, {text("WM/DJMixer")}, AsfWriteRule::Plain, {"wmdjmixer"}, {}, {}},
        {Mixer, {text("WM/Mixer")}, AsfWriteRule::Plain, {"wmmixer"}, {}, {}},
        {Mood, {text("WM/Mood")}, AsfWriteRule::Plain, {"wmmood", "id3tmoo"}, {}, {}},
        {OriginalAlbum, {text("WM/OriginalAlbumTitle")}, AsfWriteRule::Plain, {"wmoriginalalbumtitle", "id3toal"}, {}, {}},
        {OriginalAlbumMbid, {text("MusicBrainz/Original Album Id")}, AsfWriteRule::Plain, {"musicbrainzoriginalalbumid"}, {}, {}},
        {OriginalArtist, {text("WM/OriginalArtist")}, AsfWriteRule::Plain, {"wmoriginalartist", "id3tope"}, {}, {}},
        {OriginalArtistMbid, {text("MusicBrainz/Original Artist Id")}, AsfWriteRule::Plain, {"musicbrainzoriginalartistid"}, {}, {}},
        {OriginalLyricist, {text("WM/OriginalLyricist")}, AsfWriteRule::Plain, {"wmoriginallyricist", "id3toly"}, {}, {}},
        {OriginalReleaseDate, {text("WM/OriginalReleaseYear", "yyyy"), text("WM/OriginalReleaseTime")}, AsfWriteRule::Plain,
         {"wmoriginalreleaseyear", "wmoriginalreleasetime", "id3tory"}, {}, {}},
        {PartOfCompilation, {text("WM/IsCompilation")}, AsfWriteRule::Plain, {}, {}, {"wmiscompilation", "id3tcmp"}},
        {PlaybackDelay, {text("WM/PlaylistDelay")}, AsfWriteRule::Plain, {"wmplaylistdelay", "id3tdly"}, {}, {}},
        {PlayDuration, {text("Duration")}, AsfWriteRule::Plain, {}, {}, {"duration", "id3tlen"}},
        {Producer, {text("WM/Producer")}, AsfWriteRule::Plain, {"wmproducer", "id3tpro"}, {}, {}},
        {RadioStationName, {text("WM/RadioStationName")}, AsfWriteRule::Plain, {"wmradiostationname", "id3trsn"}, {}, {}},
        {RadioStationOwner, {text("WM/RadioStationOwner")}, AsfWriteRule::Plain, {"wmradiostationowner", "id3trso"}, {}, {}},
        {Rating, {text("WM/SharedUserRating")}, AsfWriteRule::Plain, {}, {}, {"wmshareduserrating"}},
        {RecordingMbid, {text("MusicBrainz/Track Id")}, AsfWriteRule::Plain, {"musicbrainztrackid"}, {}, {}},
        {RecordLabel, {text("WM/Publisher")}, AsfWriteRule::Plain, {"wmpublisher", "id3tpub"}, {}, {}},
        {ReleaseCountry,
         {text("MusicBrainz/Album Release Country", "ISO_3166_1_A2"), text("WM/Country", "ISO_3166_1_A2")}, AsfWriteRule::Plain,
         {"musicbrainzalbumreleasecountry", "wmcountry"}, {}, {}},
        {ReleaseDate, {text("WM/Year", "yyyy")}, AsfWriteRule::Plain, {"wmyear", "id3tyer"}, {}, {}},
        {ReleaseGroupMbid, {text("MusicBrainz/Release Group Id")}, AsfWriteRule::Plain, {"musicbrainzreleasegroupid"}, {}, {}},
        {ReleaseStatus, {text("MusicBrainz/Album Status")}, AsfWriteRule::Plain, {"musicbrainzalbumstatus"}, {}, {}},
        {ReleaseType, {text("MusicBrainz/Album Type")}, AsfWriteRule::Plain, {"musicbrainzalbumtype"}, {}, {}},
        {Remixer, {text("WM/ModifiedBy")}, AsfWriteRule::Plain, {"wmmodifiedby", "id3tpe4"}, {}, {}},
        {Script, {text("WM/Script", "ISO_15924")}, AsfWriteRule::Plain, {"wmscript"}, {}, {}},
        {SongWebsiteUrl, {text("WM/AudioFileURL")}, AsfWriteRule::Plain, {"wmaudiofileurl", "id3woaf"}, {}, {}},
        {Subtitle, {text("WM/SubTitle")}, AsfWriteRule::Plain, {"wmsubtitle", "id3tit3"}, {}, {}},
        {SynchronizedLyrics, {text("WM/Lyrics_Synchronised")}, AsfWriteRule::Plain, {}, {"wmlyricssynchronised", "id3sylt"}, {}},
        {Title, {text("Title")}, AsfWriteRule::Plain, {"title", "id3tit2"}, {}, {}},
        {TitleSortName, {text("WM/TitleSortOrder")}, AsfWriteRule::Plain, {"wmtitlesortorder", "id3tsot"}, {}, {}},
        {TrackCount, {text("WM/TrackTotal")}, AsfWriteRule::Count, {"wmtracktotal"}, {}, {"wmtracktotal"}},
        {TrackMbid, {text("MusicBrainz/Release Track Id")}, AsfWriteRule::Plain, {"musicbrainzreleasetrackid"}, {}, {}},
        {TrackNumber, {text("WM/TrackNumber")}, AsfWriteRule::NumberPair, {"wmtracknumber", "id3trck", "wmtrack"}, {},
         {"wmtracknumber", "id3trck", "wmtrack"}},
        {UserDefinedLink, {text("WM/UserWebURL")}, AsfWriteRule::Plain, {}, {"wmuserweburl", "id3wxxx"}, {}},
        {UserDefinedText, {text("WM/Text")}, AsfWriteRule::Plain, {}, {"wmtext", "id3txxx"}, {}},
        {Work, {text("WM/Work")}, AsfWriteRule::Plain, {"wmwork"}, {}, {}},
        {WorkMbid, {text("MusicBrainz/Work Id")}, AsfWriteRule::Plain, {"musicbrainzworkid"}, {}, {}},
        {Writer, {text("WM/MusicWriter")}, AsfWriteRule::Plain, {"wmmusicwriter"}, {}, {}},
    };
    return table;
}

namespace {

enum Branch { TextBranch, BinaryBranch, NumberBranch };

const AsfAttributeRow *rowForKey(Branch branch, const QString &key)
{
    static const std::array<QHash<QString, const AsfAttributeRow *>, 3> index = [] {
        std::array<QHash<QString, const AsfAttributeRow *>, 3> maps;
        for (const AsfAttributeRow &row : rows()) {
            for (const QString &k : row.textKeys)
                maps[TextBranch].insert(k, &row);
            for (const QString &k : row.binaryKeys)
                maps[BinaryBranch].insert(k, &row);
            for (const QString &k : row.numberKeys)
                maps[NumberBranch].insert(k, &row);
        }
        return maps;
    }();
    return index[branch].value(key, nullptr);
}

} // namespace

const AsfAttributeRow *rowForItemType(int itemType)
{
    for (const AsfAttributeRow &row : rows()) {
        if (row.itemType == itemType)
            return &row;
    }
    return nullptr;
}

const AsfAttributeRow *rowForTextKey(const QString &key)
{
    return rowForKey(TextBranch, key);
}

const AsfAttributeRow *rowForBinaryKey(const QString &key)
{
    return rowForKey(BinaryBranch, key);
}

const AsfAttributeRow *rowForNumberKey(const QString &key)
{
    return rowForKey(NumberBranch, key);
}

const QStringList &ignoredNumberKeys()
{
    static const QStringList keys{QStringLiteral("averagelevel"), QStringLiteral("peakvalue")};
    return keys;
}

} // namespace AsfAttributeTable
