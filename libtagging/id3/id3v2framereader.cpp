#include "libtagging/id3/id3v2framereader.h"

#include "libcore/io/iostream.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/locale/localetables.h"
#include "libcore/log/logger.h"
#include "libcore/platform/platformidentity.h"
#include "libcore/text/asciitextcodec.h"
#include "libcore/text/latin1textcodec.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/textcodec.h"
#include "libcore/text/utf8textcodec.h"
#include "libtagging/id3/id3v2framecursor.h"
#include "libtagging/id3/id3v2readstate.h"
#include "libtagging/id3/id3v2tagio.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/encapsulatedobjecttagitem.h"
#include "libtagging/model/eventtimingtagitem.h"
#include "libtagging/model/fileidentifiertagitem.h"
#include "libtagging/model/involvedpeoplelisttagitem.h"
#include "libtagging/model/languagetagitem.h"
#include "libtagging/model/lyricstagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/privatetagitem.h"
#include "libtagging/model/releasecountrytagitem.h"
#include "libtagging/model/scripttagitem.h"
#include "libtagging/model/synchronizedlyricstagitem.h"
#include "libtagging/model/userdefinedlinktagitem.h"
#include "libtagging/model/userdefinedtexttagitem.h"
#include "libtagging/model/volumeadjustmenttagitem.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <memory>

const char *const Id3v2FrameReader::MusicBrainzOwner = "http://musicbrainz.org";

namespace {
const QString dateFormat = QStringLiteral("yyyy-MM-ddThh:mm:ss:zzz");

// Logs the warning and gives up on the frame without a message of its own.
[[noreturn]] void abandon(const Id3v2ReadState &state, quint32 code)
{
    Logger::warning(code, {state.sourceStream->displayName()});
    throw Exception::quiet();
}

qint64 bytesLeft(const Id3v2FrameCursor *frame)
{
    return frame->bytesLeft();
}

quint64 readBigEndian(Id3v2FrameCursor *frame, int bytes)
{
    return frame->readBigEndian(bytes);
}

TextCodec *encodingOf(Id3v2FrameCursor *frame)
{
    return Id3v2TagIo::codecForEncodingByte(frame->readByte());
}

QString readFixed(Id3v2FrameCursor *frame, int bytes)
{
    return frame->readFixed(bytes);
}

QString nextString(Id3v2FrameCursor *frame, TextCodec *codec)
{
    return frame->readString(codec);
}

QStringList stringList(Id3v2FrameCursor *frame, TextCodec *codec)
{
    QStringList values;
    while (frame->bytesLeft() > 0)
        values.append(frame->readString(codec));
    return values;
}

// Peak and adjustment fields are whole bytes: a bit count is rounded up to one.
int roundedBits(int bits)
{
    return bits % 8 == 0 ? bits : bits - bits % 8 + 8;
}

double fullScale(int bits)
{
    return std::ldexp(1.0, bits) - 1.0;
}

// The slash-separated values some writers put into one frame of version 2.3.
bool splitsAtSlashes(const QString &frameId)
{
    static const QSet<QString> ids{"TBPM", "TCMP", "TDAT", "TDEN", "TDLY", "TDOR", "TDRC", "TDRL", "XDOR", "TDTG",
                                   "TGID", "TIME", "TLAN", "TLEN", "TMOO", "TORY", "TSIZ", "TSRC", "TYER"};
    return ids.contains(frameId);
}

bool userTextSplitsAtSlashes(const QString &key)
{
    static const QStringList keys{"artists", "asin", "barcode", "catalognumber", "mood",
                                  "originalyear", "script", "totaldiscs", "totaltracks"};
    return key.startsWith(QLatin1String("acoustid")) || key.startsWith(QLatin1String("musicbrainz"))
           || key.startsWith(QLatin1String("replaygain")) || keys.contains(key);
}

// A user link's address is ISO 8859-1; only UTF-8, which writing uses for an address beyond
// it, is read as such. A guess could take an address with control characters for UTF-16.
QString linkText(const QByteArray &bytes)
{
    const bool utf8 = std::any_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) >= 0x80; })
                      && Utf8TextCodec::instance()->canDecode(bytes);
    const TextCodec *codec = utf8 ? static_cast<TextCodec *>(Utf8TextCodec::instance()) : Latin1TextCodec::instance();
    return convertLineEndings(codec->decodeOrNull(bytes), LineEnding::Lf);
}

