#include "app/model/browsingnode.h"

#include <algorithm>

BrowsingNode::BrowsingNode(const QString &name, const QString &displayText, const QIcon &icon, QObject *parent)
    : QObject(parent), m_name(name), m_displayText(displayText), m_icon(icon)
{
}

void BrowsingNode::addChild(BrowsingNode *child)
{
    if (!child || m_children.contains(child))
        return;
    m_children.append(child);
    m_childrenByName.insert(child->name(), child);
    child->setParent(this);
}

BrowsingNode *BrowsingNode::descendant(const QStringList &names) const
{
    const BrowsingNode *node = this;
    for (const QString &name : names) {
        node = node->m_childrenByName.value(name);
        if (!node)
            return nullptr;
    }
    return const_cast<BrowsingNode *>(node);
}

QStringList BrowsingNode::path() const
{
    QStringList result;
    if (const auto *parentNode = qobject_cast<const BrowsingNode *>(parent()))
        result = parentNode->path();
    result.append(m_name);
    return result;
}

void BrowsingNode::clearChildren()
{
    const QList<BrowsingNode *> children = m_children;
    m_children.clear();
    m_childrenByName.clear();
    qDeleteAll(children);
}

void BrowsingNode::sortChildren(bool recursive)
{
    std::stable_sort(m_children.begin(), m_children.end(), [](const BrowsingNode *a, const BrowsingNode *b) {
        return a->m_displayText.localeAwareCompare(b->m_displayText) < 0;
    });
    if (recursive) {
        for (BrowsingNode *child : std::as_const(m_children))
            child->sortChildren(true);
    }
}
