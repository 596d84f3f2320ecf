#include "libtagging/aiff/aiffstreamio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/text/asciitextcodec.h"
#include "libcore/text/utf8textcodec.h"
#include "libtagging/id3/id3v2tagio.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/stringtagitem.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/model/tagitem.h"
#include "libtagging/riff/id3chunk.h"

#include <QDateTime>
#include <QTimeZone>
#include <QtEndian>

#include <array>

AiffStreamIo *AiffStreamIo::instance()
{
    static AiffStreamIo *const io = new AiffStreamIo();
    return io;
}

namespace {

struct TextField {
    const char *id;
    int itemType;
};

// The text chunks in the order they are written.
constexpr std::array textFields{
    TextField{"NAME", TagItemType::Title},
    TextField{"AUTH", TagItemType::Artist},
    TextField{"(c) ", TagItemType::Copyright},
    TextField{"ANNO", TagItemType::Comment},
};

// Text chunks are found by their id in any case, both when reading and when removing, so
// that a value that was read is also replaced.
const TextField *textFieldForId(const QString &id)
{
    for (const TextField &field : textFields) {
        if (id.compare(QLatin1String(field.id), Qt::CaseInsensitive) == 0)
            return &field;
    }
    return nullptr;
}

bool isPadding(const IffChunk *chunk)
{
    if (chunk->id != QLatin1String("JUNK") && chunk->id != QLatin1String("PAD ")
        && chunk->id != QLatin1String("VOID"))
        return false;
    return chunk->data.count('\0') == chunk->data.size();
}

TagItem *textItem(int itemType, const QString &text)
{
    if (itemType == TagItemType::Comment)
        return new CommentTagItem(text, QString());
    auto *item = static_cast<StringTagItem *>(TagItem::create(itemType));
    item->value = text;
    return item;
}

// Adds the comments of a "COMT" chunk that belong to no marker; those read before a damaged
// part are kept.
void readComments(const QByteArray &data, AudioTag *tag)
{
    IoStream buffer(data, QIODevice::ReadOnly);
    const int count = buffer.readUInt16(true);
    for (int i = 0; i < count; ++i) {
        buffer.readUInt32(true);
        const quint16 marker = buffer.readUInt16(true);
        const quint16 length = buffer.readUInt16(true);
        const QString text = buffer.readText(nullptr, TextLengthPrefix::None, length, length);
        if (length & 1)
            buffer.seek(qMin(buffer.pos() + 1, buffer.size()));
        if (marker == 0 && !text.trimmed().isEmpty())
            tag->addItem(new CommentTagItem(text, QString()));
    }
}

void parseForm(IoStream *stream, QObject *local, QList<AiffChunk *> &chunks, qint64 &start)
{
    start = stream->pos();
    AiffStreamIo::checkHeader(stream);
    stream->seek(start);
    chunks = AiffStreamIo::parseChunks(stream, stream->size() - start, local);
}

} // namespace

// Chunk tree

void AiffStreamIo::checkHeader(IoStream *stream)
{
    const qint64 start = stream->pos();
    if (stream->size() - start < 12)
        throw Exception(StreamTooShort, {stream->displayName()});
    TextCodec *ascii = AsciiTextCodec::instance();
    if (stream->readText(ascii, TextLengthPrefix::None, 4, 4) != QLatin1String("FORM"))
        throw Exception(NotForm, {stream->displayName()});
    stream->seek(start + 8);
    const QString type = stream->readText(ascii, TextLengthPrefix::None, 4, 4);
    if (type != QLatin1String("AIFF") && type != QLatin1String("AIFC"))
        throw Exception(WrongFormType, {stream->displayName()});
}

QList<AiffChunk *> AiffStreamIo::parseChunks(IoStream *stream, qint64 length, QObject *parent)
{
    QList<AiffChunk *> result;
    for (IffChunk *chunk : IffChunk::parse(AiffChunk::format(), stream, length, true, parent))
        result.append(static_cast<AiffChunk *>(chunk));
    return result;
}

