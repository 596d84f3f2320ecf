#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/asf/asfattribute.h"
#include "libtagging/asf/asfobject.h"
#include "libtagging/asf/asfstreamio.h"
#include "libtagging/model/audioproperties.h"
#include "libtagging/model/taginfo.h"

#include "support_bytebuilder.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

QByteArray guidBytes(const QUuid &guid)
{
    IoStream s(QIODevice::ReadWrite);
    s.writeUuid(guid, false);
    return s.data();
}

QByteArray le64(quint64 v)
{
    QByteArray b(8, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// One object: GUID, size (stored as given, or the real one), payload.
QByteArray object(const QUuid &guid, const QByteArray &payload, qint64 storedSize = -1)
{
    return guidBytes(guid) + le64(storedSize >= 0 ? storedSize : payload.size() + 24) + payload;
}

QByteArray header(const QList<QByteArray> &children)
{
    return object(AsfObject::headerGuid(),
                  ByteBuilder().le32(children.size()).u8(1).u8(2).raw(children.join()));
}

QByteArray extension(const QList<QByteArray> &children)
{
    const QByteArray body = children.join();
    return object(AsfObject::headerExtensionGuid(),
                  ByteBuilder().raw(guidBytes(QUuid(QStringLiteral("ABD3D211-A9BA-11CF-8EE6-00C00C205365"))))
                      .le16(6)
                      .le32(body.size())
                      .raw(body));
}

QByteArray dataObject(qint64 payloadSize)
{
    return object(AsfObject::dataGuid(), QByteArray(payloadSize, '\0'));
}

QByteArray fileProperties(quint64 playDuration100ns, quint64 prerollMs, int ownSize = 80)
{
    return object(AsfObject::filePropertiesGuid(),
                  ByteBuilder().zeros(40).raw(le64(playDuration100ns)).zeros(8).raw(le64(prerollMs)).padTo(ownSize).bytes.left(ownSize));
}

QByteArray streamProperties(const QUuid &type, quint16 formatTag, quint16 channels, quint32 rate,
                            quint32 bytesPerSecond)
{
    return object(AsfObject::streamPropertiesGuid(),
                  ByteBuilder()
                      .raw(guidBytes(type))
                      .zeros(54 - 16)
                      .le16(formatTag)
                      .le16(channels)
                      .le32(rate)
                      .le32(bytesPerSecond)
                      .le16(4)
                      .le16(16)
                      .le16(0));
}

QByteArray bitrateProperties(quint32 bitrate)
{
    return object(AsfObject::streamBitratePropertiesGuid(), ByteBuilder().le16(1).le16(1).le32(bitrate));
}

quint32 codeOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const Exception &e) {
        return e.code;
    }
    return 0;
}

const QUuid videoMedia(QStringLiteral("BC19EFC0-5B4D-11CF-A8FD-00805F5C442B"));

} // namespace

Q_DECLARE_METATYPE(AsfAttribute)

class TestAsf : public QObject
{
    Q_OBJECT

private slots:
    void guidByteOrder();
    void parseAndWriteBack();
    void parseDamaged_data();
    void parseDamaged();
    void updateSizeNeedsOwnData();
    void parseCutsAndSkips();
    void removeAllFixesCount();
    void audioProperties_data();
    void audioProperties();
    void audioPropertiesShortField();
    void addAttribute_data();
    void addAttribute();
    void tagTypesWithoutAsf();
    void realFile();
};

void TestAsf::guidByteOrder()
{
    QCOMPARE(guidBytes(AsfObject::headerGuid()),
             QByteArray::fromHex("3026B2758E66CF11A6D900AA0062CE6C"));
}

