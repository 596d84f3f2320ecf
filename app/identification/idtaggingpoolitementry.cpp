#include "app/identification/idtaggingpoolitementry.h"

namespace {
enum : int {
    StrongAbove = 29,
    RaiseStep = 3,
    WinningScore = 30,
    LowScore = 3,
};
} // namespace

int IdTaggingPoolItemEntry::bandOf(int score)
{
    return score > StrongAbove ? Strong : score >= 0 ? Weak : Rejected;
}

void IdTaggingPoolItemEntry::record(int band)
{
    switch (band) {
    case Strong:
        ++strongCount;
        break;
    case Weak:
        ++weakCount;
        break;
    case Rejected:
        ++rejectedCount;
        break;
    default:
        break;
    }
}

int IdTaggingPoolItemEntry::weakTotal() const
{
    return m_countsRejected ? weakCount + rejectedCount : weakCount;
}

int IdTaggingPoolItemEntry::targetScore(int current) const
{
    if (current < 0)
        return strongCount > 0 ? WinningScore : LowScore;
    if (current + RaiseStep > StrongAbove)
        return current + RaiseStep;
    return strongCount > 0 ? WinningScore : current + RaiseStep;
}

bool IdTaggingPoolItemEntry::isSignificant() const
{
    return weakTotal() > 3 || strongCount > 0;
}

bool IdTaggingPoolItemEntry::isWeakerThan(const IdTaggingPoolItemEntry &other) const
{
    if (strongCount != other.strongCount)
        return strongCount < other.strongCount;
    return weakTotal() < other.weakTotal();
}

bool IdTaggingPoolItemEntry::dominates(const IdTaggingPoolItemEntry *other) const
{
    if (!other)
        return true;
    // Counts are at most the number of files; 64 bits keep the products exact anyway.
    const qint64 strong = strongCount;
    if (strong < 3 * qint64(other->strongCount))
        return false;
    const qint64 o = other->weakTotal();
    if (strong > 0 && 10 * strong >= o)
        return true;
    const qint64 c = weakTotal();
    if (o + 3 >= c)
        return false;
    return o + o / 2 <= c;
}
