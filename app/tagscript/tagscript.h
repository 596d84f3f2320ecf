#pragma once

#include <QString>
#include <QVariant>

class AudioFile;
class QObject;
class TsExpression;

// Text ids of the tag script's errors.
enum TagScriptTextId : quint32 {
    ScriptSyntaxErrorTextId = 0xF54C9386u,       // %1 the message, %2 the position
    QuoteAtEndTextId = 0xC236A75Fu,
    UnterminatedQuoteTextId = 0xD9C3C02Au,
    PercentAtEndTextId = 0xE841C6E5u,
    DollarAtEndTextId = 0x8D15A061u,
    InvalidNameCharacterTextId = 0x65B7AA64u,    // %1 the character
    UnterminatedNameTextId = 0xAB14CF1Eu,
    MissingClosingParenthesisTextId = 0x8C99884Cu,
    MissingClosingBracketTextId = 0xCF6EF9F0u,
    UnmatchedClosingBracketTextId = 0xAB5C6450u,
    NestingTooDeepTextId = 0x65EFD09Eu,          // %1 the deepest nesting allowed
    ScriptResultTooLongTextId = 0x0DB341F6u,     // %1 the longest text allowed
    DistanceTooLongTextId = 0x0F8D6CE6u,         // %1 the largest product of the lengths
};

// A text that any single step of one evaluation may produce, in UTF-16 units. Functions that
// lengthen texts are clamped one by one, but nested they multiply; this bounds the whole.
constexpr int MaxScriptTextLength = 1 << 20;
// The edit distance compares every character of one text with every one of the other: the
// product of their lengths is bounded so that one call can't keep the program busy for minutes.
constexpr qint64 MaxDistanceCells = qint64(1) << 24;
// How deeply conditionals and function calls may nest.
constexpr int MaxScriptNesting = 128;

// Parses a script into a tree owned by parent. A syntax error raises ScriptSyntaxErrorTextId
// (not logged) with the inner error's message and the position in UTF-16 units, the
// offending character included; a failed parse leaves no node behind.
TsExpression *parseTagScript(const QString &text, QObject *parent);

// The value turned into display text. Evaluation raises ScriptResultTooLongTextId (not
// logged) when a step's text would exceed MaxScriptTextLength.
QString evaluateToText(TsExpression *expression, AudioFile *context);
// The same in file-name mode; a "." or ".." folder level never survives into the result.
QString evaluateToFileName(TsExpression *expression, AudioFile *context);

// True when a variable in the expression (functions' arguments and nested conditionals
// included) has a valid value: the test of a conditional.
bool hasValuedVariable(TsExpression *expression, AudioFile *context, int mode);

// The display text of a value, as a cell shows it in plain format.
QString scriptDisplayText(const QVariant &value);
void appendDisplayText(QString &text, const QVariant &value);
// Raises ScriptResultTooLongTextId when the text is longer than MaxScriptTextLength.
void checkScriptTextLength(const QString &text);
void checkScriptTextLength(qsizetype length);