void TestAsf::parseAndWriteBack()
{
    const QByteArray content = object(AsfObject::contentDescriptionGuid(), ByteBuilder().le16(2).zeros(8).le16(0));
    const QByteArray library = object(AsfObject::metadataLibraryGuid(), ByteBuilder().le16(0));
    const QByteArray head = header({fileProperties(1, 2), content, extension({library})});
    IoStream stream(head + dataObject(100), QIODevice::ReadOnly);
    QObject parent;
    const QList<AsfObject *> objects = AsfStreamIo::parseObjects(&stream, stream.size(), -1, &parent);
    AsfStreamIo::checkHeader(&stream, objects);
    QCOMPARE(objects.size(), 2);
    QCOMPARE(objects.at(0)->children.size(), 3);
    QCOMPARE(objects.at(1)->guid, AsfObject::dataGuid());
    QCOMPARE(objects.at(1)->offset, head.size());
    QCOMPARE(objects.at(1)->dataSize, 100);
    QVERIFY(objects.at(1)->data.isEmpty());

    // The library object nested in the extension is found from the top.
    const QList<AsfObject *> found = AsfObject::findAll(objects, AsfObject::metadataLibraryGuid());
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first()->data, QByteArray(2, '\0'));

    IoStream out(QIODevice::ReadWrite);
    QCOMPARE(objects.first()->updateSize(&out), head.size());
    objects.first()->write(&out);
    QCOMPARE(out.data(), head);
}

void TestAsf::parseDamaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<quint32>("code");
    QTest::addColumn<qint64>("length"); // -1: the stream size

    QTest::newRow("shorter than an object") << QByteArray(24, 'x') << quint32(AsfObject::NoHeaderObject) << qint64(-1);
    QTest::newRow("first object not the header")
        << object(AsfObject::dataGuid(), QByteArray(8, '\0')) << quint32(AsfObject::NoHeaderObject) << qint64(-1);
    QTest::newRow("size below header") << object(AsfObject::headerGuid(), QByteArray(6, '\0'), 23)
                                       << quint32(AsfObject::SizeBelowHeader) << qint64(-1);
    QTest::newRow("payload above 128 MiB")
        << object(AsfObject::paddingGuid(), QByteArray(8, '\0'), 128 * 1024 * 1024 + 25)
        << quint32(AsfObject::PayloadTooLarge) << qint64(256) * 1024 * 1024;
    // Each object claims to hold the rest of the file, so only a cap stops the descent.
    QByteArray nested;
    for (int i = 0; i < 100000; ++i)
        nested += guidBytes(AsfObject::headerGuid()) + le64(quint64(-1)) + QByteArray(6, '\0');
    QTest::newRow("headers nested without end") << nested << quint32(AsfObject::NestedTooDeeply) << qint64(-1);
}

void TestAsf::parseDamaged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(quint32, code);
    QFETCH(qint64, length);
    IoStream stream(bytes, QIODevice::ReadOnly);
    QObject parent;
    const quint32 got = codeOf([&] {
        const QList<AsfObject *> objects =
            AsfStreamIo::parseObjects(&stream, length < 0 ? stream.size() : length, -1, &parent);
        AsfStreamIo::checkHeader(&stream, objects);
    });
    QCOMPARE(got, code);
}

void TestAsf::updateSizeNeedsOwnData()
{
    // An extension cut inside its own data parses, but its size field cannot be rewritten.
    IoStream stream(header({object(AsfObject::headerExtensionGuid(), QByteArray(10, '\0'))}), QIODevice::ReadOnly);
    QObject parent;
    const QList<AsfObject *> objects = AsfStreamIo::parseObjects(&stream, stream.size(), -1, &parent);
    QCOMPARE(objects.first()->children.first()->data.size(), 10);
    QCOMPARE(codeOf([&] { objects.first()->updateSize(&stream); }), quint32(AsfObject::ExtensionWithoutData));
}

void TestAsf::parseCutsAndSkips()
{
    // Header claims 1000 bytes more than the file has; an empty padding object at the end.
    const QByteArray title = object(AsfObject::contentDescriptionGuid(), QByteArray(10, 'a'));
    const QByteArray padding = object(AsfObject::paddingGuid(), QByteArray());
    QByteArray bytes = header({title, padding});
    qToLittleEndian(quint64(bytes.size() + 1000), bytes.data() + 16);
    IoStream stream(bytes, QIODevice::ReadOnly);
    QObject parent;
    const QList<AsfObject *> objects = AsfStreamIo::parseObjects(&stream, stream.size(), -1, &parent);
    QCOMPARE(objects.size(), 1);
    QCOMPARE(objects.first()->size, bytes.size());
    QCOMPARE(objects.first()->children.size(), 1);
    QCOMPARE(objects.first()->children.first()->guid, AsfObject::contentDescriptionGuid());
}

