#pragma once

#include "libtagging/riff/riffsettings.h"
#include "libtagging/model/iaudiostreamio.h"

#include <QString>

// RIFF/WAVE files with their INFO list and ID3v2 chunk.
// A stateless singleton, shared by every thread.
class RiffStreamIo : public IAudioStreamIo
{
public:
    static RiffStreamIo *instance();

    QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes,
                               const TaggingSettings *settings, QObject *parent) override;
    void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                   const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(IoStream *stream, ICodecIo *codecIo) override;
    QList<int> supportedItemTypes() const override;

    // Settings
    static RiffSettings loadSettings(const QString &group);
    static void saveSettings(const RiffSettings &settings, const QString &group);

private:
    RiffStreamIo() = default;
    ~RiffStreamIo() override = default;
};
