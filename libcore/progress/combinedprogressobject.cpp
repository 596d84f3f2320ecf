#include "libcore/progress/combinedprogressobject.h"

#include "libcore/util/threads.h"

CombinedProgressObject::CombinedProgressObject(QObject *parent) : ProgressObject(parent) {}

double CombinedProgressObject::progress() const
{
    QMutexLocker lock(&m_mutex);
    switch (state()) {
    case Running:
        break;
    case Finished:
        return 1.0;
    default:
        return 0.0;
    }
    if (m_children.isEmpty())
        return 0.0;
    if (m_children.size() == 1)
        return m_children.first().child->progress();
    double weights = 0.0;
    for (const Entry &entry : m_children)
        weights += entry.weight;
    if (weights == 0.0)
        return 0.0;
    double sum = 0.0;
    for (const Entry &entry : m_children)
        sum += entry.child->progress() * entry.weight;
    return qBound(0.0, sum / weights, 1.0);
}

void CombinedProgressObject::addChild(ProgressObject *child, double weight, bool adopt)
{
    QMutexLocker lock(&m_mutex);
    if (!child || state() != Idle)
        return;
    m_children.append({child, qMax(weight, 0.0)});
    if (adopt)
        setParentAcrossThreads(child, this);
    connect(child, &ProgressObject::progressUpdated, this,
            &CombinedProgressObject::onChildProgressUpdated);
    Q_EMIT progressUpdated();
}

int CombinedProgressObject::childCount() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_children.size());
}

ProgressObject *CombinedProgressObject::child(int index) const
{
    QMutexLocker lock(&m_mutex);
    if (index < 0 || index >= m_children.size())
        return nullptr;
    return m_children.at(index).child;
}

// The children are finished or cancelled without this object's lock held: a worker that
// finishes the root (every progress thread does at its end) must not wait for a child's lock
// while holding the root's, because the GUI thread passes a child's update up to the root
// holding the child's lock.
void CombinedProgressObject::onFinish()
{
    for (const Entry &entry : children())
        entry.child->finish();
}

void CombinedProgressObject::onCancel()
{
    for (const Entry &entry : children())
        entry.child->cancel();
}

QList<CombinedProgressObject::Entry> CombinedProgressObject::children() const
{
    QMutexLocker lock(&m_mutex);
    return m_children;
}

void CombinedProgressObject::onChildProgressUpdated()
{
    QMutexLocker lock(&m_mutex);
    bool allFinished = !m_children.isEmpty();
    bool anyCanceled = false;
    bool anyRunning = false;
    for (const Entry &entry : std::as_const(m_children)) {
        const bool finished = entry.child->isFinished();
        allFinished = allFinished && finished;
        anyCanceled = anyCanceled || entry.child->isCanceled();
        anyRunning = anyRunning || entry.child->isRunning();
    }
    if (allFinished) {
        finish();
    } else if (anyCanceled) {
        cancel();
    } else {
        if (anyRunning && state() == Idle)
            setState(Running);
        Q_EMIT progressUpdated();
    }
}
