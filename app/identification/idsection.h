#pragma once

#include <QList>
#include <QString>

class IdAudioFile;
class IdString;
class IdWord;

// Reasons for ending a section after a word, kept in IdWord::breakFlags; a string's mask
// selects the ones that cut it.
struct IdSectionBreak {
    enum : quint32 {
        DashBreak = 1,              // a dash separates fields
        NumberBreak = 2,            // a number from 1 to 1899 stands apart
        LeadingNumberBreak = 4,     // such a number before any word (a track number)
        BracketedNumberBreak = 8,   // brackets that hold only numbers
        YearRange = 16,             // the dash of a year range
        ShortHyphenation = 32,      // a hyphen inside a name
        CommonWordHyphenation = 64, // a hyphen joined to a common word
    };
};

// The cut of the early stages, which compare strings section by section: dashes and numbers.
constexpr quint32 DashAndNumberBreaks = IdSectionBreak::DashBreak | IdSectionBreak::NumberBreak;

// A run of words of an identification string: a candidate for one value. The section owns
// its words.
class IdSection
{
public:
    // Takes the words over.
    IdSection(const QList<IdWord *> &words, IdString *string);
    ~IdSection();
    IdSection(const IdSection &) = delete;
    IdSection &operator=(const IdSection &) = delete;

    const QString &text() const { return m_text; }
    const QList<IdWord *> &words() const { return m_words; }
    bool hasWords() const { return m_hasWords; }
    QList<IdWord *> realWords() const;
    IdString *string() const { return m_string; }
    IdAudioFile *audioFile() const;

    // Replaces every word by the words of the text; they carry no break reasons and the
    // string is not cut again. The same text changes nothing.
    void setText(const QString &text);
    // Replaces the text between the section's leading and trailing blanks by the text
    // trimmed, so that a rewritten name stays apart from its neighbours.
    void setTextKeepingBlanks(const QString &text);
    // A new word before the word of that section index, or at the end when no word has it.
    IdWord *insertWord(int sectionIndex, const QString &text);
    void updateText();
    void updateHasWords();
    void renumberWords();

    int index = -1;      // position in the string's sections
    bool marked = false; // the text recurs in many strings of a group of files

private:
    friend class IdString;
    // Hands the words back to the string that cuts itself again.
    QList<IdWord *> takeWords();
    void adopt(IdWord *word);

    QString m_text;
    QList<IdWord *> m_words;
    bool m_hasWords = false;
    IdString *m_string = nullptr;
};

// Writes the break reasons of every word of a whole string, in order, before it is cut.
void analyseSectionBreaks(const QList<IdWord *> &words);
// The code point length of words first to last without the non-words at both ends; -1 for
// an empty range or one whose words are all decimal numbers.
int rangeTextLength(const QList<IdWord *> &words, int first, int last);
