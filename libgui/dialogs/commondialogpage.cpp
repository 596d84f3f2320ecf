#include "libgui/dialogs/commondialogpage.h"

#include <QLabel>

#include "libgui/layout/layoututil.h"

CommonDialogPage::CommonDialogPage(QWidget *parent) : QWidget(parent) {}

ValidationResult CommonDialogPage::validate()
{
    return ValidationResult();
}

bool CommonDialogPage::isInitialized()
{
    return true;
}

void CommonDialogPage::initialize() {}

void CommonDialogPage::updatePage(CommonDialogPage::UpdateReason) {}

bool CommonDialogPage::usesOwnFrame()
{
    return false;
}

void CommonDialogPage::setTitle(const QString &newTitle)
{
    title = newTitle;
    Q_EMIT pageTitleChanged(title);
}

CommonDialogLayoutPage::CommonDialogLayoutPage(QWidget *parent)
    : CommonDialogPage(parent), pageLayout(new QVBoxLayout(this))
{
    pageLayout->setAlignment(Qt::AlignTop);
}

void CommonDialogLayoutPage::addSection(QWidget *widget, const QString &title,
                                        const QString &description)
{
    pageLayout->addSpacing(20);
    auto *section = new QVBoxLayout();
    pageLayout->addLayout(section);
    if (!title.isEmpty()) {
        auto *label = new QLabel(title, this);
        label->setStyleSheet(QStringLiteral("QLabel { font-size: 10pt; font-weight: bold; }"));
        section->addWidget(label);
    }
    if (!description.isEmpty()) {
        auto *label = new QLabel(description, this);
        label->setStyleSheet(QStringLiteral("QLabel { font-style: italic; }"));
        label->setWordWrap(true);
        label->setContextMenuPolicy(Qt::NoContextMenu);
        label->setContentsMargins(radioButtonIndent());
        connect(label, &QLabel::linkActivated, this,
                qOverload<const QString &>(&CommonDialogPage::pageLinkActivated));
        section->addWidget(label);
    }
    if (widget) {
        widget->setContentsMargins(radioButtonIndent());
        section->addWidget(widget);
    }
}
