#pragma once

#include "libcore/log/logger.h"
#include "shared/support_tools.h"
#include "support_bytebuilder.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QtEndian>

// Byte builders and helpers shared by the Vorbis comment, Ogg and FLAC tests.
namespace xiph {

// A Vorbis comment: vendor, field count, the fields, and the framing byte when asked.
inline QByteArray commentPacket(const QByteArray &vendor, const QList<QByteArray> &fields, bool framing = false)
{
    QByteArray out = le32(quint32(vendor.size())) + vendor + le32(quint32(fields.size()));
    for (const QByteArray &field : fields)
        out += le32(quint32(field.size())) + field;
    if (framing)
        out += char(1);
    return out;
}

// The field texts of a comment without framing byte, as written.
inline QStringList commentFields(const QByteArray &packet, QByteArray *vendor = nullptr)
{
    QStringList fields;
    if (packet.size() < 8)
        return fields;
    const quint32 vendorLength = qFromLittleEndian<quint32>(packet.constData());
    if (vendor)
        *vendor = packet.mid(4, vendorLength);
    qsizetype at = 4 + vendorLength;
    const quint32 count = qFromLittleEndian<quint32>(packet.constData() + at);
    at += 4;
    for (quint32 i = 0; i < count && at + 4 <= packet.size(); ++i) {
        const quint32 length = qFromLittleEndian<quint32>(packet.constData() + at);
        fields.append(QString::fromUtf8(packet.mid(at + 4, length)));
        at += 4 + length;
    }
    return fields;
}

// A FLAC PICTURE block body.
inline QByteArray pictureBody(quint32 type, const QByteArray &mime, const QByteArray &description,
                              const QByteArray &data)
{
    return be32(type) + be32(quint32(mime.size())) + mime + be32(quint32(description.size())) + description
           + be32(1) + be32(1) + be32(24) + be32(0) + be32(quint32(data.size())) + data;
}

class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    ~CollectingLogger() override { setRegistered(false); }
    void log(const LogMessage &message) override { codes.append(message.code); }
    QList<quint32> codes;
};

} // namespace xiph
