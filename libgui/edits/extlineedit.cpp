#include "libgui/edits/extlineedit.h"

#include <QGuiApplication>
#include <QPainter>

ExtLineEdit::ExtLineEdit(QWidget *parent) : QLineEdit(parent)
{
    setUp();
}

ExtLineEdit::ExtLineEdit(const QString &text, QWidget *parent) : QLineEdit(text, parent)
{
    setUp();
}

void ExtLineEdit::setUp()
{
    setAlignment((QGuiApplication::layoutDirection() == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft)
                 | Qt::AlignVCenter);
}

void ExtLineEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    Q_EMIT focusReceived();
}

void ExtLineEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    Q_EMIT focusLost();
}

void ExtLineEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    Q_EMIT mousePressed();
}

void ExtLineEdit::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (hasFocus() || !text().isEmpty() || inactiveText.isEmpty())
        return;
    QPainter painter(this);
    QFont font = painter.font();
    font.setItalic(true);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    const QRect area(QPoint(5, 0), QPoint(width() - 6, height() - 1));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, inactiveText);
}
