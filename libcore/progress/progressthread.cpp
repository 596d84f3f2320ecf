#include "libcore/progress/progressthread.h"

#include "libcore/log/logger.h"
#include "libcore/text/stringutils.h"

namespace {
const quint32 DestroyedWhileRunning = 494847600u;
const quint32 StillRunningAfterCancel = 3702513846u;
// How long a canceled worker gets to notice before we say that we are still waiting for it.
const int CancelGracePeriodMsecs = 2000;
} // namespace

ProgressThread::ProgressThread(QObject *parent) : QThread(parent)
{
    connect(&m_progress, &ProgressObject::progressUpdated, this, &ProgressThread::progressUpdated);
    connect(this, &QThread::finished, this, &ProgressThread::onFinished);
    connect(this, &QThread::started, this, [this] { m_outcomeEmitted = false; },
            Qt::DirectConnection);
}

ProgressThread::~ProgressThread()
{
    cancelAndWait();
}

void ProgressThread::cancelAndWait()
{
    if (!isRunning())
        return;
    Logger::warning(DestroyedWhileRunning, {pointerToString(this)});
    m_progress.cancel();
    if (wait(QDeadlineTimer(CancelGracePeriodMsecs)))
        return;
    Logger::warning(StillRunningAfterCancel, {pointerToString(this)});
    wait();
}

void ProgressThread::cancelAndDeleteLater()
{
    m_progress.cancel();
    m_deleteWhenFinished = true;
    // After onFinished() the worker is only winding down; the destructor's wait is short.
    if (!isRunning() || m_outcomeEmitted)
        deleteLater();
}

void ProgressThread::onFinished()
{
    m_outcomeEmitted = true;
    if (m_progress.isFinished())
        Q_EMIT completed();
    else if (m_progress.isCanceled())
        Q_EMIT canceled();
    else
        Q_EMIT failed();
    if (m_deleteWhenFinished)
        deleteLater();
}
