#include "libtagging/plain/lyrics3tagio.h"

#include "libcore/io/iostream.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/text/asciitextcodec.h"
#include "libcore/text/latin1textcodec.h"
#include "libcore/text/textcodec.h"
#include "libcore/text/utf8textcodec.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/lyricstagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/synchronizedlyricstagitem.h"
#include "libtagging/model/taginfo.h"

#include <algorithm>
#include <memory>

namespace {

const QByteArray beginMarker("LYRICSBEGIN");
constexpr int version1Window = 5120;

// A decimal number with spaces allowed around it; ok false for anything else.
int decimal(const QByteArray &text, bool *ok)
{
    const QByteArray trimmed = text.trimmed();
    for (char c : trimmed) {
        if (c < '0' || c > '9') {
            *ok = false;
            return 0;
        }
    }
    return trimmed.toInt(ok);
}

TagInfo *newInfo(QObject *parent, const QByteArray &raw, qint64 offset, int dataSize, int version)
{
    auto *info = new TagInfo(parent);
    info->values.insert(TagInfo::TagTypeKey, int(TagType::Lyrics3));
    info->values.insert(TagInfo::RawDataKey, raw);
    info->values.insert(TagInfo::OffsetKey, offset);
    info->values.insert(TagInfo::SizeKey, int(raw.size()));
    info->values.insert(TagInfo::DataOffsetKey, offset + beginMarker.size());
    info->values.insert(TagInfo::DataSizeKey, dataSize);
    info->values.insert(TagInfo::PrependedKey, false);
    info->values.insert(TagInfo::VersionKey, version);
    return info;
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

Lyrics3TagIo *Lyrics3TagIo::instance()
{
    static Lyrics3TagIo *const io = new Lyrics3TagIo();
    return io;
}

int Lyrics3TagIo::tagType() const
{
    return TagType::Lyrics3;
}

bool Lyrics3TagIo::isPrepended() const
{
    return false;
}

TagInfo *Lyrics3TagIo::detect(IoStream *stream, bool atStart, QObject *parent)
{
    const qint64 end = stream->pos();
    if (atStart || end <= 8)
        return nullptr;
    const QByteArray trailer = stream->readBytesAt(end - 9, 9);
    if (trailer == "LYRICSEND") {
        const qint64 n = end > version1Window - 1 ? version1Window : end;
        const QByteArray region = stream->readBytesAt(end - n, n);
        const qsizetype index = region.indexOf(beginMarker);
        if (index < 0)
            return nullptr;
        const QByteArray raw = region.mid(index);
        return newInfo(parent, raw, end - raw.size(), int(raw.size()) - 20, 1);
    }
    if (trailer != "LYRICS200" || end < 15)
        return nullptr;
    try {
        bool ok = false;
        const qint64 size = decimal(stream->readBytesAt(end - 15, 6), &ok);
        const qint64 offset = end - size - 15;
        if (offset < 0 || size < beginMarker.size())
            return nullptr;
        if (stream->readBytesAt(offset, beginMarker.size()) != beginMarker)
            return nullptr;
        return newInfo(parent, stream->readBytesAt(offset, size + 15), offset, int(size) - beginMarker.size(), 2);
    } catch (const Exception &) {
        return nullptr;
    }
}

AudioTag *Lyrics3TagIo::read(IoStream *stream, TagInfo *info, const TaggingSettings *, QObject *parent)
{
    if (!info || info->values.value(TagInfo::TagTypeKey).toInt() != TagType::Lyrics3)
        throw Exception(NoLyrics3TagInfo, {stream->displayName()});
    QObject local;
    auto *tag = new AudioTag(&local);
    tag->setTagInfo(info);
    const QVariant dataSize = info->values.value(TagInfo::DataSizeKey);
    const int version = info->values.value(TagInfo::VersionKey).toInt();
    if (version == 1) {
        const QString text = stream->readText(nullptr, TextLengthPrefix::None, -1,
                                              dataSize.isValid() ? qMax(0, dataSize.toInt()) : -1, true);
        if (TagItem *item = parseLyrics(text, &local))
            tag->addItem(item);
    } else if (version == 2) {
        const qint64 end = dataSize.isValid() ? stream->pos() + dataSize.toInt() : stream->pos() - 1;
        while (stream->pos() + 8 <= end) {
            const QString id = stream->readText(Latin1TextCodec::instance(), TextLengthPrefix::None, 3, 3);
            const QString lowerId = id.toLower();
            bool ok = false;
            qint64 size = decimal(stream->readBytes(5), &ok);
            if (!ok)
                throw Exception(BadFieldSize, {stream->displayName(), stream->pos()});
            size = qMin(size, end - stream->pos());
            const QByteArray bytes = stream->readBytes(size);
            IoStream field(bytes, QIODevice::ReadOnly);
            const QString text = size > 0 ? field.readText(nullptr, TextLengthPrefix::None, -1, int(size)) : QString();
            if (text.trimmed().isEmpty())
                continue;
            if (lowerId == QLatin1String("eal")) {
                tag->addItem(new AlbumTagItem(text, &local));
            } else if (lowerId == QLatin1String("ear")) {
                tag->addItem(new ArtistTagItem(text, &local));
            } else if (lowerId == QLatin1String("inf")) {
                tag->addItem(new CommentTagItem(text, QString(), &local));
            } else if (lowerId == QLatin1String("aut")) {
                tag->addItem(new LyricistTagItem(text, &local));
            } else if (lowerId == QLatin1String("ett")) {
                tag->addItem(new TitleTagItem(text, &local));
            } else if (lowerId == QLatin1String("lyr")) {
                if (TagItem *item = parseLyrics(text, &local))
                    tag->addItem(item);
            } else if (lowerId == QLatin1String("ind")) {
            } else if (lowerId == QLatin1String("img")) {
                for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                    const QStringList parts = line.split(QStringLiteral("||"));
                    const QString path = fromNativeSeparators(parts.first());
                    const QString description = parts.size() >= 2 ? parts[1] : QString();
                    // The item reads the file only inside the audio file's folder.
                    tag->addItem(new ArtworkTagItem(stream->name(), path, ArtworkTagItem::FrontCover, description,
                                                    &local));
                }
            } else {
                tag->addItem(new UnknownLyrics3StringTagItem(id, text, &local));
            }
        }
    }
    tag->setParent(parent);
    return tag;
}

namespace {

// The minutes or seconds of a time stamp: two digits, or a digit beside a space. A sign makes
// it no stamp: "[00:-1]" is text, as no time before the start can be written.
int stampNumber(QStringView two, bool *ok)
{
    const bool digitsOrSpaces = std::all_of(two.cbegin(), two.cend(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || c == u' ';
    });
    if (!digitsOrSpaces) {
        *ok = false;
        return 0;
    }
    return two.trimmed().toInt(ok, 10);
}

} // namespace

TagItem *Lyrics3TagIo::parseLyrics(const QString &text, QObject *parent)
{
    QList<SynchronizedLyricsLine> lines;
    QList<int> pending;
    QString current;
    auto flush = [&] {
        const QString trimmed = current.trimmed();
        if (!trimmed.isEmpty()) {
            if (pending.isEmpty())
                lines.append({trimmed, 0});
            for (int time : std::as_const(pending))
                lines.append({trimmed, time});
            pending.clear();
        }
        current.clear();
    };
    for (qsizetype i = 0; i < text.size();) {
        if (i + 6 < text.size() && text[i] == u'[' && text[i + 3] == u':' && text[i + 6] == u']') {
            bool okMinutes = false;
            bool okSeconds = false;
            const int minutes = stampNumber(QStringView(text).mid(i + 1, 2), &okMinutes);
            const int seconds = stampNumber(QStringView(text).mid(i + 4, 2), &okSeconds);
            if (okMinutes && okSeconds) {
                flush();
                pending.append(minutes * 60000 + seconds * 1000);
                i += 7;
                continue;
            }
        }
        current.append(text[i]);
        ++i;
    }
    if (!current.trimmed().isEmpty() && pending.isEmpty() && lines.isEmpty())
        return new LyricsTagItem(current.trimmed(), QString(), parent);
    flush();
    if (lines.isEmpty())
        return nullptr;
    // Lines of one time keep the order of the text, so that writing them back changes nothing.
    std::stable_sort(lines.begin(), lines.end(),
                     [](const SynchronizedLyricsLine &a, const SynchronizedLyricsLine &b) { return a.time < b.time; });
    return new SynchronizedLyricsTagItem(QString(), 1, lines, parent);
}

void Lyrics3TagIo::render(IoStream *out, const AudioTag *tag, const TaggingSettings *)
{
    QString lyrics;
    bool timed = false;
    if (const auto *sync = static_cast<const SynchronizedLyricsTagItem *>(tag->item(TagItemType::SynchronizedLyrics))) {
        for (const SynchronizedLyricsLine &line : sync->lines) {
            const int time = qBound(0, line.time, 5999000);
            lyrics += QLatin1Char('[') + twoDigits(time / 60000) + QLatin1Char(':') + twoDigits(time / 1000 % 60)
                      + QLatin1Char(']') + line.text + QLatin1Char('\n');
        }
        if (lyrics.trimmed().isEmpty())
            lyrics.clear();
        else
            timed = true;
    }
    if (lyrics.isEmpty()) {
        lyrics = tag->itemText(TagItemType::Lyrics);
        if (lyrics.trimmed().isEmpty())
            lyrics.clear();
    }

    IoStream fields(QIODevice::ReadWrite);
    fields.writeBytes(beginMarker);
    writeField(&fields, QStringLiteral("IND"),
               lyrics.isEmpty() ? QStringLiteral("000") : (timed ? QStringLiteral("110") : QStringLiteral("100")));
    writeItemField(&fields, QStringLiteral("EAL"), tag, TagItemType::Album);
    writeItemField(&fields, QStringLiteral("EAR"), tag, TagItemType::Artist);
    writeItemField(&fields, QStringLiteral("INF"), tag, TagItemType::Comment);
    writeItemField(&fields, QStringLiteral("AUT"), tag, TagItemType::Lyricist);
    writeField(&fields, QStringLiteral("LYR"), lyrics);
    writeItemField(&fields, QStringLiteral("ETT"), tag, TagItemType::Title);
    QString images;
    for (TagItem *item : tag->items(TagItemType::Artwork)) {
        auto *artwork = static_cast<ArtworkTagItem *>(item);
        if (artwork->linkedFile().isEmpty())
            continue;
        // Only a picture the user changed is written to its file, inside the folder.
        if (artwork->isModified()) {
            try {
                artwork->saveLinkedFile(out->name());
            } catch (const Exception &) {
            }
        }
        images += artwork->linkedFile() + QStringLiteral("||") + artwork->description + QStringLiteral("||\n");
    }
    writeField(&fields, QStringLiteral("IMG"), images.trimmed());
    for (TagItem *item : tag->items(TagItemType::UnknownLyrics3String)) {
        const auto *unknown = static_cast<const UnknownLyrics3StringTagItem *>(item);
        writeField(&fields, unknown->name, unknown->value);
    }
    const qint64 size = fields.size();
    if (size > MaxTagSize)
        throw Exception(TagTooLarge, {out->displayName(), size});
    out->writeBytes(fields.data());
    out->writeBytes(QStringLiteral("%1").arg(size, 6, 10, QLatin1Char('0')).toLatin1());
    out->writeBytes("LYRICS200");
}

void Lyrics3TagIo::writeField(IoStream *out, const QString &id, const QString &text)
{
    if (text.trimmed().isEmpty())
        return;
    const QString crlf = convertLineEndings(text, LineEnding::CrLf);
    // The field has no encoding mark and the reader guesses it: ISO 8859-1 only where the
    // guess reads it back (many line breaks can make such bytes look like UTF-16).
    QByteArray bytes = crlf.toUtf8();
    if (Latin1TextCodec::instance()->canEncode(crlf)) {
        const QByteArray latin1 = crlf.toLatin1();
        if (TextCodec::guessReadsBack(latin1, crlf))
            bytes = latin1;
    }
    if (bytes.size() > MaxFieldSize)
        return;
    writeFieldBytes(out, id, bytes);
}

void Lyrics3TagIo::writeFieldBytes(IoStream *out, const QString &id, const QByteArray &bytes)
{
    QByteArray idBytes = id.left(3).toLatin1();
    idBytes.resize(3, '\0');
    out->writeBytes(idBytes);
    out->writeBytes(QStringLiteral("%1").arg(bytes.size(), 5, 10, QLatin1Char('0')).toLatin1());
    out->writeBytes(bytes);
}

void Lyrics3TagIo::writeItemField(IoStream *out, const QString &id, const AudioTag *tag, int itemType)
{
    if (const TagItem *item = tag->item(itemType))
        writeField(out, id, item->toString());
}

QList<int> Lyrics3TagIo::supportedItemTypes() const
{
    static const QList<int> types{TagItemType::Album,      TagItemType::Artist,
                                  TagItemType::Artwork,    TagItemType::Comment,
                                  TagItemType::Lyricist,   TagItemType::SynchronizedLyrics,
                                  TagItemType::Title,      TagItemType::UnknownLyrics3String,
                                  TagItemType::Lyrics};
    return types;
}
