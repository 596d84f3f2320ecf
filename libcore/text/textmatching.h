#pragma once

#include <QString>
#include <QStringList>

// Optimal string alignment distance (edits and swaps of neighbours) in code points,
// case-sensitive. With a limit of 0 or more the walk stops as soon as the distance must
// exceed it, and then limit + 1 is returned.
int editDistance(const QString &a, const QString &b, int limit = -1);

// The texts differ by at most a fourth of the shorter one's length (a fifth from 15 on):
// below 4 units they must be equal.
bool isSimilarText(const QString &a, const QString &b);

// b's comparison key begins with something similar to a's; short keys must be equal, and
// b may not be much longer than a.
bool matchesFuzzyPrefix(const QString &a, const QString &b);

// Similar after word normalisation (case, accents, punctuation, initials, contractions).
bool isSimilarWordText(const QString &a, const QString &b);
// The normalised form isSimilarWordText compares: isSimilarWordText(a, b) is
// isSimilarText(similarWordKey(a), similarWordKey(b)). For callers that compare one text many times.
QString similarWordKey(const QString &text);

// Optional white space, decimal digits of any script, optional white space.
bool isDecimalNumber(const QString &text);

// Equal as decimal numbers, ignoring leading zeros and surrounding white space.
bool equalNumbers(const QString &a, const QString &b);

bool equalStrings(const QString &a, const QString &b, Qt::CaseSensitivity sensitivity);
bool equalLocaleAware(const QString &a, const QString &b);

// b when it has more UTF-16 units than a, else a.
QString longerString(const QString &a, const QString &b);

bool containsDuplicates(const QStringList &list, Qt::CaseSensitivity sensitivity);

// The most frequent entry; on a tie the one that sorts first. A null text and a count of 0
// for an empty list.
QString mostFrequentString(const QStringList &list, int *count = nullptr);
int mostFrequentCount(const QStringList &list);

// The distinct prefixes of prefixLength code points of every text made by deleting up to
// maxDeletions code points from the first prefixLength + maxDeletions ones, sorted.
QStringList deletionVariants(const QString &text, int prefixLength, int maxDeletions);
