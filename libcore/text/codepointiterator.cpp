#include "libcore/text/codepointiterator.h"

#include "libcore/text/codepointstring.h"

CodePoint CodePointIterator::current() const
{
    return codePointAtUnit(text, position);
}

CodePoint CodePointIterator::next()
{
    const CodePoint c = codePointAtUnit(text, position);
    if (position < text.size())
        position += c.requiresSurrogates() ? 2 : 1;
    return c;
}

CodePoint CodePointIterator::peekPrevious() const
{
    return codePointBeforeUnit(text, position);
}

CodePoint CodePointIterator::previous()
{
    const CodePoint c = codePointBeforeUnit(text, position);
    if (position > 0)
        position -= c.requiresSurrogates() ? 2 : 1;
    return c;
}

void CodePointIterator::setText(const QString &newText)
{
    text = newText;
    position = 0;
}
