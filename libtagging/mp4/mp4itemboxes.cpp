// Mp4StreamIo: builders of item boxes, the children of a new "ilst".

#include "libcore/log/exception.h"
#include "libcore/platform/platformidentity.h"
#include "libcore/text/utf8textcodec.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/integertagitem.h"
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

Mp4Box *Mp4StreamIo::makeNumberPairBox(const QString &type, const IntegerTagItem *number, const IntegerTagItem *total,
                                       int length, QObject *parent)
{
    if (!number && !total)
        throw Exception(NumberPairEmpty, {type});
    QByteArray block(qMax(length, 6), '\0');
    if (number)
        qToBigEndian<quint16>(quint16(number->value & 0xFFFF), block.data() + 2);
    if (total)
        qToBigEndian<quint16>(quint16(total->value & 0xFFFF), block.data() + 4);
    block.truncate(length);
    auto *box = new Mp4Box(type, QByteArray());
    box->appendChild(makeDataBox(block, 0, nullptr));
    box->setParent(parent);
    return box;
}

Mp4Box *Mp4StreamIo::makeArtworkBox(const QString &type, const QList<TagItem *> &items, QObject *parent)
{
    QObject local;
    auto *box = new Mp4Box(type, QByteArray(), &local);
    for (const TagItem *item : items) {
        if (item->type() != TagItemType::Artwork)
            continue;
        const CodedImage &image = static_cast<const ArtworkTagItem *>(item)->image();
        if (image.data.isEmpty())
            continue;
        const quint32 indicator = image.formatCode().toLower() == QLatin1String("jpg") ? 13 : 14;
        box->appendChild(makeDataBox(image.data, indicator, nullptr));
    }
    if (box->children.isEmpty())
        throw Exception(NoArtworkData, {type});
    box->setParent(parent);
    return box;
}
