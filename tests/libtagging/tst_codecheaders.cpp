#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/text/textcatalogue.h"
#include "libcore/text/texttable.h"
#include "libtagging/plain/codecheaderrules.h"
#include "libtagging/plain/monkeysaudiocodecio.h"
#include "libtagging/plain/mpegcodecio.h"
#include "libtagging/plain/musepackcodecio.h"
#include "libtagging/plain/optimfrogcodecio.h"
#include "libtagging/plain/takcodecio.h"
#include "libtagging/plain/trueaudiocodecio.h"
#include "libtagging/plain/wavpackcodecio.h"
#include "support_bytebuilder.h"

Q_DECLARE_METATYPE(ICodecIo *)

namespace {

// MPEG-1 layer 3, 128 kbit/s, 44100 Hz, stereo: 417 bytes a frame.
constexpr quint32 mp3Header128 = 0xFFFB9000;
// The same at 160 kbit/s: 522 bytes.
constexpr quint32 mp3Header160 = 0xFFFBA000;

QByteArray mpegFrame(quint32 header)
{
    const int bitrateIndex = int(header >> 12) & 15;
    static const int kbits[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    const int length = 144 * kbits[bitrateIndex] * 1000 / 44100 + int((header >> 9) & 1);
    return ByteBuilder().be32(header).padTo(length);
}

QByteArray mpegFrames(quint32 header, int count)
{
    return mpegFrame(header).repeated(count);
}

// A first frame carrying a VBR header at offset.
QByteArray mpegFrameWith(quint32 header, int offset, const QByteArray &vbrHeader)
{
    QByteArray frame = mpegFrame(header);
    frame.replace(offset, vbrHeader.size(), vbrHeader);
    return frame;
}

AudioProperties readBytes(ICodecIo *io, const QByteArray &bytes, qint64 audioSize = -1,
                          const QString &name = QStringLiteral("memory"))
{
    IoStream stream(bytes, QIODevice::ReadOnly);
    stream.setName(name);
    return io->readAudioProperties(&stream, audioSize < 0 ? bytes.size() : audioSize);
}

quint32 errorCode(ICodecIo *io, const QByteArray &bytes, qint64 audioSize = -1)
{
    try {
        readBytes(io, bytes, audioSize);
    } catch (const Exception &e) {
        return e.code;
    }
    return 0;
}

// Monkey's Audio 3.98 and later: descriptor, then header.
QByteArray monkeysNew(quint16 version, quint32 descriptorSize, quint16 level, quint32 blocksPerFrame,
                      quint32 finalBlocks, quint32 totalFrames)
{
    ByteBuilder b;
    b.ascii("MAC ").le16(version).le16(0).le32(descriptorSize);
    b.padTo(descriptorSize < 52 ? 52 : descriptorSize);
    b.le16(level).le16(0).le32(blocksPerFrame).le32(finalBlocks).le32(totalFrames).le16(16).le16(2).le32(44100);
    return b;
}

QByteArray monkeysOld(quint16 version, quint16 level, quint32 totalFrames, quint32 finalBlocks)
{
    return ByteBuilder().ascii("MAC ").le16(version).le16(level).le16(0).le16(2).le32(44100).zeros(8).le32(totalFrames).le32(
        finalBlocks);
}

QByteArray wavPackBlock(quint32 totalSamples, quint32 index, quint32 samples, quint32 flags, int size = 64)
{
    ByteBuilder b;
    b.ascii("wvpk").le32(size - 8).le16(0x410).le16(0).le32(totalSamples).le32(index).le32(samples).le32(flags).le32(0);
    return b.padTo(size);
}

// 16 bits, stereo, lossless, 44100 Hz, a block of its own group.
constexpr quint32 wavPackFlags = 1 | (9u << 23) | (1u << 11) | (1u << 12);

// A TAK stream information object from its fields.
QByteArray takStreamInfo(quint64 samples, int rateMinus6000, int bitsMinus8, int channelsMinus1, bool extension)
{
    QByteArray data(10, '\0');
    auto put = [&](int first, int count, quint64 value) {
        for (int i = 0; i < count; ++i)
            if (value >> i & 1)
                data[(first + i) / 8] = char(uchar(data[(first + i) / 8]) | (1u << ((first + i) % 8)));
    };
    put(14, 35, samples);
    put(52, 18, quint64(rateMinus6000));
    put(70, 5, quint64(bitsMinus8));
    put(75, 4, quint64(channelsMinus1));
    put(79, 1, extension ? 1 : 0);
    return ByteBuilder().u8(1).le24(data.size()).raw(data);
}

QByteArray musePackSv7(quint8 versionByte, quint32 frames, quint8 rateIndex, quint16 lastFrameSamples)
{
    ByteBuilder b;
    b.ascii("MP+").u8(versionByte).le32(frames).zeros(2).u8(rateIndex).zeros(10);
    b.u8(quint8((lastFrameSamples & 0x0F) << 4)).u8(quint8(lastFrameSamples >> 4));
    return b.padTo(64);
}

} // namespace

class TestCodecHeaders : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The language codes of the text tables come from the core package.
        registerResourceFiles({QStringLiteral("libcore.rcc"), QStringLiteral("libtagging.rcc")});
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        TextCatalogue::applyLanguage(english, english);
    }

    void audioProperties()
    {
        const AudioProperties p;
        QVERIFY(!p.valid);
        QCOMPARE(p.container, 7);
        QCOMPARE(p.codec, 15);
        QCOMPARE(p.bitrateType, 2);
        QCOMPARE(p.compression, 2);
        QCOMPARE(p.duration + p.bitrate + p.channels + p.sampleRate + p.bitsPerSample, 0);
        QVERIFY(p.codecName.isEmpty() && p.codecFullName.isEmpty());

        // Unknown is one text for all three; every named value has a text of its own.
        const QString unknown = AudioProperties::containerName(7);
        QVERIFY(!unknown.isEmpty());
        QCOMPARE(AudioProperties::bitrateTypeName(2), unknown);
        QCOMPARE(AudioProperties::compressionName(2), unknown);
        QSet<QString> names;
        for (int container = 0; container <= 6; ++container)
            names.insert(AudioProperties::containerName(container));
        for (int i = 0; i <= 1; ++i)
            names << AudioProperties::bitrateTypeName(i) << AudioProperties::compressionName(i);
        QCOMPARE(names.size(), 11);
        QVERIFY(!names.contains(QString()));
        QVERIFY(AudioProperties::containerName(8).isEmpty());
        QVERIFY(AudioProperties::containerName(-1).isEmpty());
        QVERIFY(AudioProperties::bitrateTypeName(3).isEmpty());
        QVERIFY(AudioProperties::compressionName(-1).isEmpty());
    }

    void mpegFrameWalk_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("bitrateType");
        QTest::addColumn<int>("bitrate");
        QTest::addColumn<int>("duration");

        const QByteArray cbr = mpegFrames(mp3Header128, 400);
        // The walk stops after 382 frames (ten seconds) and measures the whole size.
        QTest::newRow("constant, ten seconds confirm") << cbr << 0 << 128000 << int(cbr.size() * 8 / 128.0);
        // 20 frames only: the walk counts them all.
        QTest::newRow("constant, short") << mpegFrames(mp3Header128, 20) << 0 << int(20 * 417 * 8 / 0.522) << 522;
        QByteArray vbr = mpegFrame(mp3Header128) + mpegFrames(mp3Header160, 19);
        QTest::newRow("bitrate changes at the second frame") << vbr << 1 << int(vbr.size() * 8 / 0.522) << 522;
        QByteArray junk = mpegFrames(mp3Header128, 10) + QByteArray(300, 'x') + mpegFrames(mp3Header128, 10);
        QTest::newRow("junk between frames") << junk << 0 << int(junk.size() * 8 / 0.522) << 522;
        QByteArray brokenLast = mpegFrames(mp3Header128, 20) + ByteBuilder().be32(mp3Header128).zeros(10).bytes;
        QTest::newRow("broken last frame") << brokenLast << 0 << int(brokenLast.size() * 8 / 0.548) << 548;
        QByteArray junkTail = mpegFrames(mp3Header128, 20) + QByteArray(3000, 'x');
        QTest::newRow("junk to the end") << junkTail << 0 << int(junkTail.size() * 8 / 0.522) << 522;
        QByteArray leading = QByteArray(1000, '\0') + mpegFrames(mp3Header128, 20);
        QTest::newRow("zeros before the first frame") << leading << 0 << int(leading.size() * 8 / 0.522) << 522;
    }
    void mpegFrameWalk()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, bitrateType);
        QFETCH(int, bitrate);
        QFETCH(int, duration);
        const AudioProperties p = readBytes(MpegCodecIo::instance(), bytes);
        QVERIFY(p.valid);
        QCOMPARE(p.codec, int(AudioCodec::Mpeg));
        QCOMPARE(p.container, int(AudioContainer::None));
        QCOMPARE(p.codecName, QStringLiteral("MP3"));
        QCOMPARE(p.codecFullName, QStringLiteral("MPEG-1 Layer 3"));
        QCOMPARE(p.compression, int(CompressionType::Lossy));
        QCOMPARE(p.sampleRate, 44100);
        QCOMPARE(p.channels, 2);
        QCOMPARE(p.bitrateType, bitrateType);
        QCOMPARE(p.duration, duration);
        QCOMPARE(p.bitrate, bitrate);
        QCOMPARE(p.fileSize, qint64(bytes.size()));
    }

    void mpegVbrHeaders_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("bitrateType");
        QTest::addColumn<qint64>("audioSize");
        QTest::addColumn<int>("duration");

        const QByteArray rest = mpegFrames(mp3Header128, 9);
        QByteArray info = mpegFrameWith(mp3Header128, 36, ByteBuilder().ascii("Info").be32(1).be32(1000)) + rest;
        QTest::newRow("Info with 1000 frames") << info << 0 << qint64(info.size()) << 26122;
        QByteArray xing =
            mpegFrameWith(mp3Header128, 36, ByteBuilder().ascii("Xing").be32(3).be32(1000).be32(2000)) + rest;
        QTest::newRow("Xing with frames and bytes") << xing << 1 << qint64(2000) << 26122;
        QByteArray xingLarger =
            mpegFrameWith(mp3Header128, 36, ByteBuilder().ascii("Xing").be32(3).be32(1000).be32(900000)) + rest;
        QTest::newRow("Xing byte count beyond the audio") << xingLarger << 1 << qint64(xingLarger.size()) << 26122;
        QByteArray vbri =
            mpegFrameWith(mp3Header128, 36, ByteBuilder().ascii("VBRI").zeros(6).be32(3000).be32(500)) + rest;
        QTest::newRow("VBRI") << vbri << 1 << qint64(3000) << 13061;
        // No frames in the Xing header: VBRI is looked for, then the walk decides.
        QByteArray xingNoFrames = mpegFrameWith(mp3Header128, 36, ByteBuilder().ascii("Xing").be32(0)) + rest;
        QTest::newRow("Xing without frame count") << xingNoFrames << 0 << qint64(xingNoFrames.size()) << 261;
    }
    void mpegVbrHeaders()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, bitrateType);
        QFETCH(qint64, audioSize);
        QFETCH(int, duration);
        const AudioProperties p = readBytes(MpegCodecIo::instance(), bytes);
        QCOMPARE(p.bitrateType, bitrateType);
        QCOMPARE(p.audioSize, audioSize);
        QCOMPARE(p.duration, duration);
        QCOMPARE(p.bitrate, CodecHeaderRules::bitrateOf(audioSize, duration));
    }

    void mpegVersions_data()
    {
        QTest::addColumn<quint32>("header");
        QTest::addColumn<int>("xingOffset");
        QTest::addColumn<QString>("codecName");
        QTest::addColumn<QString>("fullName");
        QTest::addColumn<int>("sampleRate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("samplesPerFrame");
        QTest::addColumn<int>("frameLength");
        // version 0 (2.5), layer 3, 64 kbit/s, 11025 Hz, single channel
        QTest::newRow("MPEG-2.5 layer 3 mono")
            << quint32(0xFFE380C0) << 13 << "MPEG-2.5 Layer 3" << "MPEG-2.5 Layer 3" << 11025 << 1 << 576 << 417;
        QTest::newRow("MPEG-2 layer 3 stereo")
            << quint32(0xFFF38000) << 21 << "MP3" << "MPEG-2 Layer 3" << 22050 << 2 << 576 << 208;
        QTest::newRow("MPEG-1 layer 2 mono")
            << quint32(0xFFFD90C0) << 21 << "MP2" << "MPEG-1 Layer 2" << 44100 << 1 << 1152 << 522;
        // 288 kbit/s, 48000 Hz: 72 slots of 4 bytes
        QTest::newRow("MPEG-1 layer 1 stereo")
            << quint32(0xFFFF9400) << 36 << "MP1" << "MPEG-1 Layer 1" << 48000 << 2 << 384 << 288;
    }
    void mpegVersions()
    {
        QFETCH(quint32, header);
        QFETCH(int, xingOffset);
        QFETCH(QString, codecName);
        QFETCH(QString, fullName);
        QFETCH(int, sampleRate);
        QFETCH(int, channels);
        QFETCH(int, samplesPerFrame);
        QFETCH(int, frameLength);
        // An Info header at the version's offset proves the offset; 100 frames give the
        // duration. The one frame ends with the stream, so nothing contradicts its header.
        QByteArray bytes =
            ByteBuilder().be32(header).padTo(xingOffset).ascii("Info").be32(1).be32(100).padTo(frameLength);
        const AudioProperties p = readBytes(MpegCodecIo::instance(), bytes);
        QCOMPARE(p.codecName, codecName);
        QCOMPARE(p.codecFullName, fullName);
        QCOMPARE(p.sampleRate, sampleRate);
        QCOMPARE(p.channels, channels);
        QCOMPARE(p.duration, int(100.0 * samplesPerFrame / (sampleRate / 1000.0)));
    }

    void mpegWalkOfOtherLayers()
    {
        // Layer 1 frames count in 4-byte slots: 384 kbit/s at 48000 Hz is 12 * 384000 / 48000
        // = 96 slots, 384 bytes; layer 1 at 48000 Hz confirms after 1250 frames.
        const QByteArray frame = ByteBuilder().be32(0xFFFFC400).padTo(384);
        const QByteArray bytes = frame.repeated(30);
        const AudioProperties p = readBytes(MpegCodecIo::instance(), bytes);
        QCOMPARE(p.bitrateType, 0);
        QCOMPARE(p.duration, 240); // 30 * 384 / 48
        QCOMPARE(p.bitrate, 384000);
    }

    void mpegSearchStaysInsideTheAudio()
    {
        // Frames lie behind the audio range (in the end tags): none may be found there.
        const QByteArray bytes = QByteArray(100, '\0') + mpegFrames(mp3Header128, 5);
        QCOMPARE(errorCode(MpegCodecIo::instance(), bytes, 100), quint32(MpegCodecIo::NoFrameSync));
        // A walk that meets a frame-like pattern behind the audio ignores it.
        const QByteArray frames = mpegFrames(mp3Header128, 20);
        const AudioProperties p =
            readBytes(MpegCodecIo::instance(), frames + QByteArray(50, 'x') + mpegFrames(mp3Header160, 5), frames.size() + 50);
        QCOMPARE(p.bitrateType, 0);
        QCOMPARE(p.duration, 522);
    }

    void mpegErrors_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint32>("code");
        QTest::newRow("16 KiB of zeros") << QByteArray(0x4000, '\0') + mpegFrames(mp3Header128, 2)
                                         << quint32(MpegCodecIo::NoFrameSync);
        QTest::newRow("empty") << QByteArray() << quint32(MpegCodecIo::NoFrameSync);
        QTest::newRow("two bytes") << QByteArray("\xFF\xFB") << quint32(MpegCodecIo::NoFrameSync);
    }
    void mpegErrors()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint32, code);
        QCOMPARE(errorCode(MpegCodecIo::instance(), bytes), code);
    }

    void findFrameSync_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("found");
        QTest::newRow("at the start") << QByteArray("\xFF\xFB\x90\x00", 4) << qint64(0);
        // The header straddles the first 1 KiB chunk: found when the next chunk re-reads it.
        QTest::newRow("across chunks") << QByteArray(1022, 'a') + QByteArray("\xFF\xFB\x90\x00", 4) << qint64(1022);
        QTest::newRow("reserved version skipped")
            << QByteArray("\xFF\xEB\x90\x00\xFF\xFB\x90\x00", 8) << qint64(4);
        QTest::newRow("bitrate index 15 skipped") << QByteArray("\xFF\xFB\xF0\x00\xFF\xFB\x90\x00", 8) << qint64(4);
        QTest::newRow("sample rate 3 skipped") << QByteArray("\xFF\xFB\x9C\x00\xFF\xFB\x90\x00", 8) << qint64(4);
    }
    void findFrameSync()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, found);
        IoStream stream(bytes, QIODevice::ReadOnly);
        MpegCodecIo::findFrameSync(&stream, 0x4000);
        QCOMPARE(stream.pos(), found);
    }

    // The first frame counts only where the next header agrees with it.
    void mpegFirstFrame_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("found"); // -1: no frame
        const QByteArray frames = mpegFrames(mp3Header128, 3);
        const QByteArray chance = ByteBuilder().be32(mp3Header128).padTo(100).bytes;
        QTest::newRow("chance header, frames behind") << chance + frames << qint64(100);
        // MPEG-2 (0xFFF3...) where the 128 kbit/s MPEG-1 frame ends: not the same stream.
        QTest::newRow("next header of another version")
            << mpegFrame(mp3Header128) + ByteBuilder().be32(0xFFF39000).padTo(400).bytes << qint64(-1);
        QTest::newRow("one frame ending the stream") << mpegFrame(mp3Header128) << qint64(0);
        QTest::newRow("one frame cut short") << mpegFrame(mp3Header128).left(300) << qint64(-1);
        // Free format, MPEG-1 layer 3: three headers 600 bytes apart, or two and the end.
        const QByteArray freeFrame = ByteBuilder().be32(0xFFFB0000).padTo(600).bytes;
        QTest::newRow("free format") << freeFrame.repeated(3) << qint64(0);
        QTest::newRow("free format, two frames") << freeFrame.repeated(2) << qint64(0);
        QTest::newRow("free format, uneven") << freeFrame + ByteBuilder().be32(0xFFFB0000).padTo(900).bytes
                                                    + freeFrame << qint64(-1);
    }
    void mpegFirstFrame()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, found);
        IoStream stream(bytes, QIODevice::ReadOnly);
        try {
            MpegCodecIo::findFirstFrame(&stream, 0x4000, bytes.size());
            QCOMPARE(stream.pos(), found);
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(MpegCodecIo::NoFrameSync));
            QCOMPARE(found, qint64(-1));
        }
    }

    void monkeysAudio_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("fullName");
        QTest::addColumn<int>("bitsPerSample");
        QTest::addColumn<int>("duration");
        QTest::newRow("3.99 new layout")
            << monkeysNew(3990, 52, 4000, 73728, 1000, 10) << "Monkey's Audio Codec 3.99 (extra high compression)" << 16
            << 15069;
        // A descriptor shorter than 52 bytes: the header is read at 52 all the same.
        QTest::newRow("descriptor size 30")
            << monkeysNew(3990, 30, 2000, 73728, 1000, 10) << "Monkey's Audio Codec 3.99 (normal compression)" << 16
            << 15069;
        QTest::newRow("descriptor size 80, level without name")
            << monkeysNew(4000, 80, 1234, 4410, 4410, 2) << "Monkey's Audio Codec 4.0" << 16 << 200;
        QTest::newRow("3.97 old layout, 294912 blocks")
            << monkeysOld(3970, 4000, 2, 100) << "Monkey's Audio Codec 3.97 (extra high compression)" << 0
            << int((294912 + 100) / 44.1);
        QTest::newRow("3.81 at level 4000, 73728 blocks")
            << monkeysOld(3810, 4000, 2, 100) << "Monkey's Audio Codec 3.81 (extra high compression)" << 0
            << int((73728 + 100) / 44.1);
        QTest::newRow("3.81 at level 3000, 9216 blocks")
            << monkeysOld(3810, 3000, 2, 100) << "Monkey's Audio Codec 3.81 (high compression)" << 0
            << int((9216 + 100) / 44.1);
        QTest::newRow("no frames") << monkeysOld(3951, 5000, 0, 100) << "Monkey's Audio Codec 3.951 (insane compression)"
                                   << 0 << 0;
    }
    void monkeysAudio()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, fullName);
        QFETCH(int, bitsPerSample);
        QFETCH(int, duration);
        const AudioProperties p = readBytes(MonkeysAudioCodecIo::instance(), bytes, 100000);
        QCOMPARE(p.codec, int(AudioCodec::MonkeysAudio));
        QCOMPARE(p.codecName, QStringLiteral("MAC"));
        QCOMPARE(p.codecFullName, fullName);
        QCOMPARE(p.channels, 2);
        QCOMPARE(p.sampleRate, 44100);
        QCOMPARE(p.bitsPerSample, bitsPerSample);
        QCOMPARE(p.duration, duration);
        QCOMPARE(p.bitrate, CodecHeaderRules::bitrateOf(100000, duration));
        QCOMPARE(p.bitrateType, int(BitrateType::Variable));
        QCOMPARE(p.compression, int(CompressionType::Lossless));
    }

    void optimFrog_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint16>("encoderId");
        QTest::addColumn<QString>("fullName");
        QTest::addColumn<int>("compression");
        QTest::newRow("lossless") << "a.ofr" << quint16(0x0140) << "OptimFROG 4.520" << 1;
        QTest::newRow("DualStream, suffix upper case") << "/music/a.OFS" << quint16(0x0140) << "OptimFROG DualStream 4.520"
                                                       << 0;
        QTest::newRow("version parts not padded") << "a.ofr" << quint16(503 << 4) << "OptimFROG 5.3" << 1;
    }
    void optimFrog()
    {
        QFETCH(QString, name);
        QFETCH(quint16, encoderId);
        QFETCH(QString, fullName);
        QFETCH(int, compression);
        const QByteArray bytes =
            ByteBuilder().ascii("OFR ").le32(15).le32(88200).le16(0).u8(2).u8(1).le32(44100).le16(encoderId).padTo(40);
        const AudioProperties p = readBytes(OptimFrogCodecIo::instance(), bytes, 1000, name);
        QCOMPARE(p.codec, int(AudioCodec::OptimFrog));
        QCOMPARE(p.codecFullName, fullName);
        QCOMPARE(p.compression, compression);
        QCOMPARE(p.channels, 2);
        QCOMPARE(p.bitsPerSample, 16);
        QCOMPARE(p.duration, 1000);
        QCOMPARE(p.bitrate, 8000);
    }

    void trueAudioRateZero()
    {
        const QByteArray bytes = ByteBuilder().ascii("TTA1").le16(1).le16(2).le16(16).le32(0).le32(44100).padTo(22);
        const AudioProperties p = readBytes(TrueAudioCodecIo::instance(), bytes);
        QVERIFY(p.valid);
        QCOMPARE(p.duration, 0);
        QCOMPARE(p.bitrate, 0);
        QCOMPARE(p.channels, 2);
    }

    void wavPack_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("compression");
        QTest::addColumn<int>("duration");
        QTest::newRow("total in the first block") << wavPackBlock(44100, 0, 22050, wavPackFlags) << 2 << 1 << 1000;
        QTest::newRow("mono hybrid") << wavPackBlock(44100, 0, 22050, wavPackFlags | 4 | 8) << 1 << 0 << 1000;
        QByteArray unknown = wavPackBlock(0xFFFFFFFF, 0, 22050, wavPackFlags)
                             + wavPackBlock(0xFFFFFFFF, 22050, 22050, wavPackFlags)
                             + wavPackBlock(0xFFFFFFFF, 44100, 22050, wavPackFlags);
        QTest::newRow("unknown total, three blocks") << unknown << 2 << 1 << 1500;
        // A stream cut out of a longer one: its first block does not start at sample 0.
        QByteArray cut = wavPackBlock(88200, 44100, 22050, wavPackFlags)
                         + wavPackBlock(88200, 66150, 22050, wavPackFlags);
        QTest::newRow("first index not 0") << cut << 2 << 1 << 1000;
        // Four channels: two blocks per group share index and samples; only the first counts.
        const quint32 first = wavPackFlags & ~(1u << 12);
        const quint32 last = wavPackFlags & ~(1u << 11);
        QByteArray quad = wavPackBlock(0xFFFFFFFF, 0, 22050, first) + wavPackBlock(0xFFFFFFFF, 0, 22050, last)
                          + wavPackBlock(0xFFFFFFFF, 22050, 22050, first) + wavPackBlock(0xFFFFFFFF, 22050, 22050, last);
        QTest::newRow("block groups") << quad << 2 << 1 << 1000;
    }
    void wavPack()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, channels);
        QFETCH(int, compression);
        QFETCH(int, duration);
        const AudioProperties p = readBytes(WavPackCodecIo::instance(), bytes);
        QCOMPARE(p.codec, int(AudioCodec::WavPack));
        QCOMPARE(p.bitrateType, int(BitrateType::Constant));
        QCOMPARE(p.bitsPerSample, 16);
        QCOMPARE(p.sampleRate, 44100);
        QCOMPARE(p.channels, channels);
        QCOMPARE(p.compression, compression);
        QCOMPARE(p.duration, duration);
    }

    void takStreams_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("sampleRate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("fullName");
        const QByteArray info = takStreamInfo(88200, 44100 - 6000, 8, 1, false);
        const QByteArray encoder = ByteBuilder().u8(4).le24(3).u8(5).u8(1).u8(2);
        QTest::newRow("stream information") << ByteBuilder().ascii("tBaK").raw(info).u8(0).bytes << 44100 << 2
                                            << "TAK lossless audio compressor";
        QTest::newRow("encoder before stream information")
            << ByteBuilder().ascii("tBaK").raw(encoder).raw(info).u8(0).bytes << 44100 << 2
            << "TAK lossless audio compressor 2.1.5";
        QTest::newRow("rate bits all 0, other objects skipped")
            << ByteBuilder().ascii("tBaK").u8(2).le24(5).zeros(5).raw(takStreamInfo(6000, 0, 8, 0, false)).bytes << 6000
            << 1 << "TAK lossless audio compressor";
        // The top bit of the channel field flags an extension; it is no part of the count.
        QTest::newRow("channel layout extension")
            << ByteBuilder().ascii("tBaK").raw(takStreamInfo(88200, 44100 - 6000, 8, 5, true)).bytes << 44100 << 6
            << "TAK lossless audio compressor";
    }
    void takStreams()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, sampleRate);
        QFETCH(int, channels);
        QFETCH(QString, fullName);
        const AudioProperties p = readBytes(TakCodecIo::instance(), bytes);
        QCOMPARE(p.codec, int(AudioCodec::Tak));
        QCOMPARE(p.sampleRate, sampleRate);
        QCOMPARE(p.channels, channels);
        QCOMPARE(p.bitsPerSample, 16);
        QCOMPARE(p.codecFullName, fullName);
        QCOMPARE(p.duration, sampleRate == 6000 ? 1000 : 2000);
    }

    void musePack_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("sampleRate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("duration");
        // SV8: a packet of another key first, skipped by its size (2 key bytes, 1 size byte, 3 payload).
        const QByteArray sh = ByteBuilder().ascii("SH").u8(11).zeros(5).u8(0x82).u8(0xF7).u8(0x00).u8(0).u8(0x20).u8(0x10);
        QTest::newRow("SV8 after another packet")
            << ByteBuilder().ascii("MPCK").ascii("XX").u8(6).ascii("abc").raw(sh).bytes << 48000 << 2 << 1000;
        QTest::newRow("SV8 without SH") << ByteBuilder().ascii("MPCK").ascii("XX").u8(6).ascii("abc").bytes << 0 << 0
                                        << 0;
        QTest::newRow("SV7") << musePackSv7(0x07, 40, 0, 1000) << 44100 << 2 << int((39 * 1152 + 1000 - 481) / 44.1);
        QTest::newRow("SV7 below 481 samples") << musePackSv7(0x17, 1, 1, 400) << 48000 << 2 << 0;
    }
    void musePack()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, sampleRate);
        QFETCH(int, channels);
        QFETCH(int, duration);
        const AudioProperties p = readBytes(MusePackCodecIo::instance(), bytes);
        QCOMPARE(p.codec, int(AudioCodec::Musepack));
        QCOMPARE(p.codecName, QStringLiteral("MusePack"));
        QCOMPARE(p.compression, int(CompressionType::Lossy));
        QCOMPARE(p.bitrateType, int(BitrateType::Variable));
        QCOMPARE(p.sampleRate, sampleRate);
        QCOMPARE(p.channels, channels);
        QCOMPARE(p.duration, duration);
    }

    void readPacketSize_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint64>("value");
        QTest::addColumn<int>("length");
        QTest::newRow("one byte") << QByteArray("\x05", 1) << quint64(5) << 1;
        QTest::newRow("three bytes") << QByteArray("\x84\x84\x66", 3) << quint64(66150) << 3;
        QTest::newRow("64 bits in 10 bytes") << (QByteArray("\x81") + QByteArray(8, '\xFF') + '\x7F') << quint64(-1)
                                             << 10;
        QTest::newRow("beyond 64 bits") << (QByteArray("\x82") + QByteArray(8, '\xFF') + '\x7F') << quint64(0) << 0;
        QTest::newRow("eleven bytes") << (QByteArray(10, '\x80') + '\x01') << quint64(0) << 0;
    }
    void readPacketSize()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint64, value);
        QFETCH(int, length);
        IoStream stream(bytes, QIODevice::ReadOnly);
        int read = 0;
        try {
            QCOMPARE(MusePackCodecIo::readPacketSize(&stream, &read), value);
            QCOMPARE(read, length);
        } catch (const Exception &e) {
            QCOMPARE(length, 0);
            QCOMPARE(e.code, quint32(MusePackCodecIo::DamagedPacketSize));
        }
    }

    void headerErrors_data()
    {
        QTest::addColumn<ICodecIo *>("io");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint32>("code");
        QTest::addColumn<QVariantList>("arguments");
        const QVariant name = QStringLiteral("memory");
        QTest::newRow("Monkey's Audio magic") << static_cast<ICodecIo *>(MonkeysAudioCodecIo::instance())
                                              << QByteArray("MAX ......................") << quint32(0x732A7CDD)
                                              << QVariantList{name};
        QTest::newRow("OptimFROG magic") << static_cast<ICodecIo *>(OptimFrogCodecIo::instance())
                                         << QByteArray("OFRX......................") << quint32(0x4FC0F8AC)
                                         << QVariantList{name};
        QTest::newRow("OptimFROG header size 14")
            << static_cast<ICodecIo *>(OptimFrogCodecIo::instance()) << ByteBuilder().ascii("OFR ").le32(14).padTo(30).bytes
            << quint32(0xC95EC11B) << QVariantList{name, 14u};
        QTest::newRow("TrueAudio magic") << static_cast<ICodecIo *>(TrueAudioCodecIo::instance())
                                         << QByteArray("TTA2..................") << quint32(0xD577D3BE)
                                         << QVariantList{name};
        QTest::newRow("WavPack magic") << static_cast<ICodecIo *>(WavPackCodecIo::instance()) << QByteArray(64, 'w')
                                       << quint32(0x2D7CE90B) << QVariantList{name};
        QTest::newRow("WavPack later magic")
            << static_cast<ICodecIo *>(WavPackCodecIo::instance())
            << (wavPackBlock(0xFFFFFFFF, 0, 22050, wavPackFlags) + QByteArray(64, 'x')) << quint32(0x14CD120A)
            << QVariantList{name};
        QTest::newRow("WavPack index 0 again")
            << static_cast<ICodecIo *>(WavPackCodecIo::instance())
            << (wavPackBlock(0xFFFFFFFF, 0, 22050, wavPackFlags) + wavPackBlock(0xFFFFFFFF, 0, 22050, wavPackFlags))
            << quint32(0xEF622C0C) << QVariantList{name, qint64(22050)};
        QTest::newRow("TAK magic") << static_cast<ICodecIo *>(TakCodecIo::instance()) << QByteArray("tBaX....")
                                   << quint32(0x691E8BF8) << QVariantList{name};
        QTest::newRow("TAK stream information of 9 bytes")
            << static_cast<ICodecIo *>(TakCodecIo::instance()) << ByteBuilder().ascii("tBaK").u8(1).le24(9).zeros(9).bytes
            << quint32(0xCBEAE4AD) << QVariantList{name, 9, 1};
        QTest::newRow("TAK encoder information of 2 bytes")
            << static_cast<ICodecIo *>(TakCodecIo::instance()) << ByteBuilder().ascii("tBaK").u8(4).le24(2).zeros(2).bytes
            << quint32(0x271DDB7C) << QVariantList{name, 2, 4};
        QTest::newRow("TAK without stream information")
            << static_cast<ICodecIo *>(TakCodecIo::instance()) << ByteBuilder().ascii("tBaK").u8(2).le24(0).u8(0).bytes
            << quint32(0x757F0ACA) << QVariantList{name};
        QTest::newRow("Musepack magic") << static_cast<ICodecIo *>(MusePackCodecIo::instance())
                                        << QByteArray("MP-7............") << quint32(0x1A2260FF)
                                        << QVariantList{name, -1};
        QTest::newRow("Musepack SV7 version 6") << static_cast<ICodecIo *>(MusePackCodecIo::instance())
                                                << musePackSv7(0x06, 1, 0, 0) << quint32(0x5EAB6855)
                                                << QVariantList{name, 6};
        // A size that counts less than the key and the size itself would never move on.
        QTest::newRow("Musepack packet shorter than its header")
            << static_cast<ICodecIo *>(MusePackCodecIo::instance()) << ByteBuilder().ascii("MPCKXX").u8(2).zeros(20).bytes
            << quint32(MusePackCodecIo::DamagedPacketSize) << QVariantList{name, qint64(4)};
        QTest::newRow("Musepack packet size beyond 64 bits")
            << static_cast<ICodecIo *>(MusePackCodecIo::instance())
            << (ByteBuilder().ascii("MPCKXX").u8(0x82).fill('\xFF', 8).u8(0x7F).zeros(10).bytes)
            << quint32(MusePackCodecIo::DamagedPacketSize) << QVariantList{name, qint64(6)};
    }
    void headerErrors()
    {
        QFETCH(ICodecIo *, io);
        QFETCH(QByteArray, bytes);
        QFETCH(quint32, code);
        QFETCH(QVariantList, arguments);
        try {
            readBytes(io, bytes);
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, code);
            QCOMPARE(e.arguments, arguments);
        }
    }

    // Properties of files made by Debian's encoders, as ffprobe and python3-mutagen report them.
    void realFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<ICodecIo *>("io");
        QTest::addColumn<int>("sampleRate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("bitsPerSample");
        QTest::addColumn<int>("bitrateType");
        QTest::addColumn<int>("compression");
        QTest::addColumn<int>("duration");  // as the tools report it, in ms
        QTest::addColumn<int>("tolerance"); // one frame
        QTest::addColumn<QString>("fullName");
        auto *mpeg = static_cast<ICodecIo *>(MpegCodecIo::instance());
        QTest::newRow("lame CBR with Info") << "cbr-info.mp3" << mpeg << 16000 << 2 << 0 << 0 << 0 << 1584 << 36
                                            << "MPEG-2 Layer 3";
        QTest::newRow("lame VBR with Xing") << "vbr-xing.mp3" << mpeg << 22050 << 2 << 0 << 1 << 0 << 1567 << 26
                                            << "MPEG-2 Layer 3";
        QTest::newRow("lame CBR without header")
            << "cbr-noheader-mpeg2.mp3" << mpeg << 22050 << 1 << 0 << 0 << 0 << 1071 << 26 << "MPEG-2 Layer 3";
        QTest::newRow("ffmpeg TrueAudio") << "trueaudio.tta" << static_cast<ICodecIo *>(TrueAudioCodecIo::instance())
                                          << 22050 << 1 << 16 << 1 << 1 << 1000 << 0 << "True Audio";
        QTest::newRow("wavpack") << "lossless.wv" << static_cast<ICodecIo *>(WavPackCodecIo::instance()) << 22050 << 1
                                 << 16 << 0 << 1 << 1000 << 0 << "WavPack";
        QTest::newRow("wavpack rate in a sub-block")
            << "rate37800.wv" << static_cast<ICodecIo *>(WavPackCodecIo::instance()) << 37800 << 2 << 16 << 0 << 1 << 500
            << 0 << "WavPack";
        QTest::newRow("mpcenc SV8") << "sv8.mpc" << static_cast<ICodecIo *>(MusePackCodecIo::instance()) << 44100 << 2
                                    << 0 << 1 << 0 << 1500 << 0 << "MusePack";
    }
    void realFiles()
    {
        QFETCH(QString, file);
        QFETCH(ICodecIo *, io);
        QFETCH(int, sampleRate);
        QFETCH(int, channels);
        QFETCH(int, bitsPerSample);
        QFETCH(int, bitrateType);
        QFETCH(int, compression);
        QFETCH(int, duration);
        QFETCH(int, tolerance);
        QFETCH(QString, fullName);
        IoStream stream(QStringLiteral(MELO_FIXTURES "/plain/") + file, QIODevice::ReadOnly);
        const AudioProperties p = io->readAudioProperties(&stream, stream.size());
        QVERIFY(p.valid);
        QCOMPARE(p.sampleRate, sampleRate);
        QCOMPARE(p.channels, channels);
        QCOMPARE(p.bitsPerSample, bitsPerSample);
        QCOMPARE(p.bitrateType, bitrateType);
        QCOMPARE(p.compression, compression);
        QCOMPARE(p.codecFullName, fullName);
        QVERIFY2(qAbs(p.duration - duration) <= tolerance, qPrintable(QString::number(p.duration)));
        QCOMPARE(p.fileSize, stream.size());
        QVERIFY(p.bitrate > 0);
    }
};

QTEST_GUILESS_MAIN(TestCodecHeaders)
#include "tst_codecheaders.moc"
