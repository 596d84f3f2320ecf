#include "app/model/support_loading.h"

#include <QThread>

#include "libcore/log/bufferedlogger.h"
#include "libcore/progress/progressthread.h"

bool TestMainWindow::showHint(const QString &text)
{
    hints.append(text);
    return hintShowAgain;
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
    for (const QList<LogMessage> &shown : window.shownMessages) {
        if (messageCodes(shown).contains(code))
            return shown;
    }
    return {};
}
