#include "libtagging/id3/id3v2tagio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/asciitextcodec.h"
#include "libcore/text/latin1textcodec.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/textmatching.h"
#include "libcore/util/partialdatetime.h"
#include "libcore/util/scratchowner.h"
#include "libtagging/id3/id3v1genretable.h"
#include "libtagging/id3/id3v2framecursor.h"
#include "libtagging/id3/id3v2framereader.h"
#include "libtagging/id3/id3v2framewriter.h"
#include "libtagging/id3/id3v2readstate.h"
#include "libtagging/id3/id3v2unknownframetagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/datetimetagitem.h"
#include "libtagging/model/padding.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/model/unknownid3v2datatagitem.h"
#include "libtagging/model/volumeadjustmenttagitem.h"
#include "libcore/text/utf16betextcodec.h"
#include "libcore/text/utf16letextcodec.h"
#include "libcore/text/utf16textcodec.h"
#include "libcore/text/utf8textcodec.h"

#include <QHash>
#include <QtEndian>

#include <algorithm>
#include <memory>
#include <zlib.h>

namespace {
constexpr quint32 maxSynchsafe = 0x0FFFFFFF;
constexpr int maxFrameSize22 = 0xFFFFFF;
// The stream's code for a negative fill, since the padding is built without a stream.
constexpr quint32 negativeFillCount = 0x60E3E649;

void appendUInt32(QByteArray &bytes, quint32 value)
{
    char buffer[4];
    qToBigEndian(value, buffer);
    bytes.append(buffer, 4);
}
} // namespace

int Id3v2TagIo::decodeSynchsafe(quint32 value)
{
    return int((value & 0x7F000000u) >> 3 | (value & 0x007F0000u) >> 2 | (value & 0x00007F00u) >> 1
               | (value & 0x0000007Fu));
}

quint32 Id3v2TagIo::encodeSynchsafe(int value)
{
    if (value < 0 || quint32(value) > maxSynchsafe)
        throw Exception(SizeTooLarge, {value});
    const quint32 v = quint32(value);
    return (v & 0x0FE00000u) << 3 | (v & 0x001FC000u) << 2 | (v & 0x00003F80u) << 1 | (v & 0x0000007Fu);
}

int Id3v2TagIo::decodeSizeField(quint32 value)
{
    return (value & 0x80808080u) ? int(value) : decodeSynchsafe(value);
}

void Id3v2TagIo::removeUnsynchronisation(QByteArray &data)
{
    const qsizetype n = data.size();
    qsizetype out = 0;
    char *bytes = data.data();
    for (qsizetype i = 0; i < n; ++i) {
        bytes[out++] = bytes[i];
        if (uchar(bytes[i]) == 0xFF && i + 1 < n && bytes[i + 1] == 0)
            ++i;
    }
    data.truncate(out);
}

bool Id3v2TagIo::applyUnsynchronisation(QByteArray &data)
{
    // A 0xFF needs a zero after it when the next byte could be read as a sync pattern, when
    // it is the last byte (the next frame or the audio could begin with one), and when a
    // zero already follows (so that removal restores it).
    const qsizetype n = data.size();
    auto needsZero = [&](qsizetype i) {
        return uchar(data[i]) == 0xFF && (i + 1 == n || data[i + 1] == 0 || uchar(data[i + 1]) >= 0xE0);
    };
    bool falseSync = false;
    for (qsizetype i = 0; i < n && !falseSync; ++i)
        falseSync = uchar(data[i]) == 0xFF && (i + 1 == n || uchar(data[i + 1]) >= 0xE0);
    if (!falseSync)
        return false;
    QByteArray result;
    result.reserve(n + n / 8 + 1);
    for (qsizetype i = 0; i < n; ++i) {
        result.append(data[i]);
        if (needsZero(i))
            result.append('\0');
    }
    const bool changed = result.size() != n;
    data = result;
    return changed;
}

