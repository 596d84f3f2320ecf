#include "app/model/support_loading.h"

#include <QThread>

#include "libcore/log/bufferedlogger.h"
#include "libcore/progress/progressthread.h"

TestMainWindow::TestMainWindow()
{
    IAppMainWindow::setInstance(this);
}

TestMainWindow::~TestMainWindow()
{
    // The queue's operations refer to files of the store: they go first.
    queue.clear();
    IAppMainWindow::setInstance(nullptr);
}

void TestMainWindow::showLogMessages(BufferedLogger *logger)
{
    logsShown.append(logger->messages());
}

bool TestMainWindow::showHint(const QString &text)
{
    hints.append(text);
    return hintShowAgain;
}

QMessageBox::StandardButton TestMainWindow::askQuestion(const QString &text, QMessageBox::StandardButtons,
                                                        QMessageBox::StandardButton)
{
    questions.append(text);
    return answer;
}

void CancellingLogger::log(const LogMessage &message)
{
    if (message.code != m_code)
        return;
    if (auto *worker = qobject_cast<ProgressThread *>(QThread::currentThread())) {
        worker->progressObject()->cancel();
        ++cancels;
    }
}

QList<quint32> messageCodes(const QList<LogMessage> &messages)
{
    QList<quint32> codes;
    for (const LogMessage &message : messages)
        codes.append(message.code);
    return codes;
}

QList<LogMessage> shownWith(const TestMainWindow &window, quint32 code)
{
    for (const QList<LogMessage> &shown : window.logsShown) {
        if (messageCodes(shown).contains(code))
            return shown;
    }
    return {};
}
