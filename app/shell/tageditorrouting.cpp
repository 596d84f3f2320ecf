#include "app/shell/tageditorrouting.h"

#include <QObject>
#include <QtGlobal>

#include "app/tageditors/tageditorregistration.h"
#include "app/tageditors/tageditorwidget.h"

// The tag dialogs are not part of the program yet: a request for one is not served.

namespace TagEditorRouting {

void installEventFilter()
{
    registerTagEditors();
}

bool hasEditor(int itemType, int mode)
{
    return TagEditorWidget::hasEditor(itemType, mode);
}

bool isMultiValueItemType(int itemType)
{
    return TagEditorWidget::isMultiValueItemType(itemType);
}

QWidget *createInPlaceEditor(int itemType, QWidget *parent, QObject *receiver)
{
    TagEditorWidget *editor = TagEditorWidget::createEditor(itemType, TagEditorWidget::InlineMode, parent);
    if (editor && receiver) {
        QObject::connect(editor, SIGNAL(editingFinished(TagEditorWidget*)), receiver, SLOT(acceptSendingEditor()),
                         Qt::QueuedConnection);
        QObject::connect(editor, SIGNAL(editingCanceled(TagEditorWidget*)), receiver, SLOT(cancelSendingEditor()),
                         Qt::QueuedConnection);
    }
    return editor;
}

void setEditorSelection(QWidget *editor, const AudioFileSelection &cells)
{
    if (auto *tagEditor = qobject_cast<TagEditorWidget *>(editor))
        tagEditor->setSelection(cells, -1, -1);
}

bool isEditorModified(QWidget *editor)
{
    auto *tagEditor = qobject_cast<TagEditorWidget *>(editor);
    return tagEditor && tagEditor->isModified();
}

void applyEditor(QWidget *editor, ModelUpdateOperation *operation)
{
    if (auto *tagEditor = qobject_cast<TagEditorWidget *>(editor))
        tagEditor->applyTo(operation);
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
