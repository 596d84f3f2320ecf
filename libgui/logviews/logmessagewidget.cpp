#include "libgui/logviews/logmessagewidget.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/icons/icons.h"
#include "libgui/layout/layoututil.h"

LogMessageWidget::LogMessageWidget(BufferedLogger *logger, QWidget *parent)
    : QWidget(parent), logger(logger)
{
    setMinimumWidth(500);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *top = new QHBoxLayout();
    layout->addLayout(top);
    iconLabel = new QLabel(this);
    textLabel = new QLabel(this);
    top->addWidget(iconLabel);
    top->addWidget(textLabel, 1);
    textLabel->setWordWrap(true);
    textLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    textLabel->setContextMenuPolicy(Qt::NoContextMenu);
    connect(textLabel, &QLabel::linkActivated, this, &LogMessageWidget::onToggleShowTableLinkClicked);
    table = new LogTableWidget(logger, this);
    layout->addWidget(table);
    table->setMaximumRowCount(0);
    table->hide();
    updateMessage();
}

void LogMessageWidget::setTableShown(bool shown)
{
    table->setVisible(shown);
    updateGui();
}

bool LogMessageWidget::isTableShown() const
{
    return !table->isHidden();
}

void LogMessageWidget::setLevelShown(LogLevel level, bool shown)
{
    if (isLevelShown(level) == shown)
        return;
    table->setLevelShown(level, shown);
    updateMessage();
}

bool LogMessageWidget::isLevelShown(LogLevel level) const
{
    return table->levelsShown().contains(level);
}

int LogMessageWidget::summaryLevel() const
{
    return summaryMessage.level == NoLevel ? int(Info) : int(summaryMessage.level);
}

QString LogMessageWidget::summaryText() const
{
    if (summaryMessage.level == NoLevel)
        return upperCaseFirst(textForId(LogSummaryNothingTextId));
    return summaryMessage.text();
}

QString LogMessageWidget::messageHtml() const
{
    const QString summary = summaryText();
    QString link = textForId(isTableShown() ? LogHideDetailsTextId : LogShowDetailsTextId);
    if (link.isEmpty())
        link = isTableShown() ? QStringLiteral("Hide details") : QStringLiteral("Show details");
    else
        link = upperCaseFirst(link);
    return QStringLiteral("<p>%1 <a href='.'>%2</a></p>")
        .arg(Qt::mightBeRichText(summary) ? summary : summary.toHtmlEscaped(), link);
}

void LogMessageWidget::updateGui()
{
    iconLabel->setPixmap(standardMessageIcon(summaryLevel()).pixmap(32, 32));
    textLabel->setText(messageHtml());
}

void LogMessageWidget::updateMessage()
{
    summaryMessage = logger ? logger->lastMessageOfLevels(table->levelsShown()) : LogMessage();
    updateGui();
    table->refresh();
}

void LogMessageWidget::onToggleShowTableLinkClicked()
{
    table->setVisible(table->isHidden());
    updateGui();
    sendMouseMoveEvent(textLabel);
}
