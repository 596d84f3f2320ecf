#include "libgui/widgets/exttreewidget.h"

#include <QHeaderView>

ExtTreeWidget::ExtTreeWidget(QWidget *parent) : QTreeWidget(parent)
{
    header()->hide();
    header()->setSectionsMovable(false);
    header()->setHighlightSections(false);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}
