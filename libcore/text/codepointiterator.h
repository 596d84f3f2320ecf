#pragma once

#include <QString>

#include "libcore/text/codepoint.h"

// Walks a text's code points over its UTF-16 units; a surrogate pair is one code point, an
// unpaired surrogate unit is a code point of its own value. Callers test `position` against
// the text's length (forwards) or 0 (backwards) themselves.
class CodePointIterator
{
public:
    CodePointIterator() = default;
    explicit CodePointIterator(const QString &text) : text(text) {}

    CodePoint current() const;
    CodePoint next();
    CodePoint peekPrevious() const;
    CodePoint previous();
    void setText(const QString &text);

    bool hasNext() const { return position < text.size(); }
    bool hasPrevious() const { return position > 0; }

    QString text;
    int position = 0;
};