// The content handlers. Frame ids are looked up once in a table instead of being compared
// with every id in turn; other ids that start with T or W fall to the text and URL rules.
enum class Handler {
    Picture,
    Comment,
    EventTiming,
    Object,
    TextList,
    People,
    DiscToc,
    PlayCounter,
    Podcast,
    Popularimeter,
    Private,
    RelativeVolume,
    VolumeAdjustment,
    SynchronizedLyrics,
    UserText,
    Text,
    FileIdentifier,
    TermsOfUse,
    Lyrics,
    UserLink,
    Url,
    Seek,
    Unknown,
};

Handler handlerOf(const QString &frameId)
{
    static const QHash<QString, Handler> handlers{
        {QStringLiteral("APIC"), Handler::Picture},
        {QStringLiteral("COMM"), Handler::Comment},
        {QStringLiteral("ETCO"), Handler::EventTiming},
        {QStringLiteral("GEOB"), Handler::Object},
        {QStringLiteral("GRP1"), Handler::TextList},
        {QStringLiteral("MVNM"), Handler::TextList},
        {QStringLiteral("MVIN"), Handler::TextList},
        {QStringLiteral("IPLS"), Handler::People},
        {QStringLiteral("TMCL"), Handler::People},
        {QStringLiteral("MCDI"), Handler::DiscToc},
        {QStringLiteral("PCNT"), Handler::PlayCounter},
        {QStringLiteral("PCST"), Handler::Podcast},
        {QStringLiteral("POPM"), Handler::Popularimeter},
        {QStringLiteral("PRIV"), Handler::Private},
        {QStringLiteral("RVA2"), Handler::RelativeVolume},
        {QStringLiteral("XRVA"), Handler::RelativeVolume},
        {QStringLiteral("XRV"), Handler::RelativeVolume},
        {QStringLiteral("RVAD"), Handler::VolumeAdjustment},
        {QStringLiteral("SYLT"), Handler::SynchronizedLyrics},
        {QStringLiteral("TXXX"), Handler::UserText},
        {QStringLiteral("XDOR"), Handler::Text},
        {QStringLiteral("XSOA"), Handler::Text},
        {QStringLiteral("XSOP"), Handler::Text},
        {QStringLiteral("XSOT"), Handler::Text},
        {QStringLiteral("UFID"), Handler::FileIdentifier},
        {QStringLiteral("USER"), Handler::TermsOfUse},
        {QStringLiteral("USLT"), Handler::Lyrics},
        {QStringLiteral("WXXX"), Handler::UserLink},
        {QStringLiteral("SEEK"), Handler::Seek},
    };
    const auto found = handlers.constFind(frameId);
    if (found != handlers.constEnd())
        return *found;
    if (frameId.startsWith(u'T'))
        return Handler::Text;
    if (frameId.startsWith(u'W'))
        return Handler::Url;
    return Handler::Unknown;
}

int wholeNumber(const QString &value)
{
    bool ok = false;
    const int number = value.trimmed().toInt(&ok, 10);
    // Not a whole number: the caller keeps the text rather than a made-up 0.
    if (!ok)
        throw Exception::quiet();
    return number;
}

double gainValue(QString value)
{
    value = value.trimmed();
    if (value.endsWith(QLatin1String(" dB")))
        value.chop(3);
    return value.toDouble();
}
} // namespace

void Id3v2FrameReader::readFrameContent(Id3v2ReadState &state, const QString &frameId, IoStream *frame)
{
    Id3v2FrameCursor cursor(frame->data(), frame, frame->pos());
    readFrameContent(state, frameId, cursor);
}

