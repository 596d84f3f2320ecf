#include "libtagging/plain/mpegcodecio.h"

#include <QtEndian>

#include <array>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/plain/codecheaderrules.h"

namespace {

constexpr qint64 searchLimit = 0x4000;
constexpr qint64 searchChunk = 1024;

enum Version { Mpeg25 = 0, ReservedVersionBits = 1, Mpeg2 = 2, Mpeg1 = 3 };

// kbit/s by bitrate index 0 to 14.
constexpr int bitrates[5][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // MPEG-1 layer 1
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},    // MPEG-1 layer 2
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},     // MPEG-1 layer 3
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},    // MPEG-2 layer 1
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},         // MPEG-2 layers 2, 3
};

constexpr int sampleRates[3][3] = {
    {11025, 12000, 8000},  // MPEG-2.5
    {22050, 24000, 16000}, // MPEG-2
    {44100, 48000, 32000}, // MPEG-1
};

struct FrameHeader
{
    explicit FrameHeader(quint32 bits)
        : version(int(bits >> 19) & 3)
        , layer(4 - (int(bits >> 17) & 3))
        , bitrateIndex(int(bits >> 12) & 15)
        , sampleRateIndex(int(bits >> 10) & 3)
        , padding(int(bits >> 9) & 1)
        , mono(((bits >> 6) & 3) == 3)
        , sync((bits >> 21) == 0x7FF)
    {
    }

    // The fields a frame walk compares with the first frame.
    bool sameStream(const FrameHeader &first) const
    {
        return sync && version == first.version && layer == first.layer && sampleRateIndex == first.sampleRateIndex;
    }

    int bitrateRow() const
    {
        if (version == Mpeg1)
            return layer - 1;
        return layer == 1 ? 3 : 4;
    }
    int bitrate() const { return bitrates[bitrateRow()][bitrateIndex] * 1000; }
    int sampleRate() const { return sampleRates[version == Mpeg1 ? 2 : (version == Mpeg2 ? 1 : 0)][sampleRateIndex]; }
    int samplesPerFrame() const
    {
        if (layer == 1)
            return 384;
        if (layer == 2 || version == Mpeg1)
            return 1152;
        return 576;
    }
    int slotSize() const { return layer == 1 ? 4 : 1; }
    // Bytes of the whole frame; 0 for the free format, whose length no header gives.
    qint64 frameLength() const
    {
        const qint64 slotCount = qint64(samplesPerFrame()) * bitrate() / (qint64(slotSize()) * sampleRate() * 8);
        return (slotCount + padding) * slotSize();
    }
    int xingOffset() const
    {
        if (version == Mpeg1)
            return mono ? 21 : 36;
        return mono ? 13 : 21;
    }

    int version;
    int layer; // 1 to 3; 4 for the reserved bits
    int bitrateIndex;
    int sampleRateIndex;
    int padding;
    bool mono;
    bool sync;
};

bool plausibleHeader(const uchar *b)
{
    return b[0] == 0xFF && b[1] >= 0xE0 && ((b[1] >> 3) & 3) != ReservedVersionBits && ((b[1] >> 1) & 3) != 0
           && b[2] < 0xF0 && ((b[2] >> 2) & 3) != 3;
}

// The longest free-format frame looked past for the next header: layer 1 at 448 kbit/s and
// 32 kHz is below 700 bytes, layer 3 at 640 kbit/s and 32 kHz below 3000.
constexpr qint64 longestFreeFrame = 4096;

// At most count bytes from the position, fewer when the region ends before.
QByteArray readUpTo(IoStream *stream, qint64 count, qint64 end)
{
    return stream->readBytes(qBound<qint64>(0, end - stream->pos(), count));
}

} // namespace

MpegCodecIo *MpegCodecIo::instance()
{
    static MpegCodecIo *const io = new MpegCodecIo();
    return io;
}

void MpegCodecIo::findFrameSync(IoStream *stream, qint64 maximum)
{
    const qint64 limit = qMin(stream->size(), stream->pos() + qMax<qint64>(0, maximum));
    for (;;) {
        const qint64 pos = stream->pos();
        if (pos + 2 >= limit)
            throw Exception(NoFrameSync, {stream->displayName()});
        const QByteArray chunk = stream->readBytes(qMin(searchChunk, limit - pos));
        const auto *bytes = reinterpret_cast<const uchar *>(chunk.constData());
        for (qsizetype i = 0; i + 2 < chunk.size(); ++i) {
            if (plausibleHeader(bytes + i)) {
                stream->seek(pos + i);
                return;
            }
        }
        // The last two bytes are examined again with the next chunk.
        stream->seek(pos + chunk.size() - 2);
    }
}

