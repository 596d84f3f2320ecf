#include <QtTest>

#include "libcore/io/fileinfo.h"
#include "libcore/log/exception.h"
#include "libcore/platform/platformservices.h"
#include "libcore/platform/userfolders.h"

namespace {

// The code of the Exception the call throws, 0 when it throws none.
template<typename Call>
quint32 thrownCode(Call call)
{
    try {
        call();
    } catch (const Exception &e) {
        return e.code;
    }
    return 0;
}

// Sets an environment variable for one scope; a null value unsets it.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QByteArray &value) : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

void writeScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body + "\n");
    file.close();
    QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void configBaseDirectory_data()
    {
        QTest::addColumn<bool>("userScope");
        QTest::addColumn<QByteArray>("configHome");
        QTest::addColumn<QByteArray>("configDirs");
        QTest::addColumn<QString>("expected");

        const QByteArray unset;
        QTest::newRow("user from XDG_CONFIG_HOME") << true << QByteArray("/x/cfg") << unset << "/x/cfg";
        QTest::newRow("two trailing slashes go") << true << QByteArray("/x/cfg//") << unset << "/x/cfg";
        QTest::newRow("backslashes become slashes") << true << QByteArray("/x\\cfg\\") << unset << "/x/cfg";
        QTest::newRow("user without XDG_CONFIG_HOME") << true << unset << unset << "<home>/.config";
        QTest::newRow("user with empty XDG_CONFIG_HOME") << true << QByteArray("") << unset << "<home>/.config";
        QTest::newRow("common takes the first entry") << false << unset << QByteArray("/a/xdg:/b/xdg") << "/a/xdg";
        QTest::newRow("common with empty first entry") << false << unset << QByteArray(":/b/xdg") << "/etc/xdg";
        QTest::newRow("common without XDG_CONFIG_DIRS") << false << QByteArray("/x/cfg") << unset << "/etc/xdg";
    }

    void configBaseDirectory()
    {
        QFETCH(bool, userScope);
        QFETCH(QByteArray, configHome);
        QFETCH(QByteArray, configDirs);
        QFETCH(QString, expected);

        QTemporaryDir home;
        QVERIFY(home.isValid());
        ScopedEnv homeEnv("HOME", QFile::encodeName(home.path()));
        ScopedEnv configHomeEnv("XDG_CONFIG_HOME", configHome);
        ScopedEnv configDirsEnv("XDG_CONFIG_DIRS", configDirs);

        expected.replace(QLatin1String("<home>"), home.path());
        QCOMPARE(::configBaseDirectory(userScope), expected);
        QCOMPARE(specialFolderPath(userScope ? 0 : 1).isEmpty(), false);
    }

    void specialFolderOfUnknownScopeIsNull()
    {
        QVERIFY(specialFolderPath(2).isNull());
        QVERIFY(specialFolderPath(-1).isNull());
    }

    void applicationConfigDirectory_data()
    {
        QTest::addColumn<QString>("organisation");
        QTest::addColumn<QString>("application");
        QTest::addColumn<QString>("expected");

        QTest::newRow("organisation and application") << "Acme" << "Tagger" << "/cfg/Acme/Tagger";
        QTest::newRow("no organisation") << "" << "Tagger" << "/cfg/Tagger";
        QTest::newRow("unsafe characters dropped") << "Acme" << "My:App" << "/cfg/Acme/MyApp";
    }

    void applicationConfigDirectory()
    {
        QFETCH(QString, organisation);
        QFETCH(QString, application);
        QFETCH(QString, expected);

        ScopedEnv configHome("XDG_CONFIG_HOME", "/cfg/");
        const QString oldOrganisation = QCoreApplication::organizationName();
        const QString oldApplication = QCoreApplication::applicationName();
        QCoreApplication::setOrganizationName(organisation);
        QCoreApplication::setApplicationName(application);
        const QString result = ::applicationConfigDirectory(true);
        QCoreApplication::setOrganizationName(oldOrganisation);
        QCoreApplication::setApplicationName(oldApplication);
        QCOMPARE(result, expected);
    }

    void homeAndMusicFolders()
    {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        ScopedEnv homeEnv("HOME", QFile::encodeName(home.path() + QLatin1Char('/')));
        QCOMPARE(homePath(), home.path());
        QCOMPARE(defaultMusicFolder(), home.path());
        QVERIFY(QDir(home.path()).mkdir(QStringLiteral("Music")));
        QCOMPARE(defaultMusicFolder(), home.path() + QLatin1String("/Music"));
    }

    void drivesAreTheRoot()
    {
        QCOMPARE(drives(), QStringList{QStringLiteral("/")});
    }

    void bundleNameThrowsOffMac()
    {
        QTemporaryDir dir;
        QCOMPARE(thrownCode([&] { bundleName(dir.path()); }), 2828412590u);
    }

    void setCurrentDirectory()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString old = QDir::currentPath();
        ::setCurrentDirectory(dir.path() + QLatin1Char('/'));
        const QString now = QDir::currentPath();
        QDir::setCurrent(old);
        QCOMPARE(QFileInfo(now).canonicalFilePath(), QFileInfo(dir.path()).canonicalFilePath());

        try {
            ::setCurrentDirectory(dir.path() + QLatin1String("/missing"));
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, 214804937u);
            QCOMPARE(e.arguments, QVariantList{dir.path() + QLatin1String("/missing")});
        }
        QCOMPARE(QDir::currentPath(), old);
    }

    void applicationBundleId_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("domain");
        QTest::addColumn<QString>("organisation");
        QTest::addColumn<QString>("application");
        QTest::addColumn<QString>("expected");

        QTest::newRow("domain with www") << "" << "http://www.Example.com" << "Acme" << "Tagger 2" << "com.example.Tagger";
        QTest::newRow("domain keeps hyphen") << "" << "http://example.org" << "" << "My-App" << "org.example.My-App";
        QTest::newRow("bare domain") << "" << "example.org" << "" << "My-App" << "org.example.My-App";
        QTest::newRow("organisation name") << "" << "" << "Acme Ltd." << "Tagger" << "com.acmeltd.Tagger";
        QTest::newRow("application name when no organisation")
            << "" << "" << "" << "Tag App 3" << "com.tagapp.TagApp";
        QTest::newRow("prefix wins") << "Org.Example" << "http://www.other.net" << "Acme" << "Tagger"
                                     << "org.example.Tagger";
    }

    void applicationBundleId()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, domain);
        QFETCH(QString, organisation);
        QFETCH(QString, application);
        QFETCH(QString, expected);

        const QString oldDomain = QCoreApplication::organizationDomain();
        const QString oldOrganisation = QCoreApplication::organizationName();
        const QString oldApplication = QCoreApplication::applicationName();
        QCoreApplication::setOrganizationDomain(domain);
        QCoreApplication::setOrganizationName(organisation);
        QCoreApplication::setApplicationName(application);
        const QString result = ::applicationBundleId(prefix);
        QCoreApplication::setOrganizationDomain(oldDomain);
        QCoreApplication::setOrganizationName(oldOrganisation);
        QCoreApplication::setApplicationName(oldApplication);
        QCOMPARE(result, expected);
    }

    void flushing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("f.bin"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("data");
        out.close();

        flushFile(file);
        flushDirectory(dir.path() + QLatin1Char('/'));
        QCOMPARE(thrownCode([&] { flushFile(dir.path()); }), 2553308118u);
        QCOMPARE(thrownCode([&] { flushFile(dir.filePath(QStringLiteral("missing"))); }), 2553308118u);
        QCOMPARE(thrownCode([&] { flushDirectory(file); }), 348573331u);
    }

    void driveTypes()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const uint here = driveType(dir.path());
        QVERIFY(here != DriveNoRootDir && here != DriveRemote);
        // A path that does not exist yet belongs to the file system it would be created on.
        QCOMPARE(driveType(dir.path() + QLatin1String("/missing/deeper/x.mp3")), here);
        if (QFileInfo(QStringLiteral("/dev/shm")).isDir())
            QCOMPARE(driveType(QStringLiteral("/dev/shm")), uint(DriveRamDisk));
    }

    void networkPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("network");

        QTest::newRow("share") << "//server/share/x" << true;
        QTest::newRow("local host") << "//localhost/x" << false;
        QTest::newRow("local host in capitals is a host of its own") << "//LOCALHOST/x" << true;
        QTest::newRow("loopback address") << "//127.0.0.1/x" << false;
        QTest::newRow("local folder") << QDir::tempPath() << false;
        QTest::newRow("root") << "/" << false;
    }

    void networkPaths()
    {
        QFETCH(QString, path);
        QFETCH(bool, network);
        QCOMPARE(isNetworkPath(path), network);
    }

    void revealInFileManager_data()
    {
        QTest::addColumn<bool>("withDBus");
        QTest::addColumn<int>("dbusExitCode");
        QTest::addColumn<bool>("withXdgOpen");
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("openedFolder");

        QTest::newRow("file manager shows the item") << true << 0 << true << true << false;
        QTest::newRow("no file manager service") << true << 1 << true << true << true;
        QTest::newRow("no dbus-send") << false << 0 << true << true << true;
        QTest::newRow("nothing to start") << false << 0 << false << false << false;
    }

    void revealInFileManager()
    {
        QFETCH(bool, withDBus);
        QFETCH(int, dbusExitCode);
        QFETCH(bool, withXdgOpen);
        QFETCH(bool, started);
        QFETCH(bool, openedFolder);

        QTemporaryDir bin;
        QTemporaryDir music;
        QVERIFY(bin.isValid() && music.isValid());
        const QString dbusLog = bin.filePath(QStringLiteral("dbus.log"));
        const QString openLog = bin.filePath(QStringLiteral("open.log"));
        if (withDBus) {
            writeScript(bin.filePath(QStringLiteral("dbus-send")),
                        "printf '%s\\n' \"$@\" > '" + QFile::encodeName(dbusLog) + "'\nexit "
                            + QByteArray::number(dbusExitCode));
        }
        if (withXdgOpen)
            writeScript(bin.filePath(QStringLiteral("xdg-open")), "printf '%s' \"$1\" > '" + QFile::encodeName(openLog) + "'");

        // A comma would split dbus-send's array, so the address must be percent-encoded.
        const QString file = music.filePath(QStringLiteral("a, b.mp3"));
        ScopedEnv path("PATH", QFile::encodeName(bin.path()));
        QCOMPARE(::revealInFileManager(file), started);

        if (withDBus) {
            const QStringList arguments = readAll(dbusLog).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QVERIFY(arguments.contains(QStringLiteral("org.freedesktop.FileManager1.ShowItems")));
            const QString uri = QLatin1String("array:string:file://")
                                + QString::fromLatin1(QUrl::toPercentEncoding(file, "/"));
            QVERIFY2(arguments.contains(uri), qPrintable(arguments.join(QLatin1Char(' '))));
            QVERIFY(uri.contains(QLatin1String("a%2C%20b.mp3")));
        }
        if (openedFolder) {
            QTRY_VERIFY(QFileInfo::exists(openLog));
            QTRY_COMPARE(readAll(openLog), music.path());
        } else {
            QTest::qWait(200);
            QVERIFY(!QFileInfo::exists(openLog));
        }
    }

    void revealFolderOpensTheFolderItself()
    {
        QTemporaryDir bin;
        QTemporaryDir music;
        const QString openLog = bin.filePath(QStringLiteral("open.log"));
        writeScript(bin.filePath(QStringLiteral("xdg-open")), "printf '%s' \"$1\" > '" + QFile::encodeName(openLog) + "'");
        ScopedEnv path("PATH", QFile::encodeName(bin.path()));
        QVERIFY(::revealInFileManager(music.path()));
        QTRY_COMPARE(readAll(openLog), music.path());
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
