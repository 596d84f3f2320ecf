#include "fuzzsupport.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/platform/platformidentity.h"
#include "libcore/text/resourcepackage.h"
#include "libtagging/aiff/aiffchunk.h"
#include "libtagging/asf/asfattribute.h"
#include "libtagging/asf/asfobject.h"
#include "libtagging/asf/asfstreamio.h"
#include "libtagging/id3/id3v2tagio.h"
#include "libtagging/id3/id3v2unknownframetagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/iaudiostreamio.h"
#include "libtagging/model/icodecio.h"
#include "libtagging/model/datetimetagitem.h"
#include "libtagging/model/itagio.h"
#include "libtagging/model/synchronizedlyricstagitem.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/model/tagitem.h"
#include "libtagging/model/unknownasfdatatagitem.h"
#include "libtagging/model/unknowndatatagitem.h"
#include "libtagging/model/unknownstringtagitem.h"
#include "libtagging/model/userdefinedlinktagitem.h"
#include "libtagging/model/userdefinedtexttagitem.h"
#include "libtagging/mp4/mp4box.h"
#include "libtagging/mp4/mp4streamio.h"
#include "libtagging/aiff/aiffstreamio.h"
#include "libtagging/plain/freestreamio.h"
#include "libtagging/plain/freestreamtagmanager.h"
#include "libtagging/plain/lyrics3tagio.h"
#include "libtagging/riff/riffstreamio.h"
#include "libtagging/xiph/oggstreamio.h"
#include "libtagging/plain/streamcontentcheck.h"
#include "libtagging/riff/iffchunk.h"
#include "libtagging/riff/riffchunk.h"
#include "libtagging/xiph/flacstreamio.h"
#include "libtagging/xiph/oggpage.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

bool strictReplay = false;
bool inputParsed = false;

// Readers ask Qt for the application's paths, and the locale tables of the language,
// country and script items come from the core package, as in the program.
void ensureApplication()
{
    static const bool ready = [] {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "melofuzz";
            static char *argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);
        }
        registerResourceFiles({QStringLiteral("libcore.rcc"), QStringLiteral("libtagging.rcc")});
        return true;
    }();
    Q_UNUSED(ready);
}

// Writing keeps what was read: no tagging date of its own, and an ID3v2 tag in the
// version it came in, so that frames only that version has survive.
TaggingSettings writeSettings(const AudioTag *tag)
{
    TaggingSettings settings = TaggingSettings::defaults();
    settings.updateTaggingDate = false;
    if (tag && tag->tagInfo() && tag->tagType() == TagType::Id3v2) {
        const int version = tag->tagInfo()->version();
        if (version >= 2 && version <= 4) {
            // Loose, or in the "ID3 " chunk of an AIFF or WAVE file.
            settings.id3v2.version = version;
            settings.aiff.id3Version = version;
            settings.riff.id3Version = version;
        }
    }
    return settings;
}

void printTag(const char *title, const AudioTag *tag)
{
    std::fprintf(stderr, "%s (tag type %d, %d items):\n", title, tag ? tag->tagType() : -1,
                 tag ? int(tag->itemList().size()) : 0);
    if (!tag)
        return;
    for (const TagItem *item : tag->itemList()) {
        QString text = item->toString(QStringLiteral("[data]"));
        if (const auto *unknown = dynamic_cast<const UnknownDataTagItem *>(item))
            text = QStringLiteral("%1 = %2").arg(unknown->name, QString::fromLatin1(unknown->data.left(40).toHex(' ')));
        else if (const auto *userText = dynamic_cast<const UserDefinedTextTagItem *>(item))
            text = QStringLiteral("[%1] %2").arg(userText->description, text);
        else if (const auto *userLink = dynamic_cast<const UserDefinedLinkTagItem *>(item))
            text = QStringLiteral("[%1] %2").arg(userLink->description, text);
        else if (const auto *sync = dynamic_cast<const SynchronizedLyricsTagItem *>(item)) {
            text.clear();
            for (const SynchronizedLyricsLine &line : sync->lines)
                text += QStringLiteral("\n    at %1 ms: %2").arg(line.time).arg(line.text.toHtmlEscaped());
        }
        std::fprintf(stderr, "  %d %s: %s\n", item->type(), qPrintable(TagItem::typeName(item->type())),
                     qPrintable(text.left(200)));
    }
}

