#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class AudioTag;
class IoStream;
class QObject;
class TaggingSettings;
class VorbisCommentSettings;

// The comment packet of Vorbis, Opus and Speex in Ogg: a Vorbis comment that begins a few
// bytes into the packet. Reading and writing go through a memory stream named like the
// file, so that messages and linked pictures refer to the file.
class OggCommentPacket
{
public:
    enum Code : quint32 {
        MissingHeaderPackets = 3351714862u,
    };

    // The tag of the comment at the offset; none when there is no comment there.
    static QList<AudioTag *> read(IoStream *file, const QByteArray &packet, int commentOffset,
                                  const TaggingSettings *settings, QObject *parent);
    // The vendor of the comment at the offset; a damaged one reads as empty, so that the
    // file can still be saved.
    static QString vendor(IoStream *file, const QByteArray &packet, int commentOffset);
    // The comment rendered with the vendor, cover art type and framing the caller has set;
    // a null tag renders an empty comment.
    static QByteArray render(IoStream *file, const AudioTag *tag, const VorbisCommentSettings &settings,
                             const TaggingSettings *taggingSettings);
    // Throws MissingHeaderPackets unless there are at least count packets.
    static void checkPacketCount(IoStream *file, const QList<QByteArray> &packets, int count);
    static bool handlesVorbisComments(const QList<int> &tagTypes);
};
