#include "libgui/settings/booleansettingeditorwidget.h"

#include <QVBoxLayout>

#include "libcore/settings/settingsstore.h"
#include "libgui/buttons/wordwrappedbutton.h"
#include "libgui/layout/layoututil.h"

BooleanSettingEditorWidget::BooleanSettingEditorWidget(const QString &key, const QString &text,
                                                       QWidget *parent)
    : SettingEditorWidget(key, parent)
{
    checkBox = new ExtCheckBox(text);
    checkBox->setWordWrap(true);
    connect(checkBox, &QCheckBox::toggled, this, &SettingEditorWidget::valueChanged);
    setLayout(wrapInLayout(checkBox));
}

bool BooleanSettingEditorWidget::isChecked() const
{
    return checkBox->isChecked();
}

void BooleanSettingEditorWidget::load()
{
    checkBox->setChecked(SettingsStore::boolValue(key()));
}

void BooleanSettingEditorWidget::store()
{
    SettingsStore::setValue(key(), checkBox->isChecked() ? QStringLiteral("true") : QStringLiteral("false"));
}
