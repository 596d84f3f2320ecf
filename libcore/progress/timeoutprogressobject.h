#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include "libcore/progress/progressobject.h"

// Progress as elapsed time against a time-out. While running it emits progressUpdated()
// every 100 ms (from the event loop of the thread it belongs to) and, when asked to,
// finishes itself once the time-out has passed.
class TimeoutProgressObject : public ProgressObject
{
    Q_OBJECT
public:
    explicit TimeoutProgressObject(QObject *parent = nullptr);

    double progress() const override;

    void start(int timeout);
    int timeout() const;
    int elapsed() const;
    bool finishOnTimeout() const;
    void setFinishOnTimeout(bool finish);

protected:
    void onFinish() override;
    void onCancel() override;

private Q_SLOTS:
    void onProgressUpdated();

private:
    void stopTimers();
    void setTimerRunning(bool running);

    QTimer m_tick{this};
    QElapsedTimer m_clock;
    int m_timeout = -1;
    bool m_finishOnTimeout = false;
};
