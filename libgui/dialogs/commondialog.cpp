#include "libgui/dialogs/commondialog.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>

#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/icons/icons.h"
#include "libgui/layout/layoututil.h"

QString formatValidationMessage(const ValidationMessage &message)
{
    const int size = defaultIconSize();
    const QString text = Qt::mightBeRichText(message.text) ? message.text
                                                           : message.text.toHtmlEscaped();
    return QStringLiteral("<p><img src='%1'/> %2</p>")
        .arg(iconDataUrl(standardMessageIcon(message.level), size), 0, QLatin1Char(' '))
        .arg(text, 0, QLatin1Char(' '));
}

CommonDialog::CommonDialog(QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags & ~Qt::WindowContextHelpButtonHint)
{
    mainLayout = new QGridLayout(this);
    mainLayout->setHorizontalSpacing(0);
    pageStack = new QStackedLayout();
    mainLayout->addLayout(pageStack, 0, 1);
    auto *bottom = new QWidget(this);
    bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->setSpacing(14);
    mainLayout->addWidget(bottom, 1, 0, 1, 2);

    messageLabel = new QLabel(bottom);
    messageLabel->setTextFormat(Qt::RichText);
    messageLabel->setWordWrap(true);
    messageLabel->hide();
    messageLabel->setContextMenuPolicy(Qt::NoContextMenu);
    connect(messageLabel, &QLabel::linkActivated, this,
            qOverload<const QString &>(&CommonDialog::setCurrentPage));
    bottomLayout->addWidget(messageLabel);

    buttonLayout = new QHBoxLayout();
    bottomLayout->addLayout(buttonLayout);
    buttonLayout->addStretch();
    backButton = new QPushButton(
        QStringLiteral("< %1").arg(upperCaseFirst(textForId(CommonDialogBackTextId))), bottom);
    backButton->hide();
    nextButton = new QPushButton(
        QStringLiteral("%1 >").arg(upperCaseFirst(textForId(CommonDialogNextTextId))), bottom);
    nextButton->hide();
    okButton = new QPushButton(upperCaseFirst(textForId(CommonDialogOkTextId)), bottom);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    cancelButton = new QPushButton(upperCaseFirst(textForId(CommonDialogCancelTextId)), bottom);
    connect(cancelButton, &QPushButton::clicked, this, &CommonDialog::reject);
    buttonLayout->addWidget(backButton);
    buttonLayout->addWidget(nextButton);
    buttonLayout->addWidget(okButton);
    buttonLayout->addWidget(cancelButton);
}

void CommonDialog::updateDialogButtons()
{
    okButton->setEnabled(acceptEnabled);
    cancelButton->setEnabled(rejectEnabled);
}

QWidget *CommonDialog::createPageWidget(CommonDialogPage *page)
{
    return page;
}

void CommonDialog::showPage(CommonDialogPage *page, CommonDialogPage::UpdateReason reason)
{
    page->initialize();
    page->updatePage(reason);
    const int before = pageStack->currentIndex();
    const auto found = pageIndexes.constFind(page);
    if (found != pageIndexes.constEnd())
        pageStack->setCurrentIndex(*found);
    if (pageStack->currentIndex() != before)
        Q_EMIT currentPageChanged(currentPage());
    updateDialogGui();
}

ValidationResult CommonDialog::validate()
{
    ValidationResult result;
    for (CommonDialogPage *page : std::as_const(m_registered)) {
        if (page->isInitialized())
            result.append(page->validate());
    }
    return result;
}

QList<CommonDialogPage *> CommonDialog::pages()
{
    return topLevelPages;
}

void CommonDialog::setPages(const QList<CommonDialogPage *> &newPages)
{
    QList<QWidget *> dropped;
    for (CommonDialogPage *page : std::as_const(topLevelPages)) {
        const auto found = pageIndexes.constFind(page);
        if (!newPages.contains(page) && found != pageIndexes.constEnd())
            dropped.append(pageStack->widget(*found));
    }
    qDeleteAll(dropped);
    clearLayout(pageStack, false);
    pageIndexes.clear();
    m_registered.clear();
    topLevelPages = newPages;
    for (CommonDialogPage *page : newPages)
        registerPage(page);
}

void CommonDialog::registerPage(CommonDialogPage *page)
{
    const int index = pageStack->count();
    pageIndexes.insert(page, index);
    m_registered.removeAll(page);
    m_registered.append(page);
    pageStack->addWidget(createPageWidget(page));
    connect(page, qOverload<const QString &>(&CommonDialogPage::pageLinkActivated), this,
            qOverload<const QString &>(&CommonDialog::setCurrentPage), Qt::UniqueConnection);
    connect(page, qOverload<CommonDialogPage *>(&CommonDialogPage::pageLinkActivated), this,
            qOverload<CommonDialogPage *>(&CommonDialog::setCurrentPage), Qt::UniqueConnection);
    connect(page, &CommonDialogPage::updateDialogButtons, this, &CommonDialog::updateDialogButtons,
            Qt::UniqueConnection);
    connect(page, &CommonDialogPage::updateDialogGui, this, &CommonDialog::updateDialogGui,
            Qt::UniqueConnection);
    for (CommonDialogPage *child : std::as_const(page->childPages))
        registerPage(child);
}

