#pragma once

#include "libtagging/id3/id3v2frameflags.h"
#include "libtagging/id3/id3v2frameidtable.h"
#include "libtagging/id3/id3v2settings.h"
#include "libtagging/model/involvedperson.h"
#include "libtagging/model/itagio.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class AudioTag;
class Id3v2FrameCursor;
class IoStream;
class TagItem;
class TextCodec;
struct Id3v2ReadState;

// A user-defined text's or link's description and value.
struct StringPair {
    QString first;
    QString second;
    friend bool operator==(const StringPair &, const StringPair &) = default;
};

// The ID3v2 tag format, versions 2.2, 2.3 and 2.4: at the start of plain streams, inside
// RIFF and AIFF chunks and MP4 boxes.
class Id3v2TagIo : public ITagIo
{
public:
    // Message and error codes of the format.
    enum Code : quint32 {
        SizeTooLarge = 0xF963008D,
        InvalidVersion = 0xD16BA235,
        NoEncodingByte = 0xE4E1B57F,
        InvalidTextEncoding = 0xF2E6467B,
        NotAnId3v2Tag = 0x32A64625,
        UnreadableVersion = 0xB4E614B8,
        ExtendedHeaderTooSmall = 0x8CE404AE,
        CompressedWithoutLength = 0xD93E9A85,
        InflationFailed = 0x3FB6D4E6,
        UnknownFrameTooLarge = 0x74C2D536,
    };

    // TagInfo keys of the format, after the common ones.
    enum Key : int {
        VersionKey = 7,
        RevisionKey = 8,
        HasHeaderKey = 9,
        HasExtendedHeaderKey = 10,
        HasFooterKey = 11,
        UnsynchronisedKey = 12,
        CompressedKey = 13,
        ExperimentalKey = 14,
    };

    static constexpr int HeaderSize = 10;
    // Compressed frames are never inflated beyond this, whatever size they claim.
    static constexpr qint64 MaxInflatedSize = 64 * 1024 * 1024;

    static Id3v2TagIo *instance();

    // Whether the detected tag's header flags an extended header (versions 2.3 and 2.4).
    static bool hasExtendedHeader(const TagInfo *info);
    // A single artist is stored both as the artist and in the "Artists" text, several
    // artists as a joint text and each name: an artist that comes back twice is one artist.
    static void removeRepeatedArtists(AudioTag *tag);

    int tagType() const override;
    bool isPrepended() const override;
    TagInfo *detect(IoStream *stream, bool atStart, QObject *parent) override;
    AudioTag *read(IoStream *stream, TagInfo *info, const TaggingSettings *settings, QObject *parent) override;
    // Refuses settings of an unknown version or text encoding before writing anything.
    void render(IoStream *out, const AudioTag *tag, const TaggingSettings *settings) override;
    // read and render with the format's own options.
    static AudioTag *readTag(IoStream *stream, TagInfo *info, const Id3v2Settings &settings, QObject *parent);
    static void renderTag(IoStream *out, const AudioTag *tag, const Id3v2Settings &settings,
                          bool multiArtistsInExtraField = true);
    QList<int> supportedItemTypes() const override;

    // Settings. Stored values out of range, or not numbers at all, give the defaults.
    static Id3v2Settings loadSettings(const QString &group);
    static void saveSettings(const Id3v2Settings &settings, const QString &group);

    // Sizes
    static int decodeSynchsafe(quint32 value);
    // Throws SizeTooLarge above 0x0FFFFFFF.
    static quint32 encodeSynchsafe(int value);
    // A synchsafe field, or a plain number when a byte has bit 7 set (some writers ignore
    // the rule). A plain number of 2^31 or more comes back negative.
    static int decodeSizeField(quint32 value);

    // Unsynchronisation
    static void removeUnsynchronisation(QByteArray &data);
    // True when bytes were inserted.
    static bool applyUnsynchronisation(QByteArray &data);

    // Whether the frames of a 2.4 tag, from the stream's position, chain up with synchsafe
    // sizes; some writers store plain ones. Leaves the position where it was.
    static bool hasSynchsafeFrameSizes(IoStream *frames);

    // Frame ids
    static const QList<Id3v2FrameIdRow> &frameIdTable() { return Id3v2FrameIdTable::rows(); }
    static QString convertFrameId(const QString &id, int version) { return Id3v2FrameIdTable::convert(id, version); }
    static bool isValidFrameId(const QString &id, int version)
    {
        return Id3v2FrameIdTable::isValidFrameId(id, version);
    }

    // The frame header (with the extra bytes its flags call for) and the body, in the layout
    // of settings->version; empty when the version cannot name the frame or a version 2.2
    // body does not fit its 24-bit size. Throws InvalidVersion and SizeTooLarge.
    static QByteArray frameBytes(const QString &frameId, const QByteArray &data, const Id3v2Settings *settings,
                                 const Id3v2FrameFlags *flags = nullptr);
    static void renderFrame(IoStream *out, const QString &frameId, const QByteArray &data,
                            const Id3v2Settings *settings, const Id3v2FrameFlags *flags = nullptr);
    static void addUnknownFrame(AudioTag *tag, const QString &frameId, const Id3v2FrameFlags &flags,
                                const QByteArray &data);
    // Inflates a compressed frame with at most limit bytes of output; empty when the data
    // is broken or would grow beyond the limit.
    static QByteArray inflate(const QByteArray &data, qint64 limit = MaxInflatedSize);

    // Text encodings
    static TextCodec *codecForEncodingByte(quint8 byte);
    // Throws NoEncodingByte for a codec the format has no byte for.
    static quint8 encodingByteForCodec(IoStream *out, TextCodec *codec);
    // The codec of one frame's texts; *withBom tells whether each text gets a byte order
    // mark. Throws InvalidTextEncoding for a textEncoding outside 0 to 6.
    static TextCodec *codecForTexts(const QStringList &texts, bool *withBom, const Id3v2Settings *settings);
    static TextCodec *codecForText(const QString &text, bool *withBom, const Id3v2Settings *settings);
    // ISO 8859-1 when every text fits it, else UTF-8.
    static TextCodec *latin1OrUtf8Codec(const QStringList &texts);

    // The genres of a TCON text: "(17)" and the like become ID3v1 names, (RX) and (CR)
    // "Remix" and "Cover".
    static QStringList parseGenres(const QString &text);
    // Display texts of the TFLT and TMED codes.
    static QString fileTypeFromCode(const QString &code);
    static QString mediaTypeFromCode(const QString &code);

    // One frame's data (after its header and extra bytes) into the read state's tag.
    static void readFrameContent(Id3v2ReadState &state, const QString &frameId, Id3v2FrameCursor &frame);

private:
    Id3v2TagIo() = default;
};
