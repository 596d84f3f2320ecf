#pragma once

#include "libtagging/model/iaudiostreamio.h"

// AIFF files with their text chunks and ID3v2 chunk.
// A stateless singleton, shared by every thread.
class AiffStreamIo : public IAudioStreamIo
{
public:
    static AiffStreamIo *instance();

    QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes,
                               const TaggingSettings *settings, QObject *parent) override;
    void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                   const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(IoStream *stream, ICodecIo *codecIo) override;
    QList<int> supportedItemTypes() const override;

private:
    AiffStreamIo() = default;
    ~AiffStreamIo() override = default;
};