QByteArray Id3v2TagIo::frameBytes(const QString &frameId, const QByteArray &data, const Id3v2Settings *settings,
                                  const Id3v2FrameFlags *flags)
{
    const int version = settings->version;
    if (version < 2 || version > 4)
        throw Exception(InvalidVersion, {version});
    const QString id = convertFrameId(frameId, version);
    if (id.isEmpty())
        return {};
    const Id3v2FrameFlags f = flags ? *flags : Id3v2FrameFlags();
    QByteArray frame = id.toLatin1();
    if (version == 2) {
        if (data.size() > maxFrameSize22)
            return {};
        const quint32 size = quint32(data.size());
        frame.append(char(size >> 16)).append(char(size >> 8)).append(char(size));
        return frame + data;
    }
    QByteArray extra;
    char status = 0;
    char format = 0;
    if (version == 3) {
        status = char((f.tagAlterPreservation ? 0x80 : 0) | (f.fileAlterPreservation ? 0x40 : 0)
                      | (f.readOnly ? 0x20 : 0));
        if (f.compression) {
            appendUInt32(extra, quint32(f.dataLength));
            format |= char(0x80);
        }
        if (f.encryption) {
            extra.append(char(f.encryptionMethod));
            format |= 0x40;
        }
        if (f.grouping) {
            extra.append(char(f.groupId));
            format |= 0x20;
        }
    } else {
        status = char((f.tagAlterPreservation ? 0x40 : 0) | (f.fileAlterPreservation ? 0x20 : 0)
                      | (f.readOnly ? 0x10 : 0));
        if (f.grouping) {
            extra.append(char(f.groupId));
            format = 0x40;
        }
        if (f.compression)
            format |= 0x08;
        if (f.encryption) {
            extra.append(char(f.encryptionMethod));
            format |= 0x04;
        }
        if (f.dataLengthIndicator) {
            appendUInt32(extra, encodeSynchsafe(f.dataLength));
            format |= 0x01;
        }
    }
    QByteArray body = extra + data;
    if (version == 4 && settings->useUnsync && applyUnsynchronisation(body))
        format |= 0x02;
    if (version == 3) {
        // Sizes of 2.3 are plain 32-bit numbers; a QByteArray cannot exceed them.
        appendUInt32(frame, quint32(body.size()));
    } else {
        if (body.size() > qsizetype(maxSynchsafe))
            throw Exception(SizeTooLarge, {qint64(body.size())});
        appendUInt32(frame, encodeSynchsafe(int(body.size())));
    }
    frame.append(status).append(format);
    return frame + body;
}

TextCodec *Id3v2TagIo::codecForEncodingByte(quint8 byte)
{
    switch (byte) {
    case 1:
        return Utf16TextCodec::instance();
    case 2:
        return Utf16BeTextCodec::instance();
    case 3:
        return Utf8TextCodec::instance();
    default:
        return Latin1TextCodec::instance();
    }
}

TextCodec *Id3v2TagIo::codecForTexts(const QStringList &texts, bool *withBom, const Id3v2Settings *settings)
{
    *withBom = false;
    const int option = settings->textEncoding;
    switch (option) {
    case 0:
        return Latin1TextCodec::instance();
    case 1:
        return Utf8TextCodec::instance();
    case 2:
        *withBom = true;
        return Utf16LeTextCodec::instance();
    case 3:
        *withBom = true;
        return Utf16BeTextCodec::instance();
    case 4:
    case 5:
    case 6:
        for (const QString &text : texts) {
            if (!Latin1TextCodec::instance()->canEncode(text)) {
                if (option == 4)
                    return Utf8TextCodec::instance();
                *withBom = true;
                if (option == 5)
                    return Utf16LeTextCodec::instance();
                return Utf16BeTextCodec::instance();
            }
        }
        return Latin1TextCodec::instance();
    default:
        throw Exception(InvalidTextEncoding, {option});
    }
}

TextCodec *Id3v2TagIo::codecForText(const QString &text, bool *withBom, const Id3v2Settings *settings)
{
    return codecForTexts(QStringList{text}, withBom, settings);
}

TextCodec *Id3v2TagIo::latin1OrUtf8Codec(const QStringList &texts)
{
    for (const QString &text : texts) {
        if (!Latin1TextCodec::instance()->canEncode(text))
            return Utf8TextCodec::instance();
    }
    return Latin1TextCodec::instance();
}

