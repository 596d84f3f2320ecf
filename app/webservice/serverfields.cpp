#include "app/webservice/serverfields.h"

#include "libtagging/model/tagitem.h"

namespace {

using namespace TagItemType;

enum NameKind { NoName, FixedName, NameBeforeColon };

struct FieldRow
{
    int itemType;
    NameKind kind;
    const char *name;
};

// Indexed by field code.
constexpr FieldRow Fields[ServerFieldCount] = {
    {AcoustId, NoName, nullptr},
    {Album, NoName, nullptr},
    {AlbumArtist, NoName, nullptr},
    {AlbumArtistMbid, NoName, nullptr},
    {AlbumArtistSortName, NoName, nullptr},
    {AlbumMbid, NoName, nullptr},
    {AlbumSortName, NoName, nullptr},
    {AlbumWebsiteUrl, NoName, nullptr},
    {AlbumWikipediaUrl, NoName, nullptr},
    {UserDefinedLink, FixedName, "allmusic.com"},
    {AmazonAsin, NoName, nullptr}, // 10
    {UserDefinedLink, FixedName, "amazon.com"},
    {Arranger, NoName, nullptr},
    {InvolvedPeopleList, FixedName, "art director"},
    {Artist, NoName, nullptr},
    {ArtistMbid, NoName, nullptr},
    {ArtistSortName, NoName, nullptr},
    {ArtistWebsiteUrl, NoName, nullptr},
    {ArtistWikipediaUrl, NoName, nullptr},
    {Artwork, NoName, nullptr},
    {AudioSourceWebsiteUrl, NoName, nullptr}, // 20
    {UserDefinedLink, FixedName, "bandcamp.com"},
    {Barcode, NoName, nullptr},
    {Bpm, NoName, nullptr},
    {UserDefinedLink, FixedName, "biography"},
    {UserDefinedLink, FixedName, "blog"},
    {CatalogNumber, NoName, nullptr},
    {InvolvedPeopleList, FixedName, "chorus master"},
    {Comment, NoName, nullptr},
    {CommercialWebsiteUrl, NoName, nullptr},
    {InvolvedPeopleList, FixedName, "compiler"}, // 30
    {Composer, NoName, nullptr},
    {ComposerSortName, NoName, nullptr},
    {InvolvedPeopleList, FixedName, "concert master"},
    {Conductor, NoName, nullptr},
    {Copyright, NoName, nullptr},
    {InvolvedPeopleList, FixedName, "creative director"},
    {Description, NoName, nullptr},
    {InvolvedPeopleList, FixedName, "designer"},
    {DiscCount, NoName, nullptr},
    {DiscIdMusicBrainz, NoName, nullptr}, // 40
    {DiscNumber, NoName, nullptr},
    {UserDefinedLink, FixedName, "discography"},
    {UserDefinedLink, FixedName, "discogs.com"},
    {DiscSubtitle, NoName, nullptr},
    {DiscToc, NoName, nullptr},
    {InvolvedPeopleList, FixedName, "distributor"},
    {InvolvedPeopleList, FixedName, "editor"},
    {EncodedBy, NoName, nullptr},
    {Encoder, NoName, nullptr},
    {EncoderSettings, NoName, nullptr}, // 50
    {EncodingDate, NoName, nullptr},
    {Engineer, NoName, nullptr},
    {EventTiming, NoName, nullptr},
    {ExplicitContent, NoName, nullptr},
    {FileIdentifier, NoName, nullptr},
    {FileName, NoName, nullptr},
    {FileOwner, NoName, nullptr},
    {FileSize, NoName, nullptr},
    {FileType, NoName, nullptr},
    {Fingerprint, NoName, nullptr}, // 60
    {GaplessPlayback, NoName, nullptr},
    {Genre, NoName, nullptr},
    {Grouping, NoName, nullptr},
    {UserDefinedLink, FixedName, "imdb.com"},
    {InitialKey, NoName, nullptr},
    {InvolvedPeopleList, NameBeforeColon, nullptr},
    {InvolvedPeopleList, FixedName, "instrument programmer"},
    {InvolvedPeopleList, NameBeforeColon, nullptr},
    {IsClassicalMusic, NoName, nullptr},
    {IsPodcast, NoName, nullptr}, // 70
    {Isrc, NoName, nullptr},
    {Language, NoName, nullptr},
    {UserDefinedLink, FixedName, "last.fm"},
    {InvolvedPeopleList, FixedName, "librettist"},
    {License, NoName, nullptr},
    {UserDefinedLink, FixedName, "license"},
    {InvolvedPeopleList, FixedName, "liner notes author"},
    {Lyricist, NoName, nullptr},
    {Lyrics, NoName, nullptr},
    {UserDefinedLink, FixedName, "lyrics"}, // 80
    {InvolvedPeopleList, FixedName, "manufacturer"},
    {MediaType, NoName, nullptr},
    {MixDj, NoName, nullptr},
    {Mixer, NoName, nullptr},
    {Mood, NoName, nullptr},
    {Movement, NoName, nullptr},
    {MovementCount, NoName, nullptr},
    {MovementNumber, NoName, nullptr},
    {UserDefinedLink, FixedName, "myspace.com"},
    {InvolvedPeopleList, FixedName, "orchestra"}, // 90
    {InvolvedPeopleList, FixedName, "orchestrator"},
    {OriginalAlbum, NoName, nullptr},
    {OriginalAlbumMbid, NoName, nullptr},
    {OriginalArtist, NoName, nullptr},
    {OriginalArtistMbid, NoName, nullptr},
    {OriginalLyricist, NoName, nullptr},
    {OriginalReleaseDate, NoName, nullptr},
    {PartOfCompilation, NoName, nullptr},
    {PaymentWebsiteUrl, NoName, nullptr},
    {InvolvedPeopleList, FixedName, "performer"}, // 100
    {PhonographicCopyright, NoName, nullptr},
    {InvolvedPeopleList, FixedName, "photographer"},
    {PlaybackDelay, NoName, nullptr},
    {PlayCount, NoName, nullptr},
    {PlayDuration, NoName, nullptr},
    {PodcastCategory, NoName, nullptr},
    {PodcastGuid, NoName, nullptr},
    {PodcastKeywords, NoName, nullptr},
    {PodcastUrl, NoName, nullptr},
    {Private, NoName, nullptr}, // 110
    {Producer, NoName, nullptr},
    {InvolvedPeopleList, FixedName, "publisher"},
    {RadioStationName, NoName, nullptr},
    {RadioStationOwner, NoName, nullptr},
    {RadioStationWebsiteUrl, NoName, nullptr},
    {Rating, NoName, nullptr},
    {InvolvedPeopleList, FixedName, "recorder"},
    {RecordingDate, NoName, nullptr},
    {RecordingLocation, NoName, nullptr},
    {RecordingMbid, NoName, nullptr}, // 120
    {RecordLabel, NoName, nullptr},
    {RecordLabelWebsiteUrl, NoName, nullptr},
    {ReleaseCountry, NoName, nullptr},
    {ReleaseDate, NoName, nullptr},
    {ReleaseGroupMbid, NoName, nullptr},
    {ReleaseStatus, NoName, nullptr},
    {ReleaseType, NoName, nullptr},
    {Remixer, NoName, nullptr},
    {UserDefinedLink, FixedName, "review"},
    {UserDefinedLink, FixedName, "score"}, // 130
    {Script, NoName, nullptr},
    {InvolvedPeopleList, FixedName, "singer"},
    {UserDefinedLink, FixedName, "social media"},
    {UserDefinedLink, FixedName, "songfacts.com"},
    {SongWebsiteUrl, NoName, nullptr},
    {UserDefinedLink, FixedName, "soundcloud.com"},
    {Subtitle, NoName, nullptr},
    {SynchronizedLyrics, NoName, nullptr},
    {TaggingDate, NoName, nullptr},
    {Title, NoName, nullptr}, // 140
    {TitleSortName, NoName, nullptr},
    {TrackCount, NoName, nullptr},
    {TrackMbid, NoName, nullptr},
    {TrackNumber, NoName, nullptr},
    {InvolvedPeopleList, FixedName, "translator"},
    {UserDefinedLink, NameBeforeColon, nullptr},
    {UserDefinedText, NameBeforeColon, nullptr},
    {UserDefinedLink, FixedName, "viaf.org"},
    {VolumeAdjustment, NoName, nullptr},
    {UserDefinedLink, FixedName, "wikidata.org"}, // 150
    {UserDefinedLink, FixedName, "wikipedia.org"},
    {Work, NoName, nullptr},
    {WorkMbid, NoName, nullptr},
    {Writer, NoName, nullptr},
    {UserDefinedLink, FixedName, "youtube.com"},
};

} // namespace

