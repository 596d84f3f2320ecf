#pragma once

#include "libtagging/model/iaudiostreamio.h"
#include "libtagging/model/ioggaudiostreamio.h"
#include "libtagging/xiph/flacmetadatablock.h"
#include "libtagging/xiph/flacsettings.h"

class ArtworkTagItem;

// Native FLAC files, and FLAC inside Ogg: both carry the same metadata blocks, whose
// comment and picture blocks make the tag. Writes rebuild the comment, picture and padding
// blocks and let a padding block absorb size changes, so the audio rarely moves.
// A stateless singleton, shared by every thread.
class FlacStreamIo : public IAudioStreamIo, public IOggAudioStreamIo
{
public:
    enum Code : quint32 {
        NoSignature = 0x6A6067BA,
        NoStreamInfo = 0x868BDC6E,
        OggHeaderTooShort = 0x4C257C9D,
        OggNoPacketType = 0x105F9CA5,
        OggNoSignature = 0x7E3B3D45,
        OggUnknownVersion = 0x9B281530,
        RebuiltWithoutStreamInfo = 0xA0B453B0,
        PaddingTooSmall = 0xEF1185E1,
        BlockTooLong = 0xC5A24DFD,
        PictureWithoutData = 0xDDF40070,
        PictureWithoutImage = 0x9CAD1826,
    };

    // More blocks than this are no metadata: what follows is taken for audio.
    static constexpr int MaxBlockCount = 10000;

    static FlacStreamIo *instance();

    QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes,
                               const TaggingSettings *settings, QObject *parent) override;
    void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                   const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(IoStream *stream, ICodecIo *codecIo) override;
    QList<int> supportedItemTypes() const override;

    QList<AudioTag *> readTags(IoStream *stream, const QList<QByteArray> &headerPackets,
                               const QList<int> &tagTypes, const TaggingSettings *settings,
                               QObject *parent) override;
    void writeTags(IoStream *stream, QList<QByteArray> &headerPackets, const AudioTag *tag,
                   const QList<int> &tagTypes, const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, QList<QByteArray> &headerPackets, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(const QList<QByteArray> &headerPackets, qint64 fileSize,
                                        qint64 audioSize) override;
    QByteArray magic() const override;
    bool isHeaderPage(int packetsBefore, const OggPage *page) const override;

    // The body of a PICTURE block, as FLAC stores it and Vorbis comments carry it in Base64.
    // Reading a picture without data logs a warning and throws silently.
    static ArtworkTagItem *readPictureBlock(IoStream *stream, QObject *parent);
    static void writePictureBlock(IoStream *stream, const ArtworkTagItem *item);

    static FlacSettings loadSettings(const QString &group);
    static void saveSettings(const FlacSettings &settings, const QString &group);

    // The steps of reading and writing, open for the tests.
    static void checkSignature(IoStream *stream);
    // The blocks after "fLaC"; the stream is left where the audio begins.
    static QList<FlacMetadataBlock> readBlocks(IoStream *stream);
    static AudioProperties streamInfoProperties(const QList<FlacMetadataBlock> &blocks, qint64 fileSize,
                                                qint64 audioSize);
    // Replaces the comment, picture and padding blocks by those of the tag. Without a tag
    // no comment block is written unless keepComment asks for an empty one.
    static void rewriteBlocks(IoStream *stream, QList<FlacMetadataBlock> &blocks, const AudioTag *tag,
                              const FlacSettings &settings, bool keepComment = false);
    static QList<QByteArray> serializeBlocks(IoStream *stream, const QList<FlacMetadataBlock> &blocks);
    static IoStream *blockStreamFromPackets(const QList<QByteArray> &headerPackets, const QString &name,
                                            QObject *parent);

private:
    FlacStreamIo() = default;
    ~FlacStreamIo() override = default;
};
