#pragma once

#include <QKeySequence>
#include <QObject>

class QKeyEvent;
class TagEditorWidget;

enum TagEditorWidgetEventFilterTextId : quint32 {
    UnknownEditorDeletedTextId = 150110117u,
};

// Knows the tag editor the user works in (the current editor). A mouse press, touch or focus
// change into another editor posts "finished" to the editor left and "started" to the new
// one. While the user types in the current editor, the edit-selection shortcut reaches the
// input instead of the command; Tab and Backtab typed in an in-place editor's input go to the
// editor widget, so the table's delegate moves to the next cell. One instance, installed on
// the application at start-up. GUI thread only.
class TagEditorWidgetEventFilter : public QObject
{
    Q_OBJECT
public:
    static TagEditorWidgetEventFilter *instance();
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled; }
    TagEditorWidget *currentTagEditor() const { return currentEditor; }
    // The edit-selection command's shortcut (F2 unless the command says otherwise).
    void setEditSelectionShortcut(const QKeySequence &shortcut) { editSelectionShortcut = shortcut; }

    static TagEditorWidget *findTagEditor(QWidget *widget);

    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void onCurrentEditorDeleted(QObject *object);

private:
    TagEditorWidgetEventFilter();
    bool trackCurrentEditor(QObject *watched, QEvent *event);
    bool forwardTabKey(QObject *watched, QKeyEvent *keyEvent);

    bool enabled = false;
    TagEditorWidget *currentEditor = nullptr;
    QKeySequence editSelectionShortcut{QKeyCombination(Qt::Key_F2)};
};
