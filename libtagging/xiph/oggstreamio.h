#pragma once

#include "libtagging/model/iaudiostreamio.h"

// Ogg streams: the codec inside is chosen by the magic of its first header packet.
// A stateless singleton, shared by every thread.
class OggStreamIo : public IAudioStreamIo
{
public:
    static OggStreamIo *instance();

    QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes,
                               const TaggingSettings *settings, QObject *parent) override;
    void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                   const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(IoStream *stream, ICodecIo *codecIo) override;
    QList<int> supportedItemTypes() const override;

private:
    OggStreamIo() = default;
    ~OggStreamIo() override = default;
};
