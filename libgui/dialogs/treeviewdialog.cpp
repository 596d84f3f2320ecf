#include "libgui/dialogs/treeviewdialog.h"

#include <QScrollArea>
#include <QTabWidget>

#include "libcore/platform/platformidentity.h"
#include "libgui/icons/icons.h"
#include "libgui/progress/dialogsizehints.h"
#include "libgui/widgets/exttreewidget.h"

TreeViewDialog::TreeViewDialog(QWidget *parent, Qt::WindowFlags flags) : CommonDialog(parent, flags)
{
    treeWidget = new ExtTreeWidget();
    setSideWidget(treeWidget);
    treeWidget->setMinimumWidth(250);
    static const QSize iconSize(defaultIconSize(), defaultIconSize());
    treeWidget->setIconSize(iconSize);
    connect(treeWidget, &QTreeWidget::currentItemChanged, this, &TreeViewDialog::onCurrentItemChanged);
}

void TreeViewDialog::setTreeIconSize(const QSize &size)
{
    treeWidget->setIconSize(size);
}

QWidget *TreeViewDialog::createPageWidget(CommonDialogPage *page)
{
    if (page->usesOwnFrame())
        return page;
    static const bool mac = platformId() == PlatformMac;
    auto *tabs = new QTabWidget();
    tabs->setStyleSheet(QStringLiteral("QTabBar { font-size: 10pt; font-weight: bold; }"));
    if (!mac)
        tabs->setBackgroundRole(QPalette::Base);
    auto *area = new QScrollArea();
    area->setWidgetResizable(true);
    area->setFocusPolicy(Qt::NoFocus);
    area->setFrameStyle(0);
    area->setWidget(page);
    tabs->addTab(area, page->icon, page->title);
    return tabs;
}

void TreeViewDialog::showPage(CommonDialogPage *page, CommonDialogPage::UpdateReason reason)
{
    CommonDialog::showPage(page, reason);
    QTreeWidgetItem *item = nullptr;
    for (auto it = itemPages.constBegin(); it != itemPages.constEnd(); ++it) {
        if (it.value() == page) {
            item = it.key();
            break;
        }
    }
    treeWidget->setCurrentItem(item);
}

void TreeViewDialog::collectPages(const QList<CommonDialogPage *> &list, QList<CommonDialogPage *> &into)
{
    for (CommonDialogPage *page : list) {
        if (into.contains(page))
            continue;
        into.append(page);
        collectPages(page->childPages, into);
    }
}

ValidationResult TreeViewDialog::validate()
{
    ValidationResult result;
    CommonDialogPage *current = currentPage();
    QList<CommonDialogPage *> all;
    collectPages(pages(), all);
    for (CommonDialogPage *page : std::as_const(all)) {
        if (!page->isInitialized())
            continue;
        const ValidationResult pageResult = page->validate();
        result.valid = result.valid && pageResult.valid;
        for (const ValidationMessage &message : pageResult.messages) {
            if (page == current)
                result.messages.append(message);
            else if (message.level == Error)
                result.messages.append(
                    ValidationMessage(Error, QStringLiteral("%1: %2").arg(page->title, message.text)));
        }
    }
    return result;
}

void TreeViewDialog::setPages(const QList<CommonDialogPage *> &list)
{
    CommonDialog::setPages(list);
    {
        // Clearing the tree changes its current item; no page is shown for that.
        const QSignalBlocker blocker(treeWidget);
        treeWidget->clear();
        itemPages.clear();
    }
    for (CommonDialogPage *page : list)
        addPageItem(page, treeWidget->invisibleRootItem());
    treeWidget->expandAll();
    if (treeWidget->topLevelItemCount() > 0)
        treeWidget->setCurrentItem(treeWidget->topLevelItem(0));
}

void TreeViewDialog::addPageItem(CommonDialogPage *page, QTreeWidgetItem *parent)
{
    auto *item = new QTreeWidgetItem(parent, QStringList(page->title));
    if (!page->icon.isNull())
        item->setIcon(0, page->icon);
    itemPages.insert(item, page);
    for (CommonDialogPage *child : std::as_const(page->childPages))
        addPageItem(child, item);
}

void TreeViewDialog::onCurrentItemChanged()
{
    CommonDialogPage *page = itemPages.value(treeWidget->currentItem());
    if (page)
        setCurrentPage(page, CommonDialogPage::Direct);
}

QSize TreeViewDialog::sizeHint() const
{
    return largeDialogSizeHint();
}
