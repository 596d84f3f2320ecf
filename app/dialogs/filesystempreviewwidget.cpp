#include "app/dialogs/filesystempreviewwidget.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "libgui/icons/icons.h"
#include "libcore/image/codedimage.h"
#include "libcore/io/fileinfo.h"
#include "libcore/io/paths.h"
#include "libcore/text/textmatching.h"
#include "libgui/itemviews/colors.h"
#include "libtagging/model/filetype.h"

namespace {

QIcon fileIcon(const QString &name)
{
    static QSet<QString> audio;
    static QSet<QString> images;
    if (audio.isEmpty()) {
        for (const QString &suffix : FileType::allSuffixes())
            audio.insert(suffix.toLower());
        for (const QString &suffix : supportedImageReaderFormats())
            images.insert(suffix.toLower());
    }
    const QString suffix = QFileInfo(withoutTrailingSlash(name)).suffix().toLower();
    if (audio.contains(suffix))
        return loadIcon(QStringLiteral("audioFile"));
    if (images.contains(suffix))
        return loadIcon(QStringLiteral("image"));
    return loadIcon(QStringLiteral("file"));
}

} // namespace

FileSystemPreviewWidget::FileSystemPreviewWidget(QWidget *parent) : ExtTreeWidget(parent)
{
    setColumnCount(1);
}

FileSystemPreviewWidget::~FileSystemPreviewWidget() = default;

QString FileSystemPreviewWidget::keyOf(const QString &path)
{
    return isFileSystemCaseSensitive() == Qt::CaseSensitive ? path : path.toLower();
}

void FileSystemPreviewWidget::setPaths(const QStringList &paths, const QString &root)
{
    if (paths == m_paths && root == m_root)
        return;
    clear();
    m_paths = paths;
    m_root = root;
    rebuild();
}

void FileSystemPreviewWidget::clear()
{
    m_paths.clear();
    m_root.clear();
    m_itemIndex.clear();
    QTreeWidget::clear();
}

void FileSystemPreviewWidget::rebuild()
{
    const Qt::CaseSensitivity sensitivity = isFileSystemCaseSensitive();
    const QIcon folderIcon = loadIcon(QStringLiteral("folder"));
    QTreeWidgetItem *top = invisibleRootItem();
    if (!m_root.isEmpty()) {
        top = new QTreeWidgetItem(this, {QDir::toNativeSeparators(m_root)});
        top->setIcon(0, folderIcon);
    }
    // Children by key per folder item, so that wide folders are not searched row by row.
    QHash<QTreeWidgetItem *, QHash<QString, QTreeWidgetItem *>> children;
    for (const QString &path : std::as_const(m_paths)) {
        const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (parts.isEmpty())
            continue;
        QTreeWidgetItem *current = top;
        QString prefix;
        for (int i = 0; i + 1 < parts.size(); ++i) {
            const QString &name = parts.at(i);
            prefix = prefix.isEmpty() ? name : withTrailingSlash(prefix) + name;
            const QString nameKey = sensitivity == Qt::CaseSensitive ? name : name.toLower();
            QTreeWidgetItem *&child = children[current][nameKey];
            if (!child) {
                child = new QTreeWidgetItem(current, {name});
                child->setIcon(0, folderIcon);
            }
            current = child;
            m_itemIndex[keyOf(prefix)].append(current);
        }
        auto *leaf = new QTreeWidgetItem(current, {parts.last()});
        leaf->setIcon(0, fileIcon(parts.last()));
        m_itemIndex[keyOf(path)].append(leaf);
    }
    sortItems(0, Qt::AscendingOrder);
    if (m_paths.size() > 100)
        expandFolders(this, invisibleRootItem());
    else
        expandAll();
}

void FileSystemPreviewWidget::setPathColor(const QString &path, const QColor &color)
{
    const auto it = m_itemIndex.constFind(keyOf(path));
    if (it == m_itemIndex.constEnd())
        return;
    const QBrush background(color, Qt::SolidPattern);
    const QBrush foreground(contrastColor(color));
    for (QTreeWidgetItem *item : it.value()) {
        item->setData(0, Qt::BackgroundRole, background);
        item->setData(0, Qt::ForegroundRole, foreground);
    }
}

void FileSystemPreviewWidget::clearItemColors(QTreeWidgetItem *item)
{
    if (!item)
        return;
    item->setData(0, Qt::BackgroundRole, QVariant());
    item->setData(0, Qt::ForegroundRole, QVariant());
    for (int i = 0; i < item->childCount(); ++i)
        clearItemColors(item->child(i));
}

void FileSystemPreviewWidget::expandFolders(QTreeWidget *tree, QTreeWidgetItem *item)
{
    for (int i = 0; i < item->childCount(); ++i)
        expandFolders(tree, item->child(i));
    if (item->parent() && item->parent()->parent())
        tree->expandItem(item->parent()->parent());
}
