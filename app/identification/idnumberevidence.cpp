#include "app/identification/idnumberevidence.h"

#include "app/identification/idartistname.h"
#include "app/identification/idaudiofile.h"
#include "app/identification/idgroup.h"
#include "app/identification/idinterpretationresult.h"
#include "app/identification/idscoringcontext.h"
#include "app/identification/idscoringgroupcache.h"
#include "app/identification/idsegment.h"
#include "app/identification/idstring.h"
#include "app/identification/idtexttests.h"
#include "app/identification/idversionitem.h"
#include "libcore/text/codepointstring.h"
#include "libcore/text/textmatching.h"

#include <QHash>

namespace {
enum SourceKind : int { FolderName = 0, BaseName = 1, TrackNumberTag = 5, DiscNumberTag = 6, YearTag = 7 };

// The version kind of a featured or a remixing artist.
constexpr int OtherArtistVersionKind = 2;

IdAudioFile *audioFileOf(const IdGroupEntry *entry)
{
    const IdString *string = entry ? entry->string() : nullptr;
    return string ? string->audioFile() : nullptr;
}

// A file votes for several artists when its name holds one widely shared word run (the
// album) and at least two rare ones (artist and title).
bool votesForSeveralArtists(const IdAudioFile *file)
{
    if (!file)
        return false;
    int shared = 0;
    int rare = 0;
    for (const IdSegment *s : file->segments()) {
        if (s->sourceKind() != BaseName || s->category != IdWordCategory::PlainWord || !s->hasOtherWords())
            continue;
        ++(s->groupSize > 2 ? shared : rare);
    }
    return shared == 1 && rare >= 2;
}

bool namesAnotherArtist(const IdAudioFile *file)
{
    const QList<IdSegment *> &segments = file->segments();
    return std::any_of(segments.cbegin(), segments.cend(), [](const IdSegment *s) {
        return s->versionItem()->containsKind(OtherArtistVersionKind);
    });
}

bool votesOrVersionsSaySeveral(const IdGroup *group)
{
    int yes = 0;
    int no = 0;
    QList<const IdAudioFile *> voted;
    const int entries = group->entryCount();
    for (int i = 0; i < entries; ++i) {
        const IdAudioFile *file = audioFileOf(group->entry(i));
        ++(votesForSeveralArtists(file) ? yes : no);
        if (file)
            voted.append(file);
    }
    if (yes >= no)
        return true;
    return std::all_of(voted.cbegin(), voted.cend(), namesAnotherArtist);
}

// No single artist chosen in the first pass covers four fifths of the group's files.
bool firstArtistsDiffer(const IdGroup *group)
{
    QHash<QString, int> counts;
    int highest = 0;
    const int entries = group->entryCount();
    for (int i = 0; i < entries; ++i) {
        const IdAudioFile *file = audioFileOf(group->entry(i));
        const IdInterpretationResult *result = file ? file->results().value(IdField::Artist) : nullptr;
        if (!result)
            continue;
        const QString key = IdArtistName::fromVariant(result->value()).sortKey();
        if (!key.isEmpty())
            highest = qMax(highest, ++counts[key]);
    }
    return !counts.isEmpty() && 5 * qint64(highest) < 4 * qint64(entries);
}

IdScoringGroupCache::ArtistVerdict judgeGroup(const IdGroup *group, bool firstPass)
{
    IdScoringGroupCache::ArtistVerdict verdict;
    verdict.multiple = votesOrVersionsSaySeveral(group);
    verdict.differentFirstArtists = !firstPass && !verdict.multiple && firstArtistsDiffer(group);
    return verdict;
}

IdScoringGroupCache::ArtistVerdict verdictOf(const IdScoringContext &context, const IdGroup *group)
{
    if (!context.groupCache)
        return judgeGroup(group, context.firstPass);
    if (const auto *cached = context.groupCache->artistVerdict(group, context.firstPass))
        return *cached;
    const IdScoringGroupCache::ArtistVerdict verdict = judgeGroup(group, context.firstPass);
    context.groupCache->setArtistVerdict(group, context.firstPass, verdict);
    return verdict;
}

bool isBracketed(const QString &text)
{
    const QString t = text.trimmed();
    return !t.isEmpty() && codePointAt(t, 0).category() == QChar::Punctuation_Open &&
           lastCodePoint(t).category() == QChar::Punctuation_Close;
}

bool isDash(CodePoint c)
{
    return c.category() == QChar::Punctuation_Dash;
}

// The word run before a disc number or a bracketed year, or the word after it, gains a little
// on the album: "Night Songs (Disc 2)", "(1999) Night Songs".
void liftAlbumNeighbour(const QList<IdSegment *> &segments, qsizetype i, bool disc)
{
    const IdSegment *self = segments.at(i);
    const auto belongs = [self](const IdSegment *s) {
        return s && s->category == IdWordCategory::PlainWord && s->sourceKind() == self->sourceKind() &&
               s->string() == self->string();
    };
    IdSegment *previous = nullptr;
    for (qsizetype j = i - 1; j >= 0; --j) {
        IdSegment *s = segments.at(j);
        if (s->category == IdWordCategory::PlainWord)
            previous = s;
        else if (!(disc && s->category == IdWordCategory::DiscKeyword))
            break;
    }
    if (!belongs(previous))
        previous = nullptr;
    IdSegment *next = i + 1 < segments.size() ? segments.at(i + 1) : nullptr;
    if (!belongs(next))
        next = nullptr;

    IdSegment *winner = previous ? previous : next;
    if (previous && next) {
        const bool previousNumeric = isDecimalNumber(previous->text());
        const bool nextNumeric = isDecimalNumber(next->text());
        const bool previousShared = previous->groupSize > 2;
        const bool nextShared = next->groupSize > 2;
        if (previousNumeric != nextNumeric) {
            winner = previousNumeric ? next : previous;
        } else if (previousShared != nextShared) {
            winner = previousShared ? previous : next;
        } else {
            const QString before = previous->text().trimmed();
            const QString after = next->text().trimmed();
            const bool previousCut = !before.isEmpty() && isDash(lastCodePoint(before));
            const bool nextCut = !after.isEmpty() && isDash(codePointAt(after, 0));
            winner = previousCut == nextCut ? nullptr : previousCut ? next : previous;
        }
    }
    if (winner)
        winner->score(IdField::Album) += 10;
}

// A plain segment that may be a number: disc, track or year evidence.
void scorePlainNumber(const IdScoringContext &context, const QList<IdSegment *> &segments, qsizetype i)
{
    IdSegment *s = segments.at(i);
    const int kind = s->sourceKind();
    const QString text = s->text();
    bool ok = false;
    const int n = text.toInt(&ok, 10);

    if (kind != DiscNumberTag) {
        const bool leadsName =
            kind == BaseName && (i == 0 || segments.at(i - 1)->sourceKind() != kind);
        const bool disc = context.trackSegment && context.trackSegment->groupSize == s->groupSize && leadsName &&
                          ok && n >= 1 && n <= 10;
        s->score(IdField::DiscNumber) += disc ? 10 : -50;
    }

    int track = -100;
    int date = -100;
    bool number = false;
    if (kind != FolderName && smallNumber(text) > 0) {
        track = 2;
        number = true;
    } else if (isYear(text) > 0) {
        date = 5;
        number = true;
    }
    if (kind == TrackNumberTag || kind == YearTag) {
        // Their own tag bonus came with the source evidence.
        track = qMin(track, 0);
        date = qMin(date, 0);
    } else if (track > 0) {
        s->markPreferredField(IdField::TrackNumber);
    } else if (date > 0) {
        s->markPreferredField(IdField::ReleaseDate);
    }
    s->score(IdField::TrackNumber) += track;
    s->score(IdField::ReleaseDate) += date;
    if (number && s->groupSize <= 2) {
        for (int field : {IdField::Artist, IdField::Album, IdField::Title}) {
            int &score = s->score(field);
            score = qMin(score - 5, 25);
        }
    }
}
} // namespace

