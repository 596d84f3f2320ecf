#pragma once

#include "libtagging/model/iaudiostreamio.h"

// Streams without a container: loose tags at the front and at the end.
// A stateless singleton, shared by every thread.
class FreeStreamIo : public IAudioStreamIo
{
public:
    static FreeStreamIo *instance();

    QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes,
                               const TaggingSettings *settings, QObject *parent) override;
    void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                   const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(IoStream *stream, ICodecIo *codecIo) override;
    QList<int> supportedItemTypes() const override;

private:
    FreeStreamIo() = default;
    ~FreeStreamIo() override = default;
};
