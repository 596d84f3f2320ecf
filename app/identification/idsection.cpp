#include "app/identification/idsection.h"

#include "app/identification/idstring.h"
#include "app/identification/idtexttests.h"
#include "app/identification/idversionitem.h"
#include "app/identification/idword.h"
#include "app/identification/idwordlists.h"
#include "libcore/text/codepointstring.h"
#include "libcore/text/textmatching.h"

IdSection::IdSection(const QList<IdWord *> &words, IdString *string) : m_string(string)
{
    m_words.reserve(words.size());
    for (IdWord *word : words) {
        adopt(word);
        m_words.append(word);
        m_text += word->text();
    }
    updateHasWords();
    renumberWords();
}

IdSection::~IdSection()
{
    qDeleteAll(m_words);
}

QList<IdWord *> IdSection::realWords() const
{
    QList<IdWord *> result;
    for (IdWord *word : m_words) {
        if (word->kind() == IdWordKind::Word)
            result.append(word);
    }
    return result;
}

IdAudioFile *IdSection::audioFile() const
{
    return m_string ? m_string->audioFile() : nullptr;
}

void IdSection::setText(const QString &text)
{
    if (text == m_text)
        return;
    qDeleteAll(m_words);
    m_words.clear();
    m_text = text;
    for (IdWord *word : splitIntoIdWords(text)) {
        adopt(word);
        m_words.append(word);
    }
    updateHasWords();
    renumberWords();
    if (m_string)
        m_string->updateText();
}

void IdSection::setTextKeepingBlanks(const QString &text)
{
    qsizetype start = 0;
    while (start < m_text.size() && m_text.at(start).isSpace())
        ++start;
    qsizetype end = m_text.size();
    while (end > start && m_text.at(end - 1).isSpace())
        --end;
    setText(m_text.left(start) + text.trimmed() + m_text.mid(end));
}

IdWord *IdSection::insertWord(int sectionIndex, const QString &text)
{
    qsizetype at = m_words.size();
    for (qsizetype i = 0; i < m_words.size(); ++i) {
        if (m_words.at(i)->sectionIndex == sectionIndex) {
            at = i;
            break;
        }
    }
    auto *word = new IdWord(text);
    adopt(word);
    m_words.insert(at, word);
    updateText();
    return word;
}

void IdSection::updateText()
{
    m_text.clear();
    for (const IdWord *word : m_words)
        m_text += word->text();
    updateHasWords();
    renumberWords();
    if (m_string)
        m_string->updateText();
}

void IdSection::updateHasWords()
{
    m_hasWords = std::any_of(m_words.cbegin(), m_words.cend(),
                             [](const IdWord *word) { return word->kind() == IdWordKind::Word; });
}

void IdSection::renumberWords()
{
    int next = 0;
    for (IdWord *word : m_words)
        word->sectionIndex = word->kind() == IdWordKind::Word ? next++ : -1;
}

QList<IdWord *> IdSection::takeWords()
{
    QList<IdWord *> words;
    words.swap(m_words);
    for (IdWord *word : words)
        word->m_section = nullptr;
    return words;
}

void IdSection::adopt(IdWord *word)
{
    word->m_section = this;
}

