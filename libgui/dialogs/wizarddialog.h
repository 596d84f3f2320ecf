#pragma once

#include "libgui/dialogs/commondialog.h"

class BufferedLogger;
class CommonDialogErrorPage;
class CommonDialogProgressPage;

// A page-by-page dialog with Back and Next, OK only on the last page, and two pages of its
// own after the content pages: one that runs worker threads and one that shows what went
// wrong, read from a logger kept for the wizard's whole life. Derived wizards steer the
// flow through the page-order functions.
class WizardDialog : public CommonDialog
{
    Q_OBJECT
public:
    explicit WizardDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    virtual bool isFirstPage(CommonDialogPage *page);
    virtual bool isLastPage(CommonDialogPage *page);
    virtual bool isDeadEndPage(CommonDialogPage *page);
    virtual CommonDialogPage *previousPage(CommonDialogPage *page);
    virtual CommonDialogPage *nextPage(CommonDialogPage *page);

    QWidget *createPageWidget(CommonDialogPage *page) override;
    ValidationResult validate() override;
    // The content pages only.
    QList<CommonDialogPage *> pages() override;
    // The content pages in flow order; the progress and error pages follow by themselves.
    void setPages(const QList<CommonDialogPage *> &pages) override;
    QSize sizeHint() const override;

    BufferedLogger *logger;
    CommonDialogProgressPage *progressPage;
    CommonDialogErrorPage *errorPage;

public Q_SLOTS:
    void reject() override;

protected Q_SLOTS:
    void updateDialogButtons() override;

private Q_SLOTS:
    void onBackButtonClicked();
    void onNextButtonClicked();
};
