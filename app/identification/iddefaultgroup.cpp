#include "app/identification/iddefaultgroup.h"
#include "app/identification/identificationtextids.h"

#include "app/identification/idstring.h"
#include "app/identification/idword.h"
#include "libcore/log/logger.h"
#include "libcore/text/textmatching.h"

namespace {
QString stringText(const IdWord *word)
{
    const IdString *string = word->string();
    return string ? string->text() : QString();
}
} // namespace

IdDefaultGroupEntry::IdDefaultGroupEntry(const QList<IdWord *> &words, QObject *parent) : IdGroupEntry(parent)
{
    for (IdWord *word : words)
        addWord(word);
}

void IdDefaultGroupEntry::addWord(IdWord *word)
{
    if (!m_words.isEmpty() && word->string() != m_words.first()->string()) {
        Logger::error(GroupEntryStringTextId, {stringText(word), stringText(m_words.first())});
        return;
    }
    m_words.append(word);
}

IdString *IdDefaultGroupEntry::string() const
{
    return m_words.isEmpty() ? nullptr : m_words.first()->string();
}

IdDefaultGroup::IdDefaultGroup(QObject *parent) : IdGroup(parent)
{
}

void IdDefaultGroup::assignWords(bool assign)
{
    for (const IdDefaultGroupEntry *entry : std::as_const(m_entries)) {
        for (IdWord *word : entry->m_words)
            word->group = assign ? this : nullptr;
    }
}

void IdDefaultGroup::removeWord(IdWord *word)
{
    if (word->group != this)
        return;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const QList<IdWord *> &words = m_entries.at(i)->m_words;
        if (!words.contains(word))
            continue;
        const bool realWord = std::any_of(words.cbegin(), words.cend(),
                                          [](const IdWord *w) { return w->kind() == IdWordKind::Word; });
        if (!realWord)
            removeEntryAt(int(i));
        return;
    }
}

void IdDefaultGroup::addEntry(IdDefaultGroupEntry *entry)
{
    entry->setParent(this);
    if (m_entries.isEmpty()) {
        m_entries.append(entry);
        return;
    }
    const QList<IdWord *> &words = entry->m_words;
    const QList<IdWord *> &first = m_entries.first()->m_words;
    if (words.size() != first.size()) {
        Logger::error(GroupEntryLengthTextId, {int(words.size()), int(first.size())});
        return;
    }
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (!equalStrings(words.at(i)->text(), first.at(i)->text(), Qt::CaseInsensitive)) {
            Logger::error(GroupEntryWordTextId, {words.at(i)->text(), first.at(i)->text()});
            return;
        }
    }
    m_entries.append(entry);
}

void IdDefaultGroup::removeEntryAt(int index)
{
    if (index < 0 || index >= m_entries.size())
        return;
    delete m_entries.takeAt(index);
}

void IdDefaultGroup::sortEntryWords()
{
    for (IdDefaultGroupEntry *entry : std::as_const(m_entries)) {
        std::stable_sort(entry->m_words.begin(), entry->m_words.end(),
                         [](const IdWord *a, const IdWord *b) { return a->stringIndex < b->stringIndex; });
    }
}

int IdDefaultGroup::wordCount() const
{
    return m_entries.isEmpty() ? 0 : int(m_entries.first()->m_words.size());
}

QString IdDefaultGroup::wordText(int position) const
{
    if (m_entries.isEmpty() || position < 0 || position >= m_entries.first()->m_words.size())
        return {};
    return m_entries.first()->m_words.at(position)->text();
}
