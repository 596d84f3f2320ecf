// AsfStreamIo: one attribute read into tag items, and the items of one type encoded as
// attributes. The names and keys come from AsfAttributeTable.

#include "libcore/io/iostream.h"
#include "libcore/locale/localetables.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/stringutils.h"
#include "libcore/util/listutil.h"
#include "libcore/util/partialdatetime.h"
#include "libtagging/asf/asfattributetable.h"
#include "libtagging/asf/asfstreamio.h"
#include "libtagging/asf/asftext.h"
#include "libtagging/id3/id3v2tagio.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/languagetagitem.h"
#include "libtagging/model/lyricstagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/releasecountrytagitem.h"
#include "libtagging/model/scripttagitem.h"
#include "libtagging/model/synchronizedlyricstagitem.h"
#include "libtagging/model/unknownasfdatatagitem.h"
#include "libtagging/model/unknownasfstringtagitem.h"
#include "libtagging/model/userdefinedlinktagitem.h"
#include "libtagging/model/userdefinedtexttagitem.h"

#include <QtEndian>

#include <cmath>
#include <memory>

namespace {

using namespace TagItemType;

const QString dateFormat = QStringLiteral("yyyy-MM-ddThh:mm:ss:zzz");

// ASF times count 100-nanosecond units from the start of 1601, in UTC.
const QDateTime &timeOrigin()
{
    static const QDateTime origin(QDate(1601, 1, 1), QTime(0, 0), Qt::UTC);
    return origin;
}

// Thrown inside readAttribute when a value cannot be interpreted; the attribute becomes
// an unknown item.
struct Unreadable
{
};

LanguageInfo english()
{
    return languageByQLocaleLanguage(QLocale::English);
}

// A decimal number, or Unreadable: a text that is no number is kept as it is.
int decimal(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw Unreadable();
    return value;
}

PartialDateTime date(const QString &text)
{
    const PartialDateTime value(text.trimmed(), dateFormat);
    if (value.year() == -1 || !value.isValid())
        throw Unreadable();
    return value;
}

void addTextItems(IoStream *stream, const QString &key, const QString &text, const AsfAttributeRow &row,
                  AudioTag *tag)
{
    switch (row.itemType) {
    case Comment:
        tag->addItem(new CommentTagItem(text, QString(), english()));
        return;
    case Lyrics:
        tag->addItem(new LyricsTagItem(text, QString(), english()));
        return;
    case ReleaseCountry: {
        const CountryInfo country = countryByCode(text.trimmed());
        if (country.iso3166_1_A2.isEmpty())
            throw Unreadable();
        tag->addItem(new ReleaseCountryTagItem(country));
        return;
    }
    case Language: {
        const LanguageInfo language = languageByCode(text.trimmed());
        if (language.iso639_2T.isEmpty() && language.iso639_1.isEmpty())
            throw Unreadable();
        tag->addItem(new LanguageTagItem(language));
        return;
    }
    case Script: {
        const ScriptInfo script = scriptByCode(text.trimmed());
        if (script.iso15924.isEmpty())
            throw Unreadable();
        tag->addItem(new ScriptTagItem(script));
        return;
    }
    case Genre: {
        const QStringList genres = Id3v2TagIo::parseGenres(text);
        if (genres.isEmpty())
            throw Unreadable();
        for (const QString &genre : genres)
            tag->addItem(new GenreTagItem(genre));
        return;
    }
    case Bpm:
        tag->addItem(new BpmTagItem(decimal(text)));
        return;
    case PlaybackDelay:
        tag->addItem(new PlaybackDelayTagItem(decimal(text)));
        return;
    case DiscCount:
        tag->addItem(new DiscCountTagItem(decimal(text)));
        return;
    case TrackCount:
        tag->addItem(new TrackCountTagItem(decimal(text)));
        return;
    case DiscNumber:
    case TrackNumber: {
        if (key == QLatin1String("wmtrack")) {
            tag->addItem(new TrackNumberTagItem(decimal(text) + 1));
            return;
        }
        const bool disc = row.itemType == DiscNumber;
        const int before = tag->itemList().size();
        tag->addNumberPair(text, disc ? DiscNumber : TrackNumber, disc ? DiscCount : TrackCount);
        if (tag->itemList().size() == before)
            throw Unreadable();
        return;
    }
    case ReleaseDate:
        tag->addItem(new ReleaseDateTagItem(date(text)));
        return;
    case OriginalReleaseDate:
        tag->addItem(new OriginalReleaseDateTagItem(date(text)));
        return;
    case ExplicitContent:
        tag->addItem(new ExplicitContentTagItem(alphanumericKey(text).contains(QLatin1String("explicit"))));
        return;
    case DiscToc:
        try {
            tag->addItem(DiscTocTagItem::fromText(text));
        } catch (const Exception &) {
            Logger::warning(AsfStreamIo::TextTocUnreadable, {stream->displayName()});
            throw Unreadable();
        }
        return;
    default: {
        TagItem *item = TagItem::create(row.itemType);
        auto *string = dynamic_cast<StringTagItem *>(item);
        if (!string) {
            delete item;
            throw Unreadable();
        }
        string->value = text;
        tag->addItem(item);
    }
    }
}

ArtworkTagItem *picture(IoStream *stream, const QByteArray &value, bool banner)
{
    if (banner) {
        const CodedImage image(value);
        if (image.isEmpty()) {
            Logger::warning(AsfStreamIo::BannerWithoutImage, {stream->displayName()});
            throw Unreadable();
        }
        return new ArtworkTagItem(image, 6, QString());
    }
    if (value.size() < 5)
        throw Unreadable();
    IoStream data(value, QIODevice::ReadOnly);
    data.setName(stream->name());
    const int pictureType = data.readByte();
    data.readUInt32(false); // the image's length: the rest of the value
    AsfText::read(&data); // MIME type
    const QString description = AsfText::read(&data);
    const CodedImage image(data.readAll());
    if (image.isEmpty()) {
        Logger::warning(AsfStreamIo::PictureWithoutImage, {stream->displayName()});
        throw Unreadable();
    }
    return new ArtworkTagItem(image, pictureType, description);
}

SynchronizedLyricsTagItem *synchronizedLyrics(IoStream *stream, const QByteArray &value)
{
    if (value.size() < 6)
        throw Unreadable();
    IoStream data(value, QIODevice::ReadOnly);
    data.setName(stream->name());
    data.readByte();
    const int contentType = data.readByte();
    data.readUInt32(false); // length of the lines: the rest of the value
    const QString description = AsfText::read(&data);
    QList<SynchronizedLyricsLine> lines;
    while (data.pos() < data.size()) {
        SynchronizedLyricsLine line;
        line.text = AsfText::read(&data);
        if (data.size() - data.pos() < 4)
            throw Unreadable();
        line.time = int(data.readUInt32(false));
        lines.append(line);
    }
    ListUtil::sort(lines, true,
                   [](const SynchronizedLyricsLine &a, const SynchronizedLyricsLine &b) { return a.time < b.time; });
    return new SynchronizedLyricsTagItem(description, contentType, lines);
}

void addBinaryItem(IoStream *stream, const QString &key, const QByteArray &value, const AsfAttributeRow &row,
                   AudioTag *tag)
{
    switch (row.itemType) {
    case Artwork:
        tag->addItem(picture(stream, value, key == QLatin1String("bannerimagedata")));
        return;
    case SynchronizedLyrics:
        tag->addItem(synchronizedLyrics(stream, value));
        return;
    case DiscToc:
        try {
            tag->addItem(DiscTocTagItem::fromBinary(value));
        } catch (const Exception &) {
            Logger::warning(AsfStreamIo::BinaryTocUnreadable, {stream->displayName()});
            throw Unreadable();
        }
        return;
    case UserDefinedText:
    case UserDefinedLink: {
        IoStream data(value, QIODevice::ReadOnly);
        data.setName(stream->name());
        const QString description = AsfText::read(&data);
        const QString text = AsfText::read(&data);
        if (row.itemType == UserDefinedText)
            tag->addItem(new UserDefinedTextTagItem(text, description));
        else
            tag->addItem(new UserDefinedLinkTagItem(text, description));
        return;
    }
    default:
        throw Unreadable();
    }
}

void addNumberItem(const QString &key, quint64 number, const AsfAttributeRow &row, AudioTag *tag)
{
    const int low = int(quint32(number));
    switch (row.itemType) {
    case PlayDuration:
        tag->addItem(new PlayDurationTagItem(int(quint32(quint64(qint64(number) / 10000)))));
        return;
    case FileSize:
        tag->addItem(new FileSizeTagItem(low));
        return;
    case DiscCount:
        tag->addItem(new DiscCountTagItem(low));
        return;
    case DiscNumber:
        tag->addItem(new DiscNumberTagItem(low));
        return;
    case TrackCount:
        tag->addItem(new TrackCountTagItem(low));
        return;
    case TrackNumber:
        // "WM/Track" counts from 0.
        tag->addItem(new TrackNumberTagItem(key == QLatin1String("wmtrack") ? low + 1 : low));
        return;
    case EncodingDate: {
        const QDateTime time = timeOrigin().addMSecs(qint64(number / 10000));
        if (!time.isValid())
            throw Unreadable();
        tag->addItem(new EncodingDateTagItem(PartialDateTime(time)));
        return;
    }
    case PartOfCompilation:
        tag->addItem(new PartOfCompilationTagItem(number != 0));
        return;
    case Rating:
        if (qint64(number) <= 0)
            return;
        tag->addItem(new RatingTagItem(double(qMin<quint64>(number, 99) - 1) / 98.0));
        return;
    default:
        throw Unreadable();
    }
}

// The value of a numeric attribute: 2, 4 or 8 little-endian bytes, whatever its type says.
quint64 number(const QByteArray &value)
{
    switch (value.size()) {
    case 2:
        return qFromLittleEndian<quint16>(value.constData());
    case 4:
        return qFromLittleEndian<quint32>(value.constData());
    case 8:
        return qFromLittleEndian<quint64>(value.constData());
    default:
        throw Unreadable();
    }
}

QByteArray littleEndian(quint64 value, int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(value >> (8 * i));
    return bytes;
}

// 100-ns units from the origin to the earliest moment of the date in UTC, or -1 when the
// date lies before the origin or too far after it.
qint64 asfTime(const PartialDateTime &value)
{
    if (value.year() == -1)
        return -1;
    const auto orElse = [](int part, int fallback) { return part == -1 ? fallback : part; };
    const QDateTime time(QDate(value.year(), orElse(value.month(), 1), orElse(value.day(), 1)),
                         QTime(orElse(value.hour(), 0), orElse(value.minute(), 0), orElse(value.second(), 0),
                               orElse(value.msec(), 0)),
                         Qt::UTC);
    if (!time.isValid())
        return -1;
    const qint64 ms = timeOrigin().msecsTo(time);
    if (ms < 0 || ms > std::numeric_limits<qint64>::max() / 10000)
        return -1;
    return ms * 10000;
}

// 1 to 99 from a rating of 0.0 to 1.0, rounded so that every stored value reads back and
// writes again as itself.
quint32 ratingValue(double rating)
{
    if (!(rating >= 0.0))
        rating = 0.0;
    return quint32(qBound(1, int(std::lround(qMin(rating, 1.0) * 98.0)) + 1, 99));
}

QByteArray pictureValue(const ArtworkTagItem *item)
{
    const CodedImage &image = item->image();
    QByteArray bytes;
    bytes += char(item->pictureType);
    bytes += littleEndian(quint64(image.data.size()), 4);
    bytes += AsfText::encode(image.mimeType());
    bytes += AsfText::encode(item->description);
    bytes += image.data;
    return bytes;
}

QByteArray synchronizedLyricsValue(const SynchronizedLyricsTagItem *item)
{
    QByteArray lines;
    for (const SynchronizedLyricsLine &line : item->lines) {
        lines += AsfText::encode(line.text);
        lines += littleEndian(quint32(line.time), 4);
    }
    QByteArray bytes;
    bytes += char(0);
    bytes += char(item->contentType);
    bytes += littleEndian(quint64(lines.size()), 4);
    bytes += AsfText::encode(item->description);
    bytes += lines;
    return bytes;
}

} // namespace

