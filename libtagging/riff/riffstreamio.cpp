#include "libtagging/riff/riffstreamio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/text/asciitextcodec.h"
#include "libtagging/id3/id3v2tagio.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/model/tagitem.h"
#include "libtagging/riff/id3chunk.h"

#include <QtEndian>

RiffStreamIo *RiffStreamIo::instance()
{
    static RiffStreamIo *const io = new RiffStreamIo();
    return io;
}

namespace {

bool isInfoList(const IffChunk *chunk)
{
    return chunk->id == QLatin1String("LIST") && chunk->data.size() >= 4 && chunk->data.left(4) == "INFO";
}

bool isId3ChunkId(const QString &id)
{
    return id.startsWith(QLatin1String("id3"), Qt::CaseInsensitive);
}

} // namespace

// Chunk tree

bool RiffStreamIo::checkHeader(IoStream *stream)
{
    const qint64 start = stream->pos();
    const QString id = stream->readText(AsciiTextCodec::instance(), TextLengthPrefix::None, 4, 4);
    bool littleEndian = true;
    if (id == QLatin1String("RIFX"))
        littleEndian = false;
    else if (id != QLatin1String("RIFF"))
        throw Exception(NotRiff, {stream->displayName(), id});
    stream->seek(start + 8);
    const QString form = stream->readText(AsciiTextCodec::instance(), TextLengthPrefix::None, 4, 4);
    if (form != QLatin1String("WAVE") && form != QLatin1String("RMID"))
        throw Exception(WrongForm, {stream->displayName(), form});
    return littleEndian;
}

QList<RiffChunk *> RiffStreamIo::parseChunks(IoStream *stream, qint64 length, bool littleEndian, QObject *parent)
{
    QList<RiffChunk *> result;
    for (IffChunk *chunk : IffChunk::parse(RiffChunk::format(), stream, length, !littleEndian, parent))
        result.append(static_cast<RiffChunk *>(chunk));
    return result;
}

RiffChunk *RiffStreamIo::createJunkChunk(qint64 size, QObject *parent)
{
    if (size < 8 || (size & 1) || size - 8 > IffChunk::maximumLoadSize)
        throw Exception(InvalidJunkSize, {size});
    auto *chunk = new RiffChunk(QStringLiteral("JUNK"), parent);
    chunk->setData(QByteArray(size - 8, '\0'));
    return chunk;
}

RiffChunk *RiffStreamIo::createId3Chunk(IoStream *stream, const AudioTag *tag, const RiffSettings &settings,
                                        QObject *parent)
{
    const QByteArray bytes = Id3Chunk::render(stream, tag, settings.id3Version, settings.id3TextEncoding);
    if (bytes.isEmpty())
        return nullptr;
    auto *chunk = new RiffChunk(QStringLiteral("id3 "), parent);
    chunk->setData(bytes);
    return chunk;
}

// Tags

QList<AudioTag *> RiffStreamIo::readTags(IoStream *stream, const QList<int> &tagTypes,
                                         const TaggingSettings *settings, QObject *parent)
{
    const bool wantInfo = tagTypes.isEmpty() || tagTypes.contains(TagType::RiffInfo);
    const bool wantId3 = tagTypes.isEmpty() || tagTypes.contains(TagType::Id3v2);
    if (!wantInfo && !wantId3)
        return {};
    if (!settings)
        settings = &TaggingSettings::defaults();

    // The container may stand behind a loose tag in front; chunk offsets stay file offsets.
    QObject local;
    const qint64 start = stream->pos();
    const bool littleEndian = checkHeader(stream);
    stream->seek(start);
    const QList<RiffChunk *> chunks = parseChunks(stream, stream->size() - start, littleEndian, &local);
    if (chunks.isEmpty() || chunks.first()->children.isEmpty())
        throw Exception(NoChunksToRead, {stream->displayName()});

    auto *infoTag = new AudioTag(&local);
    QList<const IffChunk *> infoLists;
    QList<AudioTag *> id3Tags;
    qint64 dataOffset = -1;
    for (const IffChunk *chunk : chunks.first()->children) {
        if (chunk->id == QLatin1String("LIST")) {
            if (wantInfo && isInfoList(chunk)) {
                readInfoList(static_cast<const RiffChunk *>(chunk), infoTag, stream);
                infoLists.append(chunk);
            }
        } else if (isId3ChunkId(chunk->id)) {
            if (!wantId3)
                continue;
            if (AudioTag *tag = Id3Chunk::read(chunk->data, chunk->offset + 8, stream, settings, &local)) {
                tag->tagInfo()->values.insert(TagInfo::PrependedKey, dataOffset < 0);
                id3Tags.append(tag);
            }
        } else if (chunk->id == QLatin1String("data") && dataOffset < 0) {
            dataOffset = chunk->offset;
        }
    }

    QList<AudioTag *> result;
    if (wantInfo && !infoTag->itemList().isEmpty()) {
        auto *info = new TagInfo;
        QByteArray types;
        qint64 offset = -1;
        qint64 size = 0;
        for (const IffChunk *list : std::as_const(infoLists)) {
            types += list->data.left(4);
            offset = offset < 0 ? list->offset : qMin(offset, list->offset);
            size += list->size;
        }
        info->values.insert(TagInfo::TagTypeKey, int(TagType::RiffInfo));
        info->values.insert(TagInfo::RawDataKey, types);
        info->values.insert(TagInfo::OffsetKey, offset);
        info->values.insert(TagInfo::SizeKey, int(qMin<qint64>(size, INT_MAX)));
        if (dataOffset >= 0)
            info->values.insert(TagInfo::PrependedKey, offset < dataOffset);
        infoTag->setTagInfo(info);
        infoTag->setParent(parent);
        result.append(infoTag);
    }
    for (AudioTag *tag : std::as_const(id3Tags)) {
        if (tag->itemList().isEmpty())
            continue;
        tag->setParent(parent);
        result.append(tag);
    }
    return result;
}

