#pragma once

#include "libgui/settings/settingeditorwidget.h"

class ExtCheckBox;

// A check box stored as "true" or "false".
class BooleanSettingEditorWidget : public SettingEditorWidget
{
    Q_OBJECT
public:
    BooleanSettingEditorWidget(const QString &key, const QString &text, QWidget *parent = nullptr);

    bool isChecked() const;
    void load() override;
    void store() override;

    ExtCheckBox *checkBox;
};