void Id3v2FrameReader::readFrameContent(Id3v2ReadState &state, const QString &frameId, Id3v2FrameCursor &cursor)
{
    Id3v2FrameCursor *frame = &cursor;
    AudioTag *tag = state.tag;
    const Handler handler = handlerOf(frameId);
    if (handler == Handler::Picture) {
        readPicture(state, frame);
    } else if (handler == Handler::Comment) {
        TextCodec *codec = encodingOf(frame);
        const LanguageInfo language = languageByCode(readFixed(frame, 3));
        const QString description = nextString(frame, codec);
        const QString text = nextString(frame, codec);
        if (text.trimmed().isEmpty())
            return;
        if (description.startsWith(QLatin1String("iTun")))
            tag->addItem(new UserDefinedTextTagItem(text, description));
        else
            tag->addItem(new CommentTagItem(text, description, language));
    } else if (handler == Handler::EventTiming) {
        auto *item = new EventTimingTagItem(state.parent);
        frame->readByte();
        while (bytesLeft(frame) >= 5) {
            TimedEvent event;
            event.type = uchar(frame->readByte());
            event.time = int(readBigEndian(frame, 4));
            item->events.append(event);
        }
        tag->addItem(item);
    } else if (handler == Handler::Object) {
        TextCodec *codec = encodingOf(frame);
        const QString mimeType = nextString(frame, AsciiTextCodec::instance());
        const QString fileName = nextString(frame, codec);
        const QString description = nextString(frame, codec);
        tag->addItem(new EncapsulatedObjectTagItem(mimeType, fileName, description, frame->readAll()));
    } else if (handler == Handler::TextList) {
        readTextFrame(state, frameId, frame);
    } else if (handler == Handler::People) {
        readPeople(state, frameId, frame);
    } else if (handler == Handler::DiscToc) {
        try {
            tag->addItem(DiscTocTagItem::fromBinary(frame->readAll(), state.parent));
        } catch (const Exception &) {
            // The frame is kept as it was read.
            Logger::warning(BadDiscToc, {state.sourceStream->displayName()});
            throw;
        }
    } else if (handler == Handler::PlayCounter) {
        if (frame->size() > 8)
            abandon(state, PlayCounterTooLong);
        tag->addItem(new PlayCountTagItem(int(quint32(readBigEndian(frame, int(frame->size()))))));
    } else if (handler == Handler::Podcast) {
        tag->addItem(new IsPodcastTagItem(true));
    } else if (handler == Handler::Popularimeter) {
        nextString(frame, nullptr);
        const int rating = uchar(frame->readByte());
        if (rating != 0)
            tag->addItem(new RatingTagItem((rating - 1) / 254.0));
        if (bytesLeft(frame) <= 8) {
            const quint64 counter = readBigEndian(frame, int(bytesLeft(frame)));
            if (counter != 0)
                tag->addItem(new PlayCountTagItem(int(quint32(counter))));
        }
    } else if (handler == Handler::Private) {
        const QString owner = nextString(frame, nullptr);
        tag->addItem(new PrivateTagItem(owner, frame->readAll()));
    } else if (handler == Handler::RelativeVolume) {
        readRelativeVolume(state, frame);
    } else if (handler == Handler::VolumeAdjustment) {
        readRelativeVolumeAdjustment(state, frame);
    } else if (handler == Handler::SynchronizedLyrics) {
        readSynchronizedLyrics(state, frame);
    } else if (handler == Handler::UserText) {
        readUserText(state, frame);
    } else if (handler == Handler::Text) {
        readTextFrame(state, frameId, frame);
    } else if (handler == Handler::FileIdentifier) {
        const QString owner = nextString(frame, Latin1TextCodec::instance());
        const QByteArray identifier = frame->readAll();
        const QString plain = QString::fromLatin1(MusicBrainzOwner);
        const QString secure = QStringLiteral("https://musicbrainz.org");
        if (owner == plain || owner == secure)
            tag->addItem(new RecordingMbidTagItem(AsciiTextCodec::instance()->decodeOrNull(identifier)));
        else
            tag->addItem(new FileIdentifierTagItem(owner, identifier));
    } else if (handler == Handler::TermsOfUse) {
        TextCodec *codec = encodingOf(frame);
        readFixed(frame, 3);
        tag->addItem(new LicenseTagItem(nextString(frame, codec)));
    } else if (handler == Handler::Lyrics) {
        TextCodec *codec = encodingOf(frame);
        const LanguageInfo language = languageByCode(readFixed(frame, 3));
        const QString description = nextString(frame, codec);
        const QString lyrics = nextString(frame, codec);
        tag->addItem(new LyricsTagItem(lyrics, description, language));
    } else if (handler == Handler::UserLink) {
        readUserLink(state, frame);
    } else if (handler == Handler::Url) {
        readUrlFrame(state, frameId, frame);
    } else if (handler == Handler::Seek) {
        // Where the next tag stands; the reader finds tags by itself.
    } else {
        Id3v2TagIo::addUnknownFrame(tag, frameId, state.flags, frame->data());
    }
}

