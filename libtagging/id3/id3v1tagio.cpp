#include "libtagging/id3/id3v1tagio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/asciitextcodec.h"
#include "libcore/platform/platformidentity.h"
#include "libcore/text/latin1textcodec.h"
#include "libcore/text/utf8textcodec.h"
#include "libcore/util/partialdatetime.h"
#include "libtagging/id3/id3v1genretable.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"

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
    stream->seek(start);
    const QByteArray bytes = stream->readBytes(TagSize);
    if (!bytes.startsWith("TAG"))
        return nullptr;
    // "TAG" is also the end of an APE header's or footer's preamble.
    if (start >= 3) {
        stream->seek(start - 3);
        if (stream->readBytes(8) == "APETAGEX")
            return nullptr;
    }
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
    readField(stream, tag.get(), TitleTagItem::Type, titleWidth);
    readField(stream, tag.get(), ArtistTagItem::Type, titleWidth);
    readField(stream, tag.get(), AlbumTagItem::Type, titleWidth);
    readField(stream, tag.get(), ReleaseDateTagItem::Type, yearWidth);
    readField(stream, tag.get(), CommentTagItem::Type, commentWidth);
    stream->seek(stream->pos() - 2);
    readField(stream, tag.get(), TrackNumberTagItem::Type, 2);
    readField(stream, tag.get(), GenreTagItem::Type, 1);
    tag->setParent(parent);
    return tag.release();
}

void Id3v1TagIo::readField(IoStream *stream, AudioTag *tag, int itemType, int width)
{
    switch (itemType) {
    case ReleaseDateTagItem::Type: {
        const PartialDateTime date(stream->readText(AsciiTextCodec::instance(), 0, width, width), QStringLiteral("yyyy"));
        if (date.isValid())
            tag->addItem(new ReleaseDateTagItem(date));
        return;
    }
    case TrackNumberTagItem::Type: {
        const QByteArray bytes = stream->readBytes(width);
        if (bytes.at(0) == 0 && bytes.at(1) != 0)
            tag->addItem(new TrackNumberTagItem(int(uchar(bytes.at(1)))));
        return;
    }
    case GenreTagItem::Type: {
        const QString name = Id3v1GenreTable::genreName(uchar(stream->readByte()));
        if (!name.isEmpty())
            tag->addItem(new GenreTagItem(name));
        return;
    }
    default: {
        // The encoding is guessed from the bytes before the first zero.
        const qint64 start = stream->pos();
        const QString text = stream->readText(nullptr, 0, -1, width, true);
        stream->seek(start + width);
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
        QByteArray bytes = codec->encode(convertLineEndings(text, out->writeLineEnding()), -1, limit, false, false,
                                         CodecErrorMode::Skip);
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
    bool ok = false;
    const int value = SettingsStore::value(group + QStringLiteral("/textEncoding")).toInt(&ok);
    if (ok)
        settings.textEncoding = value;
    if (!settings.isValid())
        settings = Id3v1Settings();
    return settings;
}

void Id3v1TagIo::saveSettings(const Id3v1Settings &settings, const QString &group)
{
    SettingsStore::setValue(group + QStringLiteral("/textEncoding"), QString::number(settings.textEncoding));
}