void TestAsf::removeAllFixesCount()
{
    const QByteArray content = object(AsfObject::contentDescriptionGuid(), ByteBuilder().zeros(10));
    const QByteArray keep = object(AsfObject::paddingGuid(), QByteArray(3, 'p'));
    const QByteArray ext = extension({content, keep});
    IoStream stream(header({content, ext, keep}), QIODevice::ReadOnly);
    QObject parent;
    QList<AsfObject *> objects = AsfStreamIo::parseObjects(&stream, stream.size(), -1, &parent);
    AsfObject::removeAll(objects, AsfObject::contentDescriptionGuid());
    QVERIFY(AsfObject::findAll(objects, AsfObject::contentDescriptionGuid()).isEmpty());
    QCOMPARE(AsfObject::findAll(objects, AsfObject::paddingGuid()).size(), 2);

    IoStream out(QIODevice::ReadWrite);
    objects.first()->updateSize(&out);
    objects.first()->write(&out);
    QCOMPARE(out.data(), header({extension({keep}), keep}));
}

void TestAsf::audioProperties_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("duration");
    QTest::addColumn<int>("bitrate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<int>("codec");
    QTest::addColumn<int>("compression");
    QTest::addColumn<int>("bitrateType");
    QTest::addColumn<QString>("codecFullName");

    const QUuid audio = AsfObject::audioMediaGuid();
    QTest::newRow("duration less preroll, wma2")
        << header({fileProperties(300000000, 3000), streamProperties(audio, 0x161, 2, 44100, 16000)})
               + dataObject(10)
        << 27000 << 128000 << 2 << 44100 << int(AudioCodec::Wma) << int(CompressionType::Lossy)
        << int(BitrateType::Variable) << QStringLiteral("Windows Media Audio version 2");
    QTest::newRow("duration from bitrate and audio size")
        << header({bitrateProperties(128000)}) + dataObject(480000) << 30000 << 128000 << 0 << 0
        << int(AudioCodec::Wma) << int(CompressionType::Unknown) << int(BitrateType::Variable) << QString();
    QTest::newRow("bitrate from audio size and duration")
        << header({fileProperties(300000000, 0), streamProperties(audio, 0x162, 1, 48000, 0)})
               + dataObject(480000)
        << 30000 << 128000 << 1 << 48000 << int(AudioCodec::Wma) << int(CompressionType::Lossy)
        << int(BitrateType::Variable) << QStringLiteral("Windows Media Audio Professional");
    QTest::newRow("video stream first")
        << header({streamProperties(videoMedia, 0x161, 2, 44100, 16000),
                   streamProperties(audio, 0x161, 2, 44100, 16000)})
        << 0 << 0 << 0 << 0 << int(AudioCodec::Wma) << int(CompressionType::Unknown)
        << int(BitrateType::Variable) << QString();
    QTest::newRow("lossless") << header({streamProperties(audio, 0x163, 2, 96000, 100000)}) << 0
                              << 800000 << 2 << 96000 << int(AudioCodec::Wma)
                              << int(CompressionType::Lossless) << int(BitrateType::Variable)
                              << QStringLiteral("Windows Media Audio Lossless");
    QTest::newRow("pcm") << header({streamProperties(audio, 1, 2, 8000, 32000)}) << 0 << 256000 << 2 << 8000
                         << int(AudioCodec::Pcm) << int(CompressionType::Lossless)
                         << int(BitrateType::Constant) << QStringLiteral("Pulse Code Modulation");
    QTest::newRow("short file properties use the stream times")
        << header({fileProperties(300000000, 0, 63),
                   object(AsfObject::extendedStreamPropertiesGuid(), le64(1000) + le64(5000))})
        << 4000 << 0 << 0 << 0 << int(AudioCodec::Wma) << int(CompressionType::Unknown)
        << int(BitrateType::Variable) << QString();
    // Damaged values: a preroll longer than the play, an end before the start, a byte rate
    // whose bits do not fit an int. None may go negative or overflow.
    QTest::newRow("preroll above play duration")
        << header({fileProperties(10000000, 5000), bitrateProperties(64000)}) + dataObject(8000) << 1000
        << 64000 << 0 << 0 << int(AudioCodec::Wma) << int(CompressionType::Unknown)
        << int(BitrateType::Variable) << QString();
    QTest::newRow("stream end before start")
        << header({object(AsfObject::extendedStreamPropertiesGuid(), le64(5000) + le64(1000))}) << 0 << 0
        << 0 << 0 << int(AudioCodec::Wma) << int(CompressionType::Unknown) << int(BitrateType::Variable)
        << QString();
    QTest::newRow("huge byte rate") << header({streamProperties(audio, 0x160, 2, 0xFFFFFFFF, 0xFFFFFFFF)})
                                    << 0 << std::numeric_limits<int>::max() << 2
                                    << std::numeric_limits<int>::max() << int(AudioCodec::Wma)
                                    << int(CompressionType::Lossy) << int(BitrateType::Variable)
                                    << QStringLiteral("Windows Media Audio version 1");
}

