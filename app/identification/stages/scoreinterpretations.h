#pragma once

#include <QList>

class IdAudioFile;
class LinearProgressObject;

// Stage 4: scores every file's segments for each identification field in two passes of the
// eighteen per-file steps. The first pass counts every file's artist and album in a pool
// that steers the second toward the readings the files agree on. Leaves the scores, segment
// groups, first-pass results and identified values in the files. Progress (may be null)
// runs to twice the number of files; a cancel is seen after each file's steps and ends the
// stage at once.
void scoreInterpretations(const QList<IdAudioFile *> &files, LinearProgressObject *progress, int fileCount);
