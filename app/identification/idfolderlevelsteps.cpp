#include "app/identification/idfolderlevelsteps.h"
#include "app/identification/identificationtextids.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/idgroup.h"
#include "app/identification/idscoringcontext.h"
#include "app/identification/idsegment.h"
#include "app/identification/idsegmentgroup.h"
#include "libcore/log/logger.h"
#include "libcore/text/textmatching.h"

#include <QHash>

namespace {
enum : int {
    FolderLevels = 3,
    // A folder level gains this much on artist and album when its words are found elsewhere.
    SingleMatchBonus = 33,
    MatchBonus = 30,
    AbovePenalty = 30,
};

struct FolderRecord {
    IdSegment *segment = nullptr;
    int artistSum = 0;
    int albumSum = 0;
};

bool isFolderSegment(const IdSegment *s)
{
    return s->sourceKind() == 0 && s->category == IdWordCategory::PlainWord;
}

bool hasNumberScore(const IdSegment *s, int limit)
{
    return s->fieldScore(IdField::TrackNumber) > limit || s->fieldScore(IdField::DiscNumber) > limit ||
           s->fieldScore(IdField::ReleaseDate) > limit;
}

// A segment of the file's own texts that a folder name may be compared with.
bool mayMatchFolder(const IdSegment *s, bool filtered)
{
    return s->sourceKind() != 0 && s->category == IdWordCategory::PlainWord &&
           s->fieldScore(IdField::Title) <= 29 && !hasNumberScore(s, 29) && (!filtered || s->groupSize > 4);
}

void gain(IdSegment *s, int field, int delta)
{
    s->score(field) += delta;
}

void gainAll(const QList<IdSegment *> &segments, int field, int delta)
{
    for (IdSegment *s : segments)
        gain(s, field, delta);
}

// Decides which folder level holds the artist and which the album; returns the first level
// that holds neither.
int rateFolderLevels(const QList<QList<IdSegment *>> &levels, const QList<QList<FolderRecord>> &records,
                     int matchCount, bool multipleArtists)
{
    int top = -1;
    for (int level = FolderLevels - 1; level >= 0 && top < 0; --level) {
        if (!records.at(level).isEmpty())
            top = level;
    }
    if (top < 0) {
        const QList<IdSegment *> &nearest = levels.at(0);
        if (multipleArtists) {
            if (nearest.isEmpty())
                return 0;
            gain(nearest.first(), IdField::Album, 1);
            return 1;
        }
        if (levels.at(1).size() == 1) {
            gain(levels.at(1).first(), IdField::Artist, 1);
            if (!nearest.isEmpty())
                gain(nearest.first(), IdField::Album, 1);
            return 2;
        }
        if (nearest.isEmpty())
            return 0;
        gain(nearest.first(), IdField::Artist, 1);
        gainAll(nearest.mid(1), IdField::Album, 1);
        return 1;
    }

    const QList<FolderRecord> &atTop = records.at(top);
    QList<IdSegment *> below;
    for (int level = 0; level < top; ++level)
        below += levels.at(level);
    if (multipleArtists) {
        gain(atTop.first().segment, IdField::Album, 1);
        return top + 1;
    }
    if (matchCount > 1 && matchCount > atTop.size()) {
        const int bonus = matchCount == 2 && atTop.size() == 1 ? SingleMatchBonus : MatchBonus;
        for (const FolderRecord &record : atTop)
            gain(record.segment, IdField::Artist, bonus);
        gainAll(below, IdField::Album, bonus);
        return top + 1;
    }
    if (matchCount > 1) {
        const auto any = [&atTop](int FolderRecord::*sum) {
            return std::any_of(atTop.cbegin(), atTop.cend(), [sum](const FolderRecord &r) { return r.*sum >= 5; });
        };
        const bool artistLike = any(&FolderRecord::artistSum);
        const bool albumLike = any(&FolderRecord::albumSum);
        if (artistLike && !albumLike) {
            for (const FolderRecord &record : atTop) {
                if (record.artistSum <= 4)
                    gain(record.segment, IdField::Album, 1);
            }
        } else if (albumLike && !artistLike) {
            for (const FolderRecord &record : atTop) {
                if (record.albumSum <= 4)
                    gain(record.segment, IdField::Artist, 1);
            }
        } else if (!artistLike && !albumLike) {
            gain(atTop.first().segment, IdField::Artist, 1);
            for (qsizetype i = 1; i < atTop.size(); ++i)
                gain(atTop.at(i).segment, IdField::Album, 1);
        }
        return top + 1;
    }

    // One match, so one record.
    const FolderRecord &record = atTop.first();
    if (top > 0 && !below.isEmpty()) {
        gain(record.segment, IdField::Artist, SingleMatchBonus);
        gainAll(below, IdField::Album, below.size() > 1 ? 10 : SingleMatchBonus);
        return top + 1;
    }
    const QList<IdSegment *> &level = levels.at(top);
    if (level.size() > 1) {
        const bool album = record.albumSum > 4;
        gain(record.segment, album ? IdField::Album : IdField::Artist, 5);
        if (album) {
            for (IdSegment *s : level) {
                if (s != record.segment)
                    gain(s, IdField::Artist, 1);
            }
            return top + 1;
        }
        // The album is named next to the artist: "Artist-Album-2004-Group",
        // "Label - Artist - Album", "Album - Artist". A bonus for every other segment would
        // leave a release group level with the album.
        const qsizetype at = level.indexOf(record.segment);
        const qsizetype next = at + 1 < level.size() ? at + 1 : at - 1;
        if (next >= 0 && next < level.size())
            gain(level.at(next), IdField::Album, 1);
        return top + 1;
    }
    if (record.albumSum > 4 && record.artistSum <= 4 && top != 2 && !levels.at(top + 1).isEmpty()) {
        gain(levels.at(top + 1).first(), IdField::Artist, 1);
        gain(record.segment, IdField::Album, 1);
        return top + 2;
    }
    gain(record.segment, IdField::Artist, 1);
    return top + 1;
}

bool isBaseNameWord(const IdSegment *s)
{
    return s->sourceKind() == 1 && s->category == IdWordCategory::PlainWord && !hasNumberScore(s, 0);
}

bool mayBeArtistOrAlbum(const IdSegment *s)
{
    return s->fieldScore(IdField::Artist) >= -20 || s->fieldScore(IdField::Album) >= -20;
}

bool mayBeArtistAlbumOrTitle(const IdSegment *s)
{
    return mayBeArtistOrAlbum(s) || s->fieldScore(IdField::Title) >= -20;
}

void markAndGain(IdSegment *s, int field)
{
    s->markPreferredField(field);
    gain(s, field, 2);
}

// The k-th candidate takes the k-th field, the last field once the order is used up.
void assignInOrder(const QList<IdSegment *> &candidates, const QList<int> &order)
{
    for (qsizetype k = 0; k < candidates.size(); ++k)
        markAndGain(candidates.at(k), order.at(qMin(k, order.size() - 1)));
}

// The mark a base-name segment earns by its category, then by its own and its group's scores.
void markByScores(IdSegment *s)
{
    switch (s->category) {
    case IdWordCategory::NotArtist:
        s->markPreferredField(IdField::Artist);
        break;
    case IdWordCategory::NotAlbum:
        s->markPreferredField(IdField::Album);
        break;
    case IdWordCategory::NotTitle:
        s->markPreferredField(IdField::Title);
        break;
    default:
        break;
    }
    IdSegmentGroup *group = s->segmentGroup;
    const auto groupScore = [group](int field) {
        return group ? group->score(field) : std::numeric_limits<int>::min();
    };
    if (s->fieldScore(IdField::Artist) > 9 || groupScore(IdField::Artist) >= 10)
        s->markPreferredField(IdField::Artist);
    else if (s->fieldScore(IdField::Album) > 9 || groupScore(IdField::Album) >= 10)
        s->markPreferredField(IdField::Album);
    else if (s->fieldScore(IdField::Title) > 9 || groupScore(IdField::Title) > 9)
        s->markPreferredField(IdField::Title);
}

// The file name's parts without a mark get fields by how widely they are shared.
void assignDefaultFields(const IdScoringContext &context, const QList<IdSegment *> &baseName)
{
    bool taken[4] = {};
    for (const IdSegment *s : baseName) {
        if (s->preferred && s->preferredField >= IdField::Artist && s->preferredField <= IdField::Title)
            taken[s->preferredField] = true;
    }
    const int sharedLimit = context.titleShareOffset + 1;

    QList<int> order;
    if (taken[IdField::Artist] || context.multipleArtists) {
        if (!taken[IdField::Album])
            order = {IdField::Album};
    } else {
        order = {IdField::Artist};
        if (!taken[IdField::Album])
            order.append(IdField::Album);
    }
    QList<IdSegment *> candidates;
    for (IdSegment *s : baseName) {
        if (!s->preferred && isBaseNameWord(s) && s->groupSize > sharedLimit && mayBeArtistOrAlbum(s))
            candidates.append(s);
    }
    if (!order.isEmpty() && !candidates.isEmpty()) {
        if (order.size() == 2 && candidates.size() == 1)
            order.removeOne(IdField::Album);
        assignInOrder(candidates, order);
        for (qsizetype k = 0; k < candidates.size(); ++k)
            taken[order.at(qMin(k, order.size() - 1))] = true;
    }

    order.clear();
    for (int field = IdField::Artist; field <= IdField::Title; ++field) {
        if (!taken[field])
            order.append(field);
    }
    candidates.clear();
    for (IdSegment *s : baseName) {
        if (!s->preferred && isBaseNameWord(s) && s->groupSize <= sharedLimit && mayBeArtistAlbumOrTitle(s))
            candidates.append(s);
    }
    if (order.isEmpty() || candidates.isEmpty())
        return;
    if (order.size() == 3 && candidates.size() <= 2)
        order.removeOne(IdField::Album);
    if (order.size() == 2 && candidates.size() == 1) {
        order.removeOne(IdField::Album);
        if (order.size() == 2)
            order.removeOne(IdField::Artist);
    }
    assignInOrder(candidates, order);
}

// Where the group's dominant order pairs with a marked word, both stay; the runs between
// those pairs are fitted to each other and the words take the fields of the pattern.
void alignWithPattern(const QList<int> &pattern, const QList<IdSegment *> &words)
{
    const qsizetype patternSize = pattern.size();
    const qsizetype wordCount = words.size();
    QList<bool> patternPaired(patternSize, false);
    QList<bool> wordPaired(wordCount, false);
    for (qsizetype j = 0; j < qMin(patternSize, wordCount); ++j) {
        if (!patternPaired.at(j)) {
            for (qsizetype k = j; k < wordCount; ++k) {
                const IdSegment *w = words.at(k);
                if (!wordPaired.at(k) && w->preferred && w->preferredField == pattern.at(j)) {
                    patternPaired[j] = wordPaired[k] = true;
                    break;
                }
            }
        }
        const IdSegment *w = words.at(j);
        if (!wordPaired.at(j) && w->preferred) {
            for (qsizetype k = j; k < patternSize; ++k) {
                if (!patternPaired.at(k) && pattern.at(k) == w->preferredField) {
                    patternPaired[k] = wordPaired[j] = true;
                    break;
                }
            }
        }
    }

    qsizetype p = 0;
    qsizetype w = 0;
    while (p < patternSize || w < wordCount) {
        QList<int> fields;
        for (; p < patternSize && !patternPaired.at(p); ++p)
            fields.append(pattern.at(p));
        ++p;
        QList<IdSegment *> run;
        for (; w < wordCount && !wordPaired.at(w); ++w)
            run.append(words.at(w));
        ++w;
        if (fields.isEmpty() || run.isEmpty())
            continue;
        if (run.size() < fields.size()) {
            while (fields.size() > run.size() &&
                   (fields.removeOne(IdField::Album) || fields.removeOne(IdField::Artist))) {
            }
        } else if (run.size() > fields.size()) {
            int copy = 0;
            for (const int field : {IdField::Title, IdField::Artist, IdField::Album}) {
                if (fields.contains(field)) {
                    copy = field;
                    break;
                }
            }
            if (copy == 0)
                continue;
            fields.insert(fields.indexOf(copy), run.size() - fields.size(), copy);
        }
        for (qsizetype k = 0; k < qMin(run.size(), fields.size()); ++k)
            markAndGain(run.at(k), fields.at(k));
    }
}

void recordFieldPattern(IdGroup *group, const QList<IdSegment *> &baseName)
{
    QList<int> pattern;
    for (const IdSegment *s : baseName) {
        if (s->preferred && s->preferredField >= IdField::Artist && s->preferredField <= IdField::Title)
            pattern.append(s->preferredField);
    }
    for (IdGroup::FieldPattern &record : group->fieldPatterns) {
        if (record.pattern == pattern) {
            ++record.count;
            return;
        }
    }
    group->fieldPatterns.append({pattern, 1});
}
} // namespace

