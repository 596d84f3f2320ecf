#pragma once

#include <QList>
#include <QString>

class IdAudioFile;
class IdSection;
class IdStringList;
class IdWord;

// One input text of a file cut into words, and the words cut into sections at the break
// reasons its mask selects. The string owns its sections.
class IdString
{
public:
    explicit IdString(const QString &text, IdStringList *list = nullptr);
    ~IdString();
    IdString(const IdString &) = delete;
    IdString &operator=(const IdString &) = delete;

    const QString &text() const { return m_text; }
    quint32 sectionBreaks() const { return m_sectionBreaks; }
    // Cuts the string again at the reasons of the mask; the same mask changes nothing.
    void setSectionBreaks(quint32 mask);

    const QList<IdSection *> &sections() const { return m_sections; }
    QList<IdWord *> words() const;
    QList<IdSection *> sectionsWithWords() const;
    QList<IdWord *> realWords() const;
    // The texts of the words from the word numbered `from` to the one numbered `to` in the
    // string, separators between them included; to runs to the end when no word has it.
    QString textOfWordRange(int from, int to) const;

    // After a section changed: the text again from the sections, and the numbering.
    void updateText();
    void renumber();

    IdStringList *stringList() const { return m_list; }
    int indexInList() const;
    IdAudioFile *audioFile() const;

private:
    void buildSections();

    QString m_text;
    quint32 m_sectionBreaks = 1;
    QList<IdSection *> m_sections;
    IdStringList *m_list = nullptr;
};