// A failed round trip aborts, so that libFuzzer keeps the input; with MELO_FUZZ_LOSSES=report
// (the brief run of the test script) it is printed and the run goes on, and only crashes,
// leaks, hangs and sanitizer reports fail.
void fail(const char *what, const char *why, const AudioTag *before, const AudioTag *after)
{
    std::fprintf(stderr, "==melofuzz== %s: %s\n", what, why);
    printTag("read", before);
    printTag("read again", after);
    static const bool reportOnly = qEnvironmentVariable("MELO_FUZZ_LOSSES") == QLatin1String("report");
    if (strictReplay || !reportOnly)
        std::abort();
}

bool hasText(const QList<const TagItem *> &items, int type, const QString &text)
{
    for (const TagItem *item : items) {
        if (item->type() == type && item->toString() == text)
            return true;
    }
    return false;
}

// Formats whose texts carry no mark of their encoding, so that a reader guesses it.
bool hasNoEncodingMark(const AudioTag *tag)
{
    const int type = tag->tagType();
    return type == TagType::Id3v1 || type == TagType::Lyrics3 || type == TagType::RiffInfo || type == TagType::Aiff;
}

bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.category() == QChar::Other_Control && c != u'\t' && c != u'\n' && c != u'\r';
    });
}

// The parts of a date item that its tag's format holds.
PartialDateTime dateAsStored(const AudioTag *tag, const TagItem *item)
{
    const PartialDateTime date = static_cast<const DateTimeTagItem *>(item)->value;
    const int version = tag->tagInfo() ? tag->tagInfo()->version() : 0;
    if (tag->tagType() == TagType::Id3v2 && (version == 2 || version == 3)) {
        if (item->type() == TagItemType::OriginalReleaseDate)
            return PartialDateTime(date.year());
        if (item->type() == TagItemType::ReleaseDate) {
            const bool dayMonth = date.month() >= 0 && date.day() >= 0;
            const bool hourMinute = date.hour() >= 0 && date.minute() >= 0;
            return PartialDateTime(date.year(), dayMonth ? date.month() : -1, dayMonth ? date.day() : -1,
                                   hourMinute ? date.hour() : -1, hourMinute ? date.minute() : -1);
        }
    }
    if (tag->tagType() == TagType::RiffInfo)
        return PartialDateTime(date.year(), date.month(), date.day());
    return date;
}

