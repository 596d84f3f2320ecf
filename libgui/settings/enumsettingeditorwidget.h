#pragma once

#include <QIcon>
#include <QList>
#include <QVariant>

#include "libgui/settings/settingeditorwidget.h"

class ExtCheckBox;
class ExtRadioButton;
class QBoxLayout;
class QListWidget;
class QToolButton;

// A choice among options: one value (radio buttons), a set (check boxes) or an ordered set
// (a check list with up and down buttons). Sets are stored as ','-joined values in which
// '\' and ',' are escaped with a backslash.
class EnumSettingEditorWidget : public SettingEditorWidget
{
    Q_OBJECT
public:
    enum Style : int {
        RadioButtons = 0,
        CheckBoxes = 1,
        OrderedCheckList = 2,
    };

    EnumSettingEditorWidget(const QString &key, Style style, QWidget *parent = nullptr);

    void addOption(const QString &text, const QVariant &value);
    QList<QVariant> selectedValues() const;
    void setSelectedValues(const QList<QVariant> &values);

    // The key's values in this editor's stored form; numbers come back as ints.
    static QList<QVariant> settingValues(const QString &key, bool isList);
    static QList<QVariant> decodeValues(const QString &text, bool isList);
    static QString encodeValues(const QList<QVariant> &values);

    void load() override;
    void store() override;

    const Style style;
    QBoxLayout *boxLayout;
    QList<ExtRadioButton *> radioButtons;
    QList<ExtCheckBox *> checkBoxes;
    QListWidget *listWidget = nullptr;
    QIcon itemIcon;
    QToolButton *upButton = nullptr;
    QToolButton *downButton = nullptr;

private Q_SLOTS:
    void updateGui();
    void onUpButtonClicked();
    void onDownButtonClicked();

private:
    void moveCurrentRow(int offset);
};