// Chunk factories

AiffChunk *AiffStreamIo::makeTextChunk(const QString &id, const QString &text, QObject *parent)
{
    IoStream buffer(QIODevice::ReadWrite);
    buffer.setWriteLineEnding(LineEnding::Cr);
    buffer.writeText(text, Utf8TextCodec::instance());
    auto *chunk = new AiffChunk(id, parent);
    chunk->setData(buffer.data());
    return chunk;
}

void AiffStreamIo::addTextChunk(AiffChunk *form, const QString &id, const AudioTag *tag, int itemType)
{
    const TagItem *item = tag->item(itemType);
    if (!item)
        return;
    const QString text = item->toString();
    if (text.trimmed().isEmpty())
        return;
    form->appendChild(makeTextChunk(id, text, form));
}

quint32 AiffStreamIo::timeStamp(const QDateTime &time)
{
    const QDateTime epoch(QDate(1904, 1, 1), QTime(0, 0), QTimeZone::utc());
    return quint32(quint64(epoch.secsTo(time.toUTC())));
}

AiffChunk *AiffStreamIo::makeCommentChunk(const QByteArray &oldData, const AudioTag *tag, QObject *parent)
{
    IoStream buffer(QIODevice::ReadWrite);
    buffer.setWriteLineEnding(LineEnding::Cr);
    buffer.writeUInt16(0, true);
    quint16 count = 0;

    // Comments on markers are kept as they are; a damaged rest of the old chunk is dropped.
    // The time stamps of the others are kept by their text: a comment written again unchanged
    // keeps the time it was made, and a save without a change leaves the chunk as it was.
    QList<QPair<QByteArray, quint32>> oldStamps;
    if (oldData.size() >= 2) {
        IoStream old(oldData, QIODevice::ReadOnly);
        const int oldCount = old.readUInt16(true);
        for (int i = 0; i < oldCount && count < 0xFFFF; ++i) {
            const qint64 start = old.pos();
            const qint64 available = old.size() - start;
            if (available < 8)
                break;
            const quint32 stamp = old.readUInt32(true);
            const quint16 marker = old.readUInt16(true);
            const quint16 length = old.readUInt16(true);
            if (8 + length > available)
                break;
            const qint64 whole = 8 + length + (length & 1);
            if (marker != 0) {
                QByteArray comment = old.readBytesAt(start, qMin(whole, available));
                comment.resize(whole, '\0');
                buffer.writeBytes(comment);
                ++count;
            } else {
                oldStamps.append({old.readBytesAt(start + 8, length), stamp});
            }
            old.seek(qMin(start + whole, old.size()));
        }
    }

    if (tag) {
        const quint32 now = timeStamp(QDateTime::currentDateTimeUtc());
        for (const TagItem *item : tag->items(TagItemType::Comment)) {
            if (count == 0xFFFF)
                break;
            const qint64 at = buffer.pos();
            buffer.writeUInt32(now, true);
            buffer.writeUInt16(0, true);
            buffer.writeText(item->toString(), Utf8TextCodec::instance(), TextLengthPrefix::UInt16Be);
            const qint64 end = buffer.pos();
            const QByteArray text = buffer.readBytesAt(at + 8, end - at - 8);
            for (qsizetype i = 0; i < oldStamps.size(); ++i) {
                if (oldStamps.at(i).first == text) {
                    buffer.seek(at);
                    buffer.writeUInt32(oldStamps.at(i).second, true);
                    oldStamps.removeAt(i);
                    break;
                }
            }
            buffer.seek(end);
            if (buffer.pos() & 1)
                buffer.writeByte('\0');
            ++count;
        }
    }
    buffer.seek(0);
    buffer.writeUInt16(count, true);

    auto *chunk = new AiffChunk(QStringLiteral("COMT"), parent);
    chunk->setData(buffer.data());
    return chunk;
}

