#include "libgui/ribbon/ribbonbar.h"

#include <QMenu>
#include <QPainter>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "libgui/layout/layoututil.h"
#include "libgui/ribbon/ribbonbutton.h"
#include "libgui/ribbon/ribbonpage.h"

RibbonBar::RibbonBar(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumHeight(tabBarHeight());
    setStyleSheet(QStringLiteral(".RibbonBar {background-color: $baseColor;}")
                      .replace(QStringLiteral("$baseColor"), baseColorName()));

    applicationButton = new QToolButton(this);
    applicationButton->setPopupMode(QToolButton::InstantPopup);
    applicationButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    applicationButton->setStyleSheet(QStringLiteral(
        "QToolButton {border: 1px solid #416abd;border-bottom: none;color: #ffffff;"
        "padding-left: 12px;padding-right: 26px;background: qlineargradient(x1: 0, y1: 0, "
        "x2: 0, y2: 1,stop: 0 #457CBC,stop: 0.5 #2B60AE,stop: 0.5 #1A4088,stop: 1 #419ACF);}"
        "QToolButton:hover {background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1,stop: 0 "
        "#457CBC,stop: 0.5 #2B60AE,stop: 0.5 #114EAF,stop: 1 #80E1FF);}"
        "QToolButton::menu-indicator {subcontrol-position: right center;width: 14px;right: 12px;}"));
    applicationButton->setMenu(new QMenu(applicationButton));

    quickAccessToolBar = new QToolBar(this);
    const int barHeight = tabBarHeight();
    const int iconSize = barHeight < 24 ? 16 : (barHeight < 32 ? 24 : 32);
    quickAccessToolBar->setIconSize(QSize(iconSize, iconSize));
    quickAccessToolBar->setStyleSheet(QStringLiteral(
        "QToolBar {border: none;background: transparent;padding: 0px;margin: 0px;spacing: 8px;}"));

    tabWidget = new QTabWidget();
    setLayout(wrapInLayout(tabWidget));
    connect(tabWidget, &QTabWidget::currentChanged, this, &RibbonBar::updateGui);
    applicationButton->raise();
    quickAccessToolBar->raise();
    updateGui();
}

QString RibbonBar::baseColorName() const
{
    return palette().color(QPalette::Base).name();
}

int RibbonBar::tabBarHeight() const
{
    return fontMetrics().height() + 12;
}

QMenu *RibbonBar::applicationMenu() const
{
    return applicationButton->menu();
}

QString RibbonBar::applicationButtonText() const
{
    return applicationButton->text();
}

void RibbonBar::setApplicationButtonText(const QString &text)
{
    if (text == applicationButton->text())
        return;
    applicationButton->setText(text);
    updateGui();
}

int RibbonBar::quickAccessActionCount() const
{
    return int(quickAccessToolBar->actions().size());
}

QAction *RibbonBar::quickAccessAction(int index) const
{
    const QList<QAction *> entries = quickAccessToolBar->actions();
    if (index < 0 || index >= entries.size())
        return nullptr;
    auto *button = qobject_cast<QToolButton *>(quickAccessToolBar->widgetForAction(entries.at(index)));
    return button ? button->defaultAction() : nullptr;
}

void RibbonBar::addQuickAccessAction(QAction *action)
{
    quickAccessToolBar->addWidget(new RibbonButton(action, 3));
    updateGui();
}

void RibbonBar::insertQuickAccessAction(int index, QAction *action)
{
    const QList<QAction *> entries = quickAccessToolBar->actions();
    if (index < 0 || index >= entries.size())
        quickAccessToolBar->addWidget(new RibbonButton(action, 3));
    else
        quickAccessToolBar->insertWidget(entries.at(index), new RibbonButton(action, 3));
    updateGui();
}

void RibbonBar::removeQuickAccessAction(int index)
{
    const QList<QAction *> entries = quickAccessToolBar->actions();
    if (index >= 0 && index < entries.size()) {
        QAction *entry = entries.at(index);
        QWidget *widget = quickAccessToolBar->widgetForAction(entry);
        quickAccessToolBar->removeAction(entry);
        delete widget;
    }
    updateGui();
}

int RibbonBar::pageCount() const
{
    return tabWidget->count();
}

RibbonPage *RibbonBar::page(int index) const
{
    return qobject_cast<RibbonPage *>(tabWidget->widget(index));
}

void RibbonBar::insertPage(int index, RibbonPage *page)
{
    tabWidget->insertTab(index, page, QStringLiteral(" %1 ").arg(page->title()));
}

void RibbonBar::removePage(int index)
{
    tabWidget->removeTab(index);
}

void RibbonBar::setPageHeightTolerance(int tolerance)
{
    pageHeightTolerance = tolerance;
    updateGui();
}

void RibbonBar::updateGui()
{
    if (QWidget *current = tabWidget->currentWidget()) {
        const int h0 = current->sizeHint().height();
        for (int i = 0; i < tabWidget->count(); ++i) {
            QWidget *w = tabWidget->widget(i);
            const bool counts = pageHeightTolerance == -1
                                || qAbs(w->sizeHint().height() - h0) <= pageHeightTolerance;
            w->setSizePolicy(QSizePolicy::Preferred, counts ? QSizePolicy::Preferred : QSizePolicy::Ignored);
        }
    }
    // The bar carries every button's action, so their shortcuts work on any page.
    const QList<QWidget *> descendants = findChildren<QWidget *>();
    for (QWidget *widget : descendants)
        addActions(widget->actions());

    const int barHeight = tabBarHeight();
    applicationButton->setGeometry(2, 0, qMax(applicationButton->sizeHint().width(), 100), barHeight);
    const int right = applicationButton->geometry().right();
    quickAccessToolBar->setGeometry(right + tabWidget->tabBar()->sizeHint().width() + 16, 0,
                                    quickAccessToolBar->sizeHint().width(), barHeight);

    QString sheet = QStringLiteral(
        "QTabBar::tab {border: 1px solid transparent;border-bottom: 1px solid #bac9db;"
        "border-top-left-radius: 3px;border-top-right-radius: 3px;padding-left: 12px;"
        "padding-right: 12px;margin-left: 3px;margin-right: 3px;height: $tabBarHeight;}"
        "QTabBar::tab:hover {border-color: #bac9db;}QTabBar::tab:selected {border-color: #bac9db;"
        "border-bottom-color: $baseColor;}QTabWidget::pane {border: 1px solid #bac9db;"
        "border-radius: 3px;top: -1px;}QTabWidget::tab-bar {left: $tabBarLeft;}");
    sheet.replace(QStringLiteral("$tabBarHeight"), QStringLiteral("%1px").arg(barHeight - 1));
    sheet.replace(QStringLiteral("$tabBarLeft"), QStringLiteral("%1px").arg(right + 4));
    sheet.replace(QStringLiteral("$baseColor"), baseColorName());
    // Setting an equal sheet would re-polish every page on each resize.
    if (tabWidget->styleSheet() != sheet)
        tabWidget->setStyleSheet(sheet);
}

void RibbonBar::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

void RibbonBar::resizeEvent(QResizeEvent *)
{
    updateGui();
}