namespace {
bool isNonWord(const IdWord *word)
{
    return word->kind() != IdWordKind::Word;
}

bool beginsWith(const IdWord *word, QChar::Category category)
{
    return !word->text().isEmpty() && word->firstCodePoint().category() == category;
}

// Pass 1: numbers, dashes and brackets.
void markNumbersDashesAndBrackets(const QList<IdWord *> &words)
{
    const int n = int(words.size());
    bool wordSeen = false;
    int i = 0;
    while (i < n) {
        IdWord *word = words.at(i);
        IdWord *previous = i > 0 ? words.at(i - 1) : nullptr;
        const auto add = [&](quint32 flags, IdWord *a, IdWord *b) {
            if (a)
                a->breakFlags |= flags;
            if (b)
                b->breakFlags |= flags;
        };
        if (smallNumber(word->text()) != -1) {
            add(wordSeen ? IdSectionBreak::NumberBreak
                         : IdSectionBreak::NumberBreak | IdSectionBreak::LeadingNumberBreak,
                previous, word);
        } else if (isNonWord(word) && beginsWith(word, QChar::Punctuation_Open)) {
            // Brackets holding only numbers.
            int realWords = 0;
            for (int j = i + 1; j < n; ++j) {
                IdWord *inside = words.at(j);
                if (isNonWord(inside)) {
                    if (!beginsWith(inside, QChar::Punctuation_Close))
                        continue;
                    if (realWords > 0) {
                        add(IdSectionBreak::BracketedNumberBreak, previous, word);
                        add(IdSectionBreak::BracketedNumberBreak, words.at(j - 1), inside);
                    }
                    break;
                }
                if (!isDecimalNumber(inside->text()))
                    break;
                ++realWords;
            }
            // Brackets holding only version phrases are passed over as a whole.
            int k = i + 1;
            while (k < n && !(isNonWord(words.at(k)) && beginsWith(words.at(k), QChar::Punctuation_Close)))
                ++k;
            if (k < n) {
                const IdVersionItem version(words.mid(i, k - i + 1));
                if (!version.hasOtherWords()) {
                    wordSeen = true;
                    i = k + 1;
                    continue;
                }
            }
        } else if (word->kind() == IdWordKind::Dash) {
            add(IdSectionBreak::DashBreak, previous, word);
        }
        if (word->kind() == IdWordKind::Word)
            wordSeen = true;
        ++i;
    }
}

// The year of the first Word-kind word from `from` in steps of `step` past separators; -1
// when a dash or the end comes first.
int yearBeside(const QList<IdWord *> &words, int from, int step)
{
    for (int i = from; i >= 0 && i < words.size(); i += step) {
        const IdWord *word = words.at(i);
        if (word->kind() == IdWordKind::Separator)
            continue;
        if (word->kind() == IdWordKind::Dash)
            return -1;
        return isYear(word->text());
    }
    return -1;
}

// Pass 2: the dash of a rising year range never cuts.
void markYearRanges(const QList<IdWord *> &words)
{
    const int n = int(words.size());
    for (int i = 1; i <= n - 2; ++i) {
        if (words.at(i)->kind() != IdWordKind::Dash)
            continue;
        const int before = yearBeside(words, i - 1, -1);
        const int after = yearBeside(words, i + 1, 1);
        if (before != -1 && after != -1 && before < after) {
            words.at(i - 1)->breakFlags = IdSectionBreak::YearRange;
            words.at(i)->breakFlags = IdSectionBreak::YearRange;
        }
    }
}

bool isSeparatorAt(const QList<IdWord *> &words, int i)
{
    return i >= 0 && i < words.size() && words.at(i)->kind() == IdWordKind::Separator;
}

// Pass 3: an unspaced dash with a short side is a hyphen inside a name.
void markShortHyphenations(const QList<IdWord *> &words)
{
    const int n = int(words.size());
    int threshold = 4;
    for (int i = 0; i < n; ++i) {
        if (words.at(i)->kind() == IdWordKind::Dash && (isSeparatorAt(words, i - 1) || isSeparatorAt(words, i + 1))) {
            threshold = 8;
            break;
        }
    }
    for (int i = 0; i < n; ++i) {
        IdWord *dash = words.at(i);
        if (dash->kind() != IdWordKind::Dash || (dash->breakFlags & IdSectionBreak::YearRange)
            || isSeparatorAt(words, i - 1) || isSeparatorAt(words, i + 1))
            continue;
        int leftStart = 0;
        for (int k = i - 1; k >= 0; --k) {
            if (words.at(k)->kind() == IdWordKind::Dash) {
                leftStart = k;
                break;
            }
        }
        int rightEnd = n - 1;
        for (int k = i + 1; k < n; ++k) {
            if (words.at(k)->kind() == IdWordKind::Dash) {
                rightEnd = k;
                break;
            }
        }
        const int left = i == 0 ? -1 : rangeTextLength(words, leftStart, i - 1);
        const int right = rangeTextLength(words, i + 1, rightEnd);
        if (left != -1 && right != -1 && qMin(left, right) < threshold) {
            if (i > 0)
                words.at(i - 1)->breakFlags = IdSectionBreak::ShortHyphenation;
            dash->breakFlags = IdSectionBreak::ShortHyphenation;
        }
    }
}

// Whether the words from `from` in steps of `step` up to the next dash hold exactly one
// Word-kind word, and a common one.
bool isCommonWordSide(const QList<IdWord *> &words, int from, int step)
{
    if (from < 0 || from >= words.size() || words.at(from)->kind() == IdWordKind::Dash)
        return false;
    const IdWord *only = nullptr;
    for (int i = from; i >= 0 && i < words.size() && words.at(i)->kind() != IdWordKind::Dash; i += step) {
        if (words.at(i)->kind() != IdWordKind::Word)
            continue;
        if (only)
            return false;
        only = words.at(i);
    }
    return only && isCommonWord(only->text());
}

// Pass 4: a hyphen joined to a single common word.
void markCommonWordHyphenations(const QList<IdWord *> &words)
{
    for (int i = 0; i < words.size(); ++i) {
        IdWord *dash = words.at(i);
        if (dash->kind() != IdWordKind::Dash)
            continue;
        if (isCommonWordSide(words, i - 1, -1) || isCommonWordSide(words, i + 1, 1)) {
            const auto mark = [](IdWord *word) {
                word->breakFlags = (word->breakFlags & IdSectionBreak::ShortHyphenation)
                                   | IdSectionBreak::CommonWordHyphenation;
            };
            if (i > 0)
                mark(words.at(i - 1));
            mark(dash);
        }
    }
}
} // namespace

int rangeTextLength(const QList<IdWord *> &words, int first, int last)
{
    const int n = int(words.size());
    if (last < 0 || first >= n)
        return -1;
    first = qMax(first, 0);
    last = qMin(last, n - 1);
    while (first <= last && isNonWord(words.at(first)))
        ++first;
    while (last >= first && isNonWord(words.at(last)))
        --last;
    if (last < first)
        return -1;
    int length = 0;
    bool onlyNumbers = true;
    for (int i = first; i <= last; ++i) {
        const IdWord *word = words.at(i);
        length += codePointLength(word->text());
        if (word->kind() == IdWordKind::Word && !isDecimalNumber(word->text()))
            onlyNumbers = false;
    }
    return onlyNumbers ? -1 : length;
}

void analyseSectionBreaks(const QList<IdWord *> &words)
{
    for (IdWord *word : words)
        word->breakFlags = 0;
    markNumbersDashesAndBrackets(words);
    markYearRanges(words);
    markShortHyphenations(words);
    markCommonWordHyphenations(words);
}
