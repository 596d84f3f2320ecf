#include "libtagging/plain/apetagio.h"

#include "libcore/io/iostream.h"
#include "libcore/io/paths.h"
#include "libcore/locale/localetables.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/asciitextcodec.h"
#include "libcore/text/latin1textcodec.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/utf8textcodec.h"
#include "libcore/util/partialdatetime.h"
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
#include "libtagging/id3/id3v2tagio.h"
#include "libtagging/plain/apekeytable.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {

enum TagInfoKey { HeaderPresentKey = 9, FooterPresentKey = 11 };
constexpr quint32 headerFlag = 0x80000000u;
constexpr quint32 noFooterFlag = 0x40000000u;
const QString datePattern = QStringLiteral("yyyy-MM-ddThh:mm:ss:zzz");

quint32 le32(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

QByteArray headerBlock(quint32 tagSize, quint32 itemCount, quint32 flags)
{
    QByteArray block("APETAGEX");
    block.resize(32, '\0');
    qToLittleEndian<quint32>(2000, block.data() + 8);
    qToLittleEndian<quint32>(tagSize, block.data() + 12);
    qToLittleEndian<quint32>(itemCount, block.data() + 16);
    qToLittleEndian<quint32>(flags, block.data() + 20);
    return block;
}

// What one read of a tag collects besides the items it adds directly.
struct ReadState
{
    IoStream *stream;
    AudioTag *tag;
    QObject *local;
    QList<InvolvedPerson> performers;
    VolumeAdjustmentTagItem *volume;
};

double numberOf(QString text, bool gain)
{
    text = text.trimmed();
    if (gain && text.endsWith(QLatin1String(" dB")))
        text.chop(3);
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? value : 0.0;
}

void addUserDefined(ReadState &state, const QString &key, const QString &value, int contentType)
{
    if (contentType == ApeTagIo::Link)
        state.tag->addItem(new UserDefinedLinkTagItem(value, key, state.local));
    else
        state.tag->addItem(new UserDefinedTextTagItem(value, key, state.local));
}

// One text value of a text or link item.
void mapTextValue(ReadState &state, const QString &normalisedKey, const QString &key, const QString &value,
                  int contentType)
{
    const ApeKeyRow *row = ApeKeyTable::rowForReadKey(normalisedKey);
    if (!row) {
        addUserDefined(state, key, value, contentType);
        return;
    }
    try {
        using namespace TagItemType;
        switch (row->itemType) {
        case Bpm: {
            bool ok = false;
            const int bpm = value.trimmed().toInt(&ok, 10);
            state.tag->addItem(new BpmTagItem(ok ? bpm : 0, state.local));
            break;
        }
        case Comment:
            state.tag->addItem(new CommentTagItem(value, QString(), state.local));
            break;
        case Lyrics:
            state.tag->addItem(new LyricsTagItem(value, QString(), state.local));
            break;
        case PartOfCompilation:
            state.tag->addItem(new PartOfCompilationTagItem(value.trimmed() == QLatin1String("1"), state.local));
            break;
        case DiscNumber:
            state.tag->addNumberPair(value, DiscNumber, DiscCount);
            break;
        case TrackNumber:
            state.tag->addNumberPair(value, TrackNumber, TrackCount);
            break;
        case Language: {
            // An unknown code is kept under its key rather than lost.
            const LanguageInfo language = languageByCode(value.trimmed());
            if (language.iso639_2T.isEmpty())
                throw Exception::quiet();
            state.tag->addItem(new LanguageTagItem(language, state.local));
            break;
        }
        case ReleaseCountry: {
            const CountryInfo country = countryByCode(value.trimmed());
            if (country.iso3166_1_A2.isEmpty())
                throw Exception::quiet();
            state.tag->addItem(new ReleaseCountryTagItem(country, state.local));
            break;
        }
        case Script: {
            const ScriptInfo script = scriptByCode(value.trimmed());
            if (script.iso15924.isEmpty())
                throw Exception::quiet();
            state.tag->addItem(new ScriptTagItem(script, state.local));
            break;
        }
        case OriginalReleaseDate:
        case RecordingDate:
        case ReleaseDate: {
            // Text that is no date is kept under its key as it stands.
            const PartialDateTime date(value.trimmed(), datePattern);
            if (!date.isValid())
                throw Exception::quiet();
            auto *item = static_cast<DateTimeTagItem *>(TagItem::create(row->itemType, state.local));
            item->value = date;
            state.tag->addItem(item);
            break;
        }
        case InvolvedPeopleList:
            state.performers.append(InvolvedPerson::fromPerformerText(value));
            break;
        case Artwork:
            // The linked file is read only inside the audio file's folder.
            state.tag->addItem(new ArtworkTagItem(state.stream->name(), fromNativeSeparators(value),
                                                  ArtworkTagItem::FrontCover, QString(), state.local));
            break;
        case VolumeAdjustment:
            if (normalisedKey == QLatin1String("replaygainalbumgain"))
                state.volume->albumGain = numberOf(value, true);
            else if (normalisedKey == QLatin1String("replaygainalbumpeak"))
                state.volume->albumPeak = numberOf(value, false);
            else if (normalisedKey == QLatin1String("replaygaintrackgain"))
                state.volume->trackGain = numberOf(value, true);
            else
                state.volume->trackPeak = numberOf(value, false);
            break;
        default: {
            TagItem *item = TagItem::create(row->itemType, state.local);
            auto *text = dynamic_cast<StringTagItem *>(item);
            if (!text) {
                delete item;
                throw Exception::quiet();
            }
            text->value = value;
            state.tag->addItem(item);
        }
        }
    } catch (const Exception &) {
        addUserDefined(state, key, value, contentType);
    }
}

// The value of a binary item; the stream stands at its first byte.
void mapBinaryValue(ReadState &state, const QString &normalisedKey, const QString &key, qint64 itemEnd)
{
    IoStream *stream = state.stream;
    if (normalisedKey.startsWith(QLatin1String("coverart"))) {
        // A file name and a zero byte come before the image.
        stream->readText(nullptr, TextLengthPrefix::None, -1, int(itemEnd - stream->pos()), true);
        const QByteArray image = stream->readBytes(itemEnd - stream->pos());
        if (image.isEmpty()) {
            Logger::warning(ApeTagIo::EmptyCoverArt, {stream->displayName()});
            throw Exception::quiet();
        }
        const int pictureType = normalisedKey == QLatin1String("coverartback") ? 4 : ArtworkTagItem::FrontCover;
        state.tag->addItem(new ArtworkTagItem(CodedImage(image), pictureType, QString(), state.local));
        return;
    }
    if (normalisedKey == QLatin1String("cdtoc")) {
        try {
            state.tag->addItem(DiscTocTagItem::fromBinary(stream->readBytes(itemEnd - stream->pos()), state.local));
        } catch (const Exception &) {
            // The caller keeps the item as the bytes it was.
            Logger::warning(ApeTagIo::BadDiscToc, {stream->displayName()});
            throw;
        }
        return;
    }
    state.tag->addItem(new UnknownApeDataTagItem(key, stream->readBytes(itemEnd - stream->pos()), state.local));
}

QString textForm(const TagItem *item)
{
    switch (item->dataType()) {
    case TagItemDataType::Image:
        return static_cast<const ArtworkTagItem *>(item)->linkedFile();
    case TagItemDataType::Boolean:
        return item->toVariant().toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case TagItemDataType::DateTime:
        // Milliseconds only when known: the text ends before the first unknown part.
        return item->toString(QStringLiteral("yyyy-MM-dd hh:mm:ss:zzz"));
    default:
        return item->toString();
    }
}

void renderType(QList<QByteArray> &items, IoStream *out, const AudioTag *tag, bool multiArtistsInExtraField,
                int type, const QList<TagItem *> &typeItems)
{
    using namespace TagItemType;
    switch (type) {
    case Artist: {
        if (multiArtistsInExtraField && typeItems.size() > 1)
            ApeTagIo::renderItemList(items, QStringLiteral("Artist"), {typeItems.first()});
        else
            ApeTagIo::renderItemList(items, QStringLiteral("Artist"), typeItems);
        ApeTagIo::renderItemList(items, QStringLiteral("Artists"), tag->additionalArtists());
        return;
    }
    case Artwork: {
        QList<TagItem *> linked;
        for (TagItem *item : typeItems) {
            auto *artwork = static_cast<ArtworkTagItem *>(item);
            if (!artwork->linkedFile().isEmpty()) {
                // Only a picture the user changed is written to its file, and only inside
                // the audio file's folder (the item refuses anything else).
                if (artwork->isModified()) {
                    try {
                        artwork->saveLinkedFile(out->name());
                    } catch (const Exception &) {
                    }
                }
                linked.append(item);
            } else {
                QByteArray value = "image." + artwork->image().suffix().toLatin1();
                value.append('\0');
                value.append(artwork->image().data);
                ApeTagIo::renderItem(items, QStringLiteral("Cover art (front)"), value, ApeTagIo::Binary);
            }
        }
        ApeTagIo::renderItemList(items, QStringLiteral("Picture"), linked);
        return;
    }
    case DiscNumber:
        ApeTagIo::renderTextItem(items, QStringLiteral("DISCNUMBER"), tag->numberPairTexts(DiscNumber, DiscCount),
                                 false);
        return;
    case TrackNumber:
        ApeTagIo::renderTextItem(items, QStringLiteral("Track"), tag->numberPairTexts(TrackNumber, TrackCount), false);
        return;
    case DiscCount:
    case TrackCount:
        return;
    case DiscToc:
        for (TagItem *item : typeItems)
            ApeTagIo::renderItem(items, QStringLiteral("_cdtoc"), static_cast<DiscTocTagItem *>(item)->toBinary(),
                                 ApeTagIo::Binary);
        return;
    case InvolvedPeopleList:
        for (TagItem *item : typeItems) {
            for (const InvolvedPerson &person : static_cast<InvolvedPeopleListTagItem *>(item)->people) {
                if (person.kind != InvolvedPerson::Involvement)
                    ApeTagIo::renderSingleText(items, QStringLiteral("Performer"),
                                               QStringLiteral("%1 (%2)").arg(person.name, person.role), false);
            }
        }
        return;
    case ReleaseCountry:
        ApeTagIo::renderItemList(items, QStringLiteral("RELEASECOUNTRY"), typeItems);
        ApeTagIo::renderItemList(items, QStringLiteral("COUNTRY"), typeItems);
        return;
    case UnknownApeData:
        for (TagItem *item : typeItems) {
            const auto *unknown = static_cast<UnknownApeDataTagItem *>(item);
            ApeTagIo::renderItem(items, unknown->name, unknown->data, ApeTagIo::Binary);
        }
        return;
    case UserDefinedLink:
        for (TagItem *item : typeItems) {
            const auto *link = static_cast<UserDefinedLinkTagItem *>(item);
            if (!link->description.isEmpty())
                ApeTagIo::renderSingleText(items, link->description, link->value, true);
        }
        return;
    case UserDefinedText:
        for (TagItem *item : typeItems) {
            const auto *text = static_cast<UserDefinedTextTagItem *>(item);
            if (!text->description.isEmpty())
                ApeTagIo::renderSingleText(items, text->description, text->value, false);
        }
        return;
    case VolumeAdjustment: {
        const auto *volume = static_cast<VolumeAdjustmentTagItem *>(typeItems.first());
        ApeTagIo::renderSingleText(items, QStringLiteral("REPLAYGAIN_ALBUM_GAIN"),
                                   VolumeAdjustmentTagItem::gainText(volume->albumGain), false);
        ApeTagIo::renderSingleText(items, QStringLiteral("REPLAYGAIN_ALBUM_PEAK"),
                                   VolumeAdjustmentTagItem::peakText(volume->albumPeak), false);
        ApeTagIo::renderSingleText(items, QStringLiteral("REPLAYGAIN_TRACK_GAIN"),
                                   VolumeAdjustmentTagItem::gainText(volume->trackGain), false);
        ApeTagIo::renderSingleText(items, QStringLiteral("REPLAYGAIN_TRACK_PEAK"),
                                   VolumeAdjustmentTagItem::peakText(volume->trackPeak), false);
        return;
    }
    default: {
        const ApeKeyRow *row = ApeKeyTable::rowForItemType(type);
        if (row && !row->writtenKey.isEmpty())
            ApeTagIo::renderItemList(items, row->writtenKey, typeItems);
    }
    }
}

} // namespace

