#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/asf/asfattribute.h"
#include "libtagging/asf/asfobject.h"
#include "libtagging/asf/asfstreamio.h"
#include "libtagging/asf/asfattributetable.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audioproperties.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/languagetagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/releasecountrytagitem.h"
#include "libtagging/model/scripttagitem.h"
#include "libtagging/model/synchronizedlyricstagitem.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/model/unknownasfdatatagitem.h"
#include "libtagging/model/unknownasfstringtagitem.h"
#include "libtagging/model/userdefinedlinktagitem.h"
#include "libtagging/model/userdefinedtexttagitem.h"
#include "libcore/locale/localetables.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/text/stringutils.h"

#include "support_bytebuilder.h"
#include "support_tags.h"
#include "shared/support_skip.h"

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

using ItemValues = QList<QPair<int, QVariant>>;

const QUuid videoMedia(QStringLiteral("BC19EFC0-5B4D-11CF-A8FD-00805F5C442B"));

// UTF-16LE with the NUL, as ASF stores names and texts.
QByteArray utf16(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    return bytes + QByteArray(2, '\0');
}

QByteArray descriptor(const QString &name, int type, const QByteArray &value)
{
    return ByteBuilder().le16(utf16(name).size()).raw(utf16(name)).le16(type).le16(value.size()).raw(value);
}

QByteArray record(int language, int stream, const QString &name, int type, const QByteArray &value)
{
    return ByteBuilder()
        .le16(language)
        .le16(stream)
        .le16(utf16(name).size())
        .le16(type)
        .le32(value.size())
        .raw(utf16(name))
        .raw(value);
}

QByteArray listObject(const QUuid &guid, const QList<QByteArray> &entries)
{
    return object(guid, ByteBuilder().le16(entries.size()).raw(entries.join()));
}

QByteArray contentDescription(const QList<QByteArray> &texts)
{
    ByteBuilder b;
    for (const QByteArray &t : texts)
        b.le16(t.size());
    for (const QByteArray &t : texts)
        b.raw(t);
    return object(AsfObject::contentDescriptionGuid(), b);
}

// A small file: header with file properties, the given objects and an extension holding
// the given extension objects, then a data object.
QByteArray asfFile(const QList<QByteArray> &objects, const QList<QByteArray> &extensionObjects = {},
                   qint64 audio = 100)
{
    QByteArray audioBytes(audio, '\0');
    for (qint64 i = 0; i < audio; ++i)
        audioBytes[i] = char(i * 7);
    return header(QList<QByteArray>{fileProperties(1000000, 0)} + objects + QList<QByteArray>{extension(extensionObjects)})
           + object(AsfObject::dataGuid(), audioBytes);
}

// One line per item with every field that the ASF mapping carries.
QString summary(const TagItem *item)
{
    const QString type = QString::number(item->type()) + u':';
    if (const auto *u = dynamic_cast<const UnknownAsfDataTagItem *>(item))
        return type + QStringLiteral("%1=%2/%3/%4/%5")
                          .arg(u->name, QString::fromLatin1(u->data.toHex()))
                          .arg(u->asfDataType)
                          .arg(u->number1)
                          .arg(u->number2);
    if (const auto *u = dynamic_cast<const UnknownAsfStringTagItem *>(item))
        return type + QStringLiteral("%1=%2/%3/%4").arg(u->name, u->value).arg(u->number1).arg(u->number2);
    if (const auto *a = dynamic_cast<const ArtworkTagItem *>(item))
        return type + QStringLiteral("%1/%2/%3").arg(a->pictureType).arg(a->description,
                                                                          QString::fromLatin1(a->image().data.toHex()));
    if (const auto *l = dynamic_cast<const SynchronizedLyricsTagItem *>(item)) {
        QString text = type + QStringLiteral("%1/%2").arg(l->contentType).arg(l->description);
        for (const SynchronizedLyricsLine &line : l->lines)
            text += QStringLiteral("/%1@%2").arg(line.text).arg(line.time);
        return text;
    }
    if (const auto *c = dynamic_cast<const CommentTagItem *>(item))
        return type + QStringLiteral("%1/%2/%3").arg(c->value, c->description, c->language.iso639_2T);
    if (const auto *t = dynamic_cast<const UserDefinedTextTagItem *>(item))
        return type + t->description + u'=' + t->value;
    if (const auto *t = dynamic_cast<const UserDefinedLinkTagItem *>(item))
        return type + t->description + u'=' + t->value;
    if (const auto *t = dynamic_cast<const DiscTocTagItem *>(item))
        return type + t->toText(DiscTocTextForm::HexTrackList);
    if (const auto *t = dynamic_cast<const LanguageTagItem *>(item))
        return type + t->toString(QStringLiteral("ISO_639_1"));
    if (const auto *t = dynamic_cast<const ReleaseCountryTagItem *>(item))
        return type + t->toString(QStringLiteral("ISO_3166_1_A2"));
    if (const auto *t = dynamic_cast<const ScriptTagItem *>(item))
        return type + t->toString(QStringLiteral("ISO_15924"));
    return type + item->toString(QStringLiteral("[data]"));
}

QStringList summaries(const AudioTag *tag)
{
    QStringList list;
    if (tag) {
        for (const TagItem *item : tag->itemList())
            list.append(summary(item));
    }
    return list;
}

QStringList readAttributeItems(const AsfAttribute &attribute)
{
    IoStream stream(QByteArray(), QIODevice::ReadOnly);
    AudioTag tag;
    AsfStreamIo::readAttribute(&stream, attribute, &tag);
    return summaries(&tag);
}

// The attributes of one descriptor list: name, type and value in hex.
QStringList describeDescriptors(const QList<QByteArray> &descriptors)
{
    QStringList list;
    for (const QByteArray &d : descriptors) {
        IoStream s(d, QIODevice::ReadOnly);
        const int nameLength = s.readUInt16(false);
        const QByteArray name = s.readBytes(nameLength);
        const int type = s.readUInt16(false);
        const QByteArray value = s.readBytes(s.readUInt16(false));
        QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(name.constData()), nameLength / 2 - 1);
        list.append(QStringLiteral("%1:%2:%3").arg(text).arg(type).arg(QString::fromLatin1(value.toHex())));
    }
    return list;
}

// The list without repeats, each at its first place. A lone artist is written under both of
// its names and read twice; the file's merged tag shows it once.
QStringList distinct(QStringList list)
{
    list.removeDuplicates();
    return list;
}

// Every attribute a file holds, in the order it is read: the filled fields of the content
// description, the descriptors, then the library records (marked so); values over 64 bytes
// as their length.
QStringList writtenAttributes(const QByteArray &file)
{
    IoStream stream(file, QIODevice::ReadOnly);
    QObject parent;
    const QList<AsfObject *> objects = AsfStreamIo::parseObjects(&stream, stream.size(), -1, &parent);
    const auto value = [](const QByteArray &bytes) {
        return bytes.size() > 64 ? QStringLiteral("<%1 bytes>").arg(bytes.size()) : QString::fromLatin1(bytes.toHex());
    };
    QStringList list;
    for (const AsfObject *object : AsfObject::findAll(objects, AsfObject::contentDescriptionGuid())) {
        IoStream data(object->data, QIODevice::ReadOnly);
        int lengths[5];
        for (int &length : lengths)
            length = data.readUInt16(false);
        static const char *const names[] = {"Title", "Author", "Copyright", "Description", "Rating"};
        for (int i = 0; i < 5; ++i) {
            const QByteArray text = data.readBytes(lengths[i]);
            if (!text.isEmpty())
                list.append(QStringLiteral("content description %1:%2").arg(names[i], value(text)));
        }
    }
    for (const QUuid &guid : {AsfObject::extendedContentDescriptionGuid(), AsfObject::metadataLibraryGuid()}) {
        for (const AsfObject *object : AsfObject::findAll(objects, guid)) {
            IoStream data(object->data, QIODevice::ReadOnly);
            const int count = data.readUInt16(false);
            for (int i = 0; i < count; ++i) {
                const bool library = guid == AsfObject::metadataLibraryGuid();
                const AsfAttribute a = library ? AsfStreamIo::readRecord(&data) : AsfStreamIo::readDescriptor(&data);
                list.append(QStringLiteral("%1%2:%3:%4")
                                .arg(library ? QStringLiteral("library ") : QString(), a.name)
                                .arg(a.valueType)
                                .arg(value(a.value)));
            }
        }
    }
    return list;
}

