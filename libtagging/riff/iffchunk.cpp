#include "libtagging/riff/iffchunk.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"

IffChunk::IffChunk(const QString &id, QObject *parent)
    : QObject(parent)
    , id(id)
{
}

IffChunk::IffChunk(const QString &id, qint64 size, const QByteArray &data, qint64 offset, QObject *parent)
    : QObject(parent)
    , id(id)
    , size(size)
    , dataSize(data.size())
    , data(data)
    , offset(offset)
{
}

IffChunk::IffChunk(const QString &id, qint64 size, qint64 offset, QObject *parent)
    : QObject(parent)
    , id(id)
    , size(size)
    , dataSize(size - 8)
    , loaded(false)
    , offset(offset)
{
}

void IffChunk::setData(const QByteArray &bytes)
{
    data = bytes;
    dataSize = bytes.size();
    loaded = true;
}

void IffChunk::appendChild(IffChunk *chunk)
{
    chunk->setParent(this);
    children.append(chunk);
}

void IffChunk::insertChild(int index, IffChunk *chunk)
{
    chunk->setParent(this);
    children.insert(index, chunk);
}

void IffChunk::appendChildren(const QList<IffChunk *> &chunks)
{
    for (IffChunk *chunk : chunks)
        appendChild(chunk);
}

void IffChunk::insertChildren(int index, const QList<IffChunk *> &chunks)
{
    for (IffChunk *chunk : chunks)
        insertChild(index++, chunk);
}

void IffChunk::removeChild(int index)
{
    Q_ASSERT(index >= 0 && index < children.size());
    delete children.takeAt(index);
}

void IffChunk::removeChildren(int index, int count)
{
    Q_ASSERT(index >= 0 && count >= 0 && index + count <= children.size());
    for (int i = index; i < index + count; ++i)
        delete children.at(i);
    children.remove(index, count);
}

qint64 IffChunk::layout(qint64 &position)
{
    // Payloads left in the file are not read here: the rewrite moves them in place.
    newOffset = position;
    size = 8 + dataSize;
    position += size;
    for (IffChunk *child : std::as_const(children))
        size += child->layout(position);
    if (size & 1) {
        position += 1;
        return size + 1;
    }
    return size;
}

// Parsing

namespace {

bool isPrintableId(const QByteArray &bytes)
{
    if (bytes.size() != 4)
        return false;
    for (char c : bytes) {
        if (uchar(c) < 0x20 || uchar(c) > 0x7E)
            return false;
    }
    return true;
}

// Whether a chunk header can begin at position: 8 bytes before end and a printable id.
bool headerFits(IoStream *stream, qint64 position, qint64 end)
{
    return position + 8 <= end && isPrintableId(stream->readBytesAt(position, 4));
}

} // namespace

QList<IffChunk *> IffChunk::parse(const Format &format, IoStream *stream, qint64 length, bool bigEndian,
                                  QObject *parent)
{
    const qint64 start = stream->pos();
    const qint64 end = qMin(start + qMax<qint64>(0, length), qMax(start, stream->size()));
    return parseRange(format, stream, end, bigEndian, 0, parent);
}

QList<IffChunk *> IffChunk::parseRange(const Format &format, IoStream *stream, qint64 end, bool bigEndian,
                                       int depth, QObject *parent)
{
    QList<IffChunk *> result;
    qint64 position = stream->pos();
    while (position + 8 <= end) {
        const qint64 chunkOffset = position;
        stream->seek(chunkOffset);
        const QString id = QString::fromLatin1(stream->readBytes(4));
        qint64 size = stream->readUInt32(bigEndian);
        const qint64 dataStart = chunkOffset + 8;
        // A chunk that claims more than its container holds keeps what is there.
        if (size > end - dataStart)
            size = end - dataStart;
        const qint64 chunkSize = size + 8;

        IffChunk *chunk = nullptr;
        if (format.listIds.contains(id) && size >= 4) {
            if (depth >= maximumDepth)
                throw Exception(NestedTooDeeply, {stream->displayName(), id, chunkOffset});
            chunk = format.create(id, chunkSize, stream->readBytes(4), true, chunkOffset, parent);
            result.append(chunk);
            // The children belong to the list from the start, so that nothing leaks when a
            // deeper chunk throws.
            chunk->appendChildren(parseRange(format, stream, dataStart + size, bigEndian, depth + 1, chunk));
        } else if (format.streamIds.contains(id)) {
            chunk = format.create(id, chunkSize, QByteArray(), false, chunkOffset, parent);
            result.append(chunk);
        } else {
            // A list too short for its type is kept as it is, like any other chunk.
            if (size > maximumLoadSize)
                throw Exception(format.oversizeCode, {stream->displayName(), chunkSize, chunkOffset});
            chunk = format.create(id, chunkSize, stream->readBytes(size), true, chunkOffset, parent);
            result.append(chunk);
        }

        // The next chunk starts behind this one whatever its children read, and its pad byte
        // counts only inside the container. Some writers leave the pad byte out: when an id
        // starts right behind the data and none behind the pad, there is no pad byte.
        position = dataStart + size;
        if ((size & 1) && position < end) {
            const bool padded = headerFits(stream, position + 1, end) || !headerFits(stream, position, end);
            if (padded)
                position += 1;
        }
    }
    stream->seek(position);
    return result;
}

