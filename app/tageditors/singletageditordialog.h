#pragma once

#include "libgui/dialogs/commondialog.h"

class AudioFileSelection;
class OperationQueue;
class TagEditorWidget;

// Edits one item type of the selected cells with the editor the registry offers; OK makes
// the edit one update in the undo queue (none when nothing changed).
class SingleTagEditorDialog : public CommonDialog
{
    Q_OBJECT
public:
    // Only for an item type and mode that TagEditorWidget::hasEditor allows.
    SingleTagEditorDialog(int itemType, int mode, const AudioFileSelection &selection, OperationQueue *queue,
                          QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    // For an editor the caller prepared; the dialog takes it over.
    SingleTagEditorDialog(TagEditorWidget *editor, OperationQueue *queue, QWidget *parent = nullptr,
                          Qt::WindowFlags flags = {});

    TagEditorWidget *tagEditor() const { return editor; }

public Q_SLOTS:
    void accept() override;

private:
    void setEditor(TagEditorWidget *editor);

    OperationQueue *queue = nullptr;
    TagEditorWidget *editor = nullptr;
};
