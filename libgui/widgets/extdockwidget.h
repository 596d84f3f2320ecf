#pragma once

#include <QDockWidget>
#include <QIcon>
#include <QProxyStyle>

// Draws the title bar of an ExtDockWidget with the dock's icon before the title and a
// sunken frame around it.
class ExtDockWidgetStyle : public QProxyStyle
{
    Q_OBJECT
public:
    ExtDockWidgetStyle();
    void drawControl(QStyle::ControlElement element, const QStyleOption *option,
                     QPainter *painter, const QWidget *widget = nullptr) const override;
};

// The base of the main window's docks: a dock with an icon in its title bar.
class ExtDockWidget : public QDockWidget
{
    Q_OBJECT
public:
    explicit ExtDockWidget(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    QIcon icon;
};