QStringList Id3v2FrameReader::splitValues(const Id3v2ReadState &state, const QStringList &values)
{
    const int written = state.settings->version;
    if (written != 2 && written != 3)
        return values;
    QStringList result;
    for (const QString &value : values) {
        // Most values hold neither separator and stay whole.
        if (!value.contains(u'/') && !value.contains(QLatin1String("; "))) {
            result.append(value);
            continue;
        }
        for (const QString &part : value.split(u'/'))
            result.append(part.split(QStringLiteral("; ")));
    }
    return result;
}

void Id3v2FrameReader::addValue(Id3v2ReadState &state, int itemType, int valueKind, int countType,
                                const QString &value)
{
    AudioTag *tag = state.tag;
    // Items go to the tag straight away: held here until then, they need no parent.
    std::unique_ptr<TagItem> item;
    switch (valueKind) {
    case Id3v2FrameTable::Number: {
        const int number = wholeNumber(value);
        item.reset(TagItem::create(itemType, nullptr));
        static_cast<IntegerTagItem *>(item.get())->value = number;
        break;
    }
    case Id3v2FrameTable::Date: {
        // Text that is no date, or a date no calendar has (day 93), stays the frame it was:
        // as a date, a 2.3 tag would write it in parts that do not all read back.
        const PartialDateTime date(value, dateFormat);
        if (!date.isValid())
            throw Exception::quiet();
        item.reset(TagItem::create(itemType, nullptr));
        static_cast<DateTimeTagItem *>(item.get())->value = date;
        break;
    }
    case Id3v2FrameTable::Flag:
        item.reset(TagItem::create(itemType, nullptr));
        static_cast<BooleanTagItem *>(item.get())->value = value == QLatin1String("1");
        break;
    case Id3v2FrameTable::Genres:
        for (const QString &genre : Id3v2TagIo::parseGenres(value))
            tag->addItem(new GenreTagItem(genre));
        return;
    case Id3v2FrameTable::FileType:
        item = std::make_unique<FileTypeTagItem>(Id3v2TagIo::fileTypeFromCode(value));
        break;
    case Id3v2FrameTable::MediaType:
        item = std::make_unique<MediaTypeTagItem>(Id3v2TagIo::mediaTypeFromCode(value));
        break;
    case Id3v2FrameTable::NumberPair:
        tag->addNumberPair(value, itemType, countType);
        return;
    default:
        // Coded items keep the whole record of their code; an unknown code gives an empty one.
        if (itemType == TagItemType::Language) {
            item = std::make_unique<LanguageTagItem>(languageByCode(value));
            break;
        }
        if (itemType == TagItemType::ReleaseCountry) {
            item = std::make_unique<ReleaseCountryTagItem>(countryByCode(value));
            break;
        }
        if (itemType == TagItemType::Script) {
            item = std::make_unique<ScriptTagItem>(scriptByCode(value));
            break;
        }
        item.reset(TagItem::create(itemType, nullptr));
        if (item && !item->fromVariant(value))
            throw Exception::quiet();
    }
    if (item)
        tag->addItem(item.release());
}

