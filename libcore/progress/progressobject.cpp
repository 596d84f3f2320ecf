#include "libcore/progress/progressobject.h"

namespace {

// Whether arg() would still find a placeholder ("%1", "%L1" ...) in the text.
bool hasPlaceholder(const QString &text)
{
    for (qsizetype i = text.indexOf(u'%'); i >= 0; i = text.indexOf(u'%', i + 1)) {
        qsizetype next = i + 1;
        if (next < text.size() && text.at(next) == u'L')
            ++next;
        if (next < text.size() && text.at(next).isDigit())
            return true;
    }
    return false;
}

} // namespace

ProgressObject::ProgressObject(QObject *parent) : QObject(parent) {}

// The state changes under the lock; the hook and the signals run after this call releases
// it. A combined object's hook finishes its children, and a child's update comes back up into
// its parent while the child holds its own lock: a worker finishing the root while holding
// the root's lock through the hook, as the GUI thread passed a child's update up the same
// tree, left both threads waiting for each other.
void ProgressObject::finish()
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_state != Idle && m_state != Running)
            return;
        m_state = Finished;
    }
    onFinish();
    Q_EMIT progressUpdated();
    Q_EMIT progressFinished();
}

void ProgressObject::cancel()
{
    {
        QMutexLocker lock(&m_mutex);
        if ((m_state != Idle && m_state != Running) || !m_cancelable)
            return;
        m_state = Canceled;
    }
    onCancel();
    Q_EMIT progressUpdated();
    Q_EMIT progressCanceled();
}

void ProgressObject::onFinish() {}

void ProgressObject::onCancel() {}

ProgressState ProgressObject::state() const
{
    QMutexLocker lock(&m_mutex);
    return m_state;
}

void ProgressObject::setState(ProgressState state)
{
    QMutexLocker lock(&m_mutex);
    m_state = state;
}

bool ProgressObject::isRunning() const
{
    return state() == Running;
}

bool ProgressObject::isFinished() const
{
    return state() == Finished;
}

bool ProgressObject::isCanceled() const
{
    return state() == Canceled;
}

bool ProgressObject::isCancelable() const
{
    QMutexLocker lock(&m_mutex);
    return m_cancelable;
}

void ProgressObject::setCancelable(bool cancelable)
{
    QMutexLocker lock(&m_mutex);
    if (m_cancelable == cancelable)
        return;
    m_cancelable = cancelable;
    Q_EMIT progressUpdated();
}

QString ProgressObject::statusText() const
{
    QMutexLocker lock(&m_mutex);
    // arg() fills the lowest-numbered remaining placeholder; an argument without one is
    // dropped here instead of making arg() complain.
    QString text = m_statusText;
    for (const QVariant &argument : m_statusArguments) {
        if (!hasPlaceholder(text))
            break;
        text = text.arg(argument.toString());
    }
    return text;
}

void ProgressObject::setStatusText(const QString &text)
{
    QMutexLocker lock(&m_mutex);
    if (m_statusText == text)
        return;
    m_statusText = text;
    Q_EMIT progressUpdated();
}

QVariantList ProgressObject::statusArguments() const
{
    QMutexLocker lock(&m_mutex);
    return m_statusArguments;
}

void ProgressObject::setStatusArguments(const QVariantList &arguments)
{
    QMutexLocker lock(&m_mutex);
    if (m_statusArguments == arguments)
        return;
    m_statusArguments = arguments;
    Q_EMIT progressUpdated();
}