// Losses the formats make on purpose, which the round trip lets pass:
// - an ID3v1 field is cut to its fixed width in the encoding it is written in;
// - ID3v2.2 and 2.3 texts, alone or inside RIFF and AIFF chunks, are split at "/" and
//   "; " where old writers separated values so; a value holding them comes back in parts;
// - a frame kept undecoded (encrypted, say) whose recorded data length no synchsafe
//   number holds cannot be written again;
// - an ASF boolean is written as its truth alone, whatever bytes it came with;
// - an ID3v2 frame, Lyrics3 field or RIFF chunk kept unknown under an id with other than
//   ASCII letters, digits and spaces (a damaged id), or an ID3v2 frame id the written
//   version cannot name, may not be written again;
// - a user-defined field without a name cannot be written at all;
// - an ID3v2 frame kept unknown is written under the id the written version gives it (a 2.2
//   id padded with a space, "TYE ", becomes "TYER");
// - ID3v2 writes a flag (part of a compilation, say) only when it is on: no frame says off;
// - RIFF INFO, AIFF text chunks and Lyrics3 fields hold one value per field: the first is
//   kept when a file with two lists, chunks or fields of a kind is read; timed and plain
//   lyrics share the one Lyrics3 lyrics field, where the timed ones are written;
// - a date keeps the parts before its first missing one, and those its format holds: ID3v2.2
//   and 2.3 keep of a release date its year (TYER), its day with its month (TDAT) and its
//   hour with its minute (TIME), of an original release date its year (TORY); RIFF INFO keeps
//   the date without its time of day ("ICRD" is a year-month-day date); those ID3v2 frames
//   make one date of each kind, into which the parts of several dates merge;
// - a text with control characters other than line breaks and tabs, in a field with no
//   mark of its encoding (ID3v1, Lyrics3, RIFF INFO, AIFF text chunks), may
//   be read back in another one (the guess sees binary data);
// - ID3v2, APE and ASF write a count in a "number/count" text, which reads back as the
//   smaller number of the larger count: a count without a number not above it (its number
//   was refused, "-1/5") cannot be written;
// - a text that begins with U+FEFF (an invisible zero-width no-break space) loses it in a
//   field with no mark of its encoding: every reader takes it for a byte order mark.
bool isLossByDesign(const AudioTag *before, const TagItem *item, const AudioTag *afterTag)
{
    const QList<const TagItem *> after(afterTag->itemList().cbegin(), afterTag->itemList().cend());
    const QString text = item->toString();
    const int type = before->tagType();
    if (type == TagType::RiffInfo || type == TagType::Aiff || type == TagType::Lyrics3) {
        // The first may itself come back as its format stores it (a date without its time).
        const TagItem *first = before->item(item->type());
        const QString firstStored = first->dataType() == TagItemDataType::DateTime
                                        ? dateAsStored(before, first).toString(PartialDateTime::storageFormat())
                                        : QString();
        if (first != item && std::any_of(after.cbegin(), after.cend(), [&](const TagItem *other) {
                return first->equals(other)
                       || (!firstStored.isEmpty() && other->type() == first->type()
                           && other->toString(QStringLiteral("[data]")) == firstStored);
            })) {
            return true;
        }
    }
    if (type == TagType::Lyrics3 && item->type() == TagItemType::Lyrics
        && before->item(TagItemType::SynchronizedLyrics)) {
        return true;
    }
    if (item->isTextual() && hasControlCharacter(text) && hasNoEncodingMark(before))
        return true;
    const bool writesPairs = type == TagType::Id3v2 || type == TagType::Ape || type == TagType::Asf;
    if (writesPairs && (item->type() == TagItemType::TrackCount || item->type() == TagItemType::DiscCount)) {
        const int numberType =
            item->type() == TagItemType::TrackCount ? TagItemType::TrackNumber : TagItemType::DiscNumber;
        const int count = item->toVariant().toInt();
        const QList<TagItem *> numbers = before->items(numberType);
        if (std::none_of(numbers.cbegin(), numbers.cend(),
                         [count](const TagItem *number) { return number->toVariant().toInt() <= count; })) {
            return true;
        }
    }
    if (item->isTextual() && text.startsWith(QChar(0xFEFF))) {
        // ID3v1 may cut the rest to the field's width as well.
        const QString rest = text.mid(1);
        if (rest.isEmpty() || hasText(after, item->type(), rest))
            return true;
        if (type == TagType::Id3v1 && std::any_of(after.cbegin(), after.cend(), [&](const TagItem *other) {
                const QString cut = other->toString();
                return other->type() == item->type() && !cut.isEmpty() && rest.startsWith(cut);
            })) {
            return true;
        }
    }
    if (item->dataType() == TagItemDataType::DateTime) {
        // A date is written up to its first missing part: "2001-?-03" becomes "2001", and a
        // date without a year is not written at all.
        const QString stored = dateAsStored(before, item).toString(PartialDateTime::storageFormat());
        if (stored.isEmpty())
            return true;
        for (const TagItem *other : after) {
            if (other->type() == item->type() && other->toString(QStringLiteral("[data]")) == stored)
                return true;
        }
        // The parts of several dates of a kind merge into the one date those frames make.
        const int version = before->tagInfo() ? before->tagInfo()->version() : 0;
        if (type == TagType::Id3v2 && (version == 2 || version == 3) && before->items(item->type()).size() > 1
            && afterTag->contains(item->type())) {
            return true;
        }
    }
    if (before->tagType() == TagType::Id3v1 && item->isTextual()) {
        // Line breaks are written as CR LF, and text the reader's guess would misread as
        // UTF-8: a text that begins with many breaks may keep nothing but blanks in the
        // narrowest field (a comment beside a track number, 28 bytes).
        const QByteArray longest = convertLineEndings(text, LineEnding::CrLf).toUtf8().left(28);
        QString kept = QString::fromUtf8(longest);
        while (kept.endsWith(QChar::ReplacementCharacter)) // the cut never splits a character
            kept.chop(1);
        if (kept.trimmed().isEmpty())
            return true;
        for (const TagItem *other : after) {
            const QString cut = other->toString();
            if (other->type() == item->type() && !cut.isEmpty() && text.startsWith(cut))
                return true;
        }
    }
    const int id3Version = type == TagType::Id3v2 && before->tagInfo() ? before->tagInfo()->version() : 0;
    if ((id3Version == 2 || id3Version == 3) && item->isTextual() && (text.contains(QLatin1Char('/')) || text.contains(QLatin1String("; ")))) {
        bool allParts = true;
        for (const QString &slashPart : text.split(QLatin1Char('/'))) {
            for (const QString &part : slashPart.split(QStringLiteral("; "))) {
                if (!part.trimmed().isEmpty() && !hasText(after, item->type(), part.trimmed()))
                    allParts = false;
            }
        }
        if (allParts)
            return true;
    }
    if (item->type() == TagItemType::UnknownId3v2Data) {
        const Id3v2FrameFlags flags = Id3v2UnknownFrameTagItem::flagsOf(item);
        if (flags.dataLengthIndicator && (flags.dataLength < 0 || flags.dataLength > 0x0FFFFFFF))
            return true;
    }
    QString unknownName;
    if (const auto *unknown = dynamic_cast<const UnknownDataTagItem *>(item))
        unknownName = unknown->name;
    else if (const auto *unknownText = dynamic_cast<const UnknownStringTagItem *>(item))
        unknownName = unknownText->name;
    // Only formats that name a field by a fixed id of letters and digits; MP4, ASF, APE and
    // Vorbis names may hold punctuation ("----:mean:name", "WM/Mood") and must come back.
    const bool namedById = item->type() == TagItemType::UnknownId3v2Data || item->type() == TagItemType::UnknownId3v2String
                           || item->type() == TagItemType::UnknownLyrics3String || item->type() == TagItemType::UnknownRiffData
                           || item->type() == TagItemType::UnknownRiffString;
    if (namedById && std::any_of(unknownName.cbegin(), unknownName.cend(), [](QChar c) {
            return !(c >= u'A' && c <= u'Z') && !(c >= u'a' && c <= u'z') && !(c >= u'0' && c <= u'9') && c != u' ';
        })) {
        return true;
    }
    if (item->type() == TagItemType::UnknownId3v2Data || item->type() == TagItemType::UnknownId3v2String) {
        const int version = before->tagInfo() ? before->tagInfo()->version() : 3;
        const QString written = Id3v2TagIo::convertFrameId(unknownName, version >= 2 && version <= 4 ? version : 3);
        if (written.isEmpty())
            return true;
        for (const TagItem *other : after) {
            const auto *data = dynamic_cast<const UnknownDataTagItem *>(other);
            const auto *string = dynamic_cast<const UnknownStringTagItem *>(other);
            const QString name = data ? data->name : string ? string->name : QString();
            if (other->type() == item->type() && name == written && written != unknownName
                && other->toString(QStringLiteral("[data]")) == item->toString(QStringLiteral("[data]"))
                && (!data || data->data == static_cast<const UnknownDataTagItem *>(item)->data)) {
                return true;
            }
        }
    }
    if (type == TagType::Id3v2 && item->dataType() == TagItemDataType::Boolean && !item->toVariant().toBool())
        return true;
    if (const auto *flag = dynamic_cast<const UnknownAsfDataTagItem *>(item);
        flag && flag->asfDataType == AsfAttributeType::Bool) {
        for (const TagItem *other : after) {
            const auto *back = dynamic_cast<const UnknownAsfDataTagItem *>(other);
            if (back && back->asfDataType == AsfAttributeType::Bool && back->name == flag->name)
                return true;
        }
    }
    if (const auto *userText = dynamic_cast<const UserDefinedTextTagItem *>(item))
        return userText->description.trimmed().isEmpty();
    if (const auto *userLink = dynamic_cast<const UserDefinedLinkTagItem *>(item))
        return userLink->description.trimmed().isEmpty();
    return false;
}

