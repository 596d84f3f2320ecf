#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "app/model/modeldatatype.h"
#include "app/operations/audiofileselection.h"
#include "app/search/searchpattern.h"

class AudioFile;
class IAudioFileModel;
class SearchScope;

// One matching cell: its file and data type, the text that was matched and where.
class SearchResultEntry : public QObject
{
    Q_OBJECT
public:
    SearchResultEntry(AudioFile *file, const ModelDataType &dataType, const QString &text,
                      const QList<SearchMatch> &matches, QObject *parent = nullptr);

    AudioFile *file() const { return m_file; }
    ModelDataType dataType() const { return m_dataType; }
    QString text() const { return m_text; }
    const QList<SearchMatch> &matches() const { return m_matches; }

private:
    AudioFile *m_file;
    ModelDataType m_dataType;
    QString m_text;
    QList<SearchMatch> m_matches;
};

// Every matching cell of a find all, in the scope's cell order, with the entry that find
// next and find previous reached last. The entries of a file are dropped when the store is
// about to delete it, so no entry outlives its file.
class SearchResult : public QObject
{
    Q_OBJECT
public:
    explicit SearchResult(IAudioFileModel *model, QObject *parent = nullptr);

    void addEntry(SearchResultEntry *entry);
    void removeEntry(int index);
    int count() const { return int(m_entries.size()); }
    SearchResultEntry *entry(int index) const { return m_entries.value(index); }
    const QList<SearchResultEntry *> &entries() const { return m_entries; }
    int currentIndex() const { return m_currentIndex; }
    // Where the next step starts; the find-and-replace dock sets it to the row the user picked.
    void setCurrentIndex(int index) { m_currentIndex = index; }

    void stepForward(bool wrap);
    void stepBack(bool wrap);
    // The cells of all entries, gathered again after the entries changed.
    AudioFileSelection cells();
    const AudioFileSelection &cellsCache() const { return m_cellsCache; }
    bool cellsDirty() const { return m_cellsDirty; }
    // Re-sorts the entries by their cells' places in the scope's grid; cells that left the
    // grid come first. The current entry stays current.
    void updateForScope(const SearchScope &scope);

    // Drops the entries of a file (the store is about to delete it).
    void removeAudioFile(AudioFile *file);

private:
    QList<SearchResultEntry *> m_entries;
    int m_currentIndex = -1;
    AudioFileSelection m_cellsCache;
    bool m_cellsDirty = false;
};
