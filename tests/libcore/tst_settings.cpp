#include <QtTest>

#include <csignal>
#include <sys/resource.h>

#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/settings/settingsstore.h"

namespace {

class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    void log(const LogMessage &message) override { codes.append(message.code); }
    QList<quint32> codes;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Makes the defaults document and the current document from the given bodies.
    void setUp(const QByteArray &defaults, const QByteArray &current = QByteArray())
    {
        const QString defaultsPath = m_dir.filePath("defaults.xml");
        writeAll(defaultsPath, "<settings>" + defaults + "</settings>");
        SettingsStore::loadDefaultsFile(defaultsPath);
        if (current.isNull()) {
            SettingsStore::reset();
        } else {
            const QString path = m_dir.filePath("current.xml");
            writeAll(path, "<settings>" + current + "</settings>");
            SettingsStore::loadFile(path);
        }
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName("Org");
        QCoreApplication::setApplicationName("App");
        QCoreApplication::setApplicationVersion("9.8.7");
    }

    void keySteps_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("insert");
        QTest::newRow("plain") << "library" << "library" << 0 << false;
        QTest::newRow("index") << "library[3]" << "library" << 3 << false;
        QTest::newRow("not a number") << "library[x]" << "library" << 0 << false;
        QTest::newRow("append") << "library[]" << "library" << -1 << true;
        QTest::newRow("insert") << "library[*2]" << "library" << 2 << true;
        QTest::newRow("unclosed") << "library[2" << "library[2" << 0 << false;
        QTest::newRow("empty") << "" << "" << 0 << false;
    }

    void keySteps()
    {
        QFETCH(QString, step);
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(bool, insert);
        const SettingsStore::KeyStep parsed = SettingsStore::parseKeyStep(step);
        QCOMPARE(parsed.name, name);
        QCOMPARE(parsed.index, index);
        QCOMPARE(parsed.insert, insert);
    }

    void keyPaths()
    {
        QCOMPARE(SettingsStore::keyToXPath("a/b[2]/c", false), QStringLiteral("settings/a[1]/b[3]/c"));
        QCOMPARE(SettingsStore::keyToXPath("a/b[2]/c", true), QStringLiteral("settings/a[1]/b[3]/c[1]"));
        QCOMPARE(SettingsStore::keyToXPath("a[]/b[*1]", true), QStringLiteral("settings/a[0]/b[2]"));
    }

    void emptyStore()
    {
        setUp("");
        QVERIFY(SettingsStore::value("a/b").isNull());
        QCOMPARE(SettingsStore::count("a/b"), 0);
        QVERIFY(!SettingsStore::boolValue("a/b"));
    }

    void defaultsFallBack()
    {
        setUp("<a><b>5</b></a>");
        QCOMPARE(SettingsStore::value("a/b"), QStringLiteral("5"));
        QVERIFY(SettingsStore::setValue("a/b", "7"));
        QCOMPARE(SettingsStore::value("a/b"), QStringLiteral("7"));
        QCOMPARE(SettingsStore::value("a/b[0]"), QStringLiteral("7"));
        QVERIFY(SettingsStore::remove("a/b"));
        QCOMPARE(SettingsStore::value("a/b"), QStringLiteral("5"));
        QCOMPARE(SettingsStore::defaultValue("a/b[0]"), QStringLiteral("5"));
    }

    void changesAreCounted()
    {
        setUp("<a><b>5</b></a>");
        quint64 count = SettingsStore::changeCount();
        SettingsStore::value("a/b");
        QCOMPARE(SettingsStore::changeCount(), count); // reading changes nothing
        const auto moved = [&count] {
            const bool result = SettingsStore::changeCount() != count;
            count = SettingsStore::changeCount();
            return result;
        };
        QVERIFY(SettingsStore::setValue("a/b", "7"));
        QVERIFY(moved());
        QVERIFY(SettingsStore::remove("a/b"));
        QVERIFY(moved());
        SettingsStore::reset();
        QVERIFY(moved());
    }

    void emptyElementHidesDefault()
    {
        setUp("<a><b>5</b></a>", "<a><b/></a>");
        const QString v = SettingsStore::value("a/b");
        QVERIFY(v.isEmpty());
        QVERIFY(SettingsStore::setValue("a/b", "")); // setting an empty text hides it too
        QVERIFY(SettingsStore::value("a/b").isEmpty());
    }

    void lists()
    {
        const QByteArray defaults = "<libraries><library>d0</library><library>d1</library>"
                                    "<library>d2</library></libraries>";
        setUp(defaults, "<libraries><library>u0</library></libraries>");
        QCOMPARE(SettingsStore::count("libraries/library"), 1);
        QCOMPARE(SettingsStore::value("libraries/library", 0), QStringLiteral("u0"));
        QVERIFY(SettingsStore::value("libraries/library", 2).isNull()); // not the default entry

        setUp(defaults);
        QCOMPARE(SettingsStore::count("libraries/library"), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(SettingsStore::value("libraries/library", i), QStringLiteral("d%1").arg(i));
        QCOMPARE(SettingsStore::value("libraries/library[1]", 2), QStringLiteral("d1")); // index ignored
    }

    void settingListEntries()
    {
        setUp("", "<list><item>a</item><item>b</item></list>");
        QVERIFY(SettingsStore::setValue("list/item", "c", 2));
        QVERIFY(!SettingsStore::setValue("list/item", "x", 4));
        QVERIFY(!SettingsStore::setValue("list/item[-2]", "x"));
        QVERIFY(SettingsStore::setValue("list/item[]", "d"));
        QVERIFY(SettingsStore::setValue("list/item[*0]", "first"));
        QVERIFY(SettingsStore::setValue("list/item[*5]", "last")); // at the end: appends
        QVERIFY(SettingsStore::setValue("list/item[1]", "A"));
        QCOMPARE(SettingsStore::count("list/item"), 6);
        QStringList values;
        for (int i = 0; i < 6; ++i)
            values.append(SettingsStore::value("list/item", i));
        QCOMPARE(values, (QStringList{"first", "A", "b", "c", "d", "last"}));
    }

    void boolValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("blank yes") << " Yes " << true;
        QTest::newRow("ON") << "ON" << true;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("true") << "true" << true;
        QTest::newRow("2") << "2" << false;
        QTest::newRow("no") << "no" << false;
        QTest::newRow("empty") << "" << false;
    }

    void boolValues()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        setUp("");
        QVERIFY(SettingsStore::setValue("flag", text));
        QCOMPARE(SettingsStore::boolValue("flag"), expected);
    }

    // Option records read through the typed pair: what is no number or flag word falls back.
    void typedOptions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("flagWhenTrueFallback");
        QTest::newRow("number") << "2048" << 2048 << true;
        QTest::newRow("blanks around") << " 7 " << 7 << true;
        QTest::newRow("negative") << "-3" << -3 << true;
        QTest::newRow("zero is false") << "0" << 0 << false;
        QTest::newRow("word") << "off" << -1 << false;
        QTest::newRow("garbage") << "12kb" << -1 << true;
        QTest::newRow("empty") << "" << -1 << true;
    }

    void typedOptions()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        QFETCH(bool, flagWhenTrueFallback);
        setUp("");
        QVERIFY(SettingsStore::setValue("format/size", text));
        QCOMPARE(SettingsStore::option<int>("format", "size", -1), number);
        QCOMPARE(SettingsStore::option<bool>("format", "size", true), flagWhenTrueFallback);
        QCOMPARE(SettingsStore::option<bool>("format", "size"), SettingsStore::boolValue("format/size"));

        QVERIFY(SettingsStore::setOption("format", "size", 300));
        QCOMPARE(SettingsStore::value("format/size"), QStringLiteral("300"));
        QVERIFY(SettingsStore::setOption("format", "flag", false));
        QCOMPARE(SettingsStore::value("format/flag"), QStringLiteral("false"));
        QCOMPARE(SettingsStore::option<bool>("format", "flag", true), false);
    }

    void removing()
    {
        const QByteArray doc = "<a><b>1</b><b>2</b><b>3</b></a><a><b>x</b></a>";
        setUp("", doc);
        QVERIFY(SettingsStore::remove("a/b[1]"));
        QCOMPARE(SettingsStore::count("a/b"), 2);
        QCOMPARE(SettingsStore::value("a/b", 1), QStringLiteral("3"));
        QVERIFY(SettingsStore::remove("a/b"));
        QCOMPARE(SettingsStore::count("a/b"), 0);
        QCOMPARE(SettingsStore::value("a[1]/b"), QStringLiteral("x")); // below the second a
        QVERIFY(SettingsStore::remove("no/such"));

        setUp("", "<a>text<b>1</b><c/></a>");
        QVERIFY(SettingsStore::removeChildren("a"));
        QCOMPARE(SettingsStore::count("a"), 1);
        QVERIFY(SettingsStore::value("a").isNull());
        QCOMPARE(SettingsStore::count("a/b"), 0);
    }

    void nestedKeysAndSavedLayout()
    {
        setUp("");
        QVERIFY(SettingsStore::setValue("a/b/c", "x"));
        const QString path = m_dir.filePath("saved.xml");
        SettingsStore::saveFile(path);
        QCOMPARE(readAll(path), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                           "<settings version=\"9.8.7\">\n"
                                           "\t<a>\n\t\t<b>\n\t\t\t<c>x</c>\n\t\t</b>\n\t</a>\n"
                                           "</settings>\n"));
    }

    void versionStampedOnSave()
    {
        setUp("", "");
        const QString path = m_dir.filePath("old.xml");
        writeAll(path, "<settings version=\"1.0.0\"><k>v</k></settings>");
        SettingsStore::loadFile(path);
        QCOMPARE(SettingsStore::version(), QStringLiteral("1.0.0"));
        SettingsStore::saveFile(path);
        QCOMPARE(SettingsStore::version(), QStringLiteral("9.8.7"));
        SettingsStore::reset();
        SettingsStore::loadFile(path);
        QCOMPARE(SettingsStore::value("k"), QStringLiteral("v"));
        QCOMPARE(SettingsStore::version(), QStringLiteral("9.8.7"));
    }

    void brokenFileKeepsDocument()
    {
        setUp("", "<k>kept</k>");
        const QString broken = m_dir.filePath("broken.xml");
        writeAll(broken, "<settings><k>");
        CollectingLogger logger;
        QVERIFY_THROWS_EXCEPTION(Exception, SettingsStore::loadFile(broken));
        QCOMPARE(SettingsStore::value("k"), QStringLiteral("kept"));
        QCOMPARE(logger.codes.last(), 2758347452u);
    }

    void otherRootReadsDefaults()
    {
        setUp("<k>default</k>");
        const QString path = m_dir.filePath("other.xml");
        writeAll(path, "<other><k>mine</k></other>");
        SettingsStore::loadFile(path);
        QCOMPARE(SettingsStore::value("k"), QStringLiteral("default"));
        QVERIFY(!SettingsStore::setValue("k", "x"));
        SettingsStore::saveFile(path);
        QVERIFY(!readAll(path).contains("version="));
    }

    void unreadableFileKeptOnSave()
    {
        setUp("<k>default</k>");
        const QString path = m_dir.filePath("user/settings.xml");
        QVERIFY(QDir().mkpath(m_dir.filePath("user")));
        const QByteArray damaged = "<settings><k>precious</k><half";
        writeAll(path, damaged);
        CollectingLogger logger;
        QVERIFY_THROWS_EXCEPTION(Exception, SettingsStore::loadFile(path));
        QCOMPARE(SettingsStore::value("k"), QStringLiteral("default"));

        QVERIFY(SettingsStore::setValue("k", "new"));
        SettingsStore::saveFile(path);
        QCOMPARE(readAll(path + ".broken"), damaged);
        QVERIFY(logger.codes.contains(3503079279u));
        SettingsStore::loadFile(path);
        QCOMPARE(SettingsStore::value("k"), QStringLiteral("new"));

        // Saving again makes no further copy; a second damaged file gets its own copy.
        SettingsStore::saveFile(path);
        QVERIFY(!QFileInfo::exists(path + ".broken.1"));
        writeAll(path, "damaged again");
        QVERIFY_THROWS_EXCEPTION(Exception, SettingsStore::loadFile(path));
        SettingsStore::saveFile(path);
        QCOMPARE(readAll(path + ".broken"), damaged);
        QCOMPARE(readAll(path + ".broken.1"), QByteArray("damaged again"));
    }

    void failedSaveLeavesFileWhole()
    {
        setUp("");
        QVERIFY(SettingsStore::setValue("k", "before"));
        const QString path = m_dir.filePath("whole.xml");
        SettingsStore::saveFile(path);
        const QByteArray before = readAll(path);

        // A file-size limit makes the write fail part way, as a full disk would.
        QVERIFY(SettingsStore::setValue("big", QString(200000, u'x')));
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = old;
        limited.rlim_cur = 65536;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        bool thrown = false;
        try {
            SettingsStore::saveFile(path);
        } catch (const Exception &) {
            thrown = true;
        }
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(thrown);
        QCOMPARE(readAll(path), before);
        QCOMPARE(QDir(m_dir.path()).entryList({"whole.xml*"}, QDir::Files | QDir::Hidden),
                 QStringList{"whole.xml"});
    }

    void userFile()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        const QString path = SettingsStore::filePath(0);
        QCOMPARE(path, config.path() + "/Org/App/config/settings.xml");

        setUp("");
        QVERIFY(SettingsStore::setValue("k", "saved"));
        SettingsStore::save(0);
        QVERIFY(QFileInfo::exists(path));
        SettingsStore::reset();
        SettingsStore::load(0);
        QCOMPARE(SettingsStore::value("k"), QStringLiteral("saved"));

        QVERIFY(QFile::remove(path));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_dir.filePath("nowhere")));
        SettingsStore::load(0);
        QVERIFY(SettingsStore::value("k").isNull());
    }

    void applicationDefaults()
    {
        // The application's package carries the defaults document the store starts from.
        QVERIFY(QResource::registerResource(QCoreApplication::applicationDirPath() + "/melotaxonic.rcc",
                                            QStringLiteral(":/app")));
        SettingsStore::loadDefaultsFile(QStringLiteral(":/app/settings/defaults.xml"));
        SettingsStore::reset();
        QVERIFY(SettingsStore::value("no/such/key").isNull());
    }

    void concurrentUse()
    {
        setUp("<n>0</n>");
        QList<QThread *> threads;
        for (int t = 0; t < 4; ++t) {
            threads.append(QThread::create([t] {
                for (int i = 0; i < 200; ++i) {
                    SettingsStore::setValue(QStringLiteral("t%1/v").arg(t), QString::number(i));
                    SettingsStore::value(QStringLiteral("t%1/v").arg(t));
                    SettingsStore::value("n");
                }
            }));
            threads.last()->start();
        }
        for (QThread *thread : threads) {
            QVERIFY(thread->wait(60000));
            delete thread;
        }
        for (int t = 0; t < 4; ++t)
            QCOMPARE(SettingsStore::value(QStringLiteral("t%1/v").arg(t)), QStringLiteral("199"));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
