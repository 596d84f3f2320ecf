#include "app/identification/idword.h"

#include "app/identification/idsection.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "libcore/text/codepointiterator.h"
#include "libcore/text/codepointstring.h"

IdWord::IdWord(const QString &text) : m_text(text)
{
    updateKind();
}

void IdWord::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    updateKind();
    if (m_section)
        m_section->updateText();
}

CodePoint IdWord::firstCodePoint() const
{
    return m_text.isEmpty() ? CodePoint() : codePointAtUnit(m_text, 0);
}

IdString *IdWord::string() const
{
    return m_section ? m_section->string() : nullptr;
}

IdStringList *IdWord::stringList() const
{
    IdString *s = string();
    return s ? s->stringList() : nullptr;
}

IdAudioFile *IdWord::audioFile() const
{
    IdStringList *list = stringList();
    return list ? list->audioFile() : nullptr;
}

void IdWord::updateKind()
{
    m_kind = IdWordKind::Word;
    if (m_text.isEmpty() || m_text.size() > 2)
        return;
    const CodePoint c = codePointAtUnit(m_text, 0);
    if ((c.requiresSurrogates() ? 2 : 1) != m_text.size())
        return;
    if (c.category() == QChar::Punctuation_Dash)
        m_kind = IdWordKind::Dash;
    else if (!c.isLetter() && !c.isNumber())
        m_kind = IdWordKind::Separator;
}

QList<IdWord *> splitIntoIdWords(const QString &text)
{
    QList<IdWord *> words;
    CodePointIterator it(text);
    int runStart = 0;
    bool runIsNumber = false;
    while (it.position < text.size()) {
        const int position = it.position;
        const CodePoint c = it.next();
        const bool letter = c.isLetter();
        const bool number = !letter && c.isNumber();
        if (!letter && !number) {
            if (position > runStart)
                words.append(new IdWord(text.mid(runStart, position - runStart)));
            words.append(new IdWord(text.mid(position, it.position - position)));
            runStart = it.position;
            continue;
        }
        if (position > runStart && number != runIsNumber) {
            words.append(new IdWord(text.mid(runStart, position - runStart)));
            runStart = position;
        }
        runIsNumber = number;
    }
    if (text.size() > runStart)
        words.append(new IdWord(text.mid(runStart)));
    return words;
}
