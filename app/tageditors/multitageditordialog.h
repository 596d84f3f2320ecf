#pragma once

#include <QList>

#include "app/operations/audiofileselection.h"
#include "libgui/dialogs/treeviewdialog.h"

class MultiTagEditorWidget;
class OperationQueue;

enum MultiTagEditorDialogTextId : quint32 {
    EditTagsTitleTextId = 3271260662u,
};

// Edits all tags of the selected files: one page per item category, each built when first
// shown; OK makes every change one update in the undo queue.
class MultiTagEditorDialog : public TreeViewDialog
{
    Q_OBJECT
public:
    MultiTagEditorDialog(const AudioFileSelection &selection, OperationQueue *queue, QWidget *parent = nullptr,
                         Qt::WindowFlags flags = {});

    QSize sizeHint() const override;
    const QList<MultiTagEditorWidget *> &tagEditors() const { return multiTagEditors; }

public Q_SLOTS:
    void accept() override;

private:
    AudioFileSelection selection;
    OperationQueue *operationQueue = nullptr;
    QList<MultiTagEditorWidget *> multiTagEditors;
};