// Reads the file's tag; null when there is none.
AudioTag *readTag(const QByteArray &bytes, QObject *parent)
{
    IoStream stream(bytes, QIODevice::ReadOnly);
    const QList<AudioTag *> tags = AsfStreamIo::instance()->readTags(&stream, {}, nullptr, parent);
    return tags.isEmpty() ? nullptr : tags.first();
}

QByteArray writeTag(const QByteArray &bytes, const AudioTag *tag, const TaggingSettings *settings = nullptr)
{
    IoStream stream(bytes, QIODevice::ReadWrite);
    AsfStreamIo::instance()->writeTags(&stream, tag, {}, settings);
    return stream.data();
}

// The children of the file's header object, as GUIDs with sizes.
QList<QPair<QUuid, qint64>> headerChildren(const QByteArray &bytes)
{
    IoStream stream(bytes, QIODevice::ReadOnly);
    QObject parent;
    const QList<AsfObject *> objects = AsfStreamIo::parseObjects(&stream, stream.size(), -1, &parent);
    QList<QPair<QUuid, qint64>> list;
    for (const AsfObject *child : objects.first()->children)
        list.append({child->guid, child->size});
    return list;
}

qint64 headerSizeOf(const QByteArray &bytes)
{
    return qFromLittleEndian<qint64>(bytes.constData() + 16);
}

} // namespace

Q_DECLARE_METATYPE(AsfAttribute)
using TagFiller = std::function<void(AudioTag *)>;
Q_DECLARE_METATYPE(TagFiller)

class TestAsf : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Language, country and script codes are looked up in the tables of the core package.
        QVERIFY(QResource::registerResource(QCoreApplication::applicationDirPath() + "/libcore.rcc",
                                            QStringLiteral(":/libcore")));
    }

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

    void readTagsOrderAndInfo();
    void readTagsNothing_data();
    void readTagsNothing();
    void readTagsDamagedRecord();
    void readAttribute_data();
    void readAttribute();
    void readAttributeWarnings_data();
    void readAttributeWarnings();
    void mappingTableKeys();
    void addItemAttributes_data();
    void addItemAttributes();
    void ratingRoundTrip();
    void encodingTimeIgnoresLocalZone();
    void writeRules_data();
    void writeRules();
    void writeReadRoundTrip();
    void writeRemovesTagObjects();
    void writePadding_data();
    void writePadding();
    void writeRefusesOversizedAttribute();
    void writeKeepsOtherTagTypes();
    void contentDescriptionWritten_data();
    void contentDescriptionWritten();
    void contentDescriptionOverDescriptors_data();
    void contentDescriptionOverDescriptors();
    void contentDescriptionOutsideHeader();
    void filesOfTheOldWriter();
    void containerEnd_data();
    void containerEnd();
    void audioFileLooseTags_data();
    void audioFileLooseTags();
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
    QCOMPARE(codeOf([&] { AsfStreamIo::instance()->readAudioProperties(&stream, nullptr); }), quint32(IoStreamReadBytesShortTextId));
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
        MELO_SKIP_TOOL("ffmpeg is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.wma"));
    QProcess p;
    p.start(ffmpeg, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                     QStringLiteral("-i"), QStringLiteral("sine=d=1"), QStringLiteral("-c:a"),
                     QStringLiteral("wmav2"), path});
    QVERIFY(p.waitForFinished(120000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    IoStream stream(path, QIODevice::ReadOnly);
    const AudioProperties props = AsfStreamIo::instance()->readAudioProperties(&stream, nullptr);
    QCOMPARE(props.codecFullName, QStringLiteral("Windows Media Audio version 2"));
    QCOMPARE(props.sampleRate, 44100);
    QCOMPARE(props.channels, 1);
    QVERIFY2(qAbs(props.duration - 1000) <= 100, qPrintable(QString::number(props.duration)));
    QVERIFY(props.bitrate > 0);
    QVERIFY(props.audioSize > 0 && props.audioSize < props.fileSize);
}

void TestAsf::readTagsOrderAndInfo()
{
    const QByteArray ecd = listObject(AsfObject::extendedContentDescriptionGuid(),
                                      {descriptor("WM/AlbumTitle", 0, utf16("Album")),
                                       descriptor("Unmapped", 0, utf16("x"))});
    const QByteArray metadata =
        listObject(AsfObject::metadataGuid(), {record(0, 0, "WM/TrackNumber", 3, le32(5))});
    const QByteArray cd = contentDescription({utf16(" T "), utf16("Art"), utf16("  "), utf16("Note"), utf16("r")});
    const QByteArray branding = object(AsfObject::contentBrandingGuid(),
                                       ByteBuilder().le32(1).le32(3).ascii("PNG").le32(2).ascii("ab").le32(8).ascii(
                                           "http://c"));
    const QByteArray library = listObject(AsfObject::metadataLibraryGuid(), {record(1, 0, "WM/Genre", 0, utf16("Rock"))});
    // The library object inside the extension is read after the metadata object that follows it.
    const QByteArray file = asfFile({ecd, cd, branding, metadata}, {library});
    QObject parent;
    const AudioTag *tag = readTag(file, &parent);
    QVERIFY(tag);
    // The content description comes first, its rating text kept as an unknown attribute.
    QCOMPARE(summaries(tag), (QStringList{"104: T ", "11:Art", "21:Note//eng", "111:Rating=r/0/0", "108:5", "48:Rock",
                                          "1:Album", "111:Unmapped=x/0/0", "16:6//504e47", "26:http://c"}));
    QCOMPARE(tag->parent(), &parent);
    const TagInfo *info = tag->tagInfo();
    QCOMPARE(info->tagType(), int(TagType::Asf));
    const qint64 firstOffset = 30 + 24 + 80; // header own data, file properties
    QCOMPARE(info->values.value(TagInfo::OffsetKey).toLongLong(), firstOffset);
    QCOMPARE(info->size(), ecd.size() + cd.size() + branding.size() + metadata.size() + library.size());
    QCOMPARE(info->values.value(TagInfo::PrependedKey), QVariant(true));
    QCOMPARE(info->values.value(TagInfo::RawDataKey).toByteArray(),
             metadata.mid(24) + library.mid(24) + ecd.mid(24) + cd.mid(24) + branding.mid(24));
    QVERIFY(!info->values.contains(TagInfo::DataOffsetKey));

    // Behind a loose tag the file is read from the stream's position to its end.
    IoStream behind(QByteArray(10, 'j') + file, QIODevice::ReadOnly);
    behind.seek(10);
    const QList<AudioTag *> shifted = AsfStreamIo::instance()->readTags(&behind, {}, nullptr, &parent);
    QCOMPARE(shifted.size(), 1);
    QCOMPARE(shifted.first()->tagInfo()->offset(), firstOffset + 10);
    behind.seek(10);
    QCOMPARE(AsfStreamIo::instance()->readAudioProperties(&behind, nullptr).audioSize, 100);

    // Without a data object there is no statement about the tag's place.
    QByteArray noData = header({ecd});
    const AudioTag *headerOnly = readTag(noData, &parent);
    QVERIFY(headerOnly);
    QVERIFY(!headerOnly->tagInfo()->values.contains(TagInfo::PrependedKey));
}

void TestAsf::readTagsNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("no tag objects") << asfFile({}) << QStringList();
    QTest::newRow("blank content description")
        << asfFile({contentDescription({utf16("  "), utf16(""), QByteArray(), utf16(" \n"), utf16(" ")})})
        << QStringList();
    // The copyright address is taken even when empty.
    QTest::newRow("branding without banner") << asfFile({object(AsfObject::contentBrandingGuid(),
                                                                ByteBuilder().le32(0).le32(0).le32(0).le32(0))})
                                             << QStringList{"26:"};
    // A banner that runs past the object is skipped; reading goes on from where it stopped.
    QTest::newRow("banner past the object") << asfFile({object(AsfObject::contentBrandingGuid(),
                                                               ByteBuilder().le32(1).le32(100).le32(0).le32(0))})
                                            << QStringList{"26:"};
    QTest::newRow("blank and empty values")
        << asfFile({listObject(AsfObject::extendedContentDescriptionGuid(),
                               {descriptor("WM/AlbumTitle", 0, utf16(" ")), descriptor("WM/Picture", 1, QByteArray())})})
        << QStringList();
}

