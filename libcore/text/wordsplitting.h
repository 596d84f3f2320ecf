#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Option bits of splitWords.
struct WordSplitFlag {
    enum : int {
        LowerCase = 1,
        RemoveAccents = 2,
        JoinInitials = 4,       // J.R.R. -> JRR
        DropContractions = 8,   // band's -> band, don't -> don
        JoinApostrophes = 16,   // l'amour -> lamour
    };
};

// Splits a text into normalised words. After the flags have been applied, everything but
// letters, numbers and marks separates words.
QStringList splitWords(const QString &text, int flags);

// Replaces accented characters through the accent table; a two-unit entry wins over a
// one-unit entry at the same place.
QString removeAccents(const QString &text);
QString removeAccents(const QString &text, const QHash<QString, QString> &table);

// The process-wide accent table, loaded once from the core resource package; empty when
// the file cannot be read.
const QHash<QString, QString> &accentTable();

// Reads an accent table: UTF-8 text, a header line, then "text<TAB>replacement" lines.
// Other lines are ignored and a later line for the same text wins. Read failures are
// logged and give an empty table.
QHash<QString, QString> readAccentTable(const QString &path);

// Every apostrophe-like code point becomes "'".
QString normalizeApostrophes(const QString &text);

// Cuts a pattern into its texts and its placeholders %1, %2, ... in gapless order; pieces
// are trimmed and empty ones dropped: "Resize to %1 x %2 pixels" gives
// "Resize to", "%1", "x", "%2", "pixels".
QStringList splitAtPlaceholders(const QString &pattern);
