#pragma once

#include "app/identification/idgroup.h"

// The words of one string that repeat a group's run; all of them belong to one string.
class IdDefaultGroupEntry : public IdGroupEntry
{
public:
    explicit IdDefaultGroupEntry(const QList<IdWord *> &words, QObject *parent = nullptr);

    // Refuses, and logs, a word of another string than the first word's.
    void addWord(IdWord *word);

    IdString *string() const override;
    QList<IdWord *> words() const override { return m_words; }

private:
    friend class IdDefaultGroup;
    QList<IdWord *> m_words; // not owned
};

// Equal runs of words, one entry per string; word i of every entry has the text of word i of
// the first, ignoring case.
class IdDefaultGroup : public IdGroup
{
public:
    explicit IdDefaultGroup(QObject *parent = nullptr);

    int kind() const override { return Default; }
    int entryCount() const override { return int(m_entries.size()); }
    IdGroupEntry *entry(int index) const override { return m_entries.at(index); }
    void assignWords(bool assign) override;
    // Drops the entry holding the word only when none of its words is a real word.
    void removeWord(IdWord *word) override;

    // Takes the entry over, then appends it when its words fit the first entry's; an entry
    // that does not fit is logged and stays a child until the group goes.
    void addEntry(IdDefaultGroupEntry *entry);
    void removeEntryAt(int index);
    void sortEntryWords();
    int wordCount() const;
    QString wordText(int position) const;

private:
    QList<IdDefaultGroupEntry *> m_entries;
};
