#include "libgui/actions/actiontree.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QVariant>

#include "libcore/platform/platformidentity.h"
#include "libgui/ribbon/ribbonbar.h"
#include "libgui/ribbon/ribbonbutton.h"
#include "libgui/ribbon/ribbongroup.h"
#include "libgui/ribbon/ribbonpage.h"

namespace {

bool isPlatformMac()
{
    static const bool mac = platformId() == PlatformMac;
    return mac;
}

// The "popupMode" property of the action, or -1 when it has none.
int popupModeOf(const QAction *action)
{
    const QVariant mode = action->property("popupMode");
    return mode.isValid() ? mode.toInt() : -1;
}

} // namespace

ActionTree::ActionTree(const QString &title, QObject *parent) : QObject(parent), title(title)
{
    init();
}

void ActionTree::init()
{
    inToolBar = false;
    applicationMenu = false;
}

void ActionTree::addAction(QAction *action, QObject *receiver, const char *slot)
{
    actions.append(action);
    if (receiver && slot)
        connect(action, SIGNAL(triggered()), receiver, slot);
}

void ActionTree::updateActions()
{
    for (ActionTree *child : std::as_const(childTrees))
        child->updateActions();
}

QAction *ActionTree::createAction(const QIcon &icon, const QString &text, const QString &whatsThis,
                                  const QKeySequence &shortcut, QObject *parent)
{
    auto *action = new QAction(icon, text, parent);
    action->setWhatsThis(whatsThis);
    action->setShortcut(shortcut);
    return action;
}

QAction *ActionTree::createCheckableAction(const QIcon &icon, const QString &text,
                                           const QString &whatsThis, const QKeySequence &shortcut,
                                           QObject *parent)
{
    QAction *action = createAction(icon, text, whatsThis, shortcut, parent);
    action->setCheckable(true);
    return action;
}

QAction *ActionTree::createRoleAction(QAction::MenuRole role, const QIcon &icon, const QString &text,
                                      const QString &whatsThis, const QKeySequence &shortcut,
                                      QObject *parent)
{
    QAction *action = createAction(icon, text, whatsThis, shortcut, parent);
    action->setMenuRole(role);
    return action;
}

QMenuBar *ActionTree::createMenuBar(QWidget *parent)
{
    auto *menuBar = new QMenuBar(parent);
    for (ActionTree *tree : std::as_const(childTrees)) {
        QMenu *menu = menuBar->addMenu(tree->title);
        const bool separators = !(isPlatformMac() && tree->applicationMenu);
        for (ActionTree *group : std::as_const(tree->childTrees)) {
            if (separators && !menu->actions().isEmpty())
                menu->addSeparator();
            for (QAction *action : std::as_const(group->actions)) {
                if (!tree->applicationMenu)
                    action->setMenuRole(QAction::NoRole);
                else if (action->menuRole() == QAction::NoRole
                         || action->menuRole() == QAction::TextHeuristicRole)
                    action->setMenuRole(QAction::ApplicationSpecificRole);
                menu->addAction(action);
            }
        }
    }
    return menuBar;
}

QList<QToolBar *> ActionTree::createToolBars(int iconSize, QWidget *parent)
{
    QList<QToolBar *> bars;
    for (ActionTree *tree : std::as_const(childTrees)) {
        if (tree->inToolBar)
            bars.append(tree->createToolBar(iconSize, parent));
    }
    return bars;
}

QToolBar *ActionTree::createToolBar(int iconSize, QWidget *parent)
{
    auto *bar = new QToolBar(title, parent);
    bar->setFloatable(false);
    bar->setIconSize(QSize(iconSize, iconSize));
    bar->setObjectName(QStringLiteral("%1Toolbar").arg(QLatin1String(metaObject()->className())));
    for (ActionTree *group : std::as_const(childTrees)) {
        if (!group->inToolBar)
            continue;
        if (!bar->actions().isEmpty())
            bar->addSeparator();
        for (QAction *action : std::as_const(group->actions)) {
            bar->addAction(action);
            const int popupMode = popupModeOf(action);
            if (popupMode >= 0) {
                if (auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action)))
                    button->setPopupMode(QToolButton::ToolButtonPopupMode(popupMode));
            }
            if (isPlatformMac())
                action->setToolTip(richCommandToolTip(action));
        }
    }
    return bar;
}

RibbonBar *ActionTree::createRibbonBar(QWidget *parent)
{
    auto *ribbon = new RibbonBar(parent);
    for (ActionTree *tree : std::as_const(childTrees)) {
        if (tree->applicationMenu) {
            ribbon->setApplicationButtonText(tree->title);
            QMenu *menu = ribbon->applicationMenu();
            for (ActionTree *group : std::as_const(tree->childTrees)) {
                if (!menu->actions().isEmpty())
                    menu->addSeparator();
                menu->addActions(group->actions);
            }
            continue;
        }
        auto *page = new RibbonPage(tree->title);
        ribbon->insertPage(ribbon->pageCount(), page);
        for (ActionTree *group : std::as_const(tree->childTrees)) {
            auto *ribbonGroup = new RibbonGroup(group->title);
            page->addGroup(ribbonGroup);
            for (QAction *action : std::as_const(group->actions)) {
                auto *button = new RibbonButton(action, 0);
                ribbonGroup->addButton(button);
                const int popupMode = popupModeOf(action);
                if (popupMode >= 0)
                    button->setPopupMode(QToolButton::ToolButtonPopupMode(popupMode));
            }
        }
        // The groups were added empty; the page's floor must count their buttons.
        page->updateMinimumWidth();
    }
    return ribbon;
}
