#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include "libcore/text/codepoint.h"

class QRegularExpression;
class QRegularExpressionMatch;

// String operations that count and index in code points instead of UTF-16 units, so that no
// operation splits a surrogate pair. An unpaired surrogate unit counts as one code point.
//
// Positions are code point positions. A negative position counts from the end (-1 is the last
// code point). Counts and widths that QString treats in its own way (negative lengths, counts
// past the end) behave as QString treats the converted unit values.

// Decoding at a UTF-16 position: the code point starting at `unit`, or the one ending just
// before it. Out of range gives U+0000.
CodePoint codePointAtUnit(QStringView text, qsizetype unit);
CodePoint codePointBeforeUnit(QStringView text, qsizetype unit);

// Position conversion. A negative result -k stands for the unit position length - k.
int codePointToUnitIndex(QStringView text, int n);
int unitToCodePointIndex(QStringView text, int n);

int codePointLength(QStringView text);
CodePoint codePointAt(QStringView text, int position);
CodePoint lastCodePoint(QStringView text);
QList<CodePoint> toCodePoints(QStringView text);

int indexOfCodePoints(const QString &text, const QString &needle, int from = 0,
                      Qt::CaseSensitivity cs = Qt::CaseSensitive);
int indexOfCodePoints(const QString &text, CodePoint needle, int from = 0,
                      Qt::CaseSensitivity cs = Qt::CaseSensitive);
// `match`, when given, receives the match (its captures) of a successful search.
int indexOfCodePoints(const QString &text, const QRegularExpression &re, int from = 0,
                      QRegularExpressionMatch *match = nullptr);
int lastIndexOfCodePoints(const QString &text, const QString &needle, int from = -1,
                          Qt::CaseSensitivity cs = Qt::CaseSensitive);
int lastIndexOfCodePoints(const QString &text, CodePoint needle, int from = -1,
                          Qt::CaseSensitivity cs = Qt::CaseSensitive);
int lastIndexOfCodePoints(const QString &text, const QRegularExpression &re, int from = -1,
                          QRegularExpressionMatch *match = nullptr);

// The view overloads return views into the given text.
QString leftCodePoints(const QString &text, int n);
QStringView leftCodePoints(QStringView text, int n);
QString rightCodePoints(const QString &text, int n);
QStringView rightCodePoints(QStringView text, int n);
QString midCodePoints(const QString &text, int position, int length = -1);
QStringView midCodePoints(QStringView text, int position, int length = -1);

QString leftJustifiedCodePoints(const QString &text, int width, CodePoint fill = CodePoint(' '),
                                bool truncate = false);
QString rightJustifiedCodePoints(const QString &text, int width, CodePoint fill = CodePoint(' '),
                                 bool truncate = false);

// In-place operations; each returns the text for chaining.
QString &insertCodePoints(QString &text, int position, const QString &s);
QString &insertCodePoints(QString &text, int position, CodePoint c);
QString &removeCodePoints(QString &text, int position, int count);
QString &replaceCodePoints(QString &text, int position, int count, const QString &after);
QString &replaceCodePoints(QString &text, int position, int count, CodePoint after);
QString &truncateCodePoints(QString &text, int n);
QString &chopCodePoints(QString &text, int n);
// Grows with U+0000 units or cuts after n code points.
QString &resizeCodePoints(QString &text, int n);
// A position at or past the end appends the code point.
QString &setCodePointAt(QString &text, int position, CodePoint c);
// count < 0: as many as the text has code points now.
QString &fillCodePoints(QString &text, CodePoint c, int count = -1);

QString repeatedCodePoint(int count, CodePoint c);
QString reversedCodePoints(QStringView text);