QString Id3v2TagIo::fileTypeFromCode(const QString &code)
{
    static const struct {
        const char *code;
        const char *text;
    } types[] = {{"MPG", "MPEG"},        {"MPG/1", "MP1"}, {"MPG/2", "MP2"},     {"MPG/3", "MP3"},
                 {"MPG/2.5", "MPEG-2.5"}, {"AAC", "AAC"},   {"MPG/AAC", "AAC"}};
    for (const auto &type : types) {
        if (code == QLatin1String(type.code))
            return QString::fromLatin1(type.text);
    }
    return code;
}

QString Id3v2TagIo::mediaTypeFromCode(const QString &code)
{
    static const struct {
        const char *code;
        const char *text;
    } types[] = {{"DIG", "Digital media"}, {"ANA", "Analog media"}, {"CD", "CD"},
                 {"LD", "Laserdisc"},      {"TT", "Vinyl"},          {"MD", "MiniDisc"},
                 {"DAT", "Digital Audio Tape"}, {"DCC", "Digital Compact Cassette"},
                 {"DVD", "DVD"},           {"TV", "Television"},     {"VID", "Video"},
                 {"RAD", "Radio"},         {"TEL", "Telephone"},     {"MC", "Cassette"},
                 {"REE", "Reel"}};
    // The refinement after the slash (CD/A, TT/33) is dropped.
    for (const auto &type : types) {
        const QLatin1String c(type.code);
        if (code == c || (code.startsWith(c) && code.size() > c.size() && code.at(c.size()) == u'/'))
            return QString::fromLatin1(type.text);
    }
    return code;
}

Id3v2TagIo *Id3v2TagIo::instance()
{
    static Id3v2TagIo io;
    return &io;
}

int Id3v2TagIo::tagType() const
{
    return TagType::Id3v2;
}

bool Id3v2TagIo::isPrepended() const
{
    return true;
}

QList<int> Id3v2TagIo::supportedItemTypes() const
{
    static const QList<int> types = [] {
        using namespace TagItemType;
        const QList<int> excluded{EncoderSettings,     ExplicitContent,   GaplessPlayback,   RecordingDate,
                                  RecordingLocation,   UnknownApeData,    UnknownAsfData,    UnknownAsfString,
                                  UnknownLyrics3String, UnknownMatroskaData, UnknownMp4Data, UnknownMp4String,
                                  UnknownRiffData,     UnknownRiffString};
        QList<int> result;
        for (int type = 0; type < Count; ++type) {
            if (!excluded.contains(type))
                result.append(type);
        }
        return result;
    }();
    return types;
}

// Settings

Id3v2Settings Id3v2TagIo::loadSettings(const QString &group)
{
    const Id3v2Settings defaults;
    Id3v2Settings s;
    s.version = SettingsStore::option<int>(group, QStringLiteral("version"), defaults.version);
    s.textEncoding = SettingsStore::option<int>(group, QStringLiteral("textEncoding"), defaults.textEncoding);
    s.useUnsync = SettingsStore::option<bool>(group, QStringLiteral("useUnsync"));
    s.iTunesTags = SettingsStore::option<bool>(group, QStringLiteral("iTunesTags"));
    s.preferredPaddingSize =
        SettingsStore::option<int>(group, QStringLiteral("preferredPaddingSize"), defaults.preferredPaddingSize);
    s.maximumPaddingSize =
        SettingsStore::option<int>(group, QStringLiteral("maximumPaddingSize"), defaults.maximumPaddingSize);
    // A value that cannot be written would otherwise give tags without text frames.
    if (!s.isValidVersion())
        s.version = defaults.version;
    if (!s.isValidTextEncoding())
        s.textEncoding = defaults.textEncoding;
    if (s.preferredPaddingSize < 0)
        s.preferredPaddingSize = defaults.preferredPaddingSize;
    if (s.maximumPaddingSize < 0)
        s.maximumPaddingSize = defaults.maximumPaddingSize;
    return s;
}

void Id3v2TagIo::saveSettings(const Id3v2Settings &settings, const QString &group)
{
    SettingsStore::setOption(group, QStringLiteral("version"), settings.version);
    SettingsStore::setOption(group, QStringLiteral("textEncoding"), settings.textEncoding);
    SettingsStore::setOption(group, QStringLiteral("useUnsync"), settings.useUnsync);
    SettingsStore::setOption(group, QStringLiteral("iTunesTags"), settings.iTunesTags);
    SettingsStore::setOption(group, QStringLiteral("preferredPaddingSize"), settings.preferredPaddingSize);
    SettingsStore::setOption(group, QStringLiteral("maximumPaddingSize"), settings.maximumPaddingSize);
}

