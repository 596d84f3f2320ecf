#pragma once

#include "libtagging/aiff/aiffsettings.h"
#include "libtagging/model/iaudiostreamio.h"

#include <QString>

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

    // Settings
    static AiffSettings loadSettings(const QString &group);
    static void saveSettings(const AiffSettings &settings, const QString &group);

private:
    AiffStreamIo() = default;
    ~AiffStreamIo() override = default;
};
