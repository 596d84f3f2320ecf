#include "libgui/widgets/extdockwidget.h"

#include <QPainter>
#include <QStyleOptionDockWidget>

#include "libcore/platform/platformidentity.h"

ExtDockWidgetStyle::ExtDockWidgetStyle() : QProxyStyle(nullptr) {}

void ExtDockWidgetStyle::drawControl(QStyle::ControlElement element, const QStyleOption *option,
                                     QPainter *painter, const QWidget *widget) const
{
    static const bool mac = platformId() == PlatformMac;
    const auto *dock = qobject_cast<const ExtDockWidget *>(widget);
    if (element != CE_DockWidgetTitle || !dock || mac) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const int margin = pixelMetric(PM_DockWidgetTitleMargin, option, widget);
    const QRect rect = option->rect;
    const bool rightToLeft = option->direction == Qt::RightToLeft;
    painter->save();
    int iconWidth = 0;
    if (!dock->icon.isNull()) {
        iconWidth = pixelMetric(PM_SmallIconSize, option, widget);
        const int x = rightToLeft ? rect.right() - margin - iconWidth : rect.left() + margin;
        const int y = (rect.top() + rect.bottom()) / 2 - iconWidth / 2 + 1;
        painter->drawPixmap(x, y, dock->icon.pixmap(iconWidth, iconWidth, QIcon::Normal, QIcon::Off));
    }
    painter->setPen(option->palette.color(QPalette::WindowText));
    const QRect textRect = rightToLeft
        ? QRect(QPoint(rect.left(), rect.top()), QPoint(rect.right() - 2 * margin - iconWidth, rect.bottom()))
        : QRect(QPoint(rect.left() + iconWidth + 2 * margin, rect.top()), QPoint(rect.right(), rect.bottom()));
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, dock->windowTitle());

    QStyleOptionFrame frame;
    frame.initFrom(dock);
    frame.rect = rect.adjusted(0, 0, 0, 1);
    frame.state |= State_Sunken;
    frame.lineWidth = 1;
    frame.frameShape = QFrame::StyledPanel;
    drawControl(CE_ShapedFrame, &frame, painter, widget);
    painter->restore();
}

ExtDockWidget::ExtDockWidget(QWidget *parent, Qt::WindowFlags flags) : QDockWidget(parent, flags)
{
    auto *dockStyle = new ExtDockWidgetStyle();
    dockStyle->setParent(this);
    setStyle(dockStyle);
}
