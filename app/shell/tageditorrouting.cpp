#include "app/shell/tageditorrouting.h"

#include <QtGlobal>

// The tag editors are not part of the program yet: no cell has an editor and no dialog opens.

namespace TagEditorRouting {

void installEventFilter()
{
}

bool hasEditor(int itemType, int mode)
{
    Q_UNUSED(itemType)
    Q_UNUSED(mode)
    return false;
}

bool isMultiValueItemType(int itemType)
{
    Q_UNUSED(itemType)
    return false;
}

QWidget *createInPlaceEditor(int itemType, QWidget *parent, QObject *receiver)
{
    Q_UNUSED(itemType)
    Q_UNUSED(parent)
    Q_UNUSED(receiver)
    return nullptr;
}

void setEditorSelection(QWidget *editor, const AudioFileSelection &cells)
{
    Q_UNUSED(editor)
    Q_UNUSED(cells)
}

bool isEditorModified(QWidget *editor)
{
    Q_UNUSED(editor)
    return false;
}

void applyEditor(QWidget *editor, ModelUpdateOperation *operation)
{
    Q_UNUSED(editor)
    Q_UNUSED(operation)
}

bool runSingleTagEditorDialog(int itemType, int mode, const AudioFileSelection &cells, OperationQueue *queue,
                              QWidget *parent)
{
    Q_UNUSED(itemType)
    Q_UNUSED(mode)
    Q_UNUSED(cells)
    Q_UNUSED(queue)
    Q_UNUSED(parent)
    return false;
}

bool runMultiTagEditorDialog(const AudioFileSelection &cells, OperationQueue *queue, QWidget *parent)
{
    Q_UNUSED(cells)
    Q_UNUSED(queue)
    Q_UNUSED(parent)
    return false;
}

} // namespace TagEditorRouting
