// Mp4StreamIo: builders of item boxes, the children of a new "ilst".

#include "libcore/platform/platformidentity.h"
#include "libcore/text/utf8textcodec.h"
#include "libtagging/mp4/mp4box.h"
#include "libtagging/mp4/mp4streamio.h"

#include <QtEndian>

Mp4Box *Mp4StreamIo::makeDataBox(const QByteArray &value, quint32 typeIndicator, QObject *parent)
{
    QByteArray payload(8, '\0');
    qToBigEndian<quint32>(typeIndicator & 0xFFFFFF, payload.data());
    payload += value;
    return new Mp4Box(QStringLiteral("data"), payload, parent);
}

Mp4Box *Mp4StreamIo::makeTextBox(const QString &type, const QString &text, int maxBytes, QObject *parent)
{
    const QByteArray bytes =
        Utf8TextCodec::instance()->encode(convertLineEndings(text, LineEnding::Lf), -1, maxBytes, false, false, 0);
    auto *box = new Mp4Box(type, QByteArray());
    box->appendChild(makeDataBox(bytes, 1, nullptr));
    box->setParent(parent);
    return box;
}

Mp4Box *Mp4StreamIo::makeInt8Box(const QString &type, int value, QObject *parent)
{
    auto *box = new Mp4Box(type, QByteArray());
    box->appendChild(makeDataBox(QByteArray(1, char(value & 0xFF)), 21, nullptr));
    box->setParent(parent);
    return box;
}

Mp4Box *Mp4StreamIo::makeInt16Box(const QString &type, int value, QObject *parent)
{
    QByteArray bytes(2, '\0');
    qToBigEndian<quint16>(quint16(value & 0xFFFF), bytes.data());
    auto *box = new Mp4Box(type, QByteArray());
    box->appendChild(makeDataBox(bytes, 21, nullptr));
    box->setParent(parent);
    return box;
}
