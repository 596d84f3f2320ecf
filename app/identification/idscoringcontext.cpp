#include "app/identification/idscoringcontext.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/idsegment.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idword.h"

namespace {
enum : int { MaxSharing = 100, MaxPoolWeight = 1000 };

int largestWordGroupSize(const IdAudioFile *file)
{
    int largest = 1;
    for (const IdStringList *list : file->stringLists()) {
        for (const IdString *string : list->strings()) {
            for (const IdWord *word : string->words())
                largest = qMax(largest, word->groupSize);
        }
    }
    return largest;
}
} // namespace

int computeSharingValue(const QList<IdAudioFile *> &files, int fileCount)
{
    if (fileCount <= 0)
        return 0;
    qint64 fewNameSegments = 0;
    for (const IdAudioFile *file : files) {
        int nameSegments = 0;
        for (const IdSegment *segment : file->segments()) {
            if (segment->sourceKind() == 1)
                ++nameSegments;
        }
        if (nameSegments < 2)
            ++fewNameSegments;
    }
    if (4 * fewNameSegments >= 3 * qint64(fileCount))
        return MaxSharing;
    qint64 sum = 0;
    for (const IdAudioFile *file : files)
        sum += largestWordGroupSize(file);
    // The sum is at most files times files here; the divisions keep the order of the
    // original arithmetic so that rounding is the same.
    const qint64 value = sum * 100 / fileCount / fileCount;
    return int(qBound<qint64>(0, value, MaxSharing));
}

int computePoolWeight(int sharing, int fileCount)
{
    const qint64 e = qBound(0, sharing, int(MaxSharing));
    // Beyond a few dozen files the weight is 0 anyway; the bound keeps the product in range.
    const qint64 c = qBound(0, fileCount, 1000000);
    const qint64 weight = MaxPoolWeight + (c * c * (9 * e * e - 1800 * e + 90000)) / -25000;
    return int(qBound<qint64>(0, weight, MaxPoolWeight));
}
