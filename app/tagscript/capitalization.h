#pragma once

#include <QList>
#include <QSet>
#include <QString>

#include "libcore/text/codepoint.h"

// The letter-case styles of the capitalise commands, of identified values and of the caps
// script functions. Any other number yields a null text.
enum CapitalizationStyle : int {
    TitleCase = 0,
    Unchanged = 1,
    LowerCase = 2,
    FirstLetterUpper = 3,
    EachWordUpper = 4,
    UpperCase = 5
};

// What a style may change: callers pass both, or upper-casing only (letters that are not
// made capitals then keep their case).
enum CapitalizationFlag : int { AllowLowerCase = 1, AllowUpperCase = 2 };
using CapitalizationFlags = int;

// Everything works on code points: a character beyond the BMP is one character. Words are
// runs of letters, numbers and apostrophes.
QString applyCapitalization(const QString &text, int style, CapitalizationFlags flags);
// applyCapitalization, then every character directly after one of the characters
// upper-cased.
QString applyCapitalizationAfter(const QString &text, int style, const QList<CodePoint> &characters,
                                 CapitalizationFlags flags);

// The first and last word of every segment (segments are split at . : ? ! - ( ) [ ] { } ")
// and every word that is not a small word begin with a capital; the rest is lower case.
QString titleCase(const QString &text, CapitalizationFlags flags);
// The first word character of the text upper case, everything else lower case.
QString capitalizeFirst(const QString &text, CapitalizationFlags flags);
// Every word begins with a capital and goes on in lower case.
QString capitalizeWords(const QString &text, CapitalizationFlags flags);
// Upper case at the code-point positions, lower case elsewhere.
QString capitalizeAtPositions(const QString &text, const QSet<int> &positions, CapitalizationFlags flags);
// Upper-cases, whatever the flags, each character that follows one of the characters in the
// text as given.
QString capitalizeAfterCharacters(const QString &text, const QList<CodePoint> &characters);
CodePoint applyCase(CodePoint c, bool upper, CapitalizationFlags flags);
// Per segment, the code-point boundaries of its words: start and end (exclusive) of each.
QList<QList<int>> splitTitleSegments(const QString &text);
QSet<int> titleCaseWordStarts(const QString &text, const QList<QList<int>> &segments);
// The SmallWord set: the lower-case words that title case keeps in lower case inside a
// segment.
const QSet<QString> &titleCaseSmallWords();