// Detection

TagInfo *Id3v2TagIo::detect(IoStream *stream, bool atStart, QObject *parent)
{
    const qint64 start = stream->pos();
    const qint64 size = stream->size();
    QByteArray header;
    if (atStart) {
        if (start + HeaderSize > size)
            return nullptr;
        header = stream->readBytes(HeaderSize);
    } else {
        if (start < HeaderSize || start > size)
            return nullptr;
        stream->seek(start - HeaderSize);
        header = stream->readBytes(HeaderSize);
    }
    if (!header.startsWith(atStart ? "ID3" : "3DI"))
        return nullptr;
    const int version = uchar(header.at(3));
    const int revision = uchar(header.at(4));
    const int flags = uchar(header.at(5));
    const int dataSize = decodeSizeField(qFromBigEndian<quint32>(header.constData() + 6));
    // A plain size of 2 GiB or more cannot be a tag.
    if (version < 2 || version > 4 || dataSize < 0)
        return nullptr;
    const bool hasFooter = version == 4 && (flags & 0x10);
    const qint64 total = HeaderSize + qint64(dataSize) + (hasFooter ? HeaderSize : 0);
    if (size < total || total > INT_MAX)
        return nullptr;

    QByteArray rawData;
    qint64 offset = start;
    if (atStart) {
        stream->seek(start);
        rawData = stream->readBytes(total);
    } else {
        if (start < total)
            return nullptr;
        offset = start - total;
        stream->seek(offset);
        const std::unique_ptr<TagInfo> header(detect(stream, true, nullptr));
        if (!header)
            return nullptr;
        rawData = header->values.value(TagInfo::RawDataKey).toByteArray();
    }

    // Keys in ascending order, each placed at the end without a search.
    auto info = std::make_unique<TagInfo>();
    QMap<int, QVariant> &values = info->values;
    const auto add = [&values](int key, const QVariant &value) { values.insert(values.cend(), key, value); };
    add(TagInfo::TagTypeKey, int(TagType::Id3v2));
    add(TagInfo::RawDataKey, rawData);
    add(TagInfo::OffsetKey, offset);
    add(TagInfo::SizeKey, int(total));
    add(TagInfo::DataOffsetKey, offset + HeaderSize);
    add(TagInfo::DataSizeKey, dataSize);
    add(TagInfo::PrependedKey, atStart);
    add(VersionKey, version);
    add(RevisionKey, revision);
    add(HasHeaderKey, true);
    add(HasExtendedHeaderKey, version != 2 && (flags & 0x40));
    add(HasFooterKey, hasFooter);
    add(UnsynchronisedKey, bool(flags & 0x80));
    add(CompressedKey, version == 2 && (flags & 0x40));
    add(ExperimentalKey, version != 2 && (flags & 0x20));
    info->setParent(parent);
    return info.release();
}

namespace {
// The frame-chain check over the frames from start in data.
bool chainsWithSynchsafeSizes(const QByteArray &data, qsizetype start)
{
    const qsizetype size = data.size();
    auto onlyZerosFrom = [&](qsizetype position) {
        return std::all_of(data.cbegin() + position, data.cend(), [](char c) { return c == 0; });
    };
    qsizetype position = start;
    while (position + Id3v2TagIo::HeaderSize <= size) {
        const char *header = data.constData() + position;
        const quint32 sizeField = qFromBigEndian<quint32>(header + 4);
        if (sizeField & 0x80808080u)
            return false;
        if (!std::all_of(header, header + 4, Id3v2FrameHeader::isIdByte))
            return onlyZerosFrom(position);
        const qint64 next = position + Id3v2TagIo::HeaderSize + Id3v2TagIo::decodeSynchsafe(sizeField);
        // A last frame that runs past the end says nothing against synchsafe sizes; the
        // reader cuts it to what is there.
        if (next > size)
            return true;
        position = next;
    }
    return onlyZerosFrom(qMin(position, size));
}
} // namespace

