#pragma once

#include <QList>

class IdAudioFile;
class IdGroup;
class IdString;
class IdTrackNumberGroup;

// Stage 3: marks where segments must end and what kind of phrase words belong to (track and
// disc numbers, years, web addresses, number lists, placeholders), then cuts every string
// of every file into segments. No text changes.
void normalizeIdStrings(const QList<IdAudioFile *> &files, const QList<IdGroup *> &groups);

// Steps that look at one string.
void markNumberPhrases(IdString *string, bool isTrack);
void splitFileNameAtTagValue(IdString *string);
void markYears(IdString *string);
void markBracketedNumberLists(IdString *string);
void markWebAddresses(IdString *string);
void markInvalidPhrases(IdString *string);
void markSectionEnds(IdString *string);
void markCategoryChanges(IdString *string);

// Steps that look across strings.
void markGroupEntryBoundaries(const QList<IdGroup *> &groups);
void splitTrackGroupStrings(const QList<IdGroup *> &groups);
void splitAtSharedSeparators(IdTrackNumberGroup *group, int kind);
// The file's track number, -1 when it has none or two.
int trackNumberOf(const IdAudioFile *file);
void splitAtRepeatedSections(IdAudioFile *file);
void createSegments(IdAudioFile *file);
