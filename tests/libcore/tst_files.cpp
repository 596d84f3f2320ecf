#include <QtTest>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "libcore/io/fileinfo.h"
#include "libcore/io/filetree.h"
#include "libcore/io/folderlistingcache.h"
#include "libcore/io/folderwalk.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/progress/linearprogressobject.h"
#include "shared/support_skip.h"

namespace {

class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    void log(const LogMessage &message) override { messages.append(message); }
    int count(quint32 code) const
    {
        return int(std::count_if(messages.cbegin(), messages.cend(),
                                 [code](const LogMessage &m) { return m.code == code; }));
    }
    QList<LogMessage> messages;
};

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

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

void makeFile(const QString &path, const QByteArray &content = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(content);
}

void makeLink(const QString &target, const QString &link)
{
    std::filesystem::create_symlink(fsPath(target), fsPath(link));
}

// What QDir lists in a walk of the folder: each folder's matching names, then its subfolders
// by name ignoring case, links back up the branch not entered.
QStringList walkedByQDir(const QString &folder, const QString &prefix, const QStringList &patterns,
                         QDir::Filters filter, QSet<QString> &branch)
{
    QStringList result;
    for (const QString &name : QDir(folder).entryList(patterns, filter, QDir::NoSort))
        result.append(prefix + name);
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    branch.insert(canonical);
    for (const QString &name : QDir(folder).entryList(SubfoldersFilter, QDir::Name | QDir::IgnoreCase)) {
        const QString child = folder + u'/' + name;
        if (QFileInfo(child).isDir() && !branch.contains(QFileInfo(child).canonicalFilePath()))
            result += walkedByQDir(child, prefix + name + u'/', patterns, filter, branch);
    }
    branch.remove(canonical);
    return result;
}

