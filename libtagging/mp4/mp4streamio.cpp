#include "libtagging/mp4/mp4streamio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/padding.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/mp4/mp4box.h"
#include "libtagging/riff/id3chunk.h"

#include <QtEndian>

namespace {

bool isPlainContainer(const QString &type)
{
    static const QStringList types = {"moov", "udta", "ilst", "trak", "mdia", "minf", "stbl"};
    return types.contains(type);
}

// Length of the prefix a container keeps in its data before its children; -1 when the
// box is no container with a prefix.
int prefixLength(const QString &type, const QString &parentType)
{
    if (parentType == QLatin1String("ilst"))
        return 0;
    if (type == QLatin1String("meta"))
        return 4;
    if (type == QLatin1String("stsd"))
        return 8;
    if (type == QLatin1String("mp4a") || type == QLatin1String("drms") || type == QLatin1String("alac"))
        return 28;
    return -1;
}

bool isNotLoaded(const QString &type)
{
    return type == QLatin1String("mdat") || type == QLatin1String("free") || type == QLatin1String("skip");
}

} // namespace

Mp4StreamIo *Mp4StreamIo::instance()
{
    static Mp4StreamIo *const io = new Mp4StreamIo();
    return io;
}

// Box tree

QList<Mp4Box *> Mp4StreamIo::parseBoxes(IoStream *stream, qint64 length, const QString &parentType,
                                        QObject *parent)
{
    return parseBoxes(stream, length, parentType, parent, 0);
}

QList<Mp4Box *> Mp4StreamIo::parseBoxes(IoStream *stream, qint64 length, const QString &parentType,
                                        QObject *parent, int depth)
{
    if (depth > maximumDepth)
        throw Exception(NestingTooDeep, {stream->displayName(), parentType, stream->pos()});
    QObject local;
    QList<Mp4Box *> boxes;
    const qint64 end = stream->pos() + length;
    for (;;) {
        const qint64 start = stream->pos();
        if (start + 8 > end)
            break;
        qint64 size = stream->readUInt32(true);
        const QString type = QString::fromLatin1(stream->readBytes(4));
        int headerSize = 8;
        if (size == 1) {
            if (stream->pos() + 8 > end)
                break;
            const quint64 large = (quint64(stream->readUInt32(true)) << 32) | stream->readUInt32(true);
            size = large > quint64(std::numeric_limits<qint64>::max()) ? -1 : qint64(large);
            headerSize = 16;
        } else if (size == 0) {
            size = stream->size() - start;
        }
        // Every box must hold its own header, or the parser would stand still or go back.
        if (size < headerSize)
            throw Exception(BoxSizeTooSmall, {stream->displayName(), type, start, size});
        if (size > end - start)
            size = end - start;
        const qint64 payload = size - headerSize;

        Mp4Box *box = nullptr;
        const int prefix = prefixLength(type, parentType);
        if (isPlainContainer(type)) {
            box = new Mp4Box(type, QByteArray(), true, start, size, headerSize, &local);
            box->appendChildren(parseBoxes(stream, payload, type, &local, depth + 1));
        } else if (prefix >= 0) {
            // A prefix longer than the payload is cut to it: nothing is read past the box.
            const QByteArray data = stream->readBytes(qMin<qint64>(prefix, payload));
            box = new Mp4Box(type, data, true, start, size, headerSize, &local);
            box->appendChildren(parseBoxes(stream, payload - data.size(), type, &local, depth + 1));
        } else if (isNotLoaded(type)) {
            box = new Mp4Box(type, QByteArray(), false, start, size, headerSize, &local);
        } else {
            if (payload > Mp4Box::maximumLoadSize)
                throw Exception(Mp4Box::PayloadTooLarge, {stream->displayName(), size, start});
            box = new Mp4Box(type, stream->readBytes(payload), true, start, size, headerSize, &local);
        }
        boxes.append(box);
        stream->seek(start + size);
    }
    for (Mp4Box *box : std::as_const(boxes))
        box->setParent(parent);
    return boxes;
}

QList<Mp4Box *> Mp4StreamIo::findBoxes(const Mp4Box *root, const QString &path)
{
    QList<Mp4Box *> result;
    if (!root || path.size() < 4)
        return result;
    const QString type = path.left(4);
    for (Mp4Box *child : root->children) {
        if (child->type != type)
            continue;
        if (path.size() < 5)
            result.append(child);
        else
            result.append(findBoxes(child, path.mid(5)));
    }
    return result;
}