bool MpegCodecIo::isConfirmedFrame(IoStream *stream, qint64 pos, qint64 end)
{
    end = qMin(end, stream->size());
    if (pos + 4 > end)
        return false;
    stream->seek(pos);
    const QByteArray bytes = stream->readBytes(4);
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData());
    if (!plausibleHeader(b))
        return false;
    const FrameHeader header(qFromBigEndian<quint32>(b));
    auto agrees = [&header](const uchar *next) {
        const FrameHeader other(qFromBigEndian<quint32>(next));
        return plausibleHeader(next) && other.sameStream(header);
    };
    if (header.bitrateIndex != 0) {
        const qint64 next = pos + header.frameLength();
        if (next <= end && next + 4 > end)
            return true; // the last frame: no room for another header
        if (next + 4 > end)
            return false;
        stream->seek(next);
        const QByteArray nextBytes = stream->readBytes(4);
        return agrees(reinterpret_cast<const uchar *>(nextBytes.constData()));
    }
    // Free format: the next header of the same kind, also free, shows the frame's length,
    // and the one after it must stand as far again (give or take the padding slot), unless
    // the stream ends there. Bytes of other formats repeat such headers, but not evenly.
    auto freeHeaderAt = [&](qint64 at) {
        if (at + 4 > end)
            return false;
        stream->seek(at);
        const QByteArray bytes = stream->readBytes(4);
        const auto *n = reinterpret_cast<const uchar *>(bytes.constData());
        return agrees(n) && (n[2] >> 4) == 0;
    };
    stream->seek(pos + 4);
    const QByteArray window = readUpTo(stream, longestFreeFrame, end);
    const auto *w = reinterpret_cast<const uchar *>(window.constData());
    const int slot = header.slotSize();
    for (qsizetype i = 0; i + 4 <= window.size(); ++i) {
        if (w[i] != 0xFF || !agrees(w + i) || (w[i + 2] >> 4) != 0)
            continue;
        const qint64 length = 4 + i;
        for (const qint64 third : {pos + 2 * length - slot, pos + 2 * length, pos + 2 * length + slot}) {
            if ((third <= end && third + 4 > end) || freeHeaderAt(third))
                return true; // the stream ends with the second frame, or a third follows
        }
    }
    return false;
}

void MpegCodecIo::findFirstFrame(IoStream *stream, qint64 maximum, qint64 end)
{
    const qint64 limit = qMin(stream->size(), stream->pos() + qMax<qint64>(0, maximum));
    for (;;) {
        findFrameSync(stream, limit - stream->pos());
        const qint64 candidate = stream->pos();
        if (isConfirmedFrame(stream, candidate, end)) {
            stream->seek(candidate);
            return;
        }
        stream->seek(candidate + 1);
    }
}

