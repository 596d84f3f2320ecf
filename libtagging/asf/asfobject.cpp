#include "libtagging/asf/asfobject.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"

#include <QtEndian>

#define MELO_ASF_GUID(name, text)                                                                  \
    const QUuid &AsfObject::name()                                                                 \
    {                                                                                              \
        static const QUuid guid(QStringLiteral(text));                                             \
        return guid;                                                                               \
    }

MELO_ASF_GUID(headerGuid, "75B22630-668E-11CF-A6D9-00AA0062CE6C")
MELO_ASF_GUID(headerExtensionGuid, "5FBF03B5-A92E-11CF-8EE3-00C00C205365")
MELO_ASF_GUID(dataGuid, "75B22636-668E-11CF-A6D9-00AA0062CE6C")
MELO_ASF_GUID(contentDescriptionGuid, "75B22633-668E-11CF-A6D9-00AA0062CE6C")
MELO_ASF_GUID(extendedContentDescriptionGuid, "D2D0A440-E307-11D2-97F0-00A0C95EA850")
MELO_ASF_GUID(metadataGuid, "C5F8CBEA-5BAF-4877-8467-AA8C44FA4CCA")
MELO_ASF_GUID(metadataLibraryGuid, "44231C94-9498-49D1-A141-1D134E457054")
MELO_ASF_GUID(contentBrandingGuid, "2211B3FA-BD23-11D2-B4B7-00A0C955FC6E")
MELO_ASF_GUID(paddingGuid, "1806D474-CADF-4509-A4BA-9AABCB96AAE8")
MELO_ASF_GUID(filePropertiesGuid, "8CABDCA1-A947-11CF-8EE4-00C00C205365")
MELO_ASF_GUID(streamPropertiesGuid, "B7DC0791-A9B7-11CF-8EE6-00C00C205365")
MELO_ASF_GUID(audioMediaGuid, "F8699E40-5B4D-11CF-A8FD-00805F5C442B")
MELO_ASF_GUID(streamBitratePropertiesGuid, "7BF875CE-468D-11D1-8D82-006097C9A2B2")
MELO_ASF_GUID(extendedStreamPropertiesGuid, "14E6A5CB-C672-4332-8399-A96952065B5A")

#undef MELO_ASF_GUID

AsfObject::AsfObject(const QUuid &guid, qint64 offset, qint64 size, const QByteArray &data,
                     QObject *parent)
    : QObject(parent), guid(guid), offset(offset), size(size), dataSize(data.size()), data(data)
{
}

AsfObject::AsfObject(const QUuid &guid, qint64 offset, qint64 size, QObject *parent)
    : QObject(parent), guid(guid), offset(offset), size(size), dataSize(size - headerSize)
{
}

AsfObject::~AsfObject() = default;

void AsfObject::appendChild(AsfObject *child)
{
    child->setParent(this);
    children.append(child);
}

void AsfObject::appendChildren(const QList<AsfObject *> &objects)
{
    for (AsfObject *child : objects)
        appendChild(child);
}

void AsfObject::insertChild(int index, AsfObject *child)
{
    child->setParent(this);
    children.insert(index, child);
}

void AsfObject::removeChildAt(int index)
{
    if (index < 0 || index >= children.size())
        return;
    delete children.takeAt(index);
}

static void collect(const QList<AsfObject *> &objects, const QUuid &guid, QList<AsfObject *> &found)
{
    for (AsfObject *object : objects) {
        if (object->guid == guid)
            found.append(object);
        collect(object->children, guid, found);
    }
}

QList<AsfObject *> AsfObject::findAll(const QList<AsfObject *> &objects, const QUuid &guid)
{
    QList<AsfObject *> found;
    collect(objects, guid, found);
    return found;
}

void AsfObject::removeAll(QList<AsfObject *> &objects, const QUuid &guid)
{
    for (qsizetype i = objects.size() - 1; i >= 0; --i) {
        if (objects.at(i)->guid == guid)
            delete objects.takeAt(i);
        else
            removeAll(objects[i]->children, guid);
    }
}

void AsfObject::write(IoStream *stream) const
{
    stream->writeUuid(guid, false);
    QByteArray sizeField(8, '\0');
    qToLittleEndian(quint64(size), sizeField.data());
    stream->writeBytes(sizeField);
    stream->writeBytes(data);
    for (const AsfObject *child : children)
        child->write(stream);
}

qint64 AsfObject::updateSize(IoStream *stream)
{
    qint64 total = headerSize + data.size();
    for (AsfObject *child : children)
        total += child->updateSize(stream);
    size = total;
    if (guid == headerGuid()) {
        if (data.size() < 4)
            throw Exception(HeaderWithoutData, {stream->displayName()});
        qToLittleEndian(quint32(children.size()), data.data());
    } else if (guid == headerExtensionGuid()) {
        if (data.size() < 22)
            throw Exception(ExtensionWithoutData, {stream->displayName()});
        const qint64 extensionSize = size - data.size() - headerSize;
        if (quint64(extensionSize) >> 32)
            throw Exception(ExtensionTooLarge, {stream->displayName(), extensionSize});
        qToLittleEndian(quint32(extensionSize), data.data() + 18);
    }
    return size;
}
