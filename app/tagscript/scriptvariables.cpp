#include "app/tagscript/scriptvariables.h"

#include "app/model/datatypevalues.h"
#include "app/shell/iappmainwindow.h"
#include "app/tagscript/tsvariable.h"
#include "libcore/text/formatting.h"
#include "libcore/util/partialdatetime.h"
#include "libcore/util/random.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

#include <QDateTime>
#include <QHash>
#include <QPointer>

namespace {

struct DataTypeName {
    int category;
    int id;
    const char *name;
};

struct Alias {
    const char *alias;
    const char *name;
};

// Every data type's canonical script name.
const DataTypeName dataTypeNameRows[] = {
    {0, 0, "acoustId"}, {0, 1, "album"}, {0, 2, "albumArtist"}, {0, 3, "albumArtistMbid"},
    {0, 4, "albumArtistSortName"}, {0, 5, "albumMbid"}, {0, 6, "albumSortName"}, {0, 7, "albumWebsiteUrl"},
    {0, 8, "albumWikipediaUrl"}, {0, 9, "amazonAsin"}, {0, 10, "arranger"}, {0, 11, "artist"},
    {0, 12, "artistMbid"}, {0, 13, "artistSortName"}, {0, 14, "artistWebsiteUrl"},
    {0, 15, "artistWikipediaUrl"}, {0, 16, "artwork"}, {0, 17, "audioSourceWebsiteUrl"}, {0, 18, "barcode"},
    {0, 19, "beatsPerMinute"}, {0, 20, "catalogNumber"}, {0, 21, "comment"}, {0, 22, "commercialWebsiteUrl"},
    {0, 23, "composer"}, {0, 24, "composerSortName"}, {0, 25, "conductor"}, {0, 26, "copyright"},
    {0, 27, "description"}, {0, 28, "discCount"}, {0, 29, "discIdMusicBrainz"}, {0, 30, "discNumber"},
    {0, 31, "discSubtitle"}, {0, 34, "encodedBy"}, {0, 35, "encoder"}, {0, 36, "encoderSettings"},
    {0, 37, "encodingDate"}, {0, 38, "engineer"}, {0, 40, "explicitContent"}, {0, 42, "fileNameTag"},
    {0, 43, "fileOwnerTag"}, {0, 44, "fileSizeTag"}, {0, 45, "fileTypeTag"}, {0, 46, "fingerprint"},
    {0, 47, "gaplessPlayback"}, {0, 48, "genre"}, {0, 49, "grouping"}, {0, 50, "initialKey"},
    {0, 51, "involvedPeopleList"}, {0, 52, "isClassicalMusic"}, {0, 53, "isPodcast"}, {0, 54, "isrc"},
    {0, 55, "language"}, {0, 56, "license"}, {0, 57, "lyricist"}, {0, 58, "lyrics"}, {0, 59, "mediaType"},
    {0, 60, "mixDj"}, {0, 61, "mixer"}, {0, 62, "mood"}, {0, 63, "movementName"}, {0, 64, "movementCount"},
    {0, 65, "movementNumber"}, {0, 66, "originalAlbum"}, {0, 67, "originalAlbumMbid"},
    {0, 68, "originalArtist"}, {0, 69, "originalArtistMbid"}, {0, 70, "originalLyricist"},
    {0, 71, "originalReleaseDate"}, {0, 72, "partOfCompilation"}, {0, 73, "paymentWebsiteUrl"},
    {0, 74, "phonographicCopyright"}, {0, 75, "playbackDelay"}, {0, 76, "playCount"},
    {0, 77, "playDurationTag"}, {0, 78, "podcastCategory"}, {0, 79, "podcastGuid"},
    {0, 80, "podcastKeywords"}, {0, 81, "podcastUrl"}, {0, 83, "producer"}, {0, 84, "radioStationName"},
    {0, 85, "radioStationOwner"}, {0, 86, "radioStationWebsiteUrl"}, {0, 87, "rating"},
    {0, 88, "recordingDate"}, {0, 89, "recordingLocation"}, {0, 90, "recordingMbid"}, {0, 91, "recordLabel"},
    {0, 92, "recordLabelWebsiteUrl"}, {0, 93, "releaseCountry"}, {0, 94, "releaseDate"},
    {0, 95, "releaseGroupMbid"}, {0, 96, "releaseStatus"}, {0, 97, "releaseType"}, {0, 98, "remixer"},
    {0, 99, "script"}, {0, 100, "songWebsiteUrl"}, {0, 101, "subtitle"}, {0, 102, "synchronizedLyrics"},
    {0, 103, "taggingDate"}, {0, 104, "title"}, {0, 105, "titleSortName"}, {0, 106, "trackCount"},
    {0, 107, "trackMbid"}, {0, 108, "trackNumber"}, {0, 120, "userDefinedLink"}, {0, 121, "userDefinedText"},
    {0, 123, "work"}, {0, 124, "workMbid"}, {0, 125, "writer"}, {1, 0, "filePath"}, {1, 1, "fileName"},
    {1, 2, "fileNameWithoutSuffix"}, {1, 3, "fileSuffix"}, {1, 4, "folderPath"}, {1, 5, "folderName"},
    {1, 6, "parentFolderPath"}, {1, 7, "parentFolderName"}, {1, 8, "fileSize"}, {1, 9, "fileDateCreated"},
    {1, 10, "fileDateModified"}, {2, 0, "audioChannels"}, {2, 1, "audioBitrate"}, {2, 2, "audioBitrateType"},
    {2, 3, "audioSampleRate"}, {2, 4, "audioSampleSize"}, {2, 5, "playDuration"}, {2, 6, "audioSize"},
    {2, 7, "audioMetaDataSize"}, {2, 8, "audioContainer"}, {2, 9, "audioCodec"},
    {2, 10, "audioCodecFullName"}, {2, 11, "audioIsLossy"},
};

// Names older scripts use, each with the canonical name of its data type.
const Alias aliasRows[] = {
    {"_bitrate", "audioBitrate"}, {"_codec", "audioCodecFullName"}, {"_directory", "folderName"},
    {"_extension", "fileSuffix"}, {"_file_size_bytes", "fileSize"}, {"_filename", "fileNameWithoutSuffix"},
    {"_filename_ext", "fileName"}, {"_folderpath", "folderPath"}, {"_parent_directory", "parentFolderName"},
    {"_path", "filePath"}, {"_samplerate", "audioSampleRate"}, {"_tag_size", "audioMetaDataSize"},
    {"_total", "trackCount"}, {"_vbr", "audioBitrateType"}, {"album", "album"},
    {"albumartist", "albumArtist"}, {"albumartistsort", "albumArtistSortName"},
    {"albumsort", "albumSortName"}, {"artist", "artist"}, {"artistsort", "artistSortName"},
    {"bpm", "beatsPerMinute"}, {"comment", "comment"}, {"compilation", "partOfCompilation"},
    {"composer", "composer"}, {"composersort", "composerSortName"}, {"conductor", "conductor"},
    {"contentgroup", "grouping"}, {"copyright", "copyright"}, {"discnumber", "discNumber"},
    {"encodedby", "encodedBy"}, {"encodersettings", "encoderSettings"}, {"encodingtime", "encodingDate"},
    {"fileowner", "fileOwnerTag"}, {"filetype", "fileTypeTag"}, {"genre", "genre"}, {"grouping", "grouping"},
    {"initialkey", "initialKey"}, {"involvedpeople", "involvedPeopleList"}, {"isrc", "isrc"},
    {"language", "language"}, {"length", "playDurationTag"}, {"lyricist", "lyricist"},
    {"mediatype", "mediaType"}, {"mixartist", "remixer"}, {"mood", "mood"}, {"movement", "movementNumber"},
    {"movementname", "movementName"}, {"movementtotal", "movementCount"},
    {"musicbrainz_albumartistid", "albumArtistMbid"}, {"musicbrainz_albumid", "albumMbid"},
    {"musicbrainz_artistid", "artistMbid"}, {"musicbrainz_discid", "discIdMusicBrainz"},
    {"musicbrainz_releasegroupid", "releaseGroupMbid"}, {"musicbrainz_releasetrackid", "trackMbid"},
    {"musicbrainz_trackid", "recordingMbid"}, {"musicbrainz_workid", "workMbid"},
    {"netradioowner", "radioStationOwner"}, {"netradiostation", "radioStationName"},
    {"origalbum", "originalAlbum"}, {"origartist", "originalArtist"}, {"origfilename", "fileNameTag"},
    {"origlyricist", "originalLyricist"}, {"podcast", "isPodcast"}, {"podcastcategory", "podcastCategory"},
    {"podcastdesc", "description"}, {"podcastid", "podcastGuid"}, {"podcastkeywords", "podcastKeywords"},
    {"podcasturl", "podcastUrl"}, {"publisher", "recordLabel"}, {"rating mm", "rating"},
    {"rating winamp", "rating"}, {"rating wmp", "rating"}, {"releasetime", "releaseDate"},
    {"setsubtitle", "discSubtitle"}, {"showmovement", "isClassicalMusic"}, {"subtitle", "subtitle"},
    {"taggingtime", "taggingDate"}, {"title", "title"}, {"titlesort", "titleSortName"},
    {"track", "trackNumber"}, {"unsyncedlyrics", "lyrics"}, {"work", "work"}, {"www", "userDefinedLink"},
    {"wwwartist", "artistWebsiteUrl"}, {"wwwaudiofile", "songWebsiteUrl"},
    {"wwwaudiosource", "audioSourceWebsiteUrl"}, {"wwwcommercialinfo", "commercialWebsiteUrl"},
    {"wwwcopyright", "copyright"}, {"wwwpayment", "paymentWebsiteUrl"},
    {"wwwpublisher", "recordLabelWebsiteUrl"}, {"wwwradiopage", "radioStationWebsiteUrl"},
};

// The special variables, in the order their names are compared.
enum SpecialVariable : int {
    Counter, CoverHeight, CoverMimeType, CoverSize, CoverType, CoverWidth, Covers, Date, DateTime,
    FileCreateDate, FileCreateDateTime, FileCreateDateTimeRaw, FileModDate, FileModDateTime,
    FileModDateTimeRaw, FileSize, FileSizeKb, FileSizeMb, Length, LengthSeconds, Mode, Rand, Tag,
    TagSizeAppended, TagSizePrepended, Timestamp, TotalFiles, OrigYear, Year, SpecialVariableCount
};

const char *const specialVariableNames[SpecialVariableCount] = {
    "_counter", "_cover_height", "_cover_mimetype", "_cover_size", "_cover_type", "_cover_width", "_covers",
    "_date", "_datetime", "_file_create_date", "_file_create_datetime", "_file_create_datetime_raw",
    "_file_mod_date", "_file_mod_datetime", "_file_mod_datetime_raw", "_file_size", "_file_size_kb",
    "_file_size_mb", "_length", "_length_seconds", "_mode", "_rand", "_tag", "_tag_size_appended",
    "_tag_size_prepended", "_timestamp", "_total_files", "origyear", "year",
};

// The running numbers of "_counter". A file's address is reused once it is freed, so an
// entry counts only while the file it was made for is alive: a new file at an old address
// gets a number of its own.
struct ScriptCounters {
    struct Entry {
        QPointer<AudioFile> file;
        int number = 0;
    };
    QHash<const AudioFile *, Entry> entries;
    int filesMet = 0;
};

ScriptCounters &scriptCounters()
{
    static ScriptCounters counters;
    return counters;
}

int scriptCounter(AudioFile *file)
{
    ScriptCounters &counters = scriptCounters();
    auto it = counters.entries.find(file);
    // Without a file there is nothing to outlive: the entry of "no file" stays.
    if (it == counters.entries.end() || (file && it->file.data() != file))
        it = counters.entries.insert(file, {file, ++counters.filesMet});
    return it->number;
}

const ArtworkTagItem *firstArtwork(AudioFile *file)
{
    return dynamic_cast<const ArtworkTagItem *>(firstCombinedTagItem(file, TagItemType::Artwork));
}

QVariant rawValue(AudioFile *file, ModelDataType type)
{
    return dataTypeValue(file, type, RawValueRole);
}

QVariant fileDateText(AudioFile *file, FileProperty::Id property, const QString &format)
{
    const QVariant value = rawValue(file, ModelDataType(property));
    if (!value.isValid())
        return QString();
    return value.toDateTime().toString(format);
}

QVariant fileDateSeconds(AudioFile *file, FileProperty::Id property)
{
    const QVariant value = rawValue(file, ModelDataType(property));
    if (!value.isValid())
        return qint64(0);
    return qint64(value.toDateTime().toMSecsSinceEpoch() / 1000);
}

int tagSizeSum(AudioFile *file, bool prepended)
{
    int sum = 0;
    if (!file)
        return sum;
    for (const AudioTag *tag : file->tags()) {
        const TagInfo *info = tag ? tag->tagInfo() : nullptr;
        if (info && info->values.contains(TagInfo::PrependedKey) && info->isPrepended() == prepended)
            sum += info->size();
    }
    return sum;
}

QVariant yearOf(AudioFile *file, TagItemType::Id itemType)
{
    const QVariant value = rawValue(file, ModelDataType(itemType));
    if (!value.isValid())
        return QString();
    const PartialDateTime date = value.metaType() == QMetaType::fromType<PartialDateTime>()
                                     ? value.value<PartialDateTime>()
                                     : PartialDateTime();
    return date.toString(QStringLiteral("yyyy"));
}

} // namespace

