#include "libgui/numbers/extspinbox.h"

#include <QWheelEvent>

ExtSpinBox::ExtSpinBox(QWidget *parent) : QSpinBox(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void ExtSpinBox::clearValue()
{
    if (emptyForMinimum)
        setValue(minimum());
}

void ExtSpinBox::wheelEvent(QWheelEvent *event)
{
    if (hasFocus())
        QAbstractSpinBox::wheelEvent(event);
    else
        event->ignore();
}

QString ExtSpinBox::textFromValue(int value) const
{
    if (emptyForMinimum && value == minimum())
        return QString();
    return QSpinBox::textFromValue(value);
}

QValidator::State ExtSpinBox::validate(QString &text, int &pos) const
{
    if (emptyForMinimum && text.isEmpty())
        return QValidator::Acceptable;
    return QSpinBox::validate(text, pos);
}

int ExtSpinBox::valueFromText(const QString &text) const
{
    if (emptyForMinimum && text.isEmpty())
        return minimum();
    return QSpinBox::valueFromText(text);
}
