#include "app/identification/stages/normalizeidstrings.h"
#include "app/identification/identificationtextids.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/idgroup.h"
#include "app/identification/idsection.h"
#include "app/identification/idsegment.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idtable.h"
#include "app/identification/idtexttests.h"
#include "app/identification/idtracknumbergroup.h"
#include "app/identification/idword.h"
#include "app/identification/idwordlists.h"
#include "libcore/log/logger.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/textmatching.h"

namespace {
constexpr quint32 StringStepBreaks = IdSectionBreak::DashBreak | IdSectionBreak::BracketedNumberBreak;
constexpr quint32 RepeatedSectionBreaks = IdSectionBreak::DashBreak | IdSectionBreak::LeadingNumberBreak |
                                          IdSectionBreak::BracketedNumberBreak | IdSectionBreak::ShortHyphenation;

// A segment must end after this word.
constexpr quint32 SegmentEnd = 2;

bool isWord(const IdWord *word)
{
    return word->kind() == IdWordKind::Word;
}

bool startsWith(const IdWord *word, QChar::Category category)
{
    return !word->text().isEmpty() && word->firstCodePoint().category() == category;
}

bool isBracket(const IdWord *word)
{
    return startsWith(word, QChar::Punctuation_Open) || startsWith(word, QChar::Punctuation_Close);
}

void endBefore(const QList<IdWord *> &words, qsizetype k)
{
    if (k > 0 && k - 1 < words.size())
        words.at(k - 1)->boundary = SegmentEnd;
}

void setCategory(const QList<IdWord *> &words, qsizetype from, qsizetype to, int category)
{
    for (qsizetype k = qMax<qsizetype>(from, 0); k <= to && k < words.size(); ++k) {
        if (words.at(k)->category == IdWordCategory::PlainWord)
            words.at(k)->category = category;
    }
}

// The index of the next Word-kind word from `from` on, -1 without one.
qsizetype nextWord(const QList<IdWord *> &words, qsizetype from)
{
    for (qsizetype k = qMax<qsizetype>(from, 0); k < words.size(); ++k) {
        if (isWord(words.at(k)))
            return k;
    }
    return -1;
}

qsizetype previousWord(const QList<IdWord *> &words, qsizetype from)
{
    for (qsizetype k = from; k >= 0; --k) {
        if (isWord(words.at(k)))
            return k;
    }
    return -1;
}

int kindOf(const IdString *string)
{
    return string->stringList() ? string->stringList()->kind() : -1;
}

// An opening (step -1) or closing (step 1) mark beside a year: a dash or a bracket with only
// separators between; -1 without one, -2 when a word comes first.
qsizetype yearMark(const QList<IdWord *> &words, qsizetype i, int step)
{
    const QChar::Category bracket = step < 0 ? QChar::Punctuation_Open : QChar::Punctuation_Close;
    for (qsizetype k = i + step; k >= 0 && k < words.size(); k += step) {
        const IdWord *word = words.at(k);
        if (isWord(word))
            return -2;
        if (word->kind() == IdWordKind::Dash || startsWith(word, bracket))
            return k;
    }
    return -1;
}

bool isSharedSeparatorCandidate(const QList<IdWord *> &words, qsizetype k)
{
    const IdWord *word = words.at(k);
    if (isWord(word))
        return false;
    if (word->kind() != IdWordKind::Dash) {
        const CodePoint c = word->firstCodePoint();
        if (!c.isPunct() || (c.value() < 0x80 && QStringLiteral("!\"&',.?").contains(QChar(char16_t(c.value())))))
            return false;
    }
    const qsizetype before = previousWord(words, k - 1);
    const qsizetype after = nextWord(words, k + 1);
    return before != -1 && after != -1 && !words.at(before)->group && !words.at(after)->group;
}

struct SectionEntry {
    QString key;
    IdWord *word;
};
} // namespace

