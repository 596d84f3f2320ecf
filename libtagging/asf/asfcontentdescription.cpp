#include "libtagging/asf/asfcontentdescription.h"

#include "libcore/io/iostream.h"
#include "libtagging/asf/asfstreamio.h"
#include "libtagging/asf/asftext.h"

#include <QtEndian>

namespace AsfContentDescription {

QString fieldName(int field)
{
    static const char *const names[FieldCount] = {"Title", "Author", "Copyright", "Description", "Rating"};
    return field >= 0 && field < FieldCount ? QString::fromLatin1(names[field]) : QString();
}

int fieldOfName(const QString &name)
{
    for (int field = 0; field < FieldCount; ++field) {
        if (name.compare(fieldName(field), Qt::CaseInsensitive) == 0)
            return field;
    }
    return -1;
}

QStringList read(const QByteArray &bytes, IoStream *stream)
{
    IoStream data(bytes, QIODevice::ReadOnly);
    data.setName(stream->name());
    int lengths[FieldCount];
    for (int &length : lengths)
        length = data.readUInt16(false);
    QStringList texts;
    // Each text ends at its first NUL; the next starts behind its whole length.
    for (const int length : lengths)
        texts.append(AsfText::decode(data.readBytes(length)));
    return texts;
}

QByteArray take(QList<QByteArray> &descriptors, QList<QByteArray> &libraryRecords)
{
    bool inLibrary[FieldCount] = {};
    for (const QByteArray &bytes : libraryRecords) {
        IoStream data(bytes, QIODevice::ReadOnly);
        const int field = fieldOfName(AsfStreamIo::readRecord(&data).name);
        if (field >= 0)
            inLibrary[field] = true;
    }

    QByteArray texts[FieldCount];
    bool taken[FieldCount] = {};
    bool any = false;
    QList<QByteArray> kept;
    QList<AsfAttribute> further;
    for (const QByteArray &bytes : descriptors) {
        IoStream data(bytes, QIODevice::ReadOnly);
        const AsfAttribute attribute = AsfStreamIo::readDescriptor(&data);
        // Only the names the writer gives these values; an unknown attribute keeps its spelling.
        const int field = fieldOfName(attribute.name);
        if (field < 0 || inLibrary[field] || attribute.valueType != AsfAttributeType::UnicodeString
            || attribute.name != fieldName(field)) {
            kept.append(bytes);
        } else if (!taken[field]) {
            texts[field] = attribute.value;
            taken[field] = any = true;
        } else {
            further.append(attribute);
        }
    }
    if (!any)
        return {};

    descriptors = kept;
    for (const AsfAttribute &attribute : further)
        AsfStreamIo::addAttribute(attribute, descriptors, libraryRecords, true);
    // A descriptor value has a 16-bit length, as the fields here.
    QByteArray result(2 * FieldCount, '\0');
    for (int field = 0; field < FieldCount; ++field) {
        qToLittleEndian(quint16(texts[field].size()), result.data() + 2 * field);
        result += texts[field];
    }
    return result;
}

} // namespace AsfContentDescription
