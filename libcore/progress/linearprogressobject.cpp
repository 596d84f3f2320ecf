#include "libcore/progress/linearprogressobject.h"

#include <algorithm>
#include <climits>

LinearProgressObject::LinearProgressObject(QObject *parent) : ProgressObject(parent) {}

double LinearProgressObject::progress() const
{
    QMutexLocker lock(&m_mutex);
    switch (state()) {
    case Running:
        if (m_maximum <= 0)
            return 0.0;
        return qBound(0.0, double(m_value) / double(m_maximum), 1.0);
    case Finished:
        return 1.0;
    default:
        return 0.0;
    }
}

int LinearProgressObject::maximum() const
{
    QMutexLocker lock(&m_mutex);
    return m_maximum;
}

void LinearProgressObject::setMaximum(int maximum)
{
    QMutexLocker lock(&m_mutex);
    if (state() != Idle || m_maximum == maximum)
        return;
    m_maximum = maximum;
    Q_EMIT progressUpdated();
}

int LinearProgressObject::value() const
{
    QMutexLocker lock(&m_mutex);
    return m_value;
}

void LinearProgressObject::setValue(int value)
{
    QMutexLocker lock(&m_mutex);
    const int capped = qMin(value, m_maximum);
    if (m_value >= capped)
        return;
    const ProgressState before = state();
    if (before == Idle)
        setState(Running);
    m_value = capped;
    // A final object keeps its state, but its value still changed.
    if (m_maximum != 0 && value >= m_maximum && before != Finished && before != Canceled)
        finish();
    else
        Q_EMIT progressUpdated();
}

void LinearProgressObject::advance(int delta)
{
    QMutexLocker lock(&m_mutex);
    // Saturate instead of overflowing on a huge step.
    setValue(int(std::clamp<qint64>(qint64(m_value) + delta, INT_MIN, INT_MAX)));
}