void Mp4StreamIo::removeBoxes(Mp4Box *root, const QList<Mp4Box *> &boxes)
{
    for (int i = root->children.size() - 1; i >= 0; --i) {
        if (boxes.contains(root->children.at(i)))
            root->removeChild(i);
        else
            removeBoxes(root->children.at(i), boxes);
    }
}

Mp4Box *Mp4StreamIo::makeFreeBox(qint64 size, QObject *parent)
{
    if (size < 8 || size - 8 > qint64(0xFFFFFFFF))
        throw Exception(Mp4Box::InvalidFreeBoxSize, {size});
    auto *box = new Mp4Box(QStringLiteral("free"), QByteArray(size - 8, '\0'), parent);
    box->headerSize = 8;
    box->size = box->data.size() + 8;
    return box;
}

// File structure

Mp4Box *Mp4StreamIo::parseFile(IoStream *stream, QObject *parent)
{
    auto *root = new Mp4Box(QString(), QByteArray(), parent);
    root->appendChildren(parseBoxes(stream, stream->size() - stream->pos(), QString(), parent));
    checkFileType(stream, root);
    return root;
}

void Mp4StreamIo::checkFileType(IoStream *stream, const Mp4Box *root)
{
    static const QStringList brands = {"M4A ", "M4B ", "M4P ", "F4A ", "F4B ", "MSNV", "NDAS",
                                       "isom", "iso2", "iso3", "mp41", "mp42", "avc1"};
    const QList<Mp4Box *> types = findBoxes(root, QStringLiteral("ftyp"));
    if (types.isEmpty())
        throw Exception(NoFileTypeBox, {stream->displayName()});
    const QString brand = QString::fromLatin1(types.first()->data.left(4));
    if (!brands.contains(brand))
        throw Exception(UnknownBrand, {stream->displayName(), brand});
}

Mp4Box *Mp4StreamIo::createBoxPath(IoStream *stream, Mp4Box *root, const QString &path, int &addedBytes)
{
    addedBytes = 0;
    if (path.size() < 4)
        throw Exception(BoxPathTooShort, {stream->displayName(), path});
    if (!findBoxes(root, path).isEmpty())
        throw Exception(BoxPathExists, {stream->displayName(), path});
    QList<Mp4Box *> level = {root};
    for (int length = 4; length <= path.size(); length += 5) {
        const QList<Mp4Box *> previous = level;
        level = findBoxes(root, path.left(length));
        if (!level.isEmpty())
            continue;
        const QString type = path.mid(length - 4, 4);
        const bool meta = type == QLatin1String("meta");
        auto *box = new Mp4Box(type, meta ? QByteArray(4, '\0') : QByteArray());
        addedBytes += 8 + box->data.size();
        if (meta) {
            QByteArray handler(26, '\0');
            memcpy(handler.data() + 8, "mdirappl", 8);
            box->appendChild(new Mp4Box(QStringLiteral("hdlr"), handler));
            addedBytes += 8 + handler.size();
        }
        previous.first()->appendChild(box);
        level = {box};
    }
    return level.first();
}

void Mp4StreamIo::shiftChunkOffsets(IoStream *stream, Mp4Box *root, const QList<Mp4Box *> &mediaBoxes)
{
    shiftChunkOffsetTables(stream, findBoxes(root, QStringLiteral("moov.trak.mdia.minf.stbl.stco")), mediaBoxes,
                           false);
    shiftChunkOffsetTables(stream, findBoxes(root, QStringLiteral("moov.trak.mdia.minf.stbl.co64")), mediaBoxes,
                           true);
}