void TestAsf::readTagsNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, items);
    QObject parent;
    QCOMPARE(summaries(readTag(file, &parent)), items);
}

void TestAsf::readTagsDamagedRecord()
{
    // A record whose value runs past its object fails the read instead of reading beyond it.
    const QByteArray metadata = object(AsfObject::metadataGuid(),
                                       ByteBuilder().le16(1).le16(0).le16(0).le16(4).le16(3).le32(1000).raw(utf16("A")));
    QObject parent;
    QVERIFY(codeOf([&] { readTag(asfFile({metadata}), &parent); }) != 0);
    QVERIFY(parent.children().isEmpty());
    const QByteArray ecd = object(AsfObject::extendedContentDescriptionGuid(), ByteBuilder().le16(3).le16(0xFFFF));
    QVERIFY(codeOf([&] { readTag(asfFile({ecd}), &parent); }) != 0);
}

void TestAsf::readAttribute_data()
{
    QTest::addColumn<AsfAttribute>("attribute");
    QTest::addColumn<QStringList>("items");

    const auto text = [](const char *name, const QString &value, int language = 0, int stream = 0) {
        return AsfAttribute{QString::fromUtf8(name), utf16(value), AsfAttributeType::UnicodeString, language, stream};
    };
    const auto dword = [](const char *name, quint32 value) {
        return AsfAttribute{QString::fromUtf8(name), le32(value), AsfAttributeType::DWord, 0, 0};
    };
    const auto qword = [](const char *name, quint64 value) {
        return AsfAttribute{QString::fromUtf8(name), le64(value), AsfAttributeType::QWord, 0, 0};
    };
    const auto bytes = [](const char *name, const QByteArray &value) {
        return AsfAttribute{QString::fromUtf8(name), value, AsfAttributeType::ByteArray, 0, 0};
    };

    QTest::newRow("name in capitals") << text("WM/ALBUMTITLE", "A") << QStringList{"1:A"};
    QTest::newRow("name in other case") << text("wm/AlbumTitle", "A") << QStringList{"1:A"};
    QTest::newRow("name with a space") << text("WM AlbumTitle", "A") << QStringList{"1:A"};
    QTest::newRow("id3 frame name") << text("ID3/TALB", "A") << QStringList{"1:A"};
    QTest::newRow("text kept untrimmed") << text("Title", " A\r\nB ") << QStringList{"104: A\nB "};
    QTest::newRow("text of spaces") << text("Title", "   ") << QStringList();
    QTest::newRow("unmapped text keeps its record")
        << text("Foo/Bar", "x", 2, 3) << QStringList{"111:Foo/Bar=x/2/3"};
    QTest::newRow("several artists") << text("WM/ARTISTS", "B") << QStringList{"11:B"};
    QTest::newRow("comment") << text("WM/Comments", "Hi") << QStringList{"21:Hi//eng"};
    QTest::newRow("genre codes") << text("WM/Genre", "(17)") << QStringList{"48:Rock"};
    QTest::newRow("language") << text("WM/Language", "en") << QStringList{"55:en"};
    QTest::newRow("unknown language kept") << text("WM/Language", "Klingonish")
                                           << QStringList{"111:WM/Language=Klingonish/0/0"};
    QTest::newRow("country") << text("WM/Country", "DE") << QStringList{"93:DE"};
    QTest::newRow("script") << text("WM/Script", "Latn") << QStringList{"99:Latn"};
    QTest::newRow("bpm") << text("WM/BeatsPerMinute", "120") << QStringList{"19:120"};
    QTest::newRow("bpm not a number kept") << text("WM/BeatsPerMinute", "fast")
                                           << QStringList{"111:WM/BeatsPerMinute=fast/0/0"};
    QTest::newRow("track pair") << text("WM/TrackNumber", "3/12") << QStringList{"108:3", "106:12"};
    QTest::newRow("track text not a number kept")
        << text("WM/TrackNumber", "A side") << QStringList{"111:WM/TrackNumber=A side/0/0"};
    QTest::newRow("track from zero as text") << text("WM/Track", "4") << QStringList{"108:5"};
    QTest::newRow("disc pair") << text("WM/PartOfSet", "1/2") << QStringList{"30:1", "28:2"};
    QTest::newRow("track count text") << text("WM/TrackTotal", "9") << QStringList{"106:9"};
    QTest::newRow("year") << text("WM/Year", "2004") << QStringList{"94:2004"};
    QTest::newRow("original time") << text("WM/OriginalReleaseTime", "2001-02-03 04:05:06:007")
                                   << QStringList{"71:2001-02-03T04:05:06:007"};
    QTest::newRow("explicit") << text("WM/ParentalRating", "Explicit Lyrics") << QStringList{"40:1"};
    QTest::newRow("explicit in any case") << text("WM/ParentalRating", "has EXPLICIT words") << QStringList{"40:1"};
    QTest::newRow("not explicit") << text("WM/ParentalRating", "Clean") << QStringList{"40:0"};
    QTest::newRow("toc as text") << text("WM/MCDI", "2+96+3A98+5D5C") << QStringList{"32:2+96+3a98+5d5c"};

    QTest::newRow("track number") << dword("WM/TrackNumber", 5) << QStringList{"108:5"};
    QTest::newRow("track from zero") << dword("WM/Track", 4) << QStringList{"108:5"};
    QTest::newRow("disc total") << dword("WM/DiscTotal", 3) << QStringList{"28:3"};
    QTest::newRow("rating 0") << dword("WM/SharedUserRating", 0) << QStringList();
    QTest::newRow("rating 1") << dword("WM/SharedUserRating", 1) << QStringList{"87:0.000000"};
    QTest::newRow("rating 50") << dword("WM/SharedUserRating", 50) << QStringList{"87:0.500000"};
    QTest::newRow("rating 99") << dword("WM/SharedUserRating", 99) << QStringList{"87:1.000000"};
    QTest::newRow("rating 255") << dword("WM/SharedUserRating", 255) << QStringList{"87:1.000000"};
    QTest::newRow("rating negative") << qword("WM/SharedUserRating", quint64(-5)) << QStringList();
    QTest::newRow("duration") << qword("Duration", 1234567890) << QStringList{"77:123456"};
    QTest::newRow("file size") << qword("FileSize", 4000) << QStringList{"44:4000"};
    QTest::newRow("encoding time origin") << qword("WM/EncodingTime", 0)
                                          << QStringList{"37:1601-01-01T00:00:00:000"};
    QTest::newRow("encoding time") << qword("WM/EncodingTime", 132332224890100000ULL)
                                   << QStringList{"37:2020-05-06T07:08:09:010"};
    QTest::newRow("compilation word") << AsfAttribute{"WM/IsCompilation", QByteArray::fromHex("0100"),
                                                      AsfAttributeType::Bool, 0, 0}
                                      << QStringList{"72:1"};
    QTest::newRow("levels ignored") << dword("AverageLevel", 7) << QStringList();
    QTest::newRow("three-byte number")
        << AsfAttribute{"WM/TrackNumber", QByteArray::fromHex("050000"), AsfAttributeType::DWord, 0, 0}
        << QStringList{"110:WM/TrackNumber=050000/3/0/0"};
    QTest::newRow("empty number") << AsfAttribute{"Foo", QByteArray(), AsfAttributeType::DWord, 0, 0}
                                  << QStringList();
    QTest::newRow("empty guid") << AsfAttribute{"Foo", QByteArray(), AsfAttributeType::Guid, 0, 1} << QStringList();
    QTest::newRow("unmapped number") << dword("Foo", 7) << QStringList{"110:Foo=07000000/3/0/0"};
    QTest::newRow("guid") << AsfAttribute{"WM/MediaClassPrimaryID", QByteArray(16, 'g'), AsfAttributeType::Guid, 0, 1}
                          << QStringList{"110:WM/MediaClassPrimaryID=67676767676767676767676767676767/6/0/1"};
    QTest::newRow("unknown type") << AsfAttribute{"X", QByteArray("ab"), 9, 0, 0} << QStringList{"110:X=6162/9/0/0"};

    const QByteArray picture = ByteBuilder().u8(3).le32(3).raw(utf16("image/png")).raw(utf16("desc")).ascii("abc");
    QTest::newRow("picture") << bytes("WM/Picture", picture) << QStringList{"16:3/desc/616263"};
    QTest::newRow("picture under id3 name") << bytes("ID3/APIC", picture) << QStringList{"16:3/desc/616263"};
    QTest::newRow("banner") << bytes("BannerImageData", "abc") << QStringList{"16:6//616263"};
    QTest::newRow("picture too short") << bytes("WM/Picture", QByteArray::fromHex("0301"))
                                       << QStringList{"110:WM/Picture=0301/1/0/0"};
    const QByteArray lyrics = ByteBuilder()
                                  .u8(0)
                                  .u8(1)
                                  .le32(0)
                                  .raw(utf16("d"))
                                  .raw(utf16("two"))
                                  .le32(2000)
                                  .raw(utf16("one"))
                                  .le32(1000);
    QTest::newRow("synchronised lyrics sorted") << bytes("WM/Lyrics_Synchronised", lyrics)
                                                << QStringList{"102:1/d/one@1000/two@2000"};
    QTest::newRow("synchronised lyrics cut in a line")
        << bytes("WM/Lyrics_Synchronised", lyrics.left(lyrics.size() - 2))
        << QStringList{"110:WM/Lyrics_Synchronised=" + QString::fromLatin1(lyrics.left(lyrics.size() - 2).toHex())
                       + "/1/0/0"};
    QTest::newRow("user text") << bytes("WM/Text", utf16("key") + utf16("value")) << QStringList{"121:key=value"};
    QTest::newRow("user link") << bytes("WM/UserWebURL", utf16("site") + utf16("http://x"))
                               << QStringList{"120:site=http://x"};
    // Other writers put the text form into a byte array.
    QTest::newRow("toc text in bytes") << bytes("WM/MCDI", utf16("2+96+3A98+5D5C"))
                                       << QStringList{"32:2+96+3a98+5d5c"};
    QTest::newRow("unmapped bytes") << bytes("Foo", "ab") << QStringList{"110:Foo=6162/1/0/0"};
}

