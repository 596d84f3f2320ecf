#pragma once

#include "libtagging/id3/id3v2frameflags.h"
#include "libtagging/id3/id3v2frameidtable.h"
#include "libtagging/id3/id3v2settings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class TextCodec;

// The ID3v2 tag format, versions 2.2, 2.3 and 2.4.
class Id3v2TagIo
{
public:
    // Message and error codes of the format.
    enum Code : quint32 {
        SizeTooLarge = 0xF963008D,
        InvalidVersion = 0xD16BA235,
        NoEncodingByte = 0xE4E1B57F,
        InvalidTextEncoding = 0xF2E6467B,
    };

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

    // Text encodings
    static TextCodec *codecForEncodingByte(quint8 byte);
    // The codec of one frame's texts; *withBom tells whether each text gets a byte order
    // mark. Throws InvalidTextEncoding for a textEncoding outside 0 to 6.
    static TextCodec *codecForTexts(const QStringList &texts, bool *withBom, const Id3v2Settings *settings);
    static TextCodec *codecForText(const QString &text, bool *withBom, const Id3v2Settings *settings);
    // ISO 8859-1 when every text fits it, else UTF-8.
    static TextCodec *latin1OrUtf8Codec(const QStringList &texts);

    // Display texts of the TFLT and TMED codes.
    static QString fileTypeFromCode(const QString &code);
    static QString mediaTypeFromCode(const QString &code);
};
