#include "app/identification/idsegmentgroupsteps.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/idscoringcontext.h"
#include "app/identification/idsegment.h"
#include "app/identification/idsegmentgroup.h"
#include "app/identification/idtaggingpool.h"

#include <QSet>

namespace {
bool hasNotTitleSegment(const IdSegmentGroup *group)
{
    const QList<IdSegment *> segments = group->segments();
    return std::any_of(segments.cbegin(), segments.cend(),
                       [](const IdSegment *s) { return s->category == IdWordCategory::NotTitle; });
}

// The title bonus for a least shared group of largest group size e, against the next least
// shared one's g (100 without one); 0 for none.
int titleGroupBonus(int e, int g, bool hasSecond)
{
    if (e <= 2)
        return hasSecond && e + 1 >= g ? 0 : 40;
    if (e == 3 && (!hasSecond || g > 5))
        return qMin(55 * g / 10 - 15, 40);
    if (e == 4 && g > 6)
        return 32 * g > 393 ? 43 : (32 * g + 46) / 10;
    return 0;
}
} // namespace

bool isTitleLike(IdSegmentGroup *group)
{
    return group->score(IdField::Title) >= 0 || (group->isFileNameTitle() && group->mayBeTitle());
}

void groupSegmentsOfKind(IdAudioFile *file, int kind, bool inOrder)
{
    // Segments of one kind join the groups of earlier kinds only.
    const QList<IdSegmentGroup *> earlier = file->segmentGroups();
    QList<IdSegmentGroup *> groups = earlier;
    QList<IdSegment *> segments;
    for (IdSegment *s : file->segments()) {
        if (s->sourceKind() == kind)
            segments.append(s);
    }
    if (!inOrder)
        std::reverse(segments.begin(), segments.end());
    for (IdSegment *s : std::as_const(segments)) {
        QList<IdSegmentGroup *> candidates;
        for (const bool strict : {true, false}) {
            for (IdSegmentGroup *group : earlier) {
                if (group->accepts(s, strict))
                    candidates.append(group);
            }
            if (!candidates.isEmpty())
                break;
        }
        IdSegmentGroup *best = nullptr;
        int bestDistance = 0;
        for (IdSegmentGroup *group : std::as_const(candidates)) {
            const int distance = group->distance(s);
            if (!best || distance < bestDistance) {
                best = group;
                bestDistance = distance;
            }
        }
        // A widely shared word or a folder name never joins the file's only title.
        if (best && (s->groupSize > 4 || s->sourceKind() == 0) && isTitleLike(best) &&
            std::count_if(earlier.cbegin(), earlier.cend(), isTitleLike) == 1)
            best = nullptr;
        if (best) {
            best->add(s);
            continue;
        }
        auto *group = new IdSegmentGroup(file);
        group->add(s);
        groups.append(group);
    }
    file->setSegmentGroups(groups);
}

void buildSegmentGroups(IdScoringContext &context)
{
    context.file->setSegmentGroups({});
    for (const int kind : {1, 0, 4, 2, 3, 5, 6, 7})
        groupSegmentsOfKind(context.file, kind, kind != 0);
}

void applyTitleGroupEvidence(IdScoringContext &context)
{
    QList<IdSegmentGroup *> candidates;
    for (IdSegmentGroup *group : context.file->segmentGroups()) {
        if (group->isFileNameTitle())
            candidates.append(group);
    }
    if (candidates.isEmpty())
        return;
    const int limit = std::any_of(candidates.cbegin(), candidates.cend(), hasNotTitleSegment) ? 1 : 4;
    IdSegmentGroup *best = nullptr;
    IdSegmentGroup *second = nullptr;
    for (IdSegmentGroup *group : std::as_const(candidates)) {
        const int size = group->maxGroupSize();
        if (!best || size < best->maxGroupSize()) {
            second = best;
            best = group;
        } else if (!second || size < second->maxGroupSize()) {
            second = group;
        }
    }
    const int e = best->maxGroupSize();
    if (!best->mayBeTitle() || e > limit)
        return;
    const int bonus = titleGroupBonus(e, second ? second->maxGroupSize() : 100, second != nullptr);
    if (bonus == 0)
        return;
    for (IdSegment *s : best->segments()) {
        s->score(IdField::Title) += bonus;
        s->markPreferredField(IdField::Title);
    }
}

void consultTaggingPool(IdScoringContext &context)
{
    if (context.firstPass)
        return;
    context.pool->apply(context.file->segmentGroups(), context.sharingTimesTen < 750, context.poolWeight < 900);
}

void mergeLinkedSegmentGroups(IdScoringContext &context)
{
    QList<IdSegmentGroup *> groups = context.file->segmentGroups();
    QSet<qsizetype> taken;
    bool merged = true;
    while (merged) {
        merged = false;
        for (qsizetype i = 0; i < groups.size(); ++i) {
            for (qsizetype j = 0; j < groups.size(); ++j) {
                if (j != i && groups.at(i)->tryMerge(groups.at(j))) {
                    taken.insert(j);
                    merged = true;
                    break;
                }
            }
        }
    }
    // The linked groups stay reachable through the groups that took them.
    QList<qsizetype> positions(taken.cbegin(), taken.cend());
    std::sort(positions.begin(), positions.end(), std::greater<>());
    for (const qsizetype position : std::as_const(positions))
        groups.removeAt(position);
    context.file->setSegmentGroups(groups);
}