void TestAsf::readAttribute()
{
    QFETCH(AsfAttribute, attribute);
    QFETCH(QStringList, items);
    QCOMPARE(readAttributeItems(attribute), items);
}

void TestAsf::readAttributeWarnings_data()
{
    QTest::addColumn<AsfAttribute>("attribute");
    QTest::addColumn<quint32>("warning");

    const QByteArray emptyPicture = ByteBuilder().u8(3).le32(0).raw(utf16("image/png")).raw(utf16("d"));
    QTest::newRow("picture without image")
        << AsfAttribute{"WM/Picture", emptyPicture, AsfAttributeType::ByteArray, 0, 0}
        << quint32(AsfStreamIo::PictureWithoutImage);
    QTest::newRow("unreadable binary toc")
        << AsfAttribute{"WM/MCDI", QByteArray::fromHex("ff00ff00ff"), AsfAttributeType::ByteArray, 0, 0}
        << quint32(AsfStreamIo::BinaryTocUnreadable);
    QTest::newRow("unreadable text toc")
        << AsfAttribute{"WM/MCDI", utf16("not a toc"), AsfAttributeType::UnicodeString, 0, 0}
        << quint32(AsfStreamIo::TextTocUnreadable);
}

void TestAsf::readAttributeWarnings()
{
    // The value is warned about and kept whole, so that a save writes it back.
    QFETCH(AsfAttribute, attribute);
    QFETCH(quint32, warning);
    BufferedLogger log;
    IoStream stream(QByteArray(), QIODevice::ReadOnly);
    AudioTag tag;
    AsfStreamIo::readAttribute(&stream, attribute, &tag);
    QVERIFY(log.containsCode(warning));
    QCOMPARE(tag.itemList().size(), 1);
    QList<QByteArray> descriptors;
    QList<QByteArray> records;
    AsfStreamIo::addUnknownAttributes(tag.itemList(), descriptors, records);
    QList<QByteArray> expected;
    AsfStreamIo::addAttribute(attribute, expected, records);
    QCOMPARE(descriptors, expected);
}

void TestAsf::mappingTableKeys()
{
    // Keys are unique per branch, every mapped type is supported, and every written name
    // reads back into its own row.
    QSet<QString> seen[3];
    const QList<int> supported = AsfStreamIo::instance()->supportedItemTypes();
    QCOMPARE(supported.size(), 91);
    QVERIFY(std::is_sorted(supported.begin(), supported.end()));
    for (const AsfAttributeRow &row : AsfAttributeTable::rows()) {
        QVERIFY2(supported.contains(row.itemType), qPrintable(QString::number(row.itemType)));
        const QStringList *branches[3] = {&row.textKeys, &row.binaryKeys, &row.numberKeys};
        for (int b = 0; b < 3; ++b) {
            for (const QString &key : *branches[b]) {
                QVERIFY2(!seen[b].contains(key), qPrintable(key));
                seen[b].insert(key);
            }
        }
        for (const AsfAttributeName &name : row.written) {
            const QString key = alphanumericKey(name.name);
            const AsfAttributeRow *back = AsfAttributeTable::rowForTextKey(key);
            if (!back)
                back = AsfAttributeTable::rowForBinaryKey(key);
            if (!back)
                back = AsfAttributeTable::rowForNumberKey(key);
            QVERIFY2(back && back->itemType == row.itemType, qPrintable(name.name));
        }
    }
}

void TestAsf::addItemAttributes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("attributes");

    const auto hex = [](const QByteArray &b) { return QString::fromLatin1(b.toHex()); };
    QTest::newRow("text with line ends") << int(TagItemType::Title) << QVariant("a\nb") << QString()
                                         << QStringList{"N:0:" + hex(utf16("a\r\nb"))};
    QTest::newRow("empty text") << int(TagItemType::Title) << QVariant("") << QString() << QStringList{"N:0:0000"};
    QTest::newRow("rating 0") << int(TagItemType::Rating) << QVariant(0.0) << QString() << QStringList{"N:3:01000000"};
    QTest::newRow("rating half") << int(TagItemType::Rating) << QVariant(0.5) << QString()
                                 << QStringList{"N:3:32000000"};
    QTest::newRow("rating 1") << int(TagItemType::Rating) << QVariant(1.0) << QString() << QStringList{"N:3:63000000"};
    QTest::newRow("duration") << int(TagItemType::PlayDuration) << QVariant(123456) << QString()
                              << QStringList{"N:4:" + hex(le64(1234560000))};
    QTest::newRow("file size") << int(TagItemType::FileSize) << QVariant(4000) << QString()
                               << QStringList{"N:4:" + hex(le64(4000))};
    QTest::newRow("encoding time origin")
        << int(TagItemType::EncodingDate) << QVariant::fromValue(PartialDateTime(1601, 1, 1, 0, 0, 0, 0)) << QString()
        << QStringList{"N:4:" + hex(le64(0))};
    QTest::newRow("encoding time year only") << int(TagItemType::EncodingDate)
                                             << QVariant::fromValue(PartialDateTime(2020)) << QString()
                                             << QStringList{"N:4:" + hex(le64(132223104000000000ULL))};
    QTest::newRow("encoding time before 1601") << int(TagItemType::EncodingDate)
                                               << QVariant::fromValue(PartialDateTime(1500)) << QString()
                                               << QStringList();
    QTest::newRow("compilation") << int(TagItemType::PartOfCompilation) << QVariant(true) << QString()
                                 << QStringList{"N:2:01000000"};
    QTest::newRow("explicit") << int(TagItemType::ExplicitContent) << QVariant(true) << QString()
                              << QStringList{"N:0:" + hex(utf16("Explicit Lyrics"))};
    QTest::newRow("not explicit") << int(TagItemType::ExplicitContent) << QVariant(false) << QString()
                                  << QStringList();
    QTest::newRow("year format") << int(TagItemType::ReleaseDate)
                                 << QVariant::fromValue(PartialDateTime(2004, 5, 6)) << QStringLiteral("yyyy")
                                 << QStringList{"N:0:" + hex(utf16("2004"))};
}

