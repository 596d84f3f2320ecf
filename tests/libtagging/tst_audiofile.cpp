#include <QtTest>

#include "libcore/io/folderwalk.h"
#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/texttable.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/filetype.h"
#include "libtagging/model/iaudiostreamio.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/taginfo.h"

#include <QTemporaryDir>

#include <sys/stat.h>


namespace {

const quint32 NoFileTypeWarning = 20123655u;
const quint32 ReadingInfo = 4162671319u;
const quint32 NoTagReader = 378683868u;
const quint32 WritingInfo = 2702467448u;
const quint32 FileGone = 931925067u;
const quint32 MakingWritableInfo = 4077268634u;
const quint32 NoTagWriter = 1359880250u;
const quint32 MeasuringInfo = 4268922967u;
const quint32 NoAudioProperties = 3212920893u;
const quint32 StandInFailure = 4000000001u;
const quint32 DeviceOpenFailure = quint32(IoStreamOpenFailedTextId);

class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    void log(const LogMessage &message) override { codes.append(message.code); }
    QList<quint32> codes;
};

QString typeList(const QList<int> &types)
{
    QStringList parts;
    for (int type : types)
        parts.append(QString::number(type));
    return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

// One tag as a reader finds it: its type, where it stands and one title.
struct TagSpec
{
    int tagType = TagType::Id3v2;
    QString title;
    bool prepended = false;
    qint64 offset = -1;
    int size = -1;
};

AudioTag *makeTag(const TagSpec &spec, QObject *parent)
{
    auto *tag = new AudioTag(parent);
    auto *info = new TagInfo;
    info->values.insert(TagInfo::TagTypeKey, spec.tagType);
    info->values.insert(TagInfo::PrependedKey, spec.prepended);
    if (spec.offset >= 0)
        info->values.insert(TagInfo::OffsetKey, spec.offset);
    if (spec.size >= 0)
        info->values.insert(TagInfo::SizeKey, spec.size);
    tag->setTagInfo(info);
    if (!spec.title.isEmpty())
        tag->addItem(new TitleTagItem(spec.title));
    return tag;
}

// A stand-in container reader that follows a script and writes every call into a shared
// journal as "name.operation@position types". A failing call first moves the stream, so
// that the caller has to place the next reader itself.
class ScriptedStreamIo : public IAudioStreamIo
{
public:
    ScriptedStreamIo(const QString &name, QStringList *journal) : name(name), journal(journal) {}

    QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes, const TaggingSettings *settings,
                               QObject *parent) override
    {
        note(QStringLiteral("readTags"), stream, typeList(tagTypes));
        checkSettings(settings);
        failIf(failRead, stream);
        QList<AudioTag *> result;
        for (const TagSpec &spec : std::as_const(tags))
            result.append(makeTag(spec, parent));
        return result;
    }
    void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                   const TaggingSettings *) override
    {
        note(QStringLiteral("writeTags"), stream, typeList(tagTypes));
        writtenTitle = tag ? tag->itemText(TagItemType::Title) : QString();
        failIf(failWrite, stream);
    }
    void removeTags(IoStream *stream, const QList<int> &tagTypes, const TaggingSettings *) override
    {
        note(QStringLiteral("removeTags"), stream, typeList(tagTypes));
        failIf(failRemove, stream);
    }
    AudioProperties readAudioProperties(IoStream *stream, ICodecIo *) override
    {
        note(QStringLiteral("readAudioProperties"), stream, QString());
        failIf(failProperties, stream);
        AudioProperties properties;
        properties.valid = validProperties;
        properties.duration = duration;
        return properties;
    }
    QList<int> supportedItemTypes() const override { return {}; }

    QString name;
    QStringList *journal;
    QList<TagSpec> tags;
    bool failRead = false;
    bool failWrite = false;
    bool failRemove = false;
    bool failProperties = false;
    bool validProperties = true;
    int duration = 1000;
    QString writtenTitle;
    const TaggingSettings *expectedSettings = nullptr;

