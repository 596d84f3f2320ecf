#pragma once

#include <QLocale>

#include "libgui/settings/settingeditorwidget.h"

class LocaleComboBox;

// A locale stored as its BCP 47 name; the empty text stands for none.
class LocaleSettingEditorWidget : public SettingEditorWidget
{
    Q_OBJECT
public:
    explicit LocaleSettingEditorWidget(const QString &key, QWidget *parent = nullptr);

    // The chosen locale; the C locale when the text names none.
    QLocale locale() const;
    void load() override;
    void store() override;

    LocaleComboBox *comboBox;
};