void TestAsf::addItemAttributes()
{
    QFETCH(int, type);
    QFETCH(QVariant, value);
    QFETCH(QString, format);
    QFETCH(QStringList, attributes);
    QObject parent;
    TagItem *item = makeItem(type, value, &parent);
    QVERIFY(item);
    QList<QByteArray> descriptors;
    QList<QByteArray> records;
    AsfStreamIo::addItemAttributes({item}, QStringLiteral("N"), descriptors, records, format);
    QCOMPARE(describeDescriptors(descriptors), attributes);
    QVERIFY(records.isEmpty());
}

void TestAsf::ratingRoundTrip()
{
    // Every stored rating reads and writes back as itself, so saves do not wear it down.
    for (quint32 stored = 1; stored <= 99; ++stored) {
        IoStream stream(QByteArray(), QIODevice::ReadOnly);
        AudioTag tag;
        AsfStreamIo::readAttribute(&stream, {"WM/SharedUserRating", le32(stored), AsfAttributeType::DWord, 0, 0},
                                   &tag);
        QList<QByteArray> descriptors;
        QList<QByteArray> records;
        AsfStreamIo::addItemAttributes(tag.itemList(), "WM/SharedUserRating", descriptors, records);
        QCOMPARE(describeDescriptors(descriptors),
                 QStringList{"WM/SharedUserRating:3:" + QString::fromLatin1(le32(stored).toHex())});
    }
}

void TestAsf::encodingTimeIgnoresLocalZone()
{
    // The stored time counts in UTC whatever zone the machine is in.
    const QByteArray oldZone = qgetenv("TZ");
    qputenv("TZ", "America/New_York");
    tzset();
    IoStream stream(QByteArray(), QIODevice::ReadOnly);
    AudioTag tag;
    AsfStreamIo::readAttribute(&stream, {"WM/EncodingTime", le64(132332224890100000ULL), AsfAttributeType::QWord, 0, 0},
                               &tag);
    QList<QByteArray> descriptors;
    QList<QByteArray> records;
    AsfStreamIo::addItemAttributes(tag.itemList(), "T", descriptors, records);
    qputenv("TZ", oldZone);
    tzset();
    QCOMPARE(summaries(&tag), QStringList{"37:2020-05-06T07:08:09:010"});
    QCOMPARE(describeDescriptors(descriptors), QStringList{"T:4:" + QString::fromLatin1(le64(132332224890100000ULL).toHex())});
}

void TestAsf::writeRules_data()
{
    QTest::addColumn<ItemValues>("items");
    QTest::addColumn<bool>("countsSeparately");
    QTest::addColumn<bool>("artistsInExtraField");
    QTest::addColumn<QStringList>("attributes");

    using Items = ItemValues;
    const auto t = [](const char *name, const QString &text) {
        return QString::fromLatin1(name) + ":0:" + QString::fromLatin1(utf16(text).toHex());
    };
    const auto cd = [](const char *name, const QString &text) {
        return QStringLiteral("content description %1:%2").arg(name, QString::fromLatin1(utf16(text).toHex()));
    };
    QTest::newRow("track and disc pairs")
        << Items{{TagItemType::TrackNumber, 3}, {TagItemType::TrackCount, 12}, {TagItemType::DiscNumber, 1}}
        << false << true << QStringList{t("WM/PartOfSet", "1"), t("WM/TrackNumber", "3/12")};
    QTest::newRow("counts separately")
        << Items{{TagItemType::TrackNumber, 3}, {TagItemType::TrackCount, 12}} << true << true
        << QStringList{t("WM/TrackTotal", "12"), t("WM/TrackNumber", "3")};
    QTest::newRow("artists in extra field")
        << Items{{TagItemType::Artist, "A & B"}, {TagItemType::Artist, "A"}, {TagItemType::Artist, "B"}} << false
        << true << QStringList{cd("Author", "A & B"), t("WM/ARTISTS", "A"), t("WM/ARTISTS", "B")};
    QTest::newRow("artists all in author")
        << Items{{TagItemType::Artist, "A"}, {TagItemType::Artist, "B"}} << false << false
        << QStringList{cd("Author", "A"), t("WM/ARTISTS", "A"), t("WM/ARTISTS", "B"), "library " + t("Author", "B")};
    QTest::newRow("copyright text and address")
        << Items{{TagItemType::Copyright, "http://c.example"}, {TagItemType::Copyright, "(c) 2004"}} << false << true
        << QStringList{cd("Copyright", "(c) 2004"), t("CopyrightURL", "http://c.example")};
    QTest::newRow("original date twice")
        << Items{{TagItemType::OriginalReleaseDate, QVariant::fromValue(PartialDateTime(2001, 2, 3))}} << false << true
        << QStringList{t("WM/OriginalReleaseYear", "2001"), t("WM/OriginalReleaseTime", "2001-02-03")};
    QTest::newRow("country under both names")
        << Items{{TagItemType::ReleaseCountry, "DE"}} << false << true
        << QStringList{t("MusicBrainz/Album Release Country", "DE"), t("WM/Country", "DE")};
    QTest::newRow("language code") << Items{{TagItemType::Language, "deu"}} << false << true
                                   << QStringList{t("WM/Language", "de")};
    QTest::newRow("types without a mapping") << Items{{TagItemType::Movement, "M"}, {TagItemType::PlayCount, 3}}
                                             << false << true << QStringList();
}

void TestAsf::writeRules()
{
    QFETCH(ItemValues, items);
    QFETCH(bool, countsSeparately);
    QFETCH(bool, artistsInExtraField);
    QFETCH(QStringList, attributes);
    AudioTag tag;
    for (const auto &pair : items) {
        // Code items hold their record, not only the code.
        TagItem *item = pair.first == TagItemType::ReleaseCountry
                            ? new ReleaseCountryTagItem(countryByCode(pair.second.toString()))
                        : pair.first == TagItemType::Language ? new LanguageTagItem(languageByCode(pair.second.toString()))
                                                              : makeItem(pair.first, pair.second);
        QVERIFY(item);
        tag.addItem(item);
    }
    TaggingSettings settings = TaggingSettings::defaults();
    settings.asf.writeCountSeparately = countsSeparately;
    settings.multiArtistsInExtraField = artistsInExtraField;
    QCOMPARE(writtenAttributes(writeTag(asfFile({}), &tag, &settings)), attributes);
}

