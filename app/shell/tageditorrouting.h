#pragma once

class AudioFileSelection;
class ModelUpdateOperation;
class OperationQueue;
class QObject;
class QWidget;

// The file table's and the docks' one way to the tag editors: which editors exist, making
// an in-place editor, loading and applying it, and running the tag dialogs. Modes: 0 in
// place, 1 single value, 3 multiple values, 4 dock.
namespace TagEditorRouting {
void installEventFilter();
bool hasEditor(int itemType, int mode);
bool isMultiValueItemType(int itemType);
// The in-place editor of the item type, or null; finishing and cancelling it reach the
// receiver's slots acceptSendingEditor() and cancelSendingEditor() queued.
QWidget *createInPlaceEditor(int itemType, QWidget *parent, QObject *receiver);
// Loads all items of the editor's type of the selected cells into the editor.
void setEditorSelection(QWidget *editor, const AudioFileSelection &cells);
bool isEditorModified(QWidget *editor);
void applyEditor(QWidget *editor, ModelUpdateOperation *operation);
// Modal dialogs; false when there is no editor for the request.
bool runSingleTagEditorDialog(int itemType, int mode, const AudioFileSelection &cells, OperationQueue *queue,
                              QWidget *parent);
bool runMultiTagEditorDialog(const AudioFileSelection &cells, OperationQueue *queue, QWidget *parent);
} // namespace TagEditorRouting
