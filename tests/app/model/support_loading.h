#pragma once

#include <QList>
#include <QStringList>

#include <atomic>

#include "app/shell/headlessmainwindow.h"
#include "libcore/log/logger.h"
#include "libcore/log/logmessage.h"

// The headless main window, also keeping the information boxes and hints it would show.
class TestMainWindow : public HeadlessMainWindow
{
public:
    TestMainWindow() { answer = QMessageBox::No; }

    bool hintShowAgain = true;
    QStringList informations;
    QStringList hints;

    void showInformation(const QString &text) override { informations.append(text); }
    bool showHint(const QString &text) override;
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
