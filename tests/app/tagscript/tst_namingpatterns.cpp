// Naming patterns and library naming settings in the settings store, and the clean-up of
// naming-pattern results.

#include "app/tagscript/librarynamingsettings.h"
#include "app/tagscript/namingpattern.h"
#include "app/tagscript/patterncleanup.h"
#include "libcore/settings/settingsstore.h"

#include <QtTest>

class TestNamingPatterns : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    void useDefaults(const QByteArray &body)
    {
        const QString path = m_dir.filePath(QStringLiteral("defaults.xml"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<settings>" + body + "</settings>");
        file.close();
        SettingsStore::loadDefaultsFile(path);
        SettingsStore::reset();
    }

    // Writes the user settings to a file and reads them back, as a restart would.
    void reload()
    {
        const QString path = m_dir.filePath(QStringLiteral("settings.xml"));
        SettingsStore::saveFile(path);
        SettingsStore::reset();
        SettingsStore::loadFile(path);
    }

private slots:
    void init() { useDefaults(QByteArray()); }

    void cleanUp_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("slashes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("doubled hyphen") << "Artist - - Title" << false << "Artist - Title";
        QTest::newRow("many hyphens") << "Artist -  -  - Title" << false << "Artist - Title";
        QTest::newRow("underscores") << "a__ _b" << false << "a_b";
        QTest::newRow("empty brackets") << "Title ()" << false << "Title";
        QTest::newRow("nested empty brackets") << "Title ( [ ] )" << false << "Title";
        QTest::newRow("curly brackets") << "a {} b" << false << "a b";
        QTest::newRow("full brackets stay") << "Title (Live)" << false << "Title (Live)";
        QTest::newRow("separators at the ends") << "- Title -" << false << "Title";
        QTest::newRow("only separators") << "_-_" << false << "";
        QTest::newRow("white space") << "a\t \n  b" << false << "a b";
        QTest::newRow("no-break space") << QString::fromUtf8("a\xC2\xA0\xC2\xA0" "b") << false << "a b";
        QTest::newRow("hyphens between words stay") << "a - b - c" << false << "a - b - c";
        QTest::newRow("around slashes") << "Artist - / - Album" << true << "Artist/Album";
        QTest::newRow("underscore before slash") << "Artist_/Album" << true << "Artist/Album";
        QTest::newRow("around slashes kept for a file name") << "Artist - / - Album" << false << "Artist - / - Album";
        QTest::newRow("underscore kept for a file name") << "Artist_/Album" << false << "Artist_/Album";
    }
    void cleanUp()
    {
        QFETCH(QString, text);
        QFETCH(bool, slashes);
        QFETCH(QString, expected);
        QCOMPARE(cleanUpPatternResult(text, slashes), expected);
    }

    void patternSavedAndLoaded()
    {
        const QString key = QStringLiteral("renameDialog/pattern");
        NamingPattern pattern;
        pattern.isSimple = false;
        pattern.levels = {{QStringLiteral("%artist%")},
                          {QStringLiteral("%album%"), QStringLiteral(" - "), QStringLiteral("%title%")}};
        saveNamingPattern(pattern, key);
        reload();
        QCOMPARE(loadNamingPattern(key), pattern);

        // Saving fewer levels over it leaves no stale level behind.
        NamingPattern shorter;
        shorter.levels = {{QStringLiteral("$num(%track%,2)")}};
        saveNamingPattern(shorter, key);
        reload();
        QCOMPARE(loadNamingPattern(key), shorter);
    }

    void emptyLevelsAndParts()
    {
        const QString key = QStringLiteral("copyMoveDialog/pattern");
        NamingPattern pattern;
        pattern.levels = {{QStringLiteral("a")}, {}, {QString(), QStringLiteral("b")}};
        saveNamingPattern(pattern, key);
        reload();
        const NamingPattern loaded = loadNamingPattern(key);
        // An empty level has no element to be stored in: it is left out, and an empty part
        // comes back as one space.
        QCOMPARE(loaded.levels, (QList<QStringList> {{QStringLiteral("a")}, {QStringLiteral(" "), QStringLiteral("b")}}));
    }

    void missingAndDefaultPatterns()
    {
        const NamingPattern missing = loadNamingPattern(QStringLiteral("renameDialog/pattern"));
        QVERIFY(missing.isSimple);
        QVERIFY(missing.levels.isEmpty());

        useDefaults("<renameDialog><pattern><isSimple>false</isSimple>"
                    "<level><part>%title%</part></level></pattern></renameDialog>");
        const NamingPattern fromDefaults = loadNamingPattern(QStringLiteral("renameDialog/pattern"));
        QVERIFY(!fromDefaults.isSimple);
        QCOMPARE(fromDefaults.levels, (QList<QStringList> {{QStringLiteral("%title%")}}));
    }

    void librarySettingsSavedAndLoaded()
    {
        const QString key = QStringLiteral("libraries/library[0]/pattern/singleArtistAlbums");
        LibraryNamingSettings settings;
        settings.subfolderPath = QStringLiteral("Music/");
        settings.folder.levels = {{QStringLiteral("%albumartist%")},
                                  {QStringLiteral("%year%"), QStringLiteral(" - "), QStringLiteral("%album%")}};
        settings.file.isSimple = false;
        settings.file.levels = {{QStringLiteral("$num(%track%,2)"), QStringLiteral(" "), QStringLiteral("%title%")}};
        saveLibraryNamingSettings(settings, key);
        reload();
        const LibraryNamingSettings loaded = loadLibraryNamingSettings(key);
        QCOMPARE(loaded, settings);
        QCOMPARE(loaded.folderPatternText(), QStringLiteral("Music/%albumartist%/%year% - %album%"));
        QCOMPARE(loaded.filePatternText(), QStringLiteral("$num(%track%,2) %title%"));
    }

    void patternTexts_data()
    {
        QTest::addColumn<QString>("subfolder");
        QTest::addColumn<QList<QStringList>>("levels");
        QTest::addColumn<QString>("folderText");
        QTest::newRow("levels only") << QString() << QList<QStringList> {{"a"}, {"b"}} << "a/b";
        QTest::newRow("no doubled slash") << "x/" << QList<QStringList> {{"a"}} << "x/a";
        QTest::newRow("slash added") << "x" << QList<QStringList> {{"a"}} << "x/a";
        QTest::newRow("no levels") << "x/" << QList<QStringList>() << "x/";
    }
    void patternTexts()
    {
        QFETCH(QString, subfolder);
        QFETCH(QList<QStringList>, levels);
        QFETCH(QString, folderText);
        LibraryNamingSettings settings;
        settings.subfolderPath = subfolder;
        settings.folder.levels = levels;
        QCOMPARE(settings.folderPatternText(), folderText);
        QVERIFY(settings.filePatternText().isNull());
        settings.file.levels = {{"a", "b"}, {"ignored"}};
        QCOMPARE(settings.filePatternText(), QStringLiteral("ab"));
    }
};

QTEST_GUILESS_MAIN(TestNamingPatterns)
#include "tst_namingpatterns.moc"
