#include "app/identification/idtaggingpool.h"

#include "app/identification/idartistname.h"
#include "app/identification/idsegment.h"
#include "app/identification/idsegmentgroup.h"
#include "libcore/text/stringutils.h"

namespace {
enum : int {
    StrongAbove = 29,
    // A group made only of folder names is never raised above this.
    FolderOnlyCeiling = 15,
};

bool isFolderOnly(const IdSegmentGroup *group)
{
    return group->allSegmentsFromKind(0, true);
}
} // namespace

QString IdTaggingPool::poolKey(const QString &text, int field)
{
    if (field == IdField::Artist)
        return IdArtistName(text).sortKey();
    return alphanumericKey(text);
}

void IdTaggingPool::addGroup(IdSegmentGroup *group, int field)
{
    if (!group || (field != IdField::Artist && field != IdField::Album))
        return;
    const QString key = poolKey(group->text(), field);
    auto it = m_entries.find(key);
    if (it == m_entries.end())
        it = m_entries.insert(key, {new IdTaggingPoolItemEntry(this), new IdTaggingPoolItemEntry(this)});
    IdTaggingPoolItemEntry *entry = field == IdField::Artist ? it->first : it->second;
    entry->record(IdTaggingPoolItemEntry::bandOf(group->score(field)));
}

IdTaggingPoolItemEntry *IdTaggingPool::entryFor(IdSegmentGroup *group, int field)
{
    if (!group || (field != IdField::Artist && field != IdField::Album))
        return nullptr;
    const auto it = m_entries.constFind(poolKey(group->text(), field));
    if (it == m_entries.cend())
        return nullptr;
    IdTaggingPoolItemEntry *entry = field == IdField::Artist ? it->first : it->second;
    entry->setCountsRejected(!isFolderOnly(group));
    return entry;
}

IdTaggingPool::Best IdTaggingPool::bestGroup(const QList<IdSegmentGroup *> &groups, int field, bool skipFolderOnly)
{
    Best best;
    for (IdSegmentGroup *group : groups) {
        if (skipFolderOnly && isFolderOnly(group))
            continue;
        IdTaggingPoolItemEntry *entry = entryFor(group, field);
        if (!entry)
            continue;
        if (!best.entry || best.entry->isWeakerThan(*entry))
            best = {group, entry};
    }
    return best;
}

bool IdTaggingPool::applyToGroups(const QList<IdSegmentGroup *> &groups, int field, bool skipFolderOnly)
{
    if (field != IdField::Artist && field != IdField::Album)
        return false;
    IdSegmentGroup *top = nullptr;
    int topScore = 0;
    for (IdSegmentGroup *group : groups) {
        const int score = group->score(field);
        if (!top || score > topScore) {
            top = group;
            topScore = score;
        }
    }
    const IdTaggingPoolItemEntry *topEntry = entryFor(top, field);

    const Best chosen = bestGroup(groups, field, skipFolderOnly);
    if (!chosen.entry || !chosen.entry->isSignificant())
        return false;
    if (chosen.group != top && !chosen.entry->dominates(topEntry))
        return false;

    // The group's own title evidence, counted like one file.
    IdTaggingPoolItemEntry title;
    const int titleScore = chosen.group->score(IdField::Title);
    if (titleScore > StrongAbove)
        title.strongCount = 1;
    else if (titleScore > 0)
        title.weakCount = 1;
    if (!chosen.entry->dominates(&title))
        return false;

    const int otherField = field == IdField::Artist ? IdField::Album : IdField::Artist;
    if (!chosen.entry->dominates(entryFor(chosen.group, otherField)))
        return false;

    const int current = chosen.group->score(field);
    int target = chosen.entry->targetScore(current);
    if (target > FolderOnlyCeiling && isFolderOnly(chosen.group))
        target = FolderOnlyCeiling;
    // The score includes any earlier raise of this field; keep it in the adjustment so that
    // the group ends at the target rather than below its earlier raise.
    chosen.group->setAdjustment(field, chosen.group->adjustment(field) + target - current);
    for (IdSegment *segment : chosen.group->segments())
        segment->markPreferredField(field);
    return true;
}

void IdTaggingPool::apply(const QList<IdSegmentGroup *> &groups, bool lowSharing, bool lowWeight)
{
    if (groups.isEmpty())
        return;
    const bool artistRaised = applyToGroups(groups, IdField::Artist, lowSharing);
    const bool albumRaised = applyToGroups(groups, IdField::Album, artistRaised ? false : lowWeight);
    if (lowSharing && albumRaised)
        applyToGroups(groups, IdField::Artist, false);
}