void detectMultipleArtists(IdScoringContext &context)
{
    const QList<IdSegment *> &segments = context.file->segments();
    context.multipleArtists = std::any_of(segments.cbegin(), segments.cend(), [](const IdSegment *s) {
        return s->category == IdWordCategory::VariousArtistsPhrase;
    });
    if (context.multipleArtists)
        return;
    const IdSegment *track = context.trackSegment;
    if (!track || !track->group) {
        context.multipleArtists = namesAnotherArtist(context.file);
        return;
    }
    const IdScoringGroupCache::ArtistVerdict verdict = verdictOf(context, track->group);
    context.multipleArtists = verdict.multiple || (track->groupSize > 1 && verdict.differentFirstArtists);
}

void applyNumberEvidence(IdScoringContext &context)
{
    const QList<IdSegment *> &segments = context.file->segments();
    for (qsizetype i = 0; i < segments.size(); ++i) {
        IdSegment *s = segments.at(i);
        const auto claim = [s](int field, int gain) {
            s->addToAll(-50);
            s->score(field) += gain;
        };
        switch (s->category) {
        case IdWordCategory::TrackGroupWord:
            claim(IdField::TrackNumber, 105);
            break;
        case IdWordCategory::TrackNumberValue:
            claim(IdField::TrackNumber, 80);
            break;
        case IdWordCategory::TrackCountValue:
            claim(IdField::TrackCount, 80);
            break;
        case IdWordCategory::DiscNumberValue:
            claim(IdField::DiscNumber, 90);
            liftAlbumNeighbour(segments, i, true);
            break;
        case IdWordCategory::DiscCountValue:
            claim(IdField::DiscCount, 80);
            break;
        case IdWordCategory::DiscFromTrackNumber:
            claim(IdField::DiscNumber, 90);
            break;
        case IdWordCategory::YearWord:
            claim(IdField::ReleaseDate, 90);
            if (s->sourceKind() == FolderName && isBracketed(s->text()))
                liftAlbumNeighbour(segments, i, false);
            break;
        default:
            scorePlainNumber(context, segments, i);
            break;
        }
    }
}