ApeTagIo *ApeTagIo::instance()
{
    static ApeTagIo *const io = new ApeTagIo();
    return io;
}

int ApeTagIo::tagType() const
{
    return TagType::Ape;
}

bool ApeTagIo::isPrepended() const
{
    return false;
}

TagInfo *ApeTagIo::detect(IoStream *stream, bool atStart, QObject *parent)
{
    const qint64 p = stream->pos();
    const qint64 streamSize = stream->size();
    if (atStart ? p + HeaderSize > streamSize : p < HeaderSize)
        return nullptr;
    const QByteArray block = stream->readBytesAt(atStart ? p : p - HeaderSize, HeaderSize);
    if (!block.startsWith("APETAGEX"))
        return nullptr;
    const quint32 versionField = le32(block, 8);
    if (versionField != 1000 && versionField != 2000)
        return nullptr;
    // All arithmetic in 64 bits: the fields are hostile and 32-bit sums overflow.
    const qint64 s = le32(block, 12);
    const quint32 flags = le32(block, 20);
    const bool hasHeader = flags & headerFlag;
    const bool noFooter = flags & noFooterFlag;
    const qint64 h = (hasHeader || atStart) ? HeaderSize : 0;

    qint64 offset = 0;
    qint64 dataSize = 0;
    qint64 trailer = 0;
    if (atStart && noFooter) {
        offset = p;
        dataSize = s;
    } else if (noFooter) {
        if (p < s)
            return nullptr;
        const qint64 v1 = stream->readBytesAt(p - s, 4).size() == 4 ? le32(stream->readBytesAt(p - s, 4), 0) : -1;
        if (s >= v1) {
            if (s < HeaderSize)
                return nullptr;
            dataSize = s - HeaderSize;
            offset = p - s - h;
        } else {
            if (p < s + HeaderSize)
                return nullptr;
            const qint64 v2 = le32(stream->readBytesAt(p - HeaderSize - s, 4), 0);
            if (s < v2)
                return nullptr;
            dataSize = s;
            offset = p - HeaderSize - s - h;
        }
        trailer = HeaderSize;
    } else {
        if (s < HeaderSize)
            return nullptr;
        dataSize = s - HeaderSize;
        trailer = HeaderSize;
        offset = atStart ? p : p - s - h;
    }
    const qint64 total = trailer + dataSize + h;
    // The whole tag must lie inside the stream before anything is read or allocated.
    if (offset < 0 || offset + total > streamSize || total > INT_MAX)
        return nullptr;
    // A tag at the start is measured from its header, so the footer it announces must stand
    // where the header says: bytes that merely look like a header or a footer (a stray block
    // in the audio, which a grown file can suddenly hold whole) are no tag.
    if (atStart && !noFooter && !stream->readBytesAt(offset + total - HeaderSize, 8).startsWith("APETAGEX"))
        return nullptr;

    auto *info = new TagInfo(parent);
    info->values.insert(TagInfo::TagTypeKey, int(TagType::Ape));
    info->values.insert(TagInfo::RawDataKey, stream->readBytesAt(offset, total));
    info->values.insert(TagInfo::OffsetKey, offset);
    info->values.insert(TagInfo::SizeKey, int(total));
    info->values.insert(TagInfo::DataOffsetKey, offset + h);
    info->values.insert(TagInfo::DataSizeKey, int(dataSize));
    info->values.insert(TagInfo::PrependedKey, atStart);
    info->values.insert(TagInfo::VersionKey, versionField == 1000 ? 1 : 2);
    info->values.insert(HeaderPresentKey, hasHeader || atStart);
    info->values.insert(FooterPresentKey, !noFooter || !atStart);
    stream->seek(offset + total);
    return info;
}

