#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// How a field's value becomes items and items become field texts.
namespace VorbisCommentConversion {
enum Kind : int {
    PlainText = 0,      // one string item per field, written as its text
    Artist,             // "ARTIST" and "ARTISTS"
    Artwork,            // picture blocks, "COVERART" and "COVERARTFILE"
    Integer,            // a whole number
    CommentText,        // comment or lyrics with an empty description and English
    NumberPair,         // "number/count" into the number and the count item
    DiscToc,            // CD table of contents, hexadecimal form
    Performers,         // "PERFORMER=name (role)", gathered into one item
    LanguageCode,       // ISO 639-2/T
    CountryCode,        // ISO 3166-1 alpha-2
    ScriptCode,         // ISO 15924
    Date,               // partial date and time
    Boolean,            // "1" is true
    Rating,             // 1 to 5
    UserDefined,        // the description is the field name
    ReplayGain,         // four fields of one volume adjustment item
};
}

// One item type carried in Vorbis comments: the field names written for it, in order, and
// the field keys (alphanumericKey of the name) read into it.
struct VorbisCommentFieldRow
{
    int itemType;
    int conversion;
    QStringList writtenNames;
    QStringList keys;
    // Used for the number pairs: the count item that goes with the number.
    int countType = -1;
};

// The vocabulary of Vorbis comments, the one table that reading, writing and the tests use.
class VorbisCommentFieldTable
{
public:
    static const QList<VorbisCommentFieldRow> &rows();
    // The row of a field key; every key beginning with "rating" is the rating. Keys of no
    // row give null (the caller keeps the field as user-defined text).
    static const VorbisCommentFieldRow *rowForKey(const QString &key);
    static const VorbisCommentFieldRow *rowForItemType(int itemType);
    // The carried item types in ascending order.
    static QList<int> itemTypes();
};
