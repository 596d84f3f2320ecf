#pragma once

struct IdScoringContext;

// The last scoring step: assigns the identification fields to the file's segment groups
// through the mapping matrix and takes each field's value from its group, with a few fixed
// corrections (track count, track numbers above 100, an album that merely echoes the artist
// or the title). The first pass counts the artist and album in the pool and keeps the
// results in the file; the second writes the values and their confidences.
void mapFieldsToGroups(IdScoringContext &context);