void TestAsf::writeReadRoundTrip()
{
    QObject parent;
    AudioTag tag;
    tag.addItem(new TitleTagItem("Title\nline"));
    tag.addItem(new ArtistTagItem("A & B"));
    tag.addItem(new ArtistTagItem("A"));
    tag.addItem(new ArtistTagItem("B"));
    tag.addItem(new CommentTagItem("Note", QString(), languageByCode("eng")));
    tag.addItem(new CopyrightTagItem("(c) 2004"));
    tag.addItem(new CopyrightTagItem("https://c.example"));
    tag.addItem(new TrackNumberTagItem(3));
    tag.addItem(new TrackCountTagItem(12));
    tag.addItem(new DiscNumberTagItem(1));
    tag.addItem(new ReleaseDateTagItem(PartialDateTime(2004)));
    tag.addItem(new EncodingDateTagItem(PartialDateTime(2020, 5, 6, 7, 8, 9, 10)));
    tag.addItem(new RatingTagItem(double(27) / 98.0));
    tag.addItem(new PartOfCompilationTagItem(true));
    tag.addItem(new PlayDurationTagItem(123456));
    tag.addItem(new LanguageTagItem(languageByCode("fr")));
    tag.addItem(new ScriptTagItem(scriptByCode("Latn")));
    tag.addItem(new GenreTagItem("Jazz"));
    tag.addItem(new ArtworkTagItem(CodedImage(QByteArray("picture bytes")), 4, "back"));
    tag.addItem(new SynchronizedLyricsTagItem("d", 1, {{"one", 1000}, {"two", 2000}}));
    tag.addItem(new UserDefinedTextTagItem("value", "key"));
    tag.addItem(new UserDefinedLinkTagItem("http://x", "site"));
    tag.addItem(new UnknownAsfStringTagItem("Foo/Text", "t", 0, 2));
    tag.addItem(new UnknownAsfDataTagItem("Foo/Guid", QByteArray(16, 'g'), AsfAttributeType::Guid, 0, 0));
    tag.addItem(new UnknownAsfDataTagItem("Foo/Word", QByteArray::fromHex("0700"), AsfAttributeType::Word, 0, 0));
    tag.addItem(new UnknownAsfDataTagItem("Foo/Big", QByteArray(70000, 'b'), AsfAttributeType::ByteArray, 0, 0));
    DiscTocTagItem *toc = DiscTocTagItem::parseText("2+96+3A98+5D5C");
    tag.addItem(toc);

    const QByteArray original = asfFile({});
    const QByteArray written = writeTag(original, &tag);
    // The audio behind the header is untouched.
    QCOMPARE(written.mid(headerSizeOf(written)), original.mid(headerSizeOf(original)));
    const AudioTag *read = readTag(written, &parent);
    QVERIFY(read);
    QStringList expected;
    for (const TagItem *item : tag.itemList())
        expected.append(summary(item));
    QStringList got = summaries(read);
    // Pairs come back as pairs, counts after their numbers; compare as sets of lines.
    std::sort(expected.begin(), expected.end());
    std::sort(got.begin(), got.end());
    QCOMPARE(got, expected);

    // The Guid value, the stream number and the long value went to the library object.
    IoStream stream(written, QIODevice::ReadOnly);
    QObject tree;
    const QList<AsfObject *> objects = AsfStreamIo::parseObjects(&stream, stream.size(), -1, &tree);
    const QList<AsfObject *> library = AsfObject::findAll(objects, AsfObject::metadataLibraryGuid());
    QCOMPARE(library.size(), 1);
    QCOMPARE(qFromLittleEndian<quint16>(library.first()->data.constData()), quint16(3));

    // A second save with the same tag changes nothing.
    QCOMPARE(writeTag(written, read), written);
}

void TestAsf::writeRemovesTagObjects()
{
    const QByteArray cd = contentDescription({utf16("T"), utf16("A"), utf16("C"), utf16("D"), utf16("")});
    const QByteArray ecd = listObject(AsfObject::extendedContentDescriptionGuid(), {descriptor("WM/Mood", 0, utf16("m"))});
    const QByteArray metadata = listObject(AsfObject::metadataGuid(), {record(0, 1, "X", 0, utf16("x"))});
    const QByteArray branding = object(AsfObject::contentBrandingGuid(), ByteBuilder().le32(0).le32(0).le32(0).le32(0));
    const QByteArray library = listObject(AsfObject::metadataLibraryGuid(), {record(1, 0, "Y", 0, utf16("y"))});
    const QByteArray padding = object(AsfObject::paddingGuid(), QByteArray(100, '\0'));
    const QByteArray original = asfFile({cd, ecd, metadata, branding, padding}, {library, padding});

    // Reading and writing back moves everything into the content description and the two
    // attribute objects.
    QObject parent;
    const AudioTag *tag = readTag(original, &parent);
    const QByteArray rewritten = writeTag(original, tag);
    QCOMPARE(rewritten.size(), original.size());
    const AudioTag *again = readTag(rewritten, &parent);
    QCOMPARE(summaries(again).size(), summaries(tag).size());
    const QList<QPair<QUuid, qint64>> children = headerChildren(rewritten);
    QCOMPARE(children.size(), 5);
    QCOMPARE(children.at(0).first, AsfObject::filePropertiesGuid());
    QCOMPARE(children.at(1).first, AsfObject::headerExtensionGuid());
    QCOMPARE(children.at(2).first, AsfObject::contentDescriptionGuid());
    QCOMPARE(children.at(3).first, AsfObject::extendedContentDescriptionGuid());
    QCOMPARE(children.at(4).first, AsfObject::paddingGuid());

    // Removing leaves none of the tag objects, and the header keeps its size.
    const QByteArray removed = writeTag(original, nullptr);
    QCOMPARE(removed.size(), original.size());
    QVERIFY(!readTag(removed, &parent));
    IoStream stream(removed, QIODevice::ReadOnly);
    QObject tree;
    const QList<AsfObject *> objects = AsfStreamIo::parseObjects(&stream, stream.size(), -1, &tree);
    for (const QUuid &guid : {AsfObject::contentDescriptionGuid(), AsfObject::extendedContentDescriptionGuid(),
                              AsfObject::metadataGuid(), AsfObject::contentBrandingGuid(),
                              AsfObject::metadataLibraryGuid()})
        QVERIFY(AsfObject::findAll(objects, guid).isEmpty());
    QCOMPARE(AsfObject::findAll(objects, AsfObject::paddingGuid()).size(), 1);
    // The file properties go back as they were read, file size field included.
    QCOMPARE(AsfObject::findAll(objects, AsfObject::filePropertiesGuid()).first()->data,
             fileProperties(1000000, 0).mid(24));
}

void TestAsf::writePadding_data()
{
    QTest::addColumn<int>("oldPadding");   // padding object in the old header, 0: none
    QTest::addColumn<int>("titleLength");  // characters of the title written
    QTest::addColumn<int>("preferred");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("newPadding");   // expected padding object size, 0: none
    QTest::addColumn<bool>("sameSize");    // the header keeps its old size

    // The title takes 2 * (n + 1) bytes in a content description of 24 + 10 more: 56 bytes
    // for 10 characters.
    QTest::newRow("fits the old padding") << 1000 << 10 << 2048 << 8192 << 1000 - 56 << true;
    QTest::newRow("leaves exactly a padding header") << 80 << 10 << 2048 << 8192 << 24 << true;
    QTest::newRow("leftover above the maximum") << 9000 << 10 << 2048 << 8192 << 2048 << false;
    QTest::newRow("grows") << 0 << 10 << 2048 << 8192 << 2048 << false;
    QTest::newRow("smaller by less than a padding header") << 70 << 10 << 2048 << 8192 << 2048 << false;
    QTest::newRow("exactly the same size") << 56 << 10 << 2048 << 8192 << 0 << true;
    QTest::newRow("no reserve wanted") << 0 << 10 << 0 << 8192 << 0 << false;
    // A reserve below the smallest padding object is rounded up to it.
    QTest::newRow("reserve below a padding header") << 0 << 10 << 10 << 8192 << 24 << false;
}

