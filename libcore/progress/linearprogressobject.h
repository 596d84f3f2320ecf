#pragma once

#include "libcore/progress/progressobject.h"

// Progress as steps against a maximum. The value never decreases; the maximum is fixed once
// the object has started, and reaching a non-zero maximum finishes the object.
class LinearProgressObject : public ProgressObject
{
    Q_OBJECT
public:
    explicit LinearProgressObject(QObject *parent = nullptr);

    double progress() const override;

    int maximum() const;
    void setMaximum(int maximum);
    int value() const;
    void setValue(int value);
    void advance(int delta);

private:
    int m_value = 0;
    int m_maximum = 0;
};
