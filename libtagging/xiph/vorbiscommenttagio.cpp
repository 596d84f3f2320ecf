#include "libtagging/xiph/vorbiscommenttagio.h"

#include "libcore/image/codedimage.h"
#include "libcore/io/iostream.h"
#include "libcore/io/paths.h"
#include "libcore/locale/localetables.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/formatting.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/utf8textcodec.h"
#include "libcore/util/base64.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/involvedpeoplelisttagitem.h"
#include "libtagging/model/languagetagitem.h"
#include "libtagging/model/lyricstagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/releasecountrytagitem.h"
#include "libtagging/model/scripttagitem.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/model/userdefinedlinktagitem.h"
#include "libtagging/model/userdefinedtexttagitem.h"
#include "libtagging/model/volumeadjustmenttagitem.h"
#include "libtagging/xiph/flacstreamio.h"
#include "libtagging/xiph/vorbiscommentfieldtable.h"

#include <cmath>
#include <memory>

namespace {

using namespace VorbisCommentConversion;

// What one read gathers over all fields: the performer credits and the four replay-gain
// values, each stored as one item after the last field.
struct Collectors
{
    QList<InvolvedPerson> performers;
    double trackGain = 0.0;
    double trackPeak = 0.0;
    double albumGain = 0.0;
    double albumPeak = 0.0;
};

[[noreturn]] void throwSilently()
{
    throw Exception::quiet();
}

// A 32-bit little-endian length that must fit the rest of the data.
quint32 readLength(IoStream *stream)
{
    const qint64 at = stream->pos();
    const quint32 length = stream->readUInt32(false);
    if (qint64(length) > stream->size() - stream->pos())
        throw Exception(VorbisCommentTagIo::LengthPastEnd, {stream->displayName(), length, at});
    return length;
}

// A field length, cut to the data that is left.
quint32 readCutLength(IoStream *stream)
{
    const quint32 length = stream->readUInt32(false);
    return quint32(qMin<qint64>(length, qMax<qint64>(0, stream->size() - stream->pos())));
}

QString readUtf8(IoStream *stream, quint32 length)
{
    return stream->readText(Utf8TextCodec::instance(), TextLengthPrefix::None, int(length), int(length));
}

// A whole number, white space around it allowed; anything else is not one.
bool readWholeNumber(const QString &text, int *number)
{
    bool ok = false;
    *number = text.trimmed().toInt(&ok, 10);
    return ok;
}

void addText(AudioTag *tag, int itemType, const QString &value)
{
    TagItem *item = TagItem::create(itemType);
    auto *text = dynamic_cast<StringTagItem *>(item);
    if (!text) {
        delete item;
        throwSilently();
    }
    text->value = value;
    tag->addItem(item);
}

ArtworkTagItem *readPictureField(const QString &key, const QString &value, IoStream *stream)
{
    if (key == QLatin1String("coverartfile"))
        return new ArtworkTagItem(stream->name(), fromNativeSeparators(value), ArtworkTagItem::FrontCover, QString());
    const QByteArray bytes = fromBase64Url(value);
    if (key == QLatin1String("coverart")) {
        if (bytes.isEmpty()) {
            Logger::warning(VorbisCommentTagIo::CoverArtWithoutData, {stream->displayName()});
            throwSilently();
        }
        return new ArtworkTagItem(CodedImage(bytes), ArtworkTagItem::FrontCover, QString());
    }
    IoStream block(bytes, QIODevice::ReadWrite);
    block.setName(stream->name());
    return FlacStreamIo::readPictureBlock(&block, nullptr);
}

// Puts the items of one field into the tag or the collectors; throws when the value does
// not convert, and the caller keeps the field as user-defined text.
void readField(const QString &key, const QString &value, IoStream *stream, AudioTag *tag, Collectors &collectors)
{
    const VorbisCommentFieldRow *row = VorbisCommentFieldTable::rowForKey(key);
    if (!row)
        throwSilently();
    int number = 0;
    switch (row->conversion) {
    case PlainText:
    case Artist:
        addText(tag, row->itemType, value);
        break;
    case Artwork:
        tag->addItem(readPictureField(key, value, stream));
        break;
    case Integer:
        // "128.5" or "fast" are no counts: kept as they are rather than as 0.
        if (!readWholeNumber(value, &number))
            throwSilently();
        {
            TagItem *item = TagItem::create(row->itemType);
            static_cast<IntegerTagItem *>(item)->value = number;
            tag->addItem(item);
        }
        break;
    case CommentText: {
        // The format keeps no language: the texts are taken as English.
        const LanguageInfo english = languageByQLocaleLanguage(QLocale::English);
        if (row->itemType == CommentTagItem::Type)
            tag->addItem(new CommentTagItem(value, QString(), english));
        else
            tag->addItem(new LyricsTagItem(value, QString(), english));
        break;
    }
    case NumberPair: {
        qsizetype separator = value.indexOf(QLatin1Char('/'));
        if (separator < 0)
            separator = value.indexOf(QLatin1Char('\\'));
        if (!readWholeNumber(value.left(separator), &number))
            throwSilently();
        tag->addNumberPair(value, row->itemType, row->countType);
        break;
    }
    case DiscToc:
        try {
            tag->addItem(DiscTocTagItem::fromText(value));
        } catch (Exception &) {
            Logger::warning(VorbisCommentTagIo::UnreadableDiscToc, {stream->displayName()});
            throw;
        }
        break;
    case Performers:
        collectors.performers.append(InvolvedPerson::fromPerformerText(value));
        break;
    case LanguageCode:
        tag->addItem(new LanguageTagItem(languageByCode(value)));
        break;
    case CountryCode:
        tag->addItem(new ReleaseCountryTagItem(countryByCode(value)));
        break;
    case ScriptCode:
        tag->addItem(new ScriptTagItem(scriptByCode(value)));
        break;
    case Date: {
        TagItem *item = TagItem::create(row->itemType);
        static_cast<DateTimeTagItem *>(item)->value = PartialDateTime(value, QStringLiteral("yyyy-MM-ddThh:mm:ss:zzz"));
        tag->addItem(item);
        break;
    }
    case Boolean:
        tag->addItem(new PartOfCompilationTagItem(value.trimmed() == QLatin1String("1")));
        break;
    case Rating:
        // Ratings on other scales are kept as they are rather than dropped.
        if (!readWholeNumber(value, &number) || number < 1 || number > 5)
            throwSilently();
        tag->addItem(new RatingTagItem((number - 1) * 0.25));
        break;
    case ReplayGain: {
        QString text = value;
        const bool gain = key.endsWith(QLatin1String("gain"));
        if (gain && text.endsWith(QLatin1String(" dB")))
            text.chop(3);
        const double amount = text.toDouble();
        if (key == QLatin1String("replaygainalbumgain"))
            collectors.albumGain = amount;
        else if (key == QLatin1String("replaygainalbumpeak"))
            collectors.albumPeak = amount;
        else if (key == QLatin1String("replaygaintrackgain"))
            collectors.trackGain = amount;
        else
            collectors.trackPeak = amount;
        break;
    }
    default:
        throwSilently();
    }
}

bool isSet(double value)
{
    return value != 0.0 || std::isnan(value);
}

QString pictureBlockText(const ArtworkTagItem *artwork, IoStream *out)
{
    IoStream block(QIODevice::ReadWrite);
    block.setName(out->name());
    FlacStreamIo::writePictureBlock(&block, artwork);
    return toBase64String(block.data());
}

void appendPictureTexts(QStringList &texts, const QList<TagItem *> &items, int coverArtType, IoStream *out)
{
    for (TagItem *item : items) {
        const auto *artwork = static_cast<const ArtworkTagItem *>(item);
        if (coverArtType == 1) {
            // A picture that cannot be written costs only itself.
            try {
                texts.append(QStringLiteral("METADATA_BLOCK_PICTURE=") + pictureBlockText(artwork, out));
            } catch (Exception &) {
            }
        } else if (coverArtType == 2) {
            if (!artwork->linkedFile().isEmpty()) {
                try {
                    const_cast<ArtworkTagItem *>(artwork)->saveLinkedFile(out->name());
                } catch (Exception &) {
                }
                texts.append(QStringLiteral("COVERARTFILE=") + artwork->linkedFile());
            } else if (!artwork->image().data.isEmpty()) {
                texts.append(QStringLiteral("COVERARTMIME=") + artwork->image().mimeType());
                texts.append(QStringLiteral("COVERART=") + toBase64String(artwork->image().data));
            }
        }
    }
}

void appendTypeTexts(QStringList &texts, int itemType, const QList<TagItem *> &items, const AudioTag *tag,
                     int coverArtType, bool multiArtistsInExtraField, IoStream *out)
{
    const VorbisCommentFieldRow *row = VorbisCommentFieldTable::rowForItemType(itemType);
    if (!row)
        return;
    switch (row->conversion) {
    case Artist: {
        QList<TagItem *> first = items;
        if (multiArtistsInExtraField && first.size() >= 2)
            first = {first.first()};
        VorbisCommentTagIo::appendFieldTexts(texts, QStringLiteral("ARTIST"), first);
        VorbisCommentTagIo::appendFieldTexts(texts, QStringLiteral("ARTISTS"), tag->additionalArtists());
        break;
    }
    case Artwork:
        appendPictureTexts(texts, items, coverArtType, out);
        break;
    case Performers:
        for (TagItem *item : items) {
            for (const InvolvedPerson &person : static_cast<const InvolvedPeopleListTagItem *>(item)->people) {
                if (person.kind == InvolvedPerson::Involvement)
                    continue;
                // One pass, so a "%2" in the name stays as it is.
                texts.append(fillPlaceholders(QStringLiteral("PERFORMER=%1 (%2)"), {person.name, person.role}));
            }
        }
        break;
    case UserDefined:
        for (TagItem *item : items) {
            const QString description = itemType == UserDefinedTextTagItem::Type
                                            ? static_cast<const UserDefinedTextTagItem *>(item)->description
                                            : static_cast<const UserDefinedLinkTagItem *>(item)->description;
            if (!description.isEmpty())
                texts.append(description + QLatin1Char('=') + item->toString());
        }
        break;
    case ReplayGain:
        for (TagItem *item : items) {
            const auto *gain = static_cast<const VolumeAdjustmentTagItem *>(item);
            if (isSet(gain->albumGain))
                texts.append(QStringLiteral("REPLAYGAIN_ALBUM_GAIN=") + VolumeAdjustmentTagItem::gainText(gain->albumGain));
            if (isSet(gain->albumPeak))
                texts.append(QStringLiteral("REPLAYGAIN_ALBUM_PEAK=") + VolumeAdjustmentTagItem::peakText(gain->albumPeak));
            if (isSet(gain->trackGain))
                texts.append(QStringLiteral("REPLAYGAIN_TRACK_GAIN=") + VolumeAdjustmentTagItem::gainText(gain->trackGain));
            if (isSet(gain->trackPeak))
                texts.append(QStringLiteral("REPLAYGAIN_TRACK_PEAK=") + VolumeAdjustmentTagItem::peakText(gain->trackPeak));
        }
        break;
    default:
        for (const QString &name : row->writtenNames)
            VorbisCommentTagIo::appendFieldTexts(texts, name, items);
        break;
    }
}

} // namespace