void TestAsf::writePadding()
{
    QFETCH(int, oldPadding);
    QFETCH(int, titleLength);
    QFETCH(int, preferred);
    QFETCH(int, maximum);
    QFETCH(int, newPadding);
    QFETCH(bool, sameSize);

    const QByteArray original =
        asfFile(oldPadding ? QList<QByteArray>{object(AsfObject::paddingGuid(), QByteArray(oldPadding - 24, '\0'))}
                           : QList<QByteArray>{});
    AudioTag tag;
    tag.addItem(new TitleTagItem(QString(titleLength, u'x')));
    TaggingSettings settings = TaggingSettings::defaults();
    settings.asf.preferredPaddingSize = preferred;
    settings.asf.maximumPaddingSize = maximum;
    const QByteArray written = writeTag(original, &tag, &settings);

    const qint64 bare = headerSizeOf(original) - oldPadding + 24 + 10 + 2 * (titleLength + 1);
    QCOMPARE(headerSizeOf(written), bare + newPadding);
    QCOMPARE(headerSizeOf(written) == headerSizeOf(original), sameSize);
    QCOMPARE(written.mid(headerSizeOf(written)), original.mid(headerSizeOf(original)));
    const QList<QPair<QUuid, qint64>> children = headerChildren(written);
    if (newPadding > 24) {
        QCOMPARE(children.last().first, AsfObject::paddingGuid());
        QCOMPARE(children.last().second, qint64(newPadding));
    }
    QCOMPARE(qFromLittleEndian<quint32>(written.constData() + 24), quint32(children.size() + (newPadding == 24)));
    QObject parent;
    QCOMPARE(readTag(written, &parent)->itemText(TagItemType::Title), QString(titleLength, u'x'));
}

void TestAsf::writeRefusesOversizedAttribute()
{
    // A name longer than its 16-bit length field is refused before anything is written.
    const QByteArray original = asfFile({});
    AudioTag tag;
    tag.addItem(new TitleTagItem("kept"));
    tag.addItem(new UnknownAsfStringTagItem(QString(40000, u'n'), "v", 0, 0));
    IoStream stream(original, QIODevice::ReadWrite);
    QCOMPARE(codeOf([&] { AsfStreamIo::instance()->writeTags(&stream, &tag, {}, nullptr); }),
             quint32(AsfStreamIo::AttributeTooLarge));
    QCOMPARE(stream.data(), original);

    QList<QByteArray> descriptors;
    QList<QByteArray> records;
    QCOMPARE(codeOf([&] {
                 AsfStreamIo::addAttribute({"n", "v", AsfAttributeType::ByteArray, 70000, 0}, descriptors, records);
             }),
             quint32(AsfStreamIo::AttributeTooLarge));
}

void TestAsf::writeKeepsOtherTagTypes()
{
    // A list without ASF leaves even a file that is no ASF alone; a header without an
    // extension cannot take the tag.
    IoStream notAsf(QByteArray(100, 'x'), QIODevice::ReadWrite);
    AudioTag tag;
    tag.addItem(new TitleTagItem("t"));
    AsfStreamIo::instance()->writeTags(&notAsf, &tag, {TagType::Id3v2, TagType::Ape}, nullptr);
    QCOMPARE(notAsf.data(), QByteArray(100, 'x'));
    IoStream noExtension(header({fileProperties(1, 0)}) + dataObject(10), QIODevice::ReadWrite);
    QCOMPARE(codeOf([&] { AsfStreamIo::instance()->writeTags(&noExtension, &tag, {}, nullptr); }),
             quint32(AsfStreamIo::NoHeaderToWrite));
}

void TestAsf::contentDescriptionWritten_data()
{
    QTest::addColumn<TagFiller>("fill");
    QTest::addColumn<QStringList>("attributes");

    const auto hex = [](const QString &text) { return QString::fromLatin1(utf16(text).toHex()); };
    const auto cd = [&](const char *name, const QString &text) {
        return QStringLiteral("content description %1:%2").arg(name, hex(text));
    };
    const auto t = [&](const char *name, const QString &text) { return QStringLiteral("%1:0:%2").arg(name, hex(text)); };

    QTest::newRow("the five values")
        << TagFiller([](AudioTag *tag) {
               tag->addItem(new TitleTagItem("T"));
               tag->addItem(new ArtistTagItem("A"));
               tag->addItem(new CopyrightTagItem("(c) C"));
               tag->addItem(new CommentTagItem("N", QString(), languageByCode("eng")));
               tag->addItem(new AlbumTagItem("L"));
               tag->addItem(new UnknownAsfStringTagItem("Rating", "R", 0, 0));
           })
        << QStringList{cd("Title", "T"),       cd("Author", "A"),          cd("Copyright", "(c) C"),
                       cd("Description", "N"), cd("Rating", "R"),          t("WM/AlbumTitle", "L"),
                       t("WM/ARTISTS", "A")};
    // The reader takes the content description first, then the library records.
    QTest::newRow("further values behind the first")
        << TagFiller([](AudioTag *tag) {
               tag->addItem(new TitleTagItem("One"));
               tag->addItem(new TitleTagItem("Two"));
               tag->addItem(new TitleTagItem("Three"));
           })
        << QStringList{cd("Title", "One"), "library " + t("Title", "Two"), "library " + t("Title", "Three")};
    // 40,000 characters take 80,002 bytes, more than a 16-bit length holds; the short title
    // stays behind the long one.
    QTest::newRow("a title too long for the object")
        << TagFiller([](AudioTag *tag) {
               tag->addItem(new TitleTagItem(QString(40000, u'x')));
               tag->addItem(new TitleTagItem("short"));
               tag->addItem(new ArtistTagItem("A"));
           })
        << QStringList{cd("Author", "A"), t("WM/ARTISTS", "A"), t("Title", "short"), "library Title:0:<80002 bytes>"};
    QTest::newRow("rating texts that are not the field")
        << TagFiller([](AudioTag *tag) {
               tag->addItem(new UnknownAsfStringTagItem("Rating", "s", 0, 1));
               tag->addItem(new UnknownAsfStringTagItem("rating", "r", 0, 0));
               tag->addItem(new UnknownAsfDataTagItem("Rating", QByteArray("\x01\x00", 2), AsfAttributeType::Word, 0, 0));
           })
        << QStringList{"Rating:5:0100", t("rating", "r"), "library " + t("Rating", "s")};
    QTest::newRow("nothing of the five")
        << TagFiller([](AudioTag *tag) { tag->addItem(new AlbumTagItem("L")); }) << QStringList{t("WM/AlbumTitle", "L")};
}

void TestAsf::contentDescriptionWritten()
{
    QFETCH(TagFiller, fill);
    QFETCH(QStringList, attributes);
    AudioTag tag;
    fill(&tag);
    const QByteArray written = writeTag(asfFile({}), &tag);
    QCOMPARE(writtenAttributes(written), attributes);
    // Every value comes back, in its order among those of its type.
    QObject parent;
    const AudioTag *read = readTag(written, &parent);
    QVERIFY(read);
    for (int type : tag.itemsByType().keys())
        QCOMPARE(distinct(read->itemTexts(type)), tag.itemTexts(type));
    QCOMPARE(writeTag(written, read), written);
}

void TestAsf::contentDescriptionOverDescriptors_data()
{
    QTest::addColumn<QList<QByteArray>>("texts");   // the content description's five texts
    QTest::addColumn<QList<QByteArray>>("entries"); // descriptors, then library records
    QTest::addColumn<QStringList>("items");

    const QByteArray none;
    const auto cd = [&](int field, const QString &text) {
        QList<QByteArray> texts(5, none);
        texts[field] = utf16(text);
        return texts;
    };
    const QByteArray lib = "library";
    // What another tagger leaves after changing the title of a file that held it twice.
    QTest::newRow("a stale descriptor in lower case")
        << cd(0, "New") << QList<QByteArray>{descriptor("title", 0, utf16("Old"))} << QStringList{"104:New"};
    QTest::newRow("the same value twice")
        << cd(1, "A") << QList<QByteArray>{descriptor("Author", 0, utf16("A"))} << QStringList{"11:A"};
    QTest::newRow("upper case") << cd(3, "N") << QList<QByteArray>{descriptor("DESCRIPTION", 0, utf16("Old"))}
                                << QStringList{"21:N//eng"};
    QTest::newRow("rating") << cd(4, "R") << QList<QByteArray>{descriptor("Rating", 0, utf16("Old"))}
                            << QStringList{"111:Rating=R/0/0"};
    QTest::newRow("a blank field leaves the descriptor")
        << QList<QByteArray>{utf16(" "), utf16("A"), none, none, none}
        << QList<QByteArray>{descriptor("Title", 0, utf16("T"))} << QStringList{"11:A", "104:T"};
    QTest::newRow("a descriptor of another type")
        << cd(0, "T") << QList<QByteArray>{descriptor("Title", 1, "\x01")} << QStringList{"104:T", "110:Title=01/1/0/0"};
    QTest::newRow("another name of the item")
        << cd(1, "A") << QList<QByteArray>{descriptor("ID3/TPE1", 0, utf16("B"))} << QStringList{"11:A", "11:B"};
    // Further values, as the writer stores them.
    QTest::newRow("a library record of the name")
        << cd(0, "T") << QList<QByteArray>{lib + record(0, 0, "Title", 0, utf16("U"))} << QStringList{"104:T", "104:U"};
}

