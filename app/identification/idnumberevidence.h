#pragma once

struct IdScoringContext;

// Scoring steps for compilations and for numbers: whether the album's files have different
// artists, and what the numbers, counts, discs and years that the string normalisation
// found (and plain numbers) say about the fields.

// Step 5: sets the context's multipleArtists.
void detectMultipleArtists(IdScoringContext &context);
// Step 9: number, count, disc and date evidence by word category, and a small album lift for
// the word next to a disc number or a bracketed year of a folder name.
void applyNumberEvidence(IdScoringContext &context);
