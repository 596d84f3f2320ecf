#include "libgui/dialogs/commondialogsettingspage.h"

#include "libcore/settings/settingsstore.h"
#include "libgui/settings/settingeditorwidget.h"

CommonDialogSettingsPage::CommonDialogSettingsPage(const QString &settingsPrefix, QWidget *parent)
    : CommonDialogLayoutPage(parent), settingsPrefix(settingsPrefix)
{
}

bool CommonDialogSettingsPage::isInitialized()
{
    return initialized;
}

void CommonDialogSettingsPage::initialize()
{
    if (isInitialized())
        return;
    initialized = true;
    setupGui();
    loadEditors();
}

void CommonDialogSettingsPage::addSettingEditor(SettingEditorWidget *editor, const QString &title,
                                                const QString &description)
{
    if (!isInitialized())
        return;
    addSection(editor, title, description);
    connect(editor, &SettingEditorWidget::pageLinkActivated, this,
            qOverload<const QString &>(&CommonDialogPage::pageLinkActivated));
    editors.append(editor);
}

void CommonDialogSettingsPage::loadEditors()
{
    for (SettingEditorWidget *editor : std::as_const(editors))
        editor->load();
}

void CommonDialogSettingsPage::storeEditors()
{
    for (SettingEditorWidget *editor : std::as_const(editors))
        editor->store();
}

void CommonDialogSettingsPage::restoreDefaults()
{
    for (SettingEditorWidget *editor : std::as_const(editors)) {
        SettingsStore::remove(editor->key());
        editor->load();
    }
}
