#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "app/operations/audiofileselection.h"
#include "app/shell/iappmainwindow.h"
#include "libcore/log/logmessage.h"

class AudioFileModel;
class AudioFileModelData;
class AudioFileProxyModel;

// The main window's services without a window, for tests and tools: the store, the table
// model, the sorting proxy, the selection, the undo queue and the modified-cell tracker,
// wired as the main window wires them. Questions get the answer it was told; what would
// be shown in the log-message dialog is kept. Registers itself while it lives.
class HeadlessMainWindow : public QObject, public IAppMainWindow
{
    Q_OBJECT
public:
    explicit HeadlessMainWindow(QObject *parent = nullptr);
    ~HeadlessMainWindow() override;

    QString windowTitle;
    // The answer to every question; NoButton answers with the question's default button.
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    // The questions asked and the message lists that would have been shown, in order.
    QStringList questions;
    QList<QList<LogMessage>> shownMessages;
    // The texts of the information boxes that would have been shown, in order.
    QStringList informations;

    AudioFileModelData *store() const { return m_store; }
    AudioFileModel *tableModel() const { return m_tableModel; }
    AudioFileProxyModel *proxyModel() const { return m_proxy; }

    IAudioFileModel *model() const override;
    AudioFileSelection *selection() const override { return &m_selection; }
    int selectionFileCount() const override { return int(m_selection.dataTypesByFile().size()); }
    OperationQueue *operationQueue() const override { return m_queue; }
    ModifiedSelectionTracker *modifiedSelectionTracker() const override { return m_tracker; }
    SearchHandler *searchHandler() const override { return m_searchHandler; }
    // No table view of its own: tests give it one (over proxyModel()) that is never shown.
    QTableView *tableView() const override { return m_tableView; }
    void setTableView(QTableView *view) { m_tableView = view; }
    QString settingsFilePath() const override { return m_settingsFilePath; }
    void setSettingsFilePath(const QString &path) { m_settingsFilePath = path; }

    void showLogMessages(BufferedLogger *logger) override;
    QMessageBox::StandardButton askQuestion(const QString &text, QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) override;
    void showInformation(const QString &text) override { informations.append(text); }

private Q_SLOTS:
    void onOperationQueueChanged();
    void onModifiedSelectionChanged();
    void onQueryChanged();

private:
    AudioFileModelData *m_store = nullptr;
    AudioFileModel *m_tableModel = nullptr;
    AudioFileProxyModel *m_proxy = nullptr;
    mutable AudioFileSelection m_selection;
    OperationQueue *m_queue = nullptr;
    ModifiedSelectionTracker *m_tracker = nullptr;
    SearchHandler *m_searchHandler = nullptr;
    QTableView *m_tableView = nullptr;
    QString m_settingsFilePath;
};
