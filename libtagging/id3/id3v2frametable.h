#pragma once

#include <QList>
#include <QString>

// Which frames, descriptions and roles stand for which item types. Reading, writing and the
// tests use these same rows, so that the two directions cannot drift apart; a row marked
// for one direction only records a deliberate asymmetry (old spellings read, one canonical
// spelling written).
class Id3v2FrameTable
{
public:
    enum Direction : int { Read = 1, Write = 2, Both = 3 };
    // When the row applies, by the iTunesTags setting.
    enum ITunes : int { Always = 0, OnlyITunes = 1, NotITunes = 2 };
    // How a frame's value becomes an item.
    enum Value : int {
        Text = 0,       // the trimmed text
        Number = 1,     // a whole decimal number
        Date = 2,       // "yyyy-MM-ddThh:mm:ss:zzz", cut anywhere
        Flag = 3,       // true when the text is "1"
        Genres = 4,     // the TCON syntax
        FileType = 5,   // a TFLT code
        MediaType = 6,  // a TMED code
        NumberPair = 7, // "number/count"; countType holds the count's item type
        Country = 8,    // a country code
    };

    // Text frames (TALB, ...) and the frames that hold text lists the same way (GRP1,
    // MVNM, MVIN); ids in their version 2.3 spelling.
    struct FrameRow {
        const char *frameId;
        int itemType;
        int value;
        int direction;
        int iTunes;
        int countType;
    };
    // User-defined texts (TXXX) and links (WXXX) by the comparison key of their
    // description, and involvement roles (IPLS, TMCL) by the key of their role. Reading
    // tries the rows in order; writing uses the description of the item type's Write rows.
    struct KeyRow {
        const char *key;
        bool prefix; // the key only has to begin the description's key
        int itemType;
        int value;
        int direction;
        const char *description; // written form; null for Read rows
        int iTunes;
    };

    static const QList<FrameRow> &textFrames();
    static const QList<FrameRow> &urlFrames();
    static const QList<KeyRow> &userTexts();
    static const QList<KeyRow> &userLinks();
    static const QList<KeyRow> &roles();

    // The first row for reading the frame, null when none.
    static const FrameRow *frameToRead(const QList<FrameRow> &rows, const QString &frameId, bool iTunesTags);
    // The first row for reading the key, null when none.
    static const KeyRow *keyToRead(const QList<KeyRow> &rows, const QString &key);
    // The rows that write the item type, in table order.
    static QList<const FrameRow *> framesToWrite(const QList<FrameRow> &rows, int itemType, bool iTunesTags);
    static QList<const KeyRow *> keysToWrite(const QList<KeyRow> &rows, int itemType, bool iTunesTags);
};
