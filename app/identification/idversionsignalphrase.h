#pragma once

#include <QList>
#include <QString>

class IdWord;

// One row of the version phrase table: a phrase that signals a version of a recording (a
// remix, a live take, a featured artist), with where its own text stands.
class IdVersionSignalPhrase
{
public:
    enum Extension { NoExtension = 0, WordsBefore = 2, WordsAfter = 3 };

    IdVersionSignalPhrase(int kind, const QString &phrase, int extension, bool bracketsOnly, int field);
    ~IdVersionSignalPhrase();
    IdVersionSignalPhrase(const IdVersionSignalPhrase &) = delete;
    IdVersionSignalPhrase &operator=(const IdVersionSignalPhrase &) = delete;

    // The index of the last word of a match of the phrase that begins at `start`, or -1.
    // Separators of the text the phrase lacks are passed over.
    int matchAt(const QList<IdWord *> &words, int start) const;

    int kind;
    QList<IdWord *> words; // owned
    int extension;
    bool bracketsOnly;
    int field; // the identification field the phrase is limited to; 0 for every field
};

// The process-wide phrase table, read from the application's package on first use. A table
// that cannot be read is logged once and stays as far as it was read.
const QList<IdVersionSignalPhrase *> &loadVersionPhrases();
// Reads a phrase table: UTF-8, a header line, then lines of five TAB-separated columns (kind,
// phrase, extension, "true" for brackets only, field); other lines are skipped. Appends the
// phrases to `phrases`; throws when the file cannot be read.
void readVersionPhrases(const QString &path, QList<IdVersionSignalPhrase *> &phrases);
