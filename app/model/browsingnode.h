#pragma once

#include <QIcon>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

// A node of a browse tree. Children are QObject children of their node; a path is the list
// of node names from the root down.
class BrowsingNode : public QObject
{
    Q_OBJECT
public:
    BrowsingNode(const QString &name, const QString &displayText, const QIcon &icon, QObject *parent = nullptr);

    QString name() const { return m_name; }
    QString displayText() const { return m_displayText; }
    QIcon icon() const { return m_icon; }
    const QList<BrowsingNode *> &children() const { return m_children; }

    // Appends and re-parents the child; a child already here is ignored. A later child of
    // the same name takes over the name.
    void addChild(BrowsingNode *child);
    // The node reached by following the names from here; this node for no names.
    BrowsingNode *descendant(const QStringList &names) const;
    QStringList path() const;
    void clearChildren();
    // By display text, locale-aware; optionally all the way down.
    void sortChildren(bool recursive);

private:
    QString m_name;
    QString m_displayText;
    QIcon m_icon;
    QList<BrowsingNode *> m_children;
    QMap<QString, BrowsingNode *> m_childrenByName;
};
