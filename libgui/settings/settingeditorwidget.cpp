#include "libgui/settings/settingeditorwidget.h"

SettingEditorWidget::SettingEditorWidget(const QString &key, QWidget *parent)
    : QWidget(parent), m_key(key)
{
}
