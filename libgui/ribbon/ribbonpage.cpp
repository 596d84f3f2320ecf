#include "libgui/ribbon/ribbonpage.h"

#include <QHBoxLayout>
#include <QResizeEvent>

#include "libgui/ribbon/ribbongroup.h"

RibbonPage::RibbonPage(const QString &title, QWidget *parent) : QWidget(parent), m_title(title)
{
    rowLayout = new QHBoxLayout(this);
    rowLayout->setContentsMargins(3, 3, 3, 3);
    rowLayout->setSpacing(3);
    rowLayout->addStretch(0);
}

int RibbonPage::groupCount() const
{
    return rowLayout->count() - 1;
}

RibbonGroup *RibbonPage::group(int index) const
{
    if (index < 0 || index >= groupCount())
        return nullptr;
    return qobject_cast<RibbonGroup *>(rowLayout->itemAt(index)->widget());
}

void RibbonPage::addGroup(RibbonGroup *group)
{
    rowLayout->insertWidget(groupCount(), group, 0);
    updateMinimumWidth();
}

void RibbonPage::insertGroup(int index, RibbonGroup *group)
{
    if (index >= 0 && index < groupCount()) {
        rowLayout->insertWidget(index, group, 0);
        updateMinimumWidth();
    } else {
        addGroup(group);
    }
}

void RibbonPage::removeGroup(int index)
{
    if (index < 0 || index >= groupCount())
        return;
    RibbonGroup *removed = group(index);
    delete rowLayout->takeAt(index);
    collapsedGroups.removeAll(removed);
    updateMinimumWidth();
}

void RibbonPage::updateMinimumWidth()
{
    int width = sizeHint().width();
    for (int i = 0; i < groupCount(); ++i) {
        if (RibbonGroup *g = group(i))
            width += g->minimumWidth() - g->sizeHint().width();
    }
    setMinimumWidth(width);
}

void RibbonPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    int spare = event->size().width() - sizeHint().width();
    while (spare < 0) {
        RibbonGroup *narrowest = nullptr;
        for (int i = 0; i < groupCount(); ++i) {
            RibbonGroup *g = group(i);
            if (g && g->shrinkableWidth() > 0
                && (!narrowest || g->geometry().width() < narrowest->geometry().width()))
                narrowest = g;
        }
        if (!narrowest)
            return;
        spare += narrowest->shrinkableWidth();
        narrowest->collapse();
        collapsedGroups.append(narrowest);
    }
    while (spare > 0 && !collapsedGroups.isEmpty()) {
        RibbonGroup *last = collapsedGroups.last();
        if (last->expandableWidth() > spare)
            return;
        collapsedGroups.removeLast();
        spare -= last->expandableWidth();
        last->expand();
    }
}
