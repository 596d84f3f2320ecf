#include "app/identification/idscoringgroupcache.h"

const IdScoringGroupCache::TagCounts *IdScoringGroupCache::tagCounts(const IdGroup *group, bool firstPass) const
{
    const auto it = m_tagCounts.constFind(Key(group, firstPass));
    return it != m_tagCounts.cend() ? &it.value() : nullptr;
}

void IdScoringGroupCache::setTagCounts(const IdGroup *group, bool firstPass, const TagCounts &counts)
{
    m_tagCounts.insert(Key(group, firstPass), counts);
}

const IdScoringGroupCache::ArtistVerdict *IdScoringGroupCache::artistVerdict(const IdGroup *group,
                                                                             bool firstPass) const
{
    const auto it = m_artistVerdicts.constFind(Key(group, firstPass));
    return it != m_artistVerdicts.cend() ? &it.value() : nullptr;
}

void IdScoringGroupCache::setArtistVerdict(const IdGroup *group, bool firstPass, const ArtistVerdict &verdict)
{
    m_artistVerdicts.insert(Key(group, firstPass), verdict);
}
