#include "app/model/audiofileproxymodel.h"

#include "libgui/itemviews/selectiongeometry.h"

AudioFileProxyModel::AudioFileProxyModel(IAudioFileModel *source, QObject *parent)
    : ExtSortFilterProxyModel(parent), m_source(source)
{
    setSourceModel(source->itemModel());
    setSortRole(SortValueRole);
    setSortLocaleAware(true);
    QAbstractItemModel *model = source->itemModel();
    connect(model, SIGNAL(modelChanged()), this, SIGNAL(modelChanged()));
    connect(model, SIGNAL(selectionChanged(QItemSelection)), this, SLOT(onSelectionChanged(QItemSelection)));
    connect(model, SIGNAL(selectionUpdated()), this, SIGNAL(selectionUpdated()));
}

QVariant AudioFileProxyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return QString::number(section + 1);
    return ExtSortFilterProxyModel::headerData(section, orientation, role);
}

void AudioFileProxyModel::sort(int column, Qt::SortOrder order)
{
    ExtSortFilterProxyModel::sort(column, order);
    emit modelChanged();
}

void AudioFileProxyModel::onSelectionChanged(const QItemSelection &selection)
{
    emit selectionChanged(mergedFromSource(selection));
}

QItemSelection AudioFileProxyModel::mergedFromSource(const QItemSelection &selection) const
{
    // Cell by cell into this order and merged into rectangles once: mapSelectionFromSource
    // makes a range of two persistent indexes for every cell, which after an update of a
    // column over thousands of rows costs more than the update's own signals.
    QList<QPoint> cells;
    for (const QItemSelectionRange &range : selection) {
        const QAbstractItemModel *model = range.model();
        if (!model || model != sourceModel())
            continue;
        for (int row = range.top(); row <= range.bottom(); ++row) {
            for (int column = range.left(); column <= range.right(); ++column) {
                const QModelIndex index = mapFromSource(model->index(row, column, range.parent()));
                if (index.isValid())
                    cells.append(QPoint(index.column(), index.row()));
            }
        }
    }
    return selectionFromCells(this, cells);
}

QList<ModelDataType> AudioFileProxyModel::dataTypes() const
{
    return m_source->dataTypes();
}

void AudioFileProxyModel::setDataTypes(const QList<ModelDataType> &dataTypes)
{
    m_source->setDataTypes(dataTypes);
}

void AudioFileProxyModel::applyInsertOperation(ModelInsertOperation *operation, int mode)
{
    m_source->applyInsertOperation(operation, mode);
}

void AudioFileProxyModel::applyUpdateOperation(ModelUpdateOperation *operation, int mode)
{
    m_source->applyUpdateOperation(operation, mode);
}

void AudioFileProxyModel::applyRemoveOperation(ModelRemoveOperation *operation, int mode)
{
    m_source->applyRemoveOperation(operation, mode);
}

AudioFileModelData *AudioFileProxyModel::modelData() const
{
    return m_source->modelData();
}

QList<AudioFile *> AudioFileProxyModel::audioFiles() const
{
    QList<AudioFile *> files;
    const int rows = rowCount();
    files.reserve(rows);
    for (int row = 0; row < rows; ++row)
        files.append(m_source->audioFile(mapToSource(index(row, 0))));
    return files;
}

AudioFile *AudioFileProxyModel::audioFile(const QModelIndex &index) const
{
    return m_source->audioFile(mapToSource(index));
}

ModelDataType AudioFileProxyModel::dataType(const QModelIndex &index) const
{
    return m_source->dataType(mapToSource(index));
}

MimeDataEntry *AudioFileProxyModel::createMimeDataEntry(const QModelIndex &index, QObject *parent) const
{
    return m_source->createMimeDataEntry(mapToSource(index), parent);
}

bool AudioFileProxyModel::isEditable(const QModelIndex &index) const
{
    return m_source->isEditable(mapToSource(index));
}

AudioFileSelection AudioFileProxyModel::cellSelection(const QItemSelection &selection)
{
    AudioFileSelection result(this);
    result.unite(m_source->cellSelection(mapSelectionToSource(selection)));
    return result;
}

QItemSelection AudioFileProxyModel::itemSelection(const AudioFileSelection &selection) const
{
    return mergedFromSource(m_source->itemSelection(selection));
}

void AudioFileProxyModel::setHighlightedCells(int kind, const QItemSelection &selection)
{
    m_source->setHighlightedCells(kind, normalizeSelection(mapSelectionToSource(selection)));
}
