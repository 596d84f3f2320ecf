#include "libtagging/model/artworktagitem.h"

#include "libcore/io/fileinfo.h"
#include "libcore/io/folderwalk.h"
#include "libcore/io/paths.h"
#include "libcore/io/wholefile.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/texttable.h"
#include "libcore/text/wordsplitting.h"

#include <QBitmap>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QSet>

namespace {

const quint32 LinkOutsideFolderWarning = 3073573137u; // [linked file, folder]
const quint32 LinkedFileTooLargeWarning = 1336812454u; // [path, size limit]
const quint32 SaveOutsideFolderError = 1638513283u; // [linked file, folder]

CodedImage jpegOf(const QImage &image)
{
    return CodedImage(image, QStringLiteral("JPEG"), -1);
}

// The folder a relative linked file is resolved against: the folder itself, or the folder
// of the file it names. Without a trailing slash.
QString baseFolder(const QString &folder)
{
    QString base = absolutePath(folder);
    if (!isDirectory(withoutTrailingSlash(base)))
        base = parentPath(base);
    return withoutTrailingSlash(QDir::cleanPath(base));
}

bool isInside(const QString &path, const QString &folder)
{
    const QString prefix = withTrailingSlash(folder);
    return !folder.isEmpty() && path.startsWith(prefix) && path.size() > prefix.size();
}

// Whether the path stays inside the folder also after following links: the path itself
// when it exists, else the nearest folder above it that exists.
bool staysInside(const QString &path, const QString &folder)
{
    const QString canonicalFolder = QFileInfo(baseFolder(folder)).canonicalFilePath();
    if (canonicalFolder.isEmpty())
        return false;
    QString p = path;
    for (;;) {
        const QFileInfo info(p);
        if (info.exists() || info.isSymLink()) {
            const QString canonical = info.canonicalFilePath(); // empty for a dangling link
            if (canonical.isEmpty())
                return false;
            return isInside(canonical, canonicalFolder) || (p != path && canonical == canonicalFolder);
        }
        const QString parent = parentPath(p);
        if (parent.isEmpty() || parent == p)
            return false;
        p = parent;
    }
}

} // namespace

ArtworkTagItem::ArtworkTagItem(QObject *parent) : TagItem(parent) {}

ArtworkTagItem::ArtworkTagItem(const QImage &image, QObject *parent) : TagItem(parent), m_image(jpegOf(image)) {}

ArtworkTagItem::ArtworkTagItem(const CodedImage &image, QObject *parent) : TagItem(parent), m_image(image) {}

ArtworkTagItem::ArtworkTagItem(const CodedImage &image, int pictureType, const QString &description, QObject *parent)
    : TagItem(parent), pictureType(pictureType), description(description), m_image(image)
{
}

ArtworkTagItem::ArtworkTagItem(const QString &folder, const QString &linkedFile, int pictureType,
                               const QString &description, QObject *parent)
    : TagItem(parent), pictureType(pictureType), description(description), folder(folder), m_linkedFile(linkedFile)
{
    loadLinkedFile();
}