void RiffStreamIo::writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                             const TaggingSettings *settings)
{
    const bool wantInfo = tagTypes.isEmpty() || tagTypes.contains(TagType::RiffInfo);
    const bool wantId3 = tagTypes.isEmpty() || tagTypes.contains(TagType::Id3v2);
    if (!wantInfo && !wantId3)
        return;

    if (!settings)
        settings = &TaggingSettings::defaults();
    const RiffSettings &options = settings->riff;

    QObject local;
    stream->seek(0);
    const bool littleEndian = checkHeader(stream);
    stream->seek(0);
    const QList<RiffChunk *> chunks = parseChunks(stream, stream->size(), littleEndian, &local);
    if (chunks.isEmpty() || chunks.first()->children.isEmpty())
        throw Exception(NoChunksToWrite, {stream->displayName()});
    RiffChunk *riff = chunks.first();

    // From the last chunk to the first, so that the "data" chunk remembered is the first
    // one and freed space counts only what lies in front of it.
    const IffChunk *dataChunk = nullptr;
    qint64 freed = 0;
    for (int i = riff->children.size() - 1; i >= 0; --i) {
        const IffChunk *chunk = riff->children.at(i);
        bool remove = false;
        if (chunk->id == QLatin1String("LIST") && isInfoList(chunk)) {
            remove = wantInfo;
        } else if (chunk->id == QLatin1String("JUNK") || chunk->id == QLatin1String("PAD ")) {
            remove = true;
        } else if (wantId3 && isId3ChunkId(chunk->id)) {
            remove = Id3Chunk::holdsTag(chunk->data, stream);
        } else if (chunk->id == QLatin1String("data")) {
            dataChunk = chunk;
        }
        if (remove) {
            if (dataChunk)
                freed += chunk->paddedSize();
            riff->removeChild(i);
        }
    }

    if (tag) {
        if (wantInfo)
            riff->appendChild(buildInfoList(tag, riff));
        if (wantId3) {
            if (RiffChunk *id3 = createId3Chunk(stream, tag, options, riff))
                riff->appendChild(id3);
        }
    }

    // Space freed in front of the audio data becomes padding when that keeps the audio data
    // where it is.
    if (freed > 0 && freed <= options.maximumPaddingSize) {
        const int index = riff->children.indexOf(dataChunk);
        if (index < 0)
            throw Exception(DataChunkMissing, {stream->displayName()});
        riff->insertChild(index, createJunkChunk(freed, riff));
    }

    QList<IffChunk *> topLevel(chunks.cbegin(), chunks.cend());
    IffChunk::rewrite(RiffChunk::format(), stream, topLevel, 0, !littleEndian);
}

void RiffStreamIo::removeTags(IoStream *stream, const QList<int> &tagTypes, const TaggingSettings *settings)
{
    writeTags(stream, nullptr, tagTypes, settings);
}

QList<int> RiffStreamIo::supportedItemTypes() const
{
    QList<int> types = Id3v2TagIo::instance()->supportedItemTypes();
    types << TagItemType::UnknownRiffData << TagItemType::UnknownRiffString;
    return types;
}

qint64 RiffStreamIo::containerEnd(IoStream *stream)
{
    const qint64 start = stream->pos();
    if (stream->size() - start < 12)
        return -1;
    const QByteArray header = stream->readBytesAt(start, 12);
    const bool little = header.startsWith("RIFF");
    if (!little && !header.startsWith("RIFX"))
        return -1;
    const QByteArray form = header.mid(8, 4);
    if (form != "WAVE" && form != "RMID")
        return -1;
    const qint64 size = little ? qFromLittleEndian<quint32>(header.constData() + 4)
                               : qFromBigEndian<quint32>(header.constData() + 4);
    return start + 8 + size + (size & 1);
}
