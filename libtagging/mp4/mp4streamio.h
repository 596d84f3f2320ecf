#pragma once

#include "libtagging/model/iaudiostreamio.h"

// MP4 files and their metadata atoms.
// A stateless singleton, shared by every thread.
class Mp4StreamIo : public IAudioStreamIo
{
public:
    static Mp4StreamIo *instance();

    QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes,
                               const TaggingSettings *settings, QObject *parent) override;
    void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                   const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(IoStream *stream, ICodecIo *codecIo) override;
    QList<int> supportedItemTypes() const override;

private:
    Mp4StreamIo() = default;
    ~Mp4StreamIo() override = default;
};
