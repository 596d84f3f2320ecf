#include "libtagging/model/taggingsettings.h"

#include "libcore/settings/settingsstore.h"
#include "libcore/text/texttable.h"
#include "libtagging/aiff/aiffstreamio.h"
#include "libtagging/asf/asfstreamio.h"
#include "libtagging/id3/id3v1tagio.h"
#include "libtagging/id3/id3v2tagio.h"
#include "libtagging/model/filetype.h"
#include "libtagging/mp4/mp4streamio.h"
#include "libtagging/riff/riffstreamio.h"
#include "libtagging/xiph/flacstreamio.h"
#include "libtagging/xiph/opusstreamio.h"
#include "libtagging/xiph/speexstreamio.h"
#include "libtagging/xiph/vorbiscommenttagio.h"
#include "libtagging/xiph/vorbisstreamio.h"

#include <iterator>

namespace {

// File type ids that may have default options.
constexpr int FirstFileType = 0;
constexpr int LastFileType = 16;

// One "fileType:tagType:mode" entry; false when it is not three base-10 integers.
bool parseEntry(const QString &entry, int *fileType, int *tagType, int *mode)
{
    const QStringList fields = entry.split(u':');
    if (fields.size() != 3)
        return false;
    int *const targets[] = {fileType, tagType, mode};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        *targets[i] = fields.at(i).toInt(&ok, 10);
        if (!ok)
            return false;
    }
    return true;
}

bool isValidMode(int mode)
{
    return mode == TagTypeMode::Write || mode == TagTypeMode::Keep || mode == TagTypeMode::Remove;
}

template <std::size_t N>
QString nameFromTable(const quint32 (&ids)[N], int value)
{
    return value >= 0 && std::size_t(value) < N ? textForId(ids[value]) : QString();
}

} // namespace

TaggingSettings::TaggingSettings() : writtenTagTypes(defaultWrittenTagTypes()) {}

const TaggingSettings &TaggingSettings::defaults()
{
    static const TaggingSettings settings;
    return settings;
}

const TaggingSettings::TagTypeOptions &TaggingSettings::defaultWrittenTagTypes()
{
    static const TagTypeOptions options = [] {
        TagTypeOptions result;
        for (int id = FirstFileType; id <= LastFileType; ++id) {
            const QList<TagTypeOption> list = FileType::defaultTagTypeOptions(id);
            if (!list.isEmpty())
                result.insert(id, list);
        }
        return result;
    }();
    return options;
}

TaggingSettings TaggingSettings::load(const QString &group)
{
    const QString prefix = group + u'/';
    TaggingSettings s;
    s.writtenTagTypes = loadWrittenTagTypes(prefix + QStringLiteral("writtenTagTypes"));
    s.multiArtistsInExtraField = SettingsStore::option<bool>(group, QStringLiteral("multiArtistsInExtraField"));
    s.updateTaggingDate = SettingsStore::option<bool>(group, QStringLiteral("updateTaggingDate"));
    s.updateWriteProtectedFiles = SettingsStore::option<bool>(group, QStringLiteral("updateWriteProtectedFiles"));
    s.aiff = AiffStreamIo::loadSettings(prefix + QStringLiteral("aiff"));
    s.asf = AsfStreamIo::loadSettings(prefix + QStringLiteral("asf"));
    s.flac = FlacStreamIo::loadSettings(prefix + QStringLiteral("flac"));
    s.mp4 = Mp4StreamIo::loadSettings(prefix + QStringLiteral("mp4"));
    s.riff = RiffStreamIo::loadSettings(prefix + QStringLiteral("riff"));
    s.opus = OpusStreamIo::loadSettings(prefix + QStringLiteral("opus"));
    s.speex = SpeexStreamIo::loadSettings(prefix + QStringLiteral("speex"));
    s.vorbis = VorbisStreamIo::loadSettings(prefix + QStringLiteral("vorbis"));
    s.id3v1 = Id3v1TagIo::loadSettings(prefix + QStringLiteral("id3v1"));
    s.id3v2 = Id3v2TagIo::loadSettings(prefix + QStringLiteral("id3v2"));
    s.vorbisComment = VorbisCommentTagIo::loadSettings(prefix + QStringLiteral("vorbisComment"));
    return s;
}