AudioProperties MpegCodecIo::readAudioProperties(IoStream *stream, qint64 audioSize)
{
    AudioProperties properties =
        CodecHeaderRules::start(stream, audioSize, AudioCodec::Mpeg, QString(), QString());
    properties.compression = CompressionType::Lossy;
    const qint64 audioStart = stream->pos();
    // Nothing behind the audio (end tags) is ever searched or walked.
    const qint64 audioEnd = qMin(stream->size(), audioStart + qMax<qint64>(0, audioSize));

    findFirstFrame(stream, qMin(searchLimit, audioEnd - audioStart), audioEnd);
    const qint64 frameStart = stream->pos();
    const FrameHeader first(stream->readUInt32(true));

    if (first.version == ReservedVersionBits)
        throw Exception(ReservedVersion, {stream->displayName(), 1});
    if (first.layer > 3)
        throw Exception(ReservedLayer, {stream->displayName(), 0});
    // Named once for every version and layer rather than for every file.
    static const auto names = [] {
        std::array<std::array<QString, 3>, 4> full;
        const char *versionNames[] = {"MPEG-2.5", "", "MPEG-2", "MPEG-1"};
        for (int version : {Mpeg25, Mpeg2, Mpeg1}) {
            for (int layer = 1; layer <= 3; ++layer)
                full[version][layer - 1] = QStringLiteral("%1 Layer %2").arg(QLatin1String(versionNames[version])).arg(layer);
        }
        return full;
    }();
    properties.codecFullName = names[first.version][first.layer - 1];
    static const std::array<QString, 3> shortNames{QStringLiteral("MP1"), QStringLiteral("MP2"), QStringLiteral("MP3")};
    properties.codecName = first.version == Mpeg25 ? properties.codecFullName : shortNames[first.layer - 1];
    if (first.sampleRateIndex == 3)
        throw Exception(ReservedSampleRate, {stream->displayName(), 3});
    properties.sampleRate = first.sampleRate();
    properties.channels = first.mono ? 1 : 2;
    properties.bitrateType = BitrateType::Constant;

    const int samplesPerFrame = first.samplesPerFrame();
    quint32 frames = 0;

    // Xing or Info header in the first frame.
    stream->seek(qMin(audioEnd, frameStart + first.xingOffset()));
    {
        const QByteArray vbr = readUpTo(stream, 16, audioEnd);
        const QByteArrayView magic = vbr.size() >= 8 ? QByteArrayView(vbr).first(4) : QByteArrayView();
        if (magic == "Xing" || magic == "Info") {
            const quint32 flags = qFromBigEndian<quint32>(vbr.constData() + 4);
            qsizetype at = 8;
            if ((flags & 1) && at + 4 <= vbr.size()) {
                frames = qFromBigEndian<quint32>(vbr.constData() + at);
                at += 4;
            }
            if ((flags & 2) && at + 4 <= vbr.size()) {
                const qint64 bytes = qFromBigEndian<quint32>(vbr.constData() + at);
                if (bytes < properties.audioSize)
                    properties.audioSize = bytes;
            }
            if (magic == "Xing")
                properties.bitrateType = BitrateType::Variable;
        }
    }

    // VBRI header, always at the same place.
    if (frames == 0) {
        stream->seek(qMin(audioEnd, frameStart + 36));
        const QByteArray vbr = readUpTo(stream, 18, audioEnd);
        if (vbr.size() == 18 && vbr.startsWith("VBRI")) {
            const qint64 bytes = qFromBigEndian<quint32>(vbr.constData() + 10);
            if (bytes < properties.audioSize)
                properties.audioSize = bytes;
            frames = qFromBigEndian<quint32>(vbr.constData() + 14);
            properties.bitrateType = BitrateType::Variable;
        }
    }

    if (frames == 0) {
        // Frame walk: ten seconds of one bitrate make a constant-bitrate stream.
        properties.bitrateType = BitrateType::Constant;
        const quint32 framesToConfirm = quint32(properties.sampleRate) * 10 / samplesPerFrame;
        int previousBitrate = 0;
        stream->seek(frameStart);
        while (stream->pos() + 4 <= audioEnd) {
            const qint64 headerPos = stream->pos();
            const FrameHeader header(stream->readUInt32(true));
            if (!header.sameStream(first) || header.bitrateIndex == 0 || header.bitrateIndex == 15) {
                // Junk or a broken frame: resynchronise inside the audio, or end the walk
                // with the frames counted so far.
                stream->seek(headerPos + 1);
                try {
                    findFrameSync(stream, qMin(searchLimit, audioEnd - stream->pos()));
                } catch (const Exception &) {
                    break;
                }
                continue;
            }
            const int bitrate = header.bitrate();
            ++frames;
            if (previousBitrate != 0 && bitrate != previousBitrate) {
                properties.bitrateType = BitrateType::Variable;
            } else if (frames >= framesToConfirm && properties.bitrateType == BitrateType::Constant) {
                properties.bitrate = bitrate;
                properties.duration =
                    CodecHeaderRules::clampToInt(double(properties.audioSize) * 8.0 / (double(bitrate) / 1000.0));
                return properties;
            }
            const qint64 next = headerPos + header.frameLength();
            if (next > audioEnd)
                break;
            stream->seek(next);
            previousBitrate = bitrate;
        }
    }

    CodecHeaderRules::setDurationAndBitrate(properties, quint64(frames) * quint64(samplesPerFrame));
    return properties;
}