AudioTag *ApeTagIo::read(IoStream *stream, TagInfo *info, const TaggingSettings *, QObject *parent)
{
    if (!info || info->values.value(TagInfo::TagTypeKey).toInt() != TagType::Ape)
        throw Exception(NoApeTagInfo, {stream->displayName()});
    QObject local;
    auto *tag = new AudioTag(&local);
    tag->setTagInfo(info);
    ReadState state{stream, tag, &local, {}, new VolumeAdjustmentTagItem(&local)};

    const qint64 end = info->values.value(TagInfo::DataOffsetKey).toLongLong()
                       + info->values.value(TagInfo::DataSizeKey).toLongLong();
    while (stream->pos() < end) {
        const qint64 size = stream->readUInt32(false);
        const quint32 flags = stream->readUInt32(false);
        // The key ends at its zero byte, and never beyond the tag's items.
        const qint64 keyRoom = end - stream->pos();
        if (keyRoom <= 0)
            break;
        const QString key = stream->readText(Latin1TextCodec::instance(), TextLengthPrefix::None, -1,
                                              int(keyRoom), true);
        const QString normalisedKey = alphanumericKey(key);
        if (size == 0)
            continue;
        const qint64 start = stream->pos();
        if (start + size > end)
            break;
        const qint64 itemEnd = start + size;
        const int contentType = int(flags >> 1) & 3;
        try {
            if (contentType == Binary) {
                mapBinaryValue(state, normalisedKey, key, itemEnd);
            } else if (contentType == Text || contentType == Link) {
                while (stream->pos() < itemEnd) {
                    const QString value = stream->readText(nullptr, TextLengthPrefix::None, -1,
                                                           int(itemEnd - stream->pos()), true);
                    if (!value.trimmed().isEmpty())
                        mapTextValue(state, normalisedKey, key, value, contentType);
                }
            }
        } catch (const Exception &) {
            stream->seek(start);
            tag->addItem(new UnknownApeDataTagItem(key, stream->readBytes(size), &local));
        }
        stream->seek(itemEnd);
    }

    if (!state.performers.isEmpty())
        tag->addItem(new InvolvedPeopleListTagItem(state.performers, &local));
    const VolumeAdjustmentTagItem *v = state.volume;
    // A value that is not a number counts as set.
    auto set = [](double value) { return value != 0.0 || std::isnan(value); };
    if (set(v->trackGain) || set(v->trackPeak) || set(v->albumGain) || set(v->albumPeak))
        tag->addItem(state.volume);
    // A single artist is written under "Artist" and again under "Artists".
    Id3v2TagIo::removeRepeatedArtists(tag);
    tag->setParent(parent);
    return tag;
}

