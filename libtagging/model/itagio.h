#pragma once

#include <QList>

class AudioTag;
class IoStream;
class QObject;
class TagInfo;
class TaggingSettings;

// One tag format: finds a tag of its format in a stream, reads it into an AudioTag and
// renders an AudioTag back into bytes. Implementations are stateless singletons shared by
// every thread; failures are thrown as Exception.
class ITagIo
{
public:
    virtual int tagType() const = 0;
    // Whether the format stands at the start of a stream (else at its end).
    virtual bool isPrepended() const = 0;
    // A new TagInfo (owned by parent) for a tag that begins (atStart) or ends at the stream's
    // position, or null when there is none there.
    virtual TagInfo *detect(IoStream *stream, bool atStart, QObject *parent) = 0;
    // Reads the tag that info describes; the returned tag takes info as its own.
    virtual AudioTag *read(IoStream *stream, TagInfo *info, const TaggingSettings *settings,
                           QObject *parent) = 0;
    // Writes the complete tag at the current position of out; null settings mean the defaults.
    virtual void render(IoStream *out, const AudioTag *tag, const TaggingSettings *settings) = 0;
    virtual QList<int> supportedItemTypes() const = 0;

protected:
    virtual ~ITagIo() = default;
};