void Mp4StreamIo::shiftChunkOffsetTables(IoStream *stream, const QList<Mp4Box *> &tables,
                                         const QList<Mp4Box *> &mediaBoxes, bool wide)
{
    const int width = wide ? 8 : 4;
    for (Mp4Box *table : tables) {
        QByteArray bytes = table->data;
        const quint32 count = bytes.size() >= 8 ? qFromBigEndian<quint32>(bytes.constData() + 4) : 0;
        if (bytes.size() < 8 || qint64(bytes.size()) < 8 + qint64(count) * width)
            throw Exception(ChunkOffsetTableShort, {stream->displayName(), table->type});
        uchar *entries = reinterpret_cast<uchar *>(bytes.data()) + 8;
        for (quint32 i = 0; i < count; ++i) {
            uchar *p = entries + qint64(i) * width;
            const qint64 entry = wide ? qint64(qFromBigEndian<quint64>(p)) : qint64(qFromBigEndian<quint32>(p));
            const Mp4Box *home = nullptr;
            // The box whose range as parsed holds the entry; its payload length never changes.
            for (const Mp4Box *box : mediaBoxes) {
                if (box->offset >= 0 && entry >= box->offset
                    && entry < box->offset + box->headerSize + box->payloadSize()) {
                    home = box;
                    break;
                }
            }
            if (!home)
                continue;
            const qint64 shifted =
                entry + (home->newOffset + home->currentHeaderSize()) - (home->offset + home->headerSize);
            if (shifted == entry)
                continue;
            if (shifted < 0 || (!wide && shifted > qint64(0xFFFFFFFF)))
                throw Exception(ChunkOffsetOutOfRange, {stream->displayName(), table->type, shifted});
            if (wide)
                qToBigEndian<quint64>(quint64(shifted), p);
            else
                qToBigEndian<quint32>(quint32(shifted), p);
        }
        table->setData(bytes);
    }
}

QList<int> Mp4StreamIo::mpeg4SamplingFrequencies()
{
    static const QList<int> frequencies = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                           22050, 16000, 12000, 11025, 8000,  7350};
    return frequencies;
}

// Writing

namespace {

bool isFragmented(const Mp4Box *root)
{
    return !Mp4StreamIo::findBoxes(root, QStringLiteral("moof")).isEmpty()
        || !Mp4StreamIo::findBoxes(root, QStringLiteral("mfra")).isEmpty()
        || !Mp4StreamIo::findBoxes(root, QStringLiteral("moov.mvex")).isEmpty();
}

// The top-level box that holds box.
const Mp4Box *topLevelBox(const Mp4Box *root, const Mp4Box *box)
{
    while (box && box->parent() != root)
        box = static_cast<const Mp4Box *>(box->parent());
    return box;
}

// A payload that stays in the source stream, and the bytes written in front of it.
struct KeptPayload {
    QByteArray before;
    qint64 source = 0;
    qint64 length = 0;
    bool zero = false;
};

void collectPieces(const Mp4Box *box, QByteArray &run, QList<KeptPayload> &kept)
{
    run += box->headerBytes();
    if (box->loaded) {
        run += box->data;
        for (const Mp4Box *child : box->children)
            collectPieces(child, run, kept);
        return;
    }
    KeptPayload piece;
    piece.before = run;
    piece.source = box->offset + box->headerSize;
    piece.length = box->payloadSize();
    // Free space that moves is cleared, so that no stale bytes travel with it.
    piece.zero = box->type != QLatin1String("mdat") && box->newOffset + box->newHeaderSize != piece.source;
    kept.append(piece);
    run.clear();
}

} // namespace

void Mp4StreamIo::writeLayout(IoStream *stream, const Mp4Box *root, qint64 start)
{
    QByteArray run;
    QList<KeptPayload> kept;
    for (const Mp4Box *box : root->children)
        collectPieces(box, run, kept);

    // Everything between two kept payloads is replaced in one step; replace moves the rest
    // of the stream in bounded blocks, so the payloads are never held in memory.
    const qint64 sourceEnd = stream->size();
    // The room the file needs on the way is made before the first byte changes.
    qint64 growth = 0;
    qint64 mostGrowth = 0;
    qint64 measured = start;
    for (const KeptPayload &piece : std::as_const(kept)) {
        growth += piece.before.size() - (piece.source - measured);
        mostGrowth = qMax(mostGrowth, growth);
        measured = piece.source + piece.length;
    }
    growth += run.size() - qMax<qint64>(0, sourceEnd - measured);
    stream->reserve(qMax(mostGrowth, growth));

    qint64 sourceCursor = start; // first source byte not dealt with yet
    qint64 position = start;     // where that byte stands in the stream now
    for (const KeptPayload &piece : std::as_const(kept)) {
        Q_ASSERT(piece.source >= sourceCursor);
        stream->seek(position);
        stream->replace(piece.source - sourceCursor, piece.before);
        position += piece.before.size();
        if (piece.zero) {
            stream->seek(position);
            stream->fill('\0', piece.length);
        }
        position += piece.length;
        sourceCursor = piece.source + piece.length;
    }
    stream->seek(position);
    stream->replace(qMax<qint64>(0, sourceEnd - sourceCursor), run);
    position += run.size();
    stream->resize(position);
    stream->seek(position);
}