void TaggingSettings::save(const QString &group) const
{
    const QString prefix = group + u'/';
    SettingsStore::removeChildren(group);
    saveWrittenTagTypes(writtenTagTypes, prefix + QStringLiteral("writtenTagTypes"));
    SettingsStore::setOption(group, QStringLiteral("multiArtistsInExtraField"), multiArtistsInExtraField);
    SettingsStore::setOption(group, QStringLiteral("updateTaggingDate"), updateTaggingDate);
    SettingsStore::setOption(group, QStringLiteral("updateWriteProtectedFiles"), updateWriteProtectedFiles);
    AiffStreamIo::saveSettings(aiff, prefix + QStringLiteral("aiff"));
    AsfStreamIo::saveSettings(asf, prefix + QStringLiteral("asf"));
    FlacStreamIo::saveSettings(flac, prefix + QStringLiteral("flac"));
    Mp4StreamIo::saveSettings(mp4, prefix + QStringLiteral("mp4"));
    RiffStreamIo::saveSettings(riff, prefix + QStringLiteral("riff"));
    OpusStreamIo::saveSettings(opus, prefix + QStringLiteral("opus"));
    SpeexStreamIo::saveSettings(speex, prefix + QStringLiteral("speex"));
    VorbisStreamIo::saveSettings(vorbis, prefix + QStringLiteral("vorbis"));
    Id3v1TagIo::saveSettings(id3v1, prefix + QStringLiteral("id3v1"));
    Id3v2TagIo::saveSettings(id3v2, prefix + QStringLiteral("id3v2"));
    VorbisCommentTagIo::saveSettings(vorbisComment, prefix + QStringLiteral("vorbisComment"));
}

TaggingSettings::TagTypeOptions TaggingSettings::loadWrittenTagTypes(const QString &key)
{
    TagTypeOptions options = defaultWrittenTagTypes();
    const QString text = SettingsStore::value(key);
    if (text.isEmpty())
        return options;
    for (const QString &entry : text.split(u',')) {
        int fileType = 0;
        int tagType = 0;
        int mode = 0;
        // A mode the writers do not know would make them neither write, keep nor remove.
        if (!parseEntry(entry, &fileType, &tagType, &mode) || !isValidMode(mode))
            continue;
        const auto list = options.find(fileType);
        if (list == options.end())
            continue;
        for (TagTypeOption &option : *list) {
            if (option.tagType == tagType)
                option.mode = mode;
        }
    }
    return options;
}

void TaggingSettings::saveWrittenTagTypes(const TagTypeOptions &options, const QString &key)
{
    const TagTypeOptions &defaultOptions = defaultWrittenTagTypes();
    QString text;
    for (auto it = options.cbegin(); it != options.cend(); ++it) {
        const QList<TagTypeOption> defaultList = defaultOptions.value(it.key());
        for (const TagTypeOption &option : it.value()) {
            for (const TagTypeOption &defaultOption : defaultList) {
                if (defaultOption.tagType != option.tagType || defaultOption.mode == option.mode)
                    continue;
                if (!text.isEmpty())
                    text += u',';
                text += QStringLiteral("%1:%2:%3").arg(it.key()).arg(option.tagType).arg(option.mode);
            }
        }
    }
    if (text.isEmpty())
        SettingsStore::remove(key);
    else
        SettingsStore::setValue(key, text);
}

QString TaggingSettings::coverArtTypeName(int value)
{
    // 0 is the text "none", which other option lists share.
    static const quint32 ids[] = {402533892u, 1227918369u, 3345717218u};
    return nameFromTable(ids, value);
}

QString TaggingSettings::id3v2VersionName(int value)
{
    static const quint32 ids[] = {3857957446u, 880531248u, 4174824903u};
    return nameFromTable(ids, value - 2);
}

QString TaggingSettings::id3v2TextEncodingName(int value)
{
    static const quint32 ids[] = {909938478u, 4144604149u, 179315782u, 2896532143u,
                                  2502242373u, 3783645855u, 922483559u};
    return nameFromTable(ids, value);
}

QString TaggingSettings::id3v1TextEncodingName(int value)
{
    // The same texts as the ID3v2 values 0, 1 and 4.
    static const quint32 ids[] = {909938478u, 4144604149u, 2502242373u};
    return nameFromTable(ids, value);
}
