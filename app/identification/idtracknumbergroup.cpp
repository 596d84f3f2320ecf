#include "app/identification/idtracknumbergroup.h"

#include "app/identification/iddefaultgroup.h"
#include "app/identification/idsection.h"
#include "app/identification/idword.h"

#include <memory>

namespace {
// The category of a word that holds a disc number.
constexpr int DiscNumberCategory = 7;
}

IdTrackNumberGroupEntry::IdTrackNumberGroupEntry(IdWord *word, int number, QObject *parent)
    : IdGroupEntry(parent), word(word), number(number)
{
}

IdString *IdTrackNumberGroupEntry::string() const
{
    return word ? word->string() : nullptr;
}

IdTrackNumberGroup::IdTrackNumberGroup(QObject *parent) : IdGroup(parent)
{
}

void IdTrackNumberGroup::assignWords(bool assign)
{
    for (const IdTrackNumberGroupEntry *entry : std::as_const(m_entries)) {
        if (entry->word)
            entry->word->group = assign ? this : nullptr;
    }
}

void IdTrackNumberGroup::removeWord(IdWord *word)
{
    if (word->group != this)
        return;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i)->word == word) {
            delete m_entries.takeAt(i);
            return;
        }
    }
}

void IdTrackNumberGroup::addEntry(IdTrackNumberGroupEntry *entry)
{
    entry->setParent(this);
    m_entries.append(entry);
}

int IdTrackNumberGroup::highestNumber() const
{
    int highest = -1;
    for (const IdTrackNumberGroupEntry *entry : m_entries)
        highest = qMax(highest, entry->number);
    return highest;
}

IdDefaultGroup *IdTrackNumberGroup::discGroup(QObject *parent)
{
    if (disc <= 0)
        return nullptr;
    auto group = std::make_unique<IdDefaultGroup>();
    const QString discText = QString::number(disc);
    for (const IdTrackNumberGroupEntry *entry : std::as_const(m_entries)) {
        IdWord *word = entry->word;
        word->setText(QString::number(entry->number));
        IdSection *section = word->section();
        if (!section)
            continue;
        IdWord *discWord = section->insertWord(word->sectionIndex, discText);
        discWord->category = DiscNumberCategory;
        group->addEntry(new IdDefaultGroupEntry({discWord}));
    }
    if (group->entryCount() == 0)
        return nullptr;
    group->setParent(parent);
    return group.release();
}
