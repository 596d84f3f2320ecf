#pragma once

#include <QDate>
#include <QString>

class CodePoint;

// Small text tests that every identification stage shares.

// Neither a letter nor a number.
bool isSeparatorCodePoint(CodePoint c);
// Dash punctuation (Pd).
bool isDashCodePoint(CodePoint c);
// Without the code points at both ends that are neither letters nor numbers.
QString trimToAlphanumeric(const QString &text);
// Without white space and dashes at both ends.
QString trimSpacesAndDashes(const QString &text);

// The year the text names, from 1900 up to one year past the later of the build year and the
// current year; -1 for anything else.
int isYear(const QString &text);
// A number from 1 to 1899 (track, disc and similar counts); -1 for anything else.
int smallNumber(const QString &text);

// The year of the program's build date.
int buildYear();
// Today's year, or the year of the date set for tests.
int currentYear();
// Pins the date the year tests see; an invalid date returns to the system clock.
void setCurrentDateForTesting(const QDate &date);

// Whether two texts read as artist names are similar, articles and their place ignored.
bool isSimilarArtistName(const QString &a, const QString &b);

// Underscores standing for blanks, or for dashes where the text has blanks between words
// joined by underscores.
QString normalizeUnderscores(const QString &text);
// The letter O typed for a zero inside a number: "2OO5" reads "2005".
QString replaceLetterOInNumbers(const QString &text);
// Closes open brackets, drops empty ones, brackets around the whole text and stray closers;
// changes the text and returns it.
QString &cleanUpBrackets(QString &text);
