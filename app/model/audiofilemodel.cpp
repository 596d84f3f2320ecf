#include "app/model/audiofilemodel.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

#include "app/model/audiofilemodeldata.h"
#include "app/operations/modelinsertoperation.h"
#include "app/operations/modelremoveoperation.h"
#include "app/operations/modelupdateoperation.h"
#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/formatting.h"
#include "libgui/editing/tageditorregistry.h"
#include "libgui/itemviews/colors.h"
#include "libgui/itemviews/selectiongeometry.h"
#include "libtagging/model/audiotag.h"

AudioFileModel::AudioFileModel(AudioFileModelData *modelData, QObject *parent)
    : QAbstractTableModel(parent), m_modelData(modelData)
{
    connect(m_modelData, &AudioFileModelData::displayedFilesAboutToBeChanged, this,
            &AudioFileModel::onDisplayedFilesAboutToBeChanged);
    connect(m_modelData, &AudioFileModelData::displayedFilesChanged, this, &AudioFileModel::onDisplayedFilesChanged);
}

AudioFileModel::~AudioFileModel() = default;

int AudioFileModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_modelData->displayedFiles().size());
}

int AudioFileModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_dataTypes.size());
}

QVariant AudioFileModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_dataTypes.size())
        return QVariant();
    return upperCaseFirst(dataTypeDisplayName(m_dataTypes.at(section)));
}

Qt::ItemFlags AudioFileModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (index.column() < m_dataTypes.size() && m_dataTypes.at(index.column()).isTagItem())
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant AudioFileModel::data(const QModelIndex &index, int role) const
{
    if (index.row() < 0 || index.column() < 0 || !index.model())
        return QVariant();
    if (role == Qt::BackgroundRole)
        return background(index);
    if (role == Qt::ForegroundRole) {
        const QVariant back = background(index);
        if (!back.isValid())
            return QVariant();
        return QBrush(contrastColor(back.value<QBrush>().color()), Qt::SolidPattern);
    }
    return m_modelData->data(audioFile(index), dataType(index), role);
}

void AudioFileModel::updateHighlightColors() const
{
    const quint64 version = SettingsStore::changeCount();
    if (version == m_colorSettingsVersion)
        return;
    m_colorSettingsVersion = version;
    m_searchResultColor = QColor::fromString(SettingsStore::value(QStringLiteral("colors/searchResult")));
    m_modifiedColor = QColor::fromString(SettingsStore::value(QStringLiteral("colors/modified")));
}

QVariant AudioFileModel::background(const QModelIndex &index) const
{
    // Most paints meet no highlight at all: no persistent index is made for them.
    if (std::all_of(m_highlightedCells.cbegin(), m_highlightedCells.cend(),
                    [](const QSet<QPersistentModelIndex> &cells) { return cells.isEmpty(); }))
        return QVariant();
    const QPersistentModelIndex cell(index);
    QList<QColor> colors;
    const auto has = [&](int kind) { return m_highlightedCells.value(kind).contains(cell); };
    if (has(HighlightKind::SearchResultHighlight) || has(HighlightKind::ModifiedHighlight))
        updateHighlightColors();
    if (has(HighlightKind::SearchResultHighlight))
        colors.append(m_searchResultColor);
    if (has(HighlightKind::ModifiedHighlight))
        colors.append(m_modifiedColor);
    if (has(HighlightKind::PaletteHighlight))
        colors.append(QGuiApplication::palette().color(QPalette::Highlight).lighter(220));
    if (colors.isEmpty())
        return QVariant();
    return QBrush(averageColor(colors), Qt::SolidPattern);
}

void AudioFileModel::setDataTypes(const QList<ModelDataType> &dataTypes)
{
    if (dataTypes == m_dataTypes)
        return;
    beginResetModel();
    m_dataTypes = dataTypes;
    endResetModel();
    emit modelChanged();
}

QList<AudioFile *> AudioFileModel::audioFiles() const
{
    return m_modelData->displayedFiles();
}

AudioFile *AudioFileModel::audioFile(const QModelIndex &index) const
{
    return m_modelData->displayedFiles().value(index.row());
}

ModelDataType AudioFileModel::dataType(const QModelIndex &index) const
{
    return m_dataTypes.value(index.column());
}

MimeDataEntry *AudioFileModel::createMimeDataEntry(const QModelIndex &index, QObject *parent) const
{
    if (index.row() < 0 || index.column() < 0 || !index.model())
        return nullptr;
    return m_modelData->createMimeDataEntry(audioFile(index), dataType(index), parent);
}

bool AudioFileModel::isEditable(const QModelIndex &index) const
{
    if (!(flags(index) & Qt::ItemIsEditable))
        return false;
    const ModelDataType type = dataType(index);
    if (!type.isTagItem())
        return false;
    const AudioFile *file = audioFile(index);
    const AudioTag *tag = file ? file->combinedTag() : nullptr;
    if (tag && tag->itemCount(type.id) > 1)
        return false; // a cell that stands for several items is not edited in place
    return TagEditorRegistry::hasEditor(type.id, TagItem::dataTypeOf(type.id), TagEditorRegistry::InTableMode);
}

AudioFileSelection AudioFileModel::cellSelection(const QItemSelection &selection)
{
    AudioFileSelection result(this);
    const QList<AudioFile *> files = m_modelData->displayedFiles();
    for (const QItemSelectionRange &range : normalizeSelection(selection)) {
        const QRect r = selectionRangeBounds(range);
        if (r.top() < 0 || r.left() < 0 || r.bottom() >= files.size() || r.right() >= m_dataTypes.size())
            continue;
        result.insert(files.mid(r.top(), r.height()), m_dataTypes.mid(r.left(), r.width()));
    }
    return result;
}