void TestAsf::audioProperties()
{
    QFETCH(QByteArray, bytes);
    IoStream stream(bytes, QIODevice::ReadOnly);
    const AudioProperties p = AsfStreamIo::instance()->readAudioProperties(&stream, nullptr);
    QVERIFY(p.valid);
    QCOMPARE(p.container, int(AudioContainer::Asf));
    QTEST(p.duration, "duration");
    QTEST(p.bitrate, "bitrate");
    QTEST(p.channels, "channels");
    QTEST(p.sampleRate, "sampleRate");
    QTEST(p.codec, "codec");
    QTEST(p.compression, "compression");
    QTEST(p.bitrateType, "bitrateType");
    QTEST(p.codecFullName, "codecFullName");
    QCOMPARE(p.fileSize, bytes.size());
    QCOMPARE(p.bitsPerSample, 0);
}

void TestAsf::audioPropertiesShortField()
{
    // A record count without the record: the short read fails the call.
    IoStream stream(header({object(AsfObject::streamBitratePropertiesGuid(), ByteBuilder().le16(1).le16(1))}),
                    QIODevice::ReadOnly);
    QCOMPARE(codeOf([&] { AsfStreamIo::instance()->readAudioProperties(&stream, nullptr); }), 0xed254e67u);
    IoStream notAsf(QByteArray(100, 'x'), QIODevice::ReadOnly);
    QVERIFY(codeOf([&] { AsfStreamIo::instance()->readAudioProperties(&notAsf, nullptr); }) != 0);
}