void ArtworkTagItem::loadLinkedFile()
{
    if (m_linkedFile.isEmpty())
        return;
    const QString path = confinedPath(folder, m_linkedFile);
    if (path.isEmpty()) {
        Logger::warning(LinkOutsideFolderWarning, {m_linkedFile, QDir::toNativeSeparators(folder)});
        return;
    }
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return; // a missing picture is an empty one
    // A link inside the folder may still lead out of it.
    if (!info.isFile() || !staysInside(path, folder)) {
        Logger::warning(LinkOutsideFolderWarning, {m_linkedFile, QDir::toNativeSeparators(folder)});
        return;
    }
    if (info.size() > MaxLinkedFileSize) {
        Logger::warning(LinkedFileTooLargeWarning, {QDir::toNativeSeparators(path), MaxLinkedFileSize});
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.read(MaxLinkedFileSize + 1);
    if (bytes.size() > MaxLinkedFileSize) { // grew since it was measured
        Logger::warning(LinkedFileTooLargeWarning, {QDir::toNativeSeparators(path), MaxLinkedFileSize});
        return;
    }
    m_image = CodedImage(bytes);
}

TagItem *ArtworkTagItem::clone(QObject *parent) const
{
    auto *item = new ArtworkTagItem(m_image, pictureType, description, parent);
    item->folder = folder;
    item->m_linkedFile = m_linkedFile;
    item->m_modified = m_modified;
    return item;
}

bool ArtworkTagItem::equals(const TagItem *other) const
{
    if (!other || other->type() != Type)
        return false;
    const auto *o = static_cast<const ArtworkTagItem *>(other);
    return o->m_image.data == m_image.data && o->pictureType == pictureType && o->description == description
        && o->m_linkedFile == m_linkedFile;
}

bool ArtworkTagItem::isEmpty() const
{
    return m_image.data.isEmpty();
}

bool ArtworkTagItem::isPlainValue() const
{
    return true;
}

QVariant ArtworkTagItem::toVariant() const
{
    return QVariant::fromValue(m_image);
}

bool ArtworkTagItem::fromVariant(const QVariant &value)
{
    const QMetaType type = value.metaType();
    if (type == QMetaType::fromType<CodedImage>()) {
        setImage(value.value<CodedImage>());
    } else if (type == QMetaType::fromType<QImage>()) {
        setImage(jpegOf(value.value<QImage>()));
    } else if (type == QMetaType::fromType<QPixmap>()) {
        setImage(jpegOf(value.value<QPixmap>().toImage()));
    } else if (type == QMetaType::fromType<QBitmap>()) {
        setImage(jpegOf(value.value<QBitmap>().toImage()));
    } else if (type == QMetaType::fromType<QIcon>()) {
        const QIcon icon = value.value<QIcon>();
        const QList<QSize> sizes = icon.availableSizes(QIcon::Normal, QIcon::Off);
        setImage(jpegOf(sizes.isEmpty() ? QImage() : icon.pixmap(sizes.last()).toImage()));
    } else {
        return false;
    }
    return true;
}

int ArtworkTagItem::type() const
{
    return Type;
}

int ArtworkTagItem::dataType() const
{
    return TagItemDataType::Image;
}

void ArtworkTagItem::setImage(const CodedImage &image)
{
    if (!m_modified && image.data != m_image.data)
        m_modified = true;
    m_image = image;
}

void ArtworkTagItem::setLinkedFile(const QString &path)
{
    if (!m_modified && path != m_linkedFile)
        m_modified = true;
    m_linkedFile = path;
}

const QStringList &ArtworkTagItem::imageFileFilters()
{
    static const QStringList filters = [] {
        QStringList result;
        for (const QString &name : supportedImageReaderFormats())
            result.append(QStringLiteral("*.") + name.toLower());
        return result;
    }();
    return filters;
}

QList<int> ArtworkTagItem::pictureTypeOrder()
{
    QList<int> order;
    for (int type = 3; type <= 20; ++type)
        order.append(type);
    order << 1 << 2 << 0;
    return order;
}

QList<ArtworkTagItem *> ArtworkTagItem::sortByPictureType(const QList<ArtworkTagItem *> &items)
{
    QList<ArtworkTagItem *> result;
    for (int type : pictureTypeOrder()) {
        for (ArtworkTagItem *item : items) {
            if (item->pictureType == type)
                result.append(item);
        }
    }
    return result;
}

QString ArtworkTagItem::pictureTypeName(int pictureType)
{
    static const quint32 ids[] = {2906874188u, 3660360939u, 520762353u,  3819638470u, 1849526465u, 2892154523u,
                                  763537700u,  1902507060u, 410886229u,  2711200343u, 149296564u,  481580977u,
                                  3750009794u, 2443041301u, 1370181807u, 847730671u,  746073902u,  25020027u,
                                  2292918041u, 3884348770u, 2268685750u};
    return pictureType >= 0 && pictureType <= 20 ? textForId(ids[pictureType]) : QString();
}

QString ArtworkTagItem::resolvePath(const QString &folder, const QString &file)
{
    if (isAbsolutePath(file))
        return file;
    if (folder.isEmpty())
        return QString();
    return QDir::cleanPath(withoutTrailingSlash(withTrailingSlash(baseFolder(folder)) + file));
}

QString ArtworkTagItem::confinedPath(const QString &folder, const QString &file)
{
    if (file.isEmpty() || folder.isEmpty() || isAbsolutePath(file))
        return QString();
    const QString base = baseFolder(folder);
    const QString path = QDir::cleanPath(withTrailingSlash(base) + file);
    return isInside(path, base) ? path : QString();
}

void ArtworkTagItem::saveLinkedFile(const QString &targetFolder)
{
    if (m_linkedFile.isEmpty())
        return;
    const QString current = resolvePath(folder, m_linkedFile);
    const QString target = resolvePath(targetFolder, m_linkedFile);
    if (!m_modified && current == target && QFileInfo::exists(withoutTrailingSlash(target))
        && fileSize(target) == m_image.data.size())
        return;
    // The linked path may come from a file: never write outside the folder, nor through a
    // link that leads out of it.
    const QString confined = confinedPath(targetFolder, m_linkedFile);
    if (confined.isEmpty() || !staysInside(confined, targetFolder))
        throw Exception(SaveOutsideFolderError, {m_linkedFile, QDir::toNativeSeparators(targetFolder)});
    // Still modified until the picture is on disk; the write replaces the file only once
    // it is complete.
    writeFile(confined, m_image.data);
    m_modified = false;
}

QList<ArtworkTagItem *> ArtworkTagItem::folderArtwork(const QString &folder, QObject *parent)
{
    return folderArtwork(folder, listFiles(folder, QStringList(), QDir::NoFilter, QDir::NoSort, false, false),
                         parent);
}

QList<ArtworkTagItem *> ArtworkTagItem::folderArtwork(const QString &folder, const QStringList &names,
                                                      QObject *parent)
{
    // The same test as the "*.suffix" patterns of imageFileFilters, done here: QDir compiles
    // name patterns into regular expressions on every listing, which cost more than the
    // whole tag read of a small file when this runs once per file read.
    static const QSet<QString> imageSuffixes = [] {
        QSet<QString> result;
        for (const QString &filter : imageFileFilters())
            result.insert(filter.mid(2));
        return result;
    }();
    // Every entry of the folder is looked at: short suffixes are lower-cased on the stack.
    auto isImageName = [](const QString &name) {
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot < 0)
            return false;
        const qsizetype length = name.size() - dot - 1;
        char16_t lower[16];
        if (length > qsizetype(std::size(lower)))
            return imageSuffixes.contains(name.mid(dot + 1).toLower());
        for (qsizetype i = 0; i < length; ++i)
            lower[i] = name.at(dot + 1 + i).toLower().unicode();
        return imageSuffixes.contains(QString::fromRawData(reinterpret_cast<const QChar *>(lower), length));
    };
    QList<ArtworkTagItem *> items;
    for (const QString &name : names) {
        if (!isImageName(name))
            continue;
        // A folder named like a picture is no picture.
        if (!QFileInfo(withTrailingSlash(folder) + name).isFile())
            continue;
        int type = FrontCover;
        if (name.contains(QLatin1String("back"), Qt::CaseInsensitive)) {
            type = 4;
        } else if (name.contains(QLatin1String("albumart"), Qt::CaseInsensitive)
                   || name.contains(QLatin1String("cover"), Qt::CaseInsensitive)
                   || name.contains(QLatin1String("folder"), Qt::CaseInsensitive)
                   || name.contains(QLatin1String("front"), Qt::CaseInsensitive)) {
            type = FrontCover;
        } else {
            const QStringList words = splitWords(name, 63);
            if (words.contains(QLatin1String("cd"), Qt::CaseInsensitive)
                || words.contains(QLatin1String("disc"), Qt::CaseInsensitive))
                type = 6;
        }
        items.append(new ArtworkTagItem(folder, name, type, QString(), parent));
    }
    return sortByPictureType(items);
}