QItemSelection AudioFileModel::itemSelection(const AudioFileSelection &selection) const
{
    const QList<AudioFile *> files = m_modelData->displayedFiles();
    QHash<AudioFile *, int> rows;
    rows.reserve(files.size());
    for (int row = 0; row < files.size(); ++row)
        rows.insert(files.at(row), row);
    QHash<ModelDataType, int> columns;
    for (int column = 0; column < m_dataTypes.size(); ++column)
        columns.insert(m_dataTypes.at(column), column); // the last column of a data type wins

    // Straight over the selection's own tables: an iterator would copy every file's data
    // types into a list of their own, and this runs over all rows after every change.
    QList<QPoint> cells;
    const QHash<AudioFile *, QSet<ModelDataType>> &byFile = selection.dataTypesByFile();
    for (auto file = byFile.cbegin(); file != byFile.cend(); ++file) {
        const auto row = rows.constFind(file.key());
        if (row == rows.constEnd())
            continue;
        for (const ModelDataType &dataType : file.value()) {
            const auto column = columns.constFind(dataType);
            if (column != columns.constEnd())
                cells.append(QPoint(*column, *row));
        }
    }
    return selectionFromCells(this, cells);
}

void AudioFileModel::setHighlightedCells(int kind, const QItemSelection &selection)
{
    const QSet<QPersistentModelIndex> old = m_highlightedCells.value(kind);
    QSet<QPersistentModelIndex> now;
    for (const QModelIndex &index : selection.indexes())
        now.insert(QPersistentModelIndex(index));
    QList<QPoint> changed;
    for (const QPersistentModelIndex &cell : old) {
        if (!now.contains(cell) && cell.isValid())
            changed.append(QPoint(cell.column(), cell.row()));
    }
    for (const QPersistentModelIndex &cell : std::as_const(now)) {
        if (!old.contains(cell))
            changed.append(QPoint(cell.column(), cell.row()));
    }
    m_highlightedCells.insert(kind, now);
    for (const QItemSelectionRange &range : selectionFromCells(this, changed))
        emit dataChanged(range.topLeft(), range.bottomRight(), {Qt::BackgroundRole, Qt::ForegroundRole});
}

QItemSelection AudioFileModel::rowSelection(const QList<AudioFile *> &files) const
{
    const QList<AudioFile *> displayed = m_modelData->displayedFiles();
    QHash<AudioFile *, int> rows;
    for (int row = 0; row < displayed.size(); ++row)
        rows.insert(displayed.at(row), row);
    QList<QPoint> cells;
    for (AudioFile *file : files) {
        const auto row = rows.constFind(file);
        if (row == rows.constEnd())
            continue;
        for (int column = 0; column < m_dataTypes.size(); ++column)
            cells.append(QPoint(column, *row));
    }
    return selectionFromCells(this, cells);
}

void AudioFileModel::checkStore(const AudioFileSelection &selection, quint32 code) const
{
    if (!selection.model() || selection.model()->modelData() != m_modelData)
        throw Exception(code);
}

void AudioFileModel::applyInsertOperation(ModelInsertOperation *operation, int mode)
{
    checkStore(operation->selection(), InsertOperationOfAnotherStore);
    if (mode == ApplyMode::Undo) {
        m_modelData->removeAudioFiles(operation->files);
    } else {
        m_modelData->addAudioFiles(operation->files);
        emit selectionChanged(rowSelection(operation->files));
    }
    emit modelChanged();
    emit selectionUpdated();
}

void AudioFileModel::applyRemoveOperation(ModelRemoveOperation *operation, int mode)
{
    checkStore(operation->selection(), RemoveOperationOfAnotherStore);
    if (mode == ApplyMode::Undo) {
        m_modelData->addAudioFiles(operation->files);
        emit selectionChanged(rowSelection(operation->files));
    } else {
        m_modelData->removeAudioFiles(operation->files);
    }
    emit modelChanged();
    emit selectionUpdated();
}

void AudioFileModel::applyUpdateOperation(ModelUpdateOperation *operation, int mode)
{
    checkStore(operation->selection(), UpdateOperationOfAnotherStore);
    // Read through the const view: asking for the working tags to change them would make the
    // operation work out its changed cells again, here and for every listener after.
    QList<AudioFile *> files;
    QList<AudioTag *> tags;
    files.reserve(operation->tagCopies().size());
    tags.reserve(operation->tagCopies().size());
    for (auto it = operation->tagCopies().cbegin(); it != operation->tagCopies().cend(); ++it) {
        files.append(it.key());
        tags.append(mode == ApplyMode::Undo ? it->snapshot : it->working);
    }
    const AudioFileSelection changed = operation->changedCells();
    m_modelData->replaceTags(files, tags, changed.filesByDataType().keys());

    const QList<AudioFile *> displayed = m_modelData->displayedFiles();
    const QSet<AudioFile *> shown(displayed.cbegin(), displayed.cend());
    for (AudioFile *file : files) {
        if (!shown.contains(file)) {
            m_modelData->setPath({AudioFileModelData::rootName()});
            break;
        }
    }
    const QItemSelection selection = itemSelection(changed);
    for (const QItemSelectionRange &range : selection)
        emit dataChanged(range.topLeft(), range.bottomRight());
    if (mode != ApplyMode::Apply || operation->selectsChangedCells)
        emit selectionChanged(selection);
    emit modelChanged();
    emit selectionUpdated();
}

void AudioFileModel::onDisplayedFilesAboutToBeChanged()
{
    beginResetModel();
}

void AudioFileModel::onDisplayedFilesChanged()
{
    endResetModel();
    emit modelChanged();
}
