#pragma once

#include <QHash>
#include <QStringList>

#include "libgui/widgets/exttreewidget.h"

// Paths below a root folder shown as a folder tree; single paths can be coloured to point
// out entries that need attention.
class FileSystemPreviewWidget : public ExtTreeWidget
{
    Q_OBJECT
public:
    explicit FileSystemPreviewWidget(QWidget *parent = nullptr);
    ~FileSystemPreviewWidget() override;

    // Paths relative to the root, '/' separators; the same input again does nothing.
    void setPaths(const QStringList &paths, const QString &root);
    void clear();
    // Colours the items of a path (its folders and its file); an unknown path changes nothing.
    void setPathColor(const QString &path, const QColor &color);
    static void clearItemColors(QTreeWidgetItem *item);

    QStringList paths() const { return m_paths; }
    QString root() const { return m_root; }

private:
    void rebuild();
    static void expandFolders(QTreeWidget *tree, QTreeWidgetItem *item);
    static QString keyOf(const QString &path);

    QStringList m_paths;
    QString m_root;
    QHash<QString, QList<QTreeWidgetItem *>> m_itemIndex;
};
