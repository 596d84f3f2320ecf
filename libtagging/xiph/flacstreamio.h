#pragma once

#include "libtagging/model/iaudiostreamio.h"
#include "libtagging/model/ioggaudiostreamio.h"

// Native FLAC files, and FLAC inside Ogg.
// A stateless singleton, shared by every thread.
class FlacStreamIo : public IAudioStreamIo, public IOggAudioStreamIo
{
public:
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

private:
    FlacStreamIo() = default;
    ~FlacStreamIo() override = default;
};
