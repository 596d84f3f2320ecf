#pragma once

#include "libtagging/model/iaudiostreamio.h"
#include "libtagging/model/ioggaudiostreamio.h"
#include "libtagging/xiph/speexsettings.h"

#include <QString>

// Raw Speex streams (the 80-byte Speex header, the comment, then the audio), and Speex
// inside Ogg.
// A stateless singleton, shared by every thread.
class SpeexStreamIo : public IAudioStreamIo, public IOggAudioStreamIo
{
public:
    static SpeexStreamIo *instance();

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

    enum Code : quint32 { NoSignature = 0x0A92342C };
    static constexpr int HeaderSize = 80;

    // The properties of the Speex header at the stream position.
    static AudioProperties readHeader(IoStream *stream, qint64 fileSize, qint64 audioSize);

    static SpeexSettings loadSettings(const QString &group);
    static void saveSettings(const SpeexSettings &settings, const QString &group);

private:
    SpeexStreamIo() = default;
    ~SpeexStreamIo() override = default;
};
