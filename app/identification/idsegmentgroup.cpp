#include "app/identification/idsegmentgroup.h"

#include "app/identification/idsegment.h"
#include "app/identification/idstring.h"
#include "app/identification/idtexttests.h"
#include "app/identification/idversionitem.h"
#include "app/identification/idword.h"
#include "libcore/text/codepointstring.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/textmatching.h"

namespace {
bool fromFolder(const IdSegment *s)
{
    return s->sourceKind() == 0;
}

bool fromTag(const IdSegment *s)
{
    return s->sourceKind() >= 2 && s->sourceKind() <= 7;
}

// Found in more than four strings, or in a folder name.
bool isShared(const IdSegment *s)
{
    return s->groupSize > 4 || fromFolder(s);
}

QList<IdSegmentGroup *> chainAfter(const IdSegmentGroup *group)
{
    QList<IdSegmentGroup *> chain;
    for (IdSegmentGroup *g = group->next(); g && !chain.contains(g); g = g->next())
        chain.append(g);
    return chain;
}
} // namespace

void IdSegmentGroup::add(IdSegment *segment)
{
    m_segments.append(segment);
    segment->segmentGroup = this;
    m_upToDate = false;
    m_scoresValid = false;
}

QString IdSegmentGroup::text()
{
    if (!m_upToDate)
        update();
    return m_text;
}

IdArtistName IdSegmentGroup::artistName()
{
    if (!m_upToDate)
        update();
    return m_artistName;
}

IdVersionSummary IdSegmentGroup::versionSummary()
{
    if (!m_upToDate)
        update();
    return m_versionSummary;
}

void IdSegmentGroup::update()
{
    updateVersionSummary();
    updateText();
    updateArtistName();
    m_upToDate = true;
}

void IdSegmentGroup::updateScores()
{
    if (m_scoresValid)
        return;
    m_scoresValid = true;
    m_fieldScores.clear();
    m_baseSum = 0;
    QList<int> fields;
    for (const IdSegment *s : std::as_const(m_segments)) {
        for (auto it = s->scores().cbegin(); it != s->scores().cend(); ++it) {
            if (!fields.contains(it.key()))
                fields.append(it.key());
        }
        m_baseSum += s->baseScore();
    }
    for (int field : std::as_const(fields)) {
        int sum = 0;
        // A read that entered the field would mark this group stale again at once.
        for (const IdSegment *s : std::as_const(m_segments))
            sum += s->fieldScore(field);
        m_fieldScores.insert(field, sum);
    }
}

int IdSegmentGroup::score(int field)
{
    updateScores();
    const auto it = m_fieldScores.constFind(field);
    const int sum = it != m_fieldScores.cend() ? it.value() : m_baseSum;
    return int(m_segments.size()) - 1 + sum + m_adjustments.value(field, 0);
}

QList<int> IdSegmentGroup::scoredFields()
{
    updateScores();
    return m_fieldScores.keys();
}

int IdSegmentGroup::classify(int field)
{
    const int s = score(field);
    return s <= -3 ? 1 : s < 30 ? 2 : 3;
}

int IdSegmentGroup::distance(IdSegment *segment)
{
    int sum = 0;
    for (int field = 1; field <= 3; ++field)
        sum += qAbs(score(field) - segment->score(field));
    return sum;
}

bool IdSegmentGroup::allSegmentsFromKind(int kind, bool all) const
{
    const auto ofKind = [kind](const IdSegment *s) { return s->sourceKind() == kind; };
    return all ? std::all_of(m_segments.cbegin(), m_segments.cend(), ofKind)
               : std::any_of(m_segments.cbegin(), m_segments.cend(), ofKind);
}

int IdSegmentGroup::maxGroupSize() const
{
    int largest = 0;
    for (const IdSegment *s : m_segments)
        largest = qMax(largest, s->groupSize);
    return largest;
}

bool IdSegmentGroup::mayBeTitle() const
{
    return maxGroupSize() < 5 && std::none_of(m_segments.cbegin(), m_segments.cend(), [](const IdSegment *s) {
               return s->category == IdWordCategory::NotTitle;
           });
}

bool IdSegmentGroup::isFileNameTitle() const
{
    bool fromBaseName = false;
    for (const IdSegment *s : m_segments) {
        if (s->sourceKind() != 1 && s->sourceKind() != 4)
            return false;
        fromBaseName |= s->sourceKind() == 1;
    }
    if (!fromBaseName)
        return false;
    for (IdSegment *s : m_segments) {
        if (s->category == IdWordCategory::PlainWord) {
            if (s->score(IdField::Title) <= -30)
                return false;
        } else if (s->category != IdWordCategory::NotTitle) {
            return false;
        }
        if (isDecimalNumber(s->text()))
            return false;
    }
    return true;
}

