#include "app/search/searchresult.h"

#include <algorithm>

#include "app/search/searchscope.h"

SearchResultEntry::SearchResultEntry(AudioFile *file, const ModelDataType &dataType, const QString &text,
                                     const QList<SearchMatch> &matches, QObject *parent)
    : QObject(parent), m_file(file), m_dataType(dataType), m_text(text), m_matches(matches)
{
}

SearchResult::SearchResult(IAudioFileModel *model, QObject *parent) : QObject(parent), m_cellsCache(model) {}

void SearchResult::addEntry(SearchResultEntry *entry)
{
    if (!entry)
        return;
    entry->setParent(this);
    m_entries.append(entry);
    m_cellsDirty = true;
}

void SearchResult::removeEntry(int index)
{
    if (index < 0 || index >= m_entries.size())
        return;
    delete m_entries.takeAt(index);
    m_cellsDirty = true;
}

void SearchResult::stepForward(bool wrap)
{
    const int last = count() - 1;
    // From no current entry the first step lands on the first entry.
    if (m_currentIndex < 0) {
        m_currentIndex = last >= 0 ? 0 : -1;
        return;
    }
    const int i = qMin(m_currentIndex, last);
    if (i < last)
        m_currentIndex = i + 1;
    else
        m_currentIndex = wrap ? 0 : last;
}

void SearchResult::stepBack(bool wrap)
{
    const int last = count() - 1;
    const int i = qMin(m_currentIndex, last);
    if (i > 0)
        m_currentIndex = i - 1;
    else
        m_currentIndex = wrap ? last : 0;
}

AudioFileSelection SearchResult::cells()
{
    if (m_cellsDirty) {
        m_cellsCache.clear();
        for (const SearchResultEntry *entry : std::as_const(m_entries))
            m_cellsCache.insertCell(entry->file(), entry->dataType());
        m_cellsDirty = false;
    }
    return m_cellsCache;
}

void SearchResult::updateForScope(const SearchScope &scope)
{
    SearchResultEntry *current = m_entries.value(m_currentIndex);
    if (!m_entries.isEmpty()) {
        QList<QPair<int, SearchResultEntry *>> keyed;
        keyed.reserve(m_entries.size());
        for (SearchResultEntry *entry : std::as_const(m_entries))
            keyed.append({scope.indexOf(entry), entry});
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        for (qsizetype i = 0; i < keyed.size(); ++i)
            m_entries[i] = keyed.at(i).second;
    }
    m_currentIndex = current ? int(m_entries.indexOf(current)) : -1;
}

void SearchResult::removeAudioFile(AudioFile *file)
{
    const qsizetype before = m_entries.size();
    int removedBeforeCurrent = 0;
    for (qsizetype i = m_entries.size() - 1; i >= 0; --i) {
        if (m_entries.at(i)->file() == file) {
            delete m_entries.takeAt(i);
            if (i < m_currentIndex)
                ++removedBeforeCurrent;
        }
    }
    if (m_entries.size() == before)
        return;
    m_cellsDirty = true;
    // The current entry stays current; when it was dropped, the one that took its place is.
    if (m_currentIndex >= 0)
        m_currentIndex = qMin(m_currentIndex - removedBeforeCurrent, int(m_entries.size()) - 1);
}
