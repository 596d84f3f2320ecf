#include "app/shell/tageditorrouting.h"

#include <QObject>
#include <QtGlobal>

#include "app/tageditors/tageditorregistration.h"
#include "app/tageditors/multitageditordialog.h"
#include "app/tageditors/singletageditordialog.h"
#include "app/tageditors/tageditorwidget.h"
#include "app/tageditors/tageditorwidgeteventfilter.h"

namespace TagEditorRouting {

void installEventFilter()
{
    registerTagEditors();
    TagEditorWidgetEventFilter::instance()->setEnabled(true);
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
    if (!TagEditorWidget::hasEditor(itemType, mode))
        return false;
    SingleTagEditorDialog dialog(itemType, mode, cells, queue, parent);
    dialog.exec();
    return true;
}

bool runMultiTagEditorDialog(const AudioFileSelection &cells, OperationQueue *queue, QWidget *parent)
{
    MultiTagEditorDialog dialog(cells, queue, parent);
    dialog.exec();
    return true;
}

} // namespace TagEditorRouting
