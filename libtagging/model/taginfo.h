#pragma once

#include <QMap>
#include <QObject>
#include <QVariant>

// The tag formats; key 0 of every TagInfo and the key under which an audio stream keeps
// its tags.
namespace TagType {
enum Id : int {
    Combined = 0,
    Unknown = 1,
    Id3v1 = 2,
    Id3v2 = 3,
    Lyrics3 = 4,
    Ape = 5,
    VorbisComment = 6,
    Asf = 7,
    Mp4 = 8,
    RiffInfo = 9,
    Aiff = 10
};
}

// Where and how a tag was stored, so that its writer can replace it in place. Keys 0 to 7
// are common to all formats; keys from 8 on belong to the format that wrote them.
class TagInfo : public QObject
{
public:
    enum Key : int {
        TagTypeKey = 0,
        RawDataKey = 1,    // QByteArray: bytes of the tag the writer needs again
        OffsetKey = 2,     // qint64: the tag's first byte in the stream
        SizeKey = 3,       // int: the whole tag
        DataOffsetKey = 4, // qint64: the tag's data area in the stream
        DataSizeKey = 5,   // int
        PrependedKey = 6,  // bool: at the start of the stream
        VersionKey = 7,    // int
        FirstFormatKey = 8
    };

    explicit TagInfo(QObject *parent = nullptr);

    TagInfo *clone(QObject *parent = nullptr) const;

    int tagType() const;
    qint64 offset() const;
    int size() const;
    bool isPrepended() const;
    int version() const;

    // Moves both stream offsets (keys 2 and 4) by delta after bytes were inserted or removed
    // in front of the tag.
    void shiftOffsets(qint64 delta);

    // The format code reads, sets and removes keys directly.
    QMap<int, QVariant> values;
};