const QMap<ModelDataType, QString> &dataTypeNames()
{
    static const QMap<ModelDataType, QString> names = [] {
        QMap<ModelDataType, QString> map;
        for (const DataTypeName &row : dataTypeNameRows)
            map.insert(ModelDataType(row.category, row.id), QString::fromLatin1(row.name));
        return map;
    }();
    return names;
}

const QMap<QString, ModelDataType> &variableNames()
{
    static const QMap<QString, ModelDataType> names = [] {
        QMap<QString, ModelDataType> map;
        QHash<QString, ModelDataType> byName;
        for (const DataTypeName &row : dataTypeNameRows) {
            const QString name = QString::fromLatin1(row.name);
            map.insert(name.toLower(), ModelDataType(row.category, row.id));
            byName.insert(name, ModelDataType(row.category, row.id));
        }
        for (const Alias &row : aliasRows)
            map.insert(QString::fromLatin1(row.alias), byName.value(QString::fromLatin1(row.name)));
        return map;
    }();
    return names;
}

QVariant variableValue(const TsVariable &variable, AudioFile *context)
{
    const ModelDataType type = variableNames().value(variable.name.toLower());
    if (type.category == ModelDataType::CategoryNone)
        return QVariant();
    return rawValue(context, type);
}

QVariant specialVariableValue(const TsVariable &variable, AudioFile *context)
{
    return specialVariableValue(specialVariableIndex(variable.name.toLower()), context);
}

