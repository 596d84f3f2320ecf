#include <QtTest>

#include "libcore/settings/settingsstore.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/text/texttable.h"
#include "libtagging/model/filetype.h"
#include "libtagging/model/taggingsettings.h"

using Options = TaggingSettings::TagTypeOptions;
// Flat triples of file type, tag type and mode.
using Changes = QList<int>;
Q_DECLARE_METATYPE(Options)

namespace {

const QString Key = QStringLiteral("tagging/writtenTagTypes");

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

Options withChanges(const Changes &changes)
{
    Options options = TaggingSettings::defaultWrittenTagTypes();
    for (int i = 0; i + 2 < changes.size(); i += 3) {
        for (TagTypeOption &option : options[changes[i]]) {
            if (option.tagType == changes[i + 1])
                option.mode = changes[i + 2];
        }
    }
    return options;
}

// Every stored field away from its default, with values the loaders accept.
TaggingSettings changedSettings()
{
    TaggingSettings s;
    s.writtenTagTypes = withChanges({1, 4, 0, 13, 3, 1});
    s.multiArtistsInExtraField = false;
    s.updateTaggingDate = false;
    s.updateWriteProtectedFiles = true;
    s.aiff = {100, 4, 1};
    s.asf = {101, 102, true};
    s.flac = {103, 104};
    s.mp4 = {105, 106};
    s.riff = {107, 2, 0};
    s.opus = {108, 109};
    s.speex.coverArtType = 2;
    s.vorbis.coverArtType = 0;
    s.id3v1.textEncoding = 1;
    s.id3v2.version = 4;
    s.id3v2.textEncoding = 1;
    s.id3v2.useUnsync = true;
    s.id3v2.iTunesTags = true;
    s.id3v2.preferredPaddingSize = 110;
    s.id3v2.maximumPaddingSize = 111;
    s.vorbisComment.coverArtType = 2;
    return s;
}

Options byTagType(Options options)
{
    for (QList<TagTypeOption> &list : options)
        std::sort(list.begin(), list.end(), [](const TagTypeOption &a, const TagTypeOption &b) {
            return a.tagType < b.tagType;
        });
    return options;
}

} // namespace

class TestTaggingSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // The defaults document and the user's document from the given bodies.
    void setUp(const QByteArray &defaults, const QByteArray &current = QByteArray())
    {
        const QString defaultsPath = m_dir.filePath("defaults.xml");
        writeAll(defaultsPath, "<settings>" + defaults + "</settings>");
        SettingsStore::loadDefaultsFile(defaultsPath);
        const QString path = m_dir.filePath("current.xml");
        writeAll(path, "<settings>" + current + "</settings>");
        SettingsStore::loadFile(path);
    }

    void loadShippedDefaults()
    {
        SettingsStore::loadDefaultsFile(QStringLiteral(MELO_SOURCE_DIR "/app/resources/settings/defaults.xml"));
        SettingsStore::reset();
    }

