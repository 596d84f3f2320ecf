#pragma once

#include "libtagging/riff/riffchunk.h"
#include "libtagging/riff/riffsettings.h"
#include "libtagging/model/iaudiostreamio.h"

#include <QString>

class AudioTag;
class TagItem;

// RIFF/WAVE files with their INFO list and ID3v2 chunk.
// A stateless singleton, shared by every thread.
class RiffStreamIo : public IAudioStreamIo
{
public:
    enum Code : quint32 {
        NotRiff = 0xa1ff13fd,
        WrongForm = 0x0d00d5bc,
        InvalidJunkSize = 0xa404163a,
        NoChunksToRead = 0x94645165,
        NoChunksToWrite = 0xcf6650fb,
        DataChunkMissing = 0x9187d7c1,
        NoChunksForProperties = 0xcb3bee4f,
        NoFormatChunk = 0x0cf95901,
        FormatChunkTooShort = 0xace2a5e6,
        InvalidDiscToc = 0x0372ba07,
    };

    static RiffStreamIo *instance();

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
    static RiffSettings loadSettings(const QString &group);
    static void saveSettings(const RiffSettings &settings, const QString &group);

    // Chunk tree
    // For the header at the stream's position: true for a little-endian ("RIFF") file, false
    // for a big-endian ("RIFX") one; throws for anything else. Leaves the stream after the
    // form type.
    static bool checkHeader(IoStream *stream);
    static QList<RiffChunk *> parseChunks(IoStream *stream, qint64 length, bool littleEndian, QObject *parent);
    // A "JUNK" chunk of exactly size bytes, header included.
    static RiffChunk *createJunkChunk(qint64 size, QObject *parent);
    static RiffChunk *createId3Chunk(IoStream *stream, const AudioTag *tag, const RiffSettings &settings,
                                     QObject *parent);

    // INFO list
    static RiffChunk *createInfoList(QObject *parent);
    // A chunk holding the text in windows-1252 (UTF-8 when it does not fit) and a zero byte.
    static RiffChunk *createTextChunk(const QString &id, const QString &text, QObject *parent);
    // The sub-chunk of the first item, unless its text is blank.
    static void appendInfoItemChunk(RiffChunk *list, const QString &id, const QList<TagItem *> &items);
    static void appendUnknownInfoChunks(RiffChunk *list, const QList<TagItem *> &items);
    // A new INFO list holding the tag's values, also when it holds none.
    static RiffChunk *buildInfoList(const AudioTag *tag, QObject *parent);
    // Adds the values of an INFO list to tag; a sub-chunk that cannot be converted becomes
    // an unknown data item. stream names the file in messages.
    static void readInfoList(const RiffChunk *list, AudioTag *tag, IoStream *stream);

private:
    RiffStreamIo() = default;
    ~RiffStreamIo() override = default;
};