void TestAsf::addAttribute_data()
{
    QTest::addColumn<AsfAttribute>("attribute");
    QTest::addColumn<QByteArray>("descriptor");
    QTest::addColumn<QByteArray>("record");

    const QByteArray nameAb = QByteArray::fromHex("410042000000"); // "AB" in UTF-16LE with NUL
    QTest::newRow("text descriptor")
        << AsfAttribute{QStringLiteral("AB"), QByteArray::fromHex("78000000"), AsfAttributeType::UnicodeString, 0, 0}
        << ByteBuilder().le16(6).raw(nameAb).le16(0).le16(4).raw(QByteArray::fromHex("78000000")).bytes
        << QByteArray();
    QTest::newRow("bool descriptor normalised")
        << AsfAttribute{QStringLiteral("AB"), QByteArray::fromHex("00000002"), AsfAttributeType::Bool, 0, 0}
        << ByteBuilder().le16(6).raw(nameAb).le16(2).le16(4).raw(QByteArray::fromHex("01000000")).bytes
        << QByteArray();
    QTest::newRow("empty bool is false")
        << AsfAttribute{QStringLiteral("AB"), QByteArray(), AsfAttributeType::Bool, 0, 0}
        << ByteBuilder().le16(6).raw(nameAb).le16(2).le16(4).zeros(4).bytes << QByteArray();
    QTest::newRow("stream number needs a record")
        << AsfAttribute{QStringLiteral("AB"), QByteArray::fromHex("78000000"), AsfAttributeType::UnicodeString, 0, 1}
        << QByteArray()
        << ByteBuilder().le16(0).le16(1).le16(6).le16(0).le32(4).raw(nameAb).raw(QByteArray::fromHex("78000000")).bytes;
    QTest::newRow("bool record has two bytes")
        << AsfAttribute{QStringLiteral("AB"), QByteArray::fromHex("01"), AsfAttributeType::Bool, 2, 0} << QByteArray()
        << ByteBuilder().le16(2).le16(0).le16(6).le16(2).le32(2).raw(nameAb).raw(QByteArray::fromHex("0100")).bytes;
    const QByteArray guid = guidBytes(AsfObject::headerGuid());
    QTest::newRow("guid needs a record")
        << AsfAttribute{QStringLiteral("AB"), guid, AsfAttributeType::Guid, 0, 0} << QByteArray()
        << ByteBuilder().le16(0).le16(0).le16(6).le16(6).le32(16).raw(nameAb).raw(guid).bytes;
    const QByteArray big(70000, 'b');
    QTest::newRow("value past 64 KiB needs a record")
        << AsfAttribute{QStringLiteral("AB"), big, AsfAttributeType::ByteArray, 0, 0} << QByteArray()
        << ByteBuilder().le16(0).le16(0).le16(6).le16(1).le32(70000).raw(nameAb).raw(big).bytes;
}

void TestAsf::addAttribute()
{
    QFETCH(AsfAttribute, attribute);
    QFETCH(QByteArray, descriptor);
    QFETCH(QByteArray, record);
    QList<QByteArray> descriptors;
    QList<QByteArray> records;
    // The same attribute twice is stored once.
    AsfStreamIo::addAttribute(attribute, descriptors, records);
    AsfStreamIo::addAttribute(attribute, descriptors, records);
    QCOMPARE(descriptors, descriptor.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{descriptor});
    QCOMPARE(records, record.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{record});
}

void TestAsf::tagTypesWithoutAsf()
{
    IoStream stream(QByteArray(100, 'x'), QIODevice::ReadOnly);
    QObject parent;
    QVERIFY(AsfStreamIo::instance()->readTags(&stream, {TagType::Id3v2}, nullptr, &parent).isEmpty());
    AsfStreamIo::instance()->removeTags(&stream, {TagType::Id3v2}, nullptr);
}

void TestAsf::realFile()
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        QSKIP("ffmpeg is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.wma"));
    QProcess p;
    p.start(ffmpeg, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                     QStringLiteral("-i"), QStringLiteral("sine=d=1"), QStringLiteral("-c:a"),
                     QStringLiteral("wmav2"), path});
    QVERIFY(p.waitForFinished(120000));
    if (p.exitCode() != 0)
        QSKIP("ffmpeg cannot encode WMA here");
    IoStream stream(path, QIODevice::ReadOnly);
    const AudioProperties props = AsfStreamIo::instance()->readAudioProperties(&stream, nullptr);
    QCOMPARE(props.codecFullName, QStringLiteral("Windows Media Audio version 2"));
    QCOMPARE(props.sampleRate, 44100);
    QCOMPARE(props.channels, 1);
    QVERIFY2(qAbs(props.duration - 1000) <= 100, qPrintable(QString::number(props.duration)));
    QVERIFY(props.bitrate > 0);
    QVERIFY(props.audioSize > 0 && props.audioSize < props.fileSize);
}

QTEST_GUILESS_MAIN(TestAsf)
#include "tst_asf.moc"
