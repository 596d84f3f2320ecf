#pragma once

#include <QColor>

#include "libgui/settings/settingeditorwidget.h"

class QLabel;
class QToolButton;

// A colour shown as a swatch with a button that opens the colour dialog; stored as
// '#' and six lower-case hexadecimal digits.
class ColorSettingEditorWidget : public SettingEditorWidget
{
    Q_OBJECT
public:
    explicit ColorSettingEditorWidget(const QString &key, QWidget *parent = nullptr);

    QColor color() const;
    void setColor(const QColor &color);
    void load() override;
    void store() override;

    QLabel *swatch;
    QToolButton *changeButton;

private Q_SLOTS:
    void onChangeColor();
};
