#include "app/shell/audiofiletabledelegate.h"

#include <QObject>

#include "app/model/iaudiofilemodel.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/shell/tageditorrouting.h"

namespace {
AudioFileSelection cellOf(IAudioFileModel *model, const QModelIndex &index)
{
    return model->cellSelection(QItemSelection(index, index));
}
} // namespace

AudioFileTableDelegate::AudioFileTableDelegate(OperationQueue *operationQueue, IAudioFileModel *model,
                                               QObject *parent)
    : ExtItemDelegate(parent), operationQueue(operationQueue), model(model)
{
}

void AudioFileTableDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const
{
    // Selected cells keep the active colours while the table has no focus.
    QStyleOptionViewItem active(option);
    active.state |= QStyle::State_Active;
    QStyledItemDelegate::paint(painter, active, index);
}

QWidget *AudioFileTableDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                              const QModelIndex &index) const
{
    Q_UNUSED(option)
    QWidget *editor = nullptr;
    if (model->isEditable(index))
        editor = TagEditorRouting::createInPlaceEditor(model->dataType(index).id, parent,
                                                       const_cast<AudioFileTableDelegate *>(this));
    setEditor(editor);
    return editor;
}

void AudioFileTableDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    TagEditorRouting::setEditorSelection(editor, cellOf(model, index));
}

void AudioFileTableDelegate::setModelData(QWidget *editor, QAbstractItemModel *itemModel,
                                          const QModelIndex &index) const
{
    Q_UNUSED(itemModel)
    if (!TagEditorRouting::isEditorModified(editor))
        return;
    QObject owner;
    auto *operation = new ModelUpdateOperation(cellOf(model, index), &owner);
    TagEditorRouting::applyEditor(editor, operation);
    operationQueue->apply(operation);
}
