#pragma once

#include "libgui/widgets/extdockwidget.h"

class ExtTableWidget;
class QAction;
class QStackedWidget;
class SearchHandler;
class TaskWidget;

// The state of the program's one find-and-replace query: the idle page without a query,
// the query page before a result list exists, and the result table with its commands.
class FindReplaceDockWidget : public ExtDockWidget
{
    Q_OBJECT
public:
    FindReplaceDockWidget(SearchHandler *searchHandler, QWidget *parent = nullptr);

    void setVisible(bool visible) override;

    // Shared by the tool bar and the query page; they outlive the dock.
    static QAction *findAllAction();
    static QAction *selectAllAction();
    static QAction *replaceAllAction();
    static QAction *removeMatchesAction();
    static QAction *stopAction();
    static QAction *refreshAction();

    SearchHandler *searchHandler;
    QStackedWidget *pageStack;
    ExtTableWidget *resultTable;
    TaskWidget *idlePage;
    TaskWidget *queryPage;

public Q_SLOTS:
    void updateGui();

private Q_SLOTS:
    void onFindAll();
    void onSelectAll();
    void onReplaceAll();
    void onRemoveMatches();
    void onStopFindReplace();
    void onRefreshResult();
    void onSelectionChanged();
    void onCellActivated(int row, int column);
    void onResultIndexChanged(int resultIndex);

private:
    void updateResultTable();
    void updateActions();
};
