#pragma once

#include <QObject>
#include <QRecursiveMutex>
#include <QString>
#include <QVariantList>

enum ProgressState : int {
    Idle = 0,
    Running = 1,
    Finished = 2,
    Canceled = 3,
};

// The thread-safe progress of one task: a state, a status text with arguments, a cancelable
// flag and a fraction done. Every operation holds the object's recursive mutex for its whole
// run, hooks and signal emissions included, so a worker may step the object while another
// thread reads or cancels it. Finished and Canceled are final.
class ProgressObject : public QObject
{
    Q_OBJECT
public:
    explicit ProgressObject(QObject *parent = nullptr);

    virtual double progress() const = 0;

    bool isRunning() const;
    bool isFinished() const;
    bool isCanceled() const;

    bool isCancelable() const;
    void setCancelable(bool cancelable);

    QString statusText() const;
    void setStatusText(const QString &text);
    QVariantList statusArguments() const;
    void setStatusArguments(const QVariantList &arguments);

public Q_SLOTS:
    void finish();
    void cancel();

Q_SIGNALS:
    void progressUpdated();
    void progressFinished();
    void progressCanceled();

protected:
    virtual void onFinish();
    virtual void onCancel();

    ProgressState state() const;
    void setState(ProgressState state);

    mutable QRecursiveMutex m_mutex;

private:
    QString m_statusText;
    QVariantList m_statusArguments;
    ProgressState m_state = Idle;
    bool m_cancelable = true;
};