// A format may refuse a tag or a file it cannot hold: more than its sizes and counts
// allow, or a value it has no way to write. Any other error while rendering or writing
// what was read is a fault.
bool isRefusal(const Exception &e)
{
    switch (e.code) {
    case Id3v2TagIo::SizeTooLarge:
    case Id3v2TagIo::UnknownFrameTooLarge:
    case Lyrics3TagIo::TagTooLarge:
    case AsfStreamIo::TooManyAttributes:
    case AsfStreamIo::AttributeTooLarge:
    case AsfObject::PayloadTooLarge:
    case AsfObject::ExtensionTooLarge:
    case Mp4Box::PayloadTooLarge:
    case IffChunk::SizeFieldOverflow:
    case RiffChunk::ChunkTooLarge:
    case AiffChunk::ChunkTooLarge:
    case FlacStreamIo::BlockTooLong:
    case OggPage::TooManyLacingValues:
        return true;
    default:
        return false;
    }
}

// A file whose structure its writer cannot rewrite safely (damaged, or not the format its
// reader let pass) is refused whole, before anything is written.
bool isRefusedStructure(const Exception &e)
{
    switch (e.code) {
    case AsfStreamIo::NoHeaderToWrite:
    case Mp4StreamIo::ChunkOffsetTableShort:
    case Mp4StreamIo::ChunkOffsetOutOfRange:
    case Mp4StreamIo::FragmentedDataMoves:
    case Mp4StreamIo::NoMetaForPadding:
    case OggStreamIo::SequenceMismatch:
    case OggStreamIo::NoKnownCodec:
    case FlacStreamIo::RebuiltWithoutStreamInfo:
    case RiffStreamIo::NoChunksToWrite:
    case RiffStreamIo::DataChunkMissing:
    case AiffStreamIo::NoChunksToWrite:
    case FreeStreamIo::TagsOverlapAudio:
    case FreeStreamTagManager::TagsOutOfOrder:
    case StreamContentCheck::OtherFormat:
    case StreamContentCheck::NoValidStream:
        return true;
    default:
        return false;
    }
}

