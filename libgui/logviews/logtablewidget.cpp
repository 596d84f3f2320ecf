#include "libgui/logviews/logtablewidget.h"

#include <QDateTime>
#include <QHeaderView>
#include <QScrollBar>

#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/icons/icons.h"
#include "libgui/layout/layoututil.h"

QBrush logLevelBackground(int level)
{
    switch (level) {
    case Warning:
        return QBrush(QColor(254, 243, 218));
    case Error:
        return QBrush(QColor(254, 231, 224));
    default:
        return QBrush();
    }
}

LogTableWidget::LogTableWidget(BufferedLogger *logger, QWidget *parent)
    : ExtTableWidget(parent), logger(logger)
{
    if (logger)
        connect(logger, &BufferedLogger::changed, this, &LogTableWidget::onLoggerChanged);
    refreshTimer.setSingleShot(true);
    refreshTimer.setInterval(500);
    connect(&refreshTimer, &QTimer::timeout, this, &LogTableWidget::refresh);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setColumnCount(4);
    setHorizontalHeaderLabels({upperCaseFirst(textForId(LogTableLevelTextId)),
                               upperCaseFirst(textForId(LogTableCodeTextId)),
                               upperCaseFirst(textForId(LogTableTimeTextId)),
                               upperCaseFirst(textForId(LogTableMessageTextId))});
    refresh();
}

void LogTableWidget::setMaximumRowCount(int count)
{
    if (count == maximumRowCount)
        return;
    maximumRowCount = count;
    refresh();
}

void LogTableWidget::setLevelShown(LogLevel level, bool shown)
{
    if (shownLevels.contains(level) == shown)
        return;
    if (shown)
        shownLevels.append(level);
    else
        shownLevels.removeAll(level);
    refresh();
}

void LogTableWidget::setSortOrder(Qt::SortOrder order)
{
    if (order == sortOrder)
        return;
    sortOrder = order;
    refresh();
}

QSize LogTableWidget::sizeHint() const
{
    return cachedSizeHint;
}

void LogTableWidget::onLoggerChanged()
{
    refreshTimer.start();
}

void LogTableWidget::refresh()
{
    const QList<LogMessage> messages = logger ? logger->messages() : QList<LogMessage>();
    int rows = 0;
    for (const LogMessage &message : messages) {
        if (maximumRowCount > 0 && rows >= maximumRowCount)
            break;
        if (shownLevels.contains(message.level))
            ++rows;
    }
    const int oldRows = rowCount();
    setRowCount(rows);
    for (int r = oldRows; r < rows; ++r) {
        for (int c = 0; c < 4; ++c)
            setItem(r, c, new QTableWidgetItem());
    }

    const bool descending = sortOrder == Qt::DescendingOrder;
    int filled = 0;
    for (auto it = messages.crbegin(); it != messages.crend() && filled < rows; ++it) {
        const LogMessage &message = *it;
        if (!shownLevels.contains(message.level))
            continue;
        const int row = descending ? filled : rows - 1 - filled;
        ++filled;
        item(row, 0)->setData(Qt::DecorationRole, standardMessageIcon(message.level));
        item(row, 1)->setText(QStringLiteral("%1").arg(message.code, 8, 16, QLatin1Char('0')));
        item(row, 2)->setText(QDateTime::fromMSecsSinceEpoch(message.time)
                                  .toLocalTime()
                                  .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss:zzz")));
        item(row, 3)->setText(message.text());
        const QBrush background = logLevelBackground(message.level);
        for (int c = 0; c < 4; ++c)
            item(row, c)->setBackground(background);
    }

    fitViewColumnsToContents(this);
    const QSize base = QAbstractScrollArea::sizeHint();
    cachedSizeHint = QSize(qMin(qMax(base.width(), horizontalHeader()->length() + 100), 1600),
                           qMin(qMax(base.height(), verticalHeader()->length() + 100), 1200));
    updateGeometry();
}
