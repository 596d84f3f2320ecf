#include "libtagging/asf/asfobject.h"
#include "libtagging/asf/asfstreamio.h"

#include "libcore/io/iostream.h"
#include "libtagging/plain/codecheaderrules.h"

#include <QtEndian>

using CodecHeaderRules::clampToInt;

namespace {

// A field of an object's own data; reading past the data fails like a short read.
template<typename T>
T fieldAt(IoStream *stream, const AsfObject *object, qint64 position)
{
    if (position + qint64(sizeof(T)) > object->data.size()) {
        IoStream view(object->data, QIODevice::ReadOnly);
        view.setName(stream->name());
        view.seek(qMin(position, qint64(object->data.size())));
        view.readBytes(sizeof(T)); // throws the stream's short-read exception
    }
    return qFromLittleEndian<T>(object->data.constData() + position);
}

// Milliseconds between two times; a later start than end gives 0.
int spanMs(quint64 from, quint64 to)
{
    return to > from ? clampToInt(double(to - from)) : 0;
}

struct FormatRow
{
    quint16 tag;
    const char *fullName;
    const char *name;
    int codec;
    int compression;
    int bitrateType;
};

constexpr FormatRow formats[] = {
    {1, "Pulse Code Modulation", "PCM", AudioCodec::Pcm, CompressionType::Lossless, BitrateType::Constant},
    {0x50, "MPEG-1 Layer 3", "MP3", AudioCodec::Mpeg, CompressionType::Lossy, BitrateType::Variable},
    {0x55, "MPEG-1 Layer 3", "MP3", AudioCodec::Mpeg, CompressionType::Lossy, BitrateType::Variable},
    {0x160, "Windows Media Audio version 1", "WMA", AudioCodec::Wma, CompressionType::Lossy, BitrateType::Variable},
    {0x161, "Windows Media Audio version 2", "WMA", AudioCodec::Wma, CompressionType::Lossy, BitrateType::Variable},
    {0x162, "Windows Media Audio Professional", "WMA", AudioCodec::Wma, CompressionType::Lossy,
     BitrateType::Variable},
    {0x163, "Windows Media Audio Lossless", "WMA", AudioCodec::Wma, CompressionType::Lossless,
     BitrateType::Variable},
};

const AsfObject *first(const QList<AsfObject *> &objects, const QUuid &guid)
{
    const QList<AsfObject *> found = AsfObject::findAll(objects, guid);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

AudioProperties AsfStreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    AudioProperties p;
    p.valid = true;
    p.container = AudioContainer::Asf;
    p.codec = AudioCodec::Wma;
    p.bitrateType = BitrateType::Variable;
    p.compression = CompressionType::Unknown;

    QObject tree;
    // A container behind loose tags begins at the stream's position.
    const QList<AsfObject *> objects = parseFile(stream, &tree);
    checkHeader(stream, objects);

    if (const AsfObject *file = first(objects, AsfObject::filePropertiesGuid()); file && file->data.size() >= 64) {
        const quint64 playDuration = fieldAt<quint64>(stream, file, 40);
        const quint64 preroll = fieldAt<quint64>(stream, file, 56);
        // A play duration below the preroll is damage, not a negative length.
        p.duration = spanMs(preroll, playDuration / 10000);
    }

    if (const AsfObject *sp = first(objects, AsfObject::streamPropertiesGuid());
        sp && sp->data.size() >= 66) {
        IoStream view(sp->data.left(16), QIODevice::ReadOnly);
        if (view.readUuid(false) == AsfObject::audioMediaGuid()) {
            const quint16 formatTag = fieldAt<quint16>(stream, sp, 54);
            for (const FormatRow &row : formats) {
                if (row.tag != formatTag)
                    continue;
                p.codecFullName = QString::fromLatin1(row.fullName);
                p.codecName = QString::fromLatin1(row.name);
                p.codec = row.codec;
                p.compression = row.compression;
                p.bitrateType = row.bitrateType;
            }
            p.channels = fieldAt<quint16>(stream, sp, 56);
            p.sampleRate = clampToInt(fieldAt<quint32>(stream, sp, 58));
            p.bitrate = clampToInt(double(fieldAt<quint32>(stream, sp, 62)) * 8.0);
        }
    }

    p.fileSize = stream->size();
    for (const AsfObject *data : AsfObject::findAll(objects, AsfObject::dataGuid()))
        p.audioSize += qMax<qint64>(0, data->dataSize);

    if (const AsfObject *br = first(objects, AsfObject::streamBitratePropertiesGuid()); br && br->data.size() >= 2) {
        if (fieldAt<quint16>(stream, br, 0) != 0)
            p.bitrate = clampToInt(fieldAt<quint32>(stream, br, 4));
    }

    if (p.duration == 0) {
        if (const AsfObject *ext = first(objects, AsfObject::extendedStreamPropertiesGuid());
            ext && ext->data.size() >= 16)
            p.duration = spanMs(fieldAt<quint64>(stream, ext, 0), fieldAt<quint64>(stream, ext, 8));
    }

    if (p.audioSize != 0) {
        const long double bits = static_cast<long double>(p.audioSize) * 8.0L;
        if (p.bitrate == 0 && p.duration != 0)
            p.bitrate = clampToInt(double(bits / (p.duration / 1000.0L)));
        else if (p.bitrate != 0 && p.duration == 0)
            p.duration = clampToInt(double(bits / (p.bitrate / 1000.0L)));
    }
    return p;
}
