#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>

#include "libcore/log/bufferedlogger.h"
#include "libgui/logviews/logtablewidget.h"

// A one-line summary of a logger (the icon and text of its newest relevant message) with a
// link that shows or hides the table of all its messages.
class LogMessageWidget : public QWidget
{
    Q_OBJECT
public:
    explicit LogMessageWidget(BufferedLogger *logger, QWidget *parent = nullptr);

    void setTableShown(bool shown);
    bool isTableShown() const;
    void setLevelShown(LogLevel level, bool shown);
    bool isLevelShown(LogLevel level) const;
    // The summary's level, NoLevel counted as Info.
    int summaryLevel() const;
    QString summaryText() const;
    QString messageHtml() const;
    void updateGui();

    LogTableWidget *table;
    QLabel *iconLabel;
    QLabel *textLabel;

public Q_SLOTS:
    void updateMessage();

private Q_SLOTS:
    void onToggleShowTableLinkClicked();

private:
    QPointer<BufferedLogger> logger;
    LogMessage summaryMessage;
};