VorbisCommentTagIo *VorbisCommentTagIo::instance()
{
    static VorbisCommentTagIo *const io = new VorbisCommentTagIo();
    return io;
}

int VorbisCommentTagIo::tagType() const
{
    return TagType::VorbisComment;
}

bool VorbisCommentTagIo::isPrepended() const
{
    return false;
}

TagInfo *VorbisCommentTagIo::detect(IoStream *stream, bool atStart, QObject *parent)
{
    QObject scratch;
    auto *info = new TagInfo(&scratch);
    const qint64 start = stream->pos();
    info->values.insert(TagInfo::TagTypeKey, int(TagType::VorbisComment));
    info->values.insert(TagInfo::OffsetKey, start);
    info->values.insert(TagInfo::PrependedKey, atStart);
    try {
        const quint32 vendorLength = stream->readUInt32(false);
        if (qint64(vendorLength) > stream->size() - stream->pos()) {
            stream->seek(start);
            return nullptr;
        }
        stream->seek(stream->pos() + vendorLength);
        const qint64 dataOffset = stream->pos();
        info->values.insert(TagInfo::DataOffsetKey, dataOffset);
        const qint32 count = qint32(stream->readUInt32(false));
        for (qint32 i = 0; i < count; ++i) {
            const quint32 length = readCutLength(stream);
            stream->seek(stream->pos() + length);
        }
        const qint64 end = stream->pos();
        info->values.insert(TagInfo::SizeKey, int(end - start));
        info->values.insert(TagInfo::DataSizeKey, int(end - dataOffset));
        info->values.insert(TagInfo::RawDataKey, stream->readBytesAt(start, end - start));
        stream->seek(start);
    } catch (Exception &) {
        stream->seek(start);
        return nullptr;
    }
    info->setParent(parent);
    return info;
}

