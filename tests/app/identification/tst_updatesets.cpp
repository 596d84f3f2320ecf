#include <QtTest>

#include "app/identification/updateset.h"
#include "libcore/settings/settingsstore.h"

#include "support_identification.h"

using DataTypes = QMap<ModelDataType, int>;

namespace {
const ModelDataType Album(TagItemType::Album);
const ModelDataType AlbumArtist(TagItemType::AlbumArtist);
const ModelDataType Artist(TagItemType::Artist);
const ModelDataType Artwork(TagItemType::Artwork);
const ModelDataType Title(TagItemType::Title);

UpdateSet namedSet(const QString &name, const DataTypes &dataTypes)
{
    UpdateSet set;
    set.id = UpdateSet::DefaultSetId; // new
    set.name = name;
    set.dataTypes = dataTypes;
    return set;
}

QStringList storedNames()
{
    QStringList names;
    for (int i = 0; i < SettingsStore::count("updateSets/updateSet"); ++i)
        names.append(SettingsStore::value(QStringLiteral("updateSets/updateSet[%1]/name").arg(i)));
    return names;
}
} // namespace

// Update sets: the default set, the named sets of the settings and their cache, and the
// settings that select a set. The cache is made once per process, so the tests run in order:
// the first one finds the sets the settings held at start.
class TestUpdateSets : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        setUpIdentificationTests();
        QVERIFY(m_dir.isValid());
        SettingsStore::reset();
        // Settings as a user's file may hold them: an entry without an id, and an id twice.
        const QList<QStringList> entries = {
            {"3", "Tags only", "artist:1,album:1"},
            {"", "No id", "title:1"},
            {"5", "Pictures", "artwork:4"},
            {"3", "Tags again", "ARTIST:3"},
        };
        for (int i = 0; i < entries.size(); ++i) {
            const QString key = QStringLiteral("updateSets/updateSet[%1]/").arg(i);
            if (!entries.at(i).at(0).isEmpty())
                QVERIFY(SettingsStore::setValue(key + "id", entries.at(i).at(0)));
            QVERIFY(SettingsStore::setValue(key + "name", entries.at(i).at(1)));
            QVERIFY(SettingsStore::setValue(key + "data", entries.at(i).at(2)));
        }
        QVERIFY(SettingsStore::setValue("updateSets/nextId", "6"));
    }

    void defaultSetAndCacheFromTheSettings()
    {
        const UpdateSet &defaultSet = UpdateSet::defaultSet();
        QCOMPARE(defaultSet.id, 0);
        QCOMPARE(defaultSet.name, QStringLiteral("Default"));
        QVERIFY(defaultSet.dataTypes.isEmpty());

        const QMap<int, UpdateSet> &all = UpdateSet::all();
        QCOMPARE(all.keys(), (QList<int>{0, 3, 5}));
        QCOMPARE(all.value(0), defaultSet);
        // A later entry replaces an earlier one of the same id; the entry without an id does
        // not replace the default set.
        QCOMPARE(all.value(3).name, QStringLiteral("Tags again"));
        QCOMPARE(all.value(3).dataTypes, (DataTypes{{Artist, 3}}));
        QCOMPARE(all.value(5).dataTypes, (DataTypes{{Artwork, 4}}));

        // Emptied for the tests that follow.
        for (int id : {3, 5}) {
            UpdateSet set = all.value(id);
            set.remove();
            QCOMPARE(set.id, -1);
        }
        QCOMPARE(UpdateSet::all().keys(), QList<int>{0});
        QCOMPARE(storedNames(), (QStringList{"No id", "Tags again"}));
        SettingsStore::remove("updateSets");
    }

    void dataText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<DataTypes>("dataTypes");
        QTest::newRow("two pairs") << "album:0,artist:2" << DataTypes{{Artist, 2}, {Album, 0}};
        QTest::newRow("any letter case") << "ALBUM:0,Artist:2,AlbumArtist:1"
                                         << DataTypes{{Artist, 2}, {Album, 0}, {AlbumArtist, 1}};
        QTest::newRow("compatibility name") << "albumartist:1" << DataTypes{{AlbumArtist, 1}};
        QTest::newRow("malformed and unknown pairs") << "album:1:2,artist,nosuchtype:3,title:1"
                                                     << DataTypes{{Title, 1}};
        QTest::newRow("empty parts") << ",,artist:4," << DataTypes{{Artist, 4}};
        QTest::newRow("not a number") << "artist:x" << DataTypes{{Artist, 0}};
        QTest::newRow("repeated type") << "artist:1,artist:3" << DataTypes{{Artist, 3}};
        QTest::newRow("empty") << "" << DataTypes{};
    }

    void dataText()
    {
        QFETCH(QString, text);
        QFETCH(DataTypes, dataTypes);
        SettingsStore::setValue("test/data", text);
        UpdateSet set;
        set.dataTypes = {{Title, 9}}; // replaced, not added to
        set.parseDataText("test/data");
        QCOMPARE(set.dataTypes, dataTypes);

        // Written back in the order of the data types, without a comma at the end; read again
        // it gives the same types.
        set.dataText("test/written");
        const QString written = SettingsStore::value("test/written");
        QVERIFY(!written.endsWith(u','));
        UpdateSet read;
        read.parseDataText("test/written");
        QCOMPARE(read.dataTypes, dataTypes);
    }

    void dataTextWritesNamedTypesInOrder()
    {
        UpdateSet set;
        set.dataTypes = {{Artist, 2}, {Album, 0}, {ModelDataType(), 1}};
        set.dataText("test/written");
        QCOMPARE(SettingsStore::value("test/written"), QStringLiteral("album:0,artist:2"));
        set.dataTypes.clear();
        set.dataText("test/written");
        QCOMPARE(SettingsStore::value("test/written"), QString());
    }

    void selectingSetting_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("data");
        QTest::addColumn<int>("id");
        QTest::addColumn<DataTypes>("dataTypes");
        QTest::newRow("missing") << QString() << QString() << 0 << DataTypes{};
        QTest::newRow("unknown id") << "0" << "99" << 0 << DataTypes{};
        QTest::newRow("unknown type") << "5" << "artist:1" << 0 << DataTypes{};
        QTest::newRow("inline") << "1" << "artist:1,nosuch:2" << -1 << DataTypes{{Artist, 1}};
    }

    void selectingSetting()
    {
        QFETCH(QString, type);
        QFETCH(QString, data);
        QFETCH(int, id);
        QFETCH(DataTypes, dataTypes);
        SettingsStore::remove("identification");
        if (!type.isNull()) {
            SettingsStore::setValue("identification/updateSet/type", type);
            SettingsStore::setValue("identification/updateSet/data", data);
        }
        const UpdateSet set = UpdateSet::fromSetting("identification/updateSet");
        QCOMPARE(set.id, id);
        QCOMPARE(set.dataTypes, dataTypes);
        if (id == 0)
            QCOMPARE(set, UpdateSet::defaultSet());
        else
            QVERIFY(set.name.isNull());
    }

    void writeSelectingSetting()
    {
        const QString key = "identification/capitalization/updateSet";
        UpdateSet inlineSet;
        inlineSet.dataTypes = {{Artist, 2}, {Album, 1}};
        SettingsStore::setValue(key + "/stale", "x");
        inlineSet.writeSetting(key);
        QCOMPARE(SettingsStore::value(key + "/type"), QStringLiteral("1"));
        QCOMPARE(SettingsStore::value(key + "/data"), QStringLiteral("album:1,artist:2"));
        QVERIFY(SettingsStore::isUnset(key + "/stale"));
        QCOMPARE(UpdateSet::fromSetting(key).dataTypes, inlineSet.dataTypes);

        UpdateSet::defaultSet().writeSetting(key);
        QCOMPARE(SettingsStore::value(key + "/type"), QStringLiteral("0"));
        QCOMPARE(SettingsStore::value(key + "/data"), QStringLiteral("0"));

        UpdateSet named = namedSet("Named", {{Album, 1}});
        named.save();
        named.writeSetting(key);
        QCOMPARE(SettingsStore::value(key + "/data"), QString::number(named.id));
        QCOMPARE(UpdateSet::fromSetting(key), named);
        named.remove();
        // The set is gone: the setting falls back to the default set.
        QCOMPARE(UpdateSet::fromSetting(key), UpdateSet::defaultSet());
        SettingsStore::remove("updateSets");
    }

    void newIds_data()
    {
        QTest::addColumn<QString>("nextId"); // null: no such key
        QTest::addColumn<int>("id");
        QTest::newRow("no counter") << QString() << 1;
        QTest::newRow("counter at 0") << "0" << 1;
        QTest::newRow("negative counter") << "-3" << 1;
        QTest::newRow("counter at 7") << "7" << 7;
        QTest::newRow("unreadable counter") << "seven" << 1;
        QTest::newRow("counter at the end of the range") << "2147483647" << 1;
    }

    void newIds()
    {
        QFETCH(QString, nextId);
        QFETCH(int, id);
        QCOMPARE(UpdateSet::all().keys(), QList<int>{0});
        SettingsStore::remove("updateSets");
        if (!nextId.isNull())
            SettingsStore::setValue("updateSets/nextId", nextId);
        UpdateSet set = namedSet("New", {{Artist, 1}});
        set.save();
        QCOMPARE(set.id, id);
        QCOMPARE(SettingsStore::value("updateSets/nextId").toLongLong(), qint64(id) + 1);
        QCOMPARE(UpdateSet::settingsKeyForId(id), QStringLiteral("updateSets/updateSet[0]"));
        set.remove();
        SettingsStore::remove("updateSets");
    }

    // A counter set back (by hand, or by an older settings file) must not give a second set
    // the id of a stored one.
    void counterBehindTheStoredSets()
    {
        UpdateSet first = namedSet("First", {{Artist, 1}});
        first.save();
        QCOMPARE(first.id, 1);
        SettingsStore::setValue("updateSets/nextId", "1");
        UpdateSet second = namedSet("Second", {{Album, 1}});
        second.save();
        QCOMPARE(second.id, 2);
        QCOMPARE(UpdateSet::all().value(1).name, QStringLiteral("First"));
        QCOMPARE(UpdateSet::all().value(2).name, QStringLiteral("Second"));
        first.remove();
        second.remove();
        SettingsStore::remove("updateSets");
    }

    // Create, rename and delete named sets, then save them to a settings file and read
    // them back.
    void createRenameDeleteAndStore()
    {
        UpdateSet a = namedSet("A", {{Artist, 1}});
        UpdateSet b = namedSet("B", {{Album, 1}});
        UpdateSet c = namedSet("C", {{Artwork, 4}});
        a.save();
        b.save();
        c.save();
        QCOMPARE((QList<int>{a.id, b.id, c.id}), (QList<int>{1, 2, 3}));
        QCOMPARE(storedNames(), (QStringList{"A", "B", "C"}));

        // Renaming rewrites the set's own entry in place.
        b.name = "B renamed";
        b.dataTypes = {{Album, 3}, {Artist, 0}};
        b.save();
        QCOMPARE(b.id, 2);
        QCOMPARE(storedNames(), (QStringList{"A", "B renamed", "C"}));
        QCOMPARE(UpdateSet::all().value(2), b);

        // Removing the first moves the others up; both are still found by their ids.
        a.remove();
        QCOMPARE(a.id, -1);
        QCOMPARE(storedNames(), (QStringList{"B renamed", "C"}));
        QCOMPARE(UpdateSet::settingsKeyForId(2), QStringLiteral("updateSets/updateSet[0]"));
        QCOMPARE(UpdateSet::settingsKeyForId(3), QStringLiteral("updateSets/updateSet[1]"));
        QVERIFY(UpdateSet::settingsKeyForId(1).isNull());
        QCOMPARE(UpdateSet::all().keys(), (QList<int>{0, 2, 3}));

        // The default set and unstored sets are never removed.
        UpdateSet defaultCopy = UpdateSet::defaultSet();
        defaultCopy.remove();
        a.remove();
        QCOMPARE(defaultCopy.id, 0);
        QCOMPARE(UpdateSet::all().keys(), (QList<int>{0, 2, 3}));

        // A set whose entry went away is kept in the cache only.
        SettingsStore::remove(UpdateSet::settingsKeyForId(3));
        c.name = "C cached";
        c.save();
        QCOMPARE(UpdateSet::all().value(3).name, QStringLiteral("C cached"));
        QCOMPARE(storedNames(), QStringList{"B renamed"});

        // Through a settings file: the entry reads back as saved, the counter goes on.
        b.writeSetting("identification/updateSet");
        const QString path = m_dir.filePath("settings.xml");
        SettingsStore::saveFile(path);
        SettingsStore::reset();
        SettingsStore::loadFile(path);
        UpdateSet read;
        read.readEntry(UpdateSet::settingsKeyForId(2));
        QCOMPARE(read, b);
        QCOMPARE(UpdateSet::fromSetting("identification/updateSet"), b);
        UpdateSet d = namedSet("D", {});
        d.save();
        QCOMPARE(d.id, 4);
        QCOMPARE(storedNames(), (QStringList{"B renamed", "D"}));
        QCOMPARE(SettingsStore::value("updateSets/updateSet[1]/data"), QString());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestUpdateSets)
#include "tst_updatesets.moc"
