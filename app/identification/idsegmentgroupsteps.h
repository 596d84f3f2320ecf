#pragma once

class IdAudioFile;
class IdSegmentGroup;
struct IdScoringContext;

// The scoring steps that work on a file's segment groups rather than on single segments.

// Gathers the file's segments into groups afresh: base name first, then the folder names
// (nearest last), then the tag values.
void buildSegmentGroups(IdScoringContext &context);
// Puts the file's segments of one source kind into the groups made so far, or into new ones.
void groupSegmentsOfKind(IdAudioFile *file, int kind, bool inOrder);
// A title score 0 or more, or a small group of file-name words that reads like a title.
bool isTitleLike(IdSegmentGroup *group);

// Gives the title bonus to the least shared group that may be the title.
void applyTitleGroupEvidence(IdScoringContext &context);
// Second pass: the artist and album most files agree on lift the matching groups.
void consultTaggingPool(IdScoringContext &context);
// Links groups whose segments directly follow each other in the same strings.
void mergeLinkedSegmentGroups(IdScoringContext &context);