private slots:
    void initTestCase()
    {
        registerResourceFiles({QStringLiteral("libcore.rcc"), QStringLiteral("libtagging.rcc")});
    }

    void defaultRecord()
    {
        const TaggingSettings s;
        QVERIFY(s.multiArtistsInExtraField);
        QVERIFY(s.updateTaggingDate);
        QVERIFY(!s.updateWriteProtectedFiles);
        QCOMPARE(s.writtenTagTypes, TaggingSettings::defaultWrittenTagTypes());
        QCOMPARE(s.id3v2.version, 3);
        QCOMPARE(s.vorbisComment.coverArtType, 1);
        QVERIFY(s == TaggingSettings::defaults());
    }

    void defaultWrittenTagTypes()
    {
        const Options &options = TaggingSettings::defaultWrittenTagTypes();
        // Ids whose file type has no default options (0, and 15 which has no type) are left out.
        const QList<int> ids = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16};
        QCOMPARE(options.keys(), ids);
        for (int id : ids)
            QCOMPARE(options.value(id), FileType::defaultTagTypeOptions(id));
        const QList<TagTypeOption> mpeg = {
            {2, TagTypeMode::Write}, {3, TagTypeMode::Write}, {4, TagTypeMode::Remove}, {5, TagTypeMode::Remove}};
        QCOMPARE(options.value(1), mpeg);
    }

    void loadWrittenTagTypes_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<Changes>("changes");
        QTest::newRow("absent") << QByteArray() << Changes();
        QTest::newRow("empty") << QByteArray("<tagging><writtenTagTypes/></tagging>") << Changes();
        QTest::newRow("two changes") << QByteArray("<tagging><writtenTagTypes>1:4:0,2:6:2</writtenTagTypes></tagging>")
                                     << Changes{1, 4, 0, 2, 6, 2};
        // Empty, not numeric, unknown file type, tag type the type does not list, too short.
        QTest::newRow("malformed entries skipped one by one")
            << QByteArray("<tagging><writtenTagTypes>1:4:0,,1:5:x,99:2:0,1:7:0,3:6</writtenTagTypes></tagging>")
            << Changes{1, 4, 0};
        QTest::newRow("too many fields") << QByteArray("<tagging><writtenTagTypes>1:4:0:1,1:5:0</writtenTagTypes></tagging>")
                                         << Changes{1, 5, 0};
        QTest::newRow("modes out of range skipped")
            << QByteArray("<tagging><writtenTagTypes>1:2:3,1:3:-1,1:4:1</writtenTagTypes></tagging>")
            << Changes{1, 4, 1};
    }
    void loadWrittenTagTypes()
    {
        QFETCH(QByteArray, stored);
        QFETCH(Changes, changes);
        setUp(QByteArray(), stored);
        QCOMPARE(TaggingSettings::loadWrittenTagTypes(Key), withChanges(changes));
    }

    void saveWrittenTagTypes_data()
    {
        QTest::addColumn<Options>("options");
        QTest::addColumn<QString>("stored");
        QTest::newRow("two changes") << withChanges({2, 6, 2, 1, 4, 0}) << "1:4:0,2:6:2";
        QTest::newRow("defaults") << TaggingSettings::defaultWrittenTagTypes() << QString();
        Options extra = TaggingSettings::defaultWrittenTagTypes();
        extra[1].append({7, TagTypeMode::Remove});
        extra[0].append({2, TagTypeMode::Remove});
        QTest::newRow("only options outside the defaults") << extra << QString();
        Options reordered = withChanges({1, 2, 2, 1, 5, 0});
        std::reverse(reordered[1].begin(), reordered[1].end());
        QTest::newRow("options in the map's order") << reordered << "1:5:0,1:2:2";
    }
    void saveWrittenTagTypes()
    {
        QFETCH(Options, options);
        QFETCH(QString, stored);
        setUp(QByteArray(), "<tagging><writtenTagTypes>9:9:9</writtenTagTypes></tagging>");
        TaggingSettings::saveWrittenTagTypes(options, Key);
        QCOMPARE(SettingsStore::value(Key), stored);
        QCOMPARE(SettingsStore::isUnset(Key), stored.isEmpty());
        // What was stored reads back, in the defaults' order of options.
        if (!stored.isEmpty())
            QCOMPARE(byTagType(TaggingSettings::loadWrittenTagTypes(Key)), byTagType(options));
    }

    void shippedDefaultsGiveTheRecordDefaults()
    {
        loadShippedDefaults();
        QVERIFY(TaggingSettings::load(QStringLiteral("tagging")) == TaggingSettings());
    }

    void keysFoundNowhere()
    {
        // Without the defaults document flags read false and most numbers 0; the ID3v2
        // version and encodings, which the writers cannot do without, fall back.
        setUp(QByteArray());
        const TaggingSettings s = TaggingSettings::load(QStringLiteral("tagging"));
        QCOMPARE(s.writtenTagTypes, TaggingSettings::defaultWrittenTagTypes());
        QVERIFY(!s.multiArtistsInExtraField);
        QVERIFY(!s.updateTaggingDate);
        QVERIFY(!s.updateWriteProtectedFiles);
        QCOMPARE(s.aiff.maximumPaddingSize, 0);
        QCOMPARE(s.asf.preferredPaddingSize, 0);
        QCOMPARE(s.flac.maximumPaddingSize, 0);
        QCOMPARE(s.mp4.preferredPaddingSize, 0);
        QCOMPARE(s.opus.maximumPaddingSize, 0);
        QCOMPARE(s.speex.coverArtType, 0);
        QCOMPARE(s.vorbis.coverArtType, 0);
        QCOMPARE(s.vorbisComment.coverArtType, 0);
        QCOMPARE(s.riff.id3Version, 3);
        QCOMPARE(s.riff.id3TextEncoding, 6);
        QCOMPARE(s.aiff.id3Version, 3);
        QCOMPARE(s.id3v2.version, 3);
        QCOMPARE(s.id3v2.textEncoding, 6);
        QCOMPARE(s.id3v1.textEncoding, 2);
    }

    void id3OptionsOutOfRange_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("too small") << QByteArray("<riff><id3Version>1</id3Version><id3TextEncoding>-1</id3TextEncoding></riff>"
                                                 "<aiff><id3Version>1</id3Version><id3TextEncoding>-1</id3TextEncoding></aiff>"
                                                 "<id3v2><version>1</version><textEncoding>-1</textEncoding></id3v2>"
                                                 "<id3v1><textEncoding>-1</textEncoding></id3v1>");
        QTest::newRow("too large") << QByteArray("<riff><id3Version>5</id3Version><id3TextEncoding>7</id3TextEncoding></riff>"
                                                 "<aiff><id3Version>5</id3Version><id3TextEncoding>7</id3TextEncoding></aiff>"
                                                 "<id3v2><version>5</version><textEncoding>7</textEncoding></id3v2>"
                                                 "<id3v1><textEncoding>3</textEncoding></id3v1>");
        QTest::newRow("not numbers") << QByteArray("<riff><id3Version>x</id3Version><id3TextEncoding/></riff>"
                                                   "<aiff><id3Version>v3</id3Version><id3TextEncoding>six</id3TextEncoding></aiff>"
                                                   "<id3v2><version/><textEncoding>?</textEncoding></id3v2>"
                                                   "<id3v1><textEncoding>z</textEncoding></id3v1>");
    }
    void id3OptionsOutOfRange()
    {
        QFETCH(QByteArray, stored);
        loadShippedDefaults();
        const QString path = m_dir.filePath("current.xml");
        writeAll(path, "<settings><tagging>" + stored + "</tagging></settings>");
        SettingsStore::loadFile(path);
        const TaggingSettings s = TaggingSettings::load(QStringLiteral("tagging"));
        QVERIFY(s == TaggingSettings());
    }

    void saveAndLoadEveryField()
    {
        loadShippedDefaults();
        SettingsStore::setValue("tagging/obsolete", "1");
        TaggingSettings changed = changedSettings();
        changed.save(QStringLiteral("tagging"));
        // Saving replaces the whole group.
        QVERIFY(SettingsStore::isUnset("tagging/obsolete"));
        QCOMPARE(SettingsStore::value(Key), QStringLiteral("1:4:0,13:3:1"));
        QCOMPARE(SettingsStore::value("tagging/id3v2/useUnsync"), QStringLiteral("true"));
        QCOMPARE(SettingsStore::value("tagging/updateTaggingDate"), QStringLiteral("false"));
        QVERIFY(TaggingSettings::load(QStringLiteral("tagging")) == changed);

        // Fields that are never stored keep their defaults.
        changed.vorbisComment.vendor = QStringLiteral("encoder");
        changed.vorbisComment.framingBit = false;
        changed.id3v2.availableSize = 500;
        changed.save(QStringLiteral("tagging"));
        const TaggingSettings loaded = TaggingSettings::load(QStringLiteral("tagging"));
        QCOMPARE(loaded.vorbisComment.vendor, QString());
        QVERIFY(loaded.vorbisComment.framingBit);
        QCOMPARE(loaded.id3v2.availableSize, 0);

        // The defaults saved into the user's document read back as the defaults.
        TaggingSettings().save(QStringLiteral("tagging"));
        QVERIFY(SettingsStore::isUnset(Key));
        QVERIFY(TaggingSettings::load(QStringLiteral("tagging")) == TaggingSettings());
    }

    void displayNames_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("named");
        enum { CoverArt, Version, Id3v2Encoding, Id3v1Encoding };
        QTest::newRow("cover art 0") << int(CoverArt) << 0 << true;
        QTest::newRow("cover art 2") << int(CoverArt) << 2 << true;
        QTest::newRow("cover art 3") << int(CoverArt) << 3 << false;
        QTest::newRow("cover art -1") << int(CoverArt) << -1 << false;
        QTest::newRow("version 1") << int(Version) << 1 << false;
        QTest::newRow("version 2") << int(Version) << 2 << true;
        QTest::newRow("version 4") << int(Version) << 4 << true;
        QTest::newRow("version 5") << int(Version) << 5 << false;
        QTest::newRow("ID3v2 encoding 0") << int(Id3v2Encoding) << 0 << true;
        QTest::newRow("ID3v2 encoding 6") << int(Id3v2Encoding) << 6 << true;
        QTest::newRow("ID3v2 encoding 7") << int(Id3v2Encoding) << 7 << false;
        QTest::newRow("ID3v1 encoding 2") << int(Id3v1Encoding) << 2 << true;
        QTest::newRow("ID3v1 encoding 3") << int(Id3v1Encoding) << 3 << false;
    }
    void displayNames()
    {
        QFETCH(int, option);
        QFETCH(int, value);
        QFETCH(bool, named);
        using Name = QString (*)(int);
        const Name names[] = {TaggingSettings::coverArtTypeName, TaggingSettings::id3v2VersionName,
                              TaggingSettings::id3v2TextEncodingName, TaggingSettings::id3v1TextEncodingName};
        QCOMPARE(!names[option](value).isEmpty(), named);
    }

    void displayNamesDistinct()
    {
        QSet<QString> encodings;
        for (int value = 0; value <= 6; ++value)
            encodings.insert(TaggingSettings::id3v2TextEncodingName(value));
        QCOMPARE(encodings.size(), 7);
        QCOMPARE(TaggingSettings::id3v1TextEncodingName(0), TaggingSettings::id3v2TextEncodingName(0));
        QCOMPARE(TaggingSettings::id3v1TextEncodingName(1), TaggingSettings::id3v2TextEncodingName(1));
        QCOMPARE(TaggingSettings::id3v1TextEncodingName(2), TaggingSettings::id3v2TextEncodingName(4));
        QCOMPARE(TaggingSettings::id3v2VersionName(3), QStringLiteral("ID3v2.3"));
    }
};

QTEST_GUILESS_MAIN(TestTaggingSettings)
#include "tst_taggingsettings.moc"