void AsfStreamIo::readAttribute(IoStream *stream, const AsfAttribute &attribute, AudioTag *tag)
{
    // No value bytes carry nothing, and the writer stores no empty value either.
    if (attribute.value.isEmpty())
        return;
    const QString key = alphanumericKey(attribute.name);
    bool isText = false;
    QString text;
    try {
        switch (attribute.valueType) {
        case AsfAttributeType::UnicodeString: {
            text = AsfText::decode(attribute.value);
            if (text.trimmed().isEmpty())
                return;
            isText = true;
            const AsfAttributeRow *row = AsfAttributeTable::rowForTextKey(key);
            if (!row)
                throw Unreadable();
            addTextItems(stream, key, text, *row, tag);
            return;
        }
        case AsfAttributeType::ByteArray: {
            if (attribute.value.isEmpty())
                return;
            const AsfAttributeRow *row = AsfAttributeTable::rowForBinaryKey(key);
            if (!row)
                throw Unreadable();
            addBinaryItem(stream, key, attribute.value, *row, tag);
            return;
        }
        case AsfAttributeType::Bool:
        case AsfAttributeType::DWord:
        case AsfAttributeType::QWord:
        case AsfAttributeType::Word: {
            const quint64 value = number(attribute.value);
            if (AsfAttributeTable::ignoredNumberKeys().contains(key))
                return;
            const AsfAttributeRow *row = AsfAttributeTable::rowForNumberKey(key);
            if (!row)
                throw Unreadable();
            addNumberItem(key, value, *row, tag);
            return;
        }
        default:
            throw Unreadable();
        }
    } catch (const Unreadable &) {
    } catch (const Exception &) {
        // A value shorter than its layout: kept as it is, like any other unreadable value.
    }
    if (isText) {
        tag->addItem(new UnknownAsfStringTagItem(attribute.name, text, attribute.languageIndex,
                                                 attribute.streamNumber));
        return;
    }
    tag->addItem(new UnknownAsfDataTagItem(attribute.name, attribute.value, attribute.valueType,
                                           attribute.languageIndex, attribute.streamNumber));
}