const QList<int> &itemTypeForServerField()
{
    static const QList<int> table = [] {
        QList<int> list;
        list.reserve(ServerFieldCount);
        for (const FieldRow &row : Fields)
            list.append(row.itemType);
        return list;
    }();
    return table;
}

const QHash<int, int> &serverFieldForItemType()
{
    static const QHash<int, int> table = [] {
        QHash<int, int> hash;
        const QList<int> &fields = itemTypeForServerField();
        for (int code = 0; code < fields.size(); ++code)
            hash.insert(fields[code], code); // the highest code of an item type wins
        return hash;
    }();
    return table;
}

int serverFieldOf(int itemType)
{
    return serverFieldForItemType().value(itemType, NoServerField);
}

LinkTypeName linkTypeName(int code, const QString &value)
{
    LinkTypeName result{QString(), value};
    if (code < 0 || code >= ServerFieldCount)
        return result;
    const FieldRow &row = Fields[code];
    if (row.kind == FixedName) {
        result.name = QString::fromLatin1(row.name);
    } else if (row.kind == NameBeforeColon) {
        const qsizetype colon = value.indexOf(QLatin1Char(':'));
        if (colon >= 0) {
            result.name = value.left(colon);
            result.value = value.mid(colon + 1);
        }
    }
    return result;
}