void markNumberPhrases(IdString *string, bool isTrack)
{
    if (isTrack && kindOf(string) == 0)
        return;
    const int keywordCategory = isTrack ? IdWordCategory::NotTitle : IdWordCategory::DiscKeyword;
    const int numberCategory = isTrack ? IdWordCategory::TrackNumberValue : IdWordCategory::DiscNumberValue;
    const int countCategory = isTrack ? IdWordCategory::TrackCountValue : IdWordCategory::DiscCountValue;
    const QList<IdWord *> words = string->words();
    qsizetype i = 0;
    while (i < words.size()) {
        const QString &text = words.at(i)->text();
        if (!(isTrack ? endsWithTrackNumberWord(text) : isDiscNumberWord(text))) {
            ++i;
            continue;
        }
        qsizetype keywordEnd = i;
        const qsizetype bridge = nextWord(words, i + 1);
        if (bridge != -1 && isNumberBridgeWord(words.at(bridge)->text()))
            keywordEnd = bridge;
        const qsizetype searchStart = keywordEnd + 1;
        const qsizetype numberEnd = nextWord(words, searchStart);
        const int p = numberEnd == -1 ? -1 : smallNumber(words.at(numberEnd)->text());
        if (p == -1) {
            ++i;
            continue;
        }
        endBefore(words, i);
        setCategory(words, i, keywordEnd, keywordCategory);
        words.at(keywordEnd)->boundary = SegmentEnd;
        QList<IdWord *> numberWords;
        for (qsizetype k = searchStart; k <= numberEnd; ++k) {
            if (words.at(k)->category == IdWordCategory::PlainWord) {
                words.at(k)->category = numberCategory;
                numberWords.append(words.at(k));
            }
        }
        words.at(numberEnd)->boundary = SegmentEnd;

        qsizetype separator = -1;
        for (qsizetype k = numberEnd + 1; k < words.size(); ++k) {
            if (isNumberSeparatorWord(words.at(k)->text())) {
                separator = k;
                break;
            }
            if (isWord(words.at(k)))
                break;
        }
        const qsizetype countEnd = separator == -1 ? -1 : nextWord(words, separator + 1);
        const int q = countEnd == -1 ? -1 : smallNumber(words.at(countEnd)->text());
        if (q == -1) {
            i = numberEnd + 1;
            continue;
        }
        setCategory(words, numberEnd + 1, separator, IdWordCategory::IgnoredWord);
        words.at(separator)->boundary = SegmentEnd;
        if (p <= q) {
            setCategory(words, separator + 1, countEnd, countCategory);
        } else {
            // The larger number is the count.
            setCategory(words, separator + 1, countEnd, numberCategory);
            for (IdWord *word : std::as_const(numberWords))
                word->category = countCategory;
        }
        words.at(countEnd)->boundary = SegmentEnd;
        i = countEnd + 1;
    }
}

