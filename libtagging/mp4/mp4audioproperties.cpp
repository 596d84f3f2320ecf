// Mp4StreamIo: the audio properties of the first audio track.

#include "libcore/io/iostream.h"
#include "libtagging/mp4/mp4box.h"
#include "libtagging/mp4/mp4streamio.h"

#include <QtEndian>

namespace {

quint32 bigEndian32(const QByteArray &data, int offset)
{
    return qFromBigEndian<quint32>(data.constData() + offset);
}

// A descriptor length: up to four bytes of seven bits each.
void skipDescriptorLength(IoStream &stream)
{
    for (int i = 0; i < 4; ++i) {
        if (!(stream.readByte() & 0x80))
            break;
    }
}

void readSampleEntry(const Mp4Box *entry, AudioProperties &properties)
{
    if (entry->data.size() >= 26) {
        properties.channels = qFromBigEndian<quint16>(entry->data.constData() + 16);
        properties.sampleRate = qFromBigEndian<quint16>(entry->data.constData() + 24);
    }
}

void readEsds(IoStream &stream, AudioProperties &properties)
{
    stream.seek(4);
    stream.readByte(); // ES descriptor tag
    skipDescriptorLength(stream);
    stream.readUInt16(true); // ES_ID
    const uchar flags = stream.readByte();
    if (flags & 0x80)
        stream.readBytes(2);
    if (flags & 0x40)
        stream.readBytes(stream.readByte());
    if (flags & 0x20)
        stream.readBytes(2);
    stream.readByte(); // decoder config descriptor tag
    skipDescriptorLength(stream);
    stream.readBytes(5); // object type, stream type, buffer size
    const quint32 maximum = stream.readUInt32(true);
    const quint32 average = stream.readUInt32(true);
    properties.bitrate = int(qMin<quint32>(average, std::numeric_limits<int>::max()));
    if (maximum != 0 && maximum == average)
        properties.bitrateType = 0;
    else if (average == 0)
        properties.bitrateType = 1;
    if (stream.pos() >= stream.size() || stream.readByte() != 5)
        return;
    skipDescriptorLength(stream);
    qint64 bit = stream.pos() * 8;
    int objectType = int(stream.readBits(bit, 5));
    if (objectType == 31)
        objectType = 32 + int(stream.readBits(bit, 6));
    const int frequencyIndex = int(stream.readBits(bit, 4));
    if (frequencyIndex == 15)
        properties.sampleRate = int(stream.readBits(bit, 24));
    else if (frequencyIndex <= 12)
        properties.sampleRate = Mp4StreamIo::mpeg4SamplingFrequencies().at(frequencyIndex);
    const int channelConfiguration = int(stream.readBits(bit, 4));
    properties.channels = channelConfiguration == 7 ? 8 : channelConfiguration;

    if (objectType < 46) {
        properties.codecName = Mp4StreamIo::audioObjectTypeShortNames().at(objectType);
        properties.codecFullName = Mp4StreamIo::audioObjectTypeLongNames().at(objectType);
    }
    if ((objectType >= 1 && objectType <= 6) || (objectType >= 17 && objectType <= 20) || objectType == 23
        || objectType == 39) {
        properties.codec = 5;
        properties.compression = 0;
    }
}

qint64 trackDuration(const Mp4Box *mdia, int sampleRate)
{
    qint64 duration = 0;
    const QList<Mp4Box *> headers = Mp4StreamIo::findBoxes(mdia, QStringLiteral("mdhd"));
    if (!headers.isEmpty()) {
        const QByteArray &d = headers.first()->data;
        quint32 timeScale = 0;
        quint64 units = 0;
        if (!d.isEmpty() && d.at(0) == 0 && d.size() >= 20) {
            timeScale = bigEndian32(d, 12);
            units = bigEndian32(d, 16);
        } else if (!d.isEmpty() && d.at(0) == 1 && d.size() >= 32) {
            timeScale = bigEndian32(d, 20);
            units = qFromBigEndian<quint64>(d.constData() + 24);
        }
        if (timeScale != 0)
            duration = qint64(double(units) / (timeScale / 1000.0));
    }
    if (duration != 0)
        return duration;
    const QList<Mp4Box *> tables = Mp4StreamIo::findBoxes(mdia, QStringLiteral("minf.stbl.stts"));
    if (tables.isEmpty() || sampleRate == 0 || tables.first()->data.size() <= 7)
        return 0;
    const QByteArray &d = tables.first()->data;
    const quint32 count = bigEndian32(d, 4);
    if (qint64(d.size()) < 8 + qint64(count) * 8)
        return 0;
    quint64 units = 0;
    for (quint32 i = 0; i < count; ++i) {
        const quint64 samples = bigEndian32(d, 8 + i * 8);
        const quint64 delta = bigEndian32(d, 12 + i * 8);
        units += delta == 0 ? samples : samples * delta;
    }
    return qint64(double(units) / (sampleRate / 1000.0));
}

} // namespace

