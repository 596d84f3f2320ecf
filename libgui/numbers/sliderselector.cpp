#include "libgui/numbers/sliderselector.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>

SliderSelector::SliderSelector(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    slider = new QSlider(Qt::Horizontal, this);
    layout->addWidget(slider, 0, 0, 1, 2);
    slider->setMinimumWidth(150);
    slider->setTickInterval(1);
    connect(slider, &QSlider::valueChanged, this, &SliderSelector::setValue);
    layout->setColumnMinimumWidth(2, 14);
    spinBox = new ExtSpinBox(this);
    layout->addWidget(spinBox, 0, 3);
    spinBox->setMaximumWidth(100);
    connect(spinBox, &QSpinBox::valueChanged, this, &SliderSelector::setValue);
    leftLabel = new QLabel(this);
    layout->addWidget(leftLabel, 1, 0, Qt::AlignLeft | Qt::AlignTop);
    leftLabel->hide();
    rightLabel = new QLabel(this);
    layout->addWidget(rightLabel, 1, 1, Qt::AlignRight | Qt::AlignTop);
    rightLabel->hide();
    setRange(0, 100);
    slider->setValue(0);
    spinBox->setValue(0);
}

void SliderSelector::setRange(int minimum, int maximum)
{
    slider->setRange(minimum, maximum);
    spinBox->setRange(minimum, maximum);
}

void SliderSelector::setLabels(const QString &left, const QString &right)
{
    leftLabel->setText(left);
    leftLabel->setVisible(!left.isEmpty());
    rightLabel->setText(right);
    rightLabel->setVisible(!right.isEmpty());
}

int SliderSelector::value() const
{
    return spinBox->value();
}

void SliderSelector::setValue(int value)
{
    slider->setValue(value);
    spinBox->setValue(value);
}
