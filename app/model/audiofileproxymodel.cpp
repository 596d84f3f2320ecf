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
    emit selectionChanged(normalizeSelection(mapSelectionFromSource(selection)));
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
    return normalizeSelection(mapSelectionFromSource(m_source->itemSelection(selection)));
}

void AudioFileProxyModel::setHighlightedCells(int kind, const QItemSelection &selection)
{
    m_source->setHighlightedCells(kind, normalizeSelection(mapSelectionToSource(selection)));
}
