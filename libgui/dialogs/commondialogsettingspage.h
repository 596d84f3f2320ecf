#pragma once

#include <QList>

#include "libgui/dialogs/commondialogpage.h"

class SettingEditorWidget;

// The base of settings pages: setting editors in titled sections, built on the first show
// and loaded, stored or reset together. A page never shown has no editors, so it stores
// and resets nothing.
class CommonDialogSettingsPage : public CommonDialogLayoutPage
{
    Q_OBJECT
public:
    explicit CommonDialogSettingsPage(const QString &settingsPrefix, QWidget *parent = nullptr);

    bool isInitialized() override;
    void initialize() override;

    // Only inside setupGui: the editor is shown in a section and stored with the page.
    void addSettingEditor(SettingEditorWidget *editor, const QString &title, const QString &description);
    void loadEditors();
    void storeEditors();
    // Removes each editor's key from the user's settings and loads the default it then has.
    void restoreDefaults();

    bool initialized = false;
    const QString settingsPrefix;
    QList<SettingEditorWidget *> editors;

protected:
    virtual void setupGui() = 0;
};
