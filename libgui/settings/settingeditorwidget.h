#pragma once

#include <QString>
#include <QWidget>

// A widget bound to one key of the settings store. It shows the key's value on load and
// writes the shown value back on store; it never writes the store by itself.
class SettingEditorWidget : public QWidget
{
    Q_OBJECT
public:
    explicit SettingEditorWidget(const QString &key, QWidget *parent = nullptr);

    const QString &key() const { return m_key; }

    virtual void load() = 0;
    virtual void store() = 0;

Q_SIGNALS:
    // The shown value changed, by the user or by load.
    void valueChanged();
    // A link in the editor asks for the settings page with this identifier.
    void pageLinkActivated(const QString &identifier);

private:
    const QString m_key;
};
