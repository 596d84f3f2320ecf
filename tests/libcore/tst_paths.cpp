#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "libcore/io/paths.h"
#include "libcore/text/codepoint.h"

// Our platform is Linux: drive letters are ordinary names and only "/" is a root.
class TestPaths : public QObject
{
    Q_OBJECT
private slots:
    void trailingSlash_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("with");
        QTest::addColumn<QString>("without");
        QTest::newRow("empty") << "" << "" << "";
        QTest::newRow("root") << "/" << "/" << "/";
        QTest::newRow("double slash is not a root") << "//" << "//" << "/";
        QTest::newRow("one slash removed only") << "a//" << "a//" << "a/";
        QTest::newRow("plain") << "a" << "a/" << "a";
        QTest::newRow("folder") << "/x/y/" << "/x/y/" << "/x/y";
        QTest::newRow("drive letter is a name") << "C:/" << "C:/" << "C:";
    }
    void trailingSlash()
    {
        QFETCH(QString, path);
        QFETCH(QString, with);
        QFETCH(QString, without);
        QCOMPARE(withTrailingSlash(path), with);
        QCOMPARE(withoutTrailingSlash(path), without);
    }

    void rootsAndAbsolute_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("root");
        QTest::addColumn<bool>("absolute");
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("slash") << "/" << true << true;
        QTest::newRow("slash name") << "/a" << false << true;
        QTest::newRow("share") << "//host/share" << false << true;
        QTest::newRow("home") << "~/x" << false << true;
        QTest::newRow("drive") << "C:/" << false << false;
        QTest::newRow("drive without slash") << "c:" << false << false;
        QTest::newRow("native drive") << "C:\\" << false << false;
        QTest::newRow("relative") << "x/y" << false << false;
    }
    void rootsAndAbsolute()
    {
        QFETCH(QString, path);
        QFETCH(bool, root);
        QFETCH(bool, absolute);
        QCOMPARE(isRootPath(path), root);
        QCOMPARE(isAbsolutePath(path), absolute);
    }

    void absoluteAndRoot()
    {
        // Absolute paths are not cleaned; relative ones are made absolute to the current folder.
        QCOMPARE(absolutePath("/a/../b/"), QString("/a/../b"));
        QCOMPARE(absolutePath("~/x/"), QString("~/x"));
        QCOMPARE(absolutePath("rel/x/"), QDir::currentPath() + "/rel/x");
        QCOMPARE(rootPathOf("/a/b"), QString("/"));
        QCOMPARE(rootPathOf("rel"), QString("/"));
        QCOMPARE(rootPathOf("//host/share/x"), QString("//host/"));
    }

    void parents_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("folderName");
        QTest::newRow("empty") << "" << "" << "";
        QTest::newRow("root") << "/" << "" << "";
        QTest::newRow("single name") << "a" << "." << "";
        QTest::newRow("below root") << "/a" << "/" << "";
        QTest::newRow("trailing slash") << "a/b/" << "a" << "a";
        QTest::newRow("deep") << "/x/y/z" << "/x/y" << "y";
        QTest::newRow("deep folder") << "/x/y/z/" << "/x/y" << "y";
        QTest::newRow("share") << "//host/share" << "//host" << "host";
        QTest::newRow("drive-like name") << "C:/a" << "C:" << "C:";
    }
    void parents()
    {
        QFETCH(QString, path);
        QFETCH(QString, parent);
        QFETCH(QString, folderName);
        QCOMPARE(parentPath(path), parent);
        QCOMPARE(parentFolderName(path), folderName);
    }

    void relative_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("below") << "/a/b" << "/a/b/c/d.mp3" << "c/d.mp3";
        QTest::newRow("sibling") << "/a/b/" << "/a/x" << "../x";
        QTest::newRow("uncleaned") << "/a//b/./" << "/a/b/../c" << "../c";
        QTest::newRow("same") << "/a/b" << "/a/b/" << ".";
    }
    void relative()
    {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(relativePath(folder, path), expected);
    }

    void names_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("lastSuffixGone");
        QTest::addColumn<QString>("allSuffixesGone");
        QTest::addColumn<QString>("name");
        QTest::newRow("two suffixes") << "a/b.tar.gz" << "a/b.tar" << "a/b" << "b.tar.gz";
        QTest::newRow("below root") << "/x.mp3" << "/x" << "/x" << "x.mp3";
        QTest::newRow("folder with suffix") << "a/b.c/" << "a/b" << "a/b" << "b.c";
        QTest::newRow("dot only in folder") << "a.b/c" << "a.b/c" << "a.b/c" << "c";
        QTest::newRow("suffix only") << ".mp3" << "" << "" << ".mp3";
        QTest::newRow("no folder") << "x.tar.gz" << "x.tar" << "x" << "x.tar.gz";
        QTest::newRow("root") << "/" << "" << "" << "";
    }
    void names()
    {
        QFETCH(QString, path);
        QFETCH(QString, lastSuffixGone);
        QFETCH(QString, allSuffixesGone);
        QFETCH(QString, name);
        QCOMPARE(removeSuffix(path), lastSuffixGone);
        QCOMPARE(removeAllSuffixes(path), allSuffixesGone);
        QCOMPARE(fileName(path), name);
    }

    void nativeSeparators()
    {
        QCOMPARE(fromNativeSeparators("C:\\Music\\"), QString("C:/Music"));
        QCOMPARE(fromNativeSeparators("a\\b\\c.mp3"), QString("a/b/c.mp3"));
        QCOMPARE(fromNativeSeparators("\\"), QString("/"));
    }

    void fileSystemQueries()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString folder = dir.path() + "/sub";
        QVERIFY(QDir().mkdir(folder));
        QFile tool(folder + "/tool");
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.close();
        QVERIFY(tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        QVERIFY(pathExists(folder + "/"));
        QVERIFY(isDirectory(folder + "/"));
        QVERIFY(isReadable(folder + "/tool"));
        QVERIFY(isExecutable(folder + "/tool"));
        QVERIFY(!isDirectory(folder + "/tool"));
        QVERIFY(!pathExists(folder + "/missing"));
        QVERIFY(!isReadable(folder + "/missing"));
        QVERIFY(!pathExists(""));
    }

    void invalidChars()
    {
        const QList<CodePoint> &chars = invalidFileNameChars();
        QCOMPARE(chars.size(), 41);
        QVERIFY(chars.contains(CodePoint(quint32(0))));
        QVERIFY(chars.contains(CodePoint(quint32(0x1F))));
        for (char c : QByteArray("/\\?*:|\"<>"))
            QVERIFY2(chars.contains(CodePoint(c)), QByteArray(1, c).constData());
        QVERIFY(!chars.contains(CodePoint('.')));
        QVERIFY(!chars.contains(CodePoint(' ')));
        QCOMPARE(&invalidFileNameChars(), &chars);
    }

    void sanitizeName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blanks, colon, question mark, dot") << "  My: Song?. " << "My Song";
        QTest::newRow("only dots") << "..." << "";
        QTest::newRow("only blanks and invalid") << " \t?* " << "";
        QTest::newRow("reserved device name passes") << "CON" << "CON";
        QTest::newRow("leading dot stays") << ".hidden" << ".hidden";
        QTest::newRow("mixed tail of blanks and dots") << "name . ." << "name";
        QTest::newRow("invalid at start, then trimmed") << "?abc" << "abc";
        QTest::newRow("blank behind dropped control stays") << QString(QChar(1)) + " abc" << " abc";
        QTest::newRow("backslash and tab dropped") << "a\\b\tc" << "abc";
        QTest::newRow("no-break space is white space") << QString(QChar(0xA0)) + "x" << "x";
        QTest::newRow("line separator is white space") << "x" + QString(QChar(0x2028)) << "x";
        QTest::newRow("beyond the BMP kept whole")
            << QString::fromUtf8("\xF0\x9F\x98\x80 x \xF0\x9F\x98\x80.")
            << QString::fromUtf8("\xF0\x9F\x98\x80 x \xF0\x9F\x98\x80");
    }
    void sanitizeName()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(sanitizeFileName(name), expected);
    }

    void sanitizeFullPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("components") << "/Music/AC: DC/Back?.mp3" << "/Music/AC DC/Back.mp3";
        QTest::newRow("doubled slash") << "Music//a" << "Music/a";
        QTest::newRow("inner dot-dot kept") << "a/../b." << "a/../b";
        QTest::newRow("last dot-dot dropped") << "a/.." << "a";
        QTest::newRow("leading dot kept") << "./a" << "./a";
        QTest::newRow("trailing slash kept") << " a /b/" << "a/b/";
        QTest::newRow("share prefix off Windows") << "//server/share/x:y" << "/server/share/xy";
        QTest::newRow("home root") << "~/x?" << "~/x";
        QTest::newRow("backslash inside part") << "a\\b/c" << "ab/c";
        QTest::newRow("root") << "/" << "/";
        QTest::newRow("empty") << "" << "";
    }
    void sanitizeFullPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(sanitizePath(path), expected);
    }

    void dotComponentsDropped_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("parent levels") << "../a/../../b" << "a/b";
        QTest::newRow("current level") << "a/./b/." << "a/b";
        QTest::newRow("blanks around") << "a/ .. /b" << "a/b";
        QTest::newRow("root stays") << "/../x" << "/x";
        QTest::newRow("dots inside names stay") << ".../a..b/.x" << ".../a..b/.x";
        QTest::newRow("only a parent level") << ".." << "";
    }
    void dotComponentsDropped()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(withoutDotComponents(path), expected);
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
