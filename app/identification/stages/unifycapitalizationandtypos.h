#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "app/identification/idtable.h"

class IdAudioFile;
class IdSection;
class LinearProgressObject;

// The sections whose lower-cased texts are equal. A plain value, kept in a map while one
// table is unified.
class IdCapsAndTypoEntry
{
public:
    // A section of a folder name counts once per folder level.
    void add(IdSection *section);
    int count() const;

    QList<IdSection *> sections; // not owned
    QList<bool> counted;
    QList<int> folderLevels;
};

// Stage 1: texts that recur across a folder's files get the capitalisation most of them use,
// and a rare variant similar to a clearly more frequent text is replaced by it.
void unifyCapitalizationAndTypos(const QList<IdAudioFile *> &files, LinearProgressObject *progress = nullptr);
void unifyCapitalizationForKind(const QList<IdAudioFile *> &files, int kind, LinearProgressObject *progress = nullptr);
// Unifies the sections at one index of every row, or every section of the table for -1.
void unifyCapitalizationAndTyposInColumn(const IdTable<IdSection *> &table, int column);
// The capitalisation most texts use, letter by letter (upper case on a tie); a null text when
// the texts differ other than in case, the first text when they differ in length.
QString majorityCaseText(const QStringList &texts);
