#pragma once

#include <QList>
#include <QStringList>

class BrowsingNode;
class QObject;

// A tree that a browse panel shows beside a list, with a selected path of node names.
// The two signals are Qt signals of the implementing class: connect to them on
// browsableObject().
class IBrowsable
{
public:
    virtual QObject *browsableObject() = 0;
    virtual QList<BrowsingNode *> rootNodes() const = 0;
    virtual QStringList path() const = 0;
    // False, with no effect, for a path that names no node.
    virtual bool setPath(const QStringList &path) = 0;

    // Signals: the tree was rebuilt; the selected path changed.
    virtual void dataChanged() = 0;
    virtual void pathChanged(const QStringList &path) = 0;

protected:
    ~IBrowsable() = default;
};
