#pragma once

#include "libgui/widgets/extdockwidget.h"

class AudioFileSelection;
class OperationQueue;
class TagEditorWidget;

// The editor of one item type for the table's selected files (the program uses it for the
// artwork); each finished edit is one update on the undo queue.
class TagEditorDockWidget : public ExtDockWidget
{
    Q_OBJECT
public:
    TagEditorDockWidget(int itemType, OperationQueue *operationQueue, QWidget *parent = nullptr);

    void setSelection(const AudioFileSelection &selection);
    void setVisible(bool visible) override;
    // Null when no editor exists for the item type.
    TagEditorWidget *editor() const { return m_editor; }

    OperationQueue *operationQueue;

private Q_SLOTS:
    void onEditingFinished(TagEditorWidget *editor);

private:
    TagEditorWidget *m_editor = nullptr;
};

// Commits a finished dock edit: one update over the editor's selection, none when nothing
// changed.
void applyDockEdit(TagEditorWidget *editor, OperationQueue *queue);
