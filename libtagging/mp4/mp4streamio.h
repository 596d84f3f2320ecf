#pragma once

#include "libtagging/mp4/mp4settings.h"
#include "libtagging/model/iaudiostreamio.h"

#include <QString>

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

    // Settings
    static Mp4Settings loadSettings(const QString &group);
    static void saveSettings(const Mp4Settings &settings, const QString &group);

private:
    Mp4StreamIo() = default;
    ~Mp4StreamIo() override = default;
};
