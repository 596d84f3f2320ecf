#include "libgui/dialogs/wizarddialog.h"

#include <QLabel>
#include <QVBoxLayout>

#include "libcore/log/bufferedlogger.h"
#include "libgui/dialogs/commondialogerrorpage.h"
#include "libgui/dialogs/commondialogprogresspage.h"
#include "libgui/progress/dialogsizehints.h"

WizardDialog::WizardDialog(QWidget *parent, Qt::WindowFlags flags) : CommonDialog(parent, flags)
{
    logger = new BufferedLogger(this);
    progressPage = new CommonDialogProgressPage();
    errorPage = new CommonDialogErrorPage(logger);
    setPages({});
    connect(backButton, &QPushButton::clicked, this, &WizardDialog::onBackButtonClicked);
    connect(nextButton, &QPushButton::clicked, this, &WizardDialog::onNextButtonClicked);
    okButton->setDefault(false);
    nextButton->setDefault(true);
}

bool WizardDialog::isFirstPage(CommonDialogPage *page)
{
    const QList<CommonDialogPage *> content = pages();
    return !content.isEmpty() && content.first() == page;
}

bool WizardDialog::isLastPage(CommonDialogPage *page)
{
    const QList<CommonDialogPage *> content = pages();
    return !content.isEmpty() && content.last() == page;
}

bool WizardDialog::isDeadEndPage(CommonDialogPage *)
{
    return false;
}

CommonDialogPage *WizardDialog::previousPage(CommonDialogPage *page)
{
    const QList<CommonDialogPage *> content = pages();
    const int index = int(content.indexOf(page));
    return index > 0 ? content.at(index - 1) : page;
}

CommonDialogPage *WizardDialog::nextPage(CommonDialogPage *page)
{
    const QList<CommonDialogPage *> content = pages();
    const int index = int(content.indexOf(page));
    return index >= 0 && index + 1 < content.size() ? content.at(index + 1) : page;
}

QWidget *WizardDialog::createPageWidget(CommonDialogPage *page)
{
    auto *wrapper = new QWidget();
    auto *layout = new QVBoxLayout(wrapper);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setAlignment(Qt::AlignTop);
    auto *heading = new QLabel(page->title);
    heading->setStyleSheet(QStringLiteral("QLabel { font-size: 14pt; font-weight: bold; }"));
    heading->setWordWrap(true);
    heading->setAlignment(Qt::AlignCenter);
    heading->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(page, &CommonDialogPage::pageTitleChanged, heading, &QLabel::setText);
    layout->addWidget(heading);
    layout->addSpacing(20);
    layout->addWidget(page);
    if (page->layout())
        page->layout()->setContentsMargins(0, 0, 0, 0);
    return wrapper;
}

ValidationResult WizardDialog::validate()
{
    CommonDialogPage *page = currentPage();
    return page ? page->validate() : ValidationResult();
}

QList<CommonDialogPage *> WizardDialog::pages()
{
    QList<CommonDialogPage *> content = CommonDialog::pages();
    content.removeAll(progressPage);
    content.removeAll(errorPage);
    return content;
}

void WizardDialog::setPages(const QList<CommonDialogPage *> &content)
{
    QList<CommonDialogPage *> all = content;
    all.removeAll(progressPage);
    all.removeAll(errorPage);
    all << progressPage << errorPage;
    CommonDialog::setPages(all);
}

QSize WizardDialog::sizeHint() const
{
    return wideDialogSizeHint();
}

void WizardDialog::updateDialogButtons()
{
    CommonDialogPage *page = currentPage();
    const bool onProgress = page == progressPage;
    const bool deadEnd = page == errorPage || isDeadEndPage(page);
    const bool last = isLastPage(page);
    backButton->setVisible(!isFirstPage(page) && !onProgress);
    nextButton->setVisible(!last && !onProgress);
    nextButton->setEnabled(acceptEnabled && !deadEnd);
    okButton->setVisible(last);
    okButton->setEnabled(acceptEnabled);
    cancelButton->setVisible(onProgress && rejectEnabled);

    QPushButton *chosen = nullptr;
    for (QPushButton *button : {okButton, nextButton, backButton, cancelButton}) {
        if (button->isVisible() && button->isEnabled()) {
            chosen = button;
            break;
        }
    }
    for (QPushButton *button : {okButton, nextButton, backButton, cancelButton})
        button->setDefault(button == chosen);
}

void WizardDialog::reject()
{
    if (currentPage() == progressPage && progressPage->cancel())
        return;
    CommonDialog::reject();
}

void WizardDialog::onBackButtonClicked()
{
    setCurrentPage(previousPage(currentPage()), CommonDialogPage::Backward);
}

void WizardDialog::onNextButtonClicked()
{
    setCurrentPage(nextPage(currentPage()), CommonDialogPage::Forward);
}