AudioTag *VorbisCommentTagIo::read(IoStream *stream, TagInfo *info, const TaggingSettings *, QObject *parent)
{
    QObject scratch;
    auto *tag = new AudioTag(&scratch);
    const QString vendor = readUtf8(stream, readLength(stream));

    Collectors collectors;
    bool coverArtRead = false;
    const qint32 count = qint32(stream->readUInt32(false));
    for (qint32 i = 0; i < count; ++i) {
        const QString text = readUtf8(stream, readCutLength(stream));
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        const QString name = text.left(equals);
        const QString value = text.mid(equals + 1);
        if (value.trimmed().isEmpty())
            continue;
        const QString key = alphanumericKey(name);
        try {
            readField(key, value, stream, tag, collectors);
            coverArtRead = coverArtRead || key == QLatin1String("coverart");
        } catch (Exception &) {
            tag->addItem(new UserDefinedTextTagItem(value, name));
        }
    }
    // The type of a "COVERART" picture comes from its bytes, and writing that form adds its
    // own "COVERARTMIME": the old field kept as text would be written twice.
    if (coverArtRead) {
        for (TagItem *item : tag->items(UserDefinedTextTagItem::Type)) {
            if (alphanumericKey(static_cast<UserDefinedTextTagItem *>(item)->description) == QLatin1String("coverartmime"))
                tag->removeItem(item);
        }
    }

    if (!tag->contains(EncoderTagItem::Type))
        tag->addItem(new EncoderTagItem(vendor));
    if (!collectors.performers.isEmpty())
        tag->addItem(new InvolvedPeopleListTagItem(collectors.performers));
    if (isSet(collectors.trackGain) || isSet(collectors.trackPeak) || isSet(collectors.albumGain)
        || isSet(collectors.albumPeak))
        tag->addItem(new VolumeAdjustmentTagItem(collectors.trackGain, collectors.trackPeak, collectors.albumGain,
                                                 collectors.albumPeak));
    // Taken only now, so that a failed read leaves the caller's record alone.
    if (info)
        tag->setTagInfo(info);
    tag->setParent(parent);
    return tag;
}