void failRefusal(const char *what, const Exception &e, const AudioTag *tag)
{
    std::fprintf(stderr, "exception %08x: %s\n", e.code, qPrintable(e.message()));
    fail(what, "writing what was read failed with an error other than a format's limit", tag, nullptr);
}

// What the audio file's writer does to a tag before any format renders it: equal copies
// go, and a joint artist text ("A & B") moves in front of the artists it names, where the
// writers that list the individual artists apart expect it.
void prepareForWriting(AudioTag *tag)
{
    tag->removeDuplicates();
    tag->reorderArtists();
}

AudioTag *firstOfType(const QList<AudioTag *> &tags, int tagType)
{
    for (AudioTag *tag : tags) {
        if (tag->tagType() == tagType)
            return tag;
    }
    return nullptr;
}

} // namespace

namespace Fuzz {

QByteArray bytes(const uint8_t *data, size_t size)
{
    ensureApplication();
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

void checkNothingLost(const AudioTag *before, const AudioTag *after, const char *what)
{
    QList<const TagItem *> left;
    for (const TagItem *item : after->itemList())
        left.append(item);
    for (const TagItem *item : before->itemList()) {
        if (item->isEmpty())
            continue;
        qsizetype found = -1;
        for (qsizetype i = 0; i < left.size() && found < 0; ++i) {
            if (item->equals(left[i]))
                found = i;
        }
        if (found >= 0) {
            left.removeAt(found);
            continue;
        }
        // A copy of an item that came back: formats with one field per name keep one.
        if (std::any_of(after->itemList().cbegin(), after->itemList().cend(),
                        [item](const TagItem *other) { return item->equals(other); })) {
            continue;
        }
        if (isLossByDesign(before, item, after))
            continue;
        std::fprintf(stderr, "lost item %d %s: %s\n", item->type(), qPrintable(TagItem::typeName(item->type())),
                     qPrintable(item->toString(QStringLiteral("[data]")).left(200)));
        fail(what, "an item read did not come back", before, after);
        return;
    }
}

void tagIo(ITagIo *io, const QByteArray &bytes, bool atStart, bool fromStart)
{
    QObject owner;
    IoStream stream(bytes, QIODevice::ReadOnly);
    AudioTag *tag = nullptr;
    try {
        stream.seek(atStart ? 0 : stream.size());
        TagInfo *info = io->detect(&stream, atStart, &owner);
        if (!info)
            return;
        stream.seek(info->values.value(fromStart ? TagInfo::OffsetKey : TagInfo::DataOffsetKey).toLongLong());
        tag = io->read(&stream, info, &TaggingSettings::defaults(), &owner);
    } catch (const Exception &) {
        return;
    }
    if (!tag)
        return;
    inputParsed = true;
    prepareForWriting(tag);

    const TaggingSettings settings = writeSettings(tag);
    IoStream rendered(QIODevice::ReadWrite);
    try {
        io->render(&rendered, tag, &settings);
    } catch (const Exception &e) {
        // A tag the format cannot hold (too large, say) is refused before anything is written.
        if (!isRefusal(e))
            failRefusal("tag", e, tag);
        return;
    }
    AudioTag *again = nullptr;
    try {
        rendered.seek(atStart ? 0 : rendered.size());
        TagInfo *info = io->detect(&rendered, atStart, &owner);
        if (!info) {
            fail("tag", "the rendered tag is not found", tag, nullptr);
            return;
        }
        rendered.seek(info->values.value(fromStart ? TagInfo::OffsetKey : TagInfo::DataOffsetKey).toLongLong());
        // Read as the program reads what it wrote: with the same settings (the ID3v2 version
        // decides whether old writers' "/" separators are split).
        again = io->read(&rendered, info, &settings, &owner);
    } catch (const Exception &e) {
        std::fprintf(stderr, "exception %08x; the rendering: %s\n", e.code, rendered.data().left(400).toHex(' ').constData());
        fail("tag", "the rendered tag does not read", tag, nullptr);
        return;
    }
    if (!again) {
        fail("tag", "the rendered tag reads as nothing", tag, nullptr);
        return;
    }
    if (qEnvironmentVariableIsSet("MELO_FUZZ_VERBOSE"))
        std::fprintf(stderr, "the rendering: %s\n", rendered.data().toHex(' ').constData());
    checkNothingLost(tag, again, "tag");
}

void streamIo(IAudioStreamIo *io, const QByteArray &bytes, ICodecIo *codec)
{
    QObject owner;
    QList<AudioTag *> tags;
    {
        IoStream stream(bytes, QIODevice::ReadOnly);
        try {
            tags = io->readTags(&stream, {}, &TaggingSettings::defaults(), &owner);
            inputParsed = true;
        } catch (const Exception &) {
        }
        try {
            stream.seek(0);
            io->readAudioProperties(&stream, codec);
            inputParsed = true;
        } catch (const Exception &) {
        }
    }

    for (AudioTag *tag : std::as_const(tags)) {
        prepareForWriting(tag);
        const int type = tag->tagType();
        const TaggingSettings settings = writeSettings(tag);
        IoStream copy(bytes, QIODevice::ReadWrite);
        try {
            io->writeTags(&copy, tag, {type}, &settings);
        } catch (const Exception &e) {
            if (!isRefusal(e) && !isRefusedStructure(e))
                failRefusal("stream", e, tag);
            else if (copy.data() != bytes)
                fail("stream", "a refused write changed the file", tag, nullptr);
            continue;
        }
        if (qEnvironmentVariableIsSet("MELO_FUZZ_VERBOSE"))
            std::fprintf(stderr, "the written file: %s\n", copy.data().toHex(' ').constData());
        QList<AudioTag *> again;
        try {
            copy.seek(0);
            again = io->readTags(&copy, {type}, &settings, &owner);
        } catch (const Exception &e) {
            std::fprintf(stderr, "exception %08x\n", e.code);
            fail("stream", "the written file does not read", tag, nullptr);
            continue;
        }
        const AudioTag *back = firstOfType(again, type);
        if (!back) {
            // Nothing written is fine when every item is one the format cannot hold.
            const AudioTag none;
            checkNothingLost(tag, &none, "stream");
            continue;
        }
        checkNothingLost(tag, back, "stream");
    }
}

void run(const char *name, const uint8_t *data, size_t size)
{
    const Target target = targets().value(QString::fromLatin1(name));
    if (!target) {
        std::fprintf(stderr, "==melofuzz== no target %s\n", name);
        std::abort();
    }
    inputParsed = false;
    target(bytes(data, size));
}

void setStrict(bool strict)
{
    strictReplay = strict;
}

bool lastInputParsed()
{
    return inputParsed;
}

void codecIo(ICodecIo *io, const QByteArray &bytes)
{
    IoStream stream(bytes, QIODevice::ReadOnly);
    try {
        io->readAudioProperties(&stream, stream.size());
        inputParsed = true;
    } catch (const Exception &) {
    }
}

} // namespace Fuzz