void Mp4StreamIo::rewriteFile(IoStream *stream, const Mp4Settings &padding,
                              const std::function<void(Mp4Box *)> &fillItemList)
{
    const qint64 start = stream->pos();
    QObject local;
    Mp4Box *root = parseFile(stream, &local);

    QList<Mp4Box *> obsolete;
    for (const char *path : {"free", "moov.free", "moov.udta.free", "moov.udta.meta.free", "moov.udta.meta.ilst",
                             "moov.udta.meta.ID32", "moov.udta.meta.id32"})
        obsolete += findBoxes(root, QString::fromLatin1(path));

    const QList<Mp4Box *> mediaBoxes = findBoxes(root, QStringLiteral("mdat"));
    Mp4Box *media = mediaBoxes.value(0);
    qint64 freeBefore = 0;
    if (media) {
        for (const Mp4Box *box : std::as_const(obsolete))
            if (box->offset < media->offset)
                freeBefore += box->size;
    }
    removeBoxes(root, obsolete);

    int addedBytes = 0;
    Mp4Box *itemList = nullptr;
    if (fillItemList) {
        itemList = createBoxPath(stream, root, QStringLiteral("moov.udta.meta.ilst"), addedBytes);
        fillItemList(itemList);
    }

    if (media) {
        // The item list lies before the media data when its top-level box does.
        const bool listBeforeMedia =
            itemList && root->children.indexOf(topLevelBox(root, itemList)) < root->children.indexOf(media);
        qint64 needed = 0;
        if (listBeforeMedia) {
            // addedBytes counts the new item list's header already.
            qint64 position = 0;
            needed = addedBytes + itemList->layout(position) - itemList->newHeaderSize;
        }
        const qint64 leftover = freeBefore - needed;
        // A free box has an 8-byte header: a smaller leftover cannot be one.
        const qint64 freeSize =
            leftover > 0 && leftover < 8 ? padding.preferredPaddingSize : paddingSize(leftover, padding);
        if (freeSize > 0) {
            Mp4Box *free = makeFreeBox(freeSize, &local);
            if (listBeforeMedia) {
                const QList<Mp4Box *> metas = findBoxes(root, QStringLiteral("moov.udta.meta"));
                if (metas.isEmpty())
                    throw Exception(NoMetaForPadding, {stream->displayName()});
                metas.first()->appendChild(free);
            } else {
                root->insertChild(root->children.indexOf(media), free);
            }
        }
    }

    qint64 position = start;
    for (Mp4Box *box : std::as_const(root->children))
        box->layout(position);

    // Fragments locate their data by absolute positions that are not rewritten here.
    if (isFragmented(root)) {
        for (const Mp4Box *box : std::as_const(root->children)) {
            if (box->offset >= 0 && box->type != QLatin1String("moov")
                && (box->newOffset != box->offset || box->newHeaderSize != box->headerSize))
                throw Exception(FragmentedDataMoves, {stream->displayName()});
        }
    }
    shiftChunkOffsets(stream, root, mediaBoxes);

    // Nothing was written so far: every failure above leaves the file as it was.
    writeLayout(stream, root, start);
}

// Tags

QList<AudioTag *> Mp4StreamIo::readTags(IoStream *stream, const QList<int> &tagTypes, const TaggingSettings *settings,
                                        QObject *parent)
{
    if (!tagTypes.isEmpty() && !tagTypes.contains(TagType::Mp4))
        return {};
    QObject local;
    const Mp4Box *root = parseFile(stream, &local);
    const QList<Mp4Box *> media = findBoxes(root, QStringLiteral("mdat"));
    QList<AudioTag *> result;
    if (AudioTag *tag = readItemList(stream, root, &local))
        result.append(tag);

    // ID3v2 tags in "ID32" boxes: version and flags, a packed language, then the whole tag.
    const QList<Mp4Box *> id3Boxes =
        findBoxes(root, QStringLiteral("moov.udta.meta.ID32")) + findBoxes(root, QStringLiteral("moov.udta.meta.id32"));
    for (const Mp4Box *box : id3Boxes) {
        if (box->data.size() <= 6)
            continue;
        try {
            const qint64 tagOffset = box->offset + box->headerSize + 6;
            AudioTag *tag = Id3Chunk::read(box->data.mid(6), tagOffset, stream,
                                           settings ? settings : &TaggingSettings::defaults(), &local);
            if (!tag || tag->itemList().isEmpty())
                continue;
            if (media.isEmpty())
                tag->tagInfo()->values.remove(TagInfo::PrependedKey);
            else
                tag->tagInfo()->values.insert(TagInfo::PrependedKey, box->offset < media.first()->offset);
            result.append(tag);
        } catch (const Exception &) {
            // That box gives no tag; the others still do.
        }
    }
    for (AudioTag *tag : std::as_const(result))
        tag->setParent(parent);
    return result;
}

