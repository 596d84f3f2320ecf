#pragma once

#include "libtagging/aiff/aiffsettings.h"
#include "libtagging/asf/asfsettings.h"
#include "libtagging/id3/id3v1settings.h"
#include "libtagging/id3/id3v2settings.h"
#include "libtagging/model/tagtypeoption.h"
#include "libtagging/mp4/mp4settings.h"
#include "libtagging/riff/riffsettings.h"
#include "libtagging/xiph/flacsettings.h"
#include "libtagging/xiph/opussettings.h"
#include "libtagging/xiph/speexsettings.h"
#include "libtagging/xiph/vorbiscommentsettings.h"
#include "libtagging/xiph/vorbissettings.h"

#include <QList>
#include <QMap>
#include <QString>

// How tags are written: which tag types each file type writes, keeps or removes, the
// general flags and one option record per format. A plain value: every audio stream holds
// its own copy. The program keeps it under the settings group "tagging".
class TaggingSettings
{
public:
    using TagTypeOptions = QMap<int, QList<TagTypeOption>>;

    TaggingSettings();

    // The process-wide record with the defaults, for readers and writers given no settings.
    static const TaggingSettings &defaults();
    // The default options of every file type that has any, by file type id.
    static const TagTypeOptions &defaultWrittenTagTypes();

    // Keys that neither the user's settings nor the defaults document hold read as false or
    // 0, so the defaults document must hold every key.
    static TaggingSettings load(const QString &group);
    void save(const QString &group) const;

    // The defaults with the differences stored under the full key applied. Malformed
    // entries are skipped one by one.
    static TagTypeOptions loadWrittenTagTypes(const QString &key);
    // Stores only the options that differ from the defaults; removes the key when none does.
    static void saveWrittenTagTypes(const TagTypeOptions &options, const QString &key);

    // Display texts of option values; empty for a value without one.
    static QString coverArtTypeName(int value);
    static QString id3v2VersionName(int value);
    static QString id3v2TextEncodingName(int value);
    static QString id3v1TextEncodingName(int value);

    bool operator==(const TaggingSettings &other) const = default;

    TagTypeOptions writtenTagTypes;
    bool multiArtistsInExtraField = true;
    bool updateTaggingDate = true;
    bool updateWriteProtectedFiles = false;
    AiffSettings aiff;
    AsfSettings asf;
    FlacSettings flac;
    Mp4Settings mp4;
    RiffSettings riff;
    OpusSettings opus;
    SpeexSettings speex;
    VorbisSettings vorbis;
    Id3v1Settings id3v1;
    Id3v2Settings id3v2;
    VorbisCommentSettings vorbisComment;
};
