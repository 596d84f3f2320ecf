#pragma once

#include "libgui/widgets/extdockwidget.h"

class AudioFileSelection;
class MultiTagEditorWidget;
class OperationQueue;
class TagEditorWidget;

// The editors of the general and detail item types for the table's selected files; each
// finished edit is one update on the undo queue.
class MultiTagEditorDockWidget : public ExtDockWidget
{
    Q_OBJECT
public:
    MultiTagEditorDockWidget(OperationQueue *operationQueue, QWidget *parent = nullptr);

    void setSelection(const AudioFileSelection &selection);
    void setVisible(bool visible) override;

    OperationQueue *operationQueue;
    MultiTagEditorWidget *editor;

private Q_SLOTS:
    void onEditingFinished(TagEditorWidget *editor);
};