AudioTag *Mp4StreamIo::readItemList(IoStream *stream, const Mp4Box *root, QObject *parent)
{
    auto *tag = new AudioTag(parent);
    const QList<Mp4Box *> lists = findBoxes(root, QStringLiteral("moov.udta.meta.ilst"));
    for (const Mp4Box *list : lists) {
        for (const Mp4Box *itemBox : list->children)
            readItemBox(stream, itemBox, tag);
    }
    if (tag->itemList().isEmpty()) {
        delete tag;
        return nullptr;
    }

    auto *info = new TagInfo();
    QByteArray raw;
    qint64 offset = -1;
    qint64 size = 0;
    for (const Mp4Box *list : lists) {
        raw += list->data;
        offset = offset < 0 ? list->offset : qMin(offset, list->offset);
        size += list->size;
    }
    info->values.insert(TagInfo::TagTypeKey, int(TagType::Mp4));
    info->values.insert(TagInfo::RawDataKey, raw);
    info->values.insert(TagInfo::OffsetKey, offset);
    info->values.insert(TagInfo::SizeKey, int(qMin<qint64>(size, std::numeric_limits<int>::max())));
    const QList<Mp4Box *> media = findBoxes(root, QStringLiteral("mdat"));
    if (!media.isEmpty())
        info->values.insert(TagInfo::PrependedKey, offset < media.first()->offset);
    tag->setTagInfo(info);
    return tag;
}

void Mp4StreamIo::writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                            const TaggingSettings *settings)
{
    if (!tagTypes.isEmpty() && !tagTypes.contains(TagType::Mp4))
        return;
    std::function<void(Mp4Box *)> fill;
    if (tag) {
        fill = [&](Mp4Box *itemList) {
            const QMap<int, QList<TagItem *>> byType = tag->itemsByType();
            for (auto it = byType.cbegin(); it != byType.cend(); ++it) {
                try {
                    writeItemBoxes(itemList, tag, settings, it.key(), it.value());
                } catch (const Exception &) {
                    // That item type is left out; the others are written.
                }
            }
        };
    }
    rewriteFile(stream, (settings ? *settings : TaggingSettings::defaults()).mp4, fill);
}

void Mp4StreamIo::removeTags(IoStream *stream, const QList<int> &tagTypes, const TaggingSettings *settings)
{
    writeTags(stream, nullptr, tagTypes, settings);
}

qint64 Mp4StreamIo::containerEnd(IoStream *stream)
{
    // Boxes a file's top level holds; bytes of a tag behind the file read as anything else.
    static const QList<QByteArray> topLevelTypes{"ftyp", "moov", "mdat", "free", "skip", "wide", "uuid",
                                                 "moof", "mfra", "meta", "udta", "pdin", "sidx", "styp"};
    const qint64 size = stream->size();
    qint64 position = stream->pos();
    qint64 end = -1;
    while (size - position >= 8) {
        const QByteArray header = stream->readBytesAt(position, 8);
        qint64 boxSize = qFromBigEndian<quint32>(header.constData());
        const QByteArray type = header.mid(4, 4);
        int headerSize = 8;
        if (boxSize == 1) {
            if (size - position < 16)
                break;
            const quint64 large = qFromBigEndian<quint64>(stream->readBytesAt(position + 8, 8).constData());
            if (large > quint64(std::numeric_limits<qint64>::max() - position))
                break;
            boxSize = qint64(large);
            headerSize = 16;
        } else if (boxSize == 0) {
            // The last box runs to the end of the file.
            return size;
        }
        if (boxSize < headerSize)
            break;
        if (boxSize > size - position) {
            if (topLevelTypes.contains(type))
                end = position + boxSize;
            break;
        }
        position += boxSize;
        end = position;
    }
    return end;
}
