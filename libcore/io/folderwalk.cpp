#include "libcore/io/folderwalk.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>

#include "libcore/io/fileinfo.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/progress/progressobject.h"

namespace {

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

struct Walk {
    QStringList nameFilters;
    QDir::Filters filter;
    QDir::SortFlags sort;
    bool recursive = false;
    bool fullPaths = false;
    ProgressObject *progress = nullptr;
    // The name filters as one expression, made once for the walk: QDir compiles every filter
    // again for every folder it lists, which cost more than the listing itself.
    QRegularExpression nameMatcher;
    QStringList result;
    // Canonical paths of the folders on the current branch, to stop at links that lead back.
    QSet<QString> branch;
};

// Whether the walk matches names with its own expression rather than leaving it to QDir.
bool hasNameMatcher(const Walk &walk)
{
    return walk.nameMatcher.isValid() && !walk.nameMatcher.pattern().isEmpty();
}

bool matchesNames(const Walk &walk, const QString &name)
{
    return walk.nameFilters.isEmpty() || walk.nameMatcher.match(name).hasMatch();
}

// Whether one pass of readdir can list the folder as QDir would: hidden and system entries
// included, "." and ".." not, sorted by name ignoring case (QDir's order also when no sort is
// asked for), with no permission or link filter, and names matched by the walk's own expression.
bool listsDirectly(const Walk &walk)
{
    constexpr QDir::Filters required = QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    constexpr QDir::Filters allowed = required | QDir::Files | QDir::Dirs | QDir::CaseSensitive;
    const bool sortedByName = walk.sort == QDir::NoSort || walk.sort == (QDir::Name | QDir::IgnoreCase);
    const bool namesMatched = walk.nameFilters.isEmpty() || hasNameMatcher(walk);
    return (walk.filter & required) == required && (walk.filter & ~allowed) == 0 && sortedByName && namesMatched;
}

void sortByName(QStringList &names)
{
    std::stable_sort(names.begin(), names.end(),
                     [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

// The folder's names that the walk's filter takes and its subfolders (links to folders
// included), both sorted as QDir sorts them, from one pass of readdir. QDir costs more per folder
// than the listing itself (two listings, an object per entry), which made the folder search of a
// large library as slow as reading a fifth of its files. As with QDir, a system entry (a pipe,
// a device, a dangling link) is taken by every filter that includes system entries.
// False when the folder cannot be opened; the caller then asks QDir, which reports as usual.
bool listDirectly(const Walk &walk, const QString &path, QStringList &names, QStringList &subfolders)
{
    const QByteArray encodedPath = QFile::encodeName(path);
    DIR *handle = opendir(encodedPath.constData());
    if (!handle)
        return false;
    const QByteArray base = encodedPath.endsWith('/') ? encodedPath : encodedPath + '/';
    const bool takeFiles = walk.filter.testFlag(QDir::Files);
    const bool takeFolders = walk.filter.testFlag(QDir::Dirs);
    while (const dirent *entry = readdir(handle)) {
        const char *rawName = entry->d_name;
        if (rawName[0] == '.' && (rawName[1] == 0 || (rawName[1] == '.' && rawName[2] == 0)))
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        bool isFile = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            // Links are followed; a dangling one is a system entry.
            struct stat target;
            const QByteArray entryPath = base + rawName;
            if (stat(entryPath.constData(), &target) == 0) {
                isFolder = S_ISDIR(target.st_mode);
                isFile = S_ISREG(target.st_mode);
            } else if (lstat(entryPath.constData(), &target) != 0) {
                continue; // gone since it was listed
            }
        }
        const bool isSystem = !isFolder && !isFile;
        const QString name = QFile::decodeName(rawName);
        if (isFolder)
            subfolders.append(name);
        const bool taken = isSystem || (isFolder ? takeFolders : takeFiles);
        if (taken && matchesNames(walk, name))
            names.append(name);
    }
    closedir(handle);
    sortByName(names);
    sortByName(subfolders);
    return true;
}

void walkFolder(Walk &walk, const QString &folder, const QString &prefix)
{
    const QString path = withoutTrailingSlash(folder);
    const QFileInfo info(path);
    if (!info.exists() || !info.isDir() || !info.isReadable())
        throw Exception(FolderListFailedTextId, {nativePath(path)}, true);

    const QDir dir(isRootPath(folder) ? withTrailingSlash(folder) : path);
    QStringList names;
    QStringList subfolders;
    const bool listed = listsDirectly(walk) && listDirectly(walk, dir.path(), names, subfolders);
    if (!listed && hasNameMatcher(walk)) {
        names = dir.entryList(walk.filter, walk.sort);
        names.removeIf([&](const QString &name) { return !walk.nameMatcher.match(name).hasMatch(); });
    } else if (!listed) {
        names = dir.entryList(walk.nameFilters, walk.filter, walk.sort);
    }
    const QString base = walk.fullPaths ? withTrailingSlash(folder) : withTrailingSlash(prefix);
    for (const QString &name : names)
        walk.result.append(base + name);

    if (walk.progress) {
        if (walk.progress->isCanceled()) {
            walk.result.clear();
            return;
        }
        walk.progress->setStatusArguments({nativePath(path), walk.result.size()});
    }
    if (!walk.recursive)
        return;

    const QString canonical = info.canonicalFilePath();
    walk.branch.insert(canonical);
    if (!listed)
        subfolders = dir.entryList(SubfoldersFilter, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : subfolders) {
        const QString child = withTrailingSlash(folder) + name;
        // QDir's subfolder filter also lists system entries (a pipe, a dangling link): they
        // are no folders to walk, and walking one would log it as a folder that cannot be read.
        const QFileInfo childInfo(child);
        if (!childInfo.isDir() || walk.branch.contains(childInfo.canonicalFilePath()))
            continue;
        try {
            walkFolder(walk, child, withTrailingSlash(prefix) + name);
        } catch (const Exception &) {
            // Logged when it was raised; the other subfolders are still walked.
        }
    }
    walk.branch.remove(canonical);
}

// The one expression that matches a name as QDir's name filters do, or an empty one where QDir
// must filter itself (it exempts folders from the patterns under AllDirs, which only it knows).
QRegularExpression nameMatcher(const QStringList &nameFilters, QDir::Filters filter)
{
    if (nameFilters.isEmpty() || filter.testFlag(QDir::AllDirs))
        return QRegularExpression();
    QStringList alternatives;
    for (const QString &pattern : nameFilters) {
        alternatives.append(QStringLiteral("(?:%1)").arg(QRegularExpression::wildcardToRegularExpression(
            pattern, QRegularExpression::UnanchoredWildcardConversion)));
    }
    QRegularExpression matcher(QRegularExpression::anchoredPattern(alternatives.join(u'|')),
                               filter.testFlag(QDir::CaseSensitive) ? QRegularExpression::NoPatternOption
                                                                    : QRegularExpression::CaseInsensitiveOption);
    matcher.optimize();
    return matcher.isValid() ? matcher : QRegularExpression();
}

} // namespace

int entryCount(const QString &folder)
{
    const QString path = withoutTrailingSlash(folder);
    const QFileInfo info(path);
    if (!info.exists() || !info.isDir() || !info.isReadable())
        throw Exception(FolderCountFailedTextId, {nativePath(path)}, true);
    return int(QDir(path).count());
}

QStringList listFiles(const QString &folder, const QStringList &nameFilters, QDir::Filters filter,
                      QDir::SortFlags sort, bool recursive, bool fullPaths, ProgressObject *progress)
{
    Walk walk;
    walk.nameFilters = nameFilters;
    walk.filter = filter;
    walk.sort = sort;
    walk.recursive = recursive;
    walk.fullPaths = fullPaths;
    walk.progress = progress;
    walk.nameMatcher = nameMatcher(nameFilters, filter);
    walkFolder(walk, folder, QString());
    if (progress)
        progress->finish();
    return walk.result;
}

QStringList listDirectory(const QString &folder, QDir::Filters filter, QDir::SortFlags sort,
                          bool recursive, bool fullPaths, ProgressObject *progress)
{
    return listFiles(folder, QStringList(), filter, sort, recursive, fullPaths, progress);
}

bool isEmptyDirectory(const QString &path)
{
    const QFileInfo info(withoutTrailingSlash(path));
    if (!info.isDir() || !info.isReadable())
        return false;
    return QDir(info.filePath()).isEmpty(AllEntriesFilter);
}

namespace {

// Whether everything inside the entry could be unlinked; the entry itself is its folder's matter.
bool contentsRemovable(const QFileInfo &info)
{
    if (info.isSymLink() || !info.isDir())
        return true;
    if (!info.isReadable())
        return false;
    const QDir dir(info.filePath());
    const QStringList names = dir.entryList(AllEntriesFilter, QDir::NoSort);
    if (names.isEmpty())
        return true;
    if (!info.isWritable() || !info.isExecutable())
        return false;
    for (const QString &name : names) {
        if (!contentsRemovable(QFileInfo(withTrailingSlash(info.filePath()) + name)))
            return false;
    }
    return true;
}

} // namespace

bool isRemovable(const QString &path)
{
    const QString p = withoutTrailingSlash(path);
    const QFileInfo info(p);
    if (!info.exists() && !info.isSymLink())
        return false;
    const QFileInfo parent(parentPath(absolutePath(p)));
    if (!parent.isDir() || !parent.isWritable() || !parent.isExecutable())
        return false;
    return contentsRemovable(info);
}

QStringList expandWildcardPath(const QString &pattern)
{
    if (pattern.isEmpty())
        return {};
    if (isRootPath(pattern))
        return pathExists(pattern) ? QStringList{pattern} : QStringList{};

    const bool absolute = pattern.startsWith(QLatin1Char('/'));
    QStringList matches{absolute ? QStringLiteral("/") : QString()};
    const QStringList components = (absolute ? pattern.mid(1) : pattern).split(QLatin1Char('/'));
    const QRegularExpression::PatternOptions options = isFileSystemCaseSensitive() == Qt::CaseSensitive
                                                           ? QRegularExpression::NoPatternOption
                                                           : QRegularExpression::CaseInsensitiveOption;
    for (const QString &component : components) {
        QStringList continued;
        if (component.isEmpty() || component == QLatin1String(".") || component == QLatin1String("..")) {
            for (const QString &m : std::as_const(matches)) {
                if (m.isEmpty() || isDirectory(m))
                    continued.append(withTrailingSlash(m) + component);
            }
        } else {
            const QRegularExpression wildcard(QRegularExpression::wildcardToRegularExpression(component), options);
            for (const QString &m : std::as_const(matches)) {
                QStringList candidates;
                if (m.isEmpty() || isDirectory(m)) {
                    try {
                        candidates = listDirectory(m.isEmpty() ? QStringLiteral(".") : m, AllEntriesFilter,
                                                   QDir::NoSort, false, false);
                    } catch (const Exception &) {
                    }
                }
                for (QString candidate : std::as_const(candidates)) {
                    if (candidate.endsWith(QLatin1Char('/')))
                        candidate.chop(1);
                    if (wildcard.match(candidate).hasMatch())
                        continued.append(withTrailingSlash(m) + candidate);
                }
            }
        }
        matches = continued;
    }
    return matches;
}

QString resolveWildcardPath(const QString &pattern)
{
    const QStringList matches = expandWildcardPath(pattern);
    return matches.size() == 1 ? matches.first() : QString();
}
