#pragma once

#include "libtagging/model/disctoctrack.h"
#include "libtagging/model/tagitem.h"

#include <QByteArray>

// The text forms of a table of contents: numbers joined by '+'.
namespace DiscTocTextForm {
enum Id : int {
    HexTrackList = 0,               // audio count, audio addresses, audio end (ASF)
    HexTrackListWithDataTracks = 1, // also data tracks and the lead-out (Vorbis comments, RIFF)
    DiscIdTrackList = 2             // disc id, lead-out, count, decimal addresses (MP4)
};
}

// The table of contents of the CD a file was ripped from. ID3v2 and APE keep the binary
// READ TOC response; the other formats one of the text forms.
class DiscTocTagItem : public TagItem
{
public:
    static constexpr int Type = 32;
    static constexpr int LeadOutTrack = 170;

    explicit DiscTocTagItem(QObject *parent = nullptr);

    // Empty data gives an empty item; bytes the binary parser rejects are tried as text.
    // When neither works, a warning names the bytes and the silent Exception is thrown.
    static DiscTocTagItem *fromBinary(const QByteArray &data, QObject *parent = nullptr);
    // Empty text gives an empty item; text the parser rejects logs a warning and throws
    // the silent Exception.
    static DiscTocTagItem *fromText(const QString &text, QObject *parent = nullptr);
    // The parsers: a new item, or the silent Exception (code 0, nothing logged).
    static DiscTocTagItem *parseBinary(const QByteArray &data, QObject *parent = nullptr);
    static DiscTocTagItem *parseText(const QString &text, QObject *parent = nullptr);

    // Empty for an empty item.
    QByteArray toBinary() const;
    // Null for an empty item or an unknown form (DiscTocTextForm).
    QString toText(int form) const;
    // The playing time of an audio track in milliseconds (75 frames per second), or -1.
    int trackDuration(int trackNumber) const;

    // Copies every field, the disc id included.
    TagItem *clone(QObject *parent = nullptr) const override;
    // Same HexTrackListWithDataTracks text: disc id, reserved bytes, ADR, channels and
    // flags other than audio/data take no part.
    bool equals(const TagItem *other) const override;
    bool isEmpty() const override;
    int type() const override;

    int firstTrack = -1;
    int lastTrack = -1;
    // Sorted by number after reading the binary form, by address after reading text.
    QList<DiscTocTrack> tracks;
    quint64 discId = 0;
};
