#pragma once

#include <QList>
#include <QMainWindow>
#include <QStringList>

#include "app/operations/audiofileselection.h"
#include "app/shell/audiofiletableview.h"
#include "app/shell/iappmainwindow.h"

class ActionTree;
class BufferedLogger;
class DisplayFilterDockWidget;
class FindReplaceDockWidget;
class LogDockWidget;
class MultiTagEditorDockWidget;
class QMenuBar;
class QToolBar;
class RibbonBar;
class TagEditorDockWidget;

// The program's one main window: it owns the file model chain, the selection, the undo
// queue and its companions, the file table, the docks and the command bars, and hands
// every change of the selection on to the parts that follow it. Created on first use and
// never destroyed.
class AppMainWindow : public QMainWindow, public IAppMainWindow
{
    Q_OBJECT
public:
    static constexpr int WindowStateVersion = 0;

    // The window; the first call creates and sets it up.
    static AppMainWindow *instance();
    // The window when it exists, else null; never creates it.
    static AppMainWindow *existingInstance();

    void setWindowTitleAndIcon();
    void updateStatusBar();

    // IAppMainWindow
    QWidget *dialogParent() const override { return const_cast<AppMainWindow *>(this); }
    IAudioFileModel *model() const override { return m_model; }
    AudioFileSelection *selection() const override { return &m_selection; }
    int selectionFileCount() const override { return int(m_selection.dataTypesByFile().size()); }
    OperationQueue *operationQueue() const override { return m_operationQueue; }
    ModifiedSelectionTracker *modifiedSelectionTracker() const override { return m_modifiedSelectionTracker; }
    SearchHandler *searchHandler() const override { return m_searchHandler; }
    AudioFileTableView *tableView() const override { return m_tableView; }
    QString settingsFilePath() const override;
    void setBusyCursor(bool busy) override;
    QMessageBox::StandardButton askQuestion(const QString &text, QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) override;

    BufferedLogger *logger() const { return m_logger; }
    ActionTree *actionTree() const { return m_actionTree; }
    RibbonBar *ribbonBar() const { return m_ribbonBar; }
    QMenuBar *classicMenuBar() const { return m_classicMenuBar; }
    QList<QToolBar *> toolBars() const { return m_toolBars; }
    MultiTagEditorDockWidget *multiTagEditorDock() const { return m_multiTagEditorDock; }
    DisplayFilterDockWidget *displayFilterDock() const { return m_displayFilterDock; }
    TagEditorDockWidget *artworkDock() const { return m_artworkDock; }
    FindReplaceDockWidget *findReplaceDock() const { return m_findReplaceDock; }
    LogDockWidget *logDock() const { return m_logDock; }

public Q_SLOTS:
    void onSelectionUpdated();
    void onDragAndDrop(const QStringList &paths);
    void onOperationQueueChanged();
    void onSearchQueryChanged();
    void onModifiedSelectionChanged();
    void onSettingsChanged();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    AppMainWindow();

    void setUp();
    void createModels();
    void createServices();
    void createGui();
    void createDocks();
    void createTableView();
    void createFindReplaceDialog();
    void createActionTree();
    void createCommandBars();
    void createMenuBar();
    void createToolBars();
    void createRibbon();
    void createStatusBar();
    void restoreWindowState();
    void releaseTagEditorItems();

    IAudioFileModel *m_model = nullptr;
    mutable AudioFileSelection m_selection;
    BufferedLogger *m_logger = nullptr;
    OperationQueue *m_operationQueue = nullptr;
    SearchHandler *m_searchHandler = nullptr;
    ModifiedSelectionTracker *m_modifiedSelectionTracker = nullptr;
    ActionTree *m_actionTree = nullptr;
    RibbonBar *m_ribbonBar = nullptr;
    QMenuBar *m_classicMenuBar = nullptr;
    QList<QToolBar *> m_toolBars;
    MultiTagEditorDockWidget *m_multiTagEditorDock = nullptr;
    DisplayFilterDockWidget *m_displayFilterDock = nullptr;
    TagEditorDockWidget *m_artworkDock = nullptr;
    FindReplaceDockWidget *m_findReplaceDock = nullptr;
    LogDockWidget *m_logDock = nullptr;
    AudioFileTableView *m_tableView = nullptr;
    int m_busyCursorDepth = 0;
};

// Refreshes the commands' states after a dock was shown or hidden; nothing before the
// main window exists.
void updateMainWindowActions();