// Writing

// Turns the laid-out tree into the bytes between the payloads left in the file. Each run of
// new bytes replaces everything of the source from the end of the previous kept payload to
// the start of the next one; IoStream::replace moves the rest of the stream in bounded
// blocks, so a payload that moves is never held in memory.
struct IffChunk::Writer {
    IoStream *stream;
    bool bigEndian;
    qint64 sourceCursor; // first source byte not dealt with yet
    qint64 position;     // where that byte stands in the stream now
    QByteArray run;      // bytes to write at position
    bool measuring = false; // only finds how far the stream grows past its size on the way
    qint64 growth = 0;
    qint64 mostGrowth = 0;

    void flush(qint64 sourceUpTo)
    {
        const qint64 replaced = qMax<qint64>(0, sourceUpTo - sourceCursor);
        if (measuring) {
            growth += run.size() - replaced;
            mostGrowth = qMax(mostGrowth, growth);
        } else {
            stream->seek(position);
            stream->replace(replaced, run);
        }
        position += run.size();
        sourceCursor = qMax(sourceCursor, sourceUpTo);
        run.clear();
    }

    void appendUInt32(quint32 value)
    {
        char bytes[4];
        for (int i = 0; i < 4; ++i) {
            const int shift = bigEndian ? 24 - 8 * i : 8 * i;
            bytes[i] = char((value >> shift) & 0xFF);
        }
        run.append(bytes, 4);
    }
};

void IffChunk::checkSizeFields(IoStream *stream) const
{
    if (size - 8 > maximumSizeField)
        throw Exception(SizeFieldOverflow, {stream->displayName(), id, size});
    for (const IffChunk *child : children)
        child->checkSizeFields(stream);
}

void IffChunk::collect(const Format &format, Writer &writer) const
{
    const qint64 at = writer.position + writer.run.size();
    if (at != newOffset)
        throw Exception(format.positionCode, {writer.stream->displayName(), id, at, newOffset});
    writer.run += id.toLatin1().leftJustified(4, '\0', true);
    writer.appendUInt32(quint32(size - 8));
    if (loaded) {
        writer.run += data;
        for (const IffChunk *child : children)
            child->collect(format, writer);
    } else {
        const qint64 source = offset + 8;
        if (source < writer.sourceCursor)
            throw Exception(format.positionCode, {writer.stream->displayName(), id, source, writer.sourceCursor});
        writer.flush(source);
        writer.position += dataSize;
        writer.sourceCursor = source + dataSize;
    }
    if (size & 1)
        writer.run += '\0';
}

void IffChunk::rewrite(const Format &format, IoStream *stream, const QList<IffChunk *> &chunks, qint64 start,
                       bool bigEndian)
{
    qint64 position = start;
    for (IffChunk *chunk : chunks)
        chunk->layout(position);
    for (const IffChunk *chunk : chunks)
        chunk->checkSizeFields(stream);

    // The room the file needs is made before the first byte changes.
    const qint64 sourceEnd = stream->size();
    Writer measure{stream, bigEndian, start, start, {}, true};
    for (const IffChunk *chunk : chunks)
        chunk->collect(format, measure);
    measure.flush(sourceEnd);
    stream->reserve(measure.mostGrowth);

    Writer writer{stream, bigEndian, start, start, {}};
    for (const IffChunk *chunk : chunks)
        chunk->collect(format, writer);
    writer.flush(sourceEnd);
    stream->resize(writer.position);
    stream->seek(writer.position);
}