void VorbisCommentTagIo::render(IoStream *out, const AudioTag *tag, const TaggingSettings *settings)
{
    const TaggingSettings &options = settings ? *settings : TaggingSettings::defaults();
    renderComment(out, tag, options.vorbisComment, options.multiArtistsInExtraField);
}

void VorbisCommentTagIo::renderComment(IoStream *out, const AudioTag *tag, const VorbisCommentSettings &settings,
                                       bool multiArtistsInExtraField)
{
    const LineEnding oldEnding = out->writeLineEnding();
    out->setWriteLineEnding(LineEnding::Lf);
    try {
        out->writeText(settings.vendor, Utf8TextCodec::instance(), TextLengthPrefix::UInt32Le);
        QStringList texts;
        if (tag) {
            const QMap<int, QList<TagItem *>> groups = tag->itemsByType();
            for (auto it = groups.constBegin(); it != groups.constEnd(); ++it) {
                try {
                    appendTypeTexts(texts, it.key(), it.value(), tag, settings.coverArtType, multiArtistsInExtraField,
                                    out);
                } catch (Exception &) {
                }
            }
        }
        out->writeUInt32(quint32(texts.size()), false);
        for (const QString &text : std::as_const(texts))
            out->writeText(text, Utf8TextCodec::instance(), TextLengthPrefix::UInt32Le);
        if (settings.framingBit)
            out->writeByte(1);
    } catch (...) {
        out->setWriteLineEnding(oldEnding);
        throw;
    }
    out->setWriteLineEnding(oldEnding);
}

QList<int> VorbisCommentTagIo::supportedItemTypes() const
{
    static const QList<int> types = VorbisCommentFieldTable::itemTypes();
    return types;
}

int VorbisCommentTagIo::skipCommentPacket(IoStream *stream, const VorbisCommentSettings &settings)
{
    const qint64 start = stream->pos();
    const quint32 vendorLength = readLength(stream);
    stream->seek(stream->pos() + vendorLength);
    const quint32 count = stream->readUInt32(false);
    for (quint32 i = 0; i < count; ++i) {
        const quint32 length = readLength(stream);
        stream->seek(stream->pos() + length);
    }
    if (settings.framingBit) {
        if (stream->pos() >= stream->size())
            throw Exception(LengthPastEnd, {stream->displayName(), 1, stream->pos()});
        stream->seek(stream->pos() + 1);
    }
    return int(stream->pos() - start);
}

QString VorbisCommentTagIo::readVendorString(IoStream *stream)
{
    return readUtf8(stream, readLength(stream));
}

void VorbisCommentTagIo::appendFieldTexts(QStringList &texts, const QString &name, const QList<TagItem *> &items)
{
    for (const TagItem *item : items) {
        QString value;
        if (item->dataType() == TagItemDataType::Boolean) {
            value = item->toString(QStringLiteral("[data]")) == QLatin1String("1") ? QStringLiteral("1")
                                                                                   : QStringLiteral("0");
        } else {
            switch (item->type()) {
            case DiscTocTagItem::Type:
                value = static_cast<const DiscTocTagItem *>(item)->toText(DiscTocTextForm::HexTrackListWithDataTracks);
                break;
            case LanguageTagItem::Type:
                value = item->toString(QStringLiteral("ISO_639_2_T"));
                break;
            case RatingTagItem::Type:
                value = QString::number(int(4 * static_cast<const RatingTagItem *>(item)->value + 1));
                break;
            case ReleaseCountryTagItem::Type:
                value = item->toString(QStringLiteral("ISO_3166_1_A2"));
                break;
            case ScriptTagItem::Type:
                value = item->toString(QStringLiteral("ISO_15924"));
                break;
            default:
                value = item->toString();
                break;
            }
        }
        if (!value.trimmed().isEmpty())
            texts.append(name + QLatin1Char('=') + value);
    }
}