void splitFileNameAtTagValue(IdString *string)
{
    if (kindOf(string) != 1)
        return;
    const IdSection *first = nullptr;
    for (const IdSection *section : string->sections()) {
        if (section->hasWords() && !isDecimalNumber(section->text())) {
            first = section;
            break;
        }
    }
    const IdAudioFile *file = string->audioFile();
    if (!first || !file)
        return;
    QList<const IdSection *> candidates;
    for (const IdStringList *list : file->stringLists()) {
        if (list->kind() < 2 || list->kind() > 4)
            continue;
        for (IdString *tagString : list->strings()) {
            tagString->setSectionBreaks(StringStepBreaks);
            for (const IdSection *section : tagString->sections())
                candidates.append(section);
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const IdSection *a, const IdSection *b) {
        return a->text().size() > b->text().size();
    });
    const QList<IdWord *> &fWords = first->words();
    for (qsizetype c = 0; c < candidates.size(); ++c) {
        const IdSection *t = candidates.at(c);
        const QString key = alphanumericKey(t->text());
        if (key.isEmpty())
            continue;
        QString prefix;
        QString bestPrefix;
        int bestDistance = -1;
        qsizetype bestEnd = -1;
        for (qsizetype k = 0; k < fWords.size(); ++k) {
            if (bestEnd == -1 && isDecimalNumber(fWords.at(k)->text()))
                continue;
            prefix += alphanumericKey(fWords.at(k)->text());
            const int d = editDistance(prefix, key);
            if (bestEnd != -1 && d > bestDistance)
                break;
            bestPrefix = prefix;
            bestDistance = d;
            bestEnd = k;
            if (d == 0)
                break;
        }
        if (bestEnd == -1 || !isSimilarText(bestPrefix, key))
            continue;
        const int tagKind = t->string() ? kindOf(t->string()) : -1;
        bool accepted = string->sections().size() == 1 && (tagKind == 2 || tagKind == 3);
        if (!accepted) {
            QString rest;
            bool restHasWord = false;
            for (qsizetype k = bestEnd + 1; k < fWords.size(); ++k) {
                rest += fWords.at(k)->text();
                restHasWord |= isWord(fWords.at(k));
            }
            for (qsizetype u = 0; restHasWord && !accepted && u < candidates.size(); ++u)
                accepted = u != c && isSimilarWordText(candidates.at(u)->text(), rest);
        }
        if (!accepted)
            continue;
        if (fWords.at(bestEnd)->boundary == 0)
            fWords.at(bestEnd)->boundary = 1;
        return;
    }
}

void markYears(IdString *string)
{
    const QList<IdWord *> words = string->words();
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (!isWord(words.at(i)))
            continue;
        const int y = isYear(words.at(i)->text());
        if (y == -1)
            continue;
        const qsizetype opening = yearMark(words, i, -1);
        const qsizetype closing = yearMark(words, i, 1);
        if (opening == -2 || closing == -2)
            continue;
        if (opening >= 0 && words.at(opening)->kind() == IdWordKind::Dash) {
            const qsizetype before = previousWord(words, i - 1);
            if (before != -1) {
                const int other = isYear(words.at(before)->text());
                if (other != -1 && other < y)
                    continue;
            }
        }
        if (closing >= 0 && words.at(closing)->kind() == IdWordKind::Dash) {
            const qsizetype after = nextWord(words, i + 1);
            if (after != -1) {
                const int other = isYear(words.at(after)->text());
                if (other != -1 && other > y)
                    continue;
            }
        }
        if (opening >= 0) {
            endBefore(words, opening);
            words.at(opening)->boundary = SegmentEnd;
        }
        endBefore(words, i);
        setCategory(words, i, i, IdWordCategory::YearWord);
        words.at(i)->boundary = SegmentEnd;
        if (closing >= 0) {
            if (closing + 1 < words.size())
                words.at(closing + 1)->boundary = SegmentEnd;
            words.at(closing)->boundary = SegmentEnd;
        }
    }
}

void markBracketedNumberLists(IdString *string)
{
    const QList<IdWord *> words = string->words();
    qsizetype i = 0;
    while (i < words.size()) {
        if (!startsWith(words.at(i), QChar::Punctuation_Open)) {
            ++i;
            continue;
        }
        int numbers = 0;
        qsizetype closing = -1;
        for (qsizetype j = i + 1; j < words.size(); ++j) {
            const IdWord *word = words.at(j);
            if (isWord(word)) {
                if (word->text().size() < 5 && isDecimalNumber(word->text())) {
                    ++numbers;
                    continue;
                }
                break;
            }
            if (startsWith(word, QChar::Punctuation_Close)) {
                closing = j;
                break;
            }
        }
        if (numbers > 5 && closing != -1) {
            endBefore(words, i);
            setCategory(words, i, closing, IdWordCategory::IgnoredWord);
            words.at(closing)->boundary = SegmentEnd;
            i = closing + 1;
        } else {
            ++i;
        }
    }
}