bool IdSegmentGroup::resemblesText(const QString &t)
{
    const QString own = text();
    if (alphanumericKey(own) == alphanumericKey(t))
        return false;
    if (isSimilarWordText(t, own))
        return true;
    const int n = codePointLength(t);
    for (const IdSegment *s : std::as_const(m_segments)) {
        const QString u = s->text();
        const int m = codePointLength(u);
        if (n < m ? isSimilarWordText(leftCodePoints(u, n), t) : isSimilarWordText(u, leftCodePoints(t, m)))
            return true;
    }
    return false;
}

bool IdSegmentGroup::accepts(IdSegment *s, bool strict)
{
    if (!s->hasOtherWords())
        return false;
    if (m_segments.isEmpty())
        return true;
    if (s->score(IdField::Title) > 29) {
        for (const IdSegment *g : std::as_const(m_segments)) {
            if (g->groupSize > 4 || fromFolder(g))
                return false;
        }
    }
    const bool shared = isShared(s);
    if (shared && score(IdField::Title) > 29)
        return false;
    if (strict) {
        for (const IdSegment *g : std::as_const(m_segments)) {
            if ((fromFolder(g) && fromTag(s)) || (fromTag(g) && fromFolder(s)))
                continue;
            if (isShared(g) != shared)
                return false;
        }
    }
    QList<int> fields = scoredFields();
    for (auto it = s->scores().cbegin(); it != s->scores().cend(); ++it) {
        if (!fields.contains(it.key()))
            fields.append(it.key());
    }
    for (int field : std::as_const(fields)) {
        const int mine = score(field);
        const int theirs = s->score(field);
        if ((mine < -39 && theirs > 39) || (mine > 39 && theirs < -39))
            return false;
    }
    const auto trackCategory = [](const IdSegment *x) {
        return x->category == IdWordCategory::TrackGroupWord || x->category == IdWordCategory::TrackNumberValue ||
               x->category == IdWordCategory::TrackCountValue;
    };
    bool anyTrack = trackCategory(s);
    bool anyFolder = fromFolder(s);
    for (const IdSegment *g : std::as_const(m_segments)) {
        anyTrack |= trackCategory(g);
        anyFolder |= fromFolder(g);
    }
    if (anyTrack && anyFolder)
        return false;
    for (const IdSegment *g : std::as_const(m_segments)) {
        if (s->sourceKind() == 1 && g->sourceKind() == 1)
            return false;
        if (fromFolder(s) && fromFolder(g))
            return false;
        if (fromTag(s) && fromTag(g) &&
            (g->sourceKind() != s->sourceKind() || g->indexOfString() == s->indexOfString()))
            return false;
    }
    const QString t = s->text();
    for (const IdSegment *g : std::as_const(m_segments)) {
        const QString u = g->text();
        if (!isSimilarArtistName(u, t) && !equalNumbers(u, t) && !matchesFuzzyPrefix(u, t) &&
            !matchesFuzzyPrefix(t, u))
            return false;
    }
    return true;
}

bool IdSegmentGroup::tryMerge(IdSegmentGroup *other)
{
    if (m_next || m_segments.size() != other->m_segments.size())
        return false;
    for (const IdSegment *s : std::as_const(m_segments)) {
        if (s->boundary == 2)
            return false;
    }
    const auto preferredFieldOf = [](const IdSegmentGroup *g) {
        for (const IdSegment *s : g->m_segments) {
            if (s->preferred)
                return s->preferredField;
        }
        return 0;
    };
    const int mine = preferredFieldOf(this);
    bool wanted = mine != 0 && mine == preferredFieldOf(other);
    for (int field = IdField::Artist; !wanted && field <= IdField::Title; ++field)
        wanted = score(field) > 29 && other->score(field) > 29;
    if (!wanted)
        return false;
    struct Span {
        int first;
        int last;
    };
    const auto spanOf = [](const IdSegment *s, Span *span) {
        const QList<IdWord *> words = s->realWords();
        if (words.isEmpty())
            return false;
        *span = {words.first()->stringIndex, words.last()->stringIndex};
        return true;
    };
    QList<Span> mineSpans(m_segments.size());
    QList<Span> otherSpans(other->m_segments.size());
    for (qsizetype i = 0; i < m_segments.size(); ++i) {
        if (!spanOf(m_segments.at(i), &mineSpans[i]) || !spanOf(other->m_segments.at(i), &otherSpans[i]))
            return false;
    }
    QList<bool> matched(other->m_segments.size(), false);
    for (qsizetype i = 0; i < m_segments.size(); ++i) {
        bool found = false;
        for (qsizetype j = 0; j < other->m_segments.size() && !found; ++j) {
            if (!matched.at(j) && other->m_segments.at(j)->string() == m_segments.at(i)->string() &&
                otherSpans.at(j).first == mineSpans.at(i).last + 1) {
                matched[j] = true;
                found = true;
            }
        }
        if (!found)
            return false;
    }
    m_next = other;
    m_upToDate = false;
    return true;
}

