#pragma once

#include "libtagging/id3/id3v2frametable.h"

#include <QString>

class Id3v2FrameCursor;
class IoStream;
struct Id3v2ReadState;

// Turns the content of one unpacked ID3v2 frame into tag items, or into values the read
// gathers over several frames (dates, volume adjustment).
class Id3v2FrameReader
{
public:
    enum Code : quint32 {
        PictureWithoutData = 0x77191A90,
        EmptyPicture = 0xA7B84BD3,
        BadDiscToc = 0x0D26C06E,
        PlayCounterTooLong = 0x6ADA7B28,
        VolumeWithoutChannel = 0x1D0D855C,
        VolumeBadBitCount = 0xC07BDBE4,
    };

    // The owner of the unique file identifiers that hold MusicBrainz recording ids.
    static const char *const MusicBrainzOwner;

    // frameId in its version 2.3 spelling; frame holds the data, positioned at 0. Throws
    // Exception when the frame cannot be read; the caller keeps it as unknown data.
    static void readFrameContent(Id3v2ReadState &state, const QString &frameId, IoStream *frame);
    // The same over the frame's bytes, without a stream.
    static void readFrameContent(Id3v2ReadState &state, const QString &frameId, Id3v2FrameCursor &frame);

private:
    static void readTextFrame(Id3v2ReadState &state, const QString &frameId, Id3v2FrameCursor *frame);
    static void readUserText(Id3v2ReadState &state, Id3v2FrameCursor *frame);
    static void readUrlFrame(Id3v2ReadState &state, const QString &frameId, Id3v2FrameCursor *frame);
    static void readUserLink(Id3v2ReadState &state, Id3v2FrameCursor *frame);
    static void readPicture(Id3v2ReadState &state, Id3v2FrameCursor *frame);
    static void readPeople(Id3v2ReadState &state, const QString &frameId, Id3v2FrameCursor *frame);
    static void readRelativeVolume(Id3v2ReadState &state, Id3v2FrameCursor *frame);
    static void readRelativeVolumeAdjustment(Id3v2ReadState &state, Id3v2FrameCursor *frame);
    static void readSynchronizedLyrics(Id3v2ReadState &state, Id3v2FrameCursor *frame);
    // Adds the item a table row makes of one value; throws when the value does not fit.
    static void addValue(Id3v2ReadState &state, int itemType, int valueKind, int countType, const QString &value);
    static QStringList splitValues(const Id3v2ReadState &state, const QStringList &values);
};
