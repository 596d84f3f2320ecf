#pragma once

#include <QList>

class CombinedProgressObject;
class IdAudioFileGroup;
class ModelUpdateOperation;

// Stage 7 of the identification: for each album group, fingerprints the files that lack a
// fingerprint or a play duration, asks the metadata service about the group and writes its
// answer into the working copies of the operation. Groups go one after the other; a cancelled
// progress object stops the stage between steps, leaving the group in hand unapplied. A lookup
// that fails after its retries throws, which ends the whole run.
void fingerprintAndLookup(const QList<IdAudioFileGroup *> &groups, CombinedProgressObject *progress,
                          ModelUpdateOperation *operation);

// Above this many files in a folder's groups, no artwork is downloaded for unrelated files.
constexpr int MaxFilesForUnrelatedArtwork = 250;
