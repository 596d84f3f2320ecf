#include "libgui/buttons/wordwrappedbutton.h"

#include <QAbstractButton>
#include <QResizeEvent>
#include <QStyle>

#include "libgui/layout/layoututil.h"

namespace {

QString withoutBreaks(QString text)
{
    text.remove(QLatin1Char(' '));
    text.remove(QLatin1Char('\n'));
    return text;
}

} // namespace

void WordWrappedButtonBase::setWordWrap(QAbstractButton *button, bool on)
{
    if (m_wordWrap == on)
        return;
    m_wordWrap = on;
    QSizePolicy policy = button->sizePolicy();
    if (on) {
        unwrappedText = button->text();
        policy.setHorizontalPolicy(QSizePolicy::Preferred);
    } else {
        button->setText(unwrappedText);
        policy.setHorizontalPolicy(QSizePolicy::Fixed);
    }
    button->setSizePolicy(policy);
    button->updateGeometry();
}

void WordWrappedButtonBase::updateText(QAbstractButton *button, QResizeEvent *event)
{
    if (!m_wordWrap)
        return;
    // A text set from outside replaces the one kept; a re-wrapped one does not.
    if (withoutBreaks(button->text()) != withoutBreaks(unwrappedText))
        unwrappedText = button->text();
    const int hint = button->sizeHint().width();
    const QFontMetrics metrics(button->font());
    const int textWidth = button->style()
                              ->itemTextRect(metrics, QRect(), Qt::TextShowMnemonic, false, button->text())
                              .width();
    const int available = event->size().width() - (hint - textWidth);
    button->setText(wrapText(unwrappedText, metrics, available));
}

ExtCheckBox::ExtCheckBox(const QString &text, QWidget *parent) : QCheckBox(text, parent) {}

QSize ExtCheckBox::minimumSizeHint() const
{
    return minimumButtonSizeHint(this);
}

void ExtCheckBox::resizeEvent(QResizeEvent *event)
{
    updateText(this, event);
}

ExtRadioButton::ExtRadioButton(const QString &text, QWidget *parent) : QRadioButton(text, parent) {}

QSize ExtRadioButton::minimumSizeHint() const
{
    return minimumButtonSizeHint(this);
}

void ExtRadioButton::resizeEvent(QResizeEvent *event)
{
    updateText(this, event);
}
