#include "app/shell/displayfilterdockwidget.h"

#include <functional>

#include "app/model/browsingnode.h"
#include "app/model/ibrowsable.h"
#include "app/shell/appmainwindow.h"
#include "app/shell/shelltextids.h"
#include "libgui/icons/icons.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/widgets/exttreewidget.h"

namespace {
QStringList itemPath(const QTreeWidgetItem *item)
{
    return item ? item->data(0, Qt::UserRole).toStringList() : QStringList();
}
} // namespace

DisplayFilterDockWidget::DisplayFilterDockWidget(QWidget *parent) : ExtDockWidget(parent)
{
    setWindowTitle(upperCaseFirst(textForId(DisplayFilterDockTitleTextId)));
    setMinimumSize(200, 50);
    setFeatures(DockWidgetClosable | DockWidgetMovable);
    static const QIcon titleIcon = loadIcon(QStringLiteral("folder"));
    icon = titleIcon;
    setObjectName(QString::fromLatin1(metaObject()->className()));
    tree = new ExtTreeWidget(this);
    setWidget(tree);
    tree->setIconSize(QSize(defaultIconSize(), defaultIconSize()));
    connect(tree, &QTreeWidget::currentItemChanged, this, &DisplayFilterDockWidget::onCurrentItemChanged);
}

void DisplayFilterDockWidget::addBrowsable(IBrowsable *browsable)
{
    m_browsables.append(browsable);
    QObject *object = browsable->browsableObject();
    connect(object, SIGNAL(dataChanged()), this, SLOT(updateTree()));
    connect(object, SIGNAL(pathChanged(QStringList)), this, SLOT(setPath(QStringList)));
}

void DisplayFilterDockWidget::setVisible(bool visible)
{
    ExtDockWidget::setVisible(visible);
    updateMainWindowActions();
}

void DisplayFilterDockWidget::onCurrentItemChanged()
{
    if (m_updating)
        return;
    const QStringList path = itemPath(tree->currentItem());
    if (path == m_currentPath)
        return;
    m_currentPath = path;
    for (IBrowsable *browsable : std::as_const(m_browsables))
        browsable->setPath(m_currentPath);
    Q_EMIT pathChanged(m_currentPath);
}

bool DisplayFilterDockWidget::setPath(const QStringList &path)
{
    if (path == m_currentPath)
        return true;
    if (path.isEmpty()) {
        tree->setCurrentItem(nullptr);
        m_currentPath.clear();
        return true;
    }
    QTreeWidgetItem *item = m_itemsByPath.value(path);
    if (!item)
        return false;
    tree->setCurrentItem(item);
    m_currentPath = path;
    return true;
}

void DisplayFilterDockWidget::updateTree()
{
    m_updating = true;
    QHash<QStringList, bool> expanded;
    const std::function<void(QTreeWidgetItem *)> saveExpansion = [&](QTreeWidgetItem *item) {
        expanded.insert(itemPath(item), item->isExpanded());
        for (int i = 0; i < item->childCount(); ++i)
            saveExpansion(item->child(i));
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        saveExpansion(tree->topLevelItem(i));

    setUpdatesEnabled(false);
    tree->clear();
    m_itemsByPath.clear();
    for (IBrowsable *browsable : std::as_const(m_browsables)) {
        for (BrowsingNode *node : browsable->rootNodes())
            addNode(tree->invisibleRootItem(), node);
    }
    // Nodes new since the last build stay expanded.
    const std::function<void(QTreeWidgetItem *)> restoreExpansion = [&](QTreeWidgetItem *item) {
        const auto found = expanded.constFind(itemPath(item));
        if (found == expanded.constEnd())
            return;
        item->setExpanded(found.value());
        for (int i = 0; i < item->childCount(); ++i)
            restoreExpansion(item->child(i));
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        restoreExpansion(tree->topLevelItem(i));

    const QStringList path = m_currentPath;
    setPath(QStringList());
    setPath(path);
    m_updating = false;
    setUpdatesEnabled(true);
}

void DisplayFilterDockWidget::addNode(QTreeWidgetItem *parent, BrowsingNode *node)
{
    auto *item = new QTreeWidgetItem(0);
    item->setText(0, node->displayText());
    item->setIcon(0, node->icon());
    const QStringList path = node->path();
    item->setData(0, Qt::UserRole, path);
    m_itemsByPath.insert(path, item);
    parent->addChild(item);
    item->setExpanded(true);
    for (BrowsingNode *child : node->children())
        addNode(item, child);
}
