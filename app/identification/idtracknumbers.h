#pragma once

#include <QList>
#include <QMap>

#include "app/identification/idtable.h"

class IdAudioFile;
class IdGroup;
class IdSection;
class IdString;
class IdTrackNumberGroup;
class IdWord;
class QObject;

// A word that may be a track number, and the number it reads as.
struct IdNumberCandidate {
    IdWord *word = nullptr;
    int number = -1;
    bool operator==(const IdNumberCandidate &other) const = default;
};

using IdWordTable = IdTable<IdWord *>;
using IdSectionTable = IdTable<IdSection *>;

// Candidate picks, in row order. Rows of a word table hold the real words of one string.
QList<IdNumberCandidate> firstNumberCandidates(const IdWordTable &table);
QList<IdNumberCandidate> lastNumberCandidates(const IdWordTable &table);
// The number after a track word ("Track 7", "Track No 7").
QList<IdNumberCandidate> numbersAfterTrackWords(const IdWordTable &table);
// Every number that does not follow another one ("1 of 12" gives 1).
QList<IdNumberCandidate> isolatedNumberCandidates(const IdWordTable &table);
// Sections that are a single number.
QList<IdNumberCandidate> singleNumberSectionCandidates(const IdSectionTable &table);
// The first word of every section, when it is a number.
QList<IdNumberCandidate> sectionStartNumberCandidates(const QList<IdSection *> &sections);

// The value whose count is more than half the total and more than twice any other's; -1
// when there is none.
int dominantValue(const QMap<int, int> &counts, int total);
// The candidates that look like a track sequence: one per number, nearly all picked without
// doubt, about as many as the numbers span; empty otherwise.
QList<IdNumberCandidate> chooseNumberSequence(QList<IdNumberCandidate> candidates);
// Groups of the sequence found among the candidates as they are, then per disc (numbers
// above 100 read as disc and track). Their words point at them and their files are marked.
QList<IdTrackNumberGroup *> buildTrackNumberGroups(QList<IdNumberCandidate> candidates, QObject *parent);

// The search for track-number groups among the strings of one kind, column by column.
QList<IdTrackNumberGroup *> findTrackNumberGroups(const IdWordTable &table, QObject *parent);
QList<IdTrackNumberGroup *> findAllTrackNumberGroups(const IdWordTable &table, QObject *parent);
QList<IdTrackNumberGroup *> findTrackNumberGroupsPerDefaultGroup(const IdWordTable &table,
                                                                 const QList<IdGroup *> &defaultGroups,
                                                                 QObject *parent);
QList<IdTrackNumberGroup *> findTrackNumberGroupsOfUngroupedFiles(const IdWordTable &table, QObject *parent);
QList<IdTrackNumberGroup *> chooseTrackNumberGrouping(const IdWordTable &table, const QList<IdGroup *> &defaultGroups,
                                                      QObject *parent);
QList<IdTrackNumberGroup *> findTrackNumberGroupsIteratively(const IdWordTable &table,
                                                             const QList<IdGroup *> &defaultGroups, QObject *parent);
QList<IdTrackNumberGroup *> findTrackNumberGroupsOfKind(const QList<IdAudioFile *> &files, int kind,
                                                        const QList<IdGroup *> &defaultGroups, QObject *parent);
// A row per file that has strings of the kind, holding them.
IdTable<IdString *> stringTableOfKind(const QList<IdAudioFile *> &files, int kind);
// The rows with only the words of files not yet in a track-number group; empty rows dropped.
IdWordTable ungroupedFileRows(const IdWordTable &table);
void setGroupsAssigned(const QList<IdTrackNumberGroup *> &groups, bool assign);
// A number that continues a track-number group adds its string to the default groups of the
// group's files where the string holds their words; true when any group grew.
bool extendDefaultGroupsByNumber(IdWord *word, int number, IdTrackNumberGroup *group);
bool extendDefaultGroupsByNumbers(const QList<IdNumberCandidate> &candidates,
                                  const QList<IdTrackNumberGroup *> &groups);
bool extendGroupsByNumberCandidates(const IdWordTable &table, const QList<IdTrackNumberGroup *> &groups);
