#pragma once

#include <QSpinBox>

// The program's spin box: the wheel changes it only while it has the focus, and its
// minimum may show as an empty field (an absent value).
class ExtSpinBox : public QSpinBox
{
    Q_OBJECT
public:
    explicit ExtSpinBox(QWidget *parent = nullptr);

    void setEmptyForMinimum(bool empty) { emptyForMinimum = empty; }
    // With an empty minimum: back to the minimum, so the field shows empty.
    void clearValue();

protected:
    void wheelEvent(QWheelEvent *event) override;
    QString textFromValue(int value) const override;
    QValidator::State validate(QString &text, int &pos) const override;
    int valueFromText(const QString &text) const override;

    bool emptyForMinimum = false;
};