void Id3v2FrameReader::readTextFrame(Id3v2ReadState &state, const QString &frameId, Id3v2FrameCursor *frame)
{
    TextCodec *codec = encodingOf(frame);
    QStringList values = stringList(frame, codec);
    if (splitsAtSlashes(frameId))
        values = splitValues(state, values);
    const bool iTunesTags = state.settings->iTunesTags;
    const Id3v2FrameTable::FrameRow *row =
        Id3v2FrameTable::frameToRead(Id3v2FrameTable::textFrames(), frameId, iTunesTags);
    // The frames whose values go into the dates gathered over the tag.
    enum { Item, Year, OriginalYear, DayMonth, HourMinute } kind = Item;
    if (frameId == QLatin1String("TYER"))
        kind = Year;
    else if (frameId == QLatin1String("TORY"))
        kind = OriginalYear;
    else if (frameId == QLatin1String("TDAT"))
        kind = DayMonth;
    else if (frameId == QLatin1String("TIME"))
        kind = HourMinute;
    for (QString value : std::as_const(values)) {
        value = value.trimmed();
        if (value.isEmpty())
            continue;
        if (kind == Year || kind == OriginalYear) {
            // A year frame may hold a whole date; text that is no date, or one whose parts make
            // no date with those read before (a 29 February in another year), stays the frame it was.
            PartialDateTime &gathered = kind == Year ? state.releaseDate : state.originalReleaseDate;
            const PartialDateTime date(value, dateFormat);
            PartialDateTime merged = gathered;
            merged.merge(date, false);
            if (date.isValid() && merged.isValid())
                gathered = merged;
            else
                state.tag->addItem(new UnknownId3v2StringTagItem(frameId, value));
        } else if (kind == DayMonth || kind == HourMinute) {
            // Both parts or neither: a day without its month, or a time without its minute, is
            // not written again; what does not fit the date stays the frame it was.
            PartialDateTime date = state.releaseDate;
            const int first = value.mid(0, 2).toInt();
            const int second = value.mid(2, 2).toInt();
            const bool fits = value.size() == 4
                && (kind == DayMonth ? date.setMonth(second) && date.setDay(first)
                                     : date.setHour(first) && date.setMinute(second));
            if (fits)
                state.releaseDate = date;
            else
                state.tag->addItem(new UnknownId3v2StringTagItem(frameId, value));
        } else {
            try {
                if (!row)
                    throw Exception::quiet();
                addValue(state, row->itemType, row->value, row->countType, value);
            } catch (const Exception &) {
                state.tag->addItem(new UnknownId3v2StringTagItem(frameId, value));
            }
        }
    }
}

void Id3v2FrameReader::readUserText(Id3v2ReadState &state, Id3v2FrameCursor *frame)
{
    TextCodec *codec = encodingOf(frame);
    const QString description = nextString(frame, codec);
    const QString key = alphanumericKey(description);
    QStringList values = stringList(frame, codec);
    if (userTextSplitsAtSlashes(key))
        values = splitValues(state, values);
    VolumeAdjustmentTagItem *volume = state.volumeAdjustment;
    const Id3v2FrameTable::KeyRow *row = Id3v2FrameTable::keyToRead(Id3v2FrameTable::userTexts(), key);
    for (QString value : std::as_const(values)) {
        value = value.trimmed();
        if (value.isEmpty())
            continue;
        PartialDateTime originalYear;
        if (key == QLatin1String("originalyear")) {
            originalYear = state.originalReleaseDate;
            originalYear.merge(PartialDateTime(value, dateFormat), false);
        }
        if (originalYear.isValid() && PartialDateTime(value, dateFormat).isValid()) {
            state.originalReleaseDate = originalYear;
        } else if (key == QLatin1String("replaygaintrackgain")) {
            volume->trackGain = gainValue(value);
        } else if (key == QLatin1String("replaygaintrackpeak")) {
            volume->trackPeak = value.toDouble();
        } else if (key == QLatin1String("replaygainalbumgain")) {
            volume->albumGain = gainValue(value);
        } else if (key == QLatin1String("replaygainalbumpeak")) {
            volume->albumPeak = value.toDouble();
        } else if (row) {
            try {
                addValue(state, row->itemType, row->value, 0, value);
            } catch (const Exception &) {
                // A count that is no whole number stays as the text it was.
                state.tag->addItem(new UserDefinedTextTagItem(value, description));
            }
        } else {
            state.tag->addItem(new UserDefinedTextTagItem(value, description));
        }
    }
}

