#include "libtagging/riff/riffstreamio.h"

#include "libtagging/model/unsupportedformat.h"

RiffStreamIo *RiffStreamIo::instance()
{
    static RiffStreamIo *const io = new RiffStreamIo();
    return io;
}

QList<AudioTag *> RiffStreamIo::readTags(IoStream *stream, const QList<int> &, const TaggingSettings *,
                                  QObject *)
{
    throwUnsupportedFormat(stream);
}

void RiffStreamIo::writeTags(IoStream *stream, const AudioTag *, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

void RiffStreamIo::removeTags(IoStream *stream, const QList<int> &, const TaggingSettings *)
{
    throwUnsupportedFormat(stream);
}

AudioProperties RiffStreamIo::readAudioProperties(IoStream *stream, ICodecIo *)
{
    throwUnsupportedFormat(stream);
}

QList<int> RiffStreamIo::supportedItemTypes() const
{
    return {};
}
