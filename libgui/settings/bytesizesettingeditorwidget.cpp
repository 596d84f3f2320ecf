#include "libgui/settings/bytesizesettingeditorwidget.h"

#include <QVBoxLayout>

#include "libcore/settings/settingsstore.h"
#include "libgui/layout/layoututil.h"
#include "libgui/numbers/bytesizeeditor.h"

ByteSizeSettingEditorWidget::ByteSizeSettingEditorWidget(const QString &key, QWidget *parent)
    : SettingEditorWidget(key, parent)
{
    editor = new ByteSizeEditor();
    connect(editor, &ByteSizeEditor::valueChanged, this, &SettingEditorWidget::valueChanged);
    setLayout(wrapInLayout(editor));
}

void ByteSizeSettingEditorWidget::setRange(int minimumBytes, int maximumBytes)
{
    editor->setRange(minimumBytes, maximumBytes);
}

int ByteSizeSettingEditorWidget::value() const
{
    return editor->value();
}

void ByteSizeSettingEditorWidget::load()
{
    // A text that is no number loads as 0, which the editor clamps into its range.
    editor->setValue(SettingsStore::value(key()).toInt(nullptr, 10));
}

void ByteSizeSettingEditorWidget::store()
{
    SettingsStore::setValue(key(), QString::number(editor->value(), 10));
}