void Id3v2FrameReader::readUrlFrame(Id3v2ReadState &state, const QString &frameId, Id3v2FrameCursor *frame)
{
    TextCodec *codec = frameId == QLatin1String("WFED") ? encodingOf(frame) : nullptr;
    const Id3v2FrameTable::FrameRow *row = Id3v2FrameTable::frameToRead(Id3v2FrameTable::urlFrames(), frameId, false);
    for (QString url : stringList(frame, codec)) {
        url = url.trimmed();
        if (url.isEmpty())
            continue;
        try {
            if (!row)
                throw Exception::quiet();
            addValue(state, row->itemType, row->value, 0, url);
        } catch (const Exception &) {
            state.tag->addItem(new UnknownId3v2StringTagItem(frameId, url));
        }
    }
}

void Id3v2FrameReader::readUserLink(Id3v2ReadState &state, Id3v2FrameCursor *frame)
{
    TextCodec *codec = encodingOf(frame);
    const QString description = nextString(frame, codec);
    const Id3v2FrameTable::KeyRow *row =
        Id3v2FrameTable::keyToRead(Id3v2FrameTable::userLinks(), alphanumericKey(description));
    while (bytesLeft(frame) > 0) {
        const QString url = linkText(frame->readTerminatedBytes()).trimmed();
        if (row)
            addValue(state, row->itemType, row->value, 0, url);
        else
            state.tag->addItem(new UserDefinedLinkTagItem(url, description));
    }
}

void Id3v2FrameReader::readPicture(Id3v2ReadState &state, Id3v2FrameCursor *frame)
{
    TextCodec *codec = encodingOf(frame);
    const QString format = state.version == 2 ? readFixed(frame, 3) : nextString(frame, AsciiTextCodec::instance());
    const int pictureType = uchar(frame->readByte());
    const QString description = nextString(frame, codec);
    if (bytesLeft(frame) <= 0)
        abandon(state, PictureWithoutData);
    if (format == QLatin1String("-->")) {
        QString link = nextString(frame, nullptr);
        link.replace(u'\\', u'/');
        link = withoutTrailingSlash(link);
        // The item reads only files inside the audio file's folder, whatever the link says.
        state.tag->addItem(new ArtworkTagItem(frame->name(), link, pictureType, description));
        return;
    }
    const CodedImage image(frame->readAll());
    if (image.data.isEmpty())
        abandon(state, EmptyPicture);
    state.tag->addItem(new ArtworkTagItem(image, pictureType, description));
}

void Id3v2FrameReader::readPeople(Id3v2ReadState &state, const QString &frameId, Id3v2FrameCursor *frame)
{
    TextCodec *codec = encodingOf(frame);
    const qint8 kind = frameId == QLatin1String("TMCL") ? InvolvedPerson::Musician : InvolvedPerson::Involvement;
    auto *list = new InvolvedPeopleListTagItem(state.parent);
    while (bytesLeft(frame) > 0) {
        const QString role = nextString(frame, codec);
        const QString name = nextString(frame, codec);
        if (name.trimmed().isEmpty())
            continue;
        const Id3v2FrameTable::KeyRow *row = Id3v2FrameTable::keyToRead(Id3v2FrameTable::roles(), alphanumericKey(role));
        if (row) {
            TagItem *item = TagItem::create(row->itemType, state.parent);
            item->fromVariant(name);
            state.tag->addItem(item);
        } else {
            list->people.append(InvolvedPerson(kind, name, role));
        }
    }
    if (!list->people.isEmpty())
        state.tag->addItem(list);
}

