#include <QtTest>

#include <QXmlStreamReader>

#include "libcore/io/iostream.h"
#include "libcore/log/logger.h"
#include "libcore/text/texttable.h"
#include "libtagging/model/audiostream.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/filetype.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/plain/freestreamio.h"
#include "libtagging/xiph/flacstreamio.h"
#include "libtagging/xiph/oggstreamio.h"
#include "libtagging/xiph/speexstreamio.h"

namespace {

class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    void log(const LogMessage &message) override { messages.append(message); }
    QList<LogMessage> messages;
};

// The display names come from our own text fragment, so a missing entry shows here.
void loadTextFragment(const QString &path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    QXmlStreamReader xml(&file);
    quint32 id = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"id")
            id = xml.readElementText().toUInt();
        else if (xml.name() == u"tr")
            TextTable::table().insert(id, xml.readElementText());
    }
    QVERIFY(!xml.hasError());
}

AudioTag *tagOfType(int tagType, QObject *parent = nullptr)
{
    auto *tag = new AudioTag(parent);
    auto *info = new TagInfo;
    info->values.insert(TagInfo::TagTypeKey, tagType);
    tag->setTagInfo(info);
    return tag;
}

} // namespace

class TestFileTypes : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        loadTextFragment(QStringLiteral(MELO_SOURCE_DIR "/libtagging/resources/text/filetypes.xml"));
    }

    void detectBySuffix_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("id"); // -1: no type
        QTest::newRow("upper case") << "/music/Song.MP3" << 1;
        QTest::newRow("lower case") << "/music/song.mp3" << 1;
        QTest::newRow("mixed case") << "/music/song.Mp3" << 1;
        QTest::newRow("last suffix counts") << "/music/song.mp3.bak" << -1;
        QTest::newRow("flac") << "/music/track.flac" << 3;
        QTest::newRow("speex") << "/music/track.spx" << 4;
        QTest::newRow("suffix with plus") << "/music/a.mp+" << 8;
        QTest::newRow("aac after aiff") << "/music/a.aacp" << 16;
        QTest::newRow("unsupported record") << "/music/clip.mid" << 0;
        QTest::newRow("no dot") << "/music/README" << -1;
        QTest::newRow("dot only in a folder") << "/music/a.mp3/README" << -1;
        QTest::newRow("trailing dot") << "/music/song." << -1;
    }
    void detectBySuffix()
    {
        QFETCH(QString, name);
        QFETCH(int, id);
        IoStream stream(name);
        const FileType *type = FileType::detect(&stream);
        QCOMPARE(type ? type->id : -1, id);
        QVERIFY(!stream.device()->isOpen());
        if (type)
            QCOMPARE(type, FileType::byId(id));
    }

    // Without a suffix the content is consulted; every record lacks a signature, so nothing
    // is found, and the device ends as it began.
    void detectWithoutSuffixLeavesDeviceAsFound_data()
    {
        QTest::addColumn<bool>("openBefore");
        QTest::newRow("closed") << false;
        QTest::newRow("open") << true;
    }
    void detectWithoutSuffixLeavesDeviceAsFound()
    {
        QFETCH(bool, openBefore);
        IoStream memory(QByteArray("ID3\x03\x00\x00\x00\x00\x00\x00", 10));
        if (openBefore)
            memory.open(QIODevice::ReadOnly);
        QCOMPARE(FileType::detect(&memory), nullptr);
        QCOMPARE(memory.device()->isOpen(), openBefore);

        QTemporaryDir dir;
        QFile readme(dir.filePath("README"));
        QVERIFY(readme.open(QIODevice::WriteOnly));
        readme.write("fLaC");
        readme.close();
        IoStream file(readme.fileName());
        if (openBefore)
            file.open(QIODevice::ReadOnly);
        QCOMPARE(FileType::detect(&file), nullptr);
        QCOMPARE(file.device()->isOpen(), openBefore);

        // Nothing to compare against, so a file that is not there is not even opened.
        CollectingLogger logger;
        IoStream missing(dir.filePath("gone"));
        QCOMPARE(FileType::detect(&missing), nullptr);
        QVERIFY(!missing.device()->isOpen());
        QVERIFY(logger.messages.isEmpty());
    }

    void readersAndCodecs()
    {
        const FileType *flac = FileType::byId(3);
        QVERIFY(flac);
        QCOMPARE(flac->streamIos, (QList<IAudioStreamIo *>{FlacStreamIo::instance(), OggStreamIo::instance()}));
        const FileType *speex = FileType::byId(4);
        QCOMPARE(speex->streamIos, (QList<IAudioStreamIo *>{OggStreamIo::instance(), SpeexStreamIo::instance()}));
        const FileType *unsupported = FileType::byId(0);
        QVERIFY(unsupported);
        QCOMPARE(unsupported->streamIos, QList<IAudioStreamIo *>{FreeStreamIo::instance()});
        QCOMPARE(unsupported->codecIo, nullptr);
        QVERIFY(unsupported->tagTypeOptions.isEmpty());
        QVERIFY(FileType::byId(1)->codecIo);
        QCOMPARE(FileType::byId(16)->codecIo, nullptr);
        // byId gives the registry's own entry, not a copy.
        for (const FileType &type : FileType::all())
            QCOMPARE(FileType::byId(type.id), &type);
    }

    void registryShape()
    {
        QList<int> ids;
        for (const FileType &type : FileType::all()) {
            ids << type.id;
            QVERIFY(type.magic.isEmpty());
            QVERIFY(!type.streamIos.isEmpty());
            QSet<int> tagTypes;
            for (const TagTypeOption &option : type.tagTypeOptions) {
                QVERIFY2(!tagTypes.contains(option.tagType), "a tag type listed twice");
                tagTypes << option.tagType;
            }
            for (const QString &suffix : type.suffixes)
                QCOMPARE(suffix, suffix.toLower());
        }
        QCOMPARE(ids, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 0}));

        const QStringList suffixes = FileType::allSuffixes();
        QCOMPARE(suffixes.size(), 46);
        QCOMPARE(suffixes.mid(0, 4), (QStringList{"mp1", "mp2", "mp3", "ogg"}));
        QCOMPARE(suffixes.mid(34), (QStringList{"raw", "pcm", "mid", "kar", "shn", "ra", "amr",
                                                "ac3", "dts", "au", "snd", "vqf"}));
        QCOMPARE(QSet<QString>(suffixes.begin(), suffixes.end()).size(), suffixes.size());
    }

    void defaultOptions_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("mode"); // -1: all modes
        QTest::addColumn<QList<int>>("tagTypes");
        QTest::newRow("mpeg removes") << 1 << int(TagTypeMode::Remove) << QList<int>{TagType::Lyrics3, TagType::Ape};
        QTest::newRow("mpeg keeps nothing") << 1 << int(TagTypeMode::Keep) << QList<int>{};
        QTest::newRow("mpeg writes") << 1 << int(TagTypeMode::Write) << QList<int>{TagType::Id3v1, TagType::Id3v2};
        QTest::newRow("wave, all") << 13 << -1 << QList<int>{TagType::RiffInfo, TagType::Id3v2};
        QTest::newRow("tak, all") << 11 << -1 << QList<int>{TagType::Ape};
        QTest::newRow("unsupported, all") << 0 << -1 << QList<int>{};
        QTest::newRow("no record for 15") << 15 << -1 << QList<int>{};
        QTest::newRow("unknown id") << 99 << int(TagTypeMode::Write) << QList<int>{};
    }
    void defaultOptions()
    {
        QFETCH(int, id);
        QFETCH(int, mode);
        QFETCH(QList<int>, tagTypes);
        if (mode < 0) {
            QCOMPARE(FileType::defaultTagTypes(id), tagTypes);
            QCOMPARE(FileType::defaultTagTypeOptions(id).size(), tagTypes.size());
        } else {
            QCOMPARE(FileType::defaultTagTypesWithMode(id, mode), tagTypes);
        }
    }

    void typeNames()
    {
        QSet<QString> names;
        for (int id = 0; id <= 16; ++id) {
            const QString name = FileType::typeName(id);
            QVERIFY2(!name.isEmpty(), qPrintable(QString::number(id)));
            names << name;
        }
        QCOMPARE(names.size(), 17);
        QCOMPARE(FileType::byId(15), nullptr);
        QCOMPARE(FileType::typeName(15), textForId(1138239104));
        QVERIFY(FileType::typeName(17).isEmpty());
        QVERIFY(FileType::typeName(-1).isEmpty());
    }

    void streamTypeSlot()
    {
        CollectingLogger logger;
        AudioStream unsupported(new IoStream(QStringLiteral("/music/clip.mid")));
        QVERIFY(unsupported.typeRecord());
        QCOMPARE(unsupported.fileType(), 0);
        QCOMPARE(unsupported.filePath(), QStringLiteral("/music/clip.mid"));
        QCOMPARE(unsupported.stream()->parent(), &unsupported);
        QVERIFY(logger.messages.isEmpty());

        auto *memory = new IoStream(QByteArray("abc"));
        AudioStream untyped(memory);
        QCOMPARE(untyped.typeRecord(), nullptr);
        QCOMPARE(untyped.fileType(), 0);
        QVERIFY(untyped.filePath().isEmpty());
        QCOMPARE(logger.messages.size(), 1);
        QCOMPARE(logger.messages.first().code, 20123655u);
        QCOMPARE(logger.messages.first().level, Warning);
        QCOMPARE(logger.messages.first().arguments, QVariantList{memory->displayName()});
    }

    void setTagRemovesAndReplaces()
    {
        AudioStream stream(new IoStream(QStringLiteral("/music/a.mp3")));
        QPointer<AudioTag> id3v1 = tagOfType(TagType::Id3v1);
        QPointer<AudioTag> id3v2 = tagOfType(TagType::Id3v2);
        stream.setTag(id3v1, TagType::Id3v1);
        stream.setTag(id3v2, TagType::Id3v2);
        QCOMPARE(id3v1->parent(), &stream);

        stream.setTag(nullptr, TagType::Ape); // nothing stored under it
        QCOMPARE(stream.tags().keys(), (QList<int>{TagType::Id3v1, TagType::Id3v2}));

        stream.setTag(id3v2, TagType::Id3v2); // the same tag again stays alive
        QVERIFY(id3v2);
        QCOMPARE(stream.tags().value(TagType::Id3v2), id3v2.data());

        QPointer<AudioTag> replacement = new AudioTag;
        stream.setTag(replacement, TagType::Id3v2);
        QVERIFY(!id3v2);
        QCOMPARE(stream.tags().value(TagType::Id3v2), replacement.data());

        stream.setTag(nullptr, TagType::Id3v1);
        QVERIFY(!id3v1);
        QCOMPARE(stream.tags().keys(), QList<int>{TagType::Id3v2});

        stream.setTag(tagOfType(TagType::Id3v1), TagType::Id3v1);
        stream.setTag(nullptr, TagType::Combined);
        QVERIFY(stream.tags().isEmpty());
        QVERIFY(!replacement);
    }

    void tagCreatesOnDemand()
    {
        AudioStream stream(new IoStream(QStringLiteral("/music/a.mp3")));
        AudioTag *created = stream.tag(TagType::Id3v2);
        QVERIFY(created);
        QCOMPARE(created->parent(), &stream);
        QCOMPARE(stream.tag(TagType::Id3v2), created);
        QCOMPARE(stream.tags().size(), 1);
    }

    void addTagKeepsTheEarlierOne()
    {
        AudioStream stream(new IoStream(QStringLiteral("/music/a.mp3")));
        QPointer<AudioTag> first = tagOfType(TagType::Id3v2);
        QPointer<AudioTag> second = tagOfType(TagType::Id3v2);
        stream.addTag(first, false);
        stream.addTag(second, true);
        QCOMPARE(stream.tags().keys(), QList<int>{TagType::Id3v2});
        QCOMPARE(stream.tags().value(TagType::Id3v2), second.data());
        QVERIFY(first);
        QCOMPARE(first->parent(), &stream);

        auto *withoutInfo = new AudioTag;
        stream.addTag(withoutInfo, false);
        QCOMPARE(stream.tags().value(TagType::Unknown), withoutInfo);
    }
};

QTEST_GUILESS_MAIN(TestFileTypes)
#include "tst_filetypes.moc"
