#include "libgui/tables/exttablewidget.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "libcore/platform/platformidentity.h"

bool isEditKey(int key)
{
    if (platformId() == PlatformMac)
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    return key == Qt::Key_F2;
}

ExtTableWidget::ExtTableWidget(QWidget *parent) : QTableWidget(parent)
{
    setUp();
}

ExtTableWidget::ExtTableWidget(int rows, int columns, QWidget *parent)
    : QTableWidget(rows, columns, parent)
{
    setUp();
}

void ExtTableWidget::setUp()
{
    doubleClickPending = false;
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QHeaderView *header = horizontalHeader();
    header->setStretchLastSection(true);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QHeaderView *rows = verticalHeader();
    rows->hide();
    rows->setHighlightSections(false);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(rows->minimumSectionSize() + 4);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    viewport()->installEventFilter(this);
}

void ExtTableWidget::keyPressEvent(QKeyEvent *event)
{
    if (isEditKey(event->key())) {
        const QModelIndex index = currentIndex();
        if (index.isValid()) {
            Q_EMIT cellEditKeyPressed(index.row(), index.column());
            if (QTableWidgetItem *it = item(index.row(), index.column()))
                Q_EMIT itemEditKeyPressed(it);
        }
    }
    QTableWidget::keyPressEvent(event);
}

bool ExtTableWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == viewport()) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonRelease && doubleClickPending
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            const QModelIndex index = indexAt(static_cast<QMouseEvent *>(event)->position().toPoint());
            if (index.isValid()) {
                Q_EMIT cellDoubleClickReleased(index.row(), index.column());
                if (QTableWidgetItem *it = item(index.row(), index.column()))
                    Q_EMIT itemDoubleClickReleased(it);
            }
        }
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
            || type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove) {
            doubleClickPending = type == QEvent::MouseButtonDblClick
                                 && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
        }
    }
    return QTableWidget::eventFilter(watched, event);
}