int specialVariableIndex(const QString &lowerCaseName)
{
    for (int i = 0; i < SpecialVariableCount; ++i) {
        if (lowerCaseName == QLatin1String(specialVariableNames[i]))
            return i;
    }
    return -1;
}

QVariant specialVariableValue(int index, AudioFile *context)
{
    switch (index) {
    case Counter:
        return scriptCounter(context);
    case CoverHeight: {
        const ArtworkTagItem *artwork = firstArtwork(context);
        return artwork ? std::max(artwork->image().height, 0) : 0;
    }
    case CoverMimeType: {
        const ArtworkTagItem *artwork = firstArtwork(context);
        return artwork ? artwork->image().mimeType() : QString();
    }
    case CoverSize: {
        const ArtworkTagItem *artwork = firstArtwork(context);
        return artwork ? int(artwork->image().data.size()) : 0;
    }
    case CoverType: {
        const ArtworkTagItem *artwork = firstArtwork(context);
        return artwork ? upperCaseFirst(ArtworkTagItem::pictureTypeName(artwork->pictureType), true) : QString();
    }
    case CoverWidth: {
        const ArtworkTagItem *artwork = firstArtwork(context);
        return artwork ? std::max(artwork->image().width, 0) : 0;
    }
    case Covers: {
        const AudioTag *tag = context ? context->combinedTag() : nullptr;
        return tag ? tag->itemCount(TagItemType::Artwork) : 0;
    }
    case Date:
        return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    case DateTime:
        return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh-mm-ss"));
    case FileCreateDate:
        return fileDateText(context, FileProperty::fileDateCreated, QStringLiteral("yyyy-MM-dd"));
    case FileCreateDateTime:
        return fileDateText(context, FileProperty::fileDateCreated, QStringLiteral("yyyy-MM-dd hh-mm-ss"));
    case FileCreateDateTimeRaw:
        return fileDateSeconds(context, FileProperty::fileDateCreated);
    case FileModDate:
        return fileDateText(context, FileProperty::fileDateModified, QStringLiteral("yyyy-MM-dd"));
    case FileModDateTime:
        return fileDateText(context, FileProperty::fileDateModified, QStringLiteral("yyyy-MM-dd hh-mm-ss"));
    case FileModDateTimeRaw:
        return fileDateSeconds(context, FileProperty::fileDateModified);
    case FileSize:
        return dataTypeValue(context, ModelDataType(FileProperty::fileSize), Qt::DisplayRole);
    case FileSizeKb:
        return qint64(rawValue(context, ModelDataType(FileProperty::fileSize)).toLongLong() / 1024);
    case FileSizeMb:
        return qint64(rawValue(context, ModelDataType(FileProperty::fileSize)).toLongLong() / 1048576);
    case Length:
        return dataTypeValue(context, ModelDataType(AudioProperty::playDuration), Qt::DisplayRole);
    case LengthSeconds:
        return rawValue(context, ModelDataType(AudioProperty::playDuration)).toInt() / 1000;
    case Mode:
        switch (rawValue(context, ModelDataType(AudioProperty::audioChannels)).toInt()) {
        case 1:
            return QStringLiteral("Mono");
        case 2:
            return QStringLiteral("Stereo");
        default:
            return QVariant();
        }
    case Rand:
        return int(processRandomGenerator().generate() & 0x7FFFFFFFu);
    case Tag: {
        QStringList names;
        if (context) {
            const QMap<int, AudioTag *> &tags = context->tags();
            for (auto it = tags.constBegin(); it != tags.constEnd(); ++it) {
                if (it.key() != TagType::Combined && it.value())
                    names.append(upperCaseFirst(AudioTag::tagTypeName(it.key()), true));
            }
        }
        return names.join(QStringLiteral(", "));
    }
    case TagSizeAppended:
        return tagSizeSum(context, false);
    case TagSizePrepended:
        return tagSizeSum(context, true);
    case Timestamp:
        return qint64(QDateTime::currentMSecsSinceEpoch() / 1000);
    case TotalFiles: {
        const IAppMainWindow *window = IAppMainWindow::instance();
        return window ? window->selectionFileCount() : 0;
    }
    case OrigYear:
        return yearOf(context, TagItemType::OriginalReleaseDate);
    case Year:
        return yearOf(context, TagItemType::ReleaseDate);
    default:
        return QVariant();
    }
}

TagItem *firstCombinedTagItem(AudioFile *file, int itemType)
{
    const AudioTag *tag = file ? file->combinedTag() : nullptr;
    return tag ? tag->item(itemType, 0) : nullptr;
}

void resetScriptCounters()
{
    ScriptCounters &counters = scriptCounters();
    counters.entries.clear();
    counters.filesMet = 0;
}
