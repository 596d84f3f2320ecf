#pragma once

#include <QList>

class IdGroup;
struct IdScoringContext;

// Two scoring steps that decide what the folder names and the parts of the file base name
// hold.

// Compares the words of up to three folder levels with the file's other texts and gives the
// level that holds the artist and the one that holds the album a lift; the levels above lose.
void applyFolderLevelEvidence(IdScoringContext &context);

// Marks every part of the file base name with the field it most likely holds. The first pass
// records the file's field order in its track-number group; the second aligns the file name
// with the order most files of that group agree on.
void alignBaseNameFields(IdScoringContext &context);

// The field order that clearly dominates the group's recorded patterns; empty when there are
// fewer than two patterns or none stands out.
QList<int> dominantFieldPattern(const IdGroup *group);
