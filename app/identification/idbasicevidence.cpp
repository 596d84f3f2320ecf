#include "app/identification/idbasicevidence.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/idgroup.h"
#include "app/identification/idscoringcontext.h"
#include "app/identification/idscoringgroupcache.h"
#include "app/identification/idsegment.h"
#include "app/identification/idsegmentgroup.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idversionitem.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/textmatching.h"

namespace {
enum SourceKind : int {
    FolderName = 0,
    BaseName = 1,
    ArtistTag = 2,
    AlbumTag = 3,
    TitleTag = 4,
    TrackNumberTag = 5,
    DiscNumberTag = 6,
    YearTag = 7,
};

enum : int {
    NoTrackGroupCoverage = 45,
    RejectedVersionOnly = -150,
    MarkedCategoryScore = -29,
    NoLetterPenalty = -3,
};

bool isMarkedCategory(int category)
{
    return category >= IdWordCategory::DiscKeyword && category <= IdWordCategory::IgnoredWord;
}

// Whether the file of the entry has a value of the kind with a letter or a digit.
bool hasTagOfKind(const IdGroupEntry *entry, int kind)
{
    const IdString *string = entry ? entry->string() : nullptr;
    const IdAudioFile *file = string ? string->audioFile() : nullptr;
    const IdStringList *list = file ? file->stringList(kind) : nullptr;
    if (!list)
        return false;
    return std::any_of(list->strings().cbegin(), list->strings().cend(),
                       [](const IdString *s) { return !alphanumericKey(s->text()).isEmpty(); });
}

IdScoringGroupCache::TagCounts countTags(const IdGroup *group)
{
    IdScoringGroupCache::TagCounts counts;
    const int entries = group->entryCount();
    for (int i = 0; i < entries; ++i) {
        const IdGroupEntry *entry = group->entry(i);
        counts.artist += hasTagOfKind(entry, ArtistTag) ? 1 : 0;
        counts.album += hasTagOfKind(entry, AlbumTag) ? 1 : 0;
        counts.title += hasTagOfKind(entry, TitleTag) ? 1 : 0;
    }
    return counts;
}

IdScoringGroupCache::TagCounts tagCountsOf(const IdScoringContext &context, const IdGroup *group)
{
    if (!context.groupCache)
        return countTags(group);
    if (const IdScoringGroupCache::TagCounts *cached = context.groupCache->tagCounts(group, context.firstPass))
        return *cached;
    const IdScoringGroupCache::TagCounts counts = countTags(group);
    context.groupCache->setTagCounts(group, context.firstPass, counts);
    return counts;
}

// Shared by many files: a title there is not likely.
int sharedTitlePenalty(int groupSize, int offset)
{
    return int(qBound(qint64(0), 9 * (qint64(groupSize) - offset), qint64(100)));
}

bool isNumeric(const IdSegment *segment)
{
    return isDecimalNumber(segment->text());
}

// The title bonus of the least shared file-name word, from its group size d and that of the
// second least shared one, f (0 without one).
int leastSharedTitleBonus(int d, const IdSegment *second)
{
    if (!second)
        return d == 4 ? 43 : 40;
    const qint64 f = second->groupSize; // 64 bits: the products below stay exact
    if (d <= 2)
        return d + 1 < f ? 40 : 0;
    if (d == 3 && f > 5)
        return 55 * f > 559 ? 40 : int((55 * f - 150) / 10);
    if (d == 4 && f > 6)
        return 32 * f > 393 ? 43 : int((32 * f + 46) / 10);
    return 0;
}

struct LeastShared {
    IdSegment *least = nullptr;
    IdSegment *second = nullptr;
};

LeastShared leastSharedNameWords(const QList<IdSegment *> &segments, bool numbersToo, bool *anyNotTitle)
{
    LeastShared pair;
    for (IdSegment *s : segments) {
        if (s->sourceKind() != BaseName ||
            (s->category != IdWordCategory::PlainWord && s->category != IdWordCategory::NotTitle))
            continue;
        if (!numbersToo && isNumeric(s))
            continue;
        if (anyNotTitle && s->category == IdWordCategory::NotTitle)
            *anyNotTitle = true;
        if (!pair.least || s->groupSize < pair.least->groupSize) {
            pair.second = pair.least;
            pair.least = s;
        } else if (!pair.second || s->groupSize < pair.second->groupSize) {
            pair.second = s;
        }
    }
    return pair;
}

void applyLeastSharedTitleBonus(const QList<IdSegment *> &segments)
{
    bool anyNotTitle = false;
    LeastShared pair = leastSharedNameWords(segments, false, &anyNotTitle);
    const int limit = anyNotTitle ? 1 : 4;
    if (!pair.least || pair.least->category != IdWordCategory::PlainWord || pair.least->groupSize > limit) {
        pair = leastSharedNameWords(segments, true, nullptr);
        if (!pair.least || pair.least->category != IdWordCategory::PlainWord || pair.least->groupSize > 1)
            return;
    }
    int bonus = leastSharedTitleBonus(pair.least->groupSize, pair.second);
    if (isNumeric(pair.least))
        bonus = qMin(bonus, 10);
    if (bonus != 0)
        pair.least->score(IdField::Title) += bonus;
}

// A word shared far more widely than any other of the file name is likely the artist.
void applyMostSharedArtistBonus(const QList<IdSegment *> &segments)
{
    IdSegment *most = nullptr;
    IdSegment *second = nullptr;
    for (IdSegment *s : segments) {
        if (s->sourceKind() != BaseName || s->category != IdWordCategory::PlainWord)
            continue;
        if (!most || s->groupSize > most->groupSize) {
            second = most;
            most = s;
        } else if (!second || s->groupSize > second->groupSize) {
            second = s;
        }
    }
    if (most && second && second->groupSize > 3 && 5 * qint64(most->groupSize) > 6 * qint64(second->groupSize))
        most->score(IdField::Artist) += 5;
}

void raiseArtistLowerTitle(IdSegment *segment, int otherField)
{
    segment->score(otherField) += 3;
    segment->score(IdField::Title) -= 3;
}

// The first of a few leading title-tag parts may be the artist, the second the album.
void markLeadingTitleParts(const QList<IdSegment *> &parts, bool secondToo)
{
    if (parts.isEmpty())
        return;
    raiseArtistLowerTitle(parts.at(0), IdField::Artist);
    if (secondToo && parts.size() > 1)
        raiseArtistLowerTitle(parts.at(1), IdField::Album);
}
} // namespace

