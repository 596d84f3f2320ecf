#pragma once

#include "libtagging/aiff/aiffchunk.h"
#include "libtagging/aiff/aiffsettings.h"
#include "libtagging/model/iaudiostreamio.h"

#include <QString>

class AudioTag;

// AIFF files with their text chunks and ID3v2 chunk.
// A stateless singleton, shared by every thread.
class AiffStreamIo : public IAudioStreamIo
{
public:
    enum Code : quint32 {
        StreamTooShort = 0x6e5e6fbc,
        NotForm = 0x5ea24ad5,
        WrongFormType = 0xf0ccd00c,
        NoChunksToRead = 0xd09c0137,
        NoChunksToWrite = 0x2d1ec459,
        InvalidPaddingSize = 0x59226eee,
        NoChunksForProperties = 0x10154ed4,
        NoCommonChunk = 0x03f23c0e,
        CommonChunkTooShort = 0x11961b60,
    };

    static AiffStreamIo *instance();

    QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes,
                               const TaggingSettings *settings, QObject *parent) override;
    void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                   const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(IoStream *stream, ICodecIo *codecIo) override;
    QList<int> supportedItemTypes() const override;
    // The end of the outer chunk as its size field declares it, pad byte included.
    qint64 containerEnd(IoStream *stream) override;

    // Settings
    static AiffSettings loadSettings(const QString &group);
    static void saveSettings(const AiffSettings &settings, const QString &group);

    // Chunk tree
    // Returns for an AIFF or AIFC file starting at the stream's position, else throws.
    // Leaves the stream after the form type.
    static void checkHeader(IoStream *stream);
    static QList<AiffChunk *> parseChunks(IoStream *stream, qint64 length, QObject *parent);

    // Chunk factories of the writer
    // Appends the text chunk of the first item of the type unless its text is blank.
    static void addTextChunk(AiffChunk *form, const QString &id, const AudioTag *tag, int itemType);
    static AiffChunk *makeTextChunk(const QString &id, const QString &text, QObject *parent);
    // A "COMT" chunk: the comments of the old data that belong to a marker, then the
    // comments of the tag (none when tag is null).
    static AiffChunk *makeCommentChunk(const QByteArray &oldData, const AudioTag *tag, QObject *parent);
    static AiffChunk *makeId3Chunk(IoStream *stream, const AudioTag *tag, const AiffSettings &settings,
                                   QObject *parent);
    static AiffChunk *makePaddingChunk(IoStream *stream, qint64 size, QObject *parent);

    // Seconds from 1904-01-01 00:00 to the time, counted in UTC, modulo 2^32: the time
    // stamp of a new comment.
    static quint32 timeStamp(const QDateTime &time);

private:
    AiffStreamIo() = default;
    ~AiffStreamIo() override = default;
};
