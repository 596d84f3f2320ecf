#include "libgui/dialogs/commondialognavigationpage.h"

#include <QAction>
#include <QVBoxLayout>

#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/layout/layoututil.h"
#include "libgui/widgets/taskwidget.h"

CommonDialogNavigationPage::CommonDialogNavigationPage(QWidget *parent) : CommonDialogPage(parent) {}

bool CommonDialogNavigationPage::isInitialized()
{
    return taskWidget != nullptr;
}

void CommonDialogNavigationPage::initialize()
{
    if (taskWidget)
        return;
    taskWidget = new TaskWidget();
    setLayout(wrapInLayout(taskWidget));
    taskWidget->setTitle(upperCaseFirst(textForId(CommonDialogNavigationTitleTextId)));
    taskWidget->autoUpdate = false;
    for (CommonDialogPage *child : std::as_const(childPages)) {
        auto *action = new QAction(child->icon, child->title, taskWidget);
        taskWidget->addAction(action);
        connect(action, &QAction::triggered, this, &CommonDialogNavigationPage::onShowChildPage);
    }
    taskWidget->updateTasks();
}

void CommonDialogNavigationPage::onShowChildPage()
{
    auto *action = qobject_cast<QAction *>(sender());
    if (!action || !taskWidget)
        return;
    const int index = int(taskWidget->actions().indexOf(action));
    if (index >= 0 && index < childPages.size())
        Q_EMIT pageLinkActivated(childPages.at(index));
}
