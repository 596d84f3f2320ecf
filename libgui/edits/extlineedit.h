#pragma once

#include <QLineEdit>

// The program's line edit: reports focus changes and mouse presses, and shows a grey
// italic hint (inactiveText) while it is empty and unfocused.
class ExtLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit ExtLineEdit(QWidget *parent = nullptr);
    ExtLineEdit(const QString &text, QWidget *parent = nullptr);

    void setInactiveText(const QString &text) { inactiveText = text; }

Q_SIGNALS:
    void focusReceived();
    void focusLost();
    void mousePressed();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

    QString inactiveText;

private:
    void setUp();
};
