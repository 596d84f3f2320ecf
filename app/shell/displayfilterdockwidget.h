#pragma once

#include <QHash>
#include <QList>
#include <QStringList>

#include "libgui/widgets/extdockwidget.h"

class BrowsingNode;
class ExtTreeWidget;
class IBrowsable;
class QTreeWidgetItem;

// Narrows the file table to a node of the browse tree: the dock shows the sources' trees
// and keeps their browse path and its current node in step.
class DisplayFilterDockWidget : public ExtDockWidget
{
    Q_OBJECT
public:
    explicit DisplayFilterDockWidget(QWidget *parent = nullptr);

    void addBrowsable(IBrowsable *browsable);
    void setVisible(bool visible) override;
    QStringList currentPath() const { return m_currentPath; }

    ExtTreeWidget *tree;

Q_SIGNALS:
    void pathChanged(const QStringList &path);

public Q_SLOTS:
    bool setPath(const QStringList &path);
    void updateTree();

private Q_SLOTS:
    void onCurrentItemChanged();

private:
    void addNode(QTreeWidgetItem *parent, BrowsingNode *node);

    QList<IBrowsable *> m_browsables;
    QStringList m_currentPath;
    bool m_updating = false;
    QHash<QStringList, QTreeWidgetItem *> m_itemsByPath;
};