CommonDialogPage *CommonDialog::currentPage() const
{
    const int index = pageStack->currentIndex();
    for (auto it = pageIndexes.constBegin(); it != pageIndexes.constEnd(); ++it) {
        if (it.value() == index)
            return it.key();
    }
    return nullptr;
}

void CommonDialog::setContentLayout(QLayout *layout)
{
    layout->setContentsMargins(0, 0, 0, 0);
    auto *page = new CommonDialogPage();
    page->setLayout(layout);
    setPages({page});
    pageStack->setCurrentIndex(pageStack->count() - 1);
}

void CommonDialog::setContentWidget(QWidget *widget)
{
    setContentLayout(wrapInLayout(widget));
}

void CommonDialog::showMessages(const QList<ValidationMessage> &messages)
{
    validationMessages = messages;
    QString html;
    for (int level : {int(Question), int(Error), int(Warning), int(Info)}) {
        for (const ValidationMessage &message : messages) {
            if (message.level == level)
                html += formatValidationMessage(message);
        }
    }
    messageLabel->setText(html);
    messageLabel->setVisible(!html.isEmpty());
    sendMouseMoveEvent(messageLabel);
}

void CommonDialog::updateDialogGui()
{
    const ValidationResult result = validate();
    showMessages(result.messages);
    acceptEnabled = result.valid;
    updateDialogButtons();
}

void CommonDialog::setAcceptEnabled(bool enabled)
{
    acceptEnabled = enabled;
    updateDialogButtons();
}

void CommonDialog::setRejectEnabled(bool enabled)
{
    rejectEnabled = enabled;
    updateDialogButtons();
}

void CommonDialog::insertButton(QWidget *button)
{
    buttonLayout->insertWidget(1, button);
}

void CommonDialog::insertButtonLayout(QLayout *layout)
{
    buttonLayout->insertLayout(1, layout);
}

void CommonDialog::addButton(QWidget *button)
{
    buttonLayout->addWidget(button);
}

void CommonDialog::setOuterMargins(bool outer)
{
    if (outer) {
        mainLayout->setContentsMargins(layoutMargins());
        bottomLayout->setContentsMargins(0, 0, 0, 0);
    } else {
        mainLayout->setContentsMargins(0, 0, 0, 0);
        bottomLayout->setContentsMargins(layoutMargins());
    }
}

void CommonDialog::setSizeFixed(bool fixed)
{
    mainLayout->setSizeConstraint(fixed ? QLayout::SetFixedSize : QLayout::SetDefaultConstraint);
}

QWidget *CommonDialog::sideWidget() const
{
    QLayoutItem *item = mainLayout->itemAtPosition(0, 0);
    return item ? item->widget() : nullptr;
}

void CommonDialog::setSideWidget(QWidget *widget)
{
    QWidget *previous = sideWidget();
    if (previous == widget)
        return;
    if (previous) {
        mainLayout->removeWidget(previous);
        delete previous;
    }
    if (widget) {
        mainLayout->addWidget(widget, 0, 0);
        mainLayout->setHorizontalSpacing(widget->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing));
        mainLayout->setColumnStretch(0, 1);
        mainLayout->setColumnStretch(1, 3);
    } else {
        mainLayout->setHorizontalSpacing(0);
        mainLayout->setColumnStretch(0, 0);
        mainLayout->setColumnStretch(1, 0);
    }
}

void CommonDialog::setVisible(bool visible)
{
    if (visible) {
        refreshWidgetLayouts(this);
        if (!testAttribute(Qt::WA_Resized)) {
            QScreen *screen = this->screen();
            if (!screen)
                screen = QGuiApplication::primaryScreen();
            const QSize screenSize = screen ? screen->geometry().size() : QSize(800, 600);
            resize(firstShowDialogSize(sizeHint(), screenSize));
        }
    }
    QDialog::setVisible(visible);
}

void CommonDialog::reject()
{
    if (rejectEnabled)
        QDialog::reject();
}

void CommonDialog::setCurrentPage(CommonDialogPage *page, CommonDialogPage::UpdateReason updateReason)
{
    showPage(page, updateReason);
}

void CommonDialog::setCurrentPage(CommonDialogPage *page)
{
    showPage(page, CommonDialogPage::Direct);
}

void CommonDialog::setCurrentPage(const QString &identifier, CommonDialogPage::UpdateReason updateReason)
{
    if (identifier.isEmpty())
        return;
    for (CommonDialogPage *page : std::as_const(m_registered)) {
        if (page->identifier == identifier) {
            showPage(page, updateReason);
            return;
        }
    }
}

void CommonDialog::setCurrentPage(const QString &identifier)
{
    setCurrentPage(identifier, CommonDialogPage::Direct);
}

void CommonDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        if (escapeMode == EscapeIgnored)
            return;
        if (escapeMode == EscapeAsks
            && QMessageBox::question(this, windowTitle(),
                                     upperCaseFirst(textForId(CommonDialogEscapeQuestionTextId)),
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
                   != QMessageBox::Yes)
            return;
    }
    QDialog::keyPressEvent(event);
}
