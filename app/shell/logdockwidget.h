#pragma once

#include "libgui/widgets/extdockwidget.h"

class BufferedLogger;
class LogTableWidget;
class QAction;
class QMainWindow;

// The run's log in a dock: which levels are shown, in which order, how many rows at most,
// and saving, copying and clearing the whole log.
class LogDockWidget : public ExtDockWidget
{
    Q_OBJECT
public:
    explicit LogDockWidget(BufferedLogger *logger, QWidget *parent = nullptr);

    void setVisible(bool visible) override;
    // The whole log, oldest first, one line per message, whatever the table shows.
    QString messagesText() const;

    QAction *errorsAction;
    QAction *warningsAction;
    QAction *infosAction;
    QAction *sortAscendingAction;
    QAction *sortDescendingAction;
    QAction *saveAction;
    QAction *copyAction;
    QAction *clearAction;
    QAction *rowCountLimitAction;
    BufferedLogger *logger;
    QMainWindow *innerWindow;
    LogTableWidget *logTable;
    // The table's row limit; 0 shows every message.
    int rowCountLimit = DefaultRowCountLimit;
    static constexpr int DefaultRowCountLimit = 250;

private Q_SLOTS:
    void refresh();
    void onSave();
    void onCopy();
    void onClear();
    void onSetRowCountLimit();
};
