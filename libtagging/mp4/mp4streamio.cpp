#include "libtagging/mp4/mp4streamio.h"

#include "libtagging/model/unsupportedformat.h"

Mp4StreamIo *Mp4StreamIo::instance()
{
    static Mp4StreamIo *const io = new Mp4StreamIo();
    return io;
}

QList<AudioTag *> Mp4StreamIo::readTags(IoStream *stream, const QList<int> &, const TaggingSettings *,
                                  QObject *)
{
    throwUnsupportedFormat(stream);
}

void Mp4StreamIo::writeTags(IoStream *stream, const AudioTag *, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

void Mp4StreamIo::removeTags(IoStream *stream, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

AudioProperties Mp4StreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    throwUnsupportedFormat(stream);
}

QList<int> Mp4StreamIo::supportedItemTypes() const
{
    return {};
}
