#pragma once

#include <QList>
#include <QtGlobal>

#include "libtagging/model/audioproperties.h"

class AudioTag;
class ICodecIo;
class IoStream;
class QObject;
class TaggingSettings;

// One container or stream layout: reads, writes and removes all tags of a whole file and
// reads its audio properties. An empty tag-type list means every type the reader handles.
// A reader whose layout does not match the stream throws Exception. Implementations are
// stateless singletons shared by every thread.
class IAudioStreamIo
{
public:
    virtual QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes,
                                       const TaggingSettings *settings, QObject *parent) = 0;
    virtual void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                           const TaggingSettings *settings) = 0;
    virtual void removeTags(IoStream *stream, const QList<int> &tagTypes,
                            const TaggingSettings *settings) = 0;
    // The stream stands where the container begins: after the loose tags in front (an ID3v2
    // tag before FLAC, for example), else at 0. Readers measure from there, as readTags
    // reads from its starting position. codecIo is the file type's codec header reader, or
    // null; container readers ignore it.
    virtual AudioProperties readAudioProperties(IoStream *stream, ICodecIo *codecIo) = 0;
    virtual QList<int> supportedItemTypes() const = 0;

    // The stream stands where the container begins. Answers the end of the structure the
    // container declares (its outer chunk, its top-level boxes, its last page), or -1 when the
    // layout declares none or is not this reader's. Tags standing loose behind a container
    // are taken only from there on, so audio data that happens to look like a tag stays.
    virtual qint64 containerEnd(IoStream *stream)
    {
        Q_UNUSED(stream);
        return -1;
    }

    // The tags standing loose at either end of a container file whose readers are
    // containerIos: tags behind the container only past the end the first of them declares.
    // Only the plain-stream reader knows loose tags; the defaults take every tag.
    virtual QList<AudioTag *> readLooseTags(IoStream *stream, const QList<IAudioStreamIo *> &containerIos,
                                            const TaggingSettings *settings, QObject *parent)
    {
        Q_UNUSED(containerIos);
        return readTags(stream, QList<int>(), settings, parent);
    }
    virtual void removeLooseTags(IoStream *stream, const QList<IAudioStreamIo *> &containerIos,
                                 const TaggingSettings *settings)
    {
        Q_UNUSED(containerIos);
        removeTags(stream, QList<int>(), settings);
    }

protected:
    virtual ~IAudioStreamIo() = default;
};