bool isLink(const QString &path)
{
    return QFileInfo(path).isSymLink();
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every entry below root, links shown with their target text and never followed, so two
// trees compare equal when they hold the same names, kinds, contents and links.
QStringList treeOf(const QString &root)
{
    QStringList entries;
    const auto base = fsPath(root);
    std::error_code error;
    const auto options = std::filesystem::directory_options::skip_permission_denied;
    for (auto it = std::filesystem::recursive_directory_iterator(base, options, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        const QString relative = QString::fromStdString(it->path().lexically_relative(base).string());
        const auto type = it->symlink_status(error).type();
        if (type == std::filesystem::file_type::symlink)
            entries.append(relative + QLatin1String(" -> ") + QString::fromStdString(std::filesystem::read_symlink(it->path(), error).string()));
        else if (type == std::filesystem::file_type::directory)
            entries.append(relative + QLatin1Char('/'));
        else
            entries.append(relative + QLatin1String(" = ") + QString::fromUtf8(contentOf(QString::fromStdString(it->path().string()))));
    }
    entries.sort();
    return entries;
}

// Takes permissions away for one scope and gives them back, so the temporary folders can go.
class Restricted
{
public:
    Restricted(const QString &path, QFileDevice::Permissions permissions)
        : m_path(path), m_old(QFile::permissions(path))
    {
        QFile::setPermissions(path, permissions);
    }
    ~Restricted() { QFile::setPermissions(m_path, m_old); }

private:
    QString m_path;
    QFileDevice::Permissions m_old;
};

constexpr QFileDevice::Permissions ReadOnlyFolder = QFileDevice::ReadOwner | QFileDevice::ExeOwner;

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir *m_dir = nullptr;
    QString root() const { return m_dir->path(); }

    // A tree with hidden entries, nested folders and mixed case.
    void makeMusicTree()
    {
        makeFile(root() + QLatin1String("/a.mp3"));
        makeFile(root() + QLatin1String("/B.flac"));
        makeFile(root() + QLatin1String("/.hidden.mp3"));
        makeFile(root() + QLatin1String("/sub/c.mp3"));
        makeFile(root() + QLatin1String("/sub/subsub/d.mp3"));
        makeFile(root() + QLatin1String("/.hiddensub/e.mp3"));
        QDir().mkpath(root() + QLatin1String("/Zed"));
    }

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
    }

    void cleanup()
    {
        delete m_dir;
        m_dir = nullptr;
    }

    // ---- file information ----

    void singlePathFailures_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("path");
        QTest::addColumn<quint32>("code");

        QTest::newRow("size of a folder") << "fileSize" << "folder" << quint32(FileSizeNotAFileTextId);
        QTest::newRow("size of a missing path") << "fileSize" << "missing" << quint32(FileSizeMissingTextId);
        QTest::newRow("size of a broken link") << "fileSize" << "broken" << quint32(FileSizeMissingTextId);
        QTest::newRow("creation time of a missing path") << "creationTime" << "missing" << quint32(FileCreationTimeMissingTextId);
        QTest::newRow("modification time of a missing path") << "modificationTime" << "missing" << quint32(FileModificationTimeMissingTextId);
        QTest::newRow("last read time of a missing path") << "lastReadTime" << "missing" << quint32(FileLastReadTimeMissingTextId);
        QTest::newRow("permissions of a missing path") << "permissions" << "missing" << quint32(FilePermissionsMissingTextId);
        QTest::newRow("permission test of a missing path") << "hasPermission" << "missing" << quint32(FilePermissionCheckMissingTextId);
        QTest::newRow("permissions refused") << "setPermissions" << "missing" << quint32(FilePermissionsRefusedTextId);
        QTest::newRow("link of a plain file") << "readLink" << "file" << quint32(FileNotALinkTextId);
        QTest::newRow("link of a missing path") << "readLink" << "missing" << quint32(FileNotALinkTextId);
        QTest::newRow("flush of a missing path") << "flushToDisk" << "missing" << quint32(FileFlushNotAFileTextId);
        QTest::newRow("exact case of a missing path") << "exactCasePath" << "missing" << quint32(FileExactCaseMissingTextId);
        QTest::newRow("entry count of a missing path") << "entryCount" << "missing" << quint32(FolderCountFailedTextId);
        QTest::newRow("entry count of a file") << "entryCount" << "file" << quint32(FolderCountFailedTextId);
        QTest::newRow("folder below a file") << "makePath" << "below file" << quint32(TreeMakeFolderFailedTextId);
        QTest::newRow("remove a missing path") << "removePath" << "missing" << quint32(TreeRemoveMissingTextId);
        QTest::newRow("remove the root") << "removePath" << "root" << quint32(TreeRemoveRootTextId);
        QTest::newRow("resize a missing path") << "truncateFile" << "missing" << quint32(TreeResizeMissingTextId);
        QTest::newRow("resize a folder") << "truncateFile" << "folder" << quint32(TreeResizeNotAFileTextId);
        QTest::newRow("list a missing folder") << "listFiles" << "missing" << quint32(FolderListFailedTextId);
        QTest::newRow("list a file") << "listFiles" << "file" << quint32(FolderListFailedTextId);
    }

    void singlePathFailures()
    {
        QFETCH(QString, operation);
        QFETCH(QString, path);
        QFETCH(quint32, code);

        makeFile(root() + QLatin1String("/file"));
        QDir().mkpath(root() + QLatin1String("/folder"));
        makeLink(root() + QLatin1String("/gone"), root() + QLatin1String("/broken"));
        const QString target = path == QLatin1String("root")         ? QStringLiteral("/")
                               : path == QLatin1String("below file") ? root() + QLatin1String("/file/x")
                                                                     : root() + QLatin1Char('/') + path;
        const QStringList before = treeOf(root());

        const QHash<QString, std::function<void(const QString &)>> operations = {
            {"fileSize", [](const QString &p) { fileSize(p); }},
            {"creationTime", [](const QString &p) { creationTime(p); }},
            {"modificationTime", [](const QString &p) { modificationTime(p); }},
            {"lastReadTime", [](const QString &p) { lastReadTime(p); }},
            {"permissions", [](const QString &p) { permissions(p); }},
            {"hasPermission", [](const QString &p) { hasPermission(p, QFileDevice::ReadOwner); }},
            {"setPermissions", [](const QString &p) { setPermissions(p, QFileDevice::ReadOwner); }},
            {"readLink", [](const QString &p) { readLink(p); }},
            {"flushToDisk", [](const QString &p) { flushToDisk(p); }},
            {"exactCasePath", [](const QString &p) { exactCasePath(p); }},
            {"entryCount", [](const QString &p) { entryCount(p); }},
            {"makePath", [](const QString &p) { makePath(p); }},
            {"removePath", [](const QString &p) { removePath(p); }},
            {"truncateFile", [](const QString &p) { truncateFile(p, 0); }},
            {"listFiles", [](const QString &p) { listDirectory(p, QDir::Files, QDir::NoSort, false, false); }},
        };
        QVERIFY(operations.contains(operation));
        try {
            // A trailing slash changes nothing: the file system is asked without it.
            operations.value(operation)(target == QLatin1String("/") ? target : target + QLatin1Char('/'));
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, code);
            QVERIFY(e.logged);
            QCOMPARE(e.arguments.value(0).toString(), QDir::toNativeSeparators(target));
        }
        QCOMPARE(treeOf(root()), before);
    }

    void fileInformation()
    {
        const QString file = root() + QLatin1String("/f.mp3");
        makeFile(file, "12345");
        makeLink(file, root() + QLatin1String("/link"));
        const QDateTime stamp(QDate(2020, 5, 17), QTime(12, 30, 15), Qt::UTC);
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(stamp, QFileDevice::FileModificationTime));
        }

        QCOMPARE(fileSize(file + QLatin1Char('/')), qint64(5));
        QCOMPARE(fileSize(root() + QLatin1String("/link")), qint64(5));
        QCOMPARE(modificationTime(file), stamp);
        QVERIFY(creationTime(file).isValid());
        QVERIFY(lastReadTime(file).isValid());
        QCOMPARE(readLink(root() + QLatin1String("/link")), file);
        QVERIFY(hasPermission(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(permissions(file) & QFileDevice::ReadOwner);
        flushToDisk(file);
        flushToDisk(root() + QLatin1Char('/'));
        QCOMPARE(isFileSystemCaseSensitive(), Qt::CaseSensitive);
        // The canonical path resolves links and a trailing slash.
        QCOMPARE(exactCasePath(root() + QLatin1String("/link/")), QFileInfo(file).canonicalFilePath());
    }

    void makeWritable_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("changed");

        QTest::newRow("read-only for all") << 0444 << 0644 << true;
        QTest::newRow("owner only") << 0400 << 0600 << true;
        QTest::newRow("executable kept") << 0555 << 0755 << true;
        QTest::newRow("already writable") << 0640 << 0640 << false;
    }

    void makeWritable()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(bool, changed);

        const QString file = root() + QLatin1String("/song.mp3");
        makeFile(file);
        std::filesystem::permissions(fsPath(file), std::filesystem::perms(before));
        QCOMPARE(::makeWritable(file), changed);
        QCOMPARE(int(std::filesystem::status(fsPath(file)).permissions()), after);
        QCOMPARE(::makeWritable(file), false);
    }

    // ---- folder walks ----

    void entryCounts()
    {
        const QString folder = root() + QLatin1String("/f");
        QDir().mkpath(folder);
        QCOMPARE(entryCount(folder), 2);
        makeFile(folder + QLatin1String("/a"));
        makeFile(folder + QLatin1String("/b"));
        makeFile(folder + QLatin1String("/.hidden"));
        QCOMPARE(entryCount(folder + QLatin1Char('/')), 4);
    }

    void folderListingsSharedInABatch()
    {
        const QString folder = root() + QLatin1String("/f");
        QDir().mkpath(folder);
        makeFile(folder + QLatin1String("/a"));
        auto names = [](const FolderListingCache::Listing &listing) {
            QStringList sorted = listing.names;
            sorted.sort();
            return sorted;
        };
        // Counted as entryCount counts; past the limit only the count is kept.
        QCOMPARE(FolderListingCache::list(folder, 100).count, entryCount(folder));
        QCOMPARE(names(FolderListingCache::list(folder, 100)), (QStringList{".", "..", "a"}));
        const FolderListingCache::Listing small = FolderListingCache::list(folder, 2);
        QCOMPARE(small.count, 3);
        QVERIFY(small.names.isEmpty());
        QCOMPARE(FolderListingCache::list(root() + QLatin1String("/none"), 100).count, 0);

        // Every kind of entry is counted as QDir counts it.
        const QString kinds = root() + QLatin1String("/kinds");
        QDir().mkpath(kinds + QLatin1String("/sub"));
        makeFile(kinds + QLatin1String("/file"));
        makeFile(kinds + QLatin1String("/.hidden"));
        makeLink(kinds + QLatin1String("/file"), kinds + QLatin1String("/to file"));
        makeLink(kinds + QLatin1String("/sub"), kinds + QLatin1String("/to sub"));
        makeLink(kinds + QLatin1String("/gone"), kinds + QLatin1String("/broken"));
        QCOMPARE(mkfifo(QFile::encodeName(kinds + QLatin1String("/pipe")).constData(), 0600), 0);
        makeFile(kinds + QStringLiteral("/caf\u00e9 \u6771\u4eac.jpg"));
        QStringList expected = QDir(kinds).entryList();
        expected.sort();
        QCOMPARE(names(FolderListingCache::list(kinds, 100)), expected);
        QCOMPARE(FolderListingCache::list(kinds, 100).count, entryCount(kinds));

        {
            FolderListingCache::Scope batch;
            QCOMPARE(FolderListingCache::list(folder, 100).count, 3);
            makeFile(folder + QLatin1String("/b"));
            {
                // An inner scope shares the outer one's listings.
                FolderListingCache::Scope inner;
                QCOMPARE(FolderListingCache::list(folder, 100).count, 3);
            }
            QCOMPARE(FolderListingCache::list(folder, 100).count, 3);
            // Only the last few folders are kept: after listing others, the folder is read anew.
            for (int i = 0; i < 8; ++i) {
                const QString other = root() + QStringLiteral("/o%1").arg(i);
                QDir().mkpath(other);
                QCOMPARE(FolderListingCache::list(other, 100).count, 2);
            }
            QCOMPARE(FolderListingCache::list(folder, 100).count, 4);
            makeFile(folder + QLatin1String("/c"));
        }
        // Outside a batch every call lists the folder.
        QCOMPARE(FolderListingCache::list(folder, 100).count, 5);
    }

    void listFiles_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("patterns");
        QTest::addColumn<int>("filter");
        QTest::addColumn<int>("sort");
        QTest::addColumn<bool>("recursive");
        QTest::addColumn<bool>("fullPaths");
        QTest::addColumn<QStringList>("expected");

        const int files = QDir::Files;
        const int noSort = QDir::NoSort;
        const QStringList mp3{"*.mp3"};
        QTest::newRow("top folder only") << "<root>" << mp3 << files << noSort << false << false << QStringList{"a.mp3"};
        QTest::newRow("patterns ignore case") << "<root>" << QStringList{"*.MP3"} << files << noSort << false << false
                                              << QStringList{"a.mp3"};
        QTest::newRow("case-sensitive patterns when asked")
            << "<root>" << QStringList{"*.MP3"} << int(QDir::Files | QDir::CaseSensitive) << noSort << false << false
            << QStringList{};
        QTest::newRow("hidden entries when asked") << "<root>" << mp3 << int(QDir::Files | QDir::Hidden) << noSort
                                                   << false << false << QStringList{".hidden.mp3", "a.mp3"};
        QTest::newRow("files and folders by name")
            << "<root>" << QStringList{} << int(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)
            << int(QDir::Name | QDir::IgnoreCase) << false << false << QStringList{"a.mp3", "B.flac", "sub", "Zed"};
        QTest::newRow("default filter lists dot entries")
            << "<root>" << QStringList{} << int(QDir::NoFilter) << noSort << false << false
            << QStringList{".", "..", "a.mp3", "B.flac", "sub", "Zed"};
        QTest::newRow("recursive enters hidden folders, subfolders by name")
            << "<root>" << mp3 << files << noSort << true << false
            << QStringList{"a.mp3", ".hiddensub/e.mp3", "sub/c.mp3", "sub/subsub/d.mp3"};
        QTest::newRow("recursive with full paths")
            << "<root>/" << mp3 << files << noSort << true << true
            << QStringList{"<root>/a.mp3", "<root>/.hiddensub/e.mp3", "<root>/sub/c.mp3", "<root>/sub/subsub/d.mp3"};
        QTest::newRow("folders appear only when the filter asks")
            << "<root>/sub" << QStringList{} << int(QDir::AllEntries | QDir::NoDotAndDotDot) << noSort << true << false
            << QStringList{"c.mp3", "subsub", "subsub/d.mp3"};
    }

    void listFiles()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, patterns);
        QFETCH(int, filter);
        QFETCH(int, sort);
        QFETCH(bool, recursive);
        QFETCH(bool, fullPaths);
        QFETCH(QStringList, expected);

        makeMusicTree();
        folder.replace(QLatin1String("<root>"), root());
        expected.replaceInStrings(QLatin1String("<root>"), root());
        LinearProgressObject progress;
        QCOMPARE(::listFiles(folder, patterns, QDir::Filters(filter), QDir::SortFlags(sort), recursive, fullPaths, &progress),
                 expected);
        QVERIFY(progress.isFinished());
        QCOMPARE(progress.statusArguments().value(1).toInt(), int(expected.size()));
    }

    void walkListsWhatQDirLists_data()
    {
        QTest::addColumn<QStringList>("patterns");
        QTest::addColumn<int>("filter");
        const int every = int(QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        QTest::newRow("files, as the folder search walks") << QStringList{"*.mp3", "*.flac"} << (int(QDir::Files) | every);
        QTest::newRow("files, no patterns") << QStringList{} << (int(QDir::Files) | every);
        QTest::newRow("folders") << QStringList{} << (int(QDir::Dirs) | every);
        QTest::newRow("files and folders, patterns") << QStringList{"*a*"} << (int(QDir::Files | QDir::Dirs) | every);
        QTest::newRow("case-sensitive patterns") << QStringList{"*.MP3"} << (int(QDir::Files | QDir::CaseSensitive) | every);
        QTest::newRow("without system entries") << QStringList{} << int(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    void walkListsWhatQDirLists()
    {
        // Walks that read folders directly must list exactly what QDir lists, in its order:
        // links to folders and files, a dangling link, a pipe, hidden entries, names that sort
        // differently with and without case.
        QFETCH(QStringList, patterns);
        QFETCH(int, filter);
        makeMusicTree();
        for (const char *name : {"b", "A", "_x", "a_", "\u00c4b", "z", "Ab"})
            makeFile(root() + QLatin1String("/mixed/") + QString::fromUtf8(name) + QLatin1String("/t.mp3"));
        makeFile(root() + QLatin1String("/mixed/Song.MP3"));
        makeFile(root() + QLatin1String("/mixed/.dot.flac"));
        makeLink(root() + QLatin1String("/sub"), root() + QLatin1String("/mixed/linked folder"));
        makeLink(root() + QLatin1String("/a.mp3"), root() + QLatin1String("/mixed/linked.mp3"));
        makeLink(root() + QLatin1String("/nowhere.mp3"), root() + QLatin1String("/mixed/dangling.mp3"));
        makeLink(QStringLiteral(".."), root() + QLatin1String("/mixed/up"));
        QVERIFY(mkfifo(QFile::encodeName(root() + QLatin1String("/mixed/pipe.mp3")).constData(), 0600) == 0);

        QSet<QString> branch;
        const QStringList expected = walkedByQDir(root(), QString(), patterns, QDir::Filters(filter), branch);
        QVERIFY(expected.contains(QStringLiteral("mixed/linked folder/c.mp3")) || !patterns.isEmpty()
                || !(filter & QDir::Files));
        CollectingLogger logger;
        QCOMPARE(::listFiles(root(), patterns, QDir::Filters(filter), QDir::NoSort, true, false), expected);
        // The pipe and the dangling link are entries, not folders that could not be read.
        QCOMPARE(logger.messages.size(), 0);
    }

    void listRootHasNoDoubledSlash()
    {
        const QStringList entries = listDirectory(QStringLiteral("/"), QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort, false, true);
        QVERIFY(!entries.isEmpty());
        for (const QString &entry : entries)
            QVERIFY2(entry.startsWith(QLatin1Char('/')) && !entry.startsWith(QLatin1String("//")), qPrintable(entry));
    }

    void cancelledWalkReturnsNothing()
    {
        makeMusicTree();
        LinearProgressObject progress;
        // Cancel while the walk is in its second folder.
        connect(&progress, &ProgressObject::progressUpdated, &progress, [&progress] {
            if (progress.statusArguments().value(0).toString().endsWith(QLatin1String(".hiddensub")))
                progress.cancel();
        });
        QCOMPARE(::listFiles(root(), {QStringLiteral("*.mp3")}, QDir::Files, QDir::NoSort, true, false, &progress),
                 QStringList{});
        QVERIFY(progress.isCanceled());
    }

    void linkCyclesAreWalkedOnce()
    {
        makeFile(root() + QLatin1String("/top/f.txt"));
        makeFile(root() + QLatin1String("/top/sub/g.txt"));
        makeLink(QStringLiteral(".."), root() + QLatin1String("/top/sub/up"));
        makeLink(QStringLiteral("sub"), root() + QLatin1String("/top/sub2"));
        const QString top = root() + QLatin1String("/top");

        // The link back up is not entered again; a link elsewhere is.
        QCOMPARE(::listFiles(top, {}, QDir::Files, QDir::NoSort, true, false),
                 (QStringList{"f.txt", "sub/g.txt", "sub2/g.txt"}));
        QVERIFY(isRemovable(top));

        // Copies and removals treat the links as links.
        copyPath(top, root() + QLatin1String("/copy"));
        QCOMPARE(treeOf(root() + QLatin1String("/copy")), treeOf(top));
        removePath(top);
        QVERIFY(!QFileInfo::exists(top));
    }

    void emptyDirectories_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("empty");

        QTest::newRow("empty folder") << "empty" << true;
        QTest::newRow("folder with a hidden file") << "hidden" << false;
        QTest::newRow("file") << "hidden/.h" << false;
        QTest::newRow("missing") << "missing" << false;
    }

    void emptyDirectories()
    {
        QFETCH(QString, path);
        QFETCH(bool, empty);
        QDir().mkpath(root() + QLatin1String("/empty"));
        makeFile(root() + QLatin1String("/hidden/.h"));
        QCOMPARE(isEmptyDirectory(root() + QLatin1Char('/') + path), empty);
    }

    void wildcardPaths_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("one match") << "<root>/Mus*c" << QStringList{"<root>/Music"};
        QTest::newRow("two matches in listing order") << "<root>/Mus*" << QStringList{"<root>/Music", "<root>/Musik"};
        QTest::newRow("wildcards on two levels")
            << "<root>/*/*.mp3" << QStringList{"<root>/Music/x.mp3", "<root>/Other/y.mp3"};
        QTest::newRow("dot-dot kept after each match")
            << "<root>/Mus*/../Other" << QStringList{"<root>/Music/../Other", "<root>/Musik/../Other"};
        QTest::newRow("trailing slash only on folders") << "<root>/*/" << QStringList{"<root>/Music/", "<root>/Musik/", "<root>/Other/"};
        QTest::newRow("case matters here") << "<root>/music" << QStringList{};
        QTest::newRow("no match") << "<root>/Nothing*" << QStringList{};
        QTest::newRow("empty pattern") << "" << QStringList{};
        QTest::newRow("root") << "/" << QStringList{"/"};
    }

    void wildcardPaths()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, expected);

        makeFile(root() + QLatin1String("/Music/x.mp3"));
        QDir().mkpath(root() + QLatin1String("/Musik"));
        makeFile(root() + QLatin1String("/Other/y.mp3"));
        makeFile(root() + QLatin1String("/file.txt"));
        pattern.replace(QLatin1String("<root>"), root());
        expected.replaceInStrings(QLatin1String("<root>"), root());

        QCOMPARE(expandWildcardPath(pattern), expected);
        QCOMPARE(resolveWildcardPath(pattern), expected.size() == 1 ? expected.first() : QString());
    }

    // ---- removing ----

    void removalStaysInsideTheTree()
    {
        makeFile(root() + QLatin1String("/outside/keep.mp3"));
        makeFile(root() + QLatin1String("/tree/a.mp3"));
        makeFile(root() + QLatin1String("/tree/sub/.hidden"));
        makeLink(root() + QLatin1String("/outside"), root() + QLatin1String("/tree/folderlink"));
        makeLink(root() + QLatin1String("/outside/keep.mp3"), root() + QLatin1String("/tree/sub/filelink"));
        makeLink(root() + QLatin1String("/gone"), root() + QLatin1String("/tree/broken"));

        LinearProgressObject progress;
        removePath(root() + QLatin1String("/tree/"), &progress);
        QVERIFY(!QFileInfo::exists(root() + QLatin1String("/tree")));
        QCOMPARE(treeOf(root()), (QStringList{"outside/", "outside/keep.mp3 = x"}));
        QVERIFY(progress.isFinished());
        QVERIFY(progress.statusArguments().value(0).toString().startsWith(QDir::toNativeSeparators(root() + QLatin1String("/tree/"))));

        // A broken link is an entry of its own and can be removed.
        makeLink(root() + QLatin1String("/gone"), root() + QLatin1String("/broken"));
        removePath(root() + QLatin1String("/broken"));
        QVERIFY(!isLink(root() + QLatin1String("/broken")));
    }

    void removalCancelledBeforeItStarts()
    {
        makeFile(root() + QLatin1String("/tree/a.mp3"));
        LinearProgressObject progress;
        progress.cancel();
        removePath(root() + QLatin1String("/tree"), &progress);
        QVERIFY(QFileInfo::exists(root() + QLatin1String("/tree/a.mp3")));
    }

    // ---- copying and moving ----

    void twoPathFailures_data()
    {
        QTest::addColumn<bool>("move");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<quint32>("code");

        QTest::newRow("copy a missing source") << false << "<root>/missing" << "<root>/new" << quint32(TreeCopySourceMissingTextId);
        QTest::newRow("copy below a missing folder") << false << "<root>/file.txt" << "<root>/missing/new" << quint32(TreeCopyDestinationFolderMissingTextId);
        QTest::newRow("copy onto a file") << false << "<root>/src" << "<root>/file.txt" << quint32(TreeCopyDestinationExistsTextId);
        QTest::newRow("copy a folder into itself") << false << "<root>/src" << "<root>/src/b" << quint32(TreeCopyIntoItselfTextId);
        QTest::newRow("copy a folder into itself by another spelling")
            << false << "<root>/src/" << "<root>/./src/b" << quint32(TreeCopyIntoItselfTextId);
        QTest::newRow("copy a folder into its own folder") << false << "<root>/src" << "<root>/src/inner" << quint32(TreeCopyIntoItselfTextId);
        QTest::newRow("move a missing source") << true << "<root>/missing" << "<root>/new" << quint32(TreeMoveSourceMissingTextId);
        QTest::newRow("move the root") << true << "/" << "<root>/new" << quint32(TreeMoveRootTextId);
        QTest::newRow("move below a missing folder") << true << "<root>/file.txt" << "<root>/missing/new" << quint32(TreeMoveDestinationFolderMissingTextId);
        QTest::newRow("move onto a file") << true << "<root>/src" << "<root>/file.txt" << quint32(TreeMoveDestinationExistsTextId);
        QTest::newRow("move a folder into itself") << true << "<root>/src" << "<root>/src/b" << quint32(TreeMoveIntoItselfTextId);
        QTest::newRow("move a folder into its own folder") << true << "<root>/src" << "<root>/src/inner" << quint32(TreeMoveIntoItselfTextId);
    }

    void twoPathFailures()
    {
        QFETCH(bool, move);
        QFETCH(QString, source);
        QFETCH(QString, destination);
        QFETCH(quint32, code);

        makeFile(root() + QLatin1String("/src/f.txt"));
        // An existing folder of the source's name inside the source is no way round the check.
        QDir().mkpath(root() + QLatin1String("/src/inner"));
        makeFile(root() + QLatin1String("/file.txt"));
        source.replace(QLatin1String("<root>"), root());
        destination.replace(QLatin1String("<root>"), root());
        const QStringList before = treeOf(root());

        QCOMPARE(thrownCode([&] { move ? movePath(source, destination) : copyPath(source, destination); }), code);
        QCOMPARE(treeOf(root()), before);
    }

    void copyTree()
    {
        makeFile(root() + QLatin1String("/src/a.mp3"), "a");
        makeFile(root() + QLatin1String("/src/.hidden"), "h");
        makeFile(root() + QLatin1String("/src/sub/deep/b.mp3"), "b");
        QDir().mkpath(root() + QLatin1String("/src/empty"));
        makeLink(QStringLiteral("a.mp3"), root() + QLatin1String("/src/relative"));
        makeLink(QStringLiteral("sub"), root() + QLatin1String("/src/folderlink"));
        makeLink(QStringLiteral("nowhere"), root() + QLatin1String("/src/broken"));

        LinearProgressObject progress;
        copyPath(root() + QLatin1String("/src"), root() + QLatin1String("/dst"), &progress);
        QCOMPARE(treeOf(root() + QLatin1String("/dst")), treeOf(root() + QLatin1String("/src")));
        QVERIFY(progress.isFinished());

        // Into an existing folder, under the source's name.
        QDir().mkpath(root() + QLatin1String("/into"));
        copyPath(root() + QLatin1String("/src/"), root() + QLatin1String("/into/"));
        QCOMPARE(treeOf(root() + QLatin1String("/into/src")), treeOf(root() + QLatin1String("/src")));
        copyPath(root() + QLatin1String("/src/a.mp3"), root() + QLatin1String("/into"));
        QCOMPARE(contentOf(root() + QLatin1String("/into/a.mp3")), QByteArray("a"));
    }

    void linksKeepTheirOwnName_data()
    {
        QTest::addColumn<bool>("move");
        QTest::newRow("copy") << false;
        QTest::newRow("move") << true;
    }

    void linksKeepTheirOwnName()
    {
        QFETCH(bool, move);
        makeFile(root() + QLatin1String("/song.mp3"), "tune");
        makeLink(QStringLiteral("song.mp3"), root() + QLatin1String("/alias.mp3"));
        QDir().mkpath(root() + QLatin1String("/folder"));

        const QString source = root() + QLatin1String("/alias.mp3");
        move ? movePath(source, root() + QLatin1String("/folder")) : copyPath(source, root() + QLatin1String("/folder"));
        const QString result = root() + QLatin1String("/folder/alias.mp3");
        QVERIFY(isLink(result));
        QCOMPARE(QString::fromStdString(std::filesystem::read_symlink(fsPath(result)).string()), QStringLiteral("song.mp3"));
        QVERIFY(!QFileInfo::exists(root() + QLatin1String("/folder/song.mp3")));
        QCOMPARE(isLink(source), !move);
    }

    void failedCopyIsRolledBack()
    {
        makeFile(root() + QLatin1String("/src/0dir/a.txt"));
        makeFile(root() + QLatin1String("/src/1.txt"));
        makeFile(root() + QLatin1String("/src/2.txt"));
        makeFile(root() + QLatin1String("/src/3.txt"));
        makeFile(root() + QLatin1String("/src/4.txt"));
        // The destination folder exists and already holds the third file.
        makeFile(root() + QLatin1String("/dst/src/3.txt"), "mine");
        makeFile(root() + QLatin1String("/dst/src/other.txt"), "mine too");
        const QStringList before = treeOf(root());

        CollectingLogger logger;
        try {
            copyPath(root() + QLatin1String("/src"), root() + QLatin1String("/dst"));
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(TreeCopyFailedTextId));
            QCOMPARE(e.arguments.value(0).toString(), root() + QLatin1String("/src/3.txt"));
            QCOMPARE(e.arguments.value(1).toString(), root() + QLatin1String("/dst/src/3.txt"));
            QVERIFY(!e.arguments.value(2).toString().isEmpty());
        }
        QCOMPARE(treeOf(root()), before);
        QCOMPARE(logger.count(quint32(TreeCopyFailedTextId)), 1);
        QCOMPARE(logger.count(quint32(TreeCopyUndoIncompleteTextId)), 0);
    }

    void moveRenames()
    {
        makeFile(root() + QLatin1String("/a.mp3"), "a");
        makeFile(root() + QLatin1String("/tree/b.mp3"), "b");
        LinearProgressObject progress;
        movePath(root() + QLatin1String("/a.mp3"), root() + QLatin1String("/A.mp3"), &progress);
        movePath(root() + QLatin1String("/tree/"), root() + QLatin1String("/moved"));
        QCOMPARE(treeOf(root()), (QStringList{"A.mp3 = a", "moved/", "moved/b.mp3 = b"}));
        QVERIFY(progress.isFinished());
    }

    void moveOntoItselfUsesAFreeTemporaryName()
    {
        makeFile(root() + QLatin1String("/x.mp3"), "song");
        makeFile(root() + QLatin1String("/x.mp3_"), "taken");
        movePath(root() + QLatin1String("/x.mp3"), root() + QLatin1String("/x.mp3"));
        QCOMPARE(treeOf(root()), (QStringList{"x.mp3 = song", "x.mp3_ = taken"}));
    }

    void moveIntoFolderHoldingTheName()
    {
        makeFile(root() + QLatin1String("/a.mp3"), "new");
        makeFile(root() + QLatin1String("/folder/a.mp3"), "old");
        QCOMPARE(thrownCode([&] { movePath(root() + QLatin1String("/a.mp3"), root() + QLatin1String("/folder")); }),
                 quint32(TreeCopyDestinationExistsTextId));
        QCOMPARE(contentOf(root() + QLatin1String("/a.mp3")), QByteArray("new"));
        QCOMPARE(contentOf(root() + QLatin1String("/folder/a.mp3")), QByteArray("old"));
    }

    void moveAcrossFileSystems()
    {
        if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            MELO_SKIP_TOOL("needs a second file system at /dev/shm");
        QTemporaryDir other(QStringLiteral("/dev/shm/melo-files-XXXXXX"));
        QVERIFY(other.isValid());
        makeFile(root() + QLatin1String("/tree/a.mp3"), "a");
        makeFile(root() + QLatin1String("/tree/sub/b.mp3"), "b");
        makeLink(QStringLiteral("a.mp3"), root() + QLatin1String("/tree/relative"));
        const QStringList before = treeOf(root() + QLatin1String("/tree"));

        movePath(root() + QLatin1String("/tree"), other.path());
        QCOMPARE(treeOf(other.path() + QLatin1String("/tree")), before);
        QVERIFY(!QFileInfo::exists(root() + QLatin1String("/tree")));

        makeLink(QStringLiteral("gone"), root() + QLatin1String("/alias"));
        movePath(root() + QLatin1String("/alias"), other.path());
        QVERIFY(isLink(other.path() + QLatin1String("/alias")));
        QVERIFY(!isLink(root() + QLatin1String("/alias")));
    }

    void renameInsideTheFolder()
    {
        makeFile(root() + QLatin1String("/a.mp3"), "a");
        makeFile(root() + QLatin1String("/c.mp3"), "c");
        renamePath(root() + QLatin1String("/a.mp3"), QStringLiteral("b.mp3"));
        QCOMPARE(contentOf(root() + QLatin1String("/b.mp3")), QByteArray("a"));
        try {
            renamePath(root() + QLatin1String("/b.mp3"), QStringLiteral("c.mp3"));
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(TreeRenameFailedWithReasonTextId));
            QCOMPARE(e.arguments.size(), 3);
            QVERIFY(!e.arguments.at(2).toString().isEmpty());
        }
        QCOMPARE(contentOf(root() + QLatin1String("/c.mp3")), QByteArray("c"));
    }

    void linksAndSizes()
    {
        const QString file = root() + QLatin1String("/f.bin");
        makeFile(file, "0123456789");
        createLink(root() + QLatin1String("/link/"), file + QLatin1Char('/'));
        QCOMPARE(readLink(root() + QLatin1String("/link")), file);
        QCOMPARE(thrownCode([&] { createLink(root() + QLatin1String("/link"), file); }), quint32(TreeLinkFailedTextId));

        truncateFile(file, 4);
        QCOMPARE(contentOf(file), QByteArray("0123"));
        truncateFile(file, 6);
        QCOMPARE(contentOf(file), QByteArray("0123\0\0", 6));

        makePath(root() + QLatin1String("/a/b/c/"));
        makePath(root() + QLatin1String("/a/b/c"));
        QVERIFY(QFileInfo(root() + QLatin1String("/a/b/c")).isDir());
    }

    // ---- permissions: these need a user the permission bits apply to ----

    void removableRules_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("removable");

        QTest::newRow("read-only file") << "read-only file" << true;
        QTest::newRow("file in a write-protected folder") << "protected folder" << false;
        QTest::newRow("folder holding a write-protected folder") << "protected inside" << false;
        QTest::newRow("write-protected empty folder") << "protected empty" << true;
        QTest::newRow("empty folder that cannot be read") << "unreadable empty" << false;
        QTest::newRow("folder that cannot be entered") << "unsearchable" << false;
    }

    void removableRules()
    {
        if (::geteuid() == 0)
            QSKIP("the permission bits do not bind root; unprivilegedRun covers this");
        QFETCH(QString, setup);
        QFETCH(bool, removable);

        const QString tree = root() + QLatin1String("/tree");
        makeFile(tree + QLatin1String("/a.mp3"));
        makeFile(tree + QLatin1String("/sub/b.mp3"));
        QDir().mkpath(tree + QLatin1String("/empty"));
        QString path = tree;
        std::unique_ptr<Restricted> restricted;
        if (setup == QLatin1String("read-only file")) {
            path = tree + QLatin1String("/a.mp3");
            restricted.reset(new Restricted(path, QFileDevice::ReadOwner));
        } else if (setup == QLatin1String("protected folder")) {
            path = tree + QLatin1String("/sub/b.mp3");
            restricted.reset(new Restricted(tree + QLatin1String("/sub"), ReadOnlyFolder));
        } else if (setup == QLatin1String("protected inside")) {
            restricted.reset(new Restricted(tree + QLatin1String("/sub"), ReadOnlyFolder));
        } else if (setup == QLatin1String("protected empty")) {
            path = tree + QLatin1String("/empty");
            restricted.reset(new Restricted(path, ReadOnlyFolder));
        } else if (setup == QLatin1String("unreadable empty")) {
            path = tree + QLatin1String("/empty");
            restricted.reset(new Restricted(path, QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        } else if (setup == QLatin1String("unsearchable")) {
            path = tree + QLatin1String("/sub");
            restricted.reset(new Restricted(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        }
        QCOMPARE(isRemovable(path), removable);

        // What isRemovable promises, removal keeps: all or nothing is removed.
        const QStringList before = treeOf(root());
        const quint32 code = thrownCode([&] { removePath(path); });
        QCOMPARE(code, removable ? 0u : quint32(TreeRemoveRefusedTextId));
        QCOMPARE(QFileInfo::exists(path), !removable);
        if (!removable)
            QCOMPARE(treeOf(root()), before);
    }

    void protectedTrees()
    {
        if (::geteuid() == 0)
            QSKIP("the permission bits do not bind root; unprivilegedRun covers this");

        const QString tree = root() + QLatin1String("/tree");
        makeFile(tree + QLatin1String("/a.mp3"), "a");
        makeFile(tree + QLatin1String("/closed/b.mp3"), "b");
        makeFile(tree + QLatin1String("/open/c.mp3"), "c");
        makeFile(tree + QLatin1String("/secret.mp3"), "s");

        {
            // An unreadable subfolder is skipped, with one logged error; the walk goes on.
            Restricted closed(tree + QLatin1String("/closed"), QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            CollectingLogger logger;
            QCOMPARE(::listFiles(tree, {}, QDir::Files, QDir::NoSort, true, false),
                     (QStringList{"a.mp3", "secret.mp3", "open/c.mp3"}));
            QCOMPARE(logger.count(quint32(FolderListFailedTextId)), 1);
            QCOMPARE(thrownCode([&] { entryCount(tree + QLatin1String("/closed")); }), quint32(FolderCountFailedTextId));
        }
        {
            // A file that cannot be read fails the copy, and what was copied goes again.
            Restricted secret(tree + QLatin1String("/secret.mp3"), QFileDevice::WriteOwner);
            QCOMPARE(thrownCode([&] { copyPath(tree, root() + QLatin1String("/copy")); }), quint32(TreeCopySourceUnreadableTextId));
            QVERIFY(!QFileInfo::exists(root() + QLatin1String("/copy")));
        }
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {
            // A tree that could not be removed afterwards is not moved to another file system.
            QTemporaryDir other(QStringLiteral("/dev/shm/melo-files-XXXXXX"));
            Restricted closed(tree + QLatin1String("/closed"), ReadOnlyFolder);
            QCOMPARE(thrownCode([&] { movePath(tree, other.path()); }), quint32(TreeMoveSourceRefusedTextId));
            QVERIFY(QDir(other.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        }
    }

    // Runs the permission tests again as an ordinary user when the tests run as root.
    void unprivilegedRun()
    {
        if (::geteuid() != 0)
            QSKIP("already unprivileged");
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            MELO_SKIP_TOOL("setpriv is not installed");
        const QString self = QCoreApplication::applicationFilePath();
        for (QString dir = QFileInfo(self).path(); dir != QLatin1String("/"); dir = QFileInfo(dir).path()) {
            if (!(QFile::permissions(dir) & QFileDevice::ExeOther))
                MELO_SKIP_TOOL("the test program cannot be reached by another user");
        }

        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                              QStringLiteral("--clear-groups"), QStringLiteral("--"), self,
                              QStringLiteral("removableRules"), QStringLiteral("protectedTrees")});
        QVERIFY(child.waitForFinished(120000));
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
        QVERIFY2(!output.contains("SKIP"), output.constData());
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
