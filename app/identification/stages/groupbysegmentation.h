#pragma once

#include <QList>
#include <QString>

#include "app/identification/idtracknumbers.h"

class IdAudioFile;
class IdDefaultGroup;
class IdGroup;
class QObject;

// Stage 2: finds the word runs repeated across the strings of a folder's files (default
// groups, likely artist or album) and the number words that count up from file to file
// (track-number groups). The words of every accepted group point at it. Every group is a
// child of the parent; the result holds the default groups, then the track-number groups.
QList<IdGroup *> groupBySegmentation(const QList<IdAudioFile *> &files, QObject *parent);

QList<IdGroup *> groupDefaultGroupsOfKind(const QList<IdAudioFile *> &files, int kind, QObject *parent);
// Reads the rows forwards, then backwards for the runs that end strings.
QList<IdGroup *> findDefaultGroups(const IdWordTable &table, int fileCount, bool groupedPrefixRequired,
                                   QObject *parent);
QList<IdGroup *> growDefaultGroups(const IdWordTable &table, int fileCount, bool groupedPrefixRequired,
                                   QObject *parent);
// The rows, ascending, whose ungrouped word at the column has the text's key; with the
// prefix required, only rows whose words before the column are all grouped.
QList<int> matchingRows(const IdWordTable &table, int column, const QString &text, bool groupedPrefixRequired);
// Of the rows, the largest set whose ungrouped words at the column share a key and follow
// the word before them in their string; the smaller key on a tie.
QList<int> largestRowBucket(const IdWordTable &table, const QList<int> &rows, int column, bool skipCommonWords);
// Keeps the entries of the continuing rows and gives each the word at the column.
void extendDefaultGroup(IdDefaultGroup *group, const IdWordTable &table, const QList<int> &rows,
                        const QList<int> &continuingRows, int column);

// One run of a default group's word positions, cut at dashes and short hyphenations.
struct IdGroupingSplitEntry {
    IdGroupingSplitEntry() = default;
    IdGroupingSplitEntry(IdDefaultGroup *group, const QString &key, int start, int length)
        : group(group), key(key), start(start), length(length)
    {
    }
    IdDefaultGroup *group = nullptr; // not owned
    QString key;
    int start = 0;
    int length = 0;
    bool cutAfter = false;
};

// Drops the entries of files that belong to a much larger track-number group, and the
// groups left empty.
QList<IdGroup *> pruneDefaultGroups(QList<IdGroup *> groups);
// Cuts groups where a run of their words is found elsewhere between other neighbours; the
// parts replace them at the end of the list.
QList<IdGroup *> splitDefaultGroups(QList<IdGroup *> groups, QObject *parent);
