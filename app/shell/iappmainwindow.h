#pragma once

#include <QMessageBox>
#include <QString>

class AudioFileSelection;
class BufferedLogger;
class IAudioFileModel;
class ModifiedSelectionTracker;
class OperationQueue;
class QTableView;
class QWidget;
class SearchHandler;

// What the file model, the operations, the tag script, the web-service client and the
// identification engine need of the main window: its one file model, its current selection,
// the undo queue and its companions, the parent of dialogs and the questions put to the user.
// The main window implements it; tests and tools use a headless implementation. Exactly one
// is registered at a time.
class IAppMainWindow
{
public:
    virtual ~IAppMainWindow();

    // The registered main window, or null when none is (a tool that has no table, say).
    static IAppMainWindow *instance();
    // Registers `window` (null unregisters it); the caller keeps ownership.
    static void setInstance(IAppMainWindow *window);

    // The parent of dialogs and message boxes; their title is its window title. May be null.
    virtual QWidget *dialogParent() const { return nullptr; }
    // The sorting proxy's model interface of the table.
    virtual IAudioFileModel *model() const { return nullptr; }
    // The table's current selection.
    virtual AudioFileSelection *selection() const { return nullptr; }
    // How many distinct files the current selection holds.
    virtual int selectionFileCount() const { return 0; }
    virtual OperationQueue *operationQueue() const { return nullptr; }
    virtual ModifiedSelectionTracker *modifiedSelectionTracker() const { return nullptr; }
    virtual SearchHandler *searchHandler() const { return nullptr; }
    // The central table over the sorting proxy.
    virtual QTableView *tableView() const { return nullptr; }
    // The path of the user settings file.
    virtual QString settingsFilePath() const { return QString(); }

    // Shows the busy cursor while work runs in the GUI thread (nested calls count).
    virtual void setBusyCursor(bool busy) { Q_UNUSED(busy) }
    // Shows what a piece of work logged (the log-message dialog, modal); a headless
    // implementation keeps it instead.
    virtual void showLogMessages(BufferedLogger *logger);
    // Puts a question to the user and returns the button chosen; a headless implementation
    // answers as it was told to.
    virtual QMessageBox::StandardButton askQuestion(const QString &text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton) = 0;
};
