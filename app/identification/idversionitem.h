#pragma once

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

class IdWord;

// The version phrases found in a run of words (a segment, or bracketed text of a string): the
// version kinds, the text that goes with each (a remixer, a featured artist), and what is left.
// A plain value: the segment that owns one keeps it as a member.
class IdVersionItem
{
public:
    explicit IdVersionItem(const QList<IdWord *> &words);
    // For a run of words that stands for one identification field; phrases limited to
    // another field are not looked for.
    IdVersionItem(const QList<IdWord *> &words, int field);

    // Analyses the words again, with the bracket restriction lifted for the allowed kinds.
    void analyse(const QSet<int> &allowedKinds);
    // Analyses again when the set differs from the current one.
    void setAllowedKinds(const QSet<int> &allowedKinds);

    const QList<IdWord *> &words() const { return m_words; }
    QString text() const { return m_text; }
    QString remainderText() const { return m_remainderText; }
    QSet<int> kinds() const { return m_kinds; }
    bool containsKind(int kind) const { return m_kinds.contains(kind); }
    // A null text when the kind has none.
    QString textForKind(int kind) const { return m_texts.value(kind); }
    const QMap<int, QString> &texts() const { return m_texts; }
    QSet<int> allowedKinds() const { return m_allowedKinds; }
    bool hasField() const { return m_hasField; }
    int field() const { return m_field; }
    bool hasOtherWords() const { return m_hasOtherWords; }
    bool hasVersion() const { return m_hasVersion; }
    // 3 (title) or 1 (artist) once a phrase was found, else 0.
    int suggestedField() const { return m_suggestedField; }
    bool isEmpty() const { return m_kinds.isEmpty(); }

private:
    void setUp(const QList<IdWord *> &words);

    QList<IdWord *> m_words; // not owned
    QString m_text;
    QString m_remainderText;
    QSet<int> m_kinds;
    QMap<int, QString> m_texts;
    QSet<int> m_allowedKinds;
    bool m_hasField = false;
    bool m_hasOtherWords = false;
    int m_field = 0;
    bool m_hasVersion = false;
    int m_suggestedField = 0;
};
