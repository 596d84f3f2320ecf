#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class AudioFile;

// How the file tagger cuts file and folder names into parts.
namespace FileNameSplitMethod {
enum Id : int {
    Automatic = 0,       // the identification engine's segments of the names
    Separator = 1,       // at every character of a separator text
    Pattern = 2,         // a naming pattern whose variables capture the parts
    SplitExpression = 3, // at every match of a regular expression
    MatchExpression = 4, // the captures of one regular expression per folder level
};
}

// The tag item type of a pattern part that names none.
constexpr int UnassignedItemType = 126;

// A naming pattern as one regular expression per folder level (outermost first) and the
// tag item type of each capture, from left to right across the levels.
struct FileNamePattern {
    QStringList levelExpressions;
    QList<int> itemTypes;
};

// The name levels of a path: the base name without its last suffix, then the parent folder,
// the grandparent, and so on up to the first folder below the root.
QStringList fileNameLevels(const QString &path);

// The separator text as a character class: each of its characters separates on its own.
// An empty text gives an empty expression (nothing splits).
QString separatorExpression(const QString &separator);

// The parts of one file's name levels split at the expression: levels 0 to 3 as far as the
// file has them, outermost first. An empty or invalid expression keeps every level whole.
QStringList splitNameLevels(const QStringList &levels, const QString &expression);

// The pattern's text cut into per-level expressions; "/" and "\" outside a variable end a
// level, a variable naming a tag item becomes a capture, any other variable ".*".
FileNamePattern fileNamePattern(const QString &pattern);

// A regular expression cut into one expression per folder level at "/" and at an escaped
// backslash, outside brackets.
QStringList matchExpressionLevels(const QString &expression);

// The captures of the level expressions (outermost first) in the name levels, outermost
// matched level first; a level that does not match, or an invalid expression, gives nothing.
QStringList matchNameLevels(const QStringList &levels, const QStringList &levelExpressions);

// The automatic parts of every file: the identification engine's folder segments, then its
// base-name segments, each trimmed of blanks and dashes.
QList<QStringList> automaticFileNameParts(const QList<AudioFile *> &files);

// Every part trimmed; returns the largest number of parts of any file.
int trimFileNameParts(QList<QStringList> &parts);
