#pragma once

struct IdScoringContext;

// Scoring steps that reset a file's segments, fill the file's scoring context and add the
// evidence of source kinds, sharing, tag coverage and text shape to the segments' field
// scores. Each step looks at the context's file and walks its segments in list order.

// Step 1: every segment leaves its segment group and forgets its scores and preference.
void resetSegmentScores(IdScoringContext &context);
// Step 2: how widely a base-name title may be shared before it is penalised.
void computeTitleShareOffset(IdScoringContext &context);
// Step 3: the segment in the track-number group of the most files.
void findTrackNumberSegment(IdScoringContext &context);
// Step 4: how many files of the track-number group have artist, album and title tags.
void computeTagCoverage(IdScoringContext &context);
// From 1 (no file of the track-number group has the tag) to 45 (all do, or no group).
int tagCoverage(const IdScoringContext &context, int kind);
// Step 6: segments made only of version phrases are rejected; a phrase's field gains.
void applyVersionEvidence(IdScoringContext &context);
// Step 7: evidence by source kind, sharing, tag coverage and place in the file name.
void applySourceEvidence(IdScoringContext &context);
// Step 8: the album is what all files of the track-number group share.
void applyAlbumShareEvidence(IdScoringContext &context);
// Step 10: marked phrases and texts without letters or digits.
void applyCategoryAndTextPenalties(IdScoringContext &context);
// Step 12: the leading parts of a title tag may be the artist and the album.
void applyTitleTagEvidence(IdScoringContext &context);
