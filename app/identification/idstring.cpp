#include "app/identification/idstring.h"

#include "app/identification/idsection.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idword.h"

IdString::IdString(const QString &text, IdStringList *list) : m_text(text), m_list(list)
{
    buildSections();
}

IdString::~IdString()
{
    qDeleteAll(m_sections);
}

void IdString::setSectionBreaks(quint32 mask)
{
    if (mask == m_sectionBreaks)
        return;
    m_sectionBreaks = mask;
    buildSections();
}

QList<IdWord *> IdString::words() const
{
    QList<IdWord *> result;
    for (const IdSection *section : m_sections)
        result.append(section->words());
    return result;
}

QList<IdSection *> IdString::sectionsWithWords() const
{
    QList<IdSection *> result;
    for (IdSection *section : m_sections) {
        if (section->hasWords())
            result.append(section);
    }
    return result;
}

QList<IdWord *> IdString::realWords() const
{
    QList<IdWord *> result;
    for (const IdSection *section : m_sections)
        result.append(section->realWords());
    return result;
}

QString IdString::textOfWordRange(int from, int to) const
{
    const QList<IdWord *> all = words();
    const auto carries = [](const IdWord *word, int index) {
        return word->kind() == IdWordKind::Word && word->stringIndex == index;
    };
    const auto first = std::find_if(all.cbegin(), all.cend(), [&](const IdWord *w) { return carries(w, from); });
    if (first == all.cend())
        return {};
    if (to < from && std::any_of(all.cbegin(), all.cend(), [&](const IdWord *w) { return carries(w, to); }))
        return {};
    QString result;
    for (auto it = first; it != all.cend(); ++it) {
        result += (*it)->text();
        if (carries(*it, to))
            break;
    }
    return result;
}

void IdString::updateText()
{
    m_text.clear();
    for (const IdSection *section : m_sections)
        m_text += section->text();
    renumber();
}

void IdString::renumber()
{
    int next = 0;
    for (int i = 0; i < m_sections.size(); ++i) {
        IdSection *section = m_sections.at(i);
        section->index = i;
        for (IdWord *word : section->words())
            word->stringIndex = word->kind() == IdWordKind::Word ? next++ : -1;
    }
}

int IdString::indexInList() const
{
    return m_list ? int(m_list->strings().indexOf(const_cast<IdString *>(this))) : -1;
}

IdAudioFile *IdString::audioFile() const
{
    return m_list ? m_list->audioFile() : nullptr;
}

void IdString::buildSections()
{
    QList<IdWord *> words;
    if (m_sections.isEmpty()) {
        words = splitIntoIdWords(m_text);
        analyseSectionBreaks(words);
    } else {
        for (IdSection *section : m_sections)
            words.append(section->takeWords());
        qDeleteAll(m_sections);
        m_sections.clear();
    }
    qsizetype start = 0;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words.at(i)->breakFlags & m_sectionBreaks) {
            m_sections.append(new IdSection(words.mid(start, i - start + 1), this));
            start = i + 1;
        }
    }
    if (start < words.size())
        m_sections.append(new IdSection(words.mid(start), this));
    renumber();
}