AiffChunk *AiffStreamIo::makeId3Chunk(IoStream *stream, const AudioTag *tag, const AiffSettings &settings,
                                      QObject *parent)
{
    const QByteArray bytes = Id3Chunk::render(stream, tag, settings.id3Version, settings.id3TextEncoding);
    if (bytes.isEmpty())
        return nullptr;
    auto *chunk = new AiffChunk(QStringLiteral("ID3 "), parent);
    chunk->setData(bytes);
    return chunk;
}

AiffChunk *AiffStreamIo::makePaddingChunk(IoStream *stream, qint64 size, QObject *parent)
{
    if (size < 8 || (size & 1) || size - 8 > IffChunk::maximumLoadSize)
        throw Exception(InvalidPaddingSize, {stream->displayName(), size});
    auto *chunk = new AiffChunk(QStringLiteral("JUNK"), parent);
    chunk->setData(QByteArray(size - 8, '\0'));
    return chunk;
}

// Tags

QList<AudioTag *> AiffStreamIo::readTags(IoStream *stream, const QList<int> &tagTypes,
                                         const TaggingSettings *settings, QObject *parent)
{
    const bool wantAiff = tagTypes.isEmpty() || tagTypes.contains(TagType::Aiff);
    const bool wantId3 = tagTypes.isEmpty() || tagTypes.contains(TagType::Id3v2);
    if (!wantAiff && !wantId3)
        return {};
    if (!settings)
        settings = &TaggingSettings::defaults();

    QObject local;
    QList<AiffChunk *> chunks;
    qint64 start = 0;
    parseForm(stream, &local, chunks, start);
    if (chunks.isEmpty() || chunks.first()->children.isEmpty())
        throw Exception(NoChunksToRead, {stream->displayName()});

    auto *aiffTag = new AudioTag(&local);
    QList<const IffChunk *> tagChunks;
    QList<AudioTag *> id3Tags;
    qint64 soundOffset = -1;
    for (const IffChunk *chunk : chunks.first()->children) {
        try {
            if (chunk->id == QLatin1String("SSND") && soundOffset < 0)
                soundOffset = chunk->offset;
            if (chunk->data.isEmpty())
                continue;
            if (wantAiff && (chunk->id == QLatin1String("COMT") || textFieldForId(chunk->id))) {
                tagChunks.append(chunk);
                if (chunk->id == QLatin1String("COMT")) {
                    readComments(chunk->data, aiffTag);
                } else {
                    IoStream buffer(chunk->data, QIODevice::ReadOnly);
                    const QString text = buffer.readText(nullptr, TextLengthPrefix::None, -1, -1, true);
                    if (!text.trimmed().isEmpty())
                        aiffTag->addItem(textItem(textFieldForId(chunk->id)->itemType, text));
                }
            } else if (wantId3 && chunk->id.startsWith(QLatin1String("id3"), Qt::CaseInsensitive)) {
                if (AudioTag *tag = Id3Chunk::read(chunk->data, chunk->offset + 8, stream, settings, &local)) {
                    tag->tagInfo()->values.insert(TagInfo::PrependedKey, soundOffset < 0);
                    id3Tags.append(tag);
                }
            }
        } catch (const Exception &) {
            // Logged where it was raised; the other chunks are still read.
        }
    }

    QList<AudioTag *> result;
    if (wantAiff && !aiffTag->itemList().isEmpty()) {
        auto *info = new TagInfo;
        info->values.insert(TagInfo::TagTypeKey, int(TagType::Aiff));
        if (!tagChunks.isEmpty()) {
            QByteArray raw;
            qint64 offset = -1;
            qint64 size = 0;
            for (const IffChunk *chunk : std::as_const(tagChunks)) {
                raw += chunk->data;
                offset = offset < 0 ? chunk->offset : qMin(offset, chunk->offset);
                size += chunk->size;
            }
            info->values.insert(TagInfo::RawDataKey, raw);
            info->values.insert(TagInfo::OffsetKey, offset);
            info->values.insert(TagInfo::SizeKey, int(qMin<qint64>(size, INT_MAX)));
            if (soundOffset >= 0)
                info->values.insert(TagInfo::PrependedKey, offset < soundOffset);
        }
        aiffTag->setTagInfo(info);
        aiffTag->setParent(parent);
        result.append(aiffTag);
    }
    for (AudioTag *tag : std::as_const(id3Tags)) {
        if (tag->itemList().isEmpty())
            continue;
        tag->setParent(parent);
        result.append(tag);
    }
    return result;
}