void applyFolderLevelEvidence(IdScoringContext &context)
{
    const QList<IdSegment *> segments = context.file->segments();
    QList<QList<IdSegment *>> levels(FolderLevels);
    for (IdSegment *s : segments) {
        if (!isFolderSegment(s))
            continue;
        const int level = s->indexOfString();
        if (level < 0 || level >= FolderLevels) {
            Logger::error(FolderLevelTextId, {level});
            return;
        }
        levels[level].append(s);
    }

    // Widely shared words say more; only when none of them matches are the others compared.
    QList<QList<FolderRecord>> records(FolderLevels);
    int matchCount = 0;
    QHash<const IdSegment *, QString> keys;
    const auto keyOf = [&keys](const IdSegment *s) {
        auto it = keys.find(s);
        if (it == keys.end())
            it = keys.insert(s, similarWordKey(s->text()));
        return it.value();
    };
    for (const bool filtered : {true, false}) {
        for (IdSegment *s : segments) {
            if (!isFolderSegment(s))
                continue;
            const QString key = keyOf(s);
            FolderRecord record{s};
            int matches = 0;
            for (IdSegment *o : segments) {
                if (!mayMatchFolder(o, filtered) || !isSimilarText(key, keyOf(o)))
                    continue;
                ++matches;
                record.artistSum += o->fieldScore(IdField::Artist);
                record.albumSum += o->fieldScore(IdField::Album);
            }
            if (matches > 0)
                records[s->indexOfString()].append(record);
            matchCount += matches;
        }
        if (matchCount > 0)
            break;
    }

    // Missing levels close up, so that the nearest folders present count as levels 0 and 1.
    for (const int level : {1, 0}) {
        if (levels.at(level).isEmpty()) {
            levels.removeAt(level);
            levels.append(QList<IdSegment *>());
            records.removeAt(level);
            records.append(QList<FolderRecord>());
        }
    }

    const int firstPenalised = rateFolderLevels(levels, records, matchCount, context.multipleArtists);
    for (int level = qMax(firstPenalised, 0); level < FolderLevels; ++level) {
        for (IdSegment *s : levels.at(level)) {
            gain(s, IdField::Artist, -AbovePenalty);
            gain(s, IdField::Album, -AbovePenalty);
        }
    }
}

