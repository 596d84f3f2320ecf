#include "libgui/settings/localesettingeditorwidget.h"

#include <QVBoxLayout>

#include "libcore/settings/settingsstore.h"
#include "libgui/combos/extcombobox.h"
#include "libgui/layout/layoututil.h"

LocaleSettingEditorWidget::LocaleSettingEditorWidget(const QString &key, QWidget *parent)
    : SettingEditorWidget(key, parent)
{
    comboBox = new LocaleComboBox();
    connect(comboBox, &QComboBox::currentIndexChanged, this, &SettingEditorWidget::valueChanged);
    setLayout(wrapInLayout(comboBox));
}

QLocale LocaleSettingEditorWidget::locale() const
{
    const int index = comboBox->inputIndex();
    return QLocale(index < 0 ? QString() : comboBox->itemData(index, Qt::UserRole).toString());
}

void LocaleSettingEditorWidget::load()
{
    const QString name = QLocale(SettingsStore::value(key())).bcp47Name();
    comboBox->setCurrentIndex(comboBox->findData(name, Qt::UserRole));
}

void LocaleSettingEditorWidget::store()
{
    const QLocale chosen = locale();
    QLocale c(QLocale::C, QLocale::AnyTerritory);
    c.setNumberOptions(chosen.numberOptions());
    SettingsStore::setValue(key(), chosen == c ? QString() : chosen.bcp47Name());
}
