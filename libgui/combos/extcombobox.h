#pragma once

#include <QComboBox>
#include <QEvent>
#include <QModelIndex>

// The program's combo box: announces when its popup opens and closes (and whether an item
// was chosen from it), ignores the mouse wheel without focus, can open its popup without
// the slide animation, and lets items nested in a tree model become current.
class ExtComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit ExtComboBox(QWidget *parent = nullptr);

    bool event(QEvent *event) override;

Q_SIGNALS:
    void popupShown();
    void popupHidden(bool activated);

private Q_SLOTS:
    void onActivated();

public Q_SLOTS:
    void showPopup() override;
    void showPopupInstantly();
    void hidePopup() override;

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    static QEvent::Type hideNotificationType();

    bool hidePending = false;
    bool activatedWhileHiding = false;
};

// An editable combo box whose text must name one of its items: completed while typing,
// resolved to an item (or back to the current one) when the focus leaves it.
class ValidatedInputComboBox : public ExtComboBox
{
    Q_OBJECT
public:
    explicit ValidatedInputComboBox(QWidget *parent = nullptr);
    ~ValidatedInputComboBox() override;

    // The item the typed text denotes: -1 for an empty text, else the current item when its
    // text is exactly the typed one, else the first item named so (case-insensitive), else
    // the current item.
    int inputIndex() const;

private Q_SLOTS:
    void onFocusChanged(QWidget *old, QWidget *now);
};

// Items filled from the core's tables and Qt's locales, each with a code as Qt::UserRole data.
class ScriptComboBox : public ValidatedInputComboBox
{
    Q_OBJECT
public:
    explicit ScriptComboBox(QWidget *parent = nullptr);
};

class LanguageComboBox : public ValidatedInputComboBox
{
    Q_OBJECT
public:
    explicit LanguageComboBox(QWidget *parent = nullptr);
};

class CountryComboBox : public ValidatedInputComboBox
{
    Q_OBJECT
public:
    explicit CountryComboBox(QWidget *parent = nullptr);
};

class LocaleComboBox : public ValidatedInputComboBox
{
    Q_OBJECT
public:
    explicit LocaleComboBox(QWidget *parent = nullptr);
};

// The current item of any combo box as a model index, nested items of a tree included.
QModelIndex currentModelIndex(const QComboBox *combo);
void setCurrentModelIndex(QComboBox *combo, const QModelIndex &index);
