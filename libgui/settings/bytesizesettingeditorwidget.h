#pragma once

#include "libgui/settings/settingeditorwidget.h"

class ByteSizeEditor;

// A byte count stored as a decimal integer.
class ByteSizeSettingEditorWidget : public SettingEditorWidget
{
    Q_OBJECT
public:
    explicit ByteSizeSettingEditorWidget(const QString &key, QWidget *parent = nullptr);

    // Set by the page before the first load.
    void setRange(int minimumBytes, int maximumBytes);
    int value() const;
    void load() override;
    void store() override;

    ByteSizeEditor *editor;
};
