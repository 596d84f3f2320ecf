#include "libtagging/mp4/mp4box.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"

#include <QtEndian>

Mp4Box::Mp4Box(const QString &type, const QByteArray &data, QObject *parent)
    : QObject(parent)
    , type(type)
    , data(data)
{
}

Mp4Box::Mp4Box(const QString &type, const QByteArray &data, bool loaded, qint64 offset, qint64 size,
               int headerSize, QObject *parent)
    : QObject(parent)
    , offset(offset)
    , size(size)
    , headerSize(headerSize)
    , type(type)
    , data(data)
    , loaded(loaded)
{
}

void Mp4Box::setData(const QByteArray &bytes)
{
    if (!loaded)
        return;
    size += bytes.size() - data.size();
    data = bytes;
}

void Mp4Box::appendChild(Mp4Box *box)
{
    box->setParent(this);
    children.append(box);
}

void Mp4Box::insertChild(int index, Mp4Box *box)
{
    box->setParent(this);
    children.insert(index, box);
}

void Mp4Box::appendChildren(const QList<Mp4Box *> &boxes)
{
    for (Mp4Box *box : boxes)
        appendChild(box);
}

void Mp4Box::removeChild(int index)
{
    Q_ASSERT(index >= 0 && index < children.size());
    delete children.takeAt(index);
}

qint64 Mp4Box::layout(qint64 &position)
{
    newOffset = position;
    if (!loaded) {
        // The payload stays as it is; the header keeps the form it was read with, and only
        // a payload too long for the short form forces the long one.
        const qint64 payload = payloadSize();
        newHeaderSize = headerSize == 16 || payload + 8 >= largeSizeLimit ? 16 : 8;
        size = payload + newHeaderSize;
        position += size;
        return size;
    }
    newHeaderSize = 8;
    size = data.size() + 8;
    position += size;
    for (Mp4Box *child : std::as_const(children))
        size += child->layout(position);
    if (size >= largeSizeLimit) {
        newHeaderSize = 16;
        size += 8;
        position = newOffset + 16 + data.size();
        for (Mp4Box *child : std::as_const(children))
            child->layout(position);
    }
    return size;
}

void Mp4Box::loadData(IoStream *stream)
{
    const qint64 payload = size - headerSize;
    if (payload > maximumLoadSize)
        throw Exception(PayloadTooLarge, {stream->displayName(), size, offset});
    stream->seek(offset + headerSize);
    data = stream->readBytes(payload);
    loaded = true;
}

QByteArray Mp4Box::headerBytes() const
{
    const int length = newHeaderSize >= 0 ? newHeaderSize : (size >= largeSizeLimit ? 16 : 8);
    QByteArray header(length, '\0');
    uchar *p = reinterpret_cast<uchar *>(header.data());
    qToBigEndian<quint32>(length == 16 ? 1 : quint32(size), p);
    const QByteArray name = type.toLatin1().left(4);
    memcpy(p + 4, name.constData(), name.size());
    if (length == 16)
        qToBigEndian<quint64>(quint64(size), p + 8);
    return header;
}

void Mp4Box::write(IoStream *stream) const
{
    const qint64 position = stream->pos();
    if (position != newOffset)
        throw Exception(WrongWritePosition, {stream->displayName(), type, position, newOffset});
    stream->writeBytes(headerBytes());
    if (!loaded) {
        stream->seek(position + size);
        return;
    }
    stream->writeBytes(data);
    for (const Mp4Box *child : children)
        child->write(stream);
}
