#pragma once

#include <QList>
#include <QSet>
#include <QString>

class IdWord;

// What classifyInvalidWords makes of a text: a placeholder for some field, or a real value.
enum class InvalidTextClass : int {
    NotInvalid = 0,
    InvalidGeneral = 1,
    VariousArtists = 2,
    InvalidArtist = 3,
    InvalidAlbum = 4,
    InvalidTitle = 5,
};

// Reads a word list: UTF-8, a header line, then one entry per line taken exactly as written
// (an empty line is the empty entry). A list that cannot be read is logged and empty.
QSet<QString> loadWordList(const QString &path);

// Loads every word list and the version-phrase table; throws DataTableMissingTextId [path]
// for the first one that is missing or empty, since every later answer would be wrong.
void requireIdentificationTables();

// The tests of the lists in the application's package, each loaded once on first use. The
// lists hold lower-case entries and are probed with the lower-cased text.
bool isArticle(const QString &text);
bool isCommonWord(const QString &text);
bool isNumberBridgeWord(const QString &text);
bool isDiscNumberWord(const QString &text);
bool isNumberSeparatorWord(const QString &text);
const QSet<QString> &invalidAdditionalWords();

// The text ends with a track-number word, alone or followed by a number bridge word ("track",
// "track no"), with at most seven code points before it.
bool endsWithTrackNumberWord(const QString &text);

// Whether the words (a text's words and separators) are a placeholder: at least 70 percent of
// their letters and digits come from words of the invalid-word lists.
InvalidTextClass classifyInvalidWords(const QList<IdWord *> &words);