void TestAsf::contentDescriptionOverDescriptors()
{
    QFETCH(QList<QByteArray>, texts);
    QFETCH(QList<QByteArray>, entries);
    QFETCH(QStringList, items);
    QList<QByteArray> descriptors;
    QList<QByteArray> records;
    for (const QByteArray &entry : entries) {
        if (entry.startsWith("library"))
            records.append(entry.mid(7));
        else
            descriptors.append(entry);
    }
    QList<QByteArray> objects{contentDescription(texts)};
    if (!descriptors.isEmpty())
        objects.append(listObject(AsfObject::extendedContentDescriptionGuid(), descriptors));
    const QByteArray file = asfFile(objects, records.isEmpty() ? QList<QByteArray>{}
                                                               : QList<QByteArray>{listObject(AsfObject::metadataLibraryGuid(), records)});
    QObject parent;
    const AudioTag *tag = readTag(file, &parent);
    QCOMPARE(summaries(tag), items);
    // A save keeps what was shown and nothing else: the old value is gone from the file.
    const QByteArray written = writeTag(file, tag);
    QStringList again = distinct(summaries(readTag(written, &parent)));
    QStringList sorted = items;
    std::sort(again.begin(), again.end());
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(again, sorted);
    QVERIFY(!written.contains(utf16("Old")));
}

void TestAsf::contentDescriptionOutsideHeader()
{
    // A save rewrites the header alone: an object behind it stays as it is, so it cannot
    // stand for the values the header holds (found by the ASF fuzz round trip).
    const QByteArray stray = contentDescription({utf16("S"), utf16(""), utf16(""), utf16(""), utf16("")});
    const QByteArray file =
        asfFile({listObject(AsfObject::extendedContentDescriptionGuid(), {descriptor("Title", 0, utf16("T"))})}) + stray;
    QObject parent;
    const AudioTag *tag = readTag(file, &parent);
    QCOMPARE(summaries(tag), (QStringList{"104:S", "104:T"}));
    const QByteArray written = writeTag(file, tag);
    QVERIFY(written.endsWith(stray));
    QCOMPARE(distinct(summaries(readTag(written, &parent))), (QStringList{"104:S", "104:T"}));
}

void TestAsf::filesOfTheOldWriter()
{
    // Before the content description was written, every value was a descriptor, further
    // values too, and a value over 64 KiB a library record.
    const QByteArray longTitle = utf16(QString(40000, u'x'));
    const QByteArray ecd = listObject(AsfObject::extendedContentDescriptionGuid(),
                                      {descriptor("Title", 0, utf16("T")), descriptor("Author", 0, utf16("A1")),
                                       descriptor("Author", 0, utf16("A2")), descriptor("Copyright", 0, utf16("(c) C")),
                                       descriptor("CopyrightURL", 0, utf16("http://c")),
                                       descriptor("Description", 0, utf16("N")), descriptor("WM/AlbumTitle", 0, utf16("L")),
                                       descriptor("Rating", 0, utf16("R"))});
    const QByteArray library = listObject(AsfObject::metadataLibraryGuid(), {record(0, 0, "Title", 0, longTitle)});
    const QByteArray file =
        header({fileProperties(1000000, 0), extension({library}), ecd, object(AsfObject::paddingGuid(), QByteArray(2024, '\0'))})
        + dataObject(100);
    const QStringList expected{"104:" + QString(40000, u'x'), "104:T", "11:A1", "11:A2", "26:(c) C", "26:http://c",
                               "21:N//eng", "1:L", "111:Rating=R/0/0"};
    QObject parent;
    const AudioTag *tag = readTag(file, &parent);
    QCOMPARE(summaries(tag), expected);

    // Saved again, each type's values keep their order.
    TaggingSettings settings = TaggingSettings::defaults();
    settings.multiArtistsInExtraField = false;
    const AudioTag *again = readTag(writeTag(file, tag, &settings), &parent);
    QVERIFY(again);
    for (int type : tag->itemsByType().keys())
        QCOMPARE(distinct(again->itemTexts(type)), tag->itemTexts(type));
}

void TestAsf::containerEnd_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("start");
    QTest::addColumn<qint64>("end");

    const QByteArray file = asfFile({});
    const QByteArray id3v1 = "TAG" + QByteArray(125, 'x');
    const QByteArray index = object(QUuid(QStringLiteral("33000890-E5B1-11CF-89F4-00A0C90349CB")), QByteArray(30, 'i'));
    QTest::newRow("header and data") << file << 0 << qint64(file.size());
    QTest::newRow("tag behind") << file + id3v1 << 0 << qint64(file.size());
    QTest::newRow("index behind the data") << file + index + id3v1 << 0 << qint64(file.size() + index.size());
    QTest::newRow("behind a loose tag in front") << QByteArray(10, 'j') + file + id3v1 << 10 << qint64(10 + file.size());
    // A cut file claims its whole declared length, so nothing at its end is taken for a tag.
    QTest::newRow("data past the end") << file.left(file.size() - 20) << 0 << qint64(file.size());
    QTest::newRow("not asf") << id3v1 + file << 0 << qint64(-1);
}

void TestAsf::containerEnd()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, start);
    QFETCH(qint64, end);
    IoStream stream(bytes, QIODevice::ReadOnly);
    stream.seek(start);
    QCOMPARE(AsfStreamIo::instance()->containerEnd(&stream), end);
}

void TestAsf::audioFileLooseTags_data()
{
    QTest::addColumn<QByteArray>("audio");
    QTest::addColumn<QByteArray>("behind");
    QTest::addColumn<bool>("looseTag");

    const QByteArray id3v1 = ("TAG" + QByteArray("Loose title").leftJustified(30, '\0')).leftJustified(127, '\0')
                             + char(255);
    QTest::newRow("id3v1 behind the file") << QByteArray(200, 'a') << id3v1 << true;
    // Audio whose last bytes look like a tag is no tag: it lies inside the data object.
    QTest::newRow("tag-like audio") << QByteArray(200, 'a') + id3v1 << QByteArray() << false;
}

void TestAsf::audioFileLooseTags()
{
    QFETCH(QByteArray, audio);
    QFETCH(QByteArray, behind);
    QFETCH(bool, looseTag);
    const QByteArray asf = header({fileProperties(1000000, 0), extension({})}) + object(AsfObject::dataGuid(), audio);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("loose.wma"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(asf + behind);
    out.close();
    {
        AudioFile file(path);
        file.readTags(0, true);
        QCOMPARE(file.tags().contains(TagType::Id3v1), looseTag);
        AudioTag *tag = file.tag(0);
        if (!tag) {
            file.setTag(new AudioTag, 0);
            tag = file.tag(0);
        }
        tag->removeItems(TagItemType::Title);
        tag->addItem(new TitleTagItem(QStringLiteral("Saved")));
        file.writeTags(0);
    }
    QFile in(path);
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QByteArray written = in.readAll();
    // The loose tag is gone, the data object is whole.
    QCOMPARE(written.mid(headerSizeOf(written)), asf.mid(headerSizeOf(asf)));
    AudioFile reread(path);
    reread.readTags(0, true);
    QVERIFY(!reread.tags().contains(TagType::Id3v1));
    QCOMPARE(reread.tags().value(TagType::Asf)->itemText(TagItemType::Title), QStringLiteral("Saved"));
}

QTEST_GUILESS_MAIN(TestAsf)
#include "tst_asf.moc"
