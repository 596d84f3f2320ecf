#pragma once

#include <QWidget>

#include "libgui/numbers/extspinbox.h"

class QLabel;
class QSlider;

// A horizontal slider coupled to a spin box, with optional texts under its two ends.
class SliderSelector : public QWidget
{
    Q_OBJECT
public:
    explicit SliderSelector(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    void setLabels(const QString &left, const QString &right);
    int value() const;

    QSlider *slider;
    ExtSpinBox *spinBox;
    QLabel *leftLabel;
    QLabel *rightLabel;

public Q_SLOTS:
    void setValue(int value);
};
