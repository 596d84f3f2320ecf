#pragma once

#include <QHash>
#include <QList>
#include <QSet>

#include "app/model/modeldatatype.h"

class AudioFile;
class IAudioFileModel;

// A set of table cells, each a pair (audio file, data type), independent of rows and
// columns: it stays valid while the table is sorted or its columns change. Kept twice,
// by file and by data type, so that both questions are hash lookups. Copies share both
// maps until one of them changes. Walks run in hash order, never in table order.
class AudioFileSelection
{
public:
    class Iterator;

    explicit AudioFileSelection(IAudioFileModel *model = nullptr);

    IAudioFileModel *model() const { return m_model; }
    const QHash<AudioFile *, QSet<ModelDataType>> &dataTypesByFile() const { return m_dataTypesByFile; }
    const QHash<ModelDataType, QSet<AudioFile *>> &filesByDataType() const { return m_filesByDataType; }

    bool isEmpty() const { return m_dataTypesByFile.isEmpty() && m_filesByDataType.isEmpty(); }
    bool contains(AudioFile *file, const ModelDataType &dataType) const;
    // The number of cells.
    qsizetype cellCount() const;

    // Adds the cross product of the files and data types; nothing when either is empty.
    void insert(const QList<AudioFile *> &files, const QList<ModelDataType> &dataTypes);
    void insertCell(AudioFile *file, const ModelDataType &dataType);
    // The set operations keep this selection's model.
    AudioFileSelection &unite(const AudioFileSelection &other);
    AudioFileSelection &intersect(const AudioFileSelection &other);
    AudioFileSelection &subtract(const AudioFileSelection &other);
    void clear();
    void removeAudioFile(AudioFile *file);
    void removeDataType(const ModelDataType &dataType);

    // The same cells (the models are not compared).
    bool operator==(const AudioFileSelection &other) const;
    bool operator!=(const AudioFileSelection &other) const { return !(*this == other); }

private:
    IAudioFileModel *m_model = nullptr;
    QHash<AudioFile *, QSet<ModelDataType>> m_dataTypesByFile;
    QHash<ModelDataType, QSet<AudioFile *>> m_filesByDataType;
};

// Walks a selection file by file (for each file its data types) or data type by data type
// (for each data type its files); the first step chooses. It walks copies of the maps taken
// when it was made, so changing the selection meanwhile does not disturb the walk.
//
//     AudioFileSelection::Iterator it(selection);
//     while (it.hasNextFile()) {
//         AudioFile *file = it.nextFile();
//         while (it.hasNextDataType())
//             handle(file, it.nextDataType());
//     }
class AudioFileSelection::Iterator
{
public:
    explicit Iterator(const AudioFileSelection &selection);
    // Starts over on another selection.
    Iterator &operator=(const AudioFileSelection &selection);

    bool hasNextFile() const;
    AudioFile *nextFile();
    bool hasPreviousFile() const;
    AudioFile *previousFile();
    bool hasNextDataType() const;
    ModelDataType nextDataType();
    bool hasPreviousDataType() const;
    ModelDataType previousDataType();

    void toFront();
    void toBack();

    // Walking by file: the data types of the current file; otherwise all files of the selection.
    QSet<AudioFile *> files() const;
    QSet<ModelDataType> dataTypes() const;

    AudioFile *currentFile() const { return m_currentFile; }
    ModelDataType currentDataType() const { return m_currentDataType; }

private:
    enum Mode { NotStarted = 0, FileMajor = 1, DataTypeMajor = 2 };

    // The outer key lists are made on first use, in the maps' order.
    void ensureFiles() const;
    void ensureDataTypes() const;
    void stepFile(bool forward);
    void stepDataType(bool forward);

    const AudioFileSelection *m_selection = nullptr;
    int m_mode = NotStarted;
    AudioFile *m_currentFile = nullptr;
    ModelDataType m_currentDataType;

    QHash<AudioFile *, QSet<ModelDataType>> m_byFile;
    QHash<ModelDataType, QSet<AudioFile *>> m_byDataType;
    // Cursors stand between elements: position p is before element p.
    mutable QList<AudioFile *> m_files;
    mutable bool m_filesMade = false;
    int m_filePos = 0;
    AudioFile *m_lastFile = nullptr;
    bool m_hasLastFile = false;
    mutable QList<ModelDataType> m_dataTypes;
    mutable bool m_dataTypesMade = false;
    int m_dataTypePos = 0;
    ModelDataType m_lastDataType;
    bool m_hasLastDataType = false;

    QList<ModelDataType> m_innerDataTypes;
    int m_innerDataTypePos = 0;
    QList<AudioFile *> m_innerFiles;
    int m_innerFilePos = 0;
};
