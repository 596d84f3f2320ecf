#pragma once

#include <QThread>

#include <atomic>

#include "libcore/progress/combinedprogressobject.h"

// Base of the worker threads. run() adds one adopted child per stage to the root progress
// object, tests isCanceled() after every item or stage, and finishes the root at its end.
// When run() has returned, exactly one of completed(), canceled() or failed() is emitted in
// the thread that owns this object, after the progress updates run() caused.
class ProgressThread : public QThread
{
    Q_OBJECT
public:
    explicit ProgressThread(QObject *parent = nullptr);
    // Never terminates a running worker (it could hold a process-wide lock or be halfway
    // through rewriting a file): cancels it and waits for run() to return.
    ~ProgressThread() override;

    CombinedProgressObject *progressObject() { return &m_progress; }
    const CombinedProgressObject *progressObject() const { return &m_progress; }

    // Cancels the work and waits for run() to return, logging when it was still running.
    // Subclasses whose run() uses their own members call it from their destructor.
    void cancelAndWait();
    // Cancels the work and deletes this object once run() has returned, without blocking.
    void cancelAndDeleteLater();

Q_SIGNALS:
    void progressUpdated();
    void completed();
    void canceled();
    void failed();

private Q_SLOTS:
    void onFinished();

private:
    CombinedProgressObject m_progress;
    // Both are touched only in the owning thread, except the reset when a run starts.
    std::atomic<bool> m_outcomeEmitted = false;
    bool m_deleteWhenFinished = false;
};