void ApeTagIo::render(IoStream *out, const AudioTag *tag, const TaggingSettings *settings)
{
    const bool multiArtistsInExtraField =
        (settings ? settings : &TaggingSettings::defaults())->multiArtistsInExtraField;
    QList<QByteArray> items;
    const QMap<int, QList<TagItem *>> byType = tag->itemsByType();
    for (auto it = byType.cbegin(); it != byType.cend(); ++it) {
        try {
            renderType(items, out, tag, multiArtistsInExtraField, it.key(), it.value());
        } catch (const Exception &) {
            // This type is dropped from here on; the others are still written.
        }
    }
    // Short items first; items of equal length keep their order.
    std::stable_sort(items.begin(), items.end(),
                     [](const QByteArray &a, const QByteArray &b) { return a.size() < b.size(); });
    qint64 itemBytes = 0;
    for (const QByteArray &item : std::as_const(items))
        itemBytes += item.size();
    const quint32 tagSize = quint32(itemBytes + HeaderSize);
    out->writeBytes(headerBlock(tagSize, quint32(items.size()), 0xA0000000u));
    for (const QByteArray &item : std::as_const(items))
        out->writeBytes(item);
    out->writeBytes(headerBlock(tagSize, quint32(items.size()), headerFlag));
}

QList<int> ApeTagIo::supportedItemTypes() const
{
    static const QList<int> types = [] {
        QList<int> list;
        for (const ApeKeyRow &row : ApeKeyTable::rows())
            list.append(row.itemType);
        std::sort(list.begin(), list.end());
        return list;
    }();
    return types;
}

