#include "app/search/searchscope.h"

#include "app/model/audiofilemodeldata.h"
#include "app/model/datatypevalues.h"
#include "app/model/iaudiofilemodel.h"
#include "app/search/searchresult.h"

SearchScope::SearchScope(IAudioFileModel *model) : m_selection(model) {}

void SearchScope::setAllFiles(const QList<ModelDataType> &dataTypes)
{
    m_mode = AllFilesMode;
    m_dataTypes = dataTypes;
    m_selection.clear();
    update();
}

void SearchScope::setDisplayedFiles(const QList<ModelDataType> &dataTypes)
{
    m_mode = DisplayedFilesMode;
    m_dataTypes = dataTypes;
    m_selection.clear();
    update();
}

void SearchScope::setSelectionColumns(const AudioFileSelection &selection, const QList<ModelDataType> &dataTypes)
{
    m_mode = SelectedFilesMode;
    m_dataTypes = dataTypes;
    m_selection = selection;
    update();
}

void SearchScope::setSelection(const AudioFileSelection &selection)
{
    m_mode = SelectedCellsMode;
    m_dataTypes.clear();
    m_selection = selection;
    update();
}

void SearchScope::clear()
{
    m_mode = NothingMode;
    m_dataTypes.clear();
    m_selection.clear();
    update();
}

void SearchScope::update()
{
    IAudioFileModel *model = m_selection.model();
    m_files.clear();
    m_fileRows.clear();
    m_columns.clear();
    m_columnIndexes.clear();
    QSet<AudioFile *> loaded;
    if (model) {
        m_files = model->audioFiles();
        if (AudioFileModelData *store = model->modelData())
            loaded = store->loadedFiles();
        m_fileRows.reserve(loaded.size() + m_files.size());
        for (int row = 0; row < m_files.size(); ++row)
            m_fileRows.insert(m_files.at(row), row);
        for (AudioFile *file : std::as_const(loaded)) {
            if (!m_fileRows.contains(file)) {
                m_fileRows.insert(file, int(m_files.size()));
                m_files.append(file);
            }
        }
        m_columns = model->dataTypes();
        for (int column = 0; column < m_columns.size(); ++column)
            m_columnIndexes.insert(m_columns.at(column), column);
    }
    const QList<ModelDataType> &types = m_dataTypes.isEmpty() ? m_columns : m_dataTypes;
    QList<int> typeColumns;
    for (const ModelDataType &type : types) {
        const int column = m_columnIndexes.value(type, -1);
        if (column >= 0)
            typeColumns.append(column);
    }

    const qsizetype columnCount = m_columns.size();
    m_candidates = QBitArray(columnCount * m_files.size());
    const auto setRow = [&](AudioFile *file, const QList<int> &columns) {
        const int row = m_fileRows.value(file, -1);
        if (row < 0)
            return;
        for (int column : columns)
            m_candidates.setBit(column + row * columnCount);
    };
    switch (m_mode) {
    case AllFilesMode:
        for (AudioFile *file : std::as_const(loaded))
            setRow(file, typeColumns);
        break;
    case DisplayedFilesMode:
        if (model) {
            for (AudioFile *file : model->audioFiles())
                setRow(file, typeColumns);
        }
        break;
    case SelectedFilesMode:
        for (auto it = m_selection.dataTypesByFile().cbegin(); it != m_selection.dataTypesByFile().cend(); ++it)
            setRow(it.key(), typeColumns);
        break;
    case SelectedCellsMode:
        for (auto it = m_selection.dataTypesByFile().cbegin(); it != m_selection.dataTypesByFile().cend(); ++it) {
            QList<int> columns;
            for (const ModelDataType &type : it.value()) {
                const int column = m_columnIndexes.value(type, -1);
                if (column >= 0)
                    columns.append(column);
            }
            setRow(it.key(), columns);
        }
        break;
    default:
        break;
    }
}

int SearchScope::nextCandidate(int from) const
{
    const int size = int(m_candidates.size());
    for (int i = qMax(from, 0); i < size; ++i) {
        if (m_candidates.testBit(i))
            return i;
    }
    return size;
}

int SearchScope::previousCandidate(int from) const
{
    for (int i = qMin(from, int(m_candidates.size()) - 1); i >= 0; --i) {
        if (m_candidates.testBit(i))
            return i;
    }
    return -1;
}

bool SearchScope::hasNext() const
{
    return nextCandidate(m_position + 1) < m_candidates.size();
}

void SearchScope::next()
{
    if (m_position < m_candidates.size())
        m_position = nextCandidate(m_position + 1);
}

bool SearchScope::hasPrevious() const
{
    return previousCandidate(m_position - 1) >= 0;
}

void SearchScope::previous()
{
    if (m_position > -1)
        m_position = previousCandidate(m_position - 1);
}

bool SearchScope::isCurrentCandidate() const
{
    return m_position >= 0 && m_position < m_candidates.size() && m_candidates.testBit(m_position);
}

AudioFile *SearchScope::currentFile() const
{
    if (!isCurrentCandidate())
        return nullptr;
    return m_files.at(m_position / m_columns.size());
}

ModelDataType SearchScope::currentDataType() const
{
    if (!isCurrentCandidate())
        return ModelDataType();
    return m_columns.at(m_position % m_columns.size());
}

QString SearchScope::currentText() const
{
    return cellText(m_selection.model(), currentFile(), currentDataType());
}

qint64 SearchScope::currentNumber(bool *ok) const
{
    return cellNumber(m_selection.model(), currentFile(), currentDataType(), ok);
}

QString SearchScope::cellText(IAudioFileModel *model, AudioFile *file, const ModelDataType &dataType)
{
    if (!file || !model || !model->modelData())
        return QString();
    const QVariant raw = model->modelData()->data(file, dataType, RawValueRole);
    return formatValue(raw, Qt::DisplayRole, valueFormat(dataType)).toString();
}

qint64 SearchScope::cellNumber(IAudioFileModel *model, AudioFile *file, const ModelDataType &dataType, bool *ok)
{
    bool converted = false;
    qint64 number = 0;
    if (file && model && model->modelData()) {
        const QVariant raw = model->modelData()->data(file, dataType, RawValueRole);
        if (raw.isValid())
            number = raw.toLongLong(&converted);
        if (!converted)
            number = formatValue(raw, Qt::DisplayRole, valueFormat(dataType)).toString().toLongLong(&converted, 10);
    }
    if (ok)
        *ok = converted;
    return converted ? number : 0;
}

int SearchScope::indexOf(AudioFile *file, const ModelDataType &dataType) const
{
    const int row = m_fileRows.value(file, -1);
    const int column = m_columnIndexes.value(dataType, -1);
    if (row < 0 || column < 0)
        return -1;
    return column + row * int(m_columns.size());
}

int SearchScope::indexOf(const SearchResultEntry *entry) const
{
    return entry ? indexOf(entry->file(), entry->dataType()) : -1;
}

int SearchScope::setPosition(AudioFile *file, const ModelDataType &dataType)
{
    const int index = indexOf(file, dataType);
    if (index != -1)
        m_position = index;
    return index;
}

void SearchScope::removeAudioFile(AudioFile *file)
{
    m_selection.removeAudioFile(file);
    const int row = m_fileRows.value(file, -1);
    if (row < 0)
        return;
    // The row stays, empty, so that grid indexes keep their meaning until the next update.
    m_files[row] = nullptr;
    m_fileRows.remove(file);
    const qsizetype columnCount = m_columns.size();
    for (qsizetype column = 0; column < columnCount; ++column)
        m_candidates.clearBit(column + row * columnCount);
}
