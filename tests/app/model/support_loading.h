#pragma once

#include <QList>
#include <QStringList>

#include <atomic>

#include "app/model/audiofilemodel.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/audiofileproxymodel.h"
#include "app/operations/audiofileselection.h"
#include "app/operations/operationqueue.h"
#include "app/shell/iappmainwindow.h"
#include "libcore/log/logger.h"
#include "libcore/log/logmessage.h"

// The file table of the main window without a window: store, table model, proxy and undo
// queue; it registers itself while it lives and keeps what it would have shown.
class TestMainWindow : public IAppMainWindow
{
public:
    TestMainWindow();
    ~TestMainWindow() override;

    AudioFileModelData store;
    AudioFileModel table{&store};
    AudioFileProxyModel proxy{&table};
    OperationQueue queue;
    AudioFileSelection currentSelection{&proxy};
    QString settingsFile;

    QMessageBox::StandardButton answer = QMessageBox::No;
    bool hintShowAgain = true;
    QStringList questions;
    QStringList informations;
    QStringList hints;
    QList<QList<LogMessage>> logsShown;

    IAudioFileModel *model() const override { return const_cast<AudioFileProxyModel *>(&proxy); }
    AudioFileSelection *selection() const override { return const_cast<AudioFileSelection *>(&currentSelection); }
    OperationQueue *operationQueue() const override { return const_cast<OperationQueue *>(&queue); }
    QString settingsFilePath() const override { return settingsFile; }
    void showLogMessages(BufferedLogger *logger) override;
    void showInformation(const QString &text) override { informations.append(text); }
    bool showHint(const QString &text) override;
    QMessageBox::StandardButton askQuestion(const QString &text, QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) override;
};

// Cancels the worker thread that logs the given code, from inside that thread, as a user's
// Cancel would reach it while it works.
class CancellingLogger : public Logger
{
public:
    explicit CancellingLogger(quint32 code) : m_code(code) { setRegistered(true); }
    ~CancellingLogger() override { setRegistered(false); }
    void log(const LogMessage &message) override;
    std::atomic<int> cancels = 0;

private:
    quint32 m_code;
};

// The codes of the messages, in order.
QList<quint32> messageCodes(const QList<LogMessage> &messages);
// The first log shown that holds the code; empty when none does.
QList<LogMessage> shownWith(const TestMainWindow &window, quint32 code);