QList<IdSegment *> IdSegmentGroup::textSegments() const
{
    if (m_segments.isEmpty())
        return {};
    QList<IdSegment *> candidates;
    for (IdSegment *s : m_segments) {
        for (const IdSegment *o : m_segments) {
            if (o != s && matchesFuzzyPrefix(o->text(), s->text())) {
                candidates.append(s);
                break;
            }
        }
    }
    if (candidates.isEmpty())
        candidates = m_segments;
    IdSegment *chosen = nullptr;
    using Test = bool (*)(const IdSegment *);
    const Test fromBaseName = [](const IdSegment *s) { return s->sourceKind() == 1; };
    for (const Test wanted : {Test(fromTag), fromBaseName, Test(fromFolder)}) {
        for (IdSegment *s : std::as_const(candidates)) {
            if (wanted(s)) {
                chosen = s;
                break;
            }
        }
        if (chosen)
            break;
    }
    if (!chosen)
        return {};
    QList<IdSegment *> result{chosen};
    for (const IdSegmentGroup *g : chainAfter(this)) {
        IdSegment *found = nullptr;
        for (IdSegment *s : g->m_segments) {
            if (s->string() == chosen->string()) {
                found = s;
                break;
            }
        }
        if (!found)
            break;
        result.append(found);
    }
    return result;
}

void IdSegmentGroup::updateText()
{
    m_text = joinedText(false);
}

QString IdSegmentGroup::textWithVersions()
{
    if (!m_upToDate)
        update();
    // Without a version phrase the two are the same.
    return m_versionSummary.kinds.isEmpty() ? m_text : joinedText(true);
}

QString IdSegmentGroup::joinedText(bool withVersions) const
{
    QString text;
    const QList<IdSegment *> parts = textSegments();
    if (parts.isEmpty())
        return text;
    const QList<IdWord *> all = parts.first()->string()->words();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const IdVersionItem *item = parts.at(i)->versionItem();
        text += withVersions ? item->text() : item->remainderText();
        if (i + 1 == parts.size())
            break;
        const qsizetype from = all.indexOf(parts.at(i)->words().last()) + 1;
        const qsizetype to = all.indexOf(parts.at(i + 1)->words().first(), from);
        if (from > 0 && to >= from) {
            for (qsizetype k = from; k < to; ++k)
                text += all.at(k)->text();
        }
    }
    cleanUpBrackets(text);
    return text;
}

void IdSegmentGroup::updateVersionSummary()
{
    QList<IdVersionItem *> items;
    for (const IdSegment *s : std::as_const(m_segments))
        items.append(s->versionItem());
    for (const IdSegmentGroup *g : chainAfter(this)) {
        for (const IdSegment *s : g->m_segments)
            items.append(s->versionItem());
    }
    m_versionSummary = IdVersionSummary();
    m_versionSummary.buildFrom(items);
}

void IdSegmentGroup::updateArtistName()
{
    QList<const IdSegment *> all(m_segments.cbegin(), m_segments.cend());
    for (const IdSegmentGroup *g : chainAfter(this))
        all.append(QList<const IdSegment *>(g->m_segments.cbegin(), g->m_segments.cend()));
    QString common;
    for (const IdSegment *s : std::as_const(all)) {
        const QString article = s->artistName.article;
        if (article.isEmpty())
            continue;
        if (common.isEmpty()) {
            common = article;
        } else if (common.compare(article, Qt::CaseInsensitive) != 0) {
            common.clear();
            break;
        }
    }
    m_artistName.parse(m_text);
    m_artistName.setArticle(common);
}
