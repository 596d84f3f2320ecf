#pragma once

#include <QList>
#include <QPointer>
#include <QTimer>

#include "libcore/log/bufferedlogger.h"
#include "libgui/tables/exttablewidget.h"

enum LogViewTextId : quint32 {
    LogTableLevelTextId = 2346026242u,
    LogTableCodeTextId = 3522008769u,
    LogTableTimeTextId = 481601255u,
    LogTableMessageTextId = 934056928u,
    LogSummaryNothingTextId = 2692799980u,
    LogShowDetailsTextId = 3573053914u,
    LogHideDetailsTextId = 2256297176u,
    DidYouKnowTitleTextId = 1934453654u,
    DidYouKnowDontShowTextId = 2763372242u,
};

// A table of a logger's messages (level icon, code, time, text), newest first by default.
// It follows the logger 500 ms after the last of a burst of new messages.
class LogTableWidget : public ExtTableWidget
{
    Q_OBJECT
public:
    explicit LogTableWidget(BufferedLogger *logger, QWidget *parent = nullptr);

    void setMaximumRowCount(int count);
    void setLevelShown(LogLevel level, bool shown);
    void setSortOrder(Qt::SortOrder order);
    const QList<LogLevel> &levelsShown() const { return shownLevels; }

    QSize sizeHint() const override;

public Q_SLOTS:
    void refresh();

private Q_SLOTS:
    void onLoggerChanged();

private:
    QPointer<BufferedLogger> logger;
    int maximumRowCount = 250;
    QList<LogLevel> shownLevels = {Error, Warning};
    Qt::SortOrder sortOrder = Qt::DescendingOrder;
    QTimer refreshTimer{this}; // a child, so that tests can find it
    QSize cachedSizeHint = QSize(-1, -1);
};

// The row colours of warnings and errors; other levels keep the default background.
QBrush logLevelBackground(int level);