void ApeTagIo::renderItem(QList<QByteArray> &items, const QString &key, const QByteArray &value, int contentType)
{
    if (contentType < Text || contentType > Link)
        throw Exception(BadContentType, {contentType});
    QByteArray item(8, '\0');
    qToLittleEndian<quint32>(quint32(value.size()), item.data());
    qToLittleEndian<quint32>(0x80000000u | quint32(contentType * 2), item.data() + 4);
    item += key.toLatin1();
    item += '\0';
    item += value;
    items.append(item);
}

void ApeTagIo::renderTextItem(QList<QByteArray> &items, const QString &key, const QStringList &texts, bool link)
{
    if (texts.isEmpty())
        return;
    QByteArray value;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i > 0)
            value += '\0';
        // Values keep one line end form whatever the platform.
        value += convertLineEndings(texts[i], LineEnding::CrLf).toUtf8();
    }
    renderItem(items, key, value, link ? Link : Text);
}

void ApeTagIo::renderSingleText(QList<QByteArray> &items, const QString &key, const QString &text, bool link)
{
    renderTextItem(items, key, QStringList{text}, link);
}

void ApeTagIo::renderItemList(QList<QByteArray> &items, const QString &key, const QList<TagItem *> &tagItems)
{
    if (tagItems.isEmpty())
        return;
    QStringList texts;
    for (const TagItem *item : tagItems)
        texts.append(textForm(item));
    const int firstType = tagItems.first()->type();
    renderTextItem(items, key, texts,
                   firstType == TagItemType::Artwork || firstType == TagItemType::UserDefinedLink);
}
