#include "libtagging/id3/id3v1tagio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/asciitextcodec.h"
#include "libcore/platform/platformidentity.h"
#include "libcore/text/latin1textcodec.h"
#include "libcore/text/textcodec.h"
#include "libcore/text/utf8textcodec.h"
#include "libcore/util/partialdatetime.h"
#include "libtagging/id3/id3v1genretable.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"

#include <cstring>
#include <memory>

namespace {
enum Key : int { VersionKey = 7 };

constexpr int titleWidth = 30;
constexpr int yearWidth = 4;
constexpr int commentWidth = 30;
// Offset of the 1.1 track bytes from the start of the comment field.
constexpr int trackInComment = 28;
} // namespace

Id3v1TagIo *Id3v1TagIo::instance()
{
    static Id3v1TagIo io;
    return &io;
}

int Id3v1TagIo::tagType() const
{
    return TagType::Id3v1;
}

bool Id3v1TagIo::isPrepended() const
{
    return false;
}

TagInfo *Id3v1TagIo::detect(IoStream *stream, bool atStart, QObject *parent)
{
    if (atStart)
        return nullptr;
    const qint64 end = stream->pos();
    if (end < TagSize)
        return nullptr;
    const qint64 start = end - TagSize;
    // Most streams end without a tag: the marker alone decides them, without a copy.
    char marker[8];
    stream->seek(start);
    stream->read(marker, 3);
    if (std::memcmp(marker, "TAG", 3) != 0) {
        stream->seek(end);
        return nullptr;
    }
    // "TAG" is also the end of an APE header's or footer's preamble.
    if (start >= 3) {
        stream->seek(start - 3);
        stream->read(marker, 8);
        if (std::memcmp(marker, "APETAGEX", 8) == 0)
            return nullptr;
    }
    stream->seek(start);
    const QByteArray bytes = stream->readBytes(TagSize);
    const bool v11 = bytes.at(125) == 0 && bytes.at(126) != 0;
    auto *info = new TagInfo(parent);
    info->values.insert(TagInfo::TagTypeKey, int(TagType::Id3v1));
    info->values.insert(TagInfo::RawDataKey, bytes);
    info->values.insert(TagInfo::OffsetKey, start);
    info->values.insert(TagInfo::SizeKey, TagSize);
    info->values.insert(TagInfo::DataOffsetKey, start + 3);
    info->values.insert(TagInfo::DataSizeKey, TagSize - 3);
    info->values.insert(TagInfo::PrependedKey, false);
    info->values.insert(VersionKey, v11 ? 1 : 0);
    stream->seek(end);
    return info;
}

AudioTag *Id3v1TagIo::read(IoStream *stream, TagInfo *info, const TaggingSettings *, QObject *parent)
{
    if (!info || info->tagType() != TagType::Id3v1 || !info->values.contains(TagInfo::TagTypeKey))
        throw Exception(NotAnId3v1Tag, {stream->displayName()});
    auto tag = std::make_unique<AudioTag>();
    tag->setTagInfo(info);
    // Every field in one read; the stream ends after the genre byte as field by field.
    const QByteArray fields = stream->readBytes(TagSize - 3);
    const LineEnding lineEnding = stream->readLineEnding();
    int at = 0;
    const auto field = [&](int itemType, int width) {
        readField(fields, at, tag.get(), itemType, width, lineEnding);
        at += width;
    };
    field(TitleTagItem::Type, titleWidth);
    field(ArtistTagItem::Type, titleWidth);
    field(AlbumTagItem::Type, titleWidth);
    field(ReleaseDateTagItem::Type, yearWidth);
    field(CommentTagItem::Type, commentWidth);
    at -= 2;
    field(TrackNumberTagItem::Type, 2);
    field(GenreTagItem::Type, 1);
    tag->setParent(parent);
    return tag.release();
}

namespace {
// Text as the stream reads it: line endings in the stream's reading kind.
QString withReadLineEndings(const QString &text, LineEnding kind)
{
    if (kind == LineEnding::Lf && !text.contains(u'\r'))
        return text;
    return convertLineEndings(text, kind);
}
} // namespace

void Id3v1TagIo::readField(const QByteArray &fields, int at, AudioTag *tag, int itemType, int width,
                           LineEnding lineEnding)
{
    const char *const bytes = fields.constData() + at;
    switch (itemType) {
    case ReleaseDateTagItem::Type: {
        const QString year = AsciiTextCodec::instance()->decodeOrNull(QByteArray::fromRawData(bytes, width));
        const PartialDateTime date(withReadLineEndings(year, lineEnding), QStringLiteral("yyyy"));
        if (date.isValid())
            tag->addItem(new ReleaseDateTagItem(date));
        return;
    }
    case TrackNumberTagItem::Type:
        if (bytes[0] == 0 && bytes[1] != 0)
            tag->addItem(new TrackNumberTagItem(int(uchar(bytes[1]))));
        return;
    case GenreTagItem::Type: {
        const QString name = Id3v1GenreTable::genreName(uchar(bytes[0]));
        if (!name.isEmpty())
            tag->addItem(new GenreTagItem(name));
        return;
    }
    default: {
        // The text ends at the first zero byte; its encoding is guessed from the bytes before.
        const char *const end = static_cast<const char *>(std::memchr(bytes, 0, size_t(width)));
        const QByteArray data = QByteArray::fromRawData(bytes, end ? end - bytes : width);
        const QString text = withReadLineEndings(TextCodec::detectFixedField(data)->decodeOrNull(data), lineEnding);
        if (text.trimmed().isEmpty())
            return;
        TagItem *item = TagItem::create(itemType);
        if (item) {
            item->fromVariant(text);
            tag->addItem(item);
        }
    }
    }
}