AudioProperties Mp4StreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    AudioProperties properties;
    properties.valid = true;
    properties.container = 2;

    QObject local;
    auto *root = new Mp4Box(QString(), QByteArray(), &local);
    root->appendChildren(parseBoxes(stream, stream->size() - stream->pos(), QString(), &local));
    checkFileType(stream, root);

    for (const Mp4Box *mdia : findBoxes(root, QStringLiteral("moov.trak.mdia"))) {
        const QList<Mp4Box *> descriptions = findBoxes(mdia, QStringLiteral("minf.stbl.stsd"));
        if (descriptions.isEmpty())
            continue;
        const Mp4Box *entry = nullptr;
        for (const Mp4Box *child : descriptions.first()->children) {
            if (child->type == QLatin1String("mp4a") || child->type == QLatin1String("drms")
                || child->type == QLatin1String("alac")) {
                entry = child;
                break;
            }
        }
        if (!entry)
            continue;
        readSampleEntry(entry, properties);
        if (entry->type == QLatin1String("alac")) {
            properties.codecName = QStringLiteral("ALAC");
            properties.codecFullName = QStringLiteral("Apple Lossless Audio Codec");
            properties.codec = 6;
            properties.compression = 1;
        } else if (!entry->children.isEmpty() && entry->children.first()->type == QLatin1String("esds")) {
            IoStream esds(entry->children.first()->data, QIODevice::ReadOnly);
            esds.setName(stream->name());
            readEsds(esds, properties);
        }
        properties.duration = int(qMin<qint64>(trackDuration(mdia, properties.sampleRate),
                                               std::numeric_limits<int>::max()));
        break;
    }

    properties.fileSize = stream->size();
    for (const Mp4Box *media : findBoxes(root, QStringLiteral("mdat")))
        properties.audioSize += media->size;
    if (properties.bitrate == 0 && properties.duration != 0)
        properties.bitrate = int(qMin<double>(properties.audioSize * 8.0 / (properties.duration / 1000.0),
                                              std::numeric_limits<int>::max()));
    return properties;
}

QStringList Mp4StreamIo::audioObjectTypeShortNames()
{
    static const QStringList names = {
        QString(), "AAC", "AAC", "AAC", "AAC", "AAC", "AAC", "TwinVQ", "CELP", "HVXC", QString(), QString(),
        "TTSI", "Main Synthesis", "Wavetable Synthesis", "General MIDI",
        "Algorithmic Synthesis and Audio Effects", "AAC", "AAC", "AAC", "AAC", "TwinVQ", "BSAC", "AAC", "CELP",
        "HVXC", "HILN", "Parametric", "SSC", "PS", "SAC", QString(), "MP1", "MP2", "MP3", "DST", "ALS", "SLS",
        "SLS", "AAC", "SMR", "SMR", "USAC", "SAOC", QString(), "USAC"};
    return names;
}

QStringList Mp4StreamIo::audioObjectTypeLongNames()
{
    static const QStringList names = {
        QString(),
        "Advanced Audio Coding Main",
        "Advanced Audio Coding Low Complexity",
        "Advanced Audio Coding Scalable Sample Rate",
        "Advanced Audio Coding Long Term Prediction",
        "Advanced Audio Coding High Efficiency",
        "Advanced Audio Coding Scalable",
        "Transform-domain Weighted Interleaved Vector Quantization",
        "Code Excited Linear Prediction",
        "Harmonic Vector Excitation Coding",
        QString(),
        QString(),
        "Text To Speech Interface",
        "Main Synthesis",
        "Wavetable Synthesis",
        "General Musical Instrument Digital Interface",
        "Algorithmic Synthesis and Audio Effects",
        "Error Resilient Advanced Audio Coding Low Complexity",
        "Error Resilient Advanced Audio Coding Scalable Sample Rate",
        "Error Resilient Advanced Audio Coding Long Term Prediction",
        "Error Resilient Advanced Audio Coding Scalable",
        "Error Resilient Transform-domain Weighted Interleaved Vector Quantization",
        "Error Resilient Bit Sliced Arithmetic Coding",
        "Error Resilient Advanced Audio Coding Low Delay",
        "Error Resilient Code Excited Linear Prediction",
        "Error Resilient Harmonic Vector Excitation Coding",
        "Error Resilient Harmonic and Individual Lines and Noise",
        "Error Resilient Parametric",
        "Sinusoidal Coding",
        "Parametric Stereo",
        "Spatial Audio Coding",
        QString(),
        "MPEG-1 Layer 1",
        "MPEG-1 Layer 2",
        "MPEG-1 Layer 3",
        "Direct Stream Transfer",
        "Audio Lossless Coding",
        "Scalable Lossless Coding",
        "Scalable Lossless Coding non-core",
        "Error Resilient Advanced Audio Coding Enhanced Low Delay",
        "Symbolic Music Representation Simple",
        "Symbolic Music Representation Main",
        "Unified Speech and Audio Coding",
        "Spatial Audio Object Coding",
        QString(),
        "Unified Speech and Audio Coding"};
    return names;
}
