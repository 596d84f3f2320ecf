#pragma once

#include <QProxyStyle>
#include <QToolButton>

class QAction;

// The rich tool tip of a command: its text in bold with the shortcut in brackets, then its
// what's-this text indented below; empty parts are left out.
QString richCommandToolTip(const QAction *action);

// Keeps a pressed button's content where it is.
class RibbonButtonStyle : public QProxyStyle
{
    Q_OBJECT
public:
    RibbonButtonStyle();
    int pixelMetric(QStyle::PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
};

// A button of a ribbon group that shows its default action in one of four size modes:
// 0 large icon with the text under it, 1 large icon only, 2 small icon with the text beside
// it, 3 small icon only. Buttons without an icon always show their text (mode 2); icons
// without a 32-pixel image fall back to the small modes.
class RibbonButton : public QToolButton
{
    Q_OBJECT
public:
    RibbonButton(QAction *action, int sizeMode, QWidget *parent = nullptr);

    int sizeMode() const { return m_sizeMode; }
    int normalSizeMode() const { return m_normalSizeMode; }
    void setSizeMode(int mode);
    // The form of a collapsed group: mode 1 for a large button, mode 3 for the others.
    void compact();
    void restoreSizeMode();

protected:
    bool event(QEvent *event) override;
    void actionEvent(QActionEvent *event) override;

private:
    void updateText();

    int m_sizeMode = 3;
    int m_normalSizeMode = 3;
};