void Id3v1TagIo::render(IoStream *out, const AudioTag *tag, const TaggingSettings *settings)
{
    // No settings: the record's defaults, which the default tagging settings hold.
    renderTag(out, tag, settings ? settings->id3v1 : Id3v1Settings());
}

void Id3v1TagIo::renderTag(IoStream *out, const AudioTag *tag, const Id3v1Settings &settings)
{
    const Id3v1Settings *s = &settings;
    // An unknown encoding used to write empty texts and report success.
    if (!s->isValid())
        throw Exception(InvalidTextEncoding, {s->textEncoding});
    IoStream buffer(QIODevice::ReadWrite);
    buffer.setName(out->name());
    // Line breaks are pinned to CR LF, so the bytes do not depend on the platform.
    buffer.setWriteLineEnding(LineEnding::CrLf);
    buffer.writeBytes("TAG");
    writeField(&buffer, tag, TitleTagItem::Type, titleWidth, s);
    writeField(&buffer, tag, ArtistTagItem::Type, titleWidth, s);
    writeField(&buffer, tag, AlbumTagItem::Type, titleWidth, s);
    writeField(&buffer, tag, ReleaseDateTagItem::Type, yearWidth, s);
    writeField(&buffer, tag, CommentTagItem::Type, commentWidth, s);
    buffer.seek(buffer.pos() - 2);
    writeField(&buffer, tag, TrackNumberTagItem::Type, 2, s);
    writeField(&buffer, tag, GenreTagItem::Type, 1, s);
    out->writeBytes(buffer.data());
}

namespace {
int trackNumberOf(const AudioTag *tag)
{
    const TagItem *item = tag->item(TrackNumberTagItem::Type, 0);
    bool ok = false;
    const int number = item ? item->toVariant().toInt(&ok) : 0;
    return ok && number >= 1 && number <= 255 ? number : 0;
}
} // namespace

void Id3v1TagIo::writeField(IoStream *out, const AudioTag *tag, int itemType, int width, const Id3v1Settings *settings)
{
    const TagItem *item = tag->item(itemType, 0);
    switch (itemType) {
    case ReleaseDateTagItem::Type: {
        const QString year = item ? item->toString(QStringLiteral("yyyy")) : QString();
        out->writeText(year, AsciiTextCodec::instance(), 0, width, width);
        return;
    }
    case TrackNumberTagItem::Type: {
        const int number = trackNumberOf(tag);
        if (number) {
            out->writeByte(0);
            out->writeByte(char(number));
        } else {
            out->seek(out->pos() + 2);
        }
        return;
    }
    case GenreTagItem::Type: {
        const int number = item ? Id3v1GenreTable::genreNumber(item->toString()) : -1;
        out->writeByte(char(number < 0 ? 255 : number));
        return;
    }
    default: {
        const QString text = item ? item->toString() : QString();
        TextCodec *codec = settings->textEncoding == 0 ? static_cast<TextCodec *>(Latin1TextCodec::instance())
                           : settings->textEncoding == 1 || !Latin1TextCodec::instance()->canEncode(text)
                               ? static_cast<TextCodec *>(Utf8TextCodec::instance())
                               : Latin1TextCodec::instance();
        // A track number takes the comment's last two bytes: the text must end before
        // them, or the cut could split a character.
        const int limit = itemType == CommentTagItem::Type && trackNumberOf(tag) ? trackInComment : width;
        const QString written = convertLineEndings(text, out->writeLineEnding());
        QByteArray bytes = codec->encode(written, -1, limit, false, false, CodecErrorMode::Skip);
        // The reader guesses a field's encoding: Latin-1 bytes that it would take for another
        // one (FE FF reads as a UTF-16 byte order mark) are written as UTF-8 where
        // the encoding is left to the writer.
        if (settings->textEncoding == 2 && codec == Latin1TextCodec::instance()
            && !TextCodec::guessReadsBack(bytes, codec->decodeOrNull(bytes), true)) {
            bytes = Utf8TextCodec::instance()->encode(written, -1, limit, false, false, CodecErrorMode::Skip);
        }
        bytes.resize(width, '\0');
        out->writeBytes(bytes);
    }
    }
}

QList<int> Id3v1TagIo::supportedItemTypes() const
{
    static const QList<int> types{AlbumTagItem::Type,       ArtistTagItem::Type, CommentTagItem::Type,
                                  GenreTagItem::Type,       ReleaseDateTagItem::Type, TitleTagItem::Type,
                                  TrackNumberTagItem::Type};
    return types;
}

const QHash<int, QString> &Id3v1TagIo::genres()
{
    return Id3v1GenreTable::genres();
}

const QHash<QString, int> &Id3v1TagIo::genreNumbers()
{
    return Id3v1GenreTable::genreNumbers();
}

const QStringList &Id3v1TagIo::sortedGenreNames()
{
    return Id3v1GenreTable::sortedGenreNames();
}

Id3v1Settings Id3v1TagIo::loadSettings(const QString &group)
{
    Id3v1Settings settings;
    settings.textEncoding = SettingsStore::option<int>(group, QStringLiteral("textEncoding"), settings.textEncoding);
    if (!settings.isValid())
        settings = Id3v1Settings();
    return settings;
}

void Id3v1TagIo::saveSettings(const Id3v1Settings &settings, const QString &group)
{
    SettingsStore::setOption(group, QStringLiteral("textEncoding"), settings.textEncoding);
}