void resetSegmentScores(IdScoringContext &context)
{
    for (IdSegment *segment : context.file->segments())
        segment->reset();
}

void computeTitleShareOffset(IdScoringContext &context)
{
    int smallest = 0;
    for (const IdSegment *s : context.file->segments()) {
        if (s->sourceKind() != BaseName)
            continue;
        if (s->category == IdWordCategory::NotTitle) {
            context.titleShareOffset = 1;
            return;
        }
        if (s->category != IdWordCategory::PlainWord || !s->hasOtherWords() || isNumeric(s))
            continue;
        const int e = s->groupSize;
        if (smallest == 0 || e < smallest) {
            if (e <= 2) {
                context.titleShareOffset = 1;
                return;
            }
            smallest = e;
        }
    }
    context.titleShareOffset = smallest >= 3 && smallest <= 6 ? smallest + 1 : 1;
}

void findTrackNumberSegment(IdScoringContext &context)
{
    context.trackSegment = nullptr;
    for (IdSegment *s : context.file->segments()) {
        if (s->groupType() == IdGroup::TrackNumber &&
            (!context.trackSegment || s->groupSize > context.trackSegment->groupSize))
            context.trackSegment = s;
    }
}

int tagCoverage(const IdScoringContext &context, int kind)
{
    const IdSegment *track = context.trackSegment;
    if (!track || !track->group)
        return NoTrackGroupCoverage;
    const IdScoringGroupCache::TagCounts counts = tagCountsOf(context, track->group);
    const int count = kind == ArtistTag ? counts.artist : kind == AlbumTag ? counts.album : counts.title;
    const qint64 size = qMax(track->groupSize, 1);
    return int(qBound(qint64(44), 88 * (qint64(count) + 3) / size, qint64(88))) - 43;
}

void computeTagCoverage(IdScoringContext &context)
{
    context.artistCoverage = tagCoverage(context, ArtistTag);
    context.albumCoverage = tagCoverage(context, AlbumTag);
    context.titleCoverage = tagCoverage(context, TitleTag);
    context.averageCoverage = (context.artistCoverage + context.albumCoverage + context.titleCoverage) / 3;
}