bool Id3v2TagIo::hasSynchsafeFrameSizes(IoStream *frames)
{
    const qint64 start = frames->pos();
    const QByteArray rest = frames->readAll();
    frames->seek(start);
    return chainsWithSynchsafeSizes(rest, 0);
}

// Reading

namespace {
// A frame the loop gives up on: the frames read before it are kept.
struct EndOfFrames {
};

// The id in its version 2.3 spelling, or trimmed as read when it has none. Every frame asks:
// the ids of the table are looked up by their bytes.
QString normalizedFrameId(const char *bytes, int size)
{
    const auto normalized = [](const QString &read) {
        const QString id = read.trimmed();
        const QString converted = Id3v2TagIo::convertFrameId(id, 3);
        return converted.isEmpty() ? id : converted;
    };
    static const QHash<QByteArray, QString> known = [&normalized] {
        QHash<QByteArray, QString> result;
        for (const Id3v2FrameIdRow &row : Id3v2FrameIdTable::rows()) {
            for (const QString *cell : {&row.id22, &row.id23, &row.id24}) {
                if (!cell->isEmpty())
                    result.insert(cell->toLatin1(), normalized(*cell));
            }
        }
        return result;
    }();
    const auto found = known.constFind(QByteArray::fromRawData(bytes, size));
    return found != known.constEnd() ? *found : normalized(QString::fromLatin1(bytes, size));
}

quint32 readUInt(const QByteArray &data, qsizetype &position, int bytes)
{
    if (position + bytes > data.size())
        throw EndOfFrames();
    quint32 value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | uchar(data.at(position++));
    return value;
}

} // namespace

AudioTag *Id3v2TagIo::read(IoStream *stream, TagInfo *info, const TaggingSettings *settings, QObject *parent)
{
    // No settings: the record's defaults, which the default tagging settings hold.
    return readTag(stream, info, settings ? settings->id3v2 : Id3v2Settings(), parent);
}