QList<int> dominantFieldPattern(const IdGroup *group)
{
    const QList<IdGroup::FieldPattern> &records = group->fieldPatterns;
    if (records.size() < 2)
        return {};
    qsizetype best = 0;
    for (qsizetype i = 1; i < records.size(); ++i) {
        if (records.at(i).count > records.at(best).count)
            best = i;
    }
    qsizetype runnerUp = -1;
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (i != best && (runnerUp < 0 || records.at(i).count > records.at(runnerUp).count))
            runnerUp = i;
    }
    const int bestCount = records.at(best).count;
    const int runnerUpCount = records.at(runnerUp).count;
    if (runnerUpCount < 5 && bestCount - runnerUpCount > 4)
        return records.at(best).pattern;
    return {};
}

void alignBaseNameFields(IdScoringContext &context)
{
    QList<IdSegment *> baseName;
    for (IdSegment *s : context.file->segments()) {
        if (s->sourceKind() == 1)
            baseName.append(s);
    }
    for (IdSegment *s : std::as_const(baseName))
        markByScores(s);

    IdSegment *track = context.trackSegment;
    IdGroup *trackGroup = track ? track->group : nullptr;
    bool aligned = false;
    if (!context.firstPass && trackGroup) {
        const QList<int> pattern = dominantFieldPattern(trackGroup);
        QList<IdSegment *> words;
        for (IdSegment *s : std::as_const(baseName)) {
            if (isBaseNameWord(s) && mayBeArtistAlbumOrTitle(s))
                words.append(s);
        }
        if (!pattern.isEmpty() && !words.isEmpty()) {
            alignWithPattern(pattern, words);
            aligned = true;
        }
    }
    if (!aligned)
        assignDefaultFields(context, baseName);
    if (context.firstPass && trackGroup)
        recordFieldPattern(trackGroup, baseName);
}
