#include "app/operations/audiofileselection.h"

namespace {

// Intersects or subtracts each set of `map` with the set of the same key in `other`,
// erasing keys whose set became empty.
template<typename Key, typename Value>
void narrow(QHash<Key, QSet<Value>> &map, const QHash<Key, QSet<Value>> &other, bool keep)
{
    for (auto it = map.begin(); it != map.end();) {
        const auto found = other.constFind(it.key());
        if (found == other.constEnd()) {
            if (keep)
                it = map.erase(it);
            else
                ++it;
            continue;
        }
        if (keep)
            it.value().intersect(*found);
        else
            it.value().subtract(*found);
        if (it.value().isEmpty())
            it = map.erase(it);
        else
            ++it;
    }
}

template<typename Key, typename Value>
void uniteMap(QHash<Key, QSet<Value>> &map, const QHash<Key, QSet<Value>> &other)
{
    for (auto it = other.constBegin(); it != other.constEnd(); ++it)
        map[it.key()].unite(it.value());
}

// Removes the value from every set of the map, erasing sets that became empty.
template<typename Key, typename Value>
void removeFromAll(QHash<Key, QSet<Value>> &map, const Value &value)
{
    for (auto it = map.begin(); it != map.end();) {
        if (it.value().remove(value) && it.value().isEmpty())
            it = map.erase(it);
        else
            ++it;
    }
}

} // namespace

AudioFileSelection::AudioFileSelection(IAudioFileModel *model) : m_model(model) {}

bool AudioFileSelection::contains(AudioFile *file, const ModelDataType &dataType) const
{
    const auto it = m_dataTypesByFile.constFind(file);
    return it != m_dataTypesByFile.constEnd() && it->contains(dataType);
}

qsizetype AudioFileSelection::cellCount() const
{
    qsizetype count = 0;
    for (const QSet<ModelDataType> &types : m_dataTypesByFile)
        count += types.size();
    return count;
}

void AudioFileSelection::insert(const QList<AudioFile *> &files, const QList<ModelDataType> &dataTypes)
{
    if (files.isEmpty() || dataTypes.isEmpty())
        return;
    for (AudioFile *file : files) {
        QSet<ModelDataType> &types = m_dataTypesByFile[file];
        for (const ModelDataType &type : dataTypes)
            types.insert(type);
    }
    for (const ModelDataType &type : dataTypes) {
        QSet<AudioFile *> &typeFiles = m_filesByDataType[type];
        for (AudioFile *file : files)
            typeFiles.insert(file);
    }
}

void AudioFileSelection::insertCell(AudioFile *file, const ModelDataType &dataType)
{
    m_dataTypesByFile[file].insert(dataType);
    m_filesByDataType[dataType].insert(file);
}

AudioFileSelection &AudioFileSelection::unite(const AudioFileSelection &other)
{
    if (isEmpty()) {
        m_dataTypesByFile = other.m_dataTypesByFile;
        m_filesByDataType = other.m_filesByDataType;
        return *this;
    }
    // Shared copies, so that uniting a selection with itself reads stable maps.
    const auto byFile = other.m_dataTypesByFile;
    const auto byDataType = other.m_filesByDataType;
    uniteMap(m_dataTypesByFile, byFile);
    uniteMap(m_filesByDataType, byDataType);
    return *this;
}

AudioFileSelection &AudioFileSelection::intersect(const AudioFileSelection &other)
{
    if (isEmpty())
        return *this;
    const auto byFile = other.m_dataTypesByFile;
    const auto byDataType = other.m_filesByDataType;
    narrow(m_dataTypesByFile, byFile, true);
    narrow(m_filesByDataType, byDataType, true);
    return *this;
}

AudioFileSelection &AudioFileSelection::subtract(const AudioFileSelection &other)
{
    if (isEmpty())
        return *this;
    const auto byFile = other.m_dataTypesByFile;
    const auto byDataType = other.m_filesByDataType;
    narrow(m_dataTypesByFile, byFile, false);
    narrow(m_filesByDataType, byDataType, false);
    return *this;
}

void AudioFileSelection::clear()
{
    m_dataTypesByFile.clear();
    m_filesByDataType.clear();
}

void AudioFileSelection::removeAudioFile(AudioFile *file)
{
    if (!m_dataTypesByFile.remove(file))
        return;
    removeFromAll(m_filesByDataType, file);
}

void AudioFileSelection::removeDataType(const ModelDataType &dataType)
{
    if (!m_filesByDataType.remove(dataType))
        return;
    removeFromAll(m_dataTypesByFile, dataType);
}

bool AudioFileSelection::operator==(const AudioFileSelection &other) const
{
    return m_dataTypesByFile == other.m_dataTypesByFile;
}

AudioFileSelection::Iterator::Iterator(const AudioFileSelection &selection)
{
    *this = selection;
}

