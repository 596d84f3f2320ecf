#include "libgui/ribbon/ribbonbutton.h"

#include <QAction>
#include <QActionEvent>
#include <QApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>

#include "libgui/layout/layoututil.h"
#include "libgui/ribbon/ribbonbar.h"

QString richCommandToolTip(const QAction *action)
{
    QString shortcut = action->shortcut().toString(QKeySequence::NativeText);
    if (!shortcut.isEmpty())
        shortcut = QStringLiteral(" (%1)").arg(shortcut);
    QString help = action->whatsThis();
    if (!help.isEmpty())
        help = QStringLiteral("<p style='margin-left:10px;'>%1</p>").arg(help);
    return QStringLiteral("<b>%1%2</b>%3").arg(action->text(), shortcut, help);
}

RibbonButtonStyle::RibbonButtonStyle() : QProxyStyle(nullptr) {}

int RibbonButtonStyle::pixelMetric(QStyle::PixelMetric metric, const QStyleOption *option,
                                   const QWidget *widget) const
{
    if (metric == PM_ButtonShiftHorizontal || metric == PM_ButtonShiftVertical)
        return 0;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

namespace {

const QString &buttonStyleSheetTemplate()
{
    static const QString sheet = QStringLiteral(
        "QToolButton {border: 1px solid transparent;padding: 2px;font-size: $toolButtonFontSize;"
        "$paddingProperty}QToolButton:hover {background-color: #e8eff7;border-color: #a4cef9;}"
        "QToolButton:pressed, QToolButton:checked {background-color: #c9e0f7;border-color: #62a2e4;}"
        "QToolButton:checked:hover {background-color: #aacef2;border-color: #3488dc;}"
        "QToolButton::menu-button {border: 1px solid transparent;subcontrol-position: "
        "$subcontrolPosition;position: absolute;$widthProperty$heightProperty}"
        "QToolButton::menu-button:hover {background-color: #e8eff7;border-color: #a4cef9;}"
        "QToolButton::menu-button:pressed {background-color: #c9e0f7;border-color: #62a2e4;}"
        "QToolButton::menu-indicator {subcontrol-position: $subcontrolPosition;}");
    return sheet;
}

bool hasLargeImage(const QIcon &icon)
{
    return icon.availableSizes(QIcon::Normal, QIcon::Off).contains(QSize(32, 32));
}

} // namespace

RibbonButton::RibbonButton(QAction *action, int sizeMode, QWidget *parent) : QToolButton(parent)
{
    setDefaultAction(action);
    // The button owns its style, which is deleted with it.
    auto *buttonStyle = new RibbonButtonStyle();
    buttonStyle->setParent(this);
    setStyle(buttonStyle);
    setSizeMode(3);
    refreshWidgetLayouts(this);
    setMinimumSize(sizeHint());
    setSizeMode(sizeMode);
}

void RibbonButton::setSizeMode(int mode)
{
    QAction *action = defaultAction();
    const QIcon icon = action ? action->icon() : QIcon();
    if (icon.isNull())
        mode = 2;
    else if (!hasLargeImage(icon))
        mode = mode == 0 ? 2 : (mode == 1 ? 3 : mode);
    mode = qBound(0, mode, 3);
    m_sizeMode = mode;
    m_normalSizeMode = mode;

    const bool large = mode <= 1;
    setIconSize(large ? QSize(32, 32) : QSize(16, 16));
    static const Qt::ToolButtonStyle styles[] = {Qt::ToolButtonTextUnderIcon, Qt::ToolButtonIconOnly,
                                                 Qt::ToolButtonTextBesideIcon, Qt::ToolButtonIconOnly};
    setToolButtonStyle(styles[mode]);
    updateText();

    const bool hasMenu = action && action->menu();
    QString padding, position, width, height;
    if (large) {
        if (hasMenu)
            padding = QStringLiteral("padding-bottom: 12px;");
        position = QStringLiteral("center bottom");
        height = QStringLiteral("height: 14px;");
    } else {
        if (hasMenu)
            padding = QStringLiteral("padding-right: 12px;");
        position = QStringLiteral("right center");
        width = QStringLiteral("width: 14px;");
    }
    QString sheet = buttonStyleSheetTemplate();
    sheet.replace(QStringLiteral("$toolButtonFontSize"),
                  QStringLiteral("%1pt;").arg(QApplication::font().pointSize() - 1));
    sheet.replace(QStringLiteral("$paddingProperty"), padding);
    sheet.replace(QStringLiteral("$subcontrolPosition"), position);
    sheet.replace(QStringLiteral("$widthProperty"), width);
    sheet.replace(QStringLiteral("$heightProperty"), height);
    setStyleSheet(sheet);
}

void RibbonButton::compact()
{
    const int normal = m_normalSizeMode;
    setSizeMode(normal == 0 ? 1 : 3);
    m_normalSizeMode = normal;
}

void RibbonButton::restoreSizeMode()
{
    setSizeMode(m_normalSizeMode);
}

void RibbonButton::updateText()
{
    QAction *action = defaultAction();
    if (!action)
        return;
    QString text = action->iconText();
    if (toolButtonStyle() != Qt::ToolButtonTextUnderIcon || isCheckable()) {
        setText(text);
        return;
    }
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const int iconWidth = iconSize().width();
    const QFontMetrics metrics = fontMetrics();
    // Wider and wider until the text takes at most two lines under the icon.
    int limit = iconWidth;
    QString wrapped = wrapText(text, metrics, limit);
    while (wrapped.count(QLatin1Char('\n')) >= 2 && iconWidth > 1) {
        limit += iconWidth / 2;
        wrapped = wrapText(text, metrics, limit);
    }
    setText(wrapped);
}

bool RibbonButton::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QToolButton::event(event);
    QWidget *bar = parentWidget();
    while (bar && !qobject_cast<RibbonBar *>(bar))
        bar = bar->parentWidget();
    const int x = mapToGlobal(rect().bottomLeft()).x();
    const int y = bar ? bar->mapToGlobal(QPoint(0, bar->height())).y()
                      : mapToGlobal(QPoint(0, height())).y();
    if (QAction *action = defaultAction())
        QToolTip::showText(QPoint(x - 2, y - 19), richCommandToolTip(action), nullptr);
    return true;
}

void RibbonButton::actionEvent(QActionEvent *event)
{
    QToolButton::actionEvent(event);
    if (event->type() == QEvent::ActionChanged && event->action() == defaultAction())
        updateText();
}
