#pragma once

#include <QByteArray>
#include <QList>

#include "libtagging/model/audioproperties.h"

class AudioTag;
class IoStream;
class OggPage;
class QObject;
class TaggingSettings;

// One codec carried inside Ogg: the Ogg stream reader hands it the header packets of a
// logical stream, and it reads and rewrites the tag inside them.
class IOggAudioStreamIo
{
public:
    virtual QList<AudioTag *> readTags(IoStream *stream, const QList<QByteArray> &headerPackets,
                                       const QList<int> &tagTypes, const TaggingSettings *settings,
                                       QObject *parent) = 0;
    // A null tag removes the tag.
    virtual void writeTags(IoStream *stream, QList<QByteArray> &headerPackets, const AudioTag *tag,
                           const QList<int> &tagTypes, const TaggingSettings *settings) = 0;
    virtual void removeTags(IoStream *stream, QList<QByteArray> &headerPackets,
                            const QList<int> &tagTypes, const TaggingSettings *settings) = 0;
    virtual AudioProperties readAudioProperties(const QList<QByteArray> &headerPackets,
                                                qint64 fileSize, qint64 audioSize) = 0;
    virtual QList<int> supportedItemTypes() const = 0;
    // The bytes with which the codec's first header packet begins.
    virtual QByteArray magic() const = 0;
    virtual bool isHeaderPage(int packetsBefore, const OggPage *page) const = 0;

protected:
    virtual ~IOggAudioStreamIo() = default;
};
