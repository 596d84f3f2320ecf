#include "libgui/logviews/logmessagedialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/icons/icons.h"
#include "libgui/layout/layoututil.h"

namespace {

int twoThirds(int length)
{
    return qRound(qRound(length * 2.0) / 3.0);
}

} // namespace

DetailsGeometry unfoldedDetailsGeometry(const QRect &available, const QSize &frameExtra,
                                        const QSize &contentHint, const QSize &currentSize)
{
    DetailsGeometry g;
    g.minimum = contentHint.boundedTo(QSize(twoThirds(available.width()), twoThirds(available.height())));
    g.maximum = QSize(available.width() - frameExtra.width() - 32,
                      available.height() - frameExtra.height() - 32);
    const QSize size = currentSize.expandedTo(g.minimum).boundedTo(g.maximum);
    const QSize frame = size + frameExtra;
    g.frameTopLeft = available.center() - QPoint(frame.width() / 2, frame.height() / 2);
    return g;
}

LogMessageDialog::LogMessageDialog(BufferedLogger *logger, QWidget *parent) : CommonDialog(parent)
{
    setWindowTitle(parent ? parent->window()->windowTitle() : QCoreApplication::applicationName());
    messageWidget = new LogMessageWidget(logger, this);
    if (logger && logger->lastMessage().level == Info)
        messageWidget->setLevelShown(Info, true);
    messageWidget->iconLabel->hide();
    messageWidget->textLabel->hide();
    messageWidget->layout()->setContentsMargins(0, 0, 0, 0);

    iconLabel = new QLabel(this);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    iconLabel->setPixmap(standardMessageIcon(messageWidget->summaryLevel()).pixmap(iconSize, iconSize));
    iconLabel->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    textLabel = new QLabel(this);
    textLabel->setWordWrap(true);
    textLabel->setTextFormat(Qt::RichText);
    textLabel->setOpenExternalLinks(false);
    textLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    textLabel->setContextMenuPolicy(Qt::NoContextMenu);
    textLabel->setText(messageWidget->messageHtml());
    connect(textLabel, &QLabel::linkActivated, this, &LogMessageDialog::onToggleShowTableLinkClicked);

    auto *content = new QGridLayout();
    content->addWidget(iconLabel, 0, 0, Qt::AlignTop);
    content->addWidget(textLabel, 0, 1);
    content->addWidget(messageWidget, 1, 0, 1, 2);
    content->setColumnStretch(1, 1);
    content->setRowStretch(1, 1);
    setContentLayout(content);
    cancelButton->hide();
}

void LogMessageDialog::showEvent(QShowEvent *event)
{
    CommonDialog::showEvent(event);
    if (firstGeometry.isNull())
        firstGeometry = geometry();
}

void LogMessageDialog::onToggleShowTableLinkClicked()
{
    messageWidget->setTableShown(!messageWidget->isTableShown());
    textLabel->setText(messageWidget->messageHtml());
    if (messageWidget->isTableShown()) {
        QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        const QSize frameExtra = frameGeometry().size() - geometry().size();
        const DetailsGeometry g =
            unfoldedDetailsGeometry(available, frameExtra, messageWidget->sizeHint(), size());
        setMinimumSize(g.minimum);
        setMaximumSize(g.maximum);
        move(g.frameTopLeft);
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        if (!firstGeometry.isNull())
            setGeometry(firstGeometry);
    }
    sendMouseMoveEvent(textLabel);
}

void showLogMessageDialog(BufferedLogger *logger, QWidget *parent)
{
    LogMessageDialog dialog(logger, parent);
    dialog.exec();
}

DidYouKnowDialog::DidYouKnowDialog(QWidget *parent, Qt::WindowFlags flags)
    : CommonDialog(parent, flags)
{
    static const QIcon icon = standardMessageIcon(Info);
    setWindowIcon(icon);
    setWindowTitle(upperCaseFirst(textForId(DidYouKnowTitleTextId)));
    setSizeFixed(true);
    cancelButton->hide();
    auto *layout = new QVBoxLayout();
    textLabel = new QLabel();
    textLabel->setWordWrap(true);
    // A wrapped label would otherwise settle for the narrowest width the fixed size allows.
    textLabel->setMinimumWidth(textLabel->fontMetrics().averageCharWidth() * 50);
    layout->addWidget(textLabel);
    layout->addSpacing(30);
    showAgainCheckBox = new QCheckBox(upperCaseFirst(textForId(DidYouKnowDontShowTextId)));
    layout->addWidget(showAgainCheckBox);
    setContentLayout(layout);
}

void DidYouKnowDialog::setText(const QString &text)
{
    textLabel->setText(text);
}

bool DidYouKnowDialog::showAgain() const
{
    return !showAgainCheckBox->isChecked();
}
