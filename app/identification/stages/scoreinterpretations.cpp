#include "app/identification/stages/scoreinterpretations.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/idbasicevidence.h"
#include "app/identification/idfieldmapping.h"
#include "app/identification/idfolderlevelsteps.h"
#include "app/identification/idnumberevidence.h"
#include "app/identification/idscoringcontext.h"
#include "app/identification/idscoringgroupcache.h"
#include "app/identification/idsegmentgroupsteps.h"
#include "app/identification/idtaggingpool.h"
#include "libcore/progress/linearprogressobject.h"

namespace {
using Step = void (*)(IdScoringContext &);

// The order matters: each step reads what the ones before it wrote.
constexpr Step Steps[] = {
    resetSegmentScores,
    computeTitleShareOffset,
    findTrackNumberSegment,
    computeTagCoverage,
    detectMultipleArtists,
    applyVersionEvidence,
    applySourceEvidence,
    applyAlbumShareEvidence,
    applyNumberEvidence,
    applyCategoryAndTextPenalties,
    applyFolderLevelEvidence,
    applyTitleTagEvidence,
    buildSegmentGroups,
    applyTitleGroupEvidence,
    consultTaggingPool,
    alignBaseNameFields,
    mergeLinkedSegmentGroups,
    mapFieldsToGroups,
};
} // namespace

void scoreInterpretations(const QList<IdAudioFile *> &files, LinearProgressObject *progress, int fileCount)
{
    QObject local;
    auto *pool = new IdTaggingPool(&local);
    IdScoringGroupCache groupCache;
    const int sharing = computeSharingValue(files, fileCount);
    const int poolWeight = computePoolWeight(sharing, fileCount);

    QList<IdScoringContext> contexts;
    contexts.reserve(files.size());
    for (IdAudioFile *file : files) {
        IdScoringContext context;
        context.file = file;
        context.pool = pool;
        context.firstPass = true;
        context.fileCount = fileCount;
        context.sharing = sharing;
        context.sharingTimesTen = 10 * sharing;
        context.poolWeight = poolWeight;
        context.groupCache = &groupCache;
        contexts.append(context);
    }
    if (progress)
        progress->setMaximum(int(qMin<qsizetype>(2 * files.size(), std::numeric_limits<int>::max())));

    for (int pass = 0; pass < 2; ++pass) {
        for (IdScoringContext &context : contexts) {
            for (const Step step : Steps)
                step(context);
            context.firstPass = false;
            if (progress) {
                if (progress->isCanceled())
                    return;
                progress->advance(1);
            }
        }
    }
}
