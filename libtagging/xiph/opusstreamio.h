#pragma once

#include "libtagging/model/ioggaudiostreamio.h"
#include "libtagging/xiph/opussettings.h"

#include <QString>

// Opus in Ogg: the tag is the Vorbis comment of the second header packet, the audio
// properties come from the identification packet. A stateless singleton.
class OpusStreamIo : public IOggAudioStreamIo
{
public:
    static OpusStreamIo *instance();

    QList<AudioTag *> readTags(IoStream *stream, const QList<QByteArray> &headerPackets,
                               const QList<int> &tagTypes, const TaggingSettings *settings,
                               QObject *parent) override;
    void writeTags(IoStream *stream, QList<QByteArray> &headerPackets, const AudioTag *tag,
                   const QList<int> &tagTypes, const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, QList<QByteArray> &headerPackets, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(const QList<QByteArray> &headerPackets, qint64 fileSize,
                                        qint64 audioSize) override;
    QList<int> supportedItemTypes() const override;
    QByteArray magic() const override;
    bool isHeaderPage(int packetsBefore, const OggPage *page) const override;

    static OpusSettings loadSettings(const QString &group);
    static void saveSettings(const OpusSettings &settings, const QString &group);

private:
    OpusStreamIo() = default;
    ~OpusStreamIo() override = default;
};