private:
    void note(const QString &operation, IoStream *stream, const QString &types)
    {
        QString entry = QStringLiteral("%1.%2@%3").arg(name, operation).arg(stream->device()->pos());
        if (!types.isEmpty())
            entry += QLatin1Char(' ') + types;
        journal->append(entry);
    }
    void checkSettings(const TaggingSettings *settings) const
    {
        if (expectedSettings && settings != expectedSettings)
            throw std::logic_error("the reader was not given the stream's settings");
    }
    static void failIf(bool fail, IoStream *stream)
    {
        if (!fail)
            return;
        if (stream->device()->size() > 3)
            stream->seek(3);
        throw Exception(StandInFailure, {}, false);
    }
};

} // namespace

class TestAudioFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir *m_dir = nullptr;
    QStringList m_journal;
    std::unique_ptr<ScriptedStreamIo> m_loose;
    std::unique_ptr<ScriptedStreamIo> m_first;
    std::unique_ptr<ScriptedStreamIo> m_second;
    std::unique_ptr<FileType> m_type;
    CollectingLogger *m_logger = nullptr;

    QString filePath(const QString &name) const { return m_dir->filePath(name); }

    QString makeFile(const QString &name, const QByteArray &bytes = QByteArray(64, 'a'))
    {
        QFile file(filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
        return file.fileName();
    }

    // A file whose type reads its container with the two scripted readers and whose loose
    // tags the scripted loose-tag reader finds.
    std::unique_ptr<AudioFile> standInFile(const QList<TagTypeOption> &options = {},
                                           const QString &name = QStringLiteral("song.flac"))
    {
        makeFile(name);
        m_type = std::make_unique<FileType>(3, QStringList{QStringLiteral("flac")}, QByteArray(),
                                            QList<IAudioStreamIo *>{m_first.get(), m_second.get()}, options, nullptr);
        auto file = std::make_unique<AudioFile>(filePath(name));
        file->setFormat(m_type.get(), m_loose.get());
        file->taggingSettings.writtenTagTypes.insert(3, options);
        return file;
    }

    static QStringList tagTitles(const AudioStream &stream)
    {
        QStringList result;
        for (auto it = stream.tags().cbegin(); it != stream.tags().cend(); ++it)
            result.append(QStringLiteral("%1:%2").arg(it.key()).arg((*it)->itemTexts(TagItemType::Title).join('|')));
        return result;
    }

    static bool isOpen(const AudioStream &stream) { return stream.stream()->device()->isOpen(); }

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
        m_journal.clear();
        m_loose = std::make_unique<ScriptedStreamIo>(QStringLiteral("loose"), &m_journal);
        m_first = std::make_unique<ScriptedStreamIo>(QStringLiteral("first"), &m_journal);
        m_second = std::make_unique<ScriptedStreamIo>(QStringLiteral("second"), &m_journal);
        m_logger = new CollectingLogger;
    }
    void cleanup()
    {
        delete m_logger;
        m_logger = nullptr;
        delete m_dir;
        m_dir = nullptr;
        m_type.reset();
    }

    void readOrderAndMergedTag()
    {
        auto file = standInFile();
        m_loose->tags = {{TagType::Id3v2, QStringLiteral("Front"), true, 0, 10},
                         {TagType::Ape, QStringLiteral("Second front"), true, 10, 6},
                         {TagType::Id3v1, QStringLiteral("Back"), false, 56, 8}};
        m_loose->expectedSettings = &file->taggingSettings;
        m_first->failRead = true;
        m_second->tags = {{TagType::VorbisComment, QStringLiteral("Inside")}};
        file->readTags(0, true);

        // Loose tags read once for every type, then each container reader from the end of
        // the front tags, whatever the failed one did to the position; the audio properties
        // are measured from there while the file is open.
        QCOMPARE(m_journal, (QStringList{"loose.readTags@0 []", "first.readTags@16 []", "second.readTags@16 []",
                                         "first.readAudioProperties@16"}));
        QCOMPARE(tagTitles(*file), (QStringList{"0:Inside|Front|Second front|Back", "2:Back", "3:Front",
                                                "5:Second front", "6:Inside"}));
        QVERIFY(!isOpen(*file));
        QCOMPARE(m_logger->codes.first(), ReadingInfo);
        m_journal.clear();
        QCOMPARE(file->audioProperties().duration, 1000);
        QVERIFY(m_journal.isEmpty());
    }

    void failedMeasuringWhileReadingIsLeftToAudioProperties()
    {
        auto file = standInFile();
        m_first->failProperties = true;
        m_second->failProperties = true;
        file->readTags(0, true);
        m_second->failProperties = false;
        m_second->duration = 4321;
        m_journal.clear();
        QCOMPARE(file->audioProperties().duration, 4321);
        QCOMPARE(m_journal, (QStringList{"loose.readTags@0 []", "first.readAudioProperties@0",
                                         "second.readAudioProperties@0"}));
    }

    void readOneType()
    {
        auto file = standInFile();
        m_loose->tags = {{TagType::Id3v2, QStringLiteral("Front"), true, 0, 10},
                         {TagType::Id3v1, QStringLiteral("Back"), false, 56, 8}};
        m_first->tags = {{TagType::VorbisComment, QStringLiteral("Inside")}};
        file->readTags(0, true);
        m_first->tags.clear();
        m_loose->tags = {{TagType::Id3v2, QStringLiteral("New front"), true, 0, 12},
                         {TagType::Id3v1, QStringLiteral("New back"), false, 56, 8}};
        m_journal.clear();
        file->readTags(TagType::Id3v2, true);

        // Loose tags are still read for every type, but only the requested one is stored;
        // the merged tag stays as it was.
        QCOMPARE(m_journal, (QStringList{"loose.readTags@0 []", "first.readTags@12 [3]"}));
        QCOMPARE(tagTitles(*file), (QStringList{"0:Inside|Front|Back", "2:Back", "3:New front", "6:Inside"}));
    }

    void noReaderSucceeds()
    {
        auto file = standInFile();
        m_loose->tags = {{TagType::Id3v2, QStringLiteral("Front"), true, 0, 10}};
        m_first->failRead = true;
        m_second->failRead = true;
        try {
            file->readTags(0, true);
            QFAIL("no reader succeeded, yet readTags returned");
        } catch (const Exception &e) {
            QCOMPARE(e.code, NoTagReader);
        }
        QVERIFY(!isOpen(*file));
        QCOMPARE(tagTitles(*file), QStringList{"3:Front"});

        // The device was closed, so the next read opens it again.
        m_second->failRead = false;
        file->readTags(0, true);
        QCOMPARE(tagTitles(*file), (QStringList{"0:Front", "3:Front"}));
    }

    void failingLooseTagReaderClosesTheFile()
    {
        auto file = standInFile();
        m_loose->failRead = true;
        try {
            file->readTags(0, true);
            QFAIL("the loose-tag reader's failure was swallowed");
        } catch (const Exception &e) {
            QCOMPARE(e.code, StandInFailure);
        }
        QVERIFY(!isOpen(*file));
        QCOMPARE(m_journal, QStringList{"loose.readTags@0 []"});

        m_loose->failRead = false;
        m_loose->failRemove = true;
        QVERIFY_THROWS_EXCEPTION(Exception, file->writeTags(0));
        QVERIFY(!isOpen(*file));

        m_loose->failRemove = false;
        file->readTags(0, true);
        QVERIFY(!isOpen(*file));
    }

    void typeThatReadsLooseTagsItself()
    {
        makeFile(QStringLiteral("song.mp3"));
        FileType type(1, {QStringLiteral("mp3")}, QByteArray(), {m_loose.get()}, {}, nullptr);
        AudioFile file(filePath(QStringLiteral("song.mp3")));
        file.setFormat(&type, m_loose.get());
        m_loose->tags = {{TagType::Id3v2, QStringLiteral("Front"), true, 0, 10}};
        file.readTags(0, true);
        QCOMPARE(m_journal, (QStringList{"loose.readTags@0 []", "loose.readAudioProperties@0"}));
        file.taggingSettings.writtenTagTypes[1] = {{TagType::Id3v2, TagTypeMode::Write}};
        m_journal.clear();
        file.writeTags(0);
        QCOMPARE(m_journal, QStringList{"loose.writeTags@0 [3]"});
    }

    void withoutFileType()
    {
        const QString path = makeFile(QStringLiteral("song.xyz"));
        AudioFile file(path);
        QCOMPARE(m_logger->codes, QList<quint32>{NoFileTypeWarning});
        QCOMPARE(file.typeRecord(), nullptr);
        QCOMPARE(file.fileType(), 0);
        QVERIFY(!AudioFile::isSupported(path));

        file.setFormat(nullptr, m_loose.get());
        m_loose->tags = {{TagType::Id3v2, QStringLiteral("Front"), true, 0, 10}};
        try {
            file.readTags(0, true);
            QFAIL("read without a reader");
        } catch (const Exception &e) {
            QCOMPARE(e.code, NoTagReader);
        }
        QCOMPARE(tagTitles(file), QStringList{"3:Front"});

        // Without a writer the loose tags are not stripped: the file is not touched.
        m_journal.clear();
        try {
            file.writeTags(0);
            QFAIL("written without a writer");
        } catch (const Exception &e) {
            QCOMPARE(e.code, NoTagWriter);
        }
        QVERIFY(m_journal.isEmpty());
        QVERIFY(!isOpen(file));

        try {
            file.audioProperties();
            QFAIL("measured without a reader");
        } catch (const Exception &e) {
            QCOMPARE(e.code, NoAudioProperties);
        }
        QVERIFY(m_journal.isEmpty());
    }

    void folderArtwork()
    {
        auto file = standInFile();
        const QByteArray picture("\xFF\xD8\xFF picture bytes", 17);
        makeFile(QStringLiteral("cover.jpg"), picture);
        makeFile(QStringLiteral("copy.jpg"), picture);
        makeFile(QStringLiteral("notes.txt"), "text");
        file->readTags(0, true);
        // No tag anywhere, yet the pictures beside the file make a merged tag; identical
        // pictures are not compared with each other.
        QVERIFY(file->tags().contains(0));
        QCOMPARE(file->tags().value(0)->items(TagItemType::Artwork).size(), 2);

        // A picture the tag already holds (same bytes) is not added again.
        AudioTag tag;
        tag.addItem(new ArtworkTagItem(CodedImage(picture), 0, QStringLiteral("held")));
        makeFile(QStringLiteral("back.png"), "other bytes");
        file->addFolderArtwork(&tag);
        const QList<TagItem *> artwork = tag.items(TagItemType::Artwork);
        QCOMPARE(artwork.size(), 2);
        QCOMPARE(static_cast<ArtworkTagItem *>(artwork.at(1))->image().data, QByteArray("other bytes"));
    }

    void noArtworkMeansNoMergedTag()
    {
        auto file = standInFile();
        file->readTags(0, true);
        QVERIFY(file->tags().isEmpty());
    }

    void artworkFolderSize_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("pictures");
        QTest::newRow("100 entries") << 100 << 1;
        QTest::newRow("101 entries") << 101 << 0;
    }
    void artworkFolderSize()
    {
        QFETCH(int, entries);
        QFETCH(int, pictures);
        auto file = standInFile();
        makeFile(QStringLiteral("cover.jpg"), "picture");
        const int present = entryCount(m_dir->path());
        for (int i = present; i < entries; ++i)
            QVERIFY(!makeFile(QStringLiteral("f%1.txt").arg(i)).isEmpty());
        AudioTag tag;
        file->addFolderArtwork(&tag);
        QCOMPARE(tag.items(TagItemType::Artwork).size(), pictures);
    }

    void writeOrderAndLists_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("firstFails");
        QTest::addColumn<QStringList>("journal");
        const QString remove = QStringLiteral("loose.removeTags@0 []");
        QTest::newRow("tag with items")
            << "Title" << false
            << QStringList{remove, "first.writeTags@0 [6,3]", "first.removeTags@0 [5]"};
        QTest::newRow("first writer fails")
            << "Title" << true
            << QStringList{remove, "first.writeTags@0 [6,3]", "second.writeTags@0 [6,3]", "second.removeTags@0 [5]"};
        QTest::newRow("empty tag") << "" << false << QStringList{remove, "first.removeTags@0 [6,3,5]"};
    }
    void writeOrderAndLists()
    {
        QFETCH(QString, title);
        QFETCH(bool, firstFails);
        QFETCH(QStringList, journal);
        auto file = standInFile({{TagType::VorbisComment, TagTypeMode::Write},
                                 {TagType::Id3v1, TagTypeMode::Keep},
                                 {TagType::Id3v2, TagTypeMode::Write},
                                 {TagType::Ape, TagTypeMode::Remove}});
        if (!title.isEmpty())
            file->tag(0)->addItem(new TitleTagItem(title));
        m_first->failWrite = firstFails;
        file->writeTags(0);
        QCOMPARE(m_journal, journal);
        QCOMPARE((firstFails ? m_second : m_first)->writtenTitle, title);
        QVERIFY(!isOpen(*file));
        QCOMPARE(m_logger->codes.first(), WritingInfo);
    }

    void writeOneType()
    {
        auto file = standInFile({{TagType::VorbisComment, TagTypeMode::Write}});
        file->tag(TagType::Id3v2)->addItem(new TitleTagItem(QStringLiteral("x")));
        file->taggingSettings.updateTaggingDate = false;
        file->writeTags(TagType::Id3v2);
        QCOMPARE(m_journal, (QStringList{"loose.removeTags@0 []", "first.writeTags@0 [3]"}));
        m_journal.clear();
        file->writeTags(TagType::Ape);
        QCOMPARE(m_journal, (QStringList{"loose.removeTags@0 []", "first.removeTags@0 [5]"}));
    }

    void noWriterSucceeds()
    {
        auto file = standInFile({{TagType::VorbisComment, TagTypeMode::Write}});
        file->tag(0)->addItem(new TitleTagItem(QStringLiteral("x")));
        m_first->failWrite = true;
        m_second->failRemove = true;
        file->taggingSettings.writtenTagTypes[3].append({TagType::Ape, TagTypeMode::Remove});
        try {
            file->writeTags(0);
            QFAIL("no writer succeeded, yet writeTags returned");
        } catch (const Exception &e) {
            QCOMPARE(e.code, NoTagWriter);
        }
        QVERIFY(!isOpen(*file));
    }

    void taggingDate()
    {
        auto file = standInFile({{TagType::VorbisComment, TagTypeMode::Write}});
        AudioTag *tag = file->tag(0);
        tag->addItem(new TitleTagItem(QStringLiteral("x")));
        tag->addItem(new TaggingDateTagItem(PartialDateTime(2001, 1, 1)));
        tag->addItem(new TaggingDateTagItem(PartialDateTime(2002, 2, 2)));
        const QDateTime before = QDateTime::currentDateTime();
        file->writeTags(0);
        const QList<TagItem *> dates = tag->items(TagItemType::TaggingDate);
        QCOMPARE(dates.size(), 2);
        const PartialDateTime stamped = static_cast<DateTimeTagItem *>(dates.at(0))->value;
        QVERIFY(stamped.msec() >= 0);
        QVERIFY(stamped.year() >= before.date().year());
        QCOMPARE(dates.at(1)->toString(), QStringLiteral("2002-02-02"));

        file->taggingSettings.updateTaggingDate = false;
        auto *kept = new TaggingDateTagItem(PartialDateTime(1999));
        tag->replaceItem(kept, 0);
        file->writeTags(0);
        QCOMPARE(tag->item(TagItemType::TaggingDate, 0)->toString(), QStringLiteral("1999"));
    }

    void writingAVanishedFile()
    {
        auto file = standInFile({{TagType::VorbisComment, TagTypeMode::Write}});
        file->tag(0)->addItem(new TitleTagItem(QStringLiteral("x")));
        QVERIFY(QFile::remove(filePath(QStringLiteral("song.flac"))));
        try {
            file->writeTags(0);
            QFAIL("wrote a file that is gone");
        } catch (const Exception &e) {
            QCOMPARE(e.code, FileGone);
        }
        QVERIFY(m_journal.isEmpty());
        QVERIFY(!QFile::exists(filePath(QStringLiteral("song.flac"))));
    }

    void writeProtectedFile_data()
    {
        QTest::addColumn<bool>("update");
        QTest::addColumn<int>("mode");
        QTest::newRow("left alone") << false << 0440;
        QTest::newRow("owner may write") << true << 0640;
    }
    void writeProtectedFile()
    {
        QFETCH(bool, update);
        QFETCH(int, mode);
        auto file = standInFile({{TagType::VorbisComment, TagTypeMode::Write}});
        file->tag(0)->addItem(new TitleTagItem(QStringLiteral("x")));
        file->taggingSettings.updateWriteProtectedFiles = update;
        const QString path = filePath(QStringLiteral("song.flac"));
        const auto readOnly = QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(path, readOnly));
        // Held open, the stream cannot be probed for writing even where the process may
        // write any file, so the permission step runs; the open for writing then fails.
        file->stream()->open(QIODevice::ReadOnly);
        try {
            file->writeTags(0);
            QFAIL("wrote through a device that was open already");
        } catch (const Exception &e) {
            QCOMPARE(e.code, DeviceOpenFailure);
        }
        file->stream()->device()->close();
        struct stat status;
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
        QCOMPARE(int(status.st_mode & 0777), mode);
        QCOMPARE(m_logger->codes.contains(MakingWritableInfo), update);
        QVERIFY(m_journal.isEmpty());
    }

    void audioPropertiesOrderAndCache()
    {
        auto file = standInFile();
        m_loose->tags = {{TagType::Id3v2, QStringLiteral("Front"), true, 0, 10}};
        m_first->failProperties = true;
        m_second->duration = 4321;
        const AudioProperties properties = file->audioProperties();
        QCOMPARE(properties.duration, 4321);
        // Measured from where the container begins, behind the loose tags in front.
        QCOMPARE(m_journal, (QStringList{"loose.readTags@0 []", "first.readAudioProperties@10",
                                         "second.readAudioProperties@10"}));
        QVERIFY(!isOpen(*file));
        QCOMPARE(m_logger->codes, QList<quint32>{MeasuringInfo});

        // Cached: no message, no reader, no open.
        m_journal.clear();
        m_logger->codes.clear();
        file->stream()->open(QIODevice::ReadOnly);
        QCOMPARE(file->audioProperties().duration, 4321);
        QVERIFY(m_journal.isEmpty());
        QVERIFY(m_logger->codes.isEmpty());
    }

    void audioPropertiesNotFound()
    {
        auto file = standInFile();
        m_first->validProperties = false;
        m_second->failProperties = true;
        try {
            file->audioProperties();
            QFAIL("invalid properties accepted");
        } catch (const Exception &e) {
            QCOMPARE(e.code, NoAudioProperties);
        }
        QVERIFY(!isOpen(*file));

        // Until one call succeeds, every call measures again.
        m_second->failProperties = false;
        m_journal.clear();
        QCOMPARE(file->audioProperties().duration, 1000);
        QCOMPARE(m_journal, (QStringList{"loose.readTags@0 []", "first.readAudioProperties@0",
                                         "second.readAudioProperties@0"}));
    }

    void audioPropertiesDespiteFailingLooseTags()
    {
        auto file = standInFile();
        m_loose->failRead = true;
        QCOMPARE(file->audioProperties().duration, 1000);
        QCOMPARE(m_journal, (QStringList{"loose.readTags@0 []", "first.readAudioProperties@0"}));
    }

    void supportedAndCaptions()
    {
        QVERIFY(AudioFile::isSupported(filePath(QStringLiteral("a.ac3"))));
        QVERIFY(AudioFile::isSupported(filePath(QStringLiteral("a.MP3"))));
        QVERIFY(!AudioFile::isSupported(filePath(QStringLiteral("a.xyz"))));
        QVERIFY(!AudioFile::isSupported(filePath(QStringLiteral("mp3"))));

        TextTable::table().insert(1713776559u, QStringLiteral("file %1"));
        TextTable::table().insert(42080409u, QStringLiteral("%1 files"));
        AudioFile one(filePath(QStringLiteral("One.mp3")));
        AudioFile two(filePath(QStringLiteral("Two.mp3")));
        QCOMPARE(AudioFile::filesCaption({}), QStringLiteral("0 files"));
        QCOMPARE(AudioFile::filesCaption({&one}), QStringLiteral("file One.mp3"));
        QCOMPARE(AudioFile::filesCaption({&one, &two}), QStringLiteral("2 files"));
        QCOMPARE(one.fileName(), QStringLiteral("One.mp3"));

        const QStringList filters = FileType::fileDialogFilters();
        QCOMPARE(filters.size(), FileType::allSuffixes().size());
        QCOMPARE(filters.first(), QStringLiteral("*.mp1"));
        QVERIFY(filters.contains(QStringLiteral("*.mp+")));
        QCOMPARE(filters.last(), QStringLiteral("*.vqf"));
    }
};

QTEST_GUILESS_MAIN(TestAudioFile)
#include "tst_audiofile.moc"
