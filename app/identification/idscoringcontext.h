#pragma once

#include <QList>

class IdAudioFile;
class IdScoringGroupCache;
class IdSegment;
class IdTaggingPool;

// What the scoring steps of one file share. The driver sets the first fields (up to the
// group cache); every later field is written by its step before any step reads it.
struct IdScoringContext {
    IdAudioFile *file = nullptr;
    IdTaggingPool *pool = nullptr;
    bool firstPass = true;
    int fileCount = 0;
    int sharing = 0;         // 0 to 100
    int sharingTimesTen = 0; // 0 to 1000
    int poolWeight = 0;      // 0 to 1000
    // The run's cache of track-number group findings; null works them out every time.
    IdScoringGroupCache *groupCache = nullptr;

    int titleShareOffset = 1;
    // The file's segment in the track-number group of the most files, or null.
    IdSegment *trackSegment = nullptr;
    int artistCoverage = 45; // 1 to 45
    int albumCoverage = 45;
    int titleCoverage = 45;
    int averageCoverage = 45;
    bool multipleArtists = false;
};

// How strongly the files share words, from 0 to 100: 100 when most files have fewer than two
// base-name segments, else the mean of each file's largest word group size, relative to the
// number of files.
int computeSharingValue(const QList<IdAudioFile *> &files, int fileCount);

// From 1000 when every file shares everything down to 0 with many files that share little:
// 1000 - 9 * c^2 * (100 - e)^2 / 25000, at least 0.
int computePoolWeight(int sharing, int fileCount);