void AiffStreamIo::writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                             const TaggingSettings *settings)
{
    const bool wantAiff = tagTypes.isEmpty() || tagTypes.contains(TagType::Aiff);
    const bool wantId3 = tagTypes.isEmpty() || tagTypes.contains(TagType::Id3v2);
    if (!wantAiff && !wantId3)
        return;

    if (!settings)
        settings = &TaggingSettings::defaults();
    const AiffSettings &options = settings->aiff;

    QObject local;
    QList<AiffChunk *> chunks;
    qint64 start = 0;
    parseForm(stream, &local, chunks, start);
    if (chunks.isEmpty() || chunks.first()->children.isEmpty())
        throw Exception(NoChunksToWrite, {stream->displayName()});
    AiffChunk *form = chunks.first();

    // From the last chunk to the first, so that the sound chunk and the old comments
    // remembered are the first ones and freed space counts only what lies before the sound.
    const IffChunk *soundChunk = nullptr;
    QByteArray oldComments;
    qint64 freed = 0;
    for (int i = form->children.size() - 1; i >= 0; --i) {
        const IffChunk *chunk = form->children.at(i);
        bool remove = false;
        if (wantAiff && chunk->id == QLatin1String("COMT")) {
            oldComments = chunk->data;
            remove = true;
        } else if (wantAiff && textFieldForId(chunk->id)) {
            remove = true;
        } else if (isPadding(chunk)) {
            remove = true;
        } else if (wantId3 && chunk->id.startsWith(QLatin1String("ID3"), Qt::CaseInsensitive)) {
            remove = Id3Chunk::holdsTag(chunk->data, stream);
        } else if (chunk->id == QLatin1String("SSND")) {
            soundChunk = chunk;
        }
        if (remove) {
            if (soundChunk)
                freed += chunk->paddedSize();
            form->removeChild(i);
        }
    }

    if (wantAiff) {
        AiffChunk *comments = makeCommentChunk(oldComments, tag, form);
        if (comments->data.size() > 2)
            form->appendChild(comments);
        else
            delete comments;
        if (tag) {
            for (const TextField &field : textFields)
                addTextChunk(form, QLatin1String(field.id), tag, field.itemType);
        }
    }
    if (tag && wantId3) {
        if (AiffChunk *id3 = makeId3Chunk(stream, tag, options, form))
            form->appendChild(id3);
    }

    if (freed > 0 && freed <= options.maximumPaddingSize)
        form->insertChild(form->children.indexOf(soundChunk), makePaddingChunk(stream, freed, form));

    QList<IffChunk *> topLevel(chunks.cbegin(), chunks.cend());
    IffChunk::rewrite(AiffChunk::format(), stream, topLevel, start, true);
}

void AiffStreamIo::removeTags(IoStream *stream, const QList<int> &tagTypes, const TaggingSettings *settings)
{
    writeTags(stream, nullptr, tagTypes, settings);
}

QList<int> AiffStreamIo::supportedItemTypes() const
{
    return Id3v2TagIo::instance()->supportedItemTypes();
}

qint64 AiffStreamIo::containerEnd(IoStream *stream)
{
    const qint64 start = stream->pos();
    if (stream->size() - start < 12)
        return -1;
    const QByteArray header = stream->readBytesAt(start, 12);
    const QByteArray type = header.mid(8, 4);
    if (!header.startsWith("FORM") || (type != "AIFF" && type != "AIFC"))
        return -1;
    const qint64 size = qFromBigEndian<quint32>(header.constData() + 4);
    return start + 8 + size + (size & 1);
}