AudioFileSelection::Iterator &AudioFileSelection::Iterator::operator=(const AudioFileSelection &selection)
{
    m_selection = &selection;
    m_mode = NotStarted;
    m_currentFile = nullptr;
    m_currentDataType = ModelDataType();
    m_byFile = selection.m_dataTypesByFile;
    m_byDataType = selection.m_filesByDataType;
    m_files.clear();
    m_filesMade = false;
    m_filePos = 0;
    m_hasLastFile = false;
    m_lastFile = nullptr;
    m_dataTypes.clear();
    m_dataTypesMade = false;
    m_dataTypePos = 0;
    m_hasLastDataType = false;
    m_lastDataType = ModelDataType();
    return *this;
}

void AudioFileSelection::Iterator::ensureFiles() const
{
    if (!m_filesMade) {
        m_files = m_byFile.keys();
        m_filesMade = true;
    }
}

void AudioFileSelection::Iterator::ensureDataTypes() const
{
    if (!m_dataTypesMade) {
        m_dataTypes = m_byDataType.keys();
        m_dataTypesMade = true;
    }
}

bool AudioFileSelection::Iterator::hasNextFile() const
{
    if (m_mode == DataTypeMajor)
        return m_innerFilePos < m_innerFiles.size();
    ensureFiles();
    return m_filePos < m_files.size();
}

bool AudioFileSelection::Iterator::hasPreviousFile() const
{
    if (m_mode == DataTypeMajor)
        return m_innerFilePos > 0;
    ensureFiles();
    return m_filePos > 0;
}

bool AudioFileSelection::Iterator::hasNextDataType() const
{
    if (m_mode == FileMajor)
        return m_innerDataTypePos < m_innerDataTypes.size();
    ensureDataTypes();
    return m_dataTypePos < m_dataTypes.size();
}

bool AudioFileSelection::Iterator::hasPreviousDataType() const
{
    if (m_mode == FileMajor)
        return m_innerDataTypePos > 0;
    ensureDataTypes();
    return m_dataTypePos > 0;
}

void AudioFileSelection::Iterator::stepFile(bool forward)
{
    if (m_mode == DataTypeMajor) {
        m_currentFile = forward ? m_innerFiles.at(m_innerFilePos++) : m_innerFiles.at(--m_innerFilePos);
        return;
    }
    ensureFiles();
    m_mode = FileMajor;
    m_lastFile = forward ? m_files.at(m_filePos++) : m_files.at(--m_filePos);
    m_hasLastFile = true;
    m_currentFile = m_lastFile;
    m_innerDataTypes = m_byFile.value(m_lastFile).values();
    m_innerDataTypePos = 0;
}

void AudioFileSelection::Iterator::stepDataType(bool forward)
{
    if (m_mode == FileMajor) {
        m_currentDataType = forward ? m_innerDataTypes.at(m_innerDataTypePos++)
                                    : m_innerDataTypes.at(--m_innerDataTypePos);
        return;
    }
    ensureDataTypes();
    m_mode = DataTypeMajor;
    m_lastDataType = forward ? m_dataTypes.at(m_dataTypePos++) : m_dataTypes.at(--m_dataTypePos);
    m_hasLastDataType = true;
    m_currentDataType = m_lastDataType;
    m_innerFiles = m_byDataType.value(m_lastDataType).values();
    m_innerFilePos = 0;
}

AudioFile *AudioFileSelection::Iterator::nextFile()
{
    stepFile(true);
    return m_currentFile;
}

AudioFile *AudioFileSelection::Iterator::previousFile()
{
    stepFile(false);
    return m_currentFile;
}

ModelDataType AudioFileSelection::Iterator::nextDataType()
{
    stepDataType(true);
    return m_currentDataType;
}

ModelDataType AudioFileSelection::Iterator::previousDataType()
{
    stepDataType(false);
    return m_currentDataType;
}

void AudioFileSelection::Iterator::toFront()
{
    m_mode = NotStarted;
    m_filePos = 0;
    m_dataTypePos = 0;
}

void AudioFileSelection::Iterator::toBack()
{
    m_mode = NotStarted;
    ensureFiles();
    ensureDataTypes();
    m_filePos = int(m_files.size());
    m_dataTypePos = int(m_dataTypes.size());
}

QSet<AudioFile *> AudioFileSelection::Iterator::files() const
{
    if (m_mode == DataTypeMajor)
        return m_hasLastDataType ? m_byDataType.value(m_lastDataType) : QSet<AudioFile *>();
    const auto &map = m_selection->m_dataTypesByFile;
    return QSet<AudioFile *>(map.keyBegin(), map.keyEnd());
}

QSet<ModelDataType> AudioFileSelection::Iterator::dataTypes() const
{
    if (m_mode == FileMajor)
        return m_hasLastFile ? m_byFile.value(m_lastFile) : QSet<ModelDataType>();
    const auto &map = m_selection->m_filesByDataType;
    return QSet<ModelDataType>(map.keyBegin(), map.keyEnd());
}
