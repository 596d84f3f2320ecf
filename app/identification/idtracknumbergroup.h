#pragma once

#include "app/identification/idgroup.h"

class IdDefaultGroup;

// One file's track-number word and the number it stands for.
class IdTrackNumberGroupEntry : public IdGroupEntry
{
public:
    IdTrackNumberGroupEntry(IdWord *word, int number, QObject *parent = nullptr);

    IdString *string() const override;
    QList<IdWord *> words() const override { return {word}; }

    IdWord *word; // not owned
    int number;
};

// The number words that form a track-number sequence, one per file.
class IdTrackNumberGroup : public IdGroup
{
public:
    explicit IdTrackNumberGroup(QObject *parent = nullptr);

    int kind() const override { return TrackNumber; }
    int entryCount() const override { return int(m_entries.size()); }
    IdGroupEntry *entry(int index) const override { return m_entries.at(index); }
    void assignWords(bool assign) override;
    // Deletes the first entry of the word when the word belongs to this group.
    void removeWord(IdWord *word) override;

    void addEntry(IdTrackNumberGroupEntry *entry);
    // -1 without entries.
    int highestNumber() const;
    // For a group of disc-and-track numbers ("203"): rewrites every word to its track number,
    // puts the disc number in a new word before it, and returns a group of those disc words
    // under the parent; null when the group has no disc.
    IdDefaultGroup *discGroup(QObject *parent);

    int disc = -1;

private:
    QList<IdTrackNumberGroupEntry *> m_entries;
};
