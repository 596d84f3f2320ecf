#pragma once

// The item class catalogue: one row per item type, the one table that the item classes,
// the TagItemType ids and the display-name text ids are made from.
//
// X(kind, id, Name, Base, nameTextId)
//   kind        PLAIN: the class adds only its id to Base and is made by
//               MELO_DECLARE_CATALOGUE_ITEM (plaintagitems.h);
//               OWN: the class has its own header (namelowercasetagitem.h).
//   id          the TagItemType id: the place of Name in case-insensitive alphabetical order.
//   Name        the item name; the class is Name##TagItem.
//   Base        the base class.
//   nameTextId  the text id of the display name; 0 for the unknown types, which have none.
#define MELO_TAG_ITEM_CATALOGUE(X) \
    X(PLAIN, 0, AcoustId, StringTagItem, 2493911704u) \
    X(PLAIN, 1, Album, StringTagItem, 343152731u) \
    X(PLAIN, 2, AlbumArtist, StringTagItem, 866109133u) \
    X(PLAIN, 3, AlbumArtistMbid, StringTagItem, 1743435703u) \
    X(PLAIN, 4, AlbumArtistSortName, StringTagItem, 259328712u) \
    X(PLAIN, 5, AlbumMbid, StringTagItem, 1350509981u) \
    X(PLAIN, 6, AlbumSortName, StringTagItem, 2598956643u) \
    X(PLAIN, 7, AlbumWebsiteUrl, StringTagItem, 860269366u) \
    X(PLAIN, 8, AlbumWikipediaUrl, StringTagItem, 1214218780u) \
    X(PLAIN, 9, AmazonAsin, StringTagItem, 2208802818u) \
    X(PLAIN, 10, Arranger, StringTagItem, 1417669458u) \
    X(PLAIN, 11, Artist, StringTagItem, 410886229u) \
    X(PLAIN, 12, ArtistMbid, StringTagItem, 2446345237u) \
    X(PLAIN, 13, ArtistSortName, StringTagItem, 3713865828u) \
    X(PLAIN, 14, ArtistWebsiteUrl, StringTagItem, 1487600417u) \
    X(PLAIN, 15, ArtistWikipediaUrl, StringTagItem, 2974574356u) \
    X(OWN, 16, Artwork, TagItem, 1682884346u) \
    X(PLAIN, 17, AudioSourceWebsiteUrl, StringTagItem, 4201882416u) \
    X(PLAIN, 18, Barcode, StringTagItem, 989239356u) \
    X(PLAIN, 19, Bpm, IntegerTagItem, 1343209683u) \
    X(PLAIN, 20, CatalogNumber, StringTagItem, 4128531835u) \
    X(OWN, 21, Comment, StringTagItem, 4241454164u) \
    X(PLAIN, 22, CommercialWebsiteUrl, StringTagItem, 3975490155u) \
    X(PLAIN, 23, Composer, StringTagItem, 481580977u) \
    X(PLAIN, 24, ComposerSortName, StringTagItem, 3638715420u) \
    X(PLAIN, 25, Conductor, StringTagItem, 2711200343u) \
    X(PLAIN, 26, Copyright, StringTagItem, 747450483u) \
    X(PLAIN, 27, Description, StringTagItem, 1696040732u) \
    X(PLAIN, 28, DiscCount, IntegerTagItem, 2929467098u) \
    X(PLAIN, 29, DiscIdMusicBrainz, StringTagItem, 3186672626u) \
    X(PLAIN, 30, DiscNumber, IntegerTagItem, 1470616196u) \
    X(PLAIN, 31, DiscSubtitle, StringTagItem, 480357229u) \
    X(OWN, 32, DiscToc, TagItem, 1855656369u) \
    X(OWN, 33, EncapsulatedObject, TagItem, 3135628614u) \
    X(PLAIN, 34, EncodedBy, StringTagItem, 746640661u) \
    X(PLAIN, 35, Encoder, StringTagItem, 776656u) \
    X(PLAIN, 36, EncoderSettings, StringTagItem, 1991533360u) \
    X(PLAIN, 37, EncodingDate, DateTimeTagItem, 4174232938u) \
    X(PLAIN, 38, Engineer, StringTagItem, 92336331u) \
    X(OWN, 39, EventTiming, TagItem, 713694400u) \
    X(PLAIN, 40, ExplicitContent, BooleanTagItem, 213235528u) \
    X(OWN, 41, FileIdentifier, TagItem, 1544641666u) \
    X(PLAIN, 42, FileName, StringTagItem, 3628148028u) \
    X(PLAIN, 43, FileOwner, StringTagItem, 490583296u) \
    X(PLAIN, 44, FileSize, IntegerTagItem, 2196571071u) \
    X(PLAIN, 45, FileType, StringTagItem, 3059377784u) \
    X(PLAIN, 46, Fingerprint, StringTagItem, 2618020269u) \
    X(PLAIN, 47, GaplessPlayback, BooleanTagItem, 2880777373u) \
    X(PLAIN, 48, Genre, StringTagItem, 453032614u) \
    X(PLAIN, 49, Grouping, StringTagItem, 2229012408u) \
    X(PLAIN, 50, InitialKey, StringTagItem, 1053187520u) \
    X(OWN, 51, InvolvedPeopleList, TagItem, 1291911791u) \
    X(PLAIN, 52, IsClassicalMusic, BooleanTagItem, 1885225346u) \
    X(PLAIN, 53, IsPodcast, BooleanTagItem, 3570020677u) \
    X(PLAIN, 54, Isrc, StringTagItem, 4145139777u) \
    X(OWN, 55, Language, StringTagItem, 2278349045u) \
    X(PLAIN, 56, License, StringTagItem, 460175785u) \
    X(PLAIN, 57, Lyricist, StringTagItem, 3750009794u) \
    X(OWN, 58, Lyrics, StringTagItem, 3264657134u) \
    X(PLAIN, 59, MediaType, StringTagItem, 3040047861u) \
    X(PLAIN, 60, MixDj, StringTagItem, 283441785u) \
    X(PLAIN, 61, Mixer, StringTagItem, 3596110143u) \
    X(PLAIN, 62, Mood, StringTagItem, 2322392716u) \
    X(PLAIN, 63, Movement, StringTagItem, 196494797u) \
    X(PLAIN, 64, MovementCount, IntegerTagItem, 1780044934u) \
    X(PLAIN, 65, MovementNumber, IntegerTagItem, 1874144264u) \
    X(PLAIN, 66, OriginalAlbum, StringTagItem, 2636650702u) \
    X(PLAIN, 67, OriginalAlbumMbid, StringTagItem, 1785938866u) \
    X(PLAIN, 68, OriginalArtist, StringTagItem, 3200162811u) \
    X(PLAIN, 69, OriginalArtistMbid, StringTagItem, 3554379620u) \
    X(PLAIN, 70, OriginalLyricist, StringTagItem, 3765853492u) \
    X(PLAIN, 71, OriginalReleaseDate, DateTimeTagItem, 501450288u) \
    X(PLAIN, 72, PartOfCompilation, BooleanTagItem, 3947103285u) \
    X(PLAIN, 73, PaymentWebsiteUrl, StringTagItem, 439968368u) \
    X(PLAIN, 74, PhonographicCopyright, StringTagItem, 3696818178u) \
    X(PLAIN, 75, PlaybackDelay, IntegerTagItem, 2992802981u) \
    X(PLAIN, 76, PlayCount, IntegerTagItem, 2754127301u) \
    X(PLAIN, 77, PlayDuration, IntegerTagItem, 905007315u) \
    X(PLAIN, 78, PodcastCategory, StringTagItem, 3711389829u) \
    X(PLAIN, 79, PodcastGuid, StringTagItem, 1307939659u) \
    X(PLAIN, 80, PodcastKeywords, StringTagItem, 2370721846u) \
    X(PLAIN, 81, PodcastUrl, StringTagItem, 4230311646u) \
    X(OWN, 82, Private, TagItem, 2194679u) \
    X(PLAIN, 83, Producer, StringTagItem, 2404305066u) \
    X(PLAIN, 84, RadioStationName, StringTagItem, 3541288051u) \
    X(PLAIN, 85, RadioStationOwner, StringTagItem, 3928617788u) \
    X(PLAIN, 86, RadioStationWebsiteUrl, StringTagItem, 1666299183u) \
    X(PLAIN, 87, Rating, FloatingPointTagItem, 2226760753u) \
    X(PLAIN, 88, RecordingDate, DateTimeTagItem, 4246205949u) \
    X(PLAIN, 89, RecordingLocation, StringTagItem, 2443041301u) \
    X(PLAIN, 90, RecordingMbid, StringTagItem, 2301779439u) \
    X(PLAIN, 91, RecordLabel, StringTagItem, 641617944u) \
    X(PLAIN, 92, RecordLabelWebsiteUrl, StringTagItem, 991306001u) \
    X(OWN, 93, ReleaseCountry, StringTagItem, 2153749618u) \
    X(PLAIN, 94, ReleaseDate, DateTimeTagItem, 2314109192u) \
    X(PLAIN, 95, ReleaseGroupMbid, StringTagItem, 2742158414u) \
    X(PLAIN, 96, ReleaseStatus, StringTagItem, 2112718094u) \
    X(PLAIN, 97, ReleaseType, StringTagItem, 4080146660u) \
    X(PLAIN, 98, Remixer, StringTagItem, 2700211905u) \
    X(OWN, 99, Script, StringTagItem, 485225710u) \
    X(PLAIN, 100, SongWebsiteUrl, StringTagItem, 3764627808u) \
    X(PLAIN, 101, Subtitle, StringTagItem, 4132587547u) \
    X(OWN, 102, SynchronizedLyrics, TagItem, 1351062648u) \
    X(PLAIN, 103, TaggingDate, DateTimeTagItem, 3751937982u) \
    X(PLAIN, 104, Title, StringTagItem, 1214940258u) \
    X(PLAIN, 105, TitleSortName, StringTagItem, 4172179118u) \
    X(PLAIN, 106, TrackCount, IntegerTagItem, 3539085414u) \
    X(PLAIN, 107, TrackMbid, StringTagItem, 1403585977u) \
    X(PLAIN, 108, TrackNumber, IntegerTagItem, 2447916327u) \
    X(PLAIN, 109, UnknownApeData, UnknownDataTagItem, 0) \
    X(OWN, 110, UnknownAsfData, UnknownDataTagItem, 0) \
    X(OWN, 111, UnknownAsfString, UnknownStringTagItem, 0) \
    X(OWN, 112, UnknownId3v2Data, UnknownDataTagItem, 0) \
    X(PLAIN, 113, UnknownId3v2String, UnknownStringTagItem, 0) \
    X(PLAIN, 114, UnknownLyrics3String, UnknownStringTagItem, 0) \
    X(PLAIN, 115, UnknownMatroskaData, UnknownDataTagItem, 0) \
    X(PLAIN, 116, UnknownMp4Data, UnknownDataTagItem, 0) \
    X(OWN, 117, UnknownMp4String, UnknownStringTagItem, 0) \
    X(PLAIN, 118, UnknownRiffData, UnknownDataTagItem, 0) \
    X(PLAIN, 119, UnknownRiffString, UnknownStringTagItem, 0) \
    X(OWN, 120, UserDefinedLink, StringTagItem, 3688251801u) \
    X(OWN, 121, UserDefinedText, StringTagItem, 1259868203u) \
    X(OWN, 122, VolumeAdjustment, TagItem, 1112172672u) \
    X(PLAIN, 123, Work, StringTagItem, 2328599044u) \
    X(PLAIN, 124, WorkMbid, StringTagItem, 3785514694u) \
    X(PLAIN, 125, Writer, StringTagItem, 2010351986u)