void applyVersionEvidence(IdScoringContext &context)
{
    for (IdSegment *s : context.file->segments()) {
        if (!s->hasOtherWords()) {
            s->setAll(RejectedVersionOnly);
        } else if (s->versionItem()->hasVersion()) {
            const int field = s->versionItem()->suggestedField();
            if (field != IdField::None)
                s->score(field) += 5;
        }
    }
}

void applySourceEvidence(IdScoringContext &context)
{
    const QList<IdSegment *> &segments = context.file->segments();
    for (qsizetype i = 0; i < segments.size(); ++i) {
        IdSegment *s = segments.at(i);
        const int kind = s->sourceKind();
        switch (kind) {
        case FolderName:
            s->score(IdField::Title) -= 50;
            s->score(IdField::TrackNumber) -= 50;
            s->score(IdField::Artist) -= 2;
            s->score(IdField::Album) -= 2;
            // Few files that share little: folder names say less about artist and album.
            if (context.poolWeight < 900)
                s->score(IdField::Album) += (context.poolWeight + 35) / 69 - 15;
            if (context.sharingTimesTen <= 749)
                s->score(IdField::Artist) += (context.sharingTimesTen + 29) / 58 - 15;
            break;
        case BaseName:
            if (s->groupSize > 2)
                s->score(IdField::Title) -= sharedTitlePenalty(s->groupSize, context.titleShareOffset);
            if (isNumeric(s) && (i == 0 || segments.at(i - 1)->sourceKind() != BaseName)) {
                s->score(IdField::Artist) -= 50;
                s->score(IdField::Album) -= 50;
            }
            break;
        default:
            if (kind == ArtistTag) {
                s->score(IdField::Artist) += context.artistCoverage;
            } else if (kind == AlbumTag) {
                s->score(IdField::Album) += context.albumCoverage;
            } else if (kind == TitleTag) {
                s->score(IdField::Title) += context.titleCoverage;
            } else if (kind >= TrackNumberTag && kind <= YearTag) {
                s->addToAll(-50);
                const int field = kind == TrackNumberTag ? IdField::TrackNumber
                                  : kind == DiscNumberTag ? IdField::DiscNumber
                                                          : IdField::ReleaseDate;
                s->score(field) += context.averageCoverage + 50;
            }
            if (s->groupSize > 2)
                s->score(IdField::Title) -= sharedTitlePenalty(s->groupSize, 1);
            break;
        }
        // A word found in many files is rarely a track number.
        if (s->category == IdWordCategory::PlainWord && s->groupSize > 4)
            s->score(IdField::TrackNumber) -= int(qMin(2 * qint64(s->groupSize) - 8, qint64(100)));
    }
    if (segments.isEmpty())
        return;
    applyLeastSharedTitleBonus(segments);
    applyMostSharedArtistBonus(segments);
}

void applyAlbumShareEvidence(IdScoringContext &context)
{
    if (!context.trackSegment)
        return;
    const int trackSize = context.trackSegment->groupSize;
    QList<IdSegment *> collected;
    for (IdSegment *s : context.file->segments()) {
        if (s->category != IdWordCategory::PlainWord || s->sourceKind() == FolderName)
            continue;
        const qint64 diff = qint64(trackSize) - s->groupSize;
        if (context.multipleArtists && diff <= 3)
            collected.append(s);
        if (diff >= 1)
            s->score(IdField::Album) -= diff > 10 ? 100 : int(diff * diff);
    }
    // On a compilation the one word the files nearly share is the album.
    if (context.multipleArtists && collected.size() == 1)
        collected.first()->score(IdField::Album) += 30;
}

void applyCategoryAndTextPenalties(IdScoringContext &context)
{
    for (IdSegment *s : context.file->segments()) {
        if (isMarkedCategory(s->category))
            s->setAll(MarkedCategoryScore);
        if (alphanumericKey(s->text()).isEmpty())
            s->addToAll(NoLetterPenalty);
    }
}

void applyTitleTagEvidence(IdScoringContext &context)
{
    QList<IdSegment *> rare;
    QList<IdSegment *> shared;
    for (IdSegment *s : context.file->segments()) {
        if (s->sourceKind() != TitleTag || s->score(IdField::TrackNumber) >= 1 ||
            s->score(IdField::DiscNumber) >= 1 || s->score(IdField::ReleaseDate) >= 1)
            continue;
        (s->groupSize <= 2 ? rare : shared).append(s);
    }
    if (rare.size() > 1)
        markLeadingTitleParts(rare, rare.size() > 2);
    markLeadingTitleParts(shared, shared.size() > 1);
}