void Id3v2FrameReader::readRelativeVolume(Id3v2ReadState &state, Id3v2FrameCursor *frame)
{
    const QString identification = nextString(frame, nullptr).trimmed().toLower();
    double gainSum = 0.0;
    double peakSum = 0.0;
    int channels = 0;
    while (bytesLeft(frame) >= 4) {
        frame->readByte();
        gainSum += qint16(readBigEndian(frame, 2)) / 512.0;
        const int bits = roundedBits(uchar(frame->readByte()));
        if (bits >= 1 && bits <= 64 && bytesLeft(frame) >= bits / 8)
            peakSum += double(readBigEndian(frame, bits / 8)) / fullScale(bits);
        ++channels;
    }
    if (channels == 0)
        abandon(state, VolumeWithoutChannel);
    const double gain = gainSum / channels;
    const double peak = peakSum / channels;
    VolumeAdjustmentTagItem *volume = state.volumeAdjustment;
    const bool album = identification == QLatin1String("album");
    double &gainField = album ? volume->albumGain : volume->trackGain;
    double &peakField = album ? volume->albumPeak : volume->trackPeak;
    if (gainField == 0.0)
        gainField = gain;
    if (peakField == 0.0)
        peakField = peak;
}

void Id3v2FrameReader::readRelativeVolumeAdjustment(Id3v2ReadState &state, Id3v2FrameCursor *frame)
{
    const int increments = uchar(frame->readByte());
    const int bits = roundedBits(uchar(frame->readByte()));
    if (bits < 1 || bits > 64)
        abandon(state, VolumeBadBitCount);
    const double max = fullScale(bits);
    const double right = double(readBigEndian(frame, bits / 8));
    const double left = double(readBigEndian(frame, bits / 8));
    VolumeAdjustmentTagItem *volume = state.volumeAdjustment;
    if (volume->trackGain == 0.0) {
        const double r = 1.0 + ((increments & 0x01) ? 1.0 : -1.0) * right / max;
        const double l = 1.0 + ((increments & 0x02) ? 1.0 : -1.0) * left / max;
        volume->trackGain = (l < 0.001 || r < 0.001) ? -60.0 : 10.0 * std::log10(l * r);
    }
    if (bytesLeft(frame) >= 2 * (bits / 8)) {
        const double rightPeak = double(readBigEndian(frame, bits / 8));
        const double leftPeak = double(readBigEndian(frame, bits / 8));
        if (volume->trackPeak == 0.0)
            volume->trackPeak = qMax(rightPeak, leftPeak) / max;
    }
}

void Id3v2FrameReader::readSynchronizedLyrics(Id3v2ReadState &state, Id3v2FrameCursor *frame)
{
    TextCodec *codec = encodingOf(frame);
    const LanguageInfo language = languageByCode(readFixed(frame, 3));
    frame->readByte();
    auto *item = new SynchronizedLyricsTagItem(state.parent);
    item->language = language;
    item->contentType = uchar(frame->readByte());
    item->description = nextString(frame, codec);
    while (bytesLeft(frame) > 0) {
        const QString text = nextString(frame, codec);
        if (bytesLeft(frame) < 4)
            break;
        item->lines.append({text, int(readBigEndian(frame, 4))});
    }
    std::stable_sort(item->lines.begin(), item->lines.end(),
                     [](const SynchronizedLyricsLine &a, const SynchronizedLyricsLine &b) { return a.time < b.time; });
    state.tag->addItem(item);
}
