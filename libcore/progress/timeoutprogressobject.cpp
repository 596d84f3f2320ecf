#include "libcore/progress/timeoutprogressobject.h"

#include <QThread>

TimeoutProgressObject::TimeoutProgressObject(QObject *parent) : ProgressObject(parent)
{
    m_tick.setInterval(100);
    connect(&m_tick, &QTimer::timeout, this, &TimeoutProgressObject::onProgressUpdated);
}

double TimeoutProgressObject::progress() const
{
    QMutexLocker lock(&m_mutex);
    switch (state()) {
    case Running:
        if (m_timeout <= 0 || !m_clock.isValid())
            return 0.0;
        return qBound(0.0, double(m_clock.elapsed()) / double(m_timeout), 1.0);
    case Finished:
        return 1.0;
    default:
        return 0.0;
    }
}

void TimeoutProgressObject::start(int timeout)
{
    QMutexLocker lock(&m_mutex);
    if (state() != Idle)
        return;
    setState(Running);
    m_timeout = timeout;
    m_clock.start();
    setTimerRunning(true);
    Q_EMIT progressUpdated();
}

int TimeoutProgressObject::timeout() const
{
    QMutexLocker lock(&m_mutex);
    return m_timeout;
}

int TimeoutProgressObject::elapsed() const
{
    QMutexLocker lock(&m_mutex);
    if (state() != Running || !m_clock.isValid())
        return 0;
    return int(qMin<qint64>(m_clock.elapsed(), INT_MAX));
}

bool TimeoutProgressObject::finishOnTimeout() const
{
    QMutexLocker lock(&m_mutex);
    return m_finishOnTimeout;
}

void TimeoutProgressObject::setFinishOnTimeout(bool finish)
{
    QMutexLocker lock(&m_mutex);
    if (m_finishOnTimeout == finish)
        return;
    m_finishOnTimeout = finish;
    onProgressUpdated();
}

void TimeoutProgressObject::onFinish()
{
    stopTimers();
}

void TimeoutProgressObject::onCancel()
{
    stopTimers();
}

void TimeoutProgressObject::onProgressUpdated()
{
    QMutexLocker lock(&m_mutex);
    if (state() == Running && m_finishOnTimeout && m_clock.isValid() && m_timeout >= 0
        && m_clock.elapsed() > m_timeout) {
        finish();
    } else {
        Q_EMIT progressUpdated();
    }
}

void TimeoutProgressObject::stopTimers()
{
    QMutexLocker lock(&m_mutex);
    m_clock.invalidate();
    setTimerRunning(false);
}

// A timer may only be started and stopped in its own thread; calls from elsewhere (a worker
// starting the object, the GUI cancelling it) are queued to that thread.
void TimeoutProgressObject::setTimerRunning(bool running)
{
    if (m_tick.thread() == QThread::currentThread()) {
        if (running)
            m_tick.start();
        else
            m_tick.stop();
        return;
    }
    QMetaObject::invokeMethod(&m_tick, [this, running] {
        QMutexLocker lock(&m_mutex);
        // The state may have changed before the queued call arrived.
        if (running && state() == Running)
            m_tick.start();
        else if (!running)
            m_tick.stop();
    }, Qt::QueuedConnection);
}