AudioTag *Id3v2TagIo::readTag(IoStream *stream, TagInfo *info, const Id3v2Settings &settings, QObject *parent)
{
    ScratchOwner owner;
    if (!info || info->values.value(TagInfo::TagTypeKey).toInt() != TagType::Id3v2)
        throw Exception(NotAnId3v2Tag, {stream->displayName()});
    const int version = info->values.value(VersionKey, -1).toInt();
    if (version < 2 || version > 4)
        throw Exception(UnreadableVersion, {stream->displayName(), info->version()});
    auto *tag = new AudioTag(&owner);
    tag->setTagInfo(info);

    const QVariant sizeValue = info->values.value(TagInfo::DataSizeKey, -1);
    QByteArray data = stream->readBytes(sizeValue.toLongLong());
    if (version < 4 && info->values.value(UnsynchronisedKey).toBool())
        removeUnsynchronisation(data);

    qsizetype position = 0;
    if (hasExtendedHeader(info) && version > 2) {
        qint64 skip = 0;
        try {
            const quint32 field = readUInt(data, position, 4);
            if (version == 3) {
                skip = field;
            } else {
                const qint64 extendedSize = (field & 0x80808080u) ? qint64(field) : decodeSynchsafe(field);
                if (extendedSize < 4)
                    throw Exception(ExtendedHeaderTooSmall, {stream->displayName(), extendedSize});
                skip = extendedSize - 4;
            }
        } catch (const EndOfFrames &) {
            skip = data.size();
        }
        // Skipping past the data fails like any seek outside a stream.
        IoStream header(data, QIODevice::ReadOnly);
        header.setName(stream->name());
        header.seek(position + skip);
        position += skip;
    }

    Id3v2ReadState state;
    state.tag = tag;
    state.settings = &settings;
    state.version = version;
    state.sourceStream = stream;
    state.parent = &owner;
    state.volumeAdjustment = new VolumeAdjustmentTagItem(&owner);

    const int headerSize = Id3v2FrameHeader::size(version);
    const bool synchsafe = version == 4 && chainsWithSynchsafeSizes(data, position);

    try {
        Id3v2FrameHeader header;
        while (position + headerSize <= data.size()) {
            const Id3v2FrameHeader::Result result = header.decode(data, position, version, synchsafe);
            if (result == Id3v2FrameHeader::Truncated)
                throw EndOfFrames();
            if (result == Id3v2FrameHeader::NoFrame)
                break;
            Id3v2FrameFlags &flags = header.flags;
            const char *const idBytes = header.id;
            const int idSize = header.idSize;
            const qsizetype length = qMin<qsizetype>(header.dataSize, data.size() - position);
            QByteArray frameData = data.mid(position, length);
            position += length;

            if (version == 4 && flags.unsynchronisation)
                removeUnsynchronisation(frameData);
            const qsizetype extra = flags.readExtraBytes(version, frameData);
            if (extra < 0)
                throw EndOfFrames();
            if (extra > 0)
                frameData.remove(0, extra);
            flags.unsynchronisation = false;

            if (flags.encryption) {
                addUnknownFrame(tag, QString::fromLatin1(idBytes, idSize), flags, frameData);
                continue;
            }

            const QString normalized = normalizedFrameId(idBytes, idSize);
            try {
                if (flags.compression) {
                    if (!flags.dataLengthIndicator) {
                        Logger::warning(CompressedWithoutLength, {stream->displayName()});
                        throw Exception::quiet();
                    }
                    if (!frameData.isEmpty()) {
                        const QByteArray inflated = inflate(frameData);
                        if (inflated.isEmpty()) {
                            Logger::warning(InflationFailed, {stream->displayName()});
                            throw Exception::quiet();
                        }
                        frameData = inflated;
                        flags.compression = false;
                    }
                }
                if (frameData.isEmpty())
                    continue;
                // A frame kept as unknown data by its handler keeps its flags too.
                state.flags = flags;
                Id3v2FrameCursor frame(frameData, stream);
                readFrameContent(state, normalized, frame);
            } catch (const Exception &) {
                addUnknownFrame(tag, normalized, flags, frameData);
            }
        }
    } catch (const EndOfFrames &) {
        // A frame header or its extra bytes run past the data: keep what was read.
    }

    if (state.releaseDate.year() >= 0)
        tag->addItem(new ReleaseDateTagItem(state.releaseDate));
    if (state.originalReleaseDate.year() >= 0)
        tag->addItem(new OriginalReleaseDateTagItem(state.originalReleaseDate));
    const VolumeAdjustmentTagItem *volume = state.volumeAdjustment;
    if (volume->trackGain != 0.0 || volume->trackPeak != 0.0 || volume->albumGain != 0.0 || volume->albumPeak != 0.0)
        tag->addItem(state.volumeAdjustment);
    if (tag->contains(IsPodcastTagItem::Type) && tag->itemText(PodcastUrlTagItem::Type).trimmed().isEmpty())
        tag->removeItems(IsPodcastTagItem::Type);
    removeRepeatedArtists(tag);
    tag->setParent(parent);
    return tag;
}

bool Id3v2TagIo::hasExtendedHeader(const TagInfo *info)
{
    return info && info->values.value(HasExtendedHeaderKey).toBool();
}

void Id3v2TagIo::removeRepeatedArtists(AudioTag *tag)
{
    QList<TagItem *> kept;
    for (TagItem *artist : tag->items(TagItemType::Artist)) {
        const bool repeated = std::any_of(kept.cbegin(), kept.cend(),
                                          [artist](const TagItem *other) { return artist->equals(other); });
        if (repeated)
            tag->removeItem(artist);
        else
            kept.append(artist);
    }
}

