#pragma once

#include <QList>

#include "libcore/progress/progressobject.h"

// Weighted children combined into one progress. Cancellation spreads both ways: cancelling
// the combined object cancels every child, and a canceled child cancels the combined object
// and with it every other child. The combined object finishes by itself once all its
// children have finished. Only adopted children are owned (as QObject children).
class CombinedProgressObject : public ProgressObject
{
    Q_OBJECT
public:
    explicit CombinedProgressObject(QObject *parent = nullptr);

    double progress() const override;

    void addChild(ProgressObject *child, double weight, bool adopt);
    int childCount() const;
    ProgressObject *child(int index) const;

protected:
    void onFinish() override;
    void onCancel() override;

private Q_SLOTS:
    void onChildProgressUpdated();

private:
    struct Entry
    {
        ProgressObject *child;
        double weight;
    };
    // A copy of the list, taken under the lock.
    QList<Entry> children() const;

    QList<Entry> m_children;
};
