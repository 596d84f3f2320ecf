#pragma once

#include "libtagging/asf/asfsettings.h"
#include "libtagging/model/iaudiostreamio.h"

#include <QString>

// ASF files and their metadata objects.
// A stateless singleton, shared by every thread.
class AsfStreamIo : public IAudioStreamIo
{
public:
    static AsfStreamIo *instance();

    QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes,
                               const TaggingSettings *settings, QObject *parent) override;
    void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                   const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(IoStream *stream, ICodecIo *codecIo) override;
    QList<int> supportedItemTypes() const override;

    // Settings
    static AsfSettings loadSettings(const QString &group);
    static void saveSettings(const AsfSettings &settings, const QString &group);

private:
    AsfStreamIo() = default;
    ~AsfStreamIo() override = default;
};