void markWebAddresses(IdString *string)
{
    const QList<IdWord *> words = string->words();
    qsizetype i = 0;
    while (i + 1 < words.size()) {
        const IdWord *word = words.at(i);
        const QString &text = word->text();
        const char16_t following = words.at(i + 1)->text().isEmpty() ? 0 : words.at(i + 1)->text().at(0).unicode();
        const bool starts = isWord(word) &&
                            (((text.compare(QLatin1String("http"), Qt::CaseInsensitive) == 0 ||
                               text.compare(QLatin1String("https"), Qt::CaseInsensitive) == 0) &&
                              following == u':') ||
                             (text.compare(QLatin1String("www"), Qt::CaseInsensitive) == 0 && following == u'.'));
        if (!starts) {
            ++i;
            continue;
        }
        qsizetype end = words.size();
        for (qsizetype k = i + 2; k < words.size(); ++k) {
            const IdWord *w = words.at(k);
            if (!w->text().isEmpty() && (w->firstCodePoint().isSpace() || isBracket(w))) {
                end = k;
                break;
            }
        }
        endBefore(words, i);
        setCategory(words, i, end - 1, IdWordCategory::IgnoredWord);
        words.at(end - 1)->boundary = SegmentEnd;
        i = end + 1;
    }
}

void markInvalidPhrases(IdString *string)
{
    const QList<IdWord *> words = string->words();
    qsizetype start = 0;
    for (qsizetype k = 0; k <= words.size(); ++k) {
        if (k < words.size() && words.at(k)->kind() != IdWordKind::Dash && !isBracket(words.at(k)))
            continue;
        const QList<IdWord *> run = words.mid(start, k - start);
        const bool hasWord = std::any_of(run.cbegin(), run.cend(), isWord);
        const InvalidTextClass c = hasWord ? classifyInvalidWords(run) : InvalidTextClass::InvalidGeneral;
        if (c != InvalidTextClass::NotInvalid) {
            int category = IdWordCategory::IgnoredWord;
            switch (c) {
            case InvalidTextClass::InvalidGeneral: category = IdWordCategory::IgnoredWord; break;
            case InvalidTextClass::VariousArtists: category = IdWordCategory::VariousArtistsPhrase; break;
            case InvalidTextClass::InvalidArtist: category = IdWordCategory::NotArtist; break;
            case InvalidTextClass::InvalidAlbum: category = IdWordCategory::NotAlbum; break;
            case InvalidTextClass::InvalidTitle: category = IdWordCategory::NotTitle; break;
            default: Logger::error(UnknownInvalidClassTextId, {int(c)}); break;
            }
            endBefore(words, start);
            setCategory(words, start, k - 1, category);
            if (k > start)
                words.at(k - 1)->boundary = SegmentEnd;
        }
        start = k + 1;
    }
}

void markSectionEnds(IdString *string)
{
    for (const IdSection *section : string->sections()) {
        if (!section->words().isEmpty() && section->words().last()->boundary == 0)
            section->words().last()->boundary = 1;
    }
}

void markCategoryChanges(IdString *string)
{
    const QList<IdWord *> words = string->words();
    for (qsizetype k = 1; k < words.size(); ++k) {
        if (words.at(k - 1)->category != words.at(k)->category)
            words.at(k - 1)->boundary = SegmentEnd;
    }
}

void markGroupEntryBoundaries(const QList<IdGroup *> &groups)
{
    for (const IdGroup *group : groups) {
        for (int e = 0; e < group->entryCount(); ++e) {
            const IdGroupEntry *entry = group->entry(e);
            const QList<IdWord *> entryWords = entry->words();
            if (entryWords.isEmpty() || !entry->string())
                continue;
            const QList<IdWord *> all = entry->string()->words();
            const qsizetype d = all.indexOf(entryWords.first());
            qsizetype x = all.indexOf(entryWords.last());
            if (d == -1 || x == -1)
                continue;
            qsizetype start = 0;
            for (qsizetype k = d - 1; k >= 0; --k) {
                if (isWord(all.at(k)) || all.at(k)->kind() == IdWordKind::Dash) {
                    all.at(k)->boundary = SegmentEnd;
                    start = k + 1;
                    break;
                }
            }
            while (x + 1 < all.size() && all.at(x + 1)->kind() == IdWordKind::Separator)
                ++x;
            all.at(x)->boundary = SegmentEnd;
            for (qsizetype k = start; k <= x; ++k) {
                IdWord *word = all.at(k);
                if (group->kind() == IdGroup::TrackNumber && word->category == IdWordCategory::PlainWord)
                    word->category = IdWordCategory::TrackGroupWord;
                word->groupSize = group->entryCount();
            }
        }
    }
}

