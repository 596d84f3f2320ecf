#pragma once

#include <QBitArray>
#include <QHash>
#include <QList>

#include "app/model/modeldatatype.h"
#include "app/operations/audiofileselection.h"

class AudioFile;
class IAudioFileModel;
class SearchResultEntry;

// Which table cells a search visits, laid out as a grid of the table's current rows and
// columns (displayed rows first, then loaded files that are not displayed), and the cursor
// that steps through them in reading order. Rebuilt by update() whenever the table changes;
// the cursor index is kept across updates.
class SearchScope
{
public:
    enum Mode : int {
        NothingMode = 0,
        AllFilesMode = 1,
        DisplayedFilesMode = 2,
        SelectedFilesMode = 3,
        SelectedCellsMode = 4,
    };

    explicit SearchScope(IAudioFileModel *model = nullptr);

    // An empty data-type list means every column of the table.
    void setAllFiles(const QList<ModelDataType> &dataTypes);
    void setDisplayedFiles(const QList<ModelDataType> &dataTypes);
    // The selection's files crossed with the data types (the selection's own data types
    // are not used).
    void setSelectionColumns(const AudioFileSelection &selection, const QList<ModelDataType> &dataTypes);
    void setSelection(const AudioFileSelection &selection);
    void clear();
    void update();

    int mode() const { return m_mode; }
    const QList<ModelDataType> &dataTypes() const { return m_dataTypes; }
    const AudioFileSelection &selection() const { return m_selection; }
    IAudioFileModel *model() const { return m_selection.model(); }

    int position() const { return m_position; }
    void setPosition(int position) { m_position = position; }
    // The grid's rows and columns by file and data type.
    const QHash<AudioFile *, int> &fileRows() const { return m_fileRows; }
    const QHash<ModelDataType, int> &columnIndexes() const { return m_columnIndexes; }
    // The number of grid cells; the cursor runs from -1 to this.
    int cellCount() const { return int(m_candidates.size()); }

    bool hasNext() const;
    void next();
    bool hasPrevious() const;
    void previous();

    AudioFile *currentFile() const;
    ModelDataType currentDataType() const;
    // The cell's value as display text, whole and with its line feeds.
    QString currentText() const;
    qint64 currentNumber(bool *ok) const;

    int indexOf(AudioFile *file, const ModelDataType &dataType) const;
    int indexOf(const SearchResultEntry *entry) const;
    // Moves the cursor to the cell when it is in the grid; returns its index or -1.
    int setPosition(AudioFile *file, const ModelDataType &dataType);

    // The text and number of any cell, by the rules of currentText() and currentNumber().
    static QString cellText(IAudioFileModel *model, AudioFile *file, const ModelDataType &dataType);
    static qint64 cellNumber(IAudioFileModel *model, AudioFile *file, const ModelDataType &dataType, bool *ok);

    // Forgets a file that is about to be deleted.
    void removeAudioFile(AudioFile *file);

private:
    bool isCurrentCandidate() const;
    int nextCandidate(int from) const;
    int previousCandidate(int from) const;

    int m_mode = NothingMode;
    QList<ModelDataType> m_dataTypes;
    AudioFileSelection m_selection;
    int m_position = -1;
    QList<AudioFile *> m_files;
    QHash<AudioFile *, int> m_fileRows;
    QList<ModelDataType> m_columns;
    QHash<ModelDataType, int> m_columnIndexes;
    QBitArray m_candidates;
};
