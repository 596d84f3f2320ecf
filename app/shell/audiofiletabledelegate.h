#pragma once

#include "libgui/itemviews/extitemdelegate.h"

class IAudioFileModel;
class OperationQueue;

// Creates the in-place tag editors of the file table and turns a finished edit into one
// update on the undo queue.
class AudioFileTableDelegate : public ExtItemDelegate
{
public:
    AudioFileTableDelegate(OperationQueue *operationQueue, IAudioFileModel *model, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

    OperationQueue *operationQueue;
    IAudioFileModel *model;
};