void splitTrackGroupStrings(const QList<IdGroup *> &groups)
{
    for (IdGroup *group : groups) {
        if (group->kind() != IdGroup::TrackNumber || group->entryCount() <= 4)
            continue;
        for (int kind = 1; kind <= 4; ++kind)
            splitAtSharedSeparators(static_cast<IdTrackNumberGroup *>(group), kind);
    }
}

void splitAtSharedSeparators(IdTrackNumberGroup *group, int kind)
{
    IdTable<IdString *> table;
    for (int e = 0; e < group->entryCount(); ++e) {
        const IdString *string = group->entry(e)->string();
        const IdAudioFile *file = string ? string->audioFile() : nullptr;
        if (const IdStringList *list = file ? file->stringList(kind) : nullptr)
            table.appendRow(list->strings());
    }
    for (int c = 0; c < table.width; ++c) {
        QList<QList<IdWord *>> rows; // per participating row: its words
        QList<QList<qsizetype>> candidates;
        bool dropped = false;
        for (const QList<IdString *> &row : std::as_const(table.rows)) {
            if (row.size() <= c)
                continue;
            const QList<IdWord *> words = row.at(c)->words();
            QList<qsizetype> found;
            for (qsizetype k = 0; k < words.size(); ++k) {
                if (isSharedSeparatorCandidate(words, k))
                    found.append(k);
            }
            if (found.isEmpty()) {
                dropped = true;
                break;
            }
            rows.append(words);
            candidates.append(found);
        }
        if (dropped)
            continue;
        QList<quint32> codePoints;
        for (qsizetype r = 0; r < rows.size(); ++r) {
            for (qsizetype k : candidates.at(r)) {
                const quint32 p = rows.at(r).at(k)->firstCodePoint().value();
                if (!codePoints.contains(p))
                    codePoints.append(p);
            }
        }
        for (quint32 p : std::as_const(codePoints)) {
            QList<qsizetype> chosen;
            for (qsizetype r = 0; r < rows.size(); ++r) {
                qsizetype only = -1;
                int count = 0;
                for (qsizetype k : candidates.at(r)) {
                    if (rows.at(r).at(k)->firstCodePoint().value() == p) {
                        only = k;
                        ++count;
                    }
                }
                if (count != 1)
                    break;
                chosen.append(only);
            }
            if (chosen.size() != rows.size())
                continue;
            for (qsizetype r = 0; r < rows.size(); ++r) {
                const QList<IdWord *> &words = rows.at(r);
                endBefore(words, chosen.at(r));
                words.at(chosen.at(r))->boundary = SegmentEnd;
            }
        }
    }
}

int trackNumberOf(const IdAudioFile *file)
{
    int number = -1;
    for (const IdStringList *list : file->stringLists()) {
        for (const IdString *string : list->strings()) {
            for (const IdWord *word : string->words()) {
                if (list->kind() != 5 && word->category != IdWordCategory::TrackGroupWord &&
                    word->category != IdWordCategory::TrackNumberValue)
                    continue;
                const int value = smallNumber(word->text());
                if (value == -1)
                    continue;
                if (number == -1)
                    number = value;
                else if (value != number)
                    return -1;
            }
        }
    }
    return number;
}

