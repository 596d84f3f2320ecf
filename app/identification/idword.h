#pragma once

#include <QList>
#include <QString>

#include "libcore/text/codepoint.h"

class IdAudioFile;
class IdGroup;
class IdSection;
class IdString;
class IdStringList;

// What a word of an identification string is.
struct IdWordKind {
    enum : int {
        Word = 0,      // a run of letters or of numbers
        Separator = 1, // one code point that is neither a letter nor a number, nor a dash
        Dash = 2,      // one code point of dash punctuation
    };
};

// One token of an identification string. A word belongs to the section that holds it; the
// fields after the text are the marks the stages leave on it.
class IdWord
{
public:
    explicit IdWord(const QString &text);
    IdWord(const IdWord &) = delete;
    IdWord &operator=(const IdWord &) = delete;

    const QString &text() const { return m_text; }
    int kind() const { return m_kind; }
    // Changes the text and its kind and updates the section's and the string's texts; the
    // string is not cut again and no break reasons are computed.
    void setText(const QString &text);
    // U+0000 for an empty text.
    CodePoint firstCodePoint() const;

    IdSection *section() const { return m_section; }
    IdString *string() const;
    IdStringList *stringList() const;
    IdAudioFile *audioFile() const;

    IdGroup *group = nullptr;   // not owned
    int sectionIndex = -1;      // among the Word-kind words of the section; -1 for others
    int stringIndex = -1;       // among the Word-kind words of the string; -1 for others
    quint32 breakFlags = 0;     // IdSectionBreak reasons to end a section after this word
    quint32 boundary = 0;       // segment boundary marks
    int category = 1;           // word category
    int groupSize = 1;          // size of the grouped value the word belongs to

private:
    friend class IdSection;
    void updateKind();

    QString m_text;
    int m_kind = IdWordKind::Word;
    IdSection *m_section = nullptr;
};

// Cuts a text into words: runs of letters, runs of numbers, and every other code point alone.
// The caller owns the words.
QList<IdWord *> splitIntoIdWords(const QString &text);
