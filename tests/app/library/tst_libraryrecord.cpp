// The library record in the settings, the registry of libraries, duplicate resolution
// conditions (their stored form and their comparisons) and the choice of the kept duplicate.

#include "app/library/duplicatefilesgroup.h"
#include "app/library/duplicateresolutioncondition.h"
#include "app/library/fsmusiclibrary.h"
#include "app/library/support_library.h"
#include "libcore/image/codedimage.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/util/partialdatetime.h"
#include "libtagging/model/audiofile.h"

#include <QtTest>

#include <memory>

class TestLibraryRecord : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    static QString entry() { return QStringLiteral("test/condition"); }

    static QStringList childKeys(const QString &key)
    {
        QStringList names;
        for (const char *name : {"dataType", "type", "preferredValue", "preferredValueType"}) {
            if (SettingsStore::count(key + QLatin1Char('/') + QLatin1String(name)) > 0)
                names.append(QLatin1String(name));
        }
        return names;
    }

    void reload()
    {
        const QString path = m_dir.filePath(QStringLiteral("settings.xml"));
        SettingsStore::saveFile(path);
        SettingsStore::reset();
        SettingsStore::loadFile(path);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        loadLibraryTestEnvironment();
    }
    void init() { SettingsStore::reset(); }

    void conditionRoundTrip_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("storedText");
        QTest::addColumn<QString>("storedType");
        QTest::addColumn<QVariant>("readBack");
        QTest::newRow("integer") << 2 << QVariant(300) << "300" << "int" << QVariant(qint64(300));
        QTest::newRow("unsigned") << 2 << QVariant(quint32(7)) << "7" << "int" << QVariant(qint64(7));
        QTest::newRow("double") << 2 << QVariant(1.5) << "1.500000" << "double" << QVariant(1.5);
        QTest::newRow("float") << 2 << QVariant(2.25f) << "2.250000" << "double" << QVariant(2.25);
        QTest::newRow("text") << 2 << QVariant(QStringLiteral("x")) << "x" << "string" << QVariant(QStringLiteral("x"));
        QTest::newRow("year only") << 2 << QVariant::fromValue(PartialDateTime(2001)) << "2001" << "date"
                                   << QVariant::fromValue(PartialDateTime(2001));
        QTest::newRow("full date") << 2 << QVariant::fromValue(PartialDateTime(2001, 2, 3, 4, 5, 6, 7))
                                   << "2001-02-03T04:05:06:007" << "date"
                                   << QVariant::fromValue(PartialDateTime(2001, 2, 3, 4, 5, 6, 7));
        QTest::newRow("type 1 keeps no value") << 1 << QVariant(5) << "" << "" << QVariant(0);
        QTest::newRow("type 7 kept") << 7 << QVariant(5) << "" << "" << QVariant(0);
    }
    void conditionRoundTrip()
    {
        QFETCH(int, type);
        QFETCH(QVariant, value);
        QFETCH(QString, storedText);
        QFETCH(QString, storedType);
        QFETCH(QVariant, readBack);
        // A value stored before must not survive a rewrite without one.
        DuplicateResolutionCondition(ModelDataType(FileProperty::fileSize), 2, QVariant(9)).save(entry());
        DuplicateResolutionCondition(ModelDataType(AudioProperty::audioBitrate), type, value).save(entry());
        QCOMPARE(SettingsStore::value(entry() + "/dataType"), QStringLiteral("audioBitrate"));
        QCOMPARE(SettingsStore::value(entry() + "/type"), QString::number(type));
        if (type == 2) {
            QCOMPARE(childKeys(entry()).size(), 4);
            QCOMPARE(SettingsStore::value(entry() + "/preferredValue"), storedText);
            QCOMPARE(SettingsStore::value(entry() + "/preferredValueType"), storedType);
        } else {
            QCOMPARE(childKeys(entry()), QStringList({"dataType", "type"}));
        }
        reload();
        const DuplicateResolutionCondition loaded = DuplicateResolutionCondition::load(entry());
        QCOMPARE(loaded.dataType, ModelDataType(AudioProperty::audioBitrate));
        QCOMPARE(loaded.type, type);
        QCOMPARE(loaded.preferredValue.typeId(), readBack.typeId());
        QCOMPARE(loaded.preferredValue, readBack);
    }

    // Entries written with type numbers (by older versions) still read; names in any case.
    void conditionOldTypeNumbers_data()
    {
        QTest::addColumn<QString>("storedType");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("4 integer") << "4" << "300" << QVariant(qint64(300));
        QTest::newRow("2 int") << "2" << "-3" << QVariant(qint64(-3));
        QTest::newRow("6 double") << "6" << "1.500000" << QVariant(1.5);
        QTest::newRow("135 float") << "135" << "0.5" << QVariant(0.5);
        QTest::newRow("10 string") << "10" << "abc" << QVariant(QStringLiteral("abc"));
        QTest::newRow("Qt 4 user type: a date") << "256" << "1999-12" << QVariant::fromValue(PartialDateTime(1999, 12));
        QTest::newRow("Qt 6 user type: a date") << "65599" << "1999" << QVariant::fromValue(PartialDateTime(1999));
        QTest::newRow("name in upper case") << "DATE" << "2004" << QVariant::fromValue(PartialDateTime(2004));
        QTest::newRow("unknown name") << "colour" << "red" << QVariant(0);
        QTest::newRow("unknown number") << "1" << "true" << QVariant(0);
        QTest::newRow("integer not a number") << "int" << "x" << QVariant(qint64(0));
    }
    void conditionOldTypeNumbers()
    {
        QFETCH(QString, storedType);
        QFETCH(QString, text);
        QFETCH(QVariant, expected);
        SettingsStore::setValue(entry() + "/dataType", "ReleaseDate");
        SettingsStore::setValue(entry() + "/type", "2");
        SettingsStore::setValue(entry() + "/preferredValue", text);
        SettingsStore::setValue(entry() + "/preferredValueType", storedType);
        const DuplicateResolutionCondition loaded = DuplicateResolutionCondition::load(entry());
        QCOMPARE(loaded.dataType, ModelDataType(TagItemType::ReleaseDate));
        QCOMPARE(loaded.preferredValue.typeId(), expected.typeId());
        QCOMPARE(loaded.preferredValue, expected);
    }

    void conditionDataTypeNames()
    {
        SettingsStore::setValue(entry() + "/dataType", "_BITRATE");
        QCOMPARE(DuplicateResolutionCondition::load(entry()).dataType, ModelDataType(AudioProperty::audioBitrate));
        SettingsStore::setValue(entry() + "/dataType", "noSuchThing");
        QCOMPARE(DuplicateResolutionCondition::load(entry()).dataType, ModelDataType());
    }

    void compareValues_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("preferred");
        QTest::addColumn<QVariant>("a");
        QTest::addColumn<QVariant>("b");
        QTest::addColumn<int>("expected");
        const QVariant none;
        QTest::newRow("missing a loses") << 1 << none << none << QVariant(3) << -1;
        QTest::newRow("missing b loses") << 0 << none << QVariant(3) << none << 1;
        QTest::newRow("both missing") << 0 << none << none << none << 0;
        QTest::newRow("different types tie") << 0 << none << QVariant(3) << QVariant(QStringLiteral("3")) << 0;
        QTest::newRow("lowest integer") << 0 << none << QVariant(3) << QVariant(5) << 1;
        QTest::newRow("highest integer") << 1 << none << QVariant(3) << QVariant(5) << -1;
        QTest::newRow("equal integers") << 1 << none << QVariant(5) << QVariant(5) << 0;
        QTest::newRow("closest integer") << 2 << QVariant(qint64(128)) << QVariant(192) << QVariant(120) << -1;
        QTest::newRow("closest integer, equal distance") << 2 << QVariant(qint64(10)) << QVariant(8) << QVariant(12) << 0;
        QTest::newRow("closest integer, text target") << 2 << QVariant(QStringLiteral("1")) << QVariant(1) << QVariant(9) << 0;
        QTest::newRow("closest integer, extremes") << 2 << QVariant(qint64(0)) << QVariant(std::numeric_limits<qint64>::min())
                                                   << QVariant(std::numeric_limits<qint64>::max()) << -1;
        QTest::newRow("lowest double") << 0 << none << QVariant(1.5) << QVariant(0.5) << -1;
        QTest::newRow("closest double") << 2 << QVariant(1.0) << QVariant(1.5) << QVariant(0.25) << 1;
        QTest::newRow("closest double, integer target") << 2 << QVariant(1) << QVariant(1.5) << QVariant(0.25) << 0;
        QTest::newRow("false first") << 0 << none << QVariant(false) << QVariant(true) << 1;
        QTest::newRow("true first") << 1 << none << QVariant(false) << QVariant(true) << -1;
        QTest::newRow("flag never closest") << 2 << QVariant(1) << QVariant(false) << QVariant(true) << 0;
        QTest::newRow("text first") << 0 << none << QVariant(QStringLiteral("a")) << QVariant(QStringLiteral("b")) << 1;
        QTest::newRow("text last") << 1 << none << QVariant(QStringLiteral("a")) << QVariant(QStringLiteral("b")) << -1;
        QTest::newRow("text never closest") << 2 << QVariant(QStringLiteral("a")) << QVariant(QStringLiteral("a"))
                                            << QVariant(QStringLiteral("b")) << 0;
        QTest::newRow("earliest partial date") << 0 << none << QVariant::fromValue(PartialDateTime(2001))
                                               << QVariant::fromValue(PartialDateTime(1999, 5)) << -1;
        QTest::newRow("unknown month after known") << 0 << none << QVariant::fromValue(PartialDateTime(2001))
                                                   << QVariant::fromValue(PartialDateTime(2001, 5)) << -1;
        QTest::newRow("closest partial date") << 2 << QVariant::fromValue(PartialDateTime(2000))
                                              << QVariant::fromValue(PartialDateTime(1990))
                                              << QVariant::fromValue(PartialDateTime(2003)) << -1;
        QTest::newRow("closest date, integer target") << 2 << QVariant(2000) << QVariant::fromValue(PartialDateTime(1990))
                                                      << QVariant::fromValue(PartialDateTime(2003)) << 0;
        QTest::newRow("latest date") << 1 << none << QVariant(QDate(2000, 1, 1)) << QVariant(QDate(2000, 1, 2)) << -1;
        QTest::newRow("closest date") << 2 << QVariant::fromValue(PartialDateTime(2000, 1, 1))
                                      << QVariant(QDate(2000, 1, 3)) << QVariant(QDate(1999, 12, 31)) << -1;
    }
    void compareValues()
    {
        QFETCH(int, type);
        QFETCH(QVariant, preferred);
        QFETCH(QVariant, a);
        QFETCH(QVariant, b);
        QFETCH(int, expected);
        const DuplicateResolutionCondition condition(ModelDataType(AudioProperty::audioBitrate), type, preferred);
        QCOMPARE(condition.compareValues(a, b), expected);
        if (expected != 0)
            QCOMPARE(condition.compareValues(b, a), -expected);
    }

    void compareImages()
    {
        const auto image = [](int width, int height) {
            CodedImage coded(QImage(width, height, QImage::Format_RGB32), QStringLiteral("PNG"));
            return QVariant::fromValue(coded);
        };
        const DuplicateResolutionCondition highest(ModelDataType(TagItemType::Artwork), 1, QVariant(0));
        QCOMPARE(highest.compareValues(image(600, 600), image(500, 500)), 1);
        QCOMPARE(highest.compareValues(image(300, 1200), image(600, 600)), 0);
        const DuplicateResolutionCondition closest(ModelDataType(TagItemType::Artwork), 2, QVariant(qint64(250000)));
        QCOMPARE(closest.compareValues(image(600, 600), image(500, 500)), -1);
    }

    // The first condition that decides wins; on a full tie a library file beats a new one,
    // otherwise the earlier file stays.
    void resolution_data()
    {
        QTest::addColumn<QList<int>>("bitrateOrder"); // condition types, in order; empty: none
        QTest::addColumn<QList<bool>>("isNew");
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<int>("kept");
        QTest::newRow("no conditions, new files only") << QList<int>() << QList<bool>{true, true} << QList<int>{1, 2} << 0;
        QTest::newRow("no conditions, library file wins") << QList<int>() << QList<bool>{true, true, false, false}
                                                           << QList<int>{1, 2, 3, 4} << 2;
        QTest::newRow("highest wins") << QList<int>{1} << QList<bool>{true, true, false} << QList<int>{1, 5, 3} << 1;
        QTest::newRow("lowest wins") << QList<int>{0} << QList<bool>{true, true, false} << QList<int>{4, 5, 3} << 2;
        QTest::newRow("tie goes to library") << QList<int>{1} << QList<bool>{true, false} << QList<int>{5, 5} << 1;
        QTest::newRow("missing value loses") << QList<int>{0} << QList<bool>{true, true} << QList<int>{-1, 9} << 1;
    }
    void resolution()
    {
        QFETCH(QList<int>, bitrateOrder);
        QFETCH(QList<bool>, isNew);
        QFETCH(QList<int>, values);
        QFETCH(int, kept);
        // Track numbers of files made by hand stand in for any compared value.
        QObject owner;
        const QString mp3 = encodeAudio(m_dir.path(), QStringLiteral("mp3"), 1);
        if (mp3.isEmpty())
            QSKIP("lame is needed for real files");
        QList<AudioFile *> files;
        QList<AudioFile *> newFiles;
        for (int i = 0; i < values.size(); ++i) {
            const QString path = m_dir.filePath(QStringLiteral("r%1.mp3").arg(i));
            QMap<int, QVariant> tags{{TagItemType::Title, QStringLiteral("t")}};
            if (values.at(i) >= 0)
                tags.insert(TagItemType::TrackNumber, values.at(i));
            QVERIFY(makeTaggedFile(mp3, path, tags));
            auto *file = new AudioFile(path, &owner);
            file->readTags();
            files.append(file);
            if (isNew.at(i))
                newFiles.append(file);
        }
        QList<DuplicateResolutionCondition *> conditions;
        DuplicateResolutionCondition c0(ModelDataType(TagItemType::TrackNumber), bitrateOrder.value(0), QVariant(0));
        if (!bitrateOrder.isEmpty())
            conditions.append(&c0);
        DuplicateFilesGroup group;
        group.sets.append(new DuplicateSet{files, nullptr});
        group.resolve(conditions, newFiles);
        QCOMPARE(group.sets.first()->keptFile, files.at(kept));
        for (int i = 0; i < files.size(); ++i) {
            QCOMPARE(group.isDiscarded(files.at(i)), i != kept);
            QCOMPARE(group.isDiscarded(files.at(i)->filePath()), i != kept);
        }
    }

    void actionNames()
    {
        QVERIFY(!duplicateActionName(0).isEmpty());
        QVERIFY(!duplicateActionName(3).isEmpty());
        QVERIFY(duplicateActionName(4).isEmpty());
        QVERIFY(duplicateActionName(-1).isEmpty());
    }

    void recordDefaults()
    {
        FsMusicLibrary library;
        QCOMPARE(library.id, -1);
        QVERIFY(library.retagFiles);
        QCOMPARE(library.duplicateDetectionStrategy, 1);
        QCOMPARE(library.duplicateResolutionStrategy, 2);
        QCOMPARE(library.type(), QStringLiteral("fs"));
        // Nothing stored under the key, neither in the user's document nor the defaults.
        library.load(QStringLiteral("nothing/here"));
        QCOMPARE(library.id, 0);
        QVERIFY(!library.retagFiles);
        QVERIFY(library.name.isEmpty() && library.rootPath.isEmpty() && library.duplicateSubfolder.isEmpty());
        QCOMPARE(library.duplicateDetectionStrategy, 0);
        QCOMPARE(library.duplicateResolutionStrategy, 0);
        QVERIFY(library.duplicateResolutionConditions.isEmpty());
    }

    void recordRoundTrip()
    {
        FsMusicLibrary library;
        library.id = 5;
        library.name = QStringLiteral("Jazz");
        library.rootPath = QStringLiteral("/music/jazz");
        library.singleArtistAlbumsPattern.subfolderPath = QStringLiteral("Albums");
        library.singleArtistAlbumsPattern.folder.levels = {{QStringLiteral("%artist%")}};
        library.retagFiles = false;
        library.duplicateDetectionStrategy = 5;
        library.duplicateSubfolder = QStringLiteral("Dup");
        library.duplicateResolutionStrategy = 3;
        for (int i = 0; i < 3; ++i)
            library.duplicateResolutionConditions.append(new DuplicateResolutionCondition(ModelDataType(TagItemType::TrackNumber), i, QVariant(i)));
        const QString key = QStringLiteral("test/library");
        library.save(key);
        QCOMPARE(SettingsStore::value(key + "/type"), QStringLiteral("fs"));
        reload();
        FsMusicLibrary loaded;
        loaded.load(key);
        QCOMPARE(loaded.id, 5);
        QCOMPARE(loaded.name, library.name);
        QCOMPARE(loaded.rootPath, library.rootPath);
        QCOMPARE(loaded.singleArtistAlbumsPattern, library.singleArtistAlbumsPattern);
        QVERIFY(!loaded.retagFiles);
        QCOMPARE(loaded.duplicateDetectionStrategy, 5);
        QCOMPARE(loaded.duplicateResolutionStrategy, 3);
        QCOMPARE(loaded.duplicateSubfolder, QStringLiteral("Dup"));
        QCOMPARE(loaded.duplicateResolutionConditions.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(loaded.duplicateResolutionConditions.at(i)->type, i);

        // Saved again with one condition: without clearing the entry the old ones stay behind.
        qDeleteAll(library.duplicateResolutionConditions.mid(1));
        library.duplicateResolutionConditions.resize(1);
        library.save(key);
        QCOMPARE(SettingsStore::count(key + "/duplicate/resolution/conditions/condition"), 3);
        SettingsStore::removeChildren(key);
        library.save(key);
        QCOMPARE(SettingsStore::count(key + "/duplicate/resolution/conditions/condition"), 1);

        SettingsStore::setValue(key + "/duplicate/detection/strategy", QStringLiteral("on"));
        loaded.load(key);
        QCOMPARE(loaded.duplicateDetectionStrategy, 0);
    }

    // The registry map is built once per process: this one test drives it from the start.
    void registry()
    {
        SettingsStore::setValue("libraries/library[0]/id", "7");
        SettingsStore::setValue("libraries/library[0]/type", "fs");
        SettingsStore::setValue("libraries/library[0]/name", "Seven");
        SettingsStore::setValue("libraries/library[1]/id", "3");
        SettingsStore::setValue("libraries/library[1]/type", "cloud");
        SettingsStore::setValue("libraries/library[2]/id", "2");
        SettingsStore::setValue("libraries/library[2]/type", "fs");
        SettingsStore::setValue("libraries/library[2]/name", "Two");
        SettingsStore::setValue("libraries/nextId", "0");
        CollectingLogger log;
        const QMap<int, MusicLibrary *> &map = MusicLibrary::libraries();
        QCOMPARE(map.keys(), QList<int>({2, 7}));
        QCOMPARE(map.value(7)->name, QStringLiteral("Seven"));
        QCOMPARE(log.count(UnknownLibraryTypeTextId), 1);
        QCOMPARE(SettingsStore::value("libraries/library[1]/type"), QStringLiteral("cloud"));

        // A "libraries/nextId" below 1 gives id 1.
        auto *first = new FsMusicLibrary(this);
        first->name = QStringLiteral("First");
        first->store();
        QCOMPARE(first->parent(), nullptr);
        QCOMPARE(first->id, 1);
        QCOMPARE(SettingsStore::value("libraries/nextId"), QStringLiteral("2"));
        QCOMPARE(MusicLibrary::settingsKey(1), QStringLiteral("libraries/library[3]"));
        // The library it replaces in the map is the caller's to release.
        std::unique_ptr<MusicLibrary> replaced(MusicLibrary::libraries().value(2));
        auto *second = new FsMusicLibrary;
        second->store();
        QCOMPARE(second->id, 2);
        // Two entries carry id 2 now: the map keeps the later, the key scan finds the earlier.
        QCOMPARE(MusicLibrary::libraries().value(2), second);
        QCOMPARE(MusicLibrary::settingsKey(2), QStringLiteral("libraries/library[2]"));

        // Rewriting in place drops stale children.
        first->duplicateResolutionConditions.append(new DuplicateResolutionCondition);
        first->duplicateResolutionConditions.append(new DuplicateResolutionCondition);
        first->store();
        qDeleteAll(first->duplicateResolutionConditions);
        first->duplicateResolutionConditions.clear();
        first->store();
        QCOMPARE(SettingsStore::count("libraries/library[3]/duplicate/resolution/conditions/condition"), 0);

        MusicLibrary::setDefaultLibrary(first);
        QCOMPARE(MusicLibrary::defaultLibrary(), first);
        QObject bin;
        first->unregister(&bin);
        QCOMPARE(first->id, -1);
        QVERIFY(!MusicLibrary::libraries().contains(1));
        QCOMPARE(MusicLibrary::settingsKey(1), QString());
        QCOMPARE(MusicLibrary::defaultLibrary(), nullptr);
        QCOMPARE(SettingsStore::value("libraries/defaultLibrary"), QStringLiteral("1"));
        MusicLibrary::setDefaultLibrary(nullptr);
        QCOMPARE(SettingsStore::count("libraries/defaultLibrary"), 0);

        // Ids are never reused.
        auto *third = new FsMusicLibrary;
        third->store();
        QCOMPARE(third->id, 3);
    }

    void resetToDefaults()
    {
        FsMusicLibrary library;
        library.resetToDefaults();
        QCOMPARE(library.id, -1);
        QVERIFY(!library.name.isEmpty());
        QVERIFY(library.rootPath.endsWith(QLatin1Char('/') + library.name));
        QVERIFY(library.retagFiles);
        QCOMPARE(library.duplicateResolutionConditions.size(), 1);

        SettingsStore::setValue("library/defaultSettings/name", "Bad: name?");
        library.resetToDefaults();
        QVERIFY(library.rootPath.endsWith(QStringLiteral("/Bad name")));
    }
};

QTEST_GUILESS_MAIN(TestLibraryRecord)
#include "tst_libraryrecord.moc"