QByteArray Id3v2TagIo::inflate(const QByteArray &data, qint64 limit)
{
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return {};
    QByteArray result;
    char chunk[64 * 1024];
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = uInt(data.size());
    int status = Z_OK;
    while (status == Z_OK) {
        zs.next_out = reinterpret_cast<Bytef *>(chunk);
        zs.avail_out = sizeof chunk;
        status = ::inflate(&zs, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            break;
        const qsizetype produced = qsizetype(sizeof chunk - zs.avail_out);
        if (result.size() + produced > limit) {
            status = Z_MEM_ERROR;
            break;
        }
        result.append(chunk, produced);
        if (status == Z_OK && produced == 0 && zs.avail_in == 0) {
            status = Z_DATA_ERROR; // truncated stream
            break;
        }
    }
    inflateEnd(&zs);
    return status == Z_STREAM_END ? result : QByteArray();
}

void Id3v2TagIo::addUnknownFrame(AudioTag *tag, const QString &frameId, const Id3v2FrameFlags &flags,
                                 const QByteArray &data)
{
    if (data.isEmpty() || frameId.isEmpty())
        return;
    tag->addItem(new Id3v2UnknownFrameTagItem(frameId, flags, data));
}

void Id3v2TagIo::readFrameContent(Id3v2ReadState &state, const QString &frameId, Id3v2FrameCursor &frame)
{
    Id3v2FrameReader::readFrameContent(state, frameId, frame);
}

// Writing

void Id3v2TagIo::renderFrame(IoStream *out, const QString &frameId, const QByteArray &data,
                             const Id3v2Settings *settings, const Id3v2FrameFlags *flags)
{
    const QByteArray frame = frameBytes(frameId, data, settings, flags);
    if (!frame.isEmpty())
        out->writeBytes(frame);
}

void Id3v2TagIo::render(IoStream *out, const AudioTag *tag, const TaggingSettings *settings)
{
    if (settings)
        renderTag(out, tag, settings->id3v2, settings->multiArtistsInExtraField);
    else
        renderTag(out, tag, Id3v2Settings());
}

void Id3v2TagIo::renderTag(IoStream *out, const AudioTag *tag, const Id3v2Settings &s, bool multiArtistsInExtraField)
{
    // Settings no frame could be written with are refused before anything is written, not
    // turned into a tag without its texts.
    if (!s.isValidVersion())
        throw Exception(InvalidVersion, {s.version});
    if (!s.isValidTextEncoding())
        throw Exception(InvalidTextEncoding, {s.textEncoding});

    QByteArray frames = Id3v2FrameWriter(out, tag, &s, multiArtistsInExtraField).renderFrames();
    char flags = 0;
    if (s.version < 4 && s.useUnsync && applyUnsynchronisation(frames))
        flags = char(0x80);

    const qint64 n = frames.size();
    const qint64 available = s.availableSize;
    qint64 padding = paddingSize(available - n - HeaderSize, s);
    if (padding < 0)
        throw Exception(negativeFillCount, {padding});
    const qint64 dataSize = n + padding;
    if (dataSize > qint64(0x0FFFFFFF))
        throw Exception(SizeTooLarge, {dataSize});

    QByteArray bytes;
    bytes.reserve(HeaderSize + dataSize);
    bytes.append("ID3", 3).append(char(s.version)).append('\0').append(flags);
    appendUInt32(bytes, encodeSynchsafe(int(dataSize)));
    bytes.append(frames);
    bytes.append(QByteArray(padding, '\0'));
    out->writeBytes(bytes);
}

quint8 Id3v2TagIo::encodingByteForCodec(IoStream *out, TextCodec *codec)
{
    switch (codec->mib()) {
    case 4:
        return 0;
    case 1013:
    case 1014:
    case 1015:
        return 1;
    case 106:
        return 3;
    default:
        throw Exception(NoEncodingByte, {out->displayName(), codec->mib()});
    }
}

QStringList Id3v2TagIo::parseGenres(const QString &text)
{
    // Most genres are one name without parentheses: nothing to split.
    QStringList parts;
    if (text.contains(u'(') || text.contains(u')') || text.contains(QChar(0))) {
        QString copy = text;
        copy.replace(u'(', QChar(0)).replace(u')', QChar(0));
        parts = copy.split(QChar(0), Qt::SkipEmptyParts);
    } else if (!text.isEmpty()) {
        parts.append(text);
    }
    QStringList genres;
    for (const QString &part : std::as_const(parts)) {
        const QString key = alphanumericKey(part);
        if (isDecimalNumber(key)) {
            bool ok = false;
            const int number = key.toInt(&ok);
            const QString name = ok ? Id3v1GenreTable::genreName(number) : QString();
            if (!name.isEmpty())
                genres.append(name);
        } else if (key == QLatin1String("rx")) {
            genres.append(QStringLiteral("Remix"));
        } else if (key == QLatin1String("cr")) {
            genres.append(QStringLiteral("Cover"));
        } else if (!part.trimmed().isEmpty()) {
            genres.append(part.trimmed());
        }
    }
    return genres;
}