void splitAtRepeatedSections(IdAudioFile *file)
{
    const int track = trackNumberOf(file);
    QList<QList<SectionEntry>> rows;
    for (const IdStringList *list : file->stringLists()) {
        const bool base = list->kind() == 1 || list->kind() == 4;
        for (IdString *string : list->strings()) {
            for (IdWord *word : string->words()) {
                if (!(word->breakFlags & IdSectionBreak::LeadingNumberBreak))
                    continue;
                const bool keep =
                    track != -1 && base && !word->group && smallNumber(word->text()) == track;
                if (!keep)
                    word->breakFlags &= ~quint32(IdSectionBreak::LeadingNumberBreak);
            }
            // The flags changed: cut the string again whatever its mask was.
            string->setSectionBreaks(0);
            string->setSectionBreaks(RepeatedSectionBreaks);
            QList<SectionEntry> row;
            for (const IdSection *section : string->sections()) {
                if (!section->hasWords())
                    continue;
                IdWord *last = section->words().last();
                row.append({alphanumericKey(section->text()), last});
                if (last->boundary != 0) {
                    rows.append(row);
                    row.clear();
                }
            }
            if (!row.isEmpty())
                rows.append(row);
        }
    }
    for (qsizetype a = 0; a < rows.size(); ++a) {
        for (qsizetype b = 0; b < rows.at(a).size(); ++b) {
            for (qsizetype c = a; c < rows.size(); ++c) {
                for (qsizetype d = c == a ? b + 1 : 0; d < rows.at(c).size(); ++d) {
                    const QList<SectionEntry> &x = rows.at(a);
                    const QList<SectionEntry> &y = rows.at(c);
                    if (x.at(b).key != y.at(d).key)
                        continue;
                    const bool xFirst = b == 0;
                    const bool yFirst = d == 0;
                    if (!(!xFirst && !yFirst && x.at(b - 1).key == y.at(d - 1).key) && !(xFirst && yFirst)) {
                        if (!xFirst)
                            x.at(b - 1).word->boundary = SegmentEnd;
                        if (!yFirst)
                            y.at(d - 1).word->boundary = SegmentEnd;
                    }
                    const bool xLast = b + 1 == x.size();
                    const bool yLast = d + 1 == y.size();
                    if (xLast || yLast || x.at(b + 1).key != y.at(d + 1).key) {
                        x.at(b).word->boundary = SegmentEnd;
                        y.at(d).word->boundary = SegmentEnd;
                    }
                }
            }
        }
    }
}

void createSegments(IdAudioFile *file)
{
    QList<IdSegment *> segments;
    for (const IdStringList *list : file->stringLists()) {
        for (IdString *string : list->strings()) {
            const QList<IdWord *> words = string->words();
            qsizetype start = 0;
            for (qsizetype k = 0; k < words.size(); ++k) {
                if (words.at(k)->boundary == 0 && k + 1 < words.size())
                    continue;
                const QList<IdWord *> stretch = words.mid(start, k - start + 1);
                start = k + 1;
                if (std::any_of(stretch.cbegin(), stretch.cend(), isWord))
                    segments.append(new IdSegment(string, stretch, file));
            }
        }
    }
    file->setSegments(segments);
}

void normalizeIdStrings(const QList<IdAudioFile *> &files, const QList<IdGroup *> &groups)
{
    markGroupEntryBoundaries(groups);
    splitTrackGroupStrings(groups);
    for (IdAudioFile *file : files) {
        for (const IdStringList *list : file->stringLists()) {
            for (IdString *string : list->strings()) {
                string->setSectionBreaks(StringStepBreaks);
                markNumberPhrases(string, true);
                markNumberPhrases(string, false);
                splitFileNameAtTagValue(string);
                markYears(string);
                markBracketedNumberLists(string);
                markWebAddresses(string);
                markInvalidPhrases(string);
                markSectionEnds(string);
                markCategoryChanges(string);
            }
        }
        splitAtRepeatedSections(file);
        createSegments(file);
    }
}
