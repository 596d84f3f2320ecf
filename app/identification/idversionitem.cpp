#include "app/identification/idversionitem.h"

#include "app/identification/idtexttests.h"
#include "app/identification/idversionsignalphrase.h"
#include "app/identification/idword.h"
#include "libcore/text/textmatching.h"

namespace {
enum WordState { Free = 0, Matched = 1, PhraseText = 2 };

bool beginsWith(const IdWord *word, QChar::Category category)
{
    return !word->text().isEmpty() && word->firstCodePoint().category() == category;
}

bool isBracket(const IdWord *word)
{
    return word->kind() != IdWordKind::Word
           && (beginsWith(word, QChar::Punctuation_Open) || beginsWith(word, QChar::Punctuation_Close));
}

// Whether each word stands inside brackets; the outermost brackets themselves do not.
QList<bool> insideBrackets(const QList<IdWord *> &words)
{
    QList<bool> inside(words.size(), false);
    int depth = 0;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const IdWord *word = words.at(i);
        if (word->kind() == IdWordKind::Word) {
            inside[i] = depth > 0;
        } else if (beginsWith(word, QChar::Punctuation_Open)) {
            ++depth;
            inside[i] = depth > 1;
        } else if (depth > 0) {
            if (beginsWith(word, QChar::Punctuation_Close))
                --depth;
            inside[i] = depth > 0;
        }
    }
    return inside;
}
} // namespace

IdVersionItem::IdVersionItem(const QList<IdWord *> &words)
{
    setUp(words);
}

IdVersionItem::IdVersionItem(const QList<IdWord *> &words, int field) : m_hasField(true), m_field(field)
{
    setUp(words);
}

void IdVersionItem::setUp(const QList<IdWord *> &words)
{
    m_words = words;
    for (const IdWord *word : words)
        m_text += word->text();
    analyse({});
}

void IdVersionItem::setAllowedKinds(const QSet<int> &allowedKinds)
{
    if (allowedKinds != m_allowedKinds)
        analyse(allowedKinds);
}

void IdVersionItem::analyse(const QSet<int> &allowedKinds)
{
    m_kinds.clear();
    m_texts.clear();
    m_allowedKinds = allowedKinds;
    const QList<IdWord *> &w = m_words;
    const int n = int(w.size());

    int onlyWord = -1;
    for (int i = 0; i < n; ++i) {
        if (w.at(i)->kind() != IdWordKind::Word)
            continue;
        onlyWord = onlyWord == -1 ? i : -2;
    }
    const QList<bool> inside = insideBrackets(w);

    QList<int> state(n, Free);
    QList<int> kind(n, 0);
    QList<int> extension(n, 0);
    for (const IdVersionSignalPhrase *phrase : loadVersionPhrases()) {
        if (phrase->field != 0 && !(m_hasField && phrase->field == m_field))
            continue;
        const bool restricted = phrase->bracketsOnly && !allowedKinds.contains(phrase->kind);
        for (int s = 0; s < n; ++s) {
            if (restricted && !inside.at(s) && s != onlyWord)
                continue;
            const int e = phrase->matchAt(w, s);
            for (int k = s; k <= e; ++k) {
                state[k] = Matched;
                kind[k] = phrase->kind;
                extension[k] = phrase->extension;
            }
        }
    }

    // Where a walk for the phrase's own text stops.
    const auto stops = [&](int k, int i, bool dashesStop) {
        const IdWord *word = w.at(k);
        return inside.at(k) != inside.at(i) || state.at(k) != Free || isBracket(word)
               || (dashesStop && word->kind() != IdWordKind::Word && isDashCodePoint(word->firstCodePoint()));
    };
    for (int i = 0; i < n; ++i) {
        if (state.at(i) != Matched)
            continue;
        QString text;
        QList<int> taken{i};
        const bool dashesStop = !m_hasField && !inside.at(i);
        if (extension.at(i) == IdVersionSignalPhrase::WordsBefore) {
            for (int k = i - 1; k >= 0 && !stops(k, i, dashesStop); --k) {
                state[k] = PhraseText;
                text.prepend(w.at(k)->text());
                taken.append(k);
            }
        } else if (extension.at(i) == IdVersionSignalPhrase::WordsAfter) {
            for (int k = i + 1; k < n && !stops(k, i, dashesStop); ++k) {
                state[k] = PhraseText;
                taken.append(k);
                const IdWord *word = w.at(k);
                const bool leadingPunctuation = text.isEmpty() && word->kind() != IdWordKind::Word
                                                && (word->text().startsWith(u'.') || word->text().startsWith(u':'));
                if (!leadingPunctuation)
                    text += word->text();
            }
            if (inside.at(i) && m_hasField && m_field != 1 && kind.at(i) == 2) {
                // "Artist feat. Guest" inside the brackets of a title: both are featured.
                QString leading;
                for (int k = i - 1; k >= 0; --k) {
                    const IdWord *word = w.at(k);
                    if (inside.at(k) != inside.at(i) || isBracket(word) || state.at(k) != Free)
                        break;
                    state[k] = PhraseText;
                    taken.append(k);
                    leading.prepend(word->text());
                }
                if (!leading.isEmpty())
                    text = text.isEmpty() ? leading : text + QStringLiteral(", ") + leading;
            }
        }
        text = trimToAlphanumeric(text);
        m_hasVersion = true;
        m_suggestedField = 3;

        const auto keepText = [&](int k) {
            const QString longer = longerString(m_texts.value(k), text);
            if (!longer.isNull())
                m_texts.insert(k, longer);
        };
        switch (kind.at(i)) {
        case 1:
        case 6:
            m_kinds.insert(kind.at(i));
            break;
        case 3:
        case 4:
        case 5:
        case 7:
            m_kinds.insert(kind.at(i));
            keepText(kind.at(i));
            break;
        case 2:
            if (text.isEmpty()) {
                for (int k : taken)
                    state[k] = Free;
                break;
            }
            m_kinds.insert(2);
            keepText(2);
            if (!inside.at(i))
                m_suggestedField = 1;
            break;
        default:
            break;
        }
    }

    // The words no phrase took, without the bracket pairs that are left empty.
    QList<IdWord *> remainder;
    for (int i = 0; i < n; ++i) {
        if (state.at(i) == Free)
            remainder.append(w.at(i));
    }
    for (bool removed = true; removed;) {
        removed = false;
        qsizetype closer = -1;
        for (qsizetype i = remainder.size() - 1; i >= 0; --i) {
            const IdWord *word = remainder.at(i);
            if (beginsWith(word, QChar::Punctuation_Close)) {
                closer = i;
            } else if (word->kind() == IdWordKind::Word) {
                closer = -1;
            } else if (beginsWith(word, QChar::Punctuation_Open) && closer != -1) {
                remainder.remove(i, closer - i + 1);
                closer = -1;
                removed = true;
            }
        }
    }
    m_remainderText.clear();
    m_hasOtherWords = false;
    for (const IdWord *word : remainder) {
        m_remainderText += word->text();
        if (word->kind() == IdWordKind::Word)
            m_hasOtherWords = true;
    }
}