void AsfStreamIo::addItemAttributes(const QList<TagItem *> &items, const QString &name,
                                    QList<QByteArray> &descriptors, QList<QByteArray> &libraryRecords,
                                    const QString &format)
{
    for (const TagItem *item : items) {
        AsfAttribute attribute{name, QByteArray(), AsfAttributeType::UnicodeString, 0, 0};
        switch (item->type()) {
        case Artwork: {
            const auto *artwork = static_cast<const ArtworkTagItem *>(item);
            if (artwork->image().isEmpty())
                continue;
            attribute.valueType = AsfAttributeType::ByteArray;
            attribute.value = pictureValue(artwork);
            break;
        }
        case DiscToc:
            // The binary form, as the reader expects from a byte array.
            attribute.valueType = AsfAttributeType::ByteArray;
            attribute.value = static_cast<const DiscTocTagItem *>(item)->toBinary();
            if (attribute.value.isEmpty())
                continue;
            break;
        case EncodingDate: {
            const qint64 time = asfTime(static_cast<const DateTimeTagItem *>(item)->value);
            if (time < 0)
                continue;
            attribute.valueType = AsfAttributeType::QWord;
            attribute.value = littleEndian(quint64(time), 8);
            break;
        }
        case ExplicitContent:
            if (!static_cast<const BooleanTagItem *>(item)->value)
                continue;
            attribute.value = AsfText::encode(QStringLiteral("Explicit Lyrics"));
            break;
        case FileSize:
            attribute.valueType = AsfAttributeType::QWord;
            attribute.value = littleEndian(quint64(qint64(static_cast<const IntegerTagItem *>(item)->value)), 8);
            break;
        case PartOfCompilation:
            attribute.valueType = AsfAttributeType::Bool;
            attribute.value = littleEndian(static_cast<const BooleanTagItem *>(item)->value ? 1 : 0, 4);
            break;
        case PlayDuration:
            attribute.valueType = AsfAttributeType::QWord;
            attribute.value =
                littleEndian(quint64(qint64(static_cast<const IntegerTagItem *>(item)->value) * 10000), 8);
            break;
        case Rating:
            attribute.valueType = AsfAttributeType::DWord;
            attribute.value = littleEndian(ratingValue(static_cast<const FloatingPointTagItem *>(item)->value), 4);
            break;
        case SynchronizedLyrics:
            attribute.valueType = AsfAttributeType::ByteArray;
            attribute.value = synchronizedLyricsValue(static_cast<const SynchronizedLyricsTagItem *>(item));
            break;
        case UserDefinedLink:
        case UserDefinedText: {
            const auto *text = static_cast<const StringTagItem *>(item);
            const QString description = item->type() == UserDefinedText
                                            ? static_cast<const UserDefinedTextTagItem *>(item)->description
                                            : static_cast<const UserDefinedLinkTagItem *>(item)->description;
            attribute.valueType = AsfAttributeType::ByteArray;
            attribute.value = AsfText::encode(description) + AsfText::encode(text->value);
            break;
        }
        default:
            attribute.value = AsfText::encode(item->toString(format));
        }
        addAttribute(attribute, descriptors, libraryRecords);
    }
}
