#pragma once

#include <QCheckBox>
#include <QRadioButton>
#include <QString>

class QAbstractButton;
class QResizeEvent;

// The second base of buttons whose text is broken into lines that fit the button's width,
// re-broken on every resize, so long option texts do not force a dialog wider.
class WordWrappedButtonBase
{
public:
    void setWordWrap(QAbstractButton *button, bool on);
    bool wordWrap() const { return m_wordWrap; }

protected:
    void updateText(QAbstractButton *button, QResizeEvent *event);

private:
    QString unwrappedText;
    bool m_wordWrap = false;
};

class ExtCheckBox : public QCheckBox, public WordWrappedButtonBase
{
    Q_OBJECT
public:
    explicit ExtCheckBox(const QString &text = QString(), QWidget *parent = nullptr);

    using WordWrappedButtonBase::setWordWrap;
    void setWordWrap(bool on) { WordWrappedButtonBase::setWordWrap(this, on); }
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
};

class ExtRadioButton : public QRadioButton, public WordWrappedButtonBase
{
    Q_OBJECT
public:
    explicit ExtRadioButton(const QString &text = QString(), QWidget *parent = nullptr);

    using WordWrappedButtonBase::setWordWrap;
    void setWordWrap(bool on) { WordWrappedButtonBase::setWordWrap(this, on); }
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
};
