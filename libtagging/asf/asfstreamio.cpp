#include "libtagging/asf/asfstreamio.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/asf/asfobject.h"
#include "libtagging/model/taginfo.h"

#include <QtEndian>

namespace {

QList<AsfObject *> parseRange(IoStream *stream, qint64 length, int maxCount, QObject *parent, int depth)
{
    // Nested results live here until their container takes them, so a throw frees them.
    QObject nestedParent;
    QList<AsfObject *> result;
    const qint64 end = stream->pos() + length;
    for (;;) {
        const qint64 start = stream->pos();
        if (start + AsfObject::headerSize >= end)
            break;
        if (maxCount != -1 && result.size() >= maxCount)
            break;
        const QUuid guid = stream->readUuid(false);
        const QByteArray sizeField = stream->readBytes(8);
        const quint64 storedSize = qFromLittleEndian<quint64>(sizeField.constData());
        if (storedSize < quint64(AsfObject::headerSize))
            throw Exception(AsfObject::SizeBelowHeader,
                            {stream->displayName(), qint64(storedSize), stream->pos()});
        qint64 size = storedSize > quint64(end - start) ? end - start : qint64(storedSize);
        const bool isHeader = guid == AsfObject::headerGuid();
        if (isHeader || guid == AsfObject::headerExtensionGuid()) {
            if (depth >= AsfObject::maximumDepth)
                throw Exception(AsfObject::NestedTooDeeply, {stream->displayName(), start});
            const qint64 ownSize = isHeader ? 6 : 22;
            const QByteArray own = stream->readBytes(qMin(ownSize, size - AsfObject::headerSize));
            auto *object = new AsfObject(guid, start, size, own, parent);
            result.append(object);
            const qint64 childLength = size - AsfObject::headerSize - own.size();
            if (childLength > 0)
                object->appendChildren(parseRange(stream, childLength, -1, &nestedParent, depth + 1));
        } else if (guid == AsfObject::dataGuid()) {
            result.append(new AsfObject(guid, start, size, parent));
        } else {
            const qint64 payloadSize = size - AsfObject::headerSize;
            if (payloadSize > AsfObject::maximumLoadSize)
                throw Exception(AsfObject::PayloadTooLarge, {stream->displayName(), size, stream->pos()});
            result.append(new AsfObject(guid, start, size, stream->readBytes(payloadSize), parent));
        }
        stream->seek(start + size);
    }
    return result;
}

} // namespace

AsfStreamIo *AsfStreamIo::instance()
{
    static AsfStreamIo *const io = new AsfStreamIo();
    return io;
}

QList<AsfObject *> AsfStreamIo::parseObjects(IoStream *stream, qint64 length, int maxCount, QObject *parent)
{
    return parseRange(stream, length, maxCount, parent, 0);
}

QList<AsfObject *> AsfStreamIo::parseFile(IoStream *stream, QObject *parent)
{
    const qint64 start = stream->pos();
    qint64 end = instance()->containerEnd(stream);
    if (end < 0 || end > stream->size())
        end = stream->size();
    stream->seek(start);
    return parseObjects(stream, end - start, -1, parent);
}

void AsfStreamIo::checkHeader(IoStream *stream, const QList<AsfObject *> &objects)
{
    if (objects.isEmpty() || objects.first()->guid != AsfObject::headerGuid())
        throw Exception(AsfObject::NoHeaderObject, {stream->displayName()});
}

qint64 AsfStreamIo::containerEnd(IoStream *stream)
{
    // The objects a file's top level holds; the bytes of a tag behind the file read as
    // anything else.
    static const QList<QUuid> topLevel{
        AsfObject::headerGuid(),
        AsfObject::dataGuid(),
        // Misplaced but still the file's own.
        AsfObject::contentDescriptionGuid(),
        AsfObject::extendedContentDescriptionGuid(),
        AsfObject::metadataGuid(),
        AsfObject::metadataLibraryGuid(),
        AsfObject::contentBrandingGuid(),
        AsfObject::paddingGuid(),
        QUuid(QStringLiteral("33000890-E5B1-11CF-89F4-00A0C90349CB")), // Simple Index
        QUuid(QStringLiteral("D6E229D3-35DA-11D1-9034-00A0C90349BE")), // Index
        QUuid(QStringLiteral("FEB103F8-12AD-4C64-840F-2A1D2F7AD48C")), // Media Object Index
        QUuid(QStringLiteral("3CB73FD0-0C4A-4803-953D-EDF7B6228F0C")), // Timecode Index
    };
    const qint64 size = stream->size();
    qint64 position = stream->pos();
    qint64 end = -1;
    while (size - position >= AsfObject::headerSize) {
        IoStream header(stream->readBytesAt(position, AsfObject::headerSize), QIODevice::ReadOnly);
        const QUuid guid = header.readUuid(false);
        const quint64 objectSize = qFromLittleEndian<quint64>(header.readBytes(8).constData());
        if (end < 0 && guid != AsfObject::headerGuid())
            return -1;
        if (!topLevel.contains(guid) || objectSize < quint64(AsfObject::headerSize))
            break;
        // An object that runs past the file still claims everything up to its end.
        if (objectSize > quint64(size - position))
            return objectSize > quint64(std::numeric_limits<qint64>::max() - position) ? std::numeric_limits<qint64>::max()
                                                                                       : position + qint64(objectSize);
        position += qint64(objectSize);
        end = position;
    }
    return end;
}

void AsfStreamIo::addAttribute(const AsfAttribute &attribute, QList<QByteArray> &descriptors,
                               QList<QByteArray> &libraryRecords, bool libraryRecord)
{
    const bool library = libraryRecord || attribute.languageIndex != 0 || attribute.streamNumber != 0
                         || attribute.valueType > AsfAttributeType::Word || attribute.value.size() > 0xFFFF;
    QByteArray value = attribute.value;
    if (attribute.valueType == AsfAttributeType::Bool) {
        value = QByteArray(library ? 2 : 4, '\0');
        value[0] = attribute.value.count('\0') == attribute.value.size() ? 0 : 1;
    }
    QByteArray name;
    for (const QChar c : attribute.name) {
        name.append(char(c.unicode() & 0xFF));
        name.append(char(c.unicode() >> 8));
    }
    name.append(2, '\0');
    // Every length and number has a fixed width in the file: refuse what would wrap.
    const auto fits16 = [](qint64 v) { return v >= 0 && v <= 0xFFFF; };
    if (!fits16(name.size()) || !fits16(attribute.valueType) || !fits16(attribute.languageIndex)
        || !fits16(attribute.streamNumber) || value.size() > qint64(0xFFFFFFFF))
        throw Exception(AttributeTooLarge, {attribute.name.left(64), qint64(name.size()), qint64(value.size())});

    QByteArray bytes;
    auto put16 = [&bytes](quint32 v) {
        bytes.append(char(v & 0xFF));
        bytes.append(char((v >> 8) & 0xFF));
    };
    if (library) {
        put16(quint16(attribute.languageIndex));
        put16(quint16(attribute.streamNumber));
        put16(quint16(name.size()));
        put16(quint16(attribute.valueType));
        put16(quint32(value.size()) & 0xFFFF);
        put16(quint32(value.size()) >> 16);
        bytes += name;
        bytes += value;
    } else {
        put16(quint16(name.size()));
        bytes += name;
        put16(quint16(attribute.valueType));
        put16(quint16(value.size()));
        bytes += value;
    }
    QList<QByteArray> &list = library ? libraryRecords : descriptors;
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        if (list.at(i) == bytes)
            return;
    }
    list.append(bytes);
}
