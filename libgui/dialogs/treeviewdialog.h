#pragma once

#include <QMap>

#include "libgui/dialogs/commondialog.h"

class ExtTreeWidget;
class QTreeWidgetItem;

// A dialog of many pages chosen in a tree on the left. Every page that was opened takes
// part in validation; errors of pages other than the current one are listed with the
// page's title in front.
class TreeViewDialog : public CommonDialog
{
    Q_OBJECT
public:
    explicit TreeViewDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    void setTreeIconSize(const QSize &size);

    QWidget *createPageWidget(CommonDialogPage *page) override;
    void showPage(CommonDialogPage *page, CommonDialogPage::UpdateReason reason) override;
    ValidationResult validate() override;
    void setPages(const QList<CommonDialogPage *> &pages) override;
    QSize sizeHint() const override;

    ExtTreeWidget *treeWidget;
    QMap<QTreeWidgetItem *, CommonDialogPage *> itemPages;

private Q_SLOTS:
    void onCurrentItemChanged();

private:
    void addPageItem(CommonDialogPage *page, QTreeWidgetItem *parent);
    void collectPages(const QList<CommonDialogPage *> &pages, QList<CommonDialogPage *> &into);
};
