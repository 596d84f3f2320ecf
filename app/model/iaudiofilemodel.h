#pragma once

#include <QItemSelection>
#include <QList>
#include <QModelIndex>

#include "app/model/modeldatatype.h"
#include "app/operations/audiofileselection.h"

class AudioFile;
class AudioFileModelData;
class MimeDataEntry;
class ModelInsertOperation;
class ModelRemoveOperation;
class ModelUpdateOperation;
class QAbstractItemModel;
class QObject;

// How a model operation reaches the file list.
namespace ApplyMode {
enum Id : int { Apply = 0, Undo = 1, Redo = 2 };
}

// The kinds of highlighted cells; each kind has its own colour.
namespace HighlightKind {
enum Id : int { SearchResultHighlight = 0, PaletteHighlight = 1, ModifiedHighlight = 2 };
}

// The loaded files as a table: rows of audio files, columns of data types. The table model
// and the sorting proxy over it implement it; everything else holds the proxy's interface
// and never needs to know which stands behind it. The signals are Qt signals of the
// implementing class: connect to them on itemModel().
class IAudioFileModel
{
public:
    virtual QList<ModelDataType> dataTypes() const = 0;
    // A different list resets the model and emits modelChanged; an equal one does nothing.
    virtual void setDataTypes(const QList<ModelDataType> &dataTypes) = 0;
    // The model side of the model operations, for one ApplyMode. Each ends with
    // modelChanged, then selectionUpdated; those that bring cells into view emit
    // selectionChanged before them.
    virtual void applyInsertOperation(ModelInsertOperation *operation, int mode) = 0;
    virtual void applyUpdateOperation(ModelUpdateOperation *operation, int mode) = 0;
    virtual void applyRemoveOperation(ModelRemoveOperation *operation, int mode) = 0;
    virtual QAbstractItemModel *itemModel() = 0;
    virtual AudioFileModelData *modelData() const = 0;
    // The files in the order of this object's rows.
    virtual QList<AudioFile *> audioFiles() const = 0;
    virtual AudioFile *audioFile(const QModelIndex &index) const = 0;
    virtual ModelDataType dataType(const QModelIndex &index) const = 0;
    // The clipboard entry of one cell, owned by the caller; null when there is nothing to copy.
    virtual MimeDataEntry *createMimeDataEntry(const QModelIndex &index, QObject *parent) const = 0;
    virtual bool isEditable(const QModelIndex &index) const = 0;
    virtual AudioFileSelection cellSelection(const QItemSelection &selection) = 0;
    // The cells this object shows, as maximal rectangles; others are dropped.
    virtual QItemSelection itemSelection(const AudioFileSelection &selection) const = 0;
    virtual void setHighlightedCells(int kind, const QItemSelection &selection) = 0;

    // Signals: rows, columns, order or contents changed; cells that views should select;
    // a model operation was applied (after the other two).
    virtual void modelChanged() = 0;
    virtual void selectionChanged(const QItemSelection &selection) = 0;
    virtual void selectionUpdated() = 0;

protected:
    ~IAudioFileModel() = default;
};
