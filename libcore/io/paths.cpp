#include "libcore/io/paths.h"

#include <QDir>
#include <QFileInfo>

#include "libcore/text/codepoint.h"
#include "libcore/text/codepointstring.h"
#include "libcore/platform/platformidentity.h"

namespace {

bool onWindows()
{
    static const bool windows = platformId() == PlatformWindows;
    return windows;
}

bool isDriveRoot(const QString &path)
{
    // "[A-Z]:/?" without regard to case.
    if (path.size() < 2 || path.size() > 3)
        return false;
    const QChar letter = path.at(0);
    const bool isLetter = (letter >= u'A' && letter <= u'Z') || (letter >= u'a' && letter <= u'z');
    return isLetter && path.at(1) == u':' && (path.size() == 2 || path.at(2) == u'/');
}

} // namespace

bool isRootPath(QString path)
{
    if (path == QLatin1String("/"))
        return true;
    return onWindows() && isDriveRoot(path);
}

QString withTrailingSlash(QString path)
{
    if (path.isEmpty() || path.endsWith(u'/'))
        return path;
    return path + u'/';
}

QString withoutTrailingSlash(QString path)
{
    if (path.endsWith(u'/') && !isRootPath(path))
        path.chop(1);
    return path;
}

bool isAbsolutePath(QString path)
{
    if (onWindows()) {
        const QString t = withTrailingSlash(path);
        return t.startsWith(u'/') || (t.size() > 2 && isRootPath(t.left(3)));
    }
    return path.startsWith(u'/') || path.startsWith(u'~');
}

QString absolutePath(QString path)
{
    if (isAbsolutePath(path))
        return withoutTrailingSlash(path);
    return QFileInfo(withoutTrailingSlash(path)).absoluteFilePath();
}

QString rootPathOf(QString path)
{
    const QString t = withTrailingSlash(absolutePath(path));
    const int i = t.indexOf(u'/', t.startsWith(QLatin1String("//")) ? 2 : 0);
    return i < 0 ? t : t.left(i + 1);
}

QString parentPath(QString path)
{
    if (path.isEmpty() || isRootPath(path))
        return QString();
    const QString s = withoutTrailingSlash(path);
    const int i = s.lastIndexOf(u'/');
    if (i < 0)
        return QStringLiteral(".");
    return withoutTrailingSlash(s.left(i + 1));
}

QString parentFolderName(QString path)
{
    if (path.isEmpty() || isRootPath(path))
        return QString();
    const QString s = withoutTrailingSlash(path);
    const int i = s.lastIndexOf(u'/');
    if (i <= 0)
        return QString();
    const int j = s.lastIndexOf(u'/', i - 1);
    if (j < 0)
        return s.left(i);
    return s.mid(j + 1, i - j - 1);
}

QString relativePath(QString folder, QString path)
{
    const QString from = QDir::cleanPath(withoutTrailingSlash(absolutePath(folder)));
    const QString to = QDir::cleanPath(withoutTrailingSlash(absolutePath(path)));
    return QDir(from).relativeFilePath(to);
}

QString removeSuffix(QString path)
{
    const QString base = QFileInfo(withoutTrailingSlash(path)).completeBaseName();
    if (!path.contains(u'/'))
        return base;
    return withTrailingSlash(parentPath(path)) + base;
}

QString removeAllSuffixes(QString path)
{
    const QString base = QFileInfo(withoutTrailingSlash(path)).baseName();
    if (!path.contains(u'/'))
        return base;
    return withTrailingSlash(parentPath(path)) + base;
}

QString fileName(QString path)
{
    return QFileInfo(withoutTrailingSlash(path)).fileName();
}

QString fromNativeSeparators(QString path)
{
    path.replace(u'\\', u'/');
    return withoutTrailingSlash(path);
}

bool pathExists(QString path)
{
    const QString p = withoutTrailingSlash(path);
    return !p.isEmpty() && QFileInfo(p).exists();
}

bool isDirectory(QString path)
{
    const QString p = withoutTrailingSlash(path);
    return !p.isEmpty() && QFileInfo(p).isDir();
}

bool isReadable(QString path)
{
    const QString p = withoutTrailingSlash(path);
    return !p.isEmpty() && QFileInfo(p).isReadable();
}

bool isExecutable(QString path)
{
    const QString p = withoutTrailingSlash(path);
    return !p.isEmpty() && QFileInfo(p).isExecutable();
}

const QList<CodePoint> &invalidFileNameChars()
{
    static const QList<CodePoint> chars = [] {
        QList<CodePoint> list;
        for (quint32 c = 0; c < 0x20; ++c)
            list.append(CodePoint(c));
        for (char c : {'/', '\\', '?', '*', ':', '|', '"', '<', '>'})
            list.append(CodePoint(c));
        return list;
    }();
    return chars;
}

QString sanitizeFileName(QString name)
{
    const QList<CodePoint> points = toCodePoints(name);
    qsizetype begin = 0;
    qsizetype end = points.size();
    while (begin < end && points.at(begin).isSpace())
        ++begin;
    while (end > begin && (points.at(end - 1).isSpace() || points.at(end - 1) == CodePoint(u'.')))
        --end;
    const QList<CodePoint> &invalid = invalidFileNameChars();
    QString result;
    result.reserve(name.size());
    for (qsizetype i = begin; i < end; ++i) {
        if (!invalid.contains(points.at(i)))
            result += points.at(i).toString();
    }
    return result;
}

QString sanitizePath(QString path)
{
    const QStringList parts = path.split(u'/');
    const qsizetype n = parts.size();
    qsizetype rootParts = 0;
    if (onWindows() && path.startsWith(QLatin1String("//")))
        rootParts = 4;
    else if (isAbsolutePath(path))
        rootParts = 1;

    QString result;
    for (qsizetype i = 0; i < n; ++i) {
        const QString &part = parts.at(i);
        if (i < rootParts) {
            result += part + u'/';
        } else if (i < n - 1 && (part == QLatin1String(".") || part == QLatin1String(".."))) {
            result += part + u'/';
        } else {
            const QString s = sanitizeFileName(part);
            if (!s.isEmpty())
                result += s + u'/';
        }
    }
    return path.endsWith(u'/') ? withTrailingSlash(result) : withoutTrailingSlash(result);
}

QString withoutDotComponents(QString path)
{
    if (!path.contains(u'.'))
        return path;
    QStringList parts = path.split(u'/');
    const qsizetype before = parts.size();
    parts.removeIf([](const QString &part) {
        const QString trimmed = part.trimmed();
        return trimmed == QLatin1String(".") || trimmed == QLatin1String("..");
    });
    return parts.size() == before ? path : parts.join(u'/');
}
